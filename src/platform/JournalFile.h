#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// An append-only file of records that survives being cut off anywhere. The file starts with
// an 8-byte mark; each record is its payload's length and CRC-32 (both 32-bit little-endian)
// followed by the payload. Every append is flushed to disk before it returns, so a record that
// was appended is there after a kill or a power cut, and one that was being written when the
// program died is recognised by its length or checksum and left out.
class JournalFile
{
public:
    JournalFile() = default;
    JournalFile(JournalFile &&other) noexcept;
    JournalFile &operator=(JournalFile &&other) noexcept;
    JournalFile(const JournalFile &) = delete;
    JournalFile &operator=(const JournalFile &) = delete;
    ~JournalFile();

    // Starts the file afresh with these records: written beside it, flushed and renamed over
    // it, so the old journal stays whole until the new one is complete. The file stays open
    // for appending.
    static Result<JournalFile> create(const QString &path, const QList<QByteArray> &records);

    Result<void> append(const QByteArray &payload);
    bool isOpen() const { return m_fd >= 0; }
    // Bytes in the file, the mark included.
    qint64 size() const { return m_size; }
    void close();

private:
    QString m_path;
    int m_fd = -1;
    qint64 m_size = 0;
};

struct JournalContents
{
    // Every whole record in order, up to the first that is cut off or damaged.
    QList<QByteArray> records;
    // Set when something followed the last good record: a torn or damaged tail.
    bool damagedTail = false;
};

// Reads the records of a journal; a file that does not start with the mark is refused.
Result<JournalContents> readJournal(const QString &path);
// The same over bytes already read; name is what a message calls them.
Result<JournalContents> parseJournal(const QByteArray &bytes, const QString &name);
// A whole journal's bytes: the mark and the records framed. What create() writes.
QByteArray journalBytes(const QList<QByteArray> &records);

// The largest payload a record may have; a length above it marks a damaged record.
constexpr quint32 kMaxJournalRecord = 64u * 1024 * 1024;

} // namespace platform
