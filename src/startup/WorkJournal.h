#pragma once

#include "document/HistoryRecords.h"
#include "platform/JournalFile.h"

#include "platform/ProcessLock.h"

#include <QHash>
#include <QObject>
#include <QSet>

#include <memory>
#include <optional>

class SkinHistory;

// Pictures kept as PNG files named by the SHA-256 of their size and pixels, in one folder.
class FilePictureStore : public PictureStore
{
public:
    explicit FilePictureStore(QString folder);
    Result<QByteArray> put(const QImage &picture) override;
    Result<QImage> get(const QByteArray &key) override;
    // Deletes the picture files whose keys are not in keep.
    void removeAllBut(const QSet<QByteArray> &keep);

    static QByteArray keyOf(const QImage &picture);

private:
    QString pathOf(const QByteArray &key) const;

    QString m_folder;
    // Keys of pictures already stored, by the picture's cache key: a step that kept its
    // pictures costs no hashing.
    QHash<qint64, QByteArray> m_stored;
    // Files found in the folder and checked to hold what their names say this session.
    QSet<QByteArray> m_checked;
    QHash<QByteArray, QImage> m_loaded;
};

// The program's undo history on disk, in the user's data folder, so that work survives a
// crash, a kill or a power cut, and the history of the last skin survives "Выход". Each
// completed step is appended to the journal and flushed before the next one can start; the
// journal is rewritten whole from time to time so it stays short. Only one running program
// keeps a journal: a second one works without.
class WorkJournal : public QObject
{
    Q_OBJECT
public:
    WorkJournal(SkinHistory &history, const QString &folder, QObject *parent = nullptr);
    ~WorkJournal() override;

    // False when another running program keeps the journal, or the folder cannot be used.
    bool usable() const { return m_usable; }
    QString problem() const { return m_problem; }
    // What the journal did that the user may want to know of (a lock taken over, a damaged
    // journal kept aside), one line each, for the console log.
    QStringList notes() const { return m_notes; }

    // What the journal holds from the last session, read once: nothing for a first start. A
    // journal that was damaged is read as far as it can be, then moved aside
    // (history.journal.damaged-<time>), never overwritten; damagedCopy() names it then.
    std::optional<ReplayedHistory> previous();
    QString damagedCopy() const { return m_damagedCopy; }

    // Writes the history as it is now as the new journal and records every step from here.
    Result<void> start();
    // The normal end: the journal keeps the history with the skin file it belongs to.
    void finish(const QString &skinPath);

    QString journalPath() const;

signals:
    // A write failed; the work goes on without a journal.
    void failed(const QString &message);

private:
    void onStep();
    void onIndex(int index);
    void write(const QByteArray &record, const Error &error);
    QList<QByteArray> wholeHistory(Error &error);

    SkinHistory &m_history;
    QString m_folder;
    // Set aside a journal that could not be read whole; false when that failed too.
    bool keepDamaged();

    platform::ProcessLock m_lock;
    QStringList m_notes;
    QString m_damagedCopy;
    FilePictureStore m_pictures;
    platform::JournalFile m_file;
    bool m_usable = false;
    bool m_started = false;
    QString m_problem;
    int m_journaledIndex = 0;
    int m_records = 0;
};
