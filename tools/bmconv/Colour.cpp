#include "bmconv/Colour.h"

#include <cstdlib>
#include <cstring>

namespace bmconv {

namespace {

constexpr std::array<std::uint32_t, 16> kPalette16 = {
    0x000000, 0x555555, 0x800000, 0x808000, 0x008000, 0xFF0000, 0xFFFF00, 0x00FF00,
    0xFF00FF, 0x0000FF, 0x00FFFF, 0x800080, 0x000080, 0x008080, 0xAAAAAA, 0xFFFFFF,
};

constexpr std::array<std::uint32_t, 256> makePalette256()
{
    // 216 colours of a 6×6×6 cube (red fastest) with 40 extra shades in the middle: eight groups
    // of five levels, grey, red, green, blue, then blue, green, red, grey.
    constexpr std::uint32_t low[5] = {0x11, 0x22, 0x44, 0x55, 0x77};
    constexpr std::uint32_t high[5] = {0x88, 0xAA, 0xBB, 0xDD, 0xEE};
    constexpr int channelShift[8] = {-1, 16, 8, 0, 0, 8, 16, -1}; // -1: all three channels
    std::array<std::uint32_t, 256> palette{};
    for (int k = 0; k < 256; ++k) {
        if (k < 108 || k >= 148) {
            const int j = k < 108 ? k : k - 40;
            const std::uint32_t r = 0x33u * (j % 6), g = 0x33u * (j / 6 % 6), b = 0x33u * (j / 36);
            palette[k] = r << 16 | g << 8 | b;
        } else {
            const int group = (k - 108) / 5;
            const std::uint32_t level = group < 4 ? low[(k - 108) % 5] : high[(k - 108) % 5];
            const int shift = channelShift[group];
            palette[k] = shift < 0 ? (level << 16 | level << 8 | level) : level << shift;
        }
    }
    return palette;
}

constexpr std::array<std::uint32_t, 256> kPalette256 = makePalette256();

template<std::size_t N>
std::uint8_t nearestIndex(const std::array<std::uint32_t, N> &palette, int r, int g, int b)
{
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < N; ++i) {
        const std::uint32_t c = palette[i];
        const int distance = std::abs(r - static_cast<int>(c >> 16 & 0xFF)) +
                             std::abs(g - static_cast<int>(c >> 8 & 0xFF)) +
                             std::abs(b - static_cast<int>(c & 0xFF));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return static_cast<std::uint8_t>(best);
}

std::array<std::uint8_t, 512> buildColour16Table()
{
    std::array<std::uint8_t, 512> table{};
    for (int i = 0; i < 512; ++i)
        table[i] =
            nearestIndex(kPalette16, (i & 7) * 255 / 7, (i >> 3 & 7) * 255 / 7, (i >> 6) * 255 / 7);
    return table;
}

// The converter's fixed correction of two greys, applied to every input pixel before reduction.
inline void applyGreyQuirk(int &r, int &g, int &b)
{
    if (r == g && g == b) {
        if (r == 128)
            r = g = b = 127;
        else if (r == 192)
            r = g = b = 187;
    }
}

inline int greyLevel(int r, int g, int b)
{
    return (2 * r + 5 * g + b) / 8;
}

// Packs pixel values of `bits` bits least-significant first into rows prefilled with 1s.
template<typename ValueOf>
void packSubByte(Bytes &out, const RgbImage &image, int bits, std::int64_t stride, ValueOf valueOf)
{
    const int perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    const std::uint8_t *src = image.bgr.data();
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t *row = out.data() + y * stride;
        for (int x = 0; x < image.width; ++x, src += 3) {
            int r = src[2], g = src[1], b = src[0];
            applyGreyQuirk(r, g, b);
            const unsigned value = valueOf(r, g, b) & mask;
            const int shift = (x % perByte) * bits;
            std::uint8_t &byte = row[x / perByte];
            byte = static_cast<std::uint8_t>((byte & ~(mask << shift)) | value << shift);
        }
    }
}

template<typename WordOf>
void packWords(Bytes &out, const RgbImage &image, std::int64_t stride, WordOf wordOf)
{
    const std::uint8_t *src = image.bgr.data();
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t *dst = out.data() + y * stride;
        for (int x = 0; x < image.width; ++x, src += 3, dst += 2) {
            int r = src[2], g = src[1], b = src[0];
            applyGreyQuirk(r, g, b);
            const unsigned word = wordOf(r, g, b);
            dst[0] = static_cast<std::uint8_t>(word);
            dst[1] = static_cast<std::uint8_t>(word >> 8);
        }
    }
}

} // namespace

