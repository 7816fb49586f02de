// The resource generator's own machinery: the supersampled painting and its split into picture
// and mask, the packing through the converter, the code page 1251 writer, the pixel fonts and
// the numbered icon lists.

#include "IconSets.h"
#include "MbmPacker.h"
#include "Painting.h"
#include "PixelFont.h"
#include "SampleTexts.h"

#include "containers/MbmImageList.h"
#include "core/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A picture with soft edges and colours that a premultiplied channel would darken.
QImage softDisc(const QColor &colour)
{
    return paintIcon([&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QRectF(1.3, 2.2, 12.1, 10.4));
    });
}

} // namespace

TEST(PaintIcon, KeepsFullColourOnHalfCoveredPixels)
{
    const QColor orange(0xf3, 0x93, 0x1b);
    const QImage icon = paintIcon([&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.fillRect(QRectF(0, 0, 8.5, 16), orange);
    });
    ASSERT_EQ(icon.size(), QSize(16, 16));
    EXPECT_EQ(icon.pixel(0, 5), orange.rgb());
    EXPECT_EQ(icon.pixel(7, 5), orange.rgb());
    EXPECT_EQ(qAlpha(icon.pixel(9, 5)), 0);

    // Pixel 8 is half covered: half alpha, but the colour must stay orange, not go darker.
    const QRgb edge = icon.pixel(8, 5);
    EXPECT_NEAR(qAlpha(edge), 128, 1);
    EXPECT_NEAR(qRed(edge), orange.red(), 1);
    EXPECT_NEAR(qGreen(edge), orange.green(), 1);
    EXPECT_NEAR(qBlue(edge), orange.blue(), 1);
}

TEST(PaintIcon, SplitsIntoAPictureAndAGreyMaskOfItsCoverage)
{
    const QImage icon = softDisc(QColor(0x35, 0x78, 0xd8));
    const QImage picture = iconPicture(icon);
    const QImage mask = iconMask(icon);
    ASSERT_EQ(picture.size(), icon.size());
    ASSERT_EQ(mask.size(), icon.size());
    int soft = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb s = icon.pixel(x, y);
            const QRgb m = mask.pixel(x, y);
            EXPECT_EQ(qRed(m), qAlpha(s));
            EXPECT_EQ(qGreen(m), qAlpha(s));
            EXPECT_EQ(qBlue(m), qAlpha(s));
            const QRgb expected = qAlpha(s) == 0 ? 0u : (s & 0xffffff);
            EXPECT_EQ(picture.pixel(x, y) & 0xffffff, expected) << x << "," << y;
            soft += qAlpha(s) > 0 && qAlpha(s) < 255;
        }
    EXPECT_GT(soft, 8) << "the disc should have soft edges";
}

class Packing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("scratch")));
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("work/temp")));
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    IconList twoIcons() const
    {
        return IconList{QStringLiteral("Test.mbm"),
                        {Icon{QStringLiteral("blue"), softDisc(QColor(0x35, 0x78, 0xd8))},
                         Icon{QStringLiteral("red"), softDisc(QColor(0xe2, 0x3b, 0x2e))}}};
    }

    QTemporaryDir m_dir;
};

TEST_F(Packing, RoundTripsPicturesAndMasksThroughTheConverter)
{
    const IconList icons = twoIcons();
    const QString target = path(QStringLiteral("out/Test.mbm"));
    const auto packed = packIconList(icons, QStringLiteral(VELMORA_BMCONV),
                                     path(QStringLiteral("scratch")), target);
    ASSERT_TRUE(packed) << packed.error().message.toStdString();

    MbmImageList list;
    list.ToolName = QStringLiteral(VELMORA_BMCONV);
    list.WorkFolder = path(QStringLiteral("work"));
    ASSERT_TRUE(list.LoadFromMBM(target));
    ASSERT_EQ(list.Count(), 4);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(testing::Message() << "icon " << 2 * i);
        const QImage &icon = icons.icons[i].image;
        const QImage picture = list.Get(2 * i).Bitmap.convertToFormat(QImage::Format_RGB32);
        const QImage mask = list.Get(2 * i + 1).Bitmap.convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(list.Get(2 * i).ColourMode, QStringLiteral("24 Bpp Colour"));
        EXPECT_EQ(list.Get(2 * i + 1).ColourMode, QStringLiteral("8 Bpp Monochrome"));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                EXPECT_EQ(qGray(mask.pixel(x, y)), qAlpha(icon.pixel(x, y))) << x << "," << y;
                if (qAlpha(icon.pixel(x, y)) > 0) {
                    EXPECT_EQ(picture.pixel(x, y) & 0xffffff, icon.pixel(x, y) & 0xffffff)
                        << x << "," << y;
                }
            }
    }
}

