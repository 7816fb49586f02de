#include "platform/JournalFile.h"

#include "platform/FileOps.h"
#include "platform/SafeWrite.h"
#include "platform/SystemReason.h"

#include <QCoreApplication>
#include <QFile>

#include <zlib.h>

#include <algorithm>
#include <optional>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char kFirstFormat[8] = {'V', 'L', 'M', 'J', 'R', 'N', 'L', '1'};
constexpr char kMark[8] = {'V', 'L', 'M', 'J', 'R', 'N', 'L', '2'};
constexpr int kFileMark = 8;
// Before each record: a mark to find it again by, then sequence, length and checksum.
constexpr char kRecordMark[4] = {'\x9e', 'V', 'j', '\x5a'};
constexpr int kHeader = 16;
// The first format: length and checksum only.
constexpr int kFirstFormatHeader = 8;

quint32 crcOf(quint32 crc, const char *data, qsizetype size)
{
    return quint32(crc32(crc, reinterpret_cast<const Bytef *>(data), uInt(size)));
}

quint32 crcOf(const QByteArray &payload)
{
    return crcOf(quint32(crc32(0L, nullptr, 0)), payload.constData(), payload.size());
}

void putLe32(QByteArray &out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

quint32 getLe32(const char *p)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value |= quint32(quint8(p[i])) << (8 * i);
    return value;
}

// The checksum covers the sequence number and the length too, so a record is whole only when
// all of it is what was written.
quint32 recordCrc(const char *numbers, const QByteArray &payload)
{
    return crcOf(crcOf(quint32(crc32(0L, nullptr, 0)), numbers, 8), payload.constData(),
                 payload.size());
}

QByteArray framed(quint32 sequence, const QByteArray &payload)
{
    QByteArray record(kRecordMark, sizeof kRecordMark);
    record.reserve(kHeader + payload.size());
    putLe32(record, sequence);
    putLe32(record, quint32(payload.size()));
    putLe32(record, recordCrc(record.constData() + 4, payload));
    return record + payload;
}

// The journal's bytes, wherever they are: read in pieces, never all at once.
class Source
{
public:
    virtual ~Source() = default;
    virtual qint64 size() const = 0;
    // Up to n bytes from offset; fewer at the end or after a read error.
    virtual QByteArray read(qint64 offset, qint64 n) = 0;

    // Up to n bytes from offset into buffer, whose memory is reused; false when none could be
    // read.
    virtual bool readInto(QByteArray &buffer, qint64 offset, qint64 n) = 0;

    // The first offset from `from` on where the record mark starts, or -1; a megabyte at a time,
    // in one buffer however far it looks.
    qint64 findMark(qint64 from)
    {
        constexpr qint64 kPiece = 1024 * 1024;
        const QByteArrayView mark(kRecordMark, sizeof kRecordMark);
        for (qint64 at = from; at < size(); at += kPiece) {
            if (!readInto(m_piece, at, kPiece + mark.size() - 1) || m_piece.size() < mark.size())
                return -1;
            if (const qsizetype found = m_piece.indexOf(mark); found >= 0)
                return at + found;
        }
        return -1;
    }

private:
    QByteArray m_piece;
};

class BytesSource : public Source
{
public:
    explicit BytesSource(const QByteArray &bytes)
        : m_bytes(bytes)
    {}
    qint64 size() const override { return m_bytes.size(); }
    QByteArray read(qint64 offset, qint64 n) override
    {
        return offset >= m_bytes.size() ? QByteArray() : m_bytes.mid(offset, n);
    }
    bool readInto(QByteArray &buffer, qint64 offset, qint64 n) override
    {
        buffer = read(offset, n);
        return !buffer.isEmpty();
    }

private:
    const QByteArray &m_bytes;
};

class FileSource : public Source
{
public:
    explicit FileSource(QFile &file)
        : m_file(file)
        , m_size(file.size())
    {}
    qint64 size() const override { return m_size; }
    QByteArray read(qint64 offset, qint64 n) override
    {
        QByteArray bytes;
        readInto(bytes, offset, n);
        return bytes;
    }
    bool readInto(QByteArray &buffer, qint64 offset, qint64 n) override
    {
        if (offset >= m_size || !m_file.seek(offset))
            return false;
        buffer.resize(std::min(n, m_size - offset));
        const qint64 got = m_file.read(buffer.data(), buffer.size());
        buffer.resize(std::max<qint64>(got, 0));
        return got > 0;
    }

private:
    QFile &m_file;
    qint64 m_size;
};

