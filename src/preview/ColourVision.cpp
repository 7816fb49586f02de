#include "preview/ColourVision.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Matrix = std::array<std::array<float, 3>, 3>;

// Rows give the seen linear red, green and blue from the shown ones.
constexpr Matrix kProtanopia = {{{0.152286f, 1.052583f, -0.204868f},
                                 {0.114503f, 0.786281f, 0.099216f},
                                 {-0.003882f, -0.048116f, 1.051998f}}};
constexpr Matrix kDeuteranopia = {{{0.367322f, 0.860646f, -0.227968f},
                                   {0.280085f, 0.672501f, 0.047413f},
                                   {-0.011820f, 0.042940f, 0.968881f}}};
constexpr Matrix kTritanopia = {{{1.255528f, -0.076749f, -0.178779f},
                                 {-0.078411f, 0.930809f, 0.147602f},
                                 {0.004733f, 0.691367f, 0.303900f}}};
// Rec. 709 luminance in every channel.
constexpr Matrix kAchromatopsia = {
    {{0.2126f, 0.7152f, 0.0722f}, {0.2126f, 0.7152f, 0.0722f}, {0.2126f, 0.7152f, 0.0722f}}};

const Matrix &matrixFor(ColourVision vision)
{
    switch (vision) {
    case ColourVision::Protanopia:
        return kProtanopia;
    case ColourVision::Deuteranopia:
        return kDeuteranopia;
    case ColourVision::Tritanopia:
        return kTritanopia;
    default:
        return kAchromatopsia;
    }
}

} // namespace

const std::array<float, 256> &linearFromSrgb()
{
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[std::size_t(i)] =
                float(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return t;
    }();
    return table;
}

namespace {

// Linear light in 1/4095 steps back to an sRGB byte: fine enough near black, where the curve is
// steepest, to land within one step of the exact encoding.
constexpr int kEncodeSteps = 4095;
const std::array<unsigned char, kEncodeSteps + 1> &encodeTable()
{
    static const std::array<unsigned char, kEncodeSteps + 1> table = [] {
        std::array<unsigned char, kEncodeSteps + 1> t{};
        for (int i = 0; i <= kEncodeSteps; ++i) {
            const double l = double(i) / kEncodeSteps;
            const double c = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
            t[std::size_t(i)] = static_cast<unsigned char>(std::lround(c * 255));
        }
        return t;
    }();
    return table;
}

int encode(float linear)
{
    const float clamped = std::clamp(linear, 0.0f, 1.0f);
    return encodeTable()[std::size_t(clamped * kEncodeSteps + 0.5f)];
}

QRgb seenThrough(QRgb colour, const Matrix &m)
{
    const auto &decode = linearFromSrgb();
    const float r = decode[std::size_t(qRed(colour))];
    const float g = decode[std::size_t(qGreen(colour))];
    const float b = decode[std::size_t(qBlue(colour))];
    const auto row = [&](int i) {
        return encode(m[i][0] * r + m[i][1] * g + m[i][2] * b);
    };
    return qRgba(row(0), row(1), row(2), qAlpha(colour));
}

} // namespace

QRgb simulateColourVision(QRgb colour, ColourVision vision)
{
    if (vision == ColourVision::Normal)
        return colour;
    return seenThrough(colour, matrixFor(vision));
}

QImage simulateColourVision(const QImage &picture, ColourVision vision)
{
    if (vision == ColourVision::Normal || picture.isNull())
        return picture;
    const bool alpha = picture.hasAlphaChannel();
    QImage seen = picture.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const Matrix &m = matrixFor(vision);
    // A screen has few colours, mostly in runs: a small cache of recent ones saves the
    // arithmetic for nearly every pixel.
    constexpr std::size_t kCacheSize = 1024;
    // Every slot starts out holding transparent black and what it becomes.
    std::array<QRgb, kCacheSize> in{};
    std::array<QRgb, kCacheSize> out{};
    out.fill(seenThrough(0, m));
    for (int y = 0; y < seen.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(seen.scanLine(y));
        for (int x = 0; x < seen.width(); ++x) {
            const QRgb colour = line[x];
            const std::size_t slot = ((colour * 2654435761u) >> 22) & (kCacheSize - 1);
            if (in[slot] != colour) {
                in[slot] = colour;
                out[slot] = seenThrough(colour, m);
            }
            line[x] = out[slot];
        }
    }
    return seen;
}

std::optional<ColourVision> colourVisionNamed(const QString &name)
{
    if (name == u"normal")
        return ColourVision::Normal;
    if (name == u"protan")
        return ColourVision::Protanopia;
    if (name == u"deutan")
        return ColourVision::Deuteranopia;
    if (name == u"tritan")
        return ColourVision::Tritanopia;
    if (name == u"achroma")
        return ColourVision::Achromatopsia;
    return std::nullopt;
}
