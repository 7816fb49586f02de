#include "TestFiles.h"
#include "containers/PictureCodecs.h"
#include "document/SkinDocument.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class History : public ::testing::Test
{
protected:
    void SetUp() override
    {
        history().clear();
        history().setRecording(true);
    }
    SkinHistory &history() { return document.history(); }
    QUndoStack &stack() { return history().stack(); }

    QString pngFile(const QString &name, QRgb colour, QSize size = {8, 8})
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colour);
        const QString path = m_dir.filePath(name);
        testfiles::write(path, *encodePng(picture));
        return path;
    }

    QTemporaryDir m_dir;
    SkinDocument document;
};

} // namespace

TEST_F(History, EachChangeOutsideAStepIsOneStepThatUndoesAndRedoes)
{
    const TColor before = document.slotColour(4);
    document.setSlotColour(4, makeColor(1, 2, 3));
    document.setSlotColour(7, makeColor(4, 5, 6));
    ASSERT_EQ(stack().count(), 2);
    EXPECT_EQ(stack().undoText(), SkinDocument::colourStepName(7));
    EXPECT_TRUE(stack().undoText().contains(slotCaption(7)));
    stack().undo();
    EXPECT_EQ(document.slotColour(7), defaultSlotColour(7));
    EXPECT_EQ(document.slotColour(4), makeColor(1, 2, 3));
    stack().undo();
    EXPECT_EQ(document.slotColour(4), before);
    stack().redo();
    stack().redo();
    EXPECT_EQ(document.slotColour(7), makeColor(4, 5, 6));
    // Undoing announces the change like any other, so the screen follows.
    QSignalSpy colours(&document, &SkinDocument::colourChanged);
    stack().undo();
    EXPECT_EQ(colours.count(), 1);
    // Undo steps themselves are not recorded again.
    EXPECT_EQ(stack().count(), 2);
}

TEST_F(History, AStepGathersEverythingInsideItAndDropsNoChanges)
{
    {
        SkinHistory::Step drag(history(), QStringLiteral("drag"));
        for (int red = 0; red < 50; ++red)
            document.setSlotColour(2, makeColor(red, 0, 0));
        // A nested step joins the outer one.
        SkinHistory::Step inner(history(), QStringLiteral("inner"));
        document.setSlotColour(3, makeColor(0, 0, 9));
    }
    ASSERT_EQ(stack().count(), 1);
    EXPECT_EQ(stack().undoText(), QStringLiteral("drag"));
    stack().undo();
    EXPECT_EQ(document.slotColour(2), defaultSlotColour(2));
    EXPECT_EQ(document.slotColour(3), defaultSlotColour(3));
    stack().redo();
    // Setting a colour to what it already is, or a step that ends where it began, is no step.
    document.setSlotColour(2, makeColor(49, 0, 0));
    {
        SkinHistory::Step roundTrip(history(), QStringLiteral("there and back"));
        document.setSlotColour(5, makeColor(1, 1, 1));
        document.setSlotColour(5, defaultSlotColour(5));
    }
    EXPECT_EQ(stack().count(), 1);
    // Nothing is recorded while recording is off (start-up, the command line).
    history().setRecording(false);
    document.setSlotColour(6, makeColor(7, 7, 7));
    EXPECT_EQ(stack().count(), 1);
}

