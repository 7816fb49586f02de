#include "core/SettingsFile.h"
#include "core/Cp1251.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

SettingsValues read(const QByteArray &bytes, QStringList *problems = nullptr)
{
    SettingsValues values;
    const QStringList found = readSettings(bytes, values);
    if (problems)
        *problems = found;
    return values;
}

} // namespace

TEST(DefaultSettings, IsTheFreshInstallationTextByteForByte)
{
    const QByteArray text = defaultSettingsText(QStringLiteral("/home/u/Desktop"));
    EXPECT_TRUE(text.startsWith("{ SetupForm Position }\r\n335\r\n0\r\n{ Alpha of ColorForm }"));
    EXPECT_TRUE(text.endsWith("{ PreviewColumns }\r\n2\r\n{ symbian 9.1 or 9.2 }\r\n1"));
    EXPECT_FALSE(text.contains("Expert"));
    EXPECT_TRUE(text.contains("{ PreviewShowMenu }\r\n1\r\n{ ShowInfoWindows }\r\n1\r\n0\r\n"));
    EXPECT_TRUE(text.contains("{ LastShellPath }\r\n/home/u/Desktop\r\n"));
    // 22 key lines and 38 value lines, the last without its line end.
    EXPECT_EQ(text.count("\r\n"), 59);
    EXPECT_EQ(text.count('\n'), text.count("\r\n"));
}

TEST(DefaultSettings, ReadsCompletelyThroughTheSwallowedKey)
{
    QStringList problems;
    const SettingsValues s = read(defaultSettingsText(QStringLiteral("/tmp")), &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
    EXPECT_TRUE(s.showMenu);
    EXPECT_FALSE(s.menuLeft) << "the right menu stays";
    EXPECT_TRUE(s.showInfoWindows) << "the key swallowed by the menu's second line still counts";
    EXPECT_FALSE(s.infoWindowsLeft);
    EXPECT_TRUE(s.expert);
    EXPECT_TRUE(s.showOffline);
    EXPECT_TRUE(s.showClients);
    EXPECT_TRUE(s.phoneFrame);
    EXPECT_EQ(s.modelName, QStringLiteral("Nokia 6120 (240*320)"));
    EXPECT_EQ(s.setupFormPosition, QPoint(335, 0));
    EXPECT_EQ(s.colourWindowAlpha, 243);
    EXPECT_EQ(s.selectRegion, 1);
    EXPECT_EQ(s.symbianIndex, 1);
    EXPECT_EQ(s.lastShellPath, QStringLiteral("/tmp"));
    EXPECT_EQ(s.fonts[2], SettingsFont{});
}

TEST(SettingsReader, FollowsTheFixedOrderOfComparison)
{
    // "{ Expert }" comes after "{ ShowInfoWindows }" in the order: swallowed as the second line
    // of the notification key it still counts. "{ SetupForm Position }" comes first in the
    // order: swallowed by "{ Alpha of ColorForm }" it is lost.
    const SettingsValues a = read("{ ShowInfoWindows }\r\n1\r\n{ Expert }\r\n0\r\n");
    EXPECT_TRUE(a.showInfoWindows);
    EXPECT_FALSE(a.expert);
    QStringList problems;
    const SettingsValues b =
        read("{ Alpha of ColorForm }\r\n{ SetupForm Position }\r\n10\r\n20\r\n", &problems);
    EXPECT_EQ(b.setupFormPosition, QPoint());
    EXPECT_EQ(b.colourWindowAlpha, 255);
    EXPECT_EQ(problems.size(), 1) << "the alpha line is not a number";
}

TEST(SettingsReader, MissingLinesAtTheEndReadEmpty)
{
    EXPECT_FALSE(read("{ Expert }").expert);
    EXPECT_FALSE(read("{ Expert }\r\n").expert);
    SettingsValues ticked;
    ticked.showOffline = true;
    readSettings("{ PreviewShowOffline }", ticked);
    EXPECT_TRUE(ticked.showOffline) << "a ticking key leaves its box alone";
    ticked.showInfoWindows = true;
    readSettings("{ ShowInfoWindows }\r\n", ticked);
    EXPECT_FALSE(ticked.showInfoWindows);
}

TEST(SettingsReader, TickingKeysOnlyTickAndOtherValuesLeaveThingsAlone)
{
    SettingsValues s;
    s.showGroup = true;
    readSettings("{ PreviewShowGroup }\r\n0\r\n{ PreviewShowWindow }\r\n1\r\n"
                 "{ Backgroung }\r\n7\r\n55\r\n{ Cursor }\r\n2\r\n30\r\n",
                 s);
    EXPECT_TRUE(s.showGroup);
    EXPECT_TRUE(s.showWindow);
    EXPECT_EQ(s.backgroundFormat, 0) << "7 is no format";
    EXPECT_EQ(s.backgroundQuality, 55);
    EXPECT_EQ(s.cursorFormat, 2);
    EXPECT_EQ(s.cursorQuality, 30);
    // Keys are exact lines: case and spacing count.
    readSettings("{ previewshowoffline }\r\n1\r\n{PreviewShowClients}\r\n1\r\n", s);
    EXPECT_FALSE(s.showOffline);
    EXPECT_FALSE(s.showClients);
}

TEST(SettingsReader, AKeyWithAWordForANumberChangesNothing)
{
    QStringList problems;
    SettingsValues s;
    readSettings("{ PreviewDesktop }\r\nwide\r\n320\r\n1\r\nNokia\r\n"
                 "{ Fonts2 }\r\nA\r\n0\r\nB\r\n0\r\nC\r\n0\r\n8\r\nbig\r\n8\r\n"
                 "{ PreviewColumns }\r\n4\r\n",
                 s);
    EXPECT_EQ(s.screenWidth, QStringLiteral("240"));
    EXPECT_FALSE(s.phoneFrame);
    EXPECT_TRUE(s.modelName.isEmpty());
    EXPECT_EQ(s.fonts[0], SettingsFont{});
    EXPECT_EQ(s.columns, 4) << "the keys after it still read";
    problems = readSettings("{ PreviewDesktop }\r\nwide\r\n", s);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QStringLiteral("{ PreviewDesktop }")));
}

