#include "preview/ScreenPainter.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

struct Section
{
    const char16_t *label;
    int slot;
};

// The second section sits under the cursor.
constexpr Section kSections[] = {
    {u"Настройки звука", 7}, {u"Настройки вибрации", 10},
    {u"Окно сообщений", 7},  {u"История", 7},
    {u"Смайлы", 7},          {u"Система", 7},
    {u"Контакт лист", 7},
};
constexpr int kCursorSection = 1;

constexpr int kTrackTop = 21;
// Where the thumb ends on the phone; it does not follow the screen height.
constexpr int kThumbBottom = 150;
// Below this screen height the fixed thumb end would lie under the track's bottom.
constexpr int kFixedThumbMinHeight = 190;

} // namespace

void ScreenPainter::DrawSettingsScreen(QPainter &p)
{
    const int Wd = m_state.screenSize.width();
    const int H = m_state.screenSize.height();
    framedBox(p, Slot::MenuBackground, 0, 0, Wd, H, Slot::MenuBackground);

    // A track too short for an outline and some fill is left out altogether.
    const int trackBottom = H - 40;
    if (trackBottom - kTrackTop >= 4) {
        framedBox(p, Slot::MenuFrame, Wd - 7, kTrackTop, Wd - 1, trackBottom, Slot::MenuCursor);
        const int thumbBottom =
            H >= kFixedThumbMinHeight ? kThumbBottom : (kTrackTop + trackBottom) / 2;
        framedBox(p, Slot::MenuFrame, Wd - 7, thumbBottom, Wd - 1, trackBottom,
                  Slot::MenuBackground);
    }

    drawSoftkeys(p, QStringLiteral("Выбрать"), QStringLiteral("Назад"));

    setCanvasFont(p, m_state.settingsFont);
    const QFontMetrics metrics(p.font());
    const int fh = m_state.settingsFont.pixelHeight();
    const int E = fh + 2;
    const int A = std::max(36, 2 * (fh + 2));
    framedBox(p, Slot::MenuFrame, 1, E + A * kCursorSection - 1, Wd - 8,
              E + A * (kCursorSection + 1) + 1, Slot::MenuCursor);
    for (int k = 0; k < int(std::size(kSections)); ++k) {
        const QString label = QString::fromUtf16(kSections[k].label);
        // Centred in the width the scroll bar leaves.
        textLabel(p, kSections[k].slot, label, (Wd - metrics.horizontalAdvance(label) - 7) / 2,
                  E + (A - fh) / 2 + k * A, kSections[k].slot);
    }
    const QString title = QStringLiteral("Настройки");
    textLabel(p, Slot::MenuText, title, (Wd - metrics.horizontalAdvance(title)) / 2, 0,
              Slot::MenuText);
}
