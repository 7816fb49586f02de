#pragma once

#include "core/SettingsFile.h"
#include "preview/PreviewState.h"

// The settings file's fonts and the preview's, both ways. A style the file cannot say
// (underline, strike-out) is written as regular.
PhoneFont toPhoneFont(const SettingsFont &font);
SettingsFont toSettingsFont(const PhoneFont &font);

// The preview options a settings file holds, over a state: what a window reading that file
// would show. The screen size is the typed one; a model's size is the caller's to apply.
PreviewState previewStateFromSettings(const SettingsValues &values, PreviewState state = {});
