#pragma once

#include "platform/Error.h"

#include <QString>

namespace platform {

// Adds the font rules of a fontconfig file (family aliases) to the fonts this process matches
// against. Must run before the first text is drawn, as Qt remembers what it matched. On systems
// without fontconfig there is nothing to load and it succeeds.
Result<void> loadFontAliases(const QString &configFile);

} // namespace platform
