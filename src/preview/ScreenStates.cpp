#include "preview/ScreenStates.h"

const QList<NamedScreen> &namedScreens()
{
    static const QList<NamedScreen> list = {
        {QStringLiteral("contacts"), RenderLayer::Screen,
         [](PreviewState &) {
         }},
        {QStringLiteral("contacts-groups"), RenderLayer::Screen,
         [](PreviewState &s) {
             s.showGroups = true;
         }},
        {QStringLiteral("chat"), RenderLayer::Screen,
         [](PreviewState &s) {
             s.activeScreen = PreviewScreen::Chat;
         }},
        {QStringLiteral("settings"), RenderLayer::Screen,
         [](PreviewState &s) {
             s.activeScreen = PreviewScreen::Settings;
         }},
        {QStringLiteral("menu-left"), RenderLayer::Menu,
         [](PreviewState &s) {
             s.showMenu = true;
             s.menuLeft = true;
         }},
        {QStringLiteral("menu-right"), RenderLayer::Menu,
         [](PreviewState &s) {
             s.showMenu = true;
             s.menuLeft = false;
         }},
        {QStringLiteral("chat-menu"), RenderLayer::Menu,
         [](PreviewState &s) {
             s.activeScreen = PreviewScreen::Chat;
             s.showMenu = true;
             s.menuLeft = true;
         }},
        {QStringLiteral("popup"), RenderLayer::Popup,
         [](PreviewState &s) {
             s.showPopup = true;
         }},
        {QStringLiteral("notifications"), RenderLayer::Notifications,
         [](PreviewState &s) {
             s.showInfoWindows = true;
         }},
    };
    return list;
}

PreviewState namedScreenState(PreviewState base, const NamedScreen &screen)
{
    base.activeScreen = PreviewScreen::ContactList;
    base.showMenu = false;
    base.showPopup = false;
    base.showInfoWindows = false;
    base.showGroups = false;
    screen.set(base);
    return base;
}
