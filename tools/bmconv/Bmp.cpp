#include "bmconv/Bmp.h"

#include <bit>
#include <cstring>
#include <string>

namespace bmconv {

// File header (14 bytes):  "BM", u32 bfSize, u16 ×2 reserved, u32 bfOffBits.
// Core header (12 bytes):  u32 size, u16 width, u16 height, u16 planes, u16 bitCount;
//                          colour table of B, G, R triples.
// Info header (40 bytes and its V2–V5 extensions): u32 size, i32 width, i32 height (negative:
// top-down), u16 planes, u16 bitCount, u32 compression, u32 sizeImage, i32 xPelsPerMeter,
// i32 yPelsPerMeter, u32 clrUsed, u32 clrImportant, then (V2+) the R, G, B (V3+: A) masks;
// colour table of B, G, R, 0 quads. A bare 40-byte header with BI_BITFIELDS is followed by its
// masks.

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

struct Channel
{
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;

    std::uint8_t scale(std::uint32_t pixel) const
    {
        if (max == 0)
            return 0;
        const std::uint64_t value = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>(max == 255 ? value : (value * 255 + max / 2) / max);
    }
};

Result<Channel> channelFor(std::uint32_t mask)
{
    Channel channel;
    if (mask == 0)
        return channel;
    channel.mask = mask;
    channel.shift = std::countr_zero(mask);
    const std::uint64_t field = mask >> channel.shift;
    if ((field & (field + 1)) != 0)
        return fail(Status::BadSourceFile, "a colour mask is not one block of bits");
    channel.max = field;
    return channel;
}

} // namespace

Result<BmpImage> readBmp(ByteView file)
{
    const std::uint8_t *d = file.data();
    const std::size_t size = file.size();
    if (size < 18 || d[0] != 'B' || d[1] != 'M')
        return fail(Status::BadSourceFile, "not a BMP file");

    const std::uint32_t offBits = loadU32(d + 10);
    const std::uint32_t headerSize = loadU32(d + 14);
    const bool core = headerSize == 12;
    if (!core && headerSize < 40)
        return fail(Status::BadSourceFile, "unknown BMP header size " + std::to_string(headerSize));
    if (!fitsIn(14, headerSize, size))
        return fail(Status::BadSourceFile, "BMP header is truncated");

    const std::uint8_t *h = d + 14;
    BmpImage bmp;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colourCount = 0;
    if (core) {
        width = loadU16(h + 4);
        height = loadU16(h + 6);
        bmp.bitsPerPixel = loadU16(h + 10);
    } else {
        width = loadI32(h + 4);
        height = loadI32(h + 8);
        bmp.bitsPerPixel = loadU16(h + 14);
        compression = loadU32(h + 16);
        bmp.xPelsPerMetre = loadI32(h + 24);
        bmp.yPelsPerMetre = loadI32(h + 28);
        colourCount = loadU32(h + 32);
    }
    const bool topDown = height < 0;
    height = topDown ? -height : height;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > kMaxBitmapPixels)
        return fail(Status::BadSourceFile, "BMP size " + std::to_string(width) + " x " +
                                               std::to_string(height) + " is not supported");

    const int bpp = bmp.bitsPerPixel;
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return fail(Status::BadSourceFile, std::to_string(bpp) + "-bit BMPs are not supported");

    const bool bitfields = compression == kBiBitfields || compression == kBiAlphaBitfields;
    if (compression != kBiRgb && !(bitfields && (bpp == 16 || bpp == 32)))
        return fail(Status::UnknownCompression,
                    "BMP compression " + std::to_string(compression) + " is not supported");

    // Masks, then the colour table, follow the header.
    std::uint64_t tableStart = 14 + static_cast<std::uint64_t>(headerSize);
    std::uint32_t masks[3] = {};
    if (bitfields) {
        if (headerSize >= 52) {
            for (int i = 0; i < 3; ++i)
                masks[i] = loadU32(h + 40 + 4 * i);
        } else {
            const std::uint64_t maskBytes = compression == kBiAlphaBitfields ? 16 : 12;
            if (!fitsIn(tableStart, maskBytes, size))
                return fail(Status::BadSourceFile, "BMP colour masks are truncated");
            for (int i = 0; i < 3; ++i)
                masks[i] = loadU32(d + tableStart + 4 * i);
            tableStart += maskBytes;
        }
    } else if (bpp == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (bpp == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }

    std::uint32_t palette[256] = {};
    if (bpp <= 8) {
        const std::uint32_t entries = colourCount == 0 ? 1u << bpp : colourCount;
        if (entries > 256)
            return fail(Status::BadSourceFile, "BMP colour table has more than 256 entries");
        const unsigned entrySize = core ? 3 : 4;
        std::uint32_t stored = entries;
        // Some writers declare a full table but store only what they use before the pixels.
        if (offBits > tableStart && tableStart + std::uint64_t(entries) * entrySize > offBits)
            stored = static_cast<std::uint32_t>((offBits - tableStart) / entrySize);
        if (!fitsIn(tableStart, std::uint64_t(stored) * entrySize, size))
            return fail(Status::BadSourceFile, "BMP colour table is truncated");
        for (std::uint32_t i = 0; i < stored; ++i) {
            const std::uint8_t *e = d + tableStart + i * entrySize;
            palette[i] = std::uint32_t(e[2]) << 16 | std::uint32_t(e[1]) << 8 | e[0];
        }
        bmp.paletteSize = static_cast<int>(entries);
        tableStart += std::uint64_t(stored) * entrySize;
    }

    const std::uint64_t dataStart = offBits != 0 ? offBits : tableStart;
    if (dataStart < 14 + std::uint64_t(headerSize))
        return fail(Status::BadSourceFile, "BMP pixel data offset points into the header");
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4;
    const std::uint64_t lastRowBytes = (static_cast<std::uint64_t>(width) * bpp + 7) / 8;
    // The final row's padding is often left off; the pixels themselves must be there.
    if (!fitsIn(dataStart, rowBytes * (height - 1) + lastRowBytes, size))
        return fail(Status::BadSourceFile, "BMP pixel data is truncated");

    Channel channels[3];
    if (bpp == 16 || bpp == 32) {
        for (int i = 0; i < 3; ++i) {
            auto channel = channelFor(masks[i]);
            if (!channel)
                return std::unexpected(channel.error());
            channels[i] = *channel;
        }
    }

    const int w = static_cast<int>(width);
    const int hgt = static_cast<int>(height);
    RgbImage &picture = bmp.picture;
    picture.width = w;
    picture.height = hgt;
    picture.bgr.resize(static_cast<std::size_t>(w) * hgt * 3);
    if (bpp <= 8)
        bmp.indices.resize(static_cast<std::size_t>(w) * hgt);

    for (int y = 0; y < hgt; ++y) {
        const std::uint8_t *row = d + dataStart + rowBytes * (topDown ? y : hgt - 1 - y);
        std::uint8_t *dst = picture.bgr.data() + static_cast<std::size_t>(y) * w * 3;
        switch (bpp) {
        case 1:
        case 2:
        case 4:
        case 8: {
            // Windows puts the leftmost pixel in the most significant bits.
            std::uint8_t *index = bmp.indices.data() + static_cast<std::size_t>(y) * w;
            const int perByte = 8 / bpp;
            const unsigned mask = (1u << bpp) - 1;
            for (int x = 0; x < w; ++x, dst += 3) {
                const int shift = 8 - bpp * (x % perByte + 1);
                const unsigned value = row[x / perByte] >> shift & mask;
                index[x] = static_cast<std::uint8_t>(value);
                const std::uint32_t rgb = palette[value];
                dst[0] = static_cast<std::uint8_t>(rgb);
                dst[1] = static_cast<std::uint8_t>(rgb >> 8);
                dst[2] = static_cast<std::uint8_t>(rgb >> 16);
            }
            break;
        }
        case 16:
            for (int x = 0; x < w; ++x, dst += 3) {
                const std::uint32_t pixel = loadU16(row + 2 * x);
                dst[0] = channels[2].scale(pixel);
                dst[1] = channels[1].scale(pixel);
                dst[2] = channels[0].scale(pixel);
            }
            break;
        case 24:
            std::memcpy(dst, row, static_cast<std::size_t>(w) * 3);
            break;
        case 32:
            if (!bitfields) {
                for (int x = 0; x < w; ++x, dst += 3)
                    std::memcpy(dst, row + 4 * x, 3);
            } else {
                for (int x = 0; x < w; ++x, dst += 3) {
                    const std::uint32_t pixel = loadU32(row + 4 * x);
                    dst[0] = channels[2].scale(pixel);
                    dst[1] = channels[1].scale(pixel);
                    dst[2] = channels[0].scale(pixel);
                }
            }
            break;
        default:
            break;
        }
    }
    return bmp;
}

