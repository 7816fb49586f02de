#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <optional>

// How a viewer sees colours: the preview can show the skin as people with one of the common
// colour-vision deficiencies see it. A display filter only: what is drawn, clicked and saved is
// the skin's own colours.
enum class ColourVision {
    Normal,
    Protanopia,    // no long-wavelength (red) cones
    Deuteranopia,  // no medium-wavelength (green) cones
    Tritanopia,    // no short-wavelength (blue) cones
    Achromatopsia, // no colour at all: brightness only
};

// The colour as that viewer sees it, the alpha kept. Dichromacies use the Machado, Oliveira and
// Fernandes (2009) matrices at full severity on linear RGB (sRGB decoded, multiplied, clamped,
// encoded again); achromatopsia is the Rec. 709 luminance.
QRgb simulateColourVision(QRgb colour, ColourVision vision);
// The picture as that viewer sees it, in the picture's format (RGB32 or ARGB32 kinds).
QImage simulateColourVision(const QImage &picture, ColourVision vision);

// The command line's names: "protan", "deutan", "tritan", "achroma" (and "normal").
std::optional<ColourVision> colourVisionNamed(const QString &name);

// An sRGB byte as linear light, 0..1 (the WCAG and Rec. 709 decoding, which agree on bytes).
const std::array<float, 256> &linearFromSrgb();
