// A .mif (Symbian multi-image file) as the client reads skin pictures from it. All integers are
// 32-bit little-endian and signed; nothing is padded or aligned.
//
//   offset 0   magic 0x34232342 ("B##4")
//          4   version (2)
//          8   position of the entry table (16; readers take the table from 16 regardless)
//         12   entry count N
//         16   N rows of 8 bytes: position, length
//                position > 0: where the entry's block starts; length = 32 + text length
//                position <= 0: a bitmap entry, bitmap number -position of the companion .mbm;
//                length 0
//   16 + 8N    the blocks, one per distinct SVG picture, in entry order:
//                0 magic 0x34232343 ("C##4"), 4 version (1), 8 header length (32),
//                12 text length T, 16..28 the constants 1, 8, 0, 0, 32 the SVG text (T bytes)
//
// A picture's second entry (its "virtual copy") repeats the first one's row and has no block.

#include "containers/MifFile.h"

#include "core/Cp1251.h"

#include <QCoreApplication>
#include <QSet>
#include <QtEndian>

#include <limits>

namespace {

// Far more entries than a skin (4) or any icon file holds; a larger count is a broken file.
constexpr qint64 kMaxEntries = 65536;

qint32 int32At(const QByteArray &bytes, qint64 offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

void appendInt32(QByteArray &bytes, qint32 value)
{
    char le[4];
    qToLittleEndian(value, le);
    bytes.append(le, 4);
}

class Reporter
{
public:
    explicit Reporter(const ProgressCallback &progress)
        : m_progress(progress)
    {}
    void operator()(const QString &text) const
    {
        if (m_progress)
            m_progress(text);
    }
    void number(const QString &label, qint64 value) const
    {
        if (m_progress)
            m_progress(label + QString::number(value));
    }

private:
    const ProgressCallback &m_progress;
};

const QString kUnknown = QStringLiteral("Неизвестное число: ");

} // namespace

Result<MifContents> readMif(const QByteArray &bytes, const QString &fileName,
                            const ProgressCallback &progress)
{
    const Reporter report(progress);
    const qint64 size = bytes.size();
    if (size < kMifHeaderSize) {
        return fail(Error::truncated(
            QCoreApplication::translate(
                "Mif", "%1: the file is %2 bytes long and ends inside its 16-byte header")
                .arg(fileName)
                .arg(size)));
    }
    MifContents contents;
    contents.header = {int32At(bytes, 0), int32At(bytes, 4), int32At(bytes, 8)};
    report.number(kUnknown, contents.header.magic);
    report.number(kUnknown, contents.header.version);
    report.number(kUnknown, contents.header.tablePosition);
    const qint64 count = int32At(bytes, 12);
    report.number(QStringLiteral("Число картинок: "), count);
    if (count < 0 || count > kMaxEntries) {
        return fail(Error::corrupt(
            QCoreApplication::translate("Mif", "%1: the entry count %2 is impossible")
                .arg(fileName)
                .arg(count)));
    }
    const qint64 dataStart = kMifHeaderSize + kMifRowSize * count;
    if (dataStart > size) {
        return fail(Error::truncated(
            QCoreApplication::translate(
                "Mif", "%1: the table of %2 entries runs past the end of the file (%3 bytes)")
                .arg(fileName)
                .arg(count)
                .arg(size)));
    }

    contents.entries.resize(count);
    for (qint64 i = 0; i < count; ++i) {
        MifEntry &entry = contents.entries[i];
        report(QString());
        report(QString());
        report(QStringLiteral("=================F=I=L=E====================="));
        report(QString());
        report(QString());
        const qint64 row = kMifHeaderSize + kMifRowSize * i;
        entry.Offset = int32At(bytes, row);
        entry.Length = int32At(bytes, row + 4);
        report.number(QStringLiteral("Позиция ячейки файла: "), entry.Offset);
        report.number(QStringLiteral("Длина ячейки файла: "), entry.Length);
        if (entry.Offset <= 0) {
            entry.IsBitmap = true;
            report(QStringLiteral("Содержимое: \r\nФормат MBM, номер картинки %1")
                       .arg(mifBitmapNumber(entry)));
            continue;
        }

        const qint64 block = entry.Offset;
        if (block < dataStart) {
            return fail(Error::corrupt(
                QCoreApplication::translate(
                    "Mif", "%1: entry %2 points into the file's header or table (position %3)")
                    .arg(fileName)
                    .arg(i)
                    .arg(block)));
        }
        if (block + kMifBlockHeaderSize > size) {
            return fail(Error::truncated(
                QCoreApplication::translate("Mif", "%1: entry %2 points past the end of the file "
                                                   "(position %3, file %4 bytes)")
                    .arg(fileName)
                    .arg(i)
                    .arg(block)
                    .arg(size)));
        }
        for (int field = 0; field < 3; ++field)
            report.number(kUnknown, int32At(bytes, block + 4 * field));
        entry.DataLength = int32At(bytes, block + 12);
        report.number(QStringLiteral("Длина файла: "), entry.DataLength);
        for (int field = 4; field < 8; ++field)
            report.number(kUnknown, int32At(bytes, block + 4 * field));
        const qint64 text = block + kMifBlockHeaderSize;
        if (entry.DataLength < 0 || text + entry.DataLength > size) {
            return fail(Error::truncated(
                QCoreApplication::translate("Mif",
                                            "%1: the block of entry %2 claims %3 bytes of text, "
                                            "but %4 bytes follow its header")
                    .arg(fileName)
                    .arg(i)
                    .arg(entry.DataLength)
                    .arg(size - text)));
        }
        entry.Data = bytes.sliced(text, entry.DataLength);
        report(QStringLiteral("Формат SVG\r\n--------Содержимое:--------"));
        if (progress)
            progress(cp1251::decode(entry.Data));
    }
    return contents;
}

Result<QByteArray> writeMif(const QList<MifEntry> &entries)
{
    const qint64 count = entries.size();
    qint64 position = kMifHeaderSize + kMifRowSize * count;
    qint64 total = position;
    QSet<qint32> written;
    for (qint64 i = 0; i < count; ++i) {
        const MifEntry &entry = entries[i];
        if (entry.IsBitmap != (entry.Offset <= 0)) {
            const char *misplaced =
                entry.IsBitmap
                    ? QT_TRANSLATE_NOOP("Mif", "entry %1: position %2 does not fit a bitmap entry")
                    : QT_TRANSLATE_NOOP("Mif", "entry %1: position %2 does not fit a SVG entry");
            return fail(Error::invalid(
                QCoreApplication::translate("Mif", misplaced).arg(i).arg(entry.Offset)));
        }
        if (entry.IsBitmap || written.contains(entry.Offset))
            continue;
        if (entry.Offset != position || entry.DataLength != entry.Data.size() ||
            qint64(entry.Length) != qint64(entry.DataLength) + kMifBlockHeaderSize) {
            return fail(Error::invalid(
                QCoreApplication::translate("Mif",
                                            "entry %1: position %2 and length %3 do not match "
                                            "its place in the file (%4) or its %5 bytes of text")
                    .arg(i)
                    .arg(entry.Offset)
                    .arg(entry.Length)
                    .arg(position)
                    .arg(entry.Data.size())));
        }
        written.insert(entry.Offset);
        position += entry.Length;
        total = position;
    }
    if (total > std::numeric_limits<qint32>::max())
        return fail(Error::invalid(
            QCoreApplication::translate("Mif", "the pictures do not fit in a .mif (2 GB)")));

    QByteArray bytes;
    bytes.reserve(total);
    for (qint32 value : {kMifMagic, qint32(2), qint32(kMifHeaderSize), qint32(count)})
        appendInt32(bytes, value);
    for (const MifEntry &entry : entries) {
        appendInt32(bytes, entry.Offset);
        appendInt32(bytes, entry.Length);
    }
    written.clear();
    for (const MifEntry &entry : entries) {
        if (entry.IsBitmap || written.contains(entry.Offset))
            continue;
        written.insert(entry.Offset);
        for (qint32 value : {kMifBlockMagic, qint32(1), qint32(kMifBlockHeaderSize),
                             entry.DataLength, qint32(1), qint32(8), qint32(0), qint32(0)})
            appendInt32(bytes, value);
        bytes.append(entry.Data);
    }
    return bytes;
}
