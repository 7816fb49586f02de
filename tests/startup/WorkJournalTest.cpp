#include "startup/WorkJournal.h"
#include "JournalDigest.h"
#include "TestFiles.h"
#include "document/SkinDocument.h"
#include "platform/JournalFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>

#include <unistd.h>

namespace {

QImage solid(QRgb colour, QSize size = {12, 10})
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// One program's worth of document, history and journal over a folder; a second one over the
// same folder is the next start.
struct Session
{
    explicit Session(const QString &folder)
    {
        document.history().clear();
        document.history().setRecording(true);
        journal = std::make_unique<WorkJournal>(document.history(), folder);
    }
    SkinDocument document;
    std::unique_ptr<WorkJournal> journal;
};

class Journaling : public ::testing::Test
{
protected:
    QString folder() const { return m_dir.path(); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Journaling, TheNextStartFindsTheWorkWithItsStepsAndPlace)
{
    SkinState expected;
    {
        Session first(folder());
        ASSERT_TRUE(first.journal->usable());
        EXPECT_FALSE(first.journal->previous().has_value()) << "a first start has nothing";
        ASSERT_TRUE(first.journal->start().has_value());
        first.document.setSlotColour(3, makeColor(1, 2, 3));
        SkinPictures pictures;
        pictures.BackgroundSource = pictures.BackgroundPicture = solid(qRgb(9, 9, 9));
        first.document.setPictures(pictures);
        first.document.setSlotColour(4, makeColor(4, 5, 6));
        first.document.history().stack().undo();
        expected = first.document.state();
        // No "Выход": the session just ends, as a crash would end it.
    }
    Session second(folder());
    const auto previous = second.journal->previous();
    ASSERT_TRUE(previous.has_value());
    EXPECT_FALSE(previous->closed);
    EXPECT_EQ(previous->steps.size(), 3);
    EXPECT_EQ(previous->index, 2);
    EXPECT_EQ(previous->steps[0].first, SkinDocument::colourStepName(3));
    EXPECT_EQ(stateDigest(previous->current()), stateDigest(expected));
    EXPECT_EQ(previous->current(), expected) << "formats kept as well as pixels";
    // Back in the history, the steps undo and redo as they did.
    second.document.history().replace(previous->origin, previous->steps, previous->index);
    EXPECT_EQ(second.document.state(), expected);
    second.document.history().stack().redo();
    EXPECT_EQ(second.document.slotColour(4), makeColor(4, 5, 6));
    second.document.history().stack().setIndex(0);
    EXPECT_EQ(second.document.slotColour(3), defaultSlotColour(3));
}

TEST_F(Journaling, ANormalEndNamesTheSkinAndOneJournalAtATime)
{
    {
        Session first(folder());
        ASSERT_TRUE(first.journal->start().has_value());
        first.document.setSlotColour(0, makeColor(7, 7, 7));
        Session rival(folder());
        EXPECT_FALSE(rival.journal->usable()) << "a second program works without a journal";
        EXPECT_TRUE(rival.journal->problem().contains(folder()));
        first.journal->finish(QStringLiteral("/skins/mine.skin"));
    }
    Session second(folder());
    const auto previous = second.journal->previous();
    ASSERT_TRUE(previous.has_value());
    EXPECT_TRUE(previous->closed);
    EXPECT_EQ(previous->skinPath, QStringLiteral("/skins/mine.skin"));
    EXPECT_EQ(previous->current().colours[0], makeColor(7, 7, 7));
}

TEST_F(Journaling, ACutAnywhereInTheLastRecordGivesTheStateBeforeIt)
{
    SkinState beforeLast;
    {
        Session first(folder());
        ASSERT_TRUE(first.journal->start().has_value());
        first.document.setSlotColour(1, makeColor(10, 0, 0));
        first.document.setSlotColour(2, makeColor(20, 0, 0));
        beforeLast = first.document.state();
        first.document.setSlotColour(3, makeColor(30, 0, 0));
    }
    const QString path = QDir(folder()).filePath(QStringLiteral("history.journal"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    const auto records = platform::readJournal(path);
    ASSERT_TRUE(records.has_value());
    const qsizetype lastStart = whole.size() - 16 - records->records.last().size();
    for (qsizetype cut = lastStart; cut < whole.size(); ++cut) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(whole.left(cut));
        file.close();
        Session next(folder());
        const auto previous = next.journal->previous();
        ASSERT_TRUE(previous.has_value()) << cut;
        EXPECT_EQ(previous->current(), beforeLast) << "cut at " << cut;
        EXPECT_TRUE(next.journal->damagedCopy().isEmpty()) << "what a kill leaves is no damage";
    }
}

TEST_F(Journaling, PicturesAreStoredOnceAndALostOneIsNamedAndRestoredFromTheStepBefore)
{
    SkinState withFirstPicture;
    SkinState withCursor;
    {
        Session first(folder());
        ASSERT_TRUE(first.journal->start().has_value());
        SkinPictures pictures;
        pictures.BackgroundSource = pictures.BackgroundPicture = solid(qRgb(1, 1, 1));
        first.document.setPictures(pictures);
        for (int i = 0; i < 20; ++i)
            first.document.setSlotColour(5, makeColor(i, i, i));
        withFirstPicture = first.document.state();
        pictures.CursorSource = pictures.CursorPicture = solid(qRgb(2, 2, 2), {120, 18});
        first.document.setPictures(pictures);
        first.document.setSlotColour(6, makeColor(6, 6, 6));
        withCursor = first.document.state();
    }
    const QDir pictures(QDir(folder()).filePath(QStringLiteral("pictures")));
    const QStringList files = pictures.entryList({QStringLiteral("*.png")}, QDir::Files);
    ASSERT_EQ(files.size(), 2) << "one file per picture, however many steps show it";
    // Lose the cursor's file: the steps that show it are still offered, with the cursor
    // they had before, and named.
    const QString cursorFile =
        QString::fromLatin1(FilePictureStore::keyOf(solid(qRgb(2, 2, 2), {120, 18}))) +
        QStringLiteral(".png");
    ASSERT_TRUE(files.contains(cursorFile));
    ASSERT_TRUE(QFile::remove(pictures.filePath(cursorFile)));
    {
        Session second(folder());
        const auto previous = second.journal->previous();
        ASSERT_TRUE(previous.has_value());
        EXPECT_EQ(previous->steps.size(), 22) << "the first colour was slot 5's own: no step";
        EXPECT_EQ(previous->current().colours, withCursor.colours) << "later steps kept";
        EXPECT_EQ(previous->current().pictures.CursorSource.cacheKey(), 0)
            << "the lost cursor is not made up";
        EXPECT_EQ(previous->current().pictures.BackgroundSource,
                  withFirstPicture.pictures.BackgroundSource);
        EXPECT_FALSE(previous->picturesLost.isEmpty());
        EXPECT_EQ(previous->skippedRecords, 0);
        EXPECT_TRUE(second.journal->damagedCopy().isEmpty())
            << "the journal itself was sound: a lost picture is not a damaged journal";
    }
    // A picture file whose content is not what its name says counts as lost, and the next
    // session that stores the picture writes the file again.
    const QString background = files.first() == cursorFile ? files.last() : files.first();
    QFile::remove(pictures.filePath(background));
    QFile::copy(QStringLiteral(VELMORA_TEST_DATA "/../../data/default_cursor.jpg"),
                pictures.filePath(background));
    {
        Session third(folder());
        const auto damaged = third.journal->previous();
        ASSERT_TRUE(damaged.has_value());
        EXPECT_TRUE(damaged->current().pictures.BackgroundSource.isNull());
        EXPECT_FALSE(damaged->picturesLost.isEmpty());
        ASSERT_TRUE(third.journal->start().has_value());
        SkinPictures again;
        again.BackgroundSource = again.BackgroundPicture = solid(qRgb(1, 1, 1));
        third.document.setPictures(again);
    }
    Session fourth(folder());
    const auto repaired = fourth.journal->previous();
    ASSERT_TRUE(repaired.has_value());
    EXPECT_TRUE(repaired->picturesLost.isEmpty());
    EXPECT_EQ(repaired->current().pictures.BackgroundSource,
              withFirstPicture.pictures.BackgroundSource);
}

namespace {

// Where each record of a journal starts, and its payload's length.
QList<std::pair<qsizetype, qsizetype>> recordPlaces(const QByteArray &journal)
{
    QList<std::pair<qsizetype, qsizetype>> places;
    for (qsizetype at = 8; at + 16 <= journal.size();) {
        const auto length = qFromLittleEndian<quint32>(journal.constData() + at + 8);
        places.append({at, qsizetype(length)});
        at += 16 + length;
    }
    return places;
}

QString label(int slot)
{
    return SkinDocument::colourStepName(slot);
}

} // namespace

class DamagedJournal : public Journaling
{
protected:
    // A session that made four steps, colouring slots 1 to 4, and ended without "Выход".
    void SetUp() override
    {
        Session first(folder());
        ASSERT_TRUE(first.journal->start().has_value());
        for (int slot = 1; slot <= 4; ++slot)
            first.document.setSlotColour(slot, makeColor(slot * 10, 0, 0));
        m_final = first.document.state();
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        m_good = file.readAll();
    }
    QString path() const { return QDir(folder()).filePath(QStringLiteral("history.journal")); }
    void write(const QByteArray &bytes) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    // The journal with one byte in the middle of the record that holds the step's label.
    QByteArray flippedInStep(int slot) const
    {
        const QString name = label(slot);
        const QByteArray utf16(reinterpret_cast<const char *>(name.utf16()), name.size() * 2);
        QByteArray swapped;
        for (qsizetype i = 0; i < utf16.size(); i += 2)
            swapped += utf16.mid(i + 1, 1) + utf16.mid(i, 1);
        // Whichever byte order the records keep their texts in.
        const qsizetype at = std::max(m_good.indexOf(swapped), m_good.indexOf(utf16));
        EXPECT_GE(at, 0);
        QByteArray damaged = m_good;
        for (const auto &[start, length] : recordPlaces(m_good))
            if (start < at && at < start + 16 + length)
                damaged[start + 16 + length / 2] = char(damaged[start + 16 + length / 2] ^ 0x5a);
        return damaged;
    }
    // Reads the journal as the next start does, then starts that session's journal.
    std::optional<ReplayedHistory> nextStart(QString *copy = nullptr, QStringList *notes = nullptr)
    {
        Session next(folder());
        auto previous = next.journal->previous();
        if (copy)
            *copy = next.journal->damagedCopy();
        if (notes)
            *notes = next.journal->notes();
        EXPECT_TRUE(next.journal->start().has_value());
        return previous;
    }
    static QStringList labels(const ReplayedHistory &history)
    {
        QStringList names;
        for (const auto &step : history.steps)
            names.append(step.first);
        return names;
    }

    SkinState m_final;
    QByteArray m_good;
};

TEST_F(DamagedJournal, AFlippedByteInTheFileMarkLosesNothingAndTheFileIsKeptAside)
{
    QByteArray damaged = m_good;
    damaged[3] = char(damaged[3] ^ 1);
    write(damaged);
    QString copy;
    QStringList notes;
    const auto previous = nextStart(&copy, &notes);
    ASSERT_TRUE(previous.has_value()) << "the recovery question is asked";
    EXPECT_EQ(labels(*previous), (QStringList{label(1), label(2), label(3), label(4)}));
    EXPECT_EQ(previous->current(), m_final);
    ASSERT_FALSE(copy.isEmpty());
    EXPECT_TRUE(copy.startsWith(path() + QStringLiteral(".damaged-")));
    QFile kept(copy);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), damaged) << "the damaged journal is kept as it was";
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes.first().contains(copy));
    EXPECT_TRUE(platform::readJournal(path()).has_value()) << "a fresh journal runs beside it";
}

