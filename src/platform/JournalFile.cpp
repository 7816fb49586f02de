#include "platform/JournalFile.h"

#include "platform/FileOps.h"
#include "platform/SafeWrite.h"
#include "platform/SystemReason.h"

#include <QCoreApplication>
#include <QFile>

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char kMark[8] = {'V', 'L', 'M', 'J', 'R', 'N', 'L', '1'};
constexpr int kHeader = 8;

quint32 crcOf(const QByteArray &payload)
{
    return quint32(crc32(crc32(0L, nullptr, 0),
                         reinterpret_cast<const Bytef *>(payload.constData()),
                         uInt(payload.size())));
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

QByteArray framed(const QByteArray &payload)
{
    QByteArray record;
    record.reserve(kHeader + payload.size());
    putLe32(record, quint32(payload.size()));
    putLe32(record, crcOf(payload));
    return record + payload;
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
{}

JournalFile &JournalFile::operator=(JournalFile &&other) noexcept
{
    if (this != &other) {
        close();
        m_path = std::move(other.m_path);
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
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
    const QByteArray bytes = journalBytes(records);
    if (auto written = writeFileAtomically(path, bytes); !written)
        return fail(written.error());
    JournalFile file;
    file.m_path = path;
    file.m_size = bytes.size();
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
    if (quint32(payload.size()) > kMaxJournalRecord)
        return fail(Error::invalid(
            QCoreApplication::translate("Journal", "%1: a record is too large").arg(m_path)));
    const QByteArray record = framed(payload);
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
    return {};
}

Result<JournalContents> readJournal(const QString &path)
{
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return fail(bytes.error());
    return parseJournal(*bytes, path);
}

QByteArray journalBytes(const QList<QByteArray> &records)
{
    QByteArray bytes(kMark, sizeof kMark);
    for (const QByteArray &record : records)
        bytes += framed(record);
    return bytes;
}

Result<JournalContents> parseJournal(const QByteArray &bytes, const QString &path)
{
    if (bytes.size() < kHeader || std::memcmp(bytes.constData(), kMark, kHeader) != 0)
        return fail(Error::corrupt(
            QCoreApplication::translate("Journal", "%1: not a history journal").arg(path)));
    JournalContents contents;
    qsizetype at = kHeader;
    while (at < bytes.size()) {
        if (bytes.size() - at < kHeader)
            break;
        const quint32 length = getLe32(bytes.constData() + at);
        const quint32 crc = getLe32(bytes.constData() + at + 4);
        if (length > kMaxJournalRecord || bytes.size() - at - kHeader < qsizetype(length))
            break;
        QByteArray payload = bytes.mid(at + kHeader, length);
        if (crcOf(payload) != crc)
            break;
        contents.records.append(std::move(payload));
        at += kHeader + length;
    }
    contents.damagedTail = at < bytes.size();
    return contents;
}

} // namespace platform
