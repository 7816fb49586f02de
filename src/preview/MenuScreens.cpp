#include "preview/ScreenPainter.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kNone = 255;
// Rows from the top; the cursor bar always rests on this one.
constexpr int kCursorRow = 4;

using Source = MenuIconSource;

struct Menu
{
    const QList<MenuRow> &rows;
    // The menu is as wide as this label, whatever the other labels measure.
    QString widthLabel;
    bool rightAligned;
};

} // namespace

const QList<MenuRow> &PhoneScreen::mainMenu()
{
    static const QList<MenuRow> rows = {
        {QStringLiteral("Отключиться"), Source::Program, 6, 7},
        // The client spells it with a Latin capital C.
        {QStringLiteral("Cтатус"), Source::StatusCode, 4, 7},
        {QStringLiteral("Х-статус"), Source::XStatus, 34, 7},
        {QStringLiteral("Прив. статус"), Source::PrivateStatus, 4, 7},
        {QStringLiteral("Обновить список"), Source::Program, 8, 10},
        {QStringLiteral("Профили"), Source::Program, 2, 7},
        {QStringLiteral("Настройки"), Source::Program, 10, 7},
        {QStringLiteral("О программе"), Source::Program, 20, 7},
        {QStringLiteral("Выход"), Source::Program, 0, 7},
    };
    return rows;
}

const QList<MenuRow> &PhoneScreen::functionsMenu()
{
    static const QList<MenuRow> rows = {
        {QStringLiteral("Группа"), Source::Program, 12, 7},
        {QStringLiteral("Глобальный поиск"), Source::Program, 62, 7},
        {QStringLiteral("Приватные списки"), Source::Program, 68, 7},
        {QStringLiteral("Добавить контакт"), Source::Program, 26, 7},
        {QStringLiteral("Менеджер передач"), Source::StatusCode, 62, 10},
        {QStringLiteral("Добавить группу"), Source::Program, 34, 10},
        {QStringLiteral("Мои данные"), Source::Program, 46, 7},
        {QStringLiteral("Сменить пароль"), Source::Program, 84, 7},
        {QStringLiteral("Настройки профиля"), Source::Program, 12, 7},
        {QStringLiteral("Локальный поиск"), Source::Program, 62, 7},
        {QStringLiteral("Служ. сообщения"), Source::Program, 94, 7},
    };
    return rows;
}

const QList<MenuRow> &PhoneScreen::chatMenu()
{
    static const QList<MenuRow> rows = {
        {QStringLiteral("Смайлы"), Source::Program, 14, 7},
        {QStringLiteral("Инфо о контакте"), Source::Program, 46, 7},
        {QStringLiteral("Инфо о клиенте"), Source::Program, 44, 7},
        {QStringLiteral("Запрос х-статуса"), Source::XStatus, 40, 7},
        {QStringLiteral("Статус-сообщение"), Source::StatusCode, 56, 10},
        {QStringLiteral("Аватар"), Source::Program, 86, 7},
        {QStringLiteral("Передать файл"), Source::StatusCode, 62, 10},
        {QStringLiteral("Текущая история"), Source::Program, 18, 7},
        {QStringLiteral("История"), Source::Program, 18, 7},
        {QStringLiteral("Экспорт истории"), Source::Program, 60, 7},
        {QStringLiteral("Очистить"), Source::Program, 66, 7},
        {QStringLiteral("Закрыть"), Source::Program, 16, 7},
    };
    return rows;
}

void ScreenPainter::DrawMenus(QPainter &p)
{
    std::optional<Menu> menu;
    if (showsContactList(m_state.activeScreen) && m_state.menuLeft)
        menu.emplace(mainMenu(), QStringLiteral("Обновить список"), false);
    else if (showsContactList(m_state.activeScreen))
        menu.emplace(functionsMenu(), QStringLiteral("Настройки профиля"), true);
    else if (m_state.activeScreen == PreviewScreen::Chat && m_state.menuLeft)
        menu.emplace(chatMenu(), QStringLiteral("Статус-сообщение"), false);
    if (!menu)
        return;

    setCanvasFont(p, m_state.settingsFont);
    const int fh = m_state.settingsFont.pixelHeight();
    const int R = menuRowHeight(fh);
    const int width =
        QFontMetrics(p.font()).horizontalAdvance(menu->widthLabel) + 11 + m_res.StatusIcons.Width();
    // A menu taller than the room above the softkeys shows the rows that fit there, from the
    // first, as the phone shows the top of a menu it has to scroll; the cursor's row always
    // shows, the box's top moving onto the screen when even that much does not fit.
    const int room = m_state.screenSize.height() - fh - 6;
    const int rows = std::clamp(room / std::max(R, 1), kCursorRow + 1, int(menu->rows.size()));
    const int height = rows * R + 6;
    const int x = menu->rightAligned ? m_state.screenSize.width() - 4 - width : 4;
    const int y1 = std::max(0, m_state.screenSize.height() - fh - height);
    framedBox(p, Slot::MenuFrame, x, y1, x + width, y1 + height, Slot::MenuBackground);

    const int top = y1 + 2;
    framedBox(p, Slot::MenuFrame, x + 2, top + kCursorRow * R, x + width - 2,
              top + (kCursorRow + 1) * R + 2, Slot::MenuCursor);
    for (int k = 0; k < rows; ++k) {
        const MenuRow &row = menu->rows[k];
        DrawMenuRow(p, x + 5, row.textSlot, row.label, row.icon, row.source, top + k * R);
    }
}

void ScreenPainter::DrawMenuRow(QPainter &p, int x, int textSlot, const QString &label, int icon,
                                MenuIconSource source, int y)
{
    const int fh = m_canvasFont.pixelHeight();
    const int R = menuRowHeight(fh);
    p.setBackgroundMode(Qt::TransparentMode);
    const MbmImageList &program = m_res.ProgramIcons;
    const MbmImageList &status = m_res.StatusIcons;
    const MbmImageList &xstatus = m_res.XStatusIcons;
    const MbmImageList &privateStatus = m_res.PrivateStatusIcons;
    int offset = 0;
    switch (source) {
    case Source::Program:
        program.DrawMasked(p, x, y + (R - program.Height()) / 2, icon);
        offset = program.Width() + 1;
        break;
    case Source::StatusCode:
        DrawContactRow(p, x, y + (R - status.Height()) / 2, 0, icon, kNone, kNone, QString(),
                       textSlot, textSlot);
        offset = status.Width() + 1;
        break;
    case Source::PrivateStatus:
        privateStatus.DrawMasked(p, x, y + (R - privateStatus.Height()) / 2, icon);
        offset = privateStatus.Width() + 1;
        break;
    case Source::XStatus:
        // Centred by the private-status icon height, as the client does.
        xstatus.DrawMasked(p, x, y + (R - privateStatus.Height()) / 2, icon);
        offset = xstatus.Width() + 1;
        break;
    }
    textLabel(p, textSlot, label, x + offset, y + (R - fh) / 2, textSlot);
}
