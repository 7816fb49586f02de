#include "Check.h"
#include "document/HistoryRecords.h"
#include "platform/JournalFile.h"

#include <algorithm>

namespace {

// Every well-formed key names a small picture, so replays go as far as the records allow.
class AnyPictures : public PictureStore
{
public:
    Result<QByteArray> put(const QImage &) override { return QByteArray(64, 'a'); }
    Result<QImage> get(const QByteArray &key) override
    {
        if (key.size() != 64)
            return fail(Error::corrupt(QStringLiteral("bad key")));
        QImage picture(2, 2, QImage::Format_RGB32);
        picture.fill(quint32(quint8(key[0])) * 0x010101u);
        return picture;
    }
};

} // namespace

// A history journal as the next start reads it: its records, found again after any damage by
// their marks and numbers, replayed as the undo stack would, the oldest steps falling off at a
// small limit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto contents = platform::parseJournal(bytes, QStringLiteral("fuzz.journal"));
    if (!contents)
        return 0;
    // What was found, written again, reads back whole and undamaged: resynchronising never
    // invents or reorders a record.
    if (std::ranges::none_of(contents->records, &QByteArray::isEmpty)) {
        const auto again = platform::parseJournal(platform::journalBytes(contents->records),
                                                  QStringLiteral("again.journal"));
        fuzzCheck(again.has_value() || contents->records.isEmpty(), "written records read");
        if (again) {
            fuzzCheck(again->records == contents->records, "the same records come back");
            fuzzCheck(!again->damaged() && !again->tornTail, "no damage where none was");
        }
    } else {
        fuzzCheck(false, "an empty record was read");
    }
    AnyPictures pictures;
    const auto history = replayHistory(contents->records, pictures, 8);
    if (!history)
        return 0;
    fuzzCheck(history->index >= 0 && history->index <= history->steps.size(),
              "the replayed index lies inside the steps");
    fuzzCheck(history->steps.size() <= 8, "the limit holds");
    (void)history->current();
    return 0;
}