TEST_F(DamagedJournal, AFlippedByteInTheFirstRecordOffersTheStepsFromTheFirstReadableState)
{
    QByteArray damaged = m_good;
    const auto places = recordPlaces(m_good);
    ASSERT_GE(places.size(), 5);
    damaged[places[0].first + 16 + places[0].second / 2] ^= 0x20;
    write(damaged);
    QString copy;
    const auto previous = nextStart(&copy);
    ASSERT_TRUE(previous.has_value());
    EXPECT_EQ(previous->current(), m_final);
    EXPECT_EQ(labels(*previous), (QStringList{label(2), label(3), label(4)}))
        << "the first step's state is where the history starts";
    EXPECT_FALSE(copy.isEmpty());
}

TEST_F(DamagedJournal, AFlippedByteInAMiddleStepLosesThatStepOnly)
{
    write(flippedInStep(2));
    QString copy;
    const auto previous = nextStart(&copy);
    ASSERT_TRUE(previous.has_value());
    EXPECT_EQ(labels(*previous), (QStringList{label(1), label(3), label(4)}));
    EXPECT_EQ(previous->current(), m_final) << "the intact steps after it are kept";
    EXPECT_FALSE(copy.isEmpty());
}

TEST_F(DamagedJournal, ZerosAfterTheStepsLoseNothing)
{
    write(m_good);
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() + 300LL * 1024 * 1024)); // sparse: no disk taken
    file.close();
    QString copy;
    const auto previous = nextStart(&copy);
    ASSERT_TRUE(previous.has_value());
    EXPECT_EQ(labels(*previous).size(), 4);
    EXPECT_EQ(previous->current(), m_final);
    EXPECT_FALSE(copy.isEmpty()) << "a tail that is no record cut short is damage";
}

