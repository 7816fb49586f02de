#include "PreviewFixture.h"

using namespace previewtest;

namespace {

struct MenuCase
{
    bool left;
    PreviewScreen screen;
    const QList<MenuRow> &rows;
    const char16_t *widthLabel;
};

const MenuCase kMenus[] = {
    {true, PreviewScreen::ContactList, PhoneScreen::mainMenu(), u"Обновить список"},
    {false, PreviewScreen::ContactList, PhoneScreen::functionsMenu(), u"Настройки профиля"},
    {true, PreviewScreen::Chat, PhoneScreen::chatMenu(), u"Статус-сообщение"},
};

class Screens : public ScreenFixture
{
protected:
    void showMenu(const MenuCase &menu, QSize size, int fh)
    {
        make(iconResources(), size, fh);
        preview->setActiveScreen(menu.screen);
        preview->setOption(&PreviewState::menuLeft, menu.left);
        preview->setOption(&PreviewState::showMenu, true);
    }
};

bool byTop(const QRect &a, const QRect &b)
{
    return a.top() < b.top();
}

} // namespace

TEST_F(Screens, ChatBackgroundGrowsInTheMenuColourAndTheEditorStaysWhite)
{
    make(iconResources());
    preview->setActiveScreen(PreviewScreen::Chat);
    QImage small(100, 120, QImage::Format_RGB32);
    small.fill(QColor(1, 2, 3));
    preview->setBackground(small);
    EXPECT_EQ(pixel(99, 60), qRgb(1, 2, 3));
    EXPECT_EQ(pixel(150, 60), toQColor(preview->colour(6 + 1)).rgb());
    EXPECT_EQ(slotAt(150, 60), 6);
    EXPECT_EQ(slotAt(99, 60), -1);
    EXPECT_EQ(pixel(150, 320 - 81), qRgb(255, 255, 255));
    EXPECT_EQ(pixel(150, 320 - 17), qRgb(255, 255, 255));
    EXPECT_EQ(slotAt(150, 320 - 50), -1) << "the editor box picks no slot";
}

TEST_F(Screens, MenuBoxCursorAndRowsFollowFontAndIconSizes)
{
    const int fh = 11;
    const int R = 16 + 2;
    for (const MenuCase &menu : kMenus) {
        showMenu(menu, {240, 320}, fh);
        const int n = int(menu.rows.size());
        const int W = textWidth(fh, QString::fromUtf16(menu.widthLabel)) + 11 + 16;
        const int X = menu.left ? 4 : 240 - 4 - W;
        const int Y1 = 320 - fh - (n * R + 6);
        const int T = Y1 + 2;
        // A framed box's outline region reaches 3 pixels out and 2 in.
        ASSERT_EQ(boxes(8).size(), 2);
        EXPECT_EQ(boxes(8)[0], QRect(QPoint(X - 3, Y1 - 3), QPoint(X + W + 2, 320 - fh + 2)));
        EXPECT_EQ(boxes(8)[1], QRect(QPoint(X - 1, T + 4 * R - 3), QPoint(X + W, T + 5 * R + 4)));
        EXPECT_EQ(slotAt(X + W - 4, Y1 + 4), 6);
        EXPECT_EQ(slotAt(X + 6, T + 4 * R + 4), 9) << "the cursor bar beside row 4's icon";
        // Each row's label follows a 16-pixel icon, in the row's slot.
        QList<QRect> labels = boxes(7, T) + boxes(10, T);
        std::sort(labels.begin(), labels.end(), byTop);
        ASSERT_EQ(labels.size(), n);
        for (int k = 0; k < n; ++k) {
            EXPECT_EQ(labels[k].topLeft(), QPoint(X + 21, T + k * R + (R - fh) / 2 - 1)) << k;
            EXPECT_EQ(labels[k].width() - 2, textWidth(fh, menu.rows[k].label)) << k;
            EXPECT_EQ(slotAt(labels[k].center().x(), labels[k].center().y()), menu.rows[k].textSlot)
                << k;
        }
    }
}

// A menu taller than the room above the softkeys shows the rows that fit there, from the first,
// whole; the cursor's row always shows, the box's top then staying on the screen.
TEST_F(Screens, TallMenusShowTheRowsThatFitAndSomeScreensHaveNone)
{
    const int fh = 19, R = 21; // 16-pixel icons, a 19-pixel font
    for (const MenuCase &menu : kMenus) {
        showMenu(menu, {176, 208}, fh);
        const int rows = (208 - fh - 6) / R; // 8 of 9, 11 or 12
        const int Y1 = 208 - fh - (rows * R + 6);
        EXPECT_EQ(boxes(8).value(0).top(), Y1 - 3);
        EXPECT_EQ(boxes(8).value(0).bottom(), 208 - fh + 2);
        EXPECT_EQ((boxes(7, Y1) + boxes(10, Y1)).size(), rows);

        showMenu(menu, {176, 120}, fh);
        EXPECT_EQ(boxes(8).value(0).top(), -3) << "five rows, the cursor's last, from the top";
        EXPECT_EQ(boxes(8).value(0).bottom(), 5 * R + 6 + 2);
    }
    for (const MenuCase &none :
         {MenuCase{true, PreviewScreen::Settings, PhoneScreen::mainMenu(), u""},
          MenuCase{false, PreviewScreen::Chat, PhoneScreen::chatMenu(), u""}}) {
        showMenu(none, {240, 320}, 11);
        const QImage open = preview->picture();
        preview->setOption(&PreviewState::showMenu, false);
        EXPECT_EQ(preview->picture(), open) << int(none.screen);
    }
}

