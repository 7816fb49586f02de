#pragma once

#include "preview/PreviewState.h"

#include <QList>
#include <QString>

#include <functional>

// The layers of a render, drawn in this order; a later layer covers the earlier ones.
enum class RenderLayer { Screen, Menu, Notifications, Popup };

// One state of the simulated phone a skin author looks at: a screen, or a screen with one of
// its layers open. The screenshot set, the legibility audit and the slot-usage strip all walk
// the same list.
struct NamedScreen
{
    // contacts, contacts-groups, chat, settings, menu-left, menu-right, chat-menu, popup,
    // notifications
    QString name;
    // The layer this state is about: its own elements are the ones drawn in that layer.
    RenderLayer layer;
    // How the state differs from the plain contact list.
    std::function<void(PreviewState &)> set;
};
const QList<NamedScreen> &namedScreens();

// base shown as screen: base's fonts, size, columns, sorting and the other list options, on
// the plain contact list (no menu, pop-up, notifications or groups) changed by screen.set.
PreviewState namedScreenState(PreviewState base, const NamedScreen &screen);
