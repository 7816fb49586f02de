#pragma once

#include "preview/PhoneFont.h"

#include <QSize>

#include <optional>

// The screen the simulated phone shows. Both contact-list values draw the same screen: the
// screen commands and slot 3 pick the second one, start-up the first.
enum class PreviewScreen : int { ContactList = 0, ContactListPicked = 1, Chat = 2, Settings = 3 };

constexpr bool showsContactList(PreviewScreen screen)
{
    return screen == PreviewScreen::ContactList || screen == PreviewScreen::ContactListPicked;
}

// What hovering highlights: the element under the mouse, or every element of its slot. The
// values are the item indexes of the option and of the settings file.
enum class SelectionMode : int { SingleElement = 0, WholeSlot = 1 };

// "Nokia Hindi S60", 8 points, bold: the client's own font for all three screens.
PhoneFont defaultPreviewFont();

// Every option of the simulated screen. The defaults are the options' initial states before
// any settings are read; the window and the command line both start from them.
struct PreviewState
{
    PreviewScreen activeScreen = PreviewScreen::ContactList;
    bool showMenu = false;
    bool menuLeft = false;
    bool showPopup = false;
    bool showInfoWindows = false;
    bool infoWindowsLeft = false;
    int columns = 2;
    bool showGroups = false;
    bool showOffline = false;
    bool showClients = false;
    bool miniClock = false;
    bool sortByStatus = true;
    SelectionMode selection = SelectionMode::WholeSlot;
    PhoneFont contactListFont = defaultPreviewFont();
    PhoneFont chatFont = defaultPreviewFont();
    PhoneFont settingsFont = defaultPreviewFont();
    QSize screenSize{240, 320};
    bool blinkPhase = false;

    bool operator==(const PreviewState &) const = default;
};

// Where picking a colour slot takes the preview, so that the slot can be seen.
struct SlotView
{
    PreviewScreen screen;
    bool showMenu;
};

// The view for a slot; settingsInsteadOfMenu shows the menu slots on the settings screen
// instead of in an open menu. Reserved slots, and slots out of range, leave the view alone.
std::optional<SlotView> slotView(int slot, bool settingsInsteadOfMenu);
