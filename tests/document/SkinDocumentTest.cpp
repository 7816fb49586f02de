#include "document/SkinDocument.h"
#include "TestFiles.h"
#include "containers/PictureCodecs.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray skinBytes(quint8 firstRed, const QByteArray &tail = QByteArray("\x01\x00m\x00", 4))
{
    QByteArray bytes(60, '\0');
    bytes[0] = static_cast<char>(firstRed);
    return bytes + tail;
}

class Document : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    SkinDocument document;
    QSignalSpy colours{&document, &SkinDocument::colourChanged};
    QSignalSpy texts{&document, &SkinDocument::textsChanged};
    QSignalSpy pictures{&document, &SkinDocument::picturesChanged};
};

} // namespace

TEST_F(Document, ColourChangesAreAnnouncedOncePerSlot)
{
    document.setSlotColour(4, makeColor(1, 2, 3));
    ASSERT_EQ(colours.count(), 1);
    EXPECT_EQ(colours.at(0).at(0).toInt(), 4);
    EXPECT_EQ(document.tableColour(5), makeColor(1, 2, 3));
    document.setSlotColour(20, makeColor(9, 9, 9));
    document.setSlotColour(-1, makeColor(9, 9, 9));
    EXPECT_EQ(colours.count(), 1) << "slots out of range change nothing";
    EXPECT_EQ(document.tableColour(0), kFixedWhite);
    EXPECT_EQ(document.tableColour(kColourTableSize), kFixedWhite);
    document.setDefaultColours();
    EXPECT_EQ(colours.last().at(0).toInt(), -1);
    EXPECT_EQ(document.slotColour(4), defaultSlotColour(4));
    EXPECT_EQ(texts.count() + pictures.count(), 0);
}

TEST_F(Document, ResetGivesBackTheColourTheSlotHadWhenPicked)
{
    document.setSlotColour(7, makeColor(10, 20, 30));
    document.selectSlot(7);
    document.setSlotColour(7, makeColor(99, 99, 99));
    document.resetSelected();
    EXPECT_EQ(document.slotColour(7), makeColor(10, 20, 30));
    EXPECT_EQ(colours.last().at(0).toInt(), 7);
}

TEST_F(Document, ASkinFileSetsColoursAndTextsAndAnnouncesBoth)
{
    ASSERT_TRUE(testfiles::write(path(QStringLiteral("a.skin")), skinBytes(77)));
    ASSERT_TRUE(document.loadSkin(path(QStringLiteral("a.skin"))));
    EXPECT_EQ(colorRed(document.slotColour(0)), 77);
    EXPECT_EQ(document.texts().mifName, QStringLiteral("m"));
    EXPECT_EQ(colours.count(), 1);
    EXPECT_EQ(texts.count(), 1);
}

TEST_F(Document, ATruncatedSkinKeepsWhatWasReadAndStillAnnouncesIt)
{
    ASSERT_TRUE(testfiles::write(path(QStringLiteral("short.skin")), skinBytes(88).left(7)));
    EXPECT_FALSE(document.loadSkin(path(QStringLiteral("short.skin"))));
    EXPECT_EQ(colorRed(document.slotColour(0)), 88);
    EXPECT_EQ(colours.count(), 1) << "the screen must show the colours that did change";
}

TEST_F(Document, PictureImportsAnnounceOnlyRealChanges)
{
    QImage red(8, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(testfiles::write(path(QStringLiteral("red.bmp")), encodeBmp24(red)));
    ASSERT_TRUE(testfiles::write(path(QStringLiteral("red.gif")), encodeBmp24(red)));
    ASSERT_TRUE(testfiles::write(path(QStringLiteral("broken.jpg")), "not a jpeg"));

    auto imported = document.importBackground(path(QStringLiteral("red.bmp")));
    ASSERT_TRUE(imported && *imported);
    EXPECT_EQ(document.pictures().BackgroundSource.size(), QSize(8, 4));
    EXPECT_EQ(document.pictures().BackgroundPicture.size(), QSize(8, 4));
    EXPECT_EQ(pictures.count(), 1);

    imported = document.importCursor(path(QStringLiteral("red.gif")));
    ASSERT_TRUE(imported);
    EXPECT_FALSE(*imported);
    EXPECT_FALSE(document.importCursor(path(QStringLiteral("broken.jpg"))));
    EXPECT_EQ(pictures.count(), 1) << "refused and broken files change nothing";
    EXPECT_TRUE(document.pictures().CursorSource.isNull());
}