bool isKnownDepth(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 12:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

bool isStorableMode(BitmapMode mode)
{
    switch (mode.colour) {
    case Greyscale:
        return mode.bitsPerPixel == 1 || mode.bitsPerPixel == 2 || mode.bitsPerPixel == 4 ||
               mode.bitsPerPixel == 8;
    case Colour:
        return mode.bitsPerPixel >= 4 && isKnownDepth(mode.bitsPerPixel);
    case ColourAlpha:
        return mode.bitsPerPixel == 32;
    default:
        return false;
    }
}

std::int64_t rowStride(int bitsPerPixel, std::int64_t width)
{
    switch (bitsPerPixel) {
    case 1:
        return 4 * ((width + 31) / 32);
    case 2:
        return 4 * ((width + 15) / 16);
    case 4:
        return 4 * ((width + 7) / 8);
    case 8:
        return 4 * ((width + 3) / 4);
    case 12:
    case 16:
        return 4 * ((width + 1) / 2);
    case 24:
        return 12 * ((3 * width + 11) / 12);
    case 32:
        return 4 * width;
    default:
        return 0;
    }
}

const std::array<std::uint32_t, 16> &palette16()
{
    return kPalette16;
}

const std::array<std::uint32_t, 256> &palette256()
{
    return kPalette256;
}

Colour256Table buildColour256Table(const std::array<std::uint32_t, 256> &palette)
{
    Colour256Table table{};
    for (int i = 0; i < 4096; ++i)
        table[i] = nearestIndex(palette, (i & 15) * 17, (i >> 4 & 15) * 17, (i >> 8) * 17);
    return table;
}

const Colour256Table &defaultColour256Table()
{
    // Built on first use: only 8-bit colour packing needs it.
    static const Colour256Table table = buildColour256Table(kPalette256);
    return table;
}

const std::array<std::uint8_t, 512> &colour16Table()
{
    static const std::array<std::uint8_t, 512> table = buildColour16Table();
    return table;
}

Bytes encodePixels(const RgbImage &image, BitmapMode mode, const std::uint8_t *alpha,
                   const Colour256Table &table256)
{
    const std::int64_t stride = rowStride(mode.bitsPerPixel, image.width);
    Bytes out(static_cast<std::size_t>(stride * image.height), 0xFF);
    const bool colour = mode.colour != Greyscale;

    switch (mode.bitsPerPixel) {
    case 1:
        packSubByte(out, image, 1, stride,
                    [](int r, int g, int b) { return unsigned(greyLevel(r, g, b) / 128); });
        break;
    case 2:
        packSubByte(out, image, 2, stride,
                    [](int r, int g, int b) { return unsigned(greyLevel(r, g, b) / 64); });
        break;
    case 4:
        if (colour) {
            const auto &table = colour16Table();
            packSubByte(out, image, 4, stride, [&table](int r, int g, int b) {
                return unsigned(table[(r >> 5) | (g >> 5) << 3 | (b >> 5) << 6]);
            });
        } else {
            packSubByte(out, image, 4, stride,
                        [](int r, int g, int b) { return unsigned(greyLevel(r, g, b) / 16); });
        }
        break;
    case 8: {
        const std::uint8_t *src = image.bgr.data();
        for (int y = 0; y < image.height; ++y) {
            std::uint8_t *dst = out.data() + y * stride;
            for (int x = 0; x < image.width; ++x, src += 3) {
                int r = src[2], g = src[1], b = src[0];
                applyGreyQuirk(r, g, b);
                dst[x] = colour ? table256[(r >> 4) | (g >> 4) << 4 | (b >> 4) << 8]
                                : static_cast<std::uint8_t>(greyLevel(r, g, b));
            }
        }
        break;
    }
    case 12:
        packWords(out, image, stride, [](int r, int g, int b) {
            return unsigned((r & 0xF0) << 4 | (g & 0xF0) | b >> 4);
        });
        break;
    case 16:
        packWords(out, image, stride, [](int r, int g, int b) {
            return unsigned((r & 0xF8) << 8 | (g & 0xFC) << 3 | b >> 3);
        });
        break;
    case 24: {
        const std::uint8_t *src = image.bgr.data();
        const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
        for (int y = 0; y < image.height; ++y) {
            std::uint8_t *dst = out.data() + y * stride;
            std::memcpy(dst, src + y * rowBytes, rowBytes);
            for (std::size_t i = 0; i < rowBytes; i += 3) {
                if (dst[i] == dst[i + 1] && dst[i] == dst[i + 2]) {
                    if (dst[i] == 128)
                        dst[i] = dst[i + 1] = dst[i + 2] = 127;
                    else if (dst[i] == 192)
                        dst[i] = dst[i + 1] = dst[i + 2] = 187;
                }
            }
        }
        break;
    }
    case 32: {
        const std::uint8_t *src = image.bgr.data();
        std::uint8_t *dst = out.data();
        const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
        const bool withAlpha = mode.colour == ColourAlpha && alpha;
        for (std::size_t i = 0; i < count; ++i, src += 3, dst += 4) {
            int r = src[2], g = src[1], b = src[0];
            applyGreyQuirk(r, g, b);
            dst[0] = static_cast<std::uint8_t>(b);
            dst[1] = static_cast<std::uint8_t>(g);
            dst[2] = static_cast<std::uint8_t>(r);
            dst[3] = withAlpha ? alpha[i] : 0;
        }
        break;
    }
    default:
        break;
    }
    return out;
}

RgbImage decodePixels(ByteView stored, int width, int height, BitmapMode mode)
{
    RgbImage image{width, height, Bytes(static_cast<std::size_t>(width) * height * 3)};
    const std::int64_t stride = rowStride(mode.bitsPerPixel, width);
    std::uint8_t *dst = image.bgr.data();
    const bool colour = mode.colour != Greyscale;

    auto putRgb = [&dst](std::uint32_t rgb) {
        dst[0] = static_cast<std::uint8_t>(rgb);
        dst[1] = static_cast<std::uint8_t>(rgb >> 8);
        dst[2] = static_cast<std::uint8_t>(rgb >> 16);
        dst += 3;
    };
    auto putGrey = [&dst](unsigned level) {
        dst[0] = dst[1] = dst[2] = static_cast<std::uint8_t>(level);
        dst += 3;
    };

    for (int y = 0; y < height; ++y) {
        const std::uint8_t *row = stored.data() + y * stride;
        switch (mode.bitsPerPixel) {
        case 1:
        case 2:
        case 4: {
            const int bits = mode.bitsPerPixel;
            const int perByte = 8 / bits;
            const unsigned mask = (1u << bits) - 1;
            const unsigned scale = 255 / mask;
            for (int x = 0; x < width; ++x) {
                const unsigned value = row[x / perByte] >> (x % perByte) * bits & mask;
                if (bits == 4 && colour)
                    putRgb(kPalette16[value]);
                else
                    putGrey(value * scale);
            }
            break;
        }
        case 8:
            for (int x = 0; x < width; ++x) {
                if (colour)
                    putRgb(kPalette256[row[x]]);
                else
                    putGrey(row[x]);
            }
            break;
        case 12:
            for (int x = 0; x < width; ++x) {
                const unsigned word = loadU16(row + 2 * x);
                dst[0] = static_cast<std::uint8_t>((word & 0xF) * 17);
                dst[1] = static_cast<std::uint8_t>((word >> 4 & 0xF) * 17);
                dst[2] = static_cast<std::uint8_t>((word >> 8 & 0xF) * 17);
                dst += 3;
            }
            break;
        case 16:
            for (int x = 0; x < width; ++x) {
                const unsigned word = loadU16(row + 2 * x);
                dst[0] = static_cast<std::uint8_t>((word & 0x1F) * 255 / 31);
                dst[1] = static_cast<std::uint8_t>((word >> 5 & 0x3F) * 255 / 63);
                dst[2] = static_cast<std::uint8_t>((word >> 11) * 255 / 31);
                dst += 3;
            }
            break;
        case 24:
            std::memcpy(dst, row, static_cast<std::size_t>(width) * 3);
            dst += static_cast<std::size_t>(width) * 3;
            break;
        case 32:
            for (int x = 0; x < width; ++x) {
                dst[0] = row[4 * x];
                dst[1] = row[4 * x + 1];
                dst[2] = row[4 * x + 2];
                dst += 3;
            }
            break;
        default:
            break;
        }
    }
    return image;
}

Bytes extractAlpha(ByteView stored, int width, int height)
{
    Bytes alpha(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = stored[4 * i + 3];
    return alpha;
}

} // namespace bmconv
