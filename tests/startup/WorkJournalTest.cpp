#include "startup/WorkJournal.h"
#include "JournalDigest.h"
#include "document/SkinDocument.h"
#include "platform/JournalFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

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
    const qsizetype lastStart = whole.size() - 8 - records->records.last().size();
    for (qsizetype cut = lastStart; cut < whole.size(); ++cut) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(whole.left(cut));
        file.close();
        Session next(folder());
        const auto previous = next.journal->previous();
        ASSERT_TRUE(previous.has_value()) << cut;
        EXPECT_EQ(previous->current(), beforeLast) << "cut at " << cut;
    }
}

TEST_F(Journaling, PicturesAreStoredOnceAndALostOneEndsTheReadBeforeIt)
{
    SkinState withFirstPicture;
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
    }
    const QDir pictures(QDir(folder()).filePath(QStringLiteral("pictures")));
    const QStringList files = pictures.entryList({QStringLiteral("*.png")}, QDir::Files);
    ASSERT_EQ(files.size(), 2) << "one file per picture, however many steps show it";
    // Lose the cursor's file: the step that brought it cannot be read, the ones before can.
    const QString cursorFile =
        QString::fromLatin1(FilePictureStore::keyOf(solid(qRgb(2, 2, 2), {120, 18}))) +
        QStringLiteral(".png");
    ASSERT_TRUE(files.contains(cursorFile));
    ASSERT_TRUE(QFile::remove(pictures.filePath(cursorFile)));
    {
        Session second(folder());
        const auto previous = second.journal->previous();
        ASSERT_TRUE(previous.has_value());
        EXPECT_EQ(previous->current(), withFirstPicture);
        EXPECT_EQ(previous->skippedRecords, 1);
    }
    // A picture file whose content is not what its name says counts as lost too.
    const QString background = files.first() == cursorFile ? files.last() : files.first();
    QFile::remove(pictures.filePath(background));
    QFile::copy(QStringLiteral(VELMORA_TEST_DATA "/../../data/default_cursor.jpg"),
                pictures.filePath(background));
    Session third(folder());
    const auto damaged = third.journal->previous();
    ASSERT_TRUE(damaged.has_value());
    EXPECT_TRUE(damaged->current().pictures.BackgroundSource.isNull());
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
