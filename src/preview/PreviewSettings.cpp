#include "preview/PreviewSettings.h"

#include "core/PhoneModels.h"
#include "preview/PreviewOptions.h"

#include <algorithm>

PhoneFont toPhoneFont(const SettingsFont &font)
{
    // Code 3 is bold and italic; any other code outside 0..3 reads as regular.
    const int style = font.style >= 0 && font.style <= 3 ? font.style : 0;
    return PhoneFont::fromPoints(font.name, std::clamp(font.size, 1, 200), (style & 1) != 0,
                                 (style & 2) != 0);
}

SettingsFont toSettingsFont(const PhoneFont &font)
{
    return {font.family, settingsFontStyle(font.bold, font.italic, font.underline, font.strikeOut),
            font.points()};
}

PreviewState previewStateFromSettings(const SettingsValues &v, PreviewState state)
{
    for (const PreviewToggle &toggle : kPreviewToggles)
        state.*toggle.state = v.*toggle.setting;
    state.sortByStatus = v.sortIndex != 1;
    state.columns = std::clamp(v.columns, 1, 5);
    if (v.selectRegion == 0 || v.selectRegion == 1)
        state.selection = SelectionMode(v.selectRegion);
    state.contactListFont = toPhoneFont(v.fonts[0]);
    state.chatFont = toPhoneFont(v.fonts[1]);
    state.settingsFont = toPhoneFont(v.fonts[2]);
    // The size fields' own range and step.
    const auto side = [](const QString &text, int fallback) {
        bool ok = false;
        const int value = text.trimmed().toInt(&ok);
        return ok ? std::clamp(value, kMinScreenSide, kMaxScreenSide) : fallback;
    };
    state.screenSize = QSize(side(v.screenWidth, state.screenSize.width()),
                             side(v.screenHeight, state.screenSize.height()));
    return state;
}
