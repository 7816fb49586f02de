#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// A colour value as the client and the .skin file know it: red in bits 0..7, green in 8..15,
// blue in 16..23, the top byte zero.
using TColor = quint32;

constexpr TColor makeColor(int red, int green, int blue)
{
    return TColor(red & 0xFF) | TColor(green & 0xFF) << 8 | TColor(blue & 0xFF) << 16;
}
constexpr int colorRed(TColor c)
{
    return int(c & 0xFF);
}
constexpr int colorGreen(TColor c)
{
    return int(c >> 8 & 0xFF);
}
constexpr int colorBlue(TColor c)
{
    return int(c >> 16 & 0xFF);
}

inline QColor toQColor(TColor c)
{
    return QColor(colorRed(c), colorGreen(c), colorBlue(c));
}
inline TColor fromQColor(const QColor &c)
{
    return makeColor(c.red(), c.green(), c.blue());
}

// "#RRGGBB", upper case.
QString colorToHex(TColor c);
// A colour as a user types or pastes it: "#RRGGBB" or "#RGB", the "#" optional, either case,
// spaces around it ignored; nothing for any other text.
std::optional<TColor> parseColourText(QStringView text);

// A component as the colour editors show it: two upper-case hex digits ("0A").
QString hexText(int component);
// What the editors make of a typed component: the first character gives the high four bits, the
// second the low four; anything that is not a hex digit (or a missing character) counts 0.
int parseHexComponent(const QString &text);

constexpr int kSlotCount = 20;

// The slots by what they paint; the numbers are the .skin file's order and never change.
namespace Slot {
inline constexpr int ContactNick = 0;
inline constexpr int CursorNick = 1; // also the strip over the clock
inline constexpr int Clock = 2;      // also the T9 indicator
inline constexpr int Separator = 3;  // "online/offline" divider and group rows
inline constexpr int LeftSoftkey = 4;
inline constexpr int RightSoftkey = 5;
inline constexpr int MenuBackground = 6;
inline constexpr int MenuText = 7; // menus, settings and pop-up windows
inline constexpr int MenuFrame = 8;
inline constexpr int MenuCursor = 9;
inline constexpr int MenuCursorText = 10;
inline constexpr int EditorText = 11;
inline constexpr int Reserve1 = 12;
inline constexpr int ChatTheirNick = 13;
inline constexpr int ChatOwnNick = 14;
inline constexpr int ChatMessage = 15;
inline constexpr int ChatXStatus = 16;
inline constexpr int BlinkingNick = 17;
inline constexpr int Reserve2 = 18;
inline constexpr int Reserve3 = 19;
} // namespace Slot
// Entry 0 of the table is a fixed white; entry n holds slot n - 1.
constexpr int kColourTableSize = kSlotCount + 1;
constexpr TColor kFixedWhite = makeColor(255, 255, 255);

// Caption of a slot as the slot list shows it.
QString slotCaption(int slot);
TColor defaultSlotColour(int slot);

// The one colour scheme the editors, the preview and the export share.
class ColourScheme
{
public:
    ColourScheme() { setDefault(); }

    void setDefault();

    TColor slotColour(int slot) const { return m_table.at(slot + 1); }
    void setSlotColour(int slot, TColor colour) { m_table.at(slot + 1) = colour; }
    const std::array<TColor, kColourTableSize> &table() const { return m_table; }

    int selectedSlot() const { return m_selectedSlot; }
    TColor resetColour() const { return m_resetColour; }
    // Picking a slot remembers the colour it has now, for "reset".
    void selectSlot(int slot);
    void resetSelected() { setSlotColour(m_selectedSlot, m_resetColour); }

private:
    std::array<TColor, kColourTableSize> m_table{};
    int m_selectedSlot = 0;
    TColor m_resetColour = 0;
};
