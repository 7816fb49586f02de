#pragma once

#include "document/SkinState.h"
#include "platform/Error.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// Where a journal keeps pictures: each once, under a key made from its content, so the hundred
// steps that change a colour share the one background they all show.
class PictureStore
{
public:
    virtual ~PictureStore() = default;
    // The picture's key, storing the picture when the store does not have it yet.
    virtual Result<QByteArray> put(const QImage &picture) = 0;
    virtual Result<QImage> get(const QByteArray &key) = 0;
};

// The records of a history journal: the state the history starts from, each step as the
// state after it, the moves of undo and redo, and a normal end. States are whole (colours,
// texts, picture keys), so a journal read up to any record gives a state the program had.
QByteArray originRecord(const SkinState &state, PictureStore &pictures, Error *error = nullptr);
QByteArray stepRecord(const QString &label, const SkinState &state, PictureStore &pictures,
                      Error *error = nullptr);
QByteArray indexRecord(int index);
// The end of a session by "Выход", with the skin file the work was last opened from or saved
// to ("" when none).
QByteArray closedRecord(const QString &skinPath);

struct ReplayedHistory
{
    SkinState origin;
    QList<std::pair<QString, SkinState>> steps;
    int index = 0;
    // The session ended normally; skinPath is what its end record named.
    bool closed = false;
    QString skinPath;
    // Records that could not be used (unknown or unreadable) and were passed over.
    int skippedRecords = 0;
    // Steps whose pictures could not be given back (their labels; empty for the starting
    // state): they show the pictures of the state before them instead.
    QStringList picturesLost;

    const SkinState &current() const { return index == 0 ? origin : steps[index - 1].second; }
};

// Plays the records back as the history did: a step after an undo drops the steps undone, and
// beyond limit steps the oldest fall off into the origin. Reading stops at the first record
// that cannot be used; what came before it stands. Fails only when not even the origin can be
// read.
Result<ReplayedHistory> replayHistory(const QList<QByteArray> &records, PictureStore &pictures,
                                      int limit);