// What a record header may say: a number after the last record's, a length a record can have.
bool plausibleHeader(quint32 sequence, quint32 length, qint64 after)
{
    return qint64(sequence) > after && length > 0 && length <= kMaxJournalRecord;
}

// The record at offset when it is whole and comes after `after` in the sequence.
std::optional<std::pair<quint32, QByteArray>> recordAt(Source &source, qint64 offset, qint64 after)
{
    const QByteArray header = source.read(offset, kHeader);
    if (header.size() < kHeader || std::memcmp(header.constData(), kRecordMark, 4) != 0)
        return std::nullopt;
    const quint32 sequence = getLe32(header.constData() + 4);
    const quint32 length = getLe32(header.constData() + 8);
    if (!plausibleHeader(sequence, length, after) ||
        source.size() - offset - kHeader < qint64(length))
        return std::nullopt;
    QByteArray payload = source.read(offset + kHeader, length);
    if (payload.size() != qsizetype(length) ||
        recordCrc(header.constData() + 4, payload) != getLe32(header.constData() + 12))
        return std::nullopt;
    return std::pair{sequence, std::move(payload)};
}

// Whether the bytes from offset to the end are one record cut short, as a program killed while
// appending leaves it: nothing was lost there that had been completed.
bool tornRecordAt(Source &source, qint64 offset, qint64 after)
{
    const qint64 rest = source.size() - offset;
    const QByteArray header = source.read(offset, kHeader);
    if (header.size() < 4)
        return std::memcmp(header.constData(), kRecordMark, header.size()) == 0;
    if (std::memcmp(header.constData(), kRecordMark, 4) != 0)
        return false;
    if (header.size() < kHeader)
        return true;
    const quint32 sequence = getLe32(header.constData() + 4);
    const quint32 length = getLe32(header.constData() + 8);
    return plausibleHeader(sequence, length, after) && rest <= kHeader + qint64(length);
}

// The records from offset on, finding the ones after a damaged place by their marks.
void readRecords(Source &source, qint64 offset, JournalContents &contents)
{
    qint64 after = -1;
    while (offset < source.size()) {
        if (auto record = recordAt(source, offset, after)) {
            offset += kHeader + record->second.size();
            after = record->first;
            contents.records.append(std::move(record->second));
            continue;
        }
        qint64 next = source.findMark(offset + 1);
        while (next >= 0 && !recordAt(source, next, after))
            next = source.findMark(next + 1);
        if (next < 0) {
            if (tornRecordAt(source, offset, after))
                contents.tornTail = true;
            else
                contents.damagedTail = true;
            return;
        }
        ++contents.gaps;
        offset = next;
    }
}

// A journal of the first format, up to its first damage.
void readFirstFormat(Source &source, JournalContents &contents)
{
    qint64 at = kFileMark;
    while (at < source.size()) {
        const QByteArray header = source.read(at, kFirstFormatHeader);
        if (header.size() < kFirstFormatHeader)
            break;
        const quint32 length = getLe32(header.constData());
        if (length == 0 || length > kMaxJournalRecord ||
            source.size() - at - kFirstFormatHeader < qint64(length))
            break;
        QByteArray payload = source.read(at + kFirstFormatHeader, length);
        if (payload.size() != qsizetype(length) ||
            crcOf(payload) != getLe32(header.constData() + 4))
            break;
        contents.records.append(std::move(payload));
        at += kFirstFormatHeader + length;
    }
    if (at < source.size()) {
        const QByteArray header = source.read(at, kFirstFormatHeader);
        const bool torn = header.size() < kFirstFormatHeader ||
                          source.size() - at <= kFirstFormatHeader + getLe32(header.constData());
        (torn ? contents.tornTail : contents.damagedTail) = true;
    }
}

