#include "core/SkinFile.h"

#include "TestFiles.h"
#include "core/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray colourBytes(quint8 start = 0)
{
    QByteArray bytes;
    for (int i = 0; i < 60; ++i)
        bytes.append(static_cast<char>(start + i));
    return bytes;
}

QByteArray textField(const QList<quint16> &units)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(units.size() & 0xFF));
    bytes.append(static_cast<char>(units.size() >> 8));
    for (quint16 u : units) {
        bytes.append(static_cast<char>(u & 0xFF));
        bytes.append(static_cast<char>(u >> 8));
    }
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    ASSERT_TRUE(testfiles::write(path, bytes));
}

QByteArray readFile(const QString &path)
{
    return testfiles::read(path);
}

} // namespace

TEST(ColourScheme, DefaultsAndReset)
{
    ColourScheme scheme;
    EXPECT_EQ(scheme.table()[0], makeColor(255, 255, 255));
    EXPECT_EQ(scheme.slotColour(0), makeColor(0, 51, 255));
    EXPECT_EQ(scheme.slotColour(6), makeColor(212, 208, 200));
    EXPECT_EQ(scheme.slotColour(9), makeColor(182, 189, 210));
    EXPECT_EQ(scheme.slotColour(13), makeColor(255, 0, 0));
    EXPECT_EQ(scheme.selectedSlot(), 0);
    // Reset straight after start gives slot 0 its default.
    scheme.setSlotColour(0, makeColor(1, 2, 3));
    scheme.resetSelected();
    EXPECT_EQ(scheme.slotColour(0), makeColor(0, 51, 255));
    EXPECT_EQ(slotCaption(3), QStringLiteral("разделитель \"В сети/Не в сети\"/группы"));
}

TEST(ColourScheme, ColourValueLayoutKeepsRedInTheLowByte)
{
    const TColor c = makeColor(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412u);
    EXPECT_EQ(colorToHex(c), QStringLiteral("#123456"));
}

TEST(ColourScheme, TypedColoursReadInTheirLongAndShortForms)
{
    const std::pair<const char *, TColor> good[] = {
        {"#123456", makeColor(0x12, 0x34, 0x56)},
        {"abcDEF", makeColor(0xAB, 0xCD, 0xEF)},
        {"#F80", makeColor(0xFF, 0x88, 0x00)},
        {" 0a1 ", makeColor(0x00, 0xAA, 0x11)},
    };
    for (const auto &[text, colour] : good)
        EXPECT_EQ(parseColourText(QString::fromLatin1(text)), colour) << text;
    for (const char *text :
         {"", "#", "#12345", "#1234567", "12345G", "+12345", "0x1234", "# 123", "##123"})
        EXPECT_EQ(parseColourText(QString::fromLatin1(text)), std::nullopt) << text;
    EXPECT_EQ(parseColourText(colorToHex(makeColor(1, 2, 3))), makeColor(1, 2, 3));
}

TEST(SkinFormat, WritesTheExactLayout)
{
    SkinData skin;
    for (int i = 0; i < kSlotCount; ++i)
        skin.colours[i] = makeColor(3 * i, 3 * i + 1, 3 * i + 2);
    skin.mifName = QStringLiteral("a.mif");
    skin.copyright = QStringLiteral("ёАя");
    const auto bytes = writeSkin(skin);
    ASSERT_TRUE(bytes);
    const QByteArray expected =
        colourBytes() + textField({'a', '.', 'm', 'i', 'f'}) + textField({0x0451, 0x0410, 0x044F});
    EXPECT_EQ(*bytes, expected);
}

TEST(SkinFormat, CodeUnitMappingBoundaries)
{
    const struct
    {
        unsigned char byte;
        quint16 unit;
    } cases[] = {{0x00, 0x0000}, {0x41, 0x0041}, {0x83, 0x0083}, {0x84, 0x03D4}, {0xA8, 0x03F8},
                 {0xB7, 0x0407}, {0xB8, 0x0451}, {0xB9, 0x0409}, {0xC0, 0x0410}, {0xFF, 0x044F}};
    for (const auto &c : cases) {
        EXPECT_EQ(skinCodeUnitFromByte(c.byte), c.unit) << int(c.byte);
        EXPECT_EQ(skinByteFromCodeUnit(c.unit), c.byte) << int(c.byte);
    }
}

