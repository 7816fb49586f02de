// The sample skins: what the generator paints makes legible skins, and the files shipped in
// data/skins/ are exactly what the generator and the export make of it, so a change to the
// generator that was not regenerated shows up here.

#include "SampleSkins.h"

#include "PictureCompare.h"
#include "containers/MifImageList.h"
#include "containers/PictureCodecs.h"
#include "containers/SkinImages.h"
#include "core/SkinFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kSkins = QStringLiteral(VELMORA_TEST_DATA "/../../data/skins");

// The contrast measure of the web's accessibility rules, computed here on its own so that the
// generator's helper is not checked against itself.
double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor meanColour(const QImage &image, const QRect &area)
{
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x, ++n) {
            const QRgb s = image.pixel(x, y);
            r += qRed(s);
            g += qGreen(s);
            b += qBlue(s);
        }
    return QColor(qRound(r / n), qRound(g / n), qRound(b / n));
}

double distance(const QColor &a, const QColor &b)
{
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
}

QColor slotColour(const SampleSkin &skin, int slot)
{
    return toQColor(skin.colours[slot]);
}

// Body text wants 4.5:1; the menus are plain colour and can give the full 7:1.
constexpr double kText = 4.5;
constexpr double kMenuText = 7.0;

struct Painted
{
    SampleSkin skin;
    QImage background;
    QImage cursor;
};

const QList<Painted> &painted()
{
    static const QList<Painted> all = [] {
        QList<Painted> list;
        for (const SampleSkin &skin : sampleSkins()) {
            const QImage background = paintSkinBackground(skin);
            list.append({skin, background, paintSkinCursor(skin, background)});
        }
        return list;
    }();
    return all;
}

} // namespace

TEST(SampleSkins, AreAtLeastFourWithNamesTheClientAccepts)
{
    const QList<SampleSkin> skins = sampleSkins();
    ASSERT_GE(skins.size(), 4);
    const QRegularExpression latin(QStringLiteral("^[a-z]+$"));
    QSet<QString> names;
    bool bitmaps = false, embedded = false;
    for (const SampleSkin &skin : skins) {
        EXPECT_TRUE(latin.match(skin.name).hasMatch()) << skin.name.toStdString();
        // The client keeps "default" for its own skin and the export refuses it.
        EXPECT_NE(skin.name, QStringLiteral("default"));
        EXPECT_FALSE(names.contains(skin.name)) << skin.name.toStdString();
        names.insert(skin.name);
        (skin.bitmaps ? bitmaps : embedded) = true;
    }
    // Both ways of storing the pictures have a sample.
    EXPECT_TRUE(bitmaps);
    EXPECT_TRUE(embedded);
}

TEST(SampleSkinPictures, HaveTheirSizesAndComeOutTheSameEveryTime)
{
    for (const Painted &p : painted()) {
        SCOPED_TRACE(p.skin.name.toStdString());
        EXPECT_EQ(p.background.size(), QSize(240, 320));
        EXPECT_EQ(p.cursor.size(), QSize(120, 18));
        EXPECT_FALSE(p.background.hasAlphaChannel());
        EXPECT_FALSE(p.cursor.hasAlphaChannel());
        // Nothing unseeded: a second painting gives the very same pixels.
        const QImage again = paintSkinBackground(p.skin);
        EXPECT_EQ(again, p.background);
        EXPECT_EQ(paintSkinCursor(p.skin, again), p.cursor);
        // A painted picture, not a flat fill: its parts differ in brightness.
        double darkest = 1, lightest = 0;
        for (int y = 0; y < p.background.height(); y += 16)
            for (int x = 0; x < p.background.width(); x += 16) {
                const double l = luminance(meanColour(p.background, QRect(x, y, 16, 16)));
                darkest = std::min(darkest, l);
                lightest = std::max(lightest, l);
            }
        EXPECT_GT(lightest - darkest, 0.03);
    }
}