TEST_F(Packing, AFailedConverterLeavesTheOldFileAlone)
{
    const QString target = path(QStringLiteral("Test.mbm"));
    writeFile(target, "old contents");
    const auto missing = packIconList(twoIcons(), path(QStringLiteral("no-such-bmconv")),
                                      path(QStringLiteral("scratch")), target);
    EXPECT_FALSE(missing);

    // A converter that runs but builds nothing.
    const QString fake = path(QStringLiteral("fake-bmconv"));
    writeFile(fake, "#!/bin/sh\necho Success.\n");
    QFile::setPermissions(fake, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const auto empty = packIconList(twoIcons(), fake, path(QStringLiteral("scratch")), target);
    EXPECT_FALSE(empty);
    EXPECT_EQ(readFile(target), QByteArray("old contents"));
}

TEST(Cp1251Writer, WritesTheCodePageAndRefusesWhatItCannotHold)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/Text.txt"));
    const QString text = QStringLiteral("Привет, Ёжик — «тест»\r\n:-)");
    ASSERT_TRUE(writeCp1251(path, text));
    const QByteArray bytes = readFile(path);
    EXPECT_EQ(bytes, cp1251::encode(text));
    EXPECT_EQ(bytes.at(0), char(0xcf)); // П
    EXPECT_EQ(cp1251::decode(bytes), text);

    EXPECT_FALSE(writeCp1251(path, QStringLiteral("漢字")));
    EXPECT_EQ(readFile(path), bytes) << "a refused text replaced the file";
}

TEST(PixelFonts, EveryGlyphStaysInsideItsCellAndOnWholePixels)
{
    const QString characters = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ?!+-");
    for (PixelFont font : {PixelFont::Small, PixelFont::Large}) {
        const int w = glyphWidth(font), h = glyphHeight(font);
        for (QChar ch : characters) {
            SCOPED_TRACE(testing::Message()
                         << "'" << char(ch.unicode()) << "' in the "
                         << (font == PixelFont::Small ? "small" : "large") << " font");
            const QImage image = paintIcon(
                [&](QPainter &p) { drawPixelText(p, font, QString(ch), 2, 3, Qt::black); });
            int inked = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const int a = qAlpha(image.pixel(x, y));
                    EXPECT_TRUE(a == 0 || a == 255) << "blurred pixel " << x << "," << y;
                    if (a == 0)
                        continue;
                    ++inked;
                    EXPECT_TRUE(x >= 2 && x < 2 + w && y >= 3 && y < 3 + h)
                        << "ink outside the cell at " << x << "," << y;
                }
            EXPECT_GT(inked, 2) << "glyph missing";
        }
        EXPECT_EQ(textWidth(font, QStringLiteral("AB")), 2 * w + 1);
    }
}

TEST(NumberedIconsDeathTest, RefusesGapsDoublesAndOddNumbers)
{
    const QImage image = paintIcon([](QPainter &) {});
    EXPECT_DEATH(
        {
            NumberedIcons list(QStringLiteral("Gap.mbm"), 2);
            list.set(0, QStringLiteral("only"), image);
            list.take();
        },
        "Gap.mbm: icon 2 has no picture");
    EXPECT_DEATH(
        {
            NumberedIcons list(QStringLiteral("Twice.mbm"), 2);
            list.set(2, QStringLiteral("a"), image);
            list.set(2, QStringLiteral("b"), image);
        },
        "Twice.mbm: icon 2 is painted twice");
    EXPECT_DEATH(
        {
            NumberedIcons list(QStringLiteral("Odd.mbm"), 2);
            list.set(3, QStringLiteral("mask slot"), image);
        },
        "Odd.mbm: icon number 3");
}

TEST(SmileySet, ListAndPicturesComeOutInTheSameOrder)
{
    const QList<Smiley> set = smileys();
    const QStringList lines = smileyList(set).split(QStringLiteral("\r\n"));
    const IconList pictures = smileyIcons(set);
    ASSERT_EQ(lines.size(), set.size());
    ASSERT_EQ(pictures.icons.size(), set.size());
    for (int i = 0; i < set.size(); ++i) {
        EXPECT_EQ(lines[i], set[i].codes.join(u','));
        EXPECT_EQ(pictures.icons[i].image, set[i].icon.image) << "smiley " << i;
    }
}