TEST(SkinFormat, ThreeHundredCharacterCopyrightCountsInTwoBytes)
{
    SkinData skin;
    skin.copyright = QString(300, u'Ж');
    const auto bytes = writeSkin(skin);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(quint8((*bytes)[62]), 0x2C);
    EXPECT_EQ(quint8((*bytes)[63]), 0x01);
    const auto back = readSkin(*bytes, QStringLiteral("x.skin"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->copyright, skin.copyright);
}

TEST(SkinFormat, EveryCodePageByteSurvivesAWriteAndARead)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    SkinData skin;
    skin.mifName = cp1251::decode(all);
    skin.copyright = cp1251::decode(all).repeated(2);
    const auto bytes = writeSkin(skin);
    ASSERT_TRUE(bytes);
    const auto back = readSkin(*bytes, QStringLiteral("x.skin"));
    ASSERT_TRUE(back);
    EXPECT_EQ(cp1251::encode(back->mifName), all);
    EXPECT_EQ(back->copyright, skin.copyright);
    // And the bytes themselves are stable through a second round.
    EXPECT_EQ(writeSkin(*back).value(), *bytes);
}

TEST(SkinFormat, ReadsCodeUnitsOutsideTheWrittenRanges)
{
    // 0x00C0 is the byte itself (А), 0x03D0 maps down to 0x80 (Ђ), anything else keeps its low
    // byte: 0x1234 -> 0x34 ('4').
    const QByteArray bytes = colourBytes() + textField({0x00C0, 0x03D0, 0x1234, 0x0451});
    const auto skin = readSkin(bytes, QStringLiteral("x.skin"));
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->mifName, QStringLiteral("АЂ4ё"));
}

TEST(SkinFormat, SixtyTwoByteFileHasEmptyTexts)
{
    const auto skin = readSkin(colourBytes() + textField({}), QStringLiteral("x.skin"));
    ASSERT_TRUE(skin);
    EXPECT_TRUE(skin->mifName.isEmpty());
    EXPECT_TRUE(skin->copyright.isEmpty());
    EXPECT_EQ(skin->colours[0], makeColor(0, 1, 2));
    EXPECT_EQ(skin->colours[19], makeColor(57, 58, 59));
}

TEST(SkinFormat, TrailingBytesAfterTheCopyrightAreIgnored)
{
    const auto skin = readSkin(colourBytes() + textField({'m'}) + textField({'c'}) + "junk",
                               QStringLiteral("x.skin"));
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->copyright, QStringLiteral("c"));
}

TEST(SkinFormat, TruncationReportsHowFarTheReadCame)
{
    struct Case
    {
        QByteArray bytes;
        int coloursRead;
        bool mifNameRead;
    };
    const QByteArray full = colourBytes() + textField({'m', 'i'}) + textField({'c', 'o'});
    const Case cases[] = {
        {QByteArray(), 0, false},   {full.left(7), 2, false}, // inside the third colour record
        {full.left(61), 20, false},                           // inside the count of the MIF name
        {full.left(65), 20, false},                           // inside the MIF name's code units
        {full.left(67), 20, true},                            // inside the copyright count
        {full.left(70), 20, true},                            // inside the copyright's code units
    };
    for (const Case &c : cases) {
        const auto skin = readSkin(c.bytes, QStringLiteral("cut.skin"));
        ASSERT_FALSE(skin) << c.bytes.size();
        EXPECT_EQ(skin.error().coloursRead, c.coloursRead) << c.bytes.size();
        EXPECT_EQ(skin.error().mifNameRead, c.mifNameRead) << c.bytes.size();
        EXPECT_EQ(skin.error().error.kind, Error::Kind::Truncated);
        EXPECT_TRUE(skin.error().error.message.contains(QStringLiteral("cut.skin")));
    }
}

TEST(SkinFormat, RefusesTextsTooLongForTheCount)
{
    SkinData skin;
    skin.copyright = QString(0x10000, u'x');
    EXPECT_FALSE(writeSkin(skin));
}

class SkinFiles : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    ColourScheme scheme;
    SkinTexts texts;
};

TEST_F(SkinFiles, LoadSetsNamesColoursAndTexts)
{
    writeFile(path(QStringLiteral("my.skin")),
              colourBytes(10) + textField({'m'}) + textField({'c'}));
    scheme.selectSlot(5);
    const TColor reset = scheme.resetColour();
    ASSERT_TRUE(loadSkinFile(path(QStringLiteral("my.skin")), scheme, texts));
    EXPECT_EQ(texts.skinFileName, QStringLiteral("my.skin"));
    EXPECT_EQ(texts.baseName, QStringLiteral("my"));
    EXPECT_EQ(texts.mifName, QStringLiteral("m"));
    EXPECT_EQ(texts.copyright, QStringLiteral("c"));
    EXPECT_EQ(scheme.slotColour(0), makeColor(10, 11, 12));
    // Loading a scheme does not move the selection or its reset colour.
    EXPECT_EQ(scheme.selectedSlot(), 5);
    EXPECT_EQ(scheme.resetColour(), reset);
}