Result<JournalContents> readSource(Source &source, const QString &name)
{
    JournalContents contents;
    const QByteArray mark = source.read(0, kFileMark);
    if (mark == QByteArrayView(kFirstFormat, kFileMark)) {
        readFirstFormat(source, contents);
    } else if (mark == QByteArrayView(kMark, kFileMark)) {
        readRecords(source, kFileMark, contents);
    } else {
        // A damaged mark: the records may still be there.
        readRecords(source, 0, contents);
        contents.damagedStart = true;
        if (contents.records.isEmpty())
            return fail(Error::corrupt(
                QCoreApplication::translate("Journal", "%1: not a history journal").arg(name)));
    }
    return contents;
}

// message has the path as %1 and the system's reason as %2.
Error systemError(const QString &message, const QString &path)
{
    const QString reason = readableReason(QString::fromLocal8Bit(std::strerror(errno)));
    return Error::io(message.arg(path, reason));
}

} // namespace

JournalFile::JournalFile(JournalFile &&other) noexcept
    : m_path(std::move(other.m_path))
    , m_fd(std::exchange(other.m_fd, -1))
    , m_size(other.m_size)
    , m_nextSequence(other.m_nextSequence)
{}

JournalFile &JournalFile::operator=(JournalFile &&other) noexcept
{
    if (this != &other) {
        close();
        m_path = std::move(other.m_path);
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
        m_nextSequence = other.m_nextSequence;
    }
    return *this;
}

JournalFile::~JournalFile()
{
    close();
}

void JournalFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

Result<JournalFile> JournalFile::create(const QString &path, const QList<QByteArray> &records)
{
    if (std::ranges::any_of(records, &QByteArray::isEmpty))
        return fail(Error::invalid(
            QCoreApplication::translate("Journal", "%1: an empty record").arg(path)));
    const QByteArray bytes = journalBytes(records);
    VELMORA_TRY(writeFileAtomically(path, bytes));
    JournalFile file;
    file.m_path = path;
    file.m_size = bytes.size();
    file.m_nextSequence = quint32(records.size());
    file.m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (file.m_fd < 0)
        return fail(systemError(
            QCoreApplication::translate("Journal", "%1: cannot be opened for writing: %2"), path));
    return file;
}

Result<void> JournalFile::append(const QByteArray &payload)
{
    if (m_fd < 0)
        return fail(Error::io(QCoreApplication::translate("Journal", "%1: not open").arg(m_path)));
    if (payload.isEmpty() || quint32(payload.size()) > kMaxJournalRecord)
        return fail(Error::invalid(
            QCoreApplication::translate("Journal", "%1: a record is empty or too large")
                .arg(m_path)));
    const QByteArray record = framed(m_nextSequence, payload);
    qsizetype done = 0;
    while (done < record.size()) {
        const ssize_t n = ::write(m_fd, record.constData() + done, size_t(record.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const Error error = systemError(
                QCoreApplication::translate("Journal", "%1: cannot be written: %2"), m_path);
            // A partial record is cut off again, so the next one does not land behind it; if
            // even that fails, readers stop at the torn record.
            const bool cut = ::ftruncate(m_fd, m_size) == 0;
            Q_UNUSED(cut)
            return fail(error);
        }
        done += n;
    }
    if (::fdatasync(m_fd) != 0)
        return fail(systemError(
            QCoreApplication::translate("Journal", "%1: cannot be flushed to disk: %2"), m_path));
    m_size += record.size();
    ++m_nextSequence;
    return {};
}

Result<JournalContents> readJournal(const QString &path)
{
    VELMORA_TRY(requireRegularFile(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(
            Error::io(QStringLiteral("%1: %2").arg(path, readableReason(file.errorString()))));
    FileSource source(file);
    return readSource(source, path);
}

QByteArray journalBytes(const QList<QByteArray> &records)
{
    QByteArray bytes(kMark, sizeof kMark);
    for (qsizetype i = 0; i < records.size(); ++i)
        bytes += framed(quint32(i), records[i]);
    return bytes;
}

QByteArray firstFormatJournalBytes(const QList<QByteArray> &records)
{
    QByteArray bytes(kFirstFormat, sizeof kFirstFormat);
    for (const QByteArray &payload : records) {
        putLe32(bytes, quint32(payload.size()));
        putLe32(bytes, crcOf(payload));
        bytes += payload;
    }
    return bytes;
}

Result<JournalContents> parseJournal(const QByteArray &bytes, const QString &path)
{
    BytesSource source(bytes);
    return readSource(source, path);
}

} // namespace platform