TEST(SampleSkinColours, TextOnTheBackgroundIsLegibleEverywhere)
{
    // Everything the client writes straight on the background: contact list, clock, separator
    // rows, softkeys, the chat title and every kind of chat line, the blinking nick.
    const int onBackground[] = {Slot::ContactNick,   Slot::Clock,        Slot::Separator,
                                Slot::LeftSoftkey,   Slot::RightSoftkey, Slot::MenuText,
                                Slot::ChatTheirNick, Slot::ChatOwnNick,  Slot::ChatMessage,
                                Slot::ChatXStatus,   Slot::BlinkingNick};
    constexpr int kTile = 16; // about one line of text
    for (const Painted &p : painted()) {
        SCOPED_TRACE(p.skin.name.toStdString());
        QStringList weak;
        for (int y = 0; y < p.background.height(); y += kTile)
            for (int x = 0; x < p.background.width(); x += kTile) {
                const QColor ground = meanColour(p.background, QRect(x, y, kTile, kTile));
                for (const int slot : onBackground) {
                    const double c = contrast(slotColour(p.skin, slot), ground);
                    if (c < kText)
                        weak.append(QStringLiteral("slot %1 at (%2,%3): %4")
                                        .arg(slot)
                                        .arg(x)
                                        .arg(y)
                                        .arg(c, 0, 'f', 2));
                }
            }
        EXPECT_TRUE(weak.isEmpty()) << weak.mid(0, 10).join(u'\n').toStdString();
    }
}

TEST(SampleSkinColours, MenusCursorsAndEditorAreLegibleAndStandOut)
{
    for (const Painted &p : painted()) {
        SCOPED_TRACE(p.skin.name.toStdString());
        const SampleSkin &s = p.skin;
        // The cursor's nick against every row of the bar's inside, from its light top to its
        // darker bottom.
        for (int y = 2; y < 16; ++y)
            EXPECT_GE(contrast(slotColour(s, Slot::CursorNick),
                               meanColour(p.cursor, QRect(4, y, 112, 1))),
                      kText)
                << "cursor row " << y;
        EXPECT_GE(contrast(slotColour(s, Slot::MenuText), slotColour(s, Slot::MenuBackground)),
                  kMenuText);
        EXPECT_GE(contrast(slotColour(s, Slot::MenuCursorText), slotColour(s, Slot::MenuCursor)),
                  kText);
        // The editor is a white field whatever the skin.
        EXPECT_GE(contrast(slotColour(s, Slot::EditorText), Qt::white), kText);

        // The contact cursor must be found at a glance on the list, the menu cursor in its menu,
        // and a menu must not melt into the list under it.
        const QColor ground = meanColour(p.background, p.background.rect());
        EXPECT_GE(distance(meanColour(p.cursor, QRect(4, 2, 112, 14)), ground), 60);
        EXPECT_GE(distance(slotColour(s, Slot::MenuCursor), slotColour(s, Slot::MenuBackground)),
                  40);
        EXPECT_GE(distance(slotColour(s, Slot::MenuFrame), slotColour(s, Slot::MenuBackground)),
                  60);
    }
}