TEST_F(SkinFiles, BaseNameDropsTheLastFiveCharactersWhateverTheyAre)
{
    writeFile(path(QStringLiteral("abcdefg")), colourBytes() + textField({}));
    ASSERT_TRUE(loadSkinFile(path(QStringLiteral("abcdefg")), scheme, texts));
    EXPECT_EQ(texts.baseName, QStringLiteral("ab"));
    writeFile(path(QStringLiteral("abc")), colourBytes() + textField({}));
    ASSERT_TRUE(loadSkinFile(path(QStringLiteral("abc")), scheme, texts));
    EXPECT_EQ(texts.baseName, QString());
}

TEST_F(SkinFiles, FileEndingAfterTheMifNameEmptiesTheCopyright)
{
    texts.copyright = QStringLiteral("old");
    writeFile(path(QStringLiteral("a.skin")), colourBytes() + textField({'z'}));
    ASSERT_TRUE(loadSkinFile(path(QStringLiteral("a.skin")), scheme, texts));
    EXPECT_EQ(texts.copyright, QString());
}

TEST_F(SkinFiles, PartialReadKeepsWhatCameBeforeTheFailure)
{
    texts.mifName = QStringLiteral("keep.mif");
    texts.copyright = QStringLiteral("keep");
    writeFile(path(QStringLiteral("cut.skin")), colourBytes(100).left(10));
    const auto loaded = loadSkinFile(path(QStringLiteral("cut.skin")), scheme, texts);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(scheme.slotColour(0), makeColor(100, 101, 102));
    EXPECT_EQ(scheme.slotColour(2), makeColor(106, 107, 108));
    EXPECT_EQ(scheme.slotColour(3), defaultSlotColour(3));
    EXPECT_EQ(texts.skinFileName, QStringLiteral("cut.skin"));
    EXPECT_EQ(texts.mifName, QStringLiteral("keep.mif"));
    EXPECT_EQ(texts.copyright, QStringLiteral("keep"));
}

TEST_F(SkinFiles, MissingFileIsAnIoError)
{
    const auto loaded = loadSkinFile(path(QStringLiteral("none.skin")), scheme, texts);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().kind, Error::Kind::Io);
    EXPECT_EQ(scheme.slotColour(0), defaultSlotColour(0));
}

TEST_F(SkinFiles, SaveAppendsTheExtensionCaseSensitively)
{
    const struct
    {
        QString given;
        QString written;
    } cases[] = {{QStringLiteral("plain"), QStringLiteral("plain.skin")},
                 {QStringLiteral("UP.SKIN"), QStringLiteral("UP.SKIN.skin")},
                 {QStringLiteral("ok.skin"), QStringLiteral("ok.skin")}};
    for (const auto &c : cases) {
        texts.skinFileName = c.given;
        const auto saved = saveSkinFile(m_dir.path(), scheme, texts);
        ASSERT_TRUE(saved) << saved.error().message.toStdString();
        EXPECT_EQ(texts.skinFileName, c.written);
        EXPECT_EQ(*saved, path(c.written));
        EXPECT_TRUE(QFile::exists(path(c.written)));
    }
}

TEST_F(SkinFiles, SaveThenLoadRoundTrips)
{
    scheme.setSlotColour(7, makeColor(9, 8, 7));
    texts.mifName = QStringLiteral("Моя.mif");
    texts.copyright = QStringLiteral("(c) Ёлка\r\nстрока 2");
    ASSERT_TRUE(saveSkinFile(m_dir.path(), scheme, texts));
    ColourScheme loadedScheme;
    SkinTexts loadedTexts;
    ASSERT_TRUE(loadSkinFile(path(QStringLiteral("default.skin")), loadedScheme, loadedTexts));
    EXPECT_EQ(loadedScheme.table(), scheme.table());
    EXPECT_EQ(loadedTexts.mifName, texts.mifName);
    EXPECT_EQ(loadedTexts.copyright, texts.copyright);
}

TEST_F(SkinFiles, SaveCreatesOnlyTheLastFolderLevel)
{
    EXPECT_TRUE(saveSkinFile(path(QStringLiteral("new")), scheme, texts));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("new/default.skin"))));
    EXPECT_FALSE(saveSkinFile(path(QStringLiteral("a/b")), scheme, texts));
}

TEST_F(SkinFiles, FailedSaveLeavesTheOldFileIntact)
{
    writeFile(path(QStringLiteral("default.skin")), "old contents");
    texts.copyright = QString(0x10000, u'x');
    EXPECT_FALSE(saveSkinFile(m_dir.path(), scheme, texts));
    EXPECT_EQ(readFile(path(QStringLiteral("default.skin"))), QByteArray("old contents"));
    // A target that cannot be replaced (a folder in its way) reports the system's error.
    QDir(m_dir.path()).mkdir(QStringLiteral("taken.skin"));
    texts.copyright.clear();
    texts.skinFileName = QStringLiteral("taken.skin");
    const auto saved = saveSkinFile(m_dir.path(), scheme, texts);
    ASSERT_FALSE(saved);
    EXPECT_TRUE(saved.error().message.contains(QStringLiteral("taken.skin")));
}
