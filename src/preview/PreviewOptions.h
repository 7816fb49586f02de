#pragma once

#include "core/SettingsFile.h"
#include "preview/PreviewState.h"

#include <QLatin1StringView>

#include <array>
#include <optional>

// The on/off options of the simulated screen, each written down once: its field in
// PreviewState, its value in the settings file, its command-line switch, its check box on
// "Внешний вид" and its item in the preview menu. The window builds its controls and menu items
// from this table, ticks them from it and reads and writes the settings file through it; the
// command line takes its switches from it.
enum class Toggle {
    Popup,
    Offline,
    Menu,
    Groups,
    ClientIcons,
    MiniClock,
    Notifications,
    NotificationsLeft,
    MenuLeft
};
inline constexpr std::size_t kToggleCount = 9;

struct PreviewToggle
{
    Toggle id;
    bool PreviewState::*state;
    bool SettingsValues::*setting;
    // The switch that turns it on ("--groups"); empty where the command line sets it as part of
    // another option (--menu left|right, --info left|right).
    QLatin1StringView flag;
    // The check box's caption; null for an option without one (the menu's side lives in the
    // preview menu only).
    const char *control;
    // The preview menu's item (checkable), and for a side the item of the other side, ticked
    // when the option is off; null for none.
    const char *menuItem;
    const char *otherSideItem;
    // The option that must be on for this one to matter (a side needs its windows), or none.
    std::optional<Toggle> needs;
};

// In the order of the check boxes on "Внешний вид", each row at its Toggle's index.
inline constexpr std::array<PreviewToggle, kToggleCount> kPreviewToggles = {{
    {Toggle::Popup, &PreviewState::showPopup, &SettingsValues::showWindow,
     QLatin1StringView("--popup"), "Показать всплывающее окно", "Показать всплывающее окно",
     nullptr, std::nullopt},
    {Toggle::Offline, &PreviewState::showOffline, &SettingsValues::showOffline,
     QLatin1StringView("--offline"), "Показать оффлайн", "Показать отключившихся", nullptr,
     std::nullopt},
    {Toggle::Menu,
     &PreviewState::showMenu,
     &SettingsValues::showMenu,
     {},
     "Показывать меню",
     "показать",
     nullptr,
     std::nullopt},
    {Toggle::Groups, &PreviewState::showGroups, &SettingsValues::showGroup,
     QLatin1StringView("--groups"), "Показать группы", "Показать группы", nullptr, std::nullopt},
    {Toggle::ClientIcons, &PreviewState::showClients, &SettingsValues::showClients,
     QLatin1StringView("--clients"), "Показать иконки клиентов", "Показывать иконки клиентов",
     nullptr, std::nullopt},
    {Toggle::MiniClock, &PreviewState::miniClock, &SettingsValues::miniClock,
     QLatin1StringView("--mini-clock"), "Маленькие часы", "Маленькие часы", nullptr, std::nullopt},
    {Toggle::Notifications,
     &PreviewState::showInfoWindows,
     &SettingsValues::showInfoWindows,
     {},
     "Показать уведомляющие окна",
     "показывать",
     nullptr,
     std::nullopt},
    {Toggle::NotificationsLeft,
     &PreviewState::infoWindowsLeft,
     &SettingsValues::infoWindowsLeft,
     {},
     "Показать уведомляющие окна слева",
     "слева",
     "справа",
     Toggle::Notifications},
    {Toggle::MenuLeft,
     &PreviewState::menuLeft,
     &SettingsValues::menuLeft,
     {},
     nullptr,
     "левое",
     "правое",
     Toggle::Menu},
}};

constexpr const PreviewToggle &previewToggle(Toggle id)
{
    return kPreviewToggles[std::size_t(id)];
}

static_assert([] {
    for (std::size_t i = 0; i < kPreviewToggles.size(); ++i) {
        if (std::size_t(kPreviewToggles[i].id) != i)
            return false;
    }
    return true;
}());
