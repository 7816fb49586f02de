#include "Check.h"
#include "document/HistoryRecords.h"
#include "platform/JournalFile.h"

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

// A history journal as the next start reads it: its records up to the first damage, replayed
// as the undo stack would, the oldest steps falling off at a small limit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto contents = platform::parseJournal(bytes, QStringLiteral("fuzz.journal"));
    if (!contents)
        return 0;
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
