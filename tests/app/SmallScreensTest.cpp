// The screens on the smallest phones, drawn by the built command line with the program's own
// resources and font rules, as the window draws them.
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The rectangles of a render's regions, slot by slot (right and bottom inclusive).
QMap<int, QList<QRect>> renderRegions(const QStringList &options)
{
    QTemporaryDir dir;
    QProcess cli;
    cli.start(QStringLiteral(VELMORA_PROGRAM_DIR "/velmora-cli"),
              QStringList{QStringLiteral("render"), QStringLiteral("-o"),
                          dir.filePath(QStringLiteral("s.png")), QStringLiteral("--regions"),
                          dir.filePath(QStringLiteral("s.json")), QStringLiteral("--seed"),
                          QStringLiteral("5"), QStringLiteral("--time"), QStringLiteral("22:58")} +
                  options);
    EXPECT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    QMap<int, QList<QRect>> rects;
    const QJsonObject json =
        QJsonDocument::fromJson(testfiles::read(dir.filePath(QStringLiteral("s.json")))).object();
    for (const QJsonValue &value : json.value(u"regions").toArray()) {
        const QJsonObject region = value.toObject();
        for (const QJsonValue &rect : region.value(u"rects").toArray()) {
            const QJsonArray r = rect.toArray();
            rects[region.value(u"slot").toInt()].append(QRect(
                QPoint(r[0].toInt(), r[1].toInt()), QPoint(r[2].toInt() - 1, r[3].toInt() - 1)));
        }
    }
    return rects;
}

QRect bounds(const QList<QRect> &rects)
{
    QRect all;
    for (const QRect &rect : rects)
        all |= rect;
    return all;
}

// The menu's labels: their boxes start right of the row's icon, at 4 + 5 + 16 (grown by one).
QList<QRect> menuLabels(const QMap<int, QList<QRect>> &rects)
{
    QList<QRect> labels;
    for (const QRect &rect : rects.value(7) + rects.value(10)) {
        if (rect.left() == 4 + 5 + 16)
            labels.append(rect);
    }
    return labels;
}

} // namespace

// The clock sits between the status icons: its face, standing in for the phone's, is drawn to
// the phone face's proportions, so even the widest time keeps clear of the envelope.
TEST(SmallScreens, TheClockKeepsClearOfTheStatusIcons)
{
    const auto rects = renderRegions({QStringLiteral("--size"), QStringLiteral("176x208")});
    ASSERT_FALSE(rects.value(2).isEmpty()) << "a clock";
    // A label registers its text box grown by a pixel on every side.
    const QRect clock = bounds(rects.value(2)).adjusted(1, 1, -1, -1);
    // The envelope is the first of the three program icons at the right, 16 pixels wide each:
    // it starts at W − 3·16 − 9.
    EXPECT_LT(clock.right(), 176 - 3 * 16 - 9) << "right edge " << clock.right();
    // At the left the private status icon ends the row of icons: it starts at 16 + 16 + 9.
    EXPECT_GE(clock.left(), 16 + 16 + 9 + 16) << "left edge " << clock.left();
}

// A menu taller than the room above the softkeys shows the rows that fit, whole, with the
// cursor; on a larger screen it shows them all.
TEST(SmallScreens, AMenuTooTallShowsTheRowsThatFit)
{
    const QStringList chatMenu = {QStringLiteral("--screen"), QStringLiteral("chat"),
                                  QStringLiteral("--menu"), QStringLiteral("left")};
    const auto small =
        renderRegions(chatMenu + QStringList{QStringLiteral("--size"), QStringLiteral("176x208")});
    // Ten rows of 18 pixels (16-pixel icons) fit above the softkeys: the menu box ends fh = 11
    // pixels above the bottom, every label inside it whole.
    const QList<QRect> shown = menuLabels(small);
    EXPECT_EQ(shown.size(), 10);
    for (const QRect &label : shown)
        EXPECT_LE(label.bottom(), 208 - 11 - 1) << "label at " << label.top();

    const auto large =
        renderRegions(chatMenu + QStringList{QStringLiteral("--size"), QStringLiteral("240x320")});
    EXPECT_EQ(menuLabels(large).size(), 12) << "all rows where they fit";
}