TEST_F(DamagedJournal, TwoDamagedJournalsInOneSecondAreBothKept)
{
    QByteArray damaged = m_good;
    damaged[3] = char(damaged[3] ^ 1);
    QStringList copies;
    for (int i = 0; i < 3; ++i) {
        write(damaged);
        QString copy;
        ASSERT_TRUE(nextStart(&copy).has_value());
        copies.append(copy);
    }
    copies.removeDuplicates();
    EXPECT_EQ(copies.size(), 3);
    for (const QString &copy : copies)
        EXPECT_TRUE(QFileInfo::exists(copy)) << copy.toStdString();
}

TEST_F(DamagedJournal, ALockFileLeftWithAnythingInItIsTakenOverAndSaidSo)
{
    const QString lock = QDir(folder()).filePath(QStringLiteral("history.lock"));
    for (const QByteArray &left :
         {QByteArray("\x00\xff garbage", 11), QByteArray("999999999\nvelmora\n")}) {
        QFile file(lock);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(left);
        file.close();
        Session next(folder());
        EXPECT_TRUE(next.journal->usable()) << left.toStdString();
        EXPECT_TRUE(next.journal->previous().has_value());
        EXPECT_EQ(next.journal->notes().size(), 1) << left.toStdString();
        EXPECT_TRUE(next.journal->notes().value(0).contains(lock));
        Session rival(folder());
        EXPECT_FALSE(rival.journal->usable()) << "never taken from a running designer";
    }
}

