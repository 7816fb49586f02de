#pragma once

#include "IconSets.h"

#include "platform/Error.h"

#include <QString>

// Packs the list into target with our bitmap converter: every icon as a 24-bit colour picture
// followed by its mask as an 8-bit grey bitmap (white = icon, black = background, grey for soft
// edges). The BMP files are written into scratch, which must exist. The target is replaced only
// when the converter has built a file holding every bitmap.
Result<void> packIconList(const IconList &list, const QString &bmconv, const QString &scratch,
                          const QString &target);
