// Its own test program: the rules change font matching for the whole process, which would move
// the pixels other tests pin down.
#include "TestFiles.h"

#include "platform/FontAliases.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QGuiApplication &application()
{
    static int argc = 1;
    static char name[] = "font_alias_tests";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

QString matchedFamily(const QString &asked, bool bold)
{
    QFont font(asked);
    font.setPixelSize(11);
    font.setBold(bold);
    return QFontInfo(font).family();
}

} // namespace

TEST(FontAliases, BrokenOrMissingRulesAreReportedByName)
{
    application();
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"fonts.conf"_s);
    const auto none = platform::loadFontAliases(missing);
    ASSERT_FALSE(none);
    EXPECT_TRUE(none.error().message.startsWith(missing)) << none.error().message.toStdString();

    const QString broken = dir.filePath(u"broken.conf"_s);
    ASSERT_TRUE(testfiles::write(broken, "<fontconfig><alias>"));
    const auto bad = platform::loadFontAliases(broken);
    ASSERT_FALSE(bad);
    EXPECT_TRUE(bad.error().message.startsWith(broken)) << bad.error().message.toStdString();
}

// What the front ends load: the phone's text font becomes a narrow humanist sans with Cyrillic
// and the clock a seven-segment face, in every weight the screens use.
TEST(FontAliases, ShippedRulesGiveThePhoneFontsTheirStandIns)
{
    application();
    ASSERT_TRUE(platform::loadFontAliases(QStringLiteral(VELMORA_PROGRAM_DIR "/fonts.conf")));
    for (const bool bold : {false, true}) {
        EXPECT_EQ(matchedFamily(u"Nokia Hindi S60"_s, bold), u"Open Sans"_s);
        EXPECT_TRUE(matchedFamily(u"Series 60 ZDigi"_s, bold).startsWith(u"DSEG7"_s))
            << matchedFamily(u"Series 60 ZDigi"_s, bold).toStdString();
    }
    // Families the rules do not name match as before.
    EXPECT_EQ(matchedFamily(u"DejaVu Sans"_s, false), u"DejaVu Sans"_s);
    QFont cyrillic(u"Nokia Hindi S60"_s);
    EXPECT_TRUE(QFontMetrics(cyrillic).inFont(QChar(0x0416))) << "Ж must be drawn by the font";
}
