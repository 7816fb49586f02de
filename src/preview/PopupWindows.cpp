#include "preview/mainTolvoPreview.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr const char16_t *kInfoTexts[] = {
    u"Преобразование адреса...", u"Подключение...",       u"Подключено",
    u"Авторизация...",           u"Успешная авторизация",
};
// The status bitmap the notification windows are budgeted by, and the program icon they show.
constexpr int kInfoBudgetBitmap = 60;
constexpr int kInfoIcon = 94;

} // namespace

void TTolvoPreview::DrawPopup(QPainter &p)
{
    const int Wd = m_size.width();
    // Sixty pixels high, centred, 40 pixels from either side on every screen size; large fonts
    // overflow it.
    const int B = (m_size.height() - 60) / 2;
    framedBox(p, 8, 40, B, Wd - 40, B + 20, 9);
    setCanvasFont(p, m_settingsFont);
    const QFontMetrics metrics(p.font());
    const QString nick = popupNick();
    textLabel(p, 10, nick, (Wd - metrics.horizontalAdvance(nick)) / 2, B + 3, 10);
    // Its top outline covers the title strip's last line.
    framedBox(p, 8, 40, B + 19, Wd - 40, B + 60, 6);
    const QString message = QStringLiteral("Тест");
    textLabel(p, 7, message, (Wd - metrics.horizontalAdvance(message)) / 2, B + 32, 7);
}

void TTolvoPreview::DrawInfoWindows(QPainter &p)
{
    setCanvasFont(p, m_settingsFont);
    const QFontMetrics metrics(p.font());
    const int fh = m_settingsFont.pixelHeight();
    // The client sizes the windows by a status bitmap but draws a program icon in them. Lists
    // too short for that bitmap fall back to their icon size.
    const TMBMconvImageList &status = m_res.StatusIcons;
    const QSize budget = kInfoBudgetBitmap < status.Count()
                             ? status.Get(kInfoBudgetBitmap).Bitmap.size()
                             : QSize(status.Width(), status.Height());
    const int h = std::max(budget.height() + 2, fh + 2);
    int y = 2;
    for (const char16_t *info : kInfoTexts) {
        const QString text = QString::fromUtf16(info);
        const int w = budget.width() + metrics.horizontalAdvance(text) + 6;
        const int x = m_infoWindowsLeft ? 2 : m_size.width() - w - 2;
        framedBox(p, 8, x, y, x + w, y + h, 6);
        DrawMenuRow(p, x + 2, 7, text, kInfoIcon, MenuIconSource::Program, y);
        y += h + 2;
    }
}
