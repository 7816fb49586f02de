#include "preview/ScreenPainter.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kNone = 255;
constexpr int kGroupIcon = 252;
constexpr int kNoStatusIcon = 253;
constexpr int kSeparator = 254;

struct ContactSlots
{
    int text;
    int region;
};

ContactSlots contactSlots(const Buddy &buddy, bool blinkPhase)
{
    if (buddy.Cursor)
        return {1, 1};
    if (buddy.Blinking)
        return {blinkPhase ? 17 : 0, 17};
    return {0, 0};
}

} // namespace

void ScreenPainter::DrawContactRow(QPainter &p, int x, int y, int w, int c, int xs, int cl,
                                   const QString &t, int ts, int rs)
{
    const MbmImageList &status = m_res.StatusIcons;
    const MbmImageList &xstatus = m_res.XStatusIcons;
    const MbmImageList &clients = m_res.ClientIcons;
    const MbmImageList &program = m_res.ProgramIcons;
    if (!m_state.showClients)
        cl = kNone;
    const int fh = m_canvasFont.pixelHeight();
    const int d = std::max({status.Height(), xstatus.Height(), clients.Height(), fh});
    int o = 0;
    if (ts == 1 && !m_cursor.isNull())
        p.drawImage(QRect(x - 2, y - 1, w + 4, d + 2), m_cursor);

    if (c == kSeparator) {
        o = -status.Width() - 2;
    } else if (c == kGroupIcon) {
        program.DrawMasked(p, x, y + (d - program.Height()) / 2, 64);
    } else if (c == kNoStatusIcon) {
        program.DrawMasked(p, x, y + (d - program.Height()) / 2, 90);
    } else if (c >= 24 && c <= 250) {
        status.DrawMasked(p, x, y + (d - status.Height()) / 2, c);
    } else if (c >= 0 && c <= 23) {
        status.DrawMasked(p, x, y + (d - status.Height()) / 2, 24);
        status.DrawMasked(p, x, y + (d - status.Height()) / 2, c);
    }
    if (xs != kNone) {
        o += status.Width() + 2;
        xstatus.DrawMasked(p, x + o, y + (d - xstatus.Height()) / 2, xs);
    }
    o += xstatus.Width() + 1;

    const QRect clip =
        cl != kNone ? QRect(x + o, y, w - clients.Width() - 1 - o, d) : QRect(x + o, y, w - o, d);
    if (c != kSeparator) {
        clippedText(p, ts, t, x + o, y + (d - fh) / 2, clip, rs);
    } else {
        const int tw = QFontMetrics(p.font()).horizontalAdvance(t);
        const int cy = y + d / 2;
        p.setPen(slotColour(ts));
        // Lines stop one pixel short of their end point, as on the phone.
        if ((w - tw) / 2 - 3 > 2)
            p.drawLine(2, cy, (w - tw) / 2 - 3 - 1, cy);
        addRegion(ts, 1, cy - 2, (w - tw) / 2 - 1, cy + 3);
        if (w - 1 > (tw + w) / 2 + 2)
            p.drawLine((tw + w) / 2 + 2, cy, w - 1 - 1, cy);
        addRegion(ts, (tw + w - 2) / 2 + 2, cy - 2, w, cy + 3);
        clippedText(p, ts, t, (w - tw) / 2, y + (d - fh) / 2, clip, rs);
    }
    if (cl != kNone)
        clients.DrawMasked(p, x + w - clients.Width(), y + (d - clients.Height()) / 2, cl);
}

