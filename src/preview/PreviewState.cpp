#include "preview/PreviewState.h"

#include "core/ColourScheme.h"

#include <array>

namespace {

enum class Where { ContactList, ContactListPicked, Menu, Chat, Nowhere };

// Slot by slot, where it shows.
constexpr std::array<Where, kSlotCount> kSlotViews = {
    Where::ContactList,       // ContactNick
    Where::ContactList,       // CursorNick
    Where::ContactList,       // Clock
    Where::ContactListPicked, // Separator
    Where::ContactList,       // LeftSoftkey
    Where::ContactList,       // RightSoftkey
    Where::Menu,              // MenuBackground
    Where::Menu,              // MenuText
    Where::Menu,              // MenuFrame
    Where::Menu,              // MenuCursor
    Where::Menu,              // MenuCursorText
    Where::Chat,              // EditorText
    Where::Nowhere,           // Reserve1
    Where::Chat,              // ChatTheirNick
    Where::Chat,              // ChatOwnNick
    Where::Chat,              // ChatMessage
    Where::Chat,              // ChatXStatus
    Where::ContactList,       // BlinkingNick
    Where::Nowhere,           // Reserve2
    Where::Nowhere,           // Reserve3
};

} // namespace

PhoneFont defaultPreviewFont()
{
    return PhoneFont::fromPoints(QStringLiteral("Nokia Hindi S60"), 8, true);
}

std::optional<SlotView> slotView(int slot, bool settingsInsteadOfMenu)
{
    if (slot < 0 || slot >= kSlotCount)
        return std::nullopt;
    switch (kSlotViews[slot]) {
    case Where::ContactList:
        return SlotView{PreviewScreen::ContactList, false};
    case Where::ContactListPicked:
        return SlotView{PreviewScreen::ContactListPicked, false};
    case Where::Menu:
        if (settingsInsteadOfMenu)
            return SlotView{PreviewScreen::Settings, false};
        return SlotView{PreviewScreen::ContactList, true};
    case Where::Chat:
        return SlotView{PreviewScreen::Chat, false};
    case Where::Nowhere:
        break;
    }
    return std::nullopt;
}