TEST(SettingsReader, FontsTakeNamesStylesAndSizes)
{
    const SettingsValues s = read("{ Fonts2 }\r\nArial\r\n3\r\nTimes\r\n9\r\n\r\n2\r\n10\r\n12\r\n"
                                  "14\r\n");
    EXPECT_EQ(s.fonts[0], (SettingsFont{QStringLiteral("Arial"), 3, 10}));
    EXPECT_EQ(s.fonts[1], (SettingsFont{QStringLiteral("Times"), 0, 12})) << "code 9 is regular";
    EXPECT_EQ(s.fonts[2], (SettingsFont{QStringLiteral("Nokia Hindi S60"), 2, 14}))
        << "an empty name keeps the face";
}

TEST(SettingsWriter, WritesEveryKeyInItsOrderAndReadsBackWhole)
{
    SettingsValues s;
    s.screenWidth = QStringLiteral("176");
    s.screenHeight = QStringLiteral("208");
    s.phoneFrame = true;
    s.modelName = QStringLiteral("Nokia N73 (240*320)");
    s.setupFormPosition = QPoint(-10, 40);
    s.colourWindowAlpha = 180;
    s.setupFormShow = true;
    s.previewFormPosition = QPoint(300, 200);
    s.backgroundFormat = 1;
    s.backgroundQuality = 95;
    s.cursorFormat = 2;
    s.cursorQuality = 5;
    s.showWindow = true;
    s.showSettings = true;
    s.sortIndex = 1;
    s.selectRegion = 0;
    s.showOffline = true;
    s.showGroup = true;
    s.expert = false;
    s.showMenu = true;
    s.menuLeft = true;
    s.showInfoWindows = true;
    s.infoWindowsLeft = true;
    s.miniClock = true;
    s.lastShellPath = QStringLiteral("/home/u/Рабочий стол");
    s.showClients = true;
    s.fonts = {SettingsFont{QStringLiteral("Arial"), 2, 9},
               SettingsFont{QStringLiteral("Times"), 3, 11}, SettingsFont{}};
    s.columns = 4;
    s.symbianIndex = 0;
    const QByteArray bytes = writeSettings(s);
    EXPECT_TRUE(bytes.startsWith("{ PreviewDesktop }\r\n176\r\n208\r\n1\r\nNokia N73 (240*320)\r\n"
                                 "{ SetupForm Position }\r\n-10\r\n40\r\n"));
    EXPECT_TRUE(bytes.contains("{ Expert }\r\n0\r\n{ PreviewShowMenu }\r\n1\r\n1\r\n"));
    EXPECT_TRUE(bytes.contains(cp1251::encode(QStringLiteral("Рабочий стол"))));
    EXPECT_TRUE(bytes.endsWith("{ symbian 9.1 or 9.2 }\r\n0\r\n"));
    EXPECT_EQ(read(bytes), s);
    // The old interface is written too; it is left off above, where it would lock the expert mode.
    s.oldInterface = true;
    EXPECT_TRUE(read(writeSettings(s)).oldInterface);
}

TEST(SettingsWriter, TextsTheCodePageCannotHoldAreWrittenEmptyAndReadAsUnchanged)
{
    SettingsValues s;
    s.lastShellPath = QStringLiteral("/home/u/デスクトップ");
    s.fonts[1].name = QStringLiteral("Noto Sans CJK 日本");
    const QByteArray bytes = writeSettings(s);
    EXPECT_TRUE(bytes.contains("{ LastShellPath }\r\n\r\n"));
    SettingsValues back;
    back.lastShellPath = QStringLiteral("/kept");
    readSettings(bytes, back);
    EXPECT_EQ(back.lastShellPath, QStringLiteral("/kept"));
    EXPECT_EQ(back.fonts[1].name, QStringLiteral("Nokia Hindi S60"));
}

TEST(SettingsWriter, FontStyleCodesSayOnlyBoldAndItalic)
{
    EXPECT_EQ(settingsFontStyle(false, false, false, false), 0);
    EXPECT_EQ(settingsFontStyle(true, false, false, false), 1);
    EXPECT_EQ(settingsFontStyle(false, true, false, false), 2);
    EXPECT_EQ(settingsFontStyle(true, true, false, false), 3);
    EXPECT_EQ(settingsFontStyle(true, false, true, false), 0) << "bold and underlined";
    EXPECT_EQ(settingsFontStyle(false, true, false, true), 0);
}