Bytes writeBmp24(const RgbImage &image)
{
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
    const std::uint32_t dataSize = rowBytes * static_cast<std::uint32_t>(image.height);
    Bytes out;
    out.reserve(54 + dataSize);
    out.push_back('B');
    out.push_back('M');
    appendU32(out, 54 + dataSize);
    appendU32(out, 0);
    appendU32(out, 54);
    appendU32(out, 40);
    appendI32(out, image.width);
    appendI32(out, image.height);
    appendU16(out, 1);
    appendU16(out, 24);
    for (int i = 0; i < 6; ++i) // compression, sizeImage, resolution, colours used and important
        appendU32(out, 0);

    const std::size_t pixelBytes = static_cast<std::size_t>(image.width) * 3;
    out.resize(54 + dataSize, 0xFF);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(out.data() + 54 + static_cast<std::size_t>(image.height - 1 - y) * rowBytes,
                    image.bgr.data() + y * pixelBytes, pixelBytes);
    }
    return out;
}

Bytes writeBmpGrey8(int width, int height, ByteView levels)
{
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) + 3) & ~3u;
    const std::uint32_t dataSize = rowBytes * static_cast<std::uint32_t>(height);
    constexpr std::uint32_t dataStart = 14 + 40 + 256 * 4;
    Bytes out;
    out.reserve(dataStart + dataSize);
    out.push_back('B');
    out.push_back('M');
    appendU32(out, dataStart + dataSize);
    appendU32(out, 0);
    appendU32(out, dataStart);
    appendU32(out, 40);
    appendI32(out, width);
    appendI32(out, height);
    appendU16(out, 1);
    appendU16(out, 8);
    appendU32(out, 0);
    appendU32(out, dataSize);
    appendU32(out, 0);
    appendU32(out, 0);
    appendU32(out, 256);
    appendU32(out, 0);
    for (std::uint32_t v = 0; v < 256; ++v)
        appendU32(out, v << 16 | v << 8 | v);

    out.resize(dataStart + dataSize, 0x00);
    for (int y = 0; y < height; ++y) {
        std::memcpy(out.data() + dataStart + static_cast<std::size_t>(height - 1 - y) * rowBytes,
                    levels.data() + static_cast<std::size_t>(y) * width,
                    static_cast<std::size_t>(width));
    }
    return out;
}

} // namespace bmconv
