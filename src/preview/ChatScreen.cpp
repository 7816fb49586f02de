#include "preview/ScreenPainter.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kNone = 255;

} // namespace

void ScreenPainter::DrawChatWindow(QPainter &p)
{
    const int W = m_state.screenSize.width();
    const int H = m_state.screenSize.height();
    const int wS = m_res.StatusIcons.Width();
    const int wX = m_res.XStatusIcons.Width();
    const int wC = m_res.ClientIcons.Width();
    const ChatSample &chat = m_res.chat;

    // The background keeps its size at the top-left corner; where it is smaller than the
    // screen, the menu background colour fills the rest, and a click there picks that slot.
    const QRect editor(0, H - 81, W, 65);
    p.fillRect(0, 0, W, H, slotColour(Slot::MenuBackground));
    if (!m_background.isNull())
        p.drawImage(0, 0, m_background);
    const QRegion grown = QRegion(0, 0, W, H) - QRegion(m_background.rect()) - QRegion(editor);
    if (!grown.isEmpty())
        m_regions.add(6 + 1, grown);
    p.fillRect(editor, Qt::white);

    drawSoftkeys(p,
                 m_state.showMenu && m_state.menuLeft ? QStringLiteral("Выбрать")
                                                      : QStringLiteral("Меню"),
                 QStringLiteral("Назад"));
    QFont inputMode = p.font();
    inputMode.setUnderline(true);
    p.setFont(inputMode);
    const QString abc = QStringLiteral("Abc");
    textLabel(p, Slot::Clock, abc, (W - QFontMetrics(inputMode).horizontalAdvance(abc)) / 2, H - 16,
              Slot::Clock);

    setCanvasFont(p, {QStringLiteral("Nokia Hindi S60"), 13, true, false});
    DrawContactRow(p, 2, 2, wS, statusCode(chat.ChatStatus), kNone, kNone, QString(), 0, 0);
    m_res.XStatusIcons.DrawMasked(p, wS + 4, 2, chat.ChatXStatusIcon);
    m_res.ClientIcons.DrawMasked(p, wS + wX + 6, 2, chat.ChatClientIcon);
    textLabel(p, Slot::MenuText, chat.ChatNick, wS + wX + wC + 8, 4, Slot::MenuText);

    setCanvasFont(p, m_state.chatFont);
    DrawSmileyText(p, 3, 22, W - 3, H - 84, chat.ChatText);
    textLabel(p, Slot::EditorText, QStringLiteral("Тест"), 3, H - 78, Slot::EditorText);
}
