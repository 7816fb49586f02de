#include "core/Palette.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

std::array<TColor, kSlotCount> sampleColours()
{
    std::array<TColor, kSlotCount> colours{};
    for (int slot = 0; slot < kSlotCount; ++slot)
        colours[std::size_t(slot)] = makeColor(slot * 12, 255 - slot * 7, slot * 3 + 1);
    return colours;
}

} // namespace

TEST(Palettes, AGplPaletteComesBackSlotForSlotByItsNames)
{
    const auto colours = sampleColours();
    const QByteArray gpl = paletteGpl(colours, QStringLiteral("birch"));
    EXPECT_TRUE(gpl.startsWith("GIMP Palette\nName: birch\n"));
    EXPECT_TRUE(gpl.contains(QStringLiteral("  0 255   1\t%1\n").arg(slotCaption(0)).toUtf8()));
    // Shuffled lines still land on their slots: names count, not the order.
    QList<QByteArray> lines = gpl.split('\n');
    std::reverse(lines.begin() + 4, lines.end());
    const auto read = readGplPalette(lines.join('\n'), QStringLiteral("p.gpl"));
    ASSERT_TRUE(read.has_value()) << read.error().message.toStdString();
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ((*read)[std::size_t(slot)], colours[std::size_t(slot)]) << slot;
}

TEST(Palettes, UnnamedEntriesGoInOrderAndNamedOnesOnlyWhereTheyMatch)
{
    const auto ordered = readGplPalette("GIMP Palette\r\nName: x\r\n# a comment\r\n\r\n"
                                        "1 2 3\r\n4 5 6 Untitled\r\n  7\t8\t9\r\n",
                                        QStringLiteral("o.gpl"));
    ASSERT_TRUE(ordered.has_value()) << ordered.error().message.toStdString();
    EXPECT_EQ((*ordered)[0], makeColor(1, 2, 3));
    EXPECT_EQ((*ordered)[1], makeColor(4, 5, 6));
    EXPECT_EQ((*ordered)[2], makeColor(7, 8, 9));
    EXPECT_FALSE((*ordered)[3].has_value()) << "a short palette leaves the other slots alone";

    const QByteArray named = "GIMP Palette\n10 20 30 unrelated\n40 50 60 " +
                             slotCaption(Slot::LeftSoftkey).toUpper().toUtf8() + '\n';
    const auto byName = readGplPalette(named, QStringLiteral("n.gpl"));
    ASSERT_TRUE(byName.has_value());
    EXPECT_EQ((*byName)[Slot::LeftSoftkey], makeColor(40, 50, 60)) << "names match in any case";
    EXPECT_FALSE((*byName)[0].has_value()) << "once names match, order means nothing";
}

TEST(Palettes, WhatIsNoPaletteIsRefusedWithTheFileAndLine)
{
    const auto foreign = readGplPalette("JASC-PAL\n0100\n", QStringLiteral("f.pal"));
    ASSERT_FALSE(foreign.has_value());
    EXPECT_TRUE(foreign.error().message.contains(QStringLiteral("f.pal: not a GIMP palette")));
    const auto badLine =
        readGplPalette("GIMP Palette\n1 2 3\n1 2 300 too bright\n", QStringLiteral("b.gpl"));
    ASSERT_FALSE(badLine.has_value());
    EXPECT_TRUE(badLine.error().message.contains(QStringLiteral("b.gpl, line 3")));
    EXPECT_FALSE(readGplPalette("GIMP Palette\nName: empty\n", QStringLiteral("e.gpl")));
}

TEST(Palettes, CssNamesEverySlotByNumberAndCaption)
{
    const QString css = QString::fromUtf8(paletteCss(sampleColours()));
    EXPECT_TRUE(css.startsWith(QStringLiteral(":root {\n")));
    EXPECT_EQ(css.count(QStringLiteral("--slot-")), kSlotCount);
    EXPECT_TRUE(css.contains(QStringLiteral("  --slot-00-ник-контакта: #00FF01;\n")));
    // Quotes and slashes of a caption are no part of a CSS name.
    EXPECT_EQ(cssSlotName(3), QStringLiteral("--slot-03-разделитель-в-сети-не-в-сети-группы"));
    EXPECT_TRUE(css.contains(QStringLiteral("--slot-19-")));
}

TEST(Palettes, JsonIsTheSkinShowShapeBothWays)
{
    SkinData skin;
    skin.colours = sampleColours();
    skin.mifName = QStringLiteral("birch.mif");
    skin.copyright = QStringLiteral("(c) me");
    const QByteArray json = QJsonDocument(skinToJson(skin)).toJson();
    const auto palette = readPalette(json, QStringLiteral("p.JSON"));
    ASSERT_TRUE(palette.has_value());
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ((*palette)[std::size_t(slot)], skin.colours[std::size_t(slot)]);
    const auto back = readSkinJson(json, QStringLiteral("p.json"));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->mifName, skin.mifName);
    const auto broken = readPalette("{\"colors\": [\"#12345\"]}", QStringLiteral("b.json"));
    ASSERT_FALSE(broken.has_value());
    EXPECT_TRUE(broken.error().message.contains(QStringLiteral("b.json: colors[0]")));
}
