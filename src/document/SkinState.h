#pragma once

#include "containers/SkinPictures.h"
#include "core/ColourScheme.h"
#include "core/SkinFile.h"

#include <array>

// Everything of a skin that an undo step can change: the twenty colours, the texts of the .skin
// file and both pictures. Pictures are shared, not copied, so a state costs a few hundred bytes.
struct SkinState
{
    std::array<TColor, kSlotCount> colours{};
    SkinTexts texts;
    SkinPictures pictures;

    bool sameColours(const SkinState &other) const { return colours == other.colours; }
    bool samePictures(const SkinState &other) const;
    bool operator==(const SkinState &other) const
    {
        return sameColours(other) && texts == other.texts && samePictures(other);
    }
};