TEST_F(Screens, SettingsPitchAndScrollThumb)
{
    for (const auto &[fh, A] : {std::pair{13, 36}, std::pair{17, 38}, std::pair{20, 44}}) {
        make(iconResources(), {240, 320}, fh);
        preview->setActiveScreen(PreviewScreen::Settings);
        QList<QRect> texts = boxes(7) + boxes(10);
        std::sort(texts.begin(), texts.end(), byTop);
        ASSERT_EQ(texts.size(), 8) << "title and seven sections";
        for (int k = 0; k < 7; ++k)
            EXPECT_EQ(texts[k + 1].top() + 1, fh + 2 + (A - fh) / 2 + k * A) << fh << " " << k;
        EXPECT_EQ(boxes(10).value(0), texts[2]) << "section 1 is highlighted";
        EXPECT_EQ(slotAt(5, fh + 2 + A + 3), 9) << "by the cursor bar";
    }
    EXPECT_EQ(slotAt(236, 146), 9) << "the thumb ends at 150";
    EXPECT_EQ(slotAt(236, 154), 6);
    // Too short for a thumb ending at 150: it ends half way down the track.
    preview->setScreenSize({240, 160});
    EXPECT_EQ(slotAt(236, 66), 9);
    EXPECT_EQ(slotAt(236, 74), 6);
    for (int y = 160 - 40 - 2; y < 160; ++y)
        EXPECT_NE(slotAt(236, y), 9) << y;
}

TEST_F(Screens, NotificationsStackFromTheTopAgainstEitherEdge)
{
    // Program icon 94 (16 x 16) is what is drawn, so it is what the windows are measured by;
    // a small status bitmap 60 must not make them too narrow or too low for it.
    PreviewResources res = iconResources();
    res.StatusIcons = MbmImageList();
    fillIcons(res.StatusIcons, Status, 60);
    fillIcons(res.StatusIcons, Status, 2, {8, 8});
    make(std::move(res));
    preview->setOption(&PreviewState::showInfoWindows, true);
    const QStringList texts = {QStringLiteral("Преобразование адреса..."),
                               QStringLiteral("Подключение..."), QStringLiteral("Подключено"),
                               QStringLiteral("Авторизация..."),
                               QStringLiteral("Успешная авторизация")};
    for (bool left : {true, false}) {
        preview->setOption(&PreviewState::infoWindowsLeft, left);
        ASSERT_EQ(boxes(8).size(), 5);
        const int step = boxes(8)[1].top() - boxes(8)[0].top();
        const int h = step - 2;
        EXPECT_GE(h, 16 + 2) << "as high as the icon";
        for (int k = 0; k < 5; ++k) {
            const int w = 16 + textWidth(11, texts[k]) + 6;
            const int x = left ? 2 : 240 - w - 2;
            const int y = 2 + k * step;
            EXPECT_EQ(boxes(8)[k].top(), y - 3) << k;
            EXPECT_EQ(left ? boxes(8)[k].left() : boxes(8)[k].right(), left ? -1 : 240) << k;
            EXPECT_EQ(boxes(7).value(k).left(), x + 2 + 16) << k;
            EXPECT_LE(boxes(7).value(k).right(), x + w - 1) << "text inside the border " << k;
            // The whole icon lies inside the box, between its top and bottom outlines, and
            // nothing of it in the gap below.
            int inside = 0;
            for (int row = y + 1; row < y + h; ++row)
                inside += pixel(x + 2 + 8, row) == iconColour(Program, 94) ? 1 : 0;
            EXPECT_EQ(inside, 16) << k;
            EXPECT_NE(pixel(x + 2 + 8, y + h + 1), iconColour(Program, 94)) << k;
        }
    }
    // Window heights past 255 do not wrap around.
    preview->setFont(&PreviewState::settingsFont, pixelFont(254));
    EXPECT_EQ(boxes(8).value(1).top(), 2 + 256 + 2 - 3);
}

TEST_F(Screens, PopupIsDrawnAndPickedOverMenuAndNotifications)
{
    // On the small screen the functions menu, the notifications and the pop-up overlap.
    const int B = (208 - 60) / 2;
    const QRect area(QPoint(37, B - 3), QPoint(176 - 38, B + 62));
    const auto slotsIn = [&] {
        QList<int> result;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                result.append(slotAt(x, y));
        return result;
    };
    make(iconResources(), {176, 208});
    preview->setOption(&PreviewState::showPopup, true);
    EXPECT_EQ(slotAt(42, B + 5), 9) << "title strip";
    EXPECT_EQ(slotAt(42, B + 40), 6) << "body";
    EXPECT_EQ(slotAt(176 - 39, B + 58), 8) << "outline 40 pixels from the right";
    const int nickWidth = textWidth(11, PhoneScreen::popupNick());
    EXPECT_EQ(boxes(10).value(0).topLeft(), QPoint((176 - nickWidth) / 2 - 1, B + 2));
    const QList<int> alone = slotsIn();

    preview->setOption(&PreviewState::showPopup, false);
    preview->setOption(&PreviewState::showMenu, true);
    preview->setOption(&PreviewState::showInfoWindows, true);
    const QList<int> below = slotsIn();
    ASSERT_GT(std::count(below.begin(), below.end(), 7), 100) << "menu labels lie under it";
    preview->setOption(&PreviewState::showPopup, true);
    EXPECT_EQ(slotsIn(), alone);
}