TEST(ShippedSampleSkins, AreWhatTheGeneratorAndTheExportMake)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QDir folder(kSkins);
    for (const Painted &p : painted()) {
        const QString name = p.skin.name;
        SCOPED_TRACE(name.toStdString());

        QFile skinFile(folder.filePath(name + QStringLiteral(".skin")));
        ASSERT_TRUE(skinFile.open(QIODevice::ReadOnly));
        const auto skin = readSkin(skinFile.readAll(), skinFile.fileName());
        ASSERT_TRUE(skin.has_value()) << skin.error().error.message.toStdString();
        EXPECT_EQ(skin->colours, p.skin.colours);
        EXPECT_EQ(skin->mifName, name + QStringLiteral(".mif"));
        EXPECT_TRUE(skin->copyright.startsWith(p.skin.title)) << skin->copyright.toStdString();
        EXPECT_TRUE(skin->copyright.contains(u"© 2026 Velmora for TolvoICQ developers"))
            << skin->copyright.toStdString();

        const QString mifPath = folder.filePath(name + QStringLiteral(".mif"));
        EXPECT_EQ(QFileInfo::exists(companionMbmPath(mifPath)), p.skin.bitmaps);
        MifImageList mif;
        mif.ToolName = QStringLiteral(VELMORA_BMCONV);
        mif.WorkFolder = work.path();
        QStringList messages;
        mif.OnMessage = [&](const QString &, const QString &text) {
            messages.append(text);
        };
        ASSERT_TRUE(mif.LoadFromFile(mifPath).has_value());
        EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
        ASSERT_EQ(mif.Count(), kSkinMifEntries);

        const struct
        {
            int entry;
            const QImage &expected;
        } pictures[] = {{kBackgroundEntry, p.background}, {kCursorEntry, p.cursor}};
        for (const auto &[entry, expected] : pictures) {
            SCOPED_TRACE(entry);
            EXPECT_EQ(mif.GetEntry(entry).IsBitmap, p.skin.bitmaps);
            const auto stored = storedPicture(mif.GetEntry(entry), entry, mifPath);
            ASSERT_TRUE(stored.has_value()) << stored.error().message.toStdString();
            const auto decoded = stored->extension == u".jpg"   ? decodeJpeg(stored->bytes, name)
                                 : stored->extension == u".png" ? decodePng(stored->bytes, name)
                                                                : decodeBmp(stored->bytes, name);
            ASSERT_TRUE(decoded.has_value()) << decoded.error().message.toStdString();
            const QImage image = decoded->convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(image.size(), expected.size());
            if (stored->extension != u".jpg") {
                // PNG loses nothing, and bitmaps are painted in colours the converter keeps; but
                // the painting's anti-aliased edges and gradients may differ by a level from
                // one CPU to another, and the bitmaps' ordered dither turns such a level into a
                // whole step of its 5 or 6 bits (8 levels of red or blue, 4 of green).
                const int levels = stored->extension == u".png" ? 1 : 8;
                const PictureDifference difference = pictureDifference(image, expected);
                EXPECT_TRUE(difference.within(levels, image.width() * image.height() / 100))
                    << difference.describe().toStdString() << "; run regenerate_skins";
                continue;
            }
            // JPEG: close on average and in every part. Single pixels of thin coloured lines
            // may stray further, as JPEG stores colour at half resolution.
            constexpr int kTile = 16;
            double total = 0, worstTile = 0;
            for (int ty = 0; ty < image.height(); ty += kTile)
                for (int tx = 0; tx < image.width(); tx += kTile) {
                    const QRect tile = QRect(tx, ty, kTile, kTile) & image.rect();
                    double sum = 0;
                    for (int y = tile.top(); y <= tile.bottom(); ++y)
                        for (int x = tile.left(); x <= tile.right(); ++x) {
                            const QRgb a = image.pixel(x, y), b = expected.pixel(x, y);
                            const int d = std::abs(qRed(a) - qRed(b)) +
                                          std::abs(qGreen(a) - qGreen(b)) +
                                          std::abs(qBlue(a) - qBlue(b));
                            sum += d;
                            total += d;
                        }
                    worstTile = std::max(worstTile, sum / (3.0 * tile.width() * tile.height()));
                }
            EXPECT_LT(total / (3.0 * image.width() * image.height()), 2.5);
            EXPECT_LT(worstTile, 8);
        }
    }

    // Shipped with every installation, so they must stay small.
    qint64 size = 0;
    for (const QFileInfo &file : folder.entryInfoList(QDir::Files))
        size += file.size();
    EXPECT_LT(size, 600 * 1024);
}