TEST_F(Journaling, StartingAgainWritesTheHistoryAfreshAndDropsUnusedPictures)
{
    Session first(folder());
    ASSERT_TRUE(first.journal->start().has_value());
    SkinPictures pictures;
    pictures.BackgroundSource = pictures.BackgroundPicture = solid(qRgb(3, 3, 3));
    first.document.setPictures(pictures);
    first.document.history().clear();
    ASSERT_TRUE(first.journal->start().has_value());
    // The picture is the origin's now: kept.
    const QDir dir(QDir(folder()).filePath(QStringLiteral("pictures")));
    EXPECT_EQ(dir.entryList({QStringLiteral("*.png")}, QDir::Files).size(), 1);
    first.document.setPictures(SkinPictures{});
    first.document.history().clear();
    EXPECT_EQ(dir.entryList({QStringLiteral("*.png")}, QDir::Files).size(), 0)
        << "a rebuilt history is written again at once, without the picture no state shows";
    const auto records = platform::readJournal(first.journal->journalPath());
    ASSERT_TRUE(records.has_value());
    EXPECT_EQ(records->records.size(), 2) << "the origin and the index";
}

// A journal that cannot be read is neither damaged nor to be replaced: the work goes on without
// one, saying why, and the file stays as it was.
TEST_F(DamagedJournal, AnUnreadableJournalIsLeftAloneAndNotCalledDamaged)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file whatever its permissions";
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::Permissions()));
    {
        Session next(folder());
        EXPECT_FALSE(next.journal->previous().has_value());
        EXPECT_FALSE(next.journal->usable());
        EXPECT_TRUE(next.journal->problem().contains(QStringLiteral("Permission denied")))
            << next.journal->problem().toStdString();
        EXPECT_FALSE(next.journal->problem().contains(QStringLiteral("read-only")));
        EXPECT_TRUE(next.journal->damagedCopy().isEmpty());
        EXPECT_FALSE(next.journal->start().has_value());
    }
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(testfiles::read(path()), m_good) << "nothing was written over it";
}
