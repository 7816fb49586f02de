#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// An append-only file of records that survives being cut off or damaged anywhere. The file
// starts with an 8-byte mark; each record starts with a 4-byte record mark, its sequence number,
// its payload's length and a CRC-32 over those two and the payload (all 32-bit little-endian),
// then the payload. Every append is flushed to disk before it returns, so a record that was
// appended is there after a kill or a power cut. A record that was being written when the
// program died, or that was damaged later, is recognised by its checksum and left out; the
// reader finds the records after it again by their mark and rising sequence numbers.
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
    // for appending. Empty records are refused: a run of zeros must never read as records.
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
    quint32 m_nextSequence = 0;
};

struct JournalContents
{
    // Every whole record in order. Records after a damaged one are found again; a journal of
    // the first format (before sequence numbers) is read up to its first damage.
    QList<QByteArray> records;
    // The last record was cut short, as a kill while appending leaves it: nothing completed
    // was lost, so the journal is not damaged.
    bool tornTail = false;
    // Something after the last good record could not be used and is not a record cut short.
    bool damagedTail = false;
    // Damaged places passed over between good records: records were lost there.
    int gaps = 0;
    // The file's own mark was damaged; its records were found by their marks.
    bool damagedStart = false;

    bool damaged() const { return damagedTail || gaps > 0 || damagedStart; }
};

// Reads the records of a journal as a stream, in memory bounded by the largest record. A file
// with no record found at all, not even after a damaged start, is refused.
Result<JournalContents> readJournal(const QString &path);
// The same over bytes already read; name is what a message calls them.
Result<JournalContents> parseJournal(const QByteArray &bytes, const QString &name);
// A whole journal's bytes: the mark and the records framed. What create() writes.
QByteArray journalBytes(const QList<QByteArray> &records);
// A journal of the first format, as programs before sequence numbers wrote it; it is still read.
QByteArray firstFormatJournalBytes(const QList<QByteArray> &records);

// The largest payload a record may have; a length above it marks a damaged record.
constexpr quint32 kMaxJournalRecord = 64u * 1024 * 1024;

} // namespace platform
