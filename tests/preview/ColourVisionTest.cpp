#include "preview/ColourVision.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// The reference, straight from the formulas: sRGB decoded, the matrix row, clamped, encoded.
double linear(int byte)
{
    const double c = byte / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int encoded(double l)
{
    l = std::clamp(l, 0.0, 1.0);
    const double c = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
    return int(std::lround(c * 255));
}

void expectNear(QRgb seen, int r, int g, int b, const char *what)
{
    EXPECT_NEAR(qRed(seen), r, 1) << what;
    EXPECT_NEAR(qGreen(seen), g, 1) << what;
    EXPECT_NEAR(qBlue(seen), b, 1) << what;
}

} // namespace

// A primary shows the matrix's column for it: the published full-severity matrices, applied in
// linear light, not to the sRGB bytes.
TEST(ColourVision, PrimariesBecomeTheMatrixColumnsEncoded)
{
    // Protanopia's and tritanopia's columns for red, green and blue.
    expectNear(simulateColourVision(qRgb(255, 0, 0), ColourVision::Protanopia), encoded(0.152286),
               encoded(0.114503), encoded(-0.003882), "protan red");
    expectNear(simulateColourVision(qRgb(0, 255, 0), ColourVision::Protanopia), encoded(1.052583),
               encoded(0.786281), encoded(-0.048116), "protan green");
    expectNear(simulateColourVision(qRgb(0, 0, 255), ColourVision::Deuteranopia),
               encoded(-0.227968), encoded(0.047413), encoded(0.968881), "deutan blue");
    expectNear(simulateColourVision(qRgb(0, 255, 0), ColourVision::Tritanopia), encoded(-0.076749),
               encoded(0.930809), encoded(0.691367), "tritan green");

    // A mixed colour, through the whole chain.
    const QRgb orange = qRgb(230, 120, 40);
    const double r = linear(230), g = linear(120), b = linear(40);
    expectNear(simulateColourVision(orange, ColourVision::Deuteranopia),
               encoded(0.367322 * r + 0.860646 * g - 0.227968 * b),
               encoded(0.280085 * r + 0.672501 * g + 0.047413 * b),
               encoded(-0.011820 * r + 0.042940 * g + 0.968881 * b), "deutan orange");
    const int grey = encoded(0.2126 * r + 0.7152 * g + 0.0722 * b);
    expectNear(simulateColourVision(orange, ColourVision::Achromatopsia), grey, grey, grey,
               "achroma orange");
}

TEST(ColourVision, GreysBlackAndWhiteStayAndNormalChangesNothing)
{
    for (const int level : {0, 1, 17, 128, 254, 255}) {
        const QRgb grey = qRgb(level, level, level);
        expectNear(simulateColourVision(grey, ColourVision::Achromatopsia), level, level, level,
                   "achroma grey");
        expectNear(simulateColourVision(grey, ColourVision::Deuteranopia), level, level, level,
                   "deutan grey");
    }
    EXPECT_EQ(simulateColourVision(qRgba(12, 200, 7, 40), ColourVision::Normal),
              qRgba(12, 200, 7, 40));
    EXPECT_EQ(qAlpha(simulateColourVision(qRgba(12, 200, 7, 40), ColourVision::Tritanopia)), 40);
}

// The picture filter gives every pixel what the colour function gives it, transparency kept.
TEST(ColourVision, PicturesAreFilteredPixelByPixel)
{
    QImage picture(7, 3, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgba(x * 40, y * 100, 255 - x * 30, 255 - x * 20));
    const QImage seen = simulateColourVision(picture, ColourVision::Protanopia);
    ASSERT_EQ(seen.size(), picture.size());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            EXPECT_EQ(seen.pixel(x, y),
                      simulateColourVision(picture.pixel(x, y), ColourVision::Protanopia));
    EXPECT_EQ(simulateColourVision(picture, ColourVision::Normal), picture);

    EXPECT_EQ(colourVisionNamed(QStringLiteral("protan")), ColourVision::Protanopia);
    EXPECT_EQ(colourVisionNamed(QStringLiteral("achroma")), ColourVision::Achromatopsia);
    EXPECT_FALSE(colourVisionNamed(QStringLiteral("red-green")));
}