TEST_F(History, SchemesAndPicturesAreStepsToo)
{
    const QString skin = m_dir.filePath(QStringLiteral("x.skin"));
    QByteArray bytes(60, '\0');
    bytes[0] = char(200);
    testfiles::write(skin, bytes + QByteArray("\x01\x00m\x00", 4));
    ASSERT_TRUE(document.loadSkin(skin).has_value());
    ASSERT_TRUE(document.importBackground(pngFile(QStringLiteral("b.png"), qRgb(9, 8, 7))));
    ASSERT_TRUE(document.importCursor(pngFile(QStringLiteral("c.png"), qRgb(1, 2, 3))));
    // "Сброс цвета" gives slot 0 the colour it had when picked, before the scheme came.
    document.resetSelected();
    ASSERT_EQ(stack().count(), 4);
    EXPECT_EQ(document.slotColour(0), defaultSlotColour(0));
    stack().undo();
    EXPECT_EQ(colorRed(document.slotColour(0)), 200);
    EXPECT_EQ(document.pictures().CursorSource.pixel(0, 0), qRgb(1, 2, 3));
    stack().undo();
    EXPECT_TRUE(document.pictures().CursorSource.isNull());
    EXPECT_EQ(document.pictures().BackgroundSource.pixel(0, 0), qRgb(9, 8, 7));
    stack().undo();
    EXPECT_TRUE(document.pictures().BackgroundSource.isNull());
    EXPECT_EQ(document.texts().skinFileName, QStringLiteral("x.skin"));
    stack().undo();
    EXPECT_EQ(document.slotColour(0), defaultSlotColour(0));
    EXPECT_EQ(document.texts(), SkinTexts{}) << "the texts come back with the colours";
    // A picture that could not be read changes nothing and is no step.
    const QString broken = m_dir.filePath(QStringLiteral("broken.png"));
    testfiles::write(broken, "not a png");
    EXPECT_FALSE(document.importBackground(broken).has_value());
    EXPECT_EQ(stack().index(), 0);
    EXPECT_EQ(stack().count(), 4);
}

TEST_F(History, AJumpAndAReplacedHistoryLandOnTheChosenStep)
{
    for (int i = 1; i <= 5; ++i)
        document.setSlotColour(0, makeColor(i, i, i));
    stack().setIndex(2);
    EXPECT_EQ(document.slotColour(0), makeColor(2, 2, 2));
    stack().setIndex(0);
    EXPECT_EQ(document.slotColour(0), defaultSlotColour(0));

    SkinState origin = document.state();
    origin.colours[0] = makeColor(10, 0, 0);
    QList<std::pair<QString, SkinState>> steps;
    SkinState state = origin;
    for (int i = 1; i <= 3; ++i) {
        state.colours[1] = makeColor(0, i, 0);
        steps.append({QStringLiteral("step %1").arg(i), state});
    }
    history().replace(origin, steps, 2);
    EXPECT_EQ(stack().count(), 3);
    EXPECT_EQ(stack().index(), 2);
    EXPECT_EQ(document.state(), steps[1].second);
    stack().undo();
    stack().undo();
    EXPECT_EQ(document.state(), origin);
    EXPECT_EQ(history().origin(), origin);
    stack().setIndex(3);
    EXPECT_EQ(document.slotColour(1), makeColor(0, 3, 0));
    EXPECT_EQ(stack().count(), 3) << "replaying records nothing";
}

TEST_F(History, TheOldestStepsFallOffAtTheLimitAndTheOriginMovesUp)
{
    const int extra = 5;
    for (int i = 0; i < SkinHistory::kDefaultLimit + extra; ++i)
        document.setSlotColour(1, makeColor(i % 256, i / 256, 1));
    EXPECT_EQ(stack().count(), SkinHistory::kDefaultLimit);
    stack().setIndex(0);
    // Undoing everything reaches the state after the dropped steps, not the start.
    EXPECT_EQ(document.slotColour(1), makeColor(extra - 1, 0, 1));
    EXPECT_EQ(history().origin(), document.state());
}

TEST_F(History, PicturesBeyondTheLimitDropTheOldestSteps)
{
    // Each picture is 40 000 bytes; the history may hold a little over two of them.
    history().setPictureLimit(90'000);
    const auto picture = [](int shade) {
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(qRgb(shade, shade, shade));
        return image;
    };
    for (int shade = 1; shade <= 4; ++shade) {
        // Working and export copy share one picture, as an import makes them.
        const QImage shared = picture(shade);
        document.setPictures({shared, shared, QImage(), QImage()});
    }
    document.setSlotColour(2, makeColor(2, 2, 2));
    // The newest picture and the one before it fit; older states are gone.
    ASSERT_EQ(stack().count(), 2);
    EXPECT_EQ(stack().index(), 2);
    stack().setIndex(0);
    EXPECT_EQ(document.pictures().BackgroundSource.pixel(0, 0), qRgb(3, 3, 3));
    EXPECT_EQ(history().origin(), document.state());
    stack().setIndex(2);
    EXPECT_EQ(document.slotColour(2), makeColor(2, 2, 2));
    EXPECT_EQ(document.pictures().BackgroundSource.pixel(0, 0), qRgb(4, 4, 4));
}