void ScreenPainter::DrawContactList(QPainter &p)
{
    const CL display = buildDisplayList(m_res.loadedList, m_state.showGroups, m_state.showOffline,
                                        m_state.sortByStatus);
    const int W = m_state.screenSize.width();
    const int H = m_state.screenSize.height();
    const int wS = m_res.StatusIcons.Width();
    const int wX = m_res.XStatusIcons.Width();
    const int wP = m_res.ProgramIcons.Width();
    const int hS = m_res.StatusIcons.Height();
    const int hX = m_res.XStatusIcons.Height();
    const int hC = m_res.ClientIcons.Height();
    if (!m_background.isNull())
        p.drawImage(0, 0, m_background);

    setCanvasFont(p, {QStringLiteral("Nokia Hindi S60"), 16, true, false});
    const int ys = H - 16 - 1;
    textLabel(p, Slot::LeftSoftkey,
              m_state.showMenu && m_state.menuLeft ? QStringLiteral("Выбрать")
                                                   : QStringLiteral("Меню"),
              3, ys, Slot::LeftSoftkey);
    const QString right = m_state.showMenu && !m_state.menuLeft ? QStringLiteral("Отмена")
                                                                : QStringLiteral("Функции");
    textLabel(p, Slot::RightSoftkey, right, W - QFontMetrics(p.font()).horizontalAdvance(right) - 3,
              ys, Slot::RightSoftkey);

    const int yi = H - 16 - 6 - wS;
    DrawContactRow(p, 5, yi, wS, kStatusCodes[18], kNone, kNone, QString(), 0, 0);
    m_res.XStatusIcons.DrawMasked(p, wS + 7, yi, 34);
    m_res.PrivateStatusIcons.DrawMasked(p, wS + wX + 9, yi, 4);
    m_res.ProgramIcons.DrawMasked(p, W - 3 * wP - 9, yi, 80);
    m_res.ProgramIcons.DrawMasked(p, W - 2 * wP - 7, yi, 70);
    m_res.ProgramIcons.DrawMasked(p, W - wP - 5, yi, 76);

    const int clockOffset = m_state.miniClock ? 13 : 3;
    setCanvasFont(p,
                  {QStringLiteral("Series 60 ZDigi"), m_state.miniClock ? 10 : 23, false, false});
    const QString time = clockText();
    textLabel(p, Slot::Clock, time, (W - QFontMetrics(p.font()).horizontalAdvance(time)) / 2,
              yi + 3 + clockOffset, Slot::Clock);

    setCanvasFont(p, m_state.contactListFont);
    const int fh = m_state.contactListFont.pixelHeight();
    const int R = std::max({hS, hX, hC, fh}) + 2;
    int S = 0;
    for (const Group &group : display.Groups)
        S += (1 + int((group.Contacts.size() + m_state.columns - 1) / m_state.columns)) * R;

    int M = 2;
    if (S > yi - 8) {
        M = 9;
        framedBox(p, Slot::MenuFrame, W - 7, 0, W, yi - 10, Slot::MenuCursor);
        const int t = int(std::nearbyint(double(yi - 11) * (yi - 11) / S));
        framedBox(p, Slot::MenuFrame, W - 7, t, W, yi - 10, Slot::MenuBackground);
    }

    const int cw = (W - M) / m_state.columns;
    int y = 0;
    const auto full = [&] {
        return y > yi - R - 8;
    };
    const auto drawContact = [&](const Buddy &b, int column) {
        const ContactSlots s = contactSlots(b, m_state.blinkPhase);
        DrawContactRow(p, cw * column + 3, y + 3, cw - 3, statusCode(b.Status), b.XStatusIcon,
                       b.ClientIcon, b.Nick, s.text, s.region);
    };
    for (const Group &group : display.Groups) {
        DrawContactRow(p, 3, y + 3, W - M, group.Separator ? kSeparator : kGroupIcon, kNone, kNone,
                       group.Name, 3, 3);
        y += R;
        if (full())
            return;
        const int n = int(group.Contacts.size());
        for (int r = 0; r < n / m_state.columns; ++r) {
            for (int k = 0; k < m_state.columns; ++k)
                drawContact(group.Contacts[r * m_state.columns + k], k);
            y += R;
            if (full())
                return;
        }
        if (full())
            return;
        const int m = n % m_state.columns;
        for (int l = 0; l < m; ++l)
            drawContact(group.Contacts[n - m + l], l);
        if (m > 0)
            y += R;
        if (full())
            return;
    }
}
