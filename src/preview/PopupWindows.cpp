#include "preview/ScreenPainter.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

constexpr const char16_t *kInfoTexts[] = {
    u"Преобразование адреса...", u"Подключение...",       u"Подключено",
    u"Авторизация...",           u"Успешная авторизация",
};
// The program icon the notification windows show.
constexpr int kInfoIcon = 94;

} // namespace

void ScreenPainter::DrawPopup(QPainter &p)
{
    const int Wd = m_state.screenSize.width();
    // Sixty pixels high, centred, 40 pixels from either side on every screen size; large fonts
    // overflow it.
    const int B = (m_state.screenSize.height() - 60) / 2;
    framedBox(p, Slot::MenuFrame, 40, B, Wd - 40, B + 20, Slot::MenuCursor);
    setCanvasFont(p, m_state.settingsFont);
    const QFontMetrics metrics(p.font());
    const QString nick = popupNick();
    textLabel(p, Slot::MenuCursorText, nick, (Wd - metrics.horizontalAdvance(nick)) / 2, B + 3,
              Slot::MenuCursorText);
    // Its top outline covers the title strip's last line.
    framedBox(p, Slot::MenuFrame, 40, B + 19, Wd - 40, B + 60, Slot::MenuBackground);
    const QString message = QStringLiteral("Тест");
    textLabel(p, Slot::MenuText, message, (Wd - metrics.horizontalAdvance(message)) / 2, B + 32,
              Slot::MenuText);
}

void ScreenPainter::DrawInfoWindows(QPainter &p)
{
    setCanvasFont(p, m_state.settingsFont);
    const QFontMetrics metrics(p.font());
    const int fh = m_state.settingsFont.pixelHeight();
    // Measured with the icon that is drawn, and as high as the row it is laid out in: budgeted
    // by another icon, the text ran into the right border and the icon hung below the box.
    const MbmImageList &icons = m_res.ProgramIcons;
    const QSize icon = kInfoIcon < icons.Count() ? icons.Get(kInfoIcon).Bitmap.size()
                                                 : QSize(icons.Width(), icons.Height());
    const int iconWidth = std::max(icon.width(), icons.Width());
    const int h = std::max({icon.height() + 2, fh + 2, menuRowHeight(fh)});
    int y = 2;
    for (const char16_t *info : kInfoTexts) {
        const QString text = QString::fromUtf16(info);
        // The row starts 2 pixels in, the text 1 pixel after the icon; 2 more before the border.
        const int w = iconWidth + metrics.horizontalAdvance(text) + 6;
        const int x = m_state.infoWindowsLeft ? 2 : m_state.screenSize.width() - w - 2;
        framedBox(p, Slot::MenuFrame, x, y, x + w, y + h, Slot::MenuBackground);
        DrawMenuRow(p, x + 2, Slot::MenuText, text, kInfoIcon, MenuIconSource::Program, y);
        y += h + 2;
    }
}
