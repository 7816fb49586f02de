#pragma once

#include "bmconv/Bytes.h"

#include <array>
#include <cstdint>

namespace bmconv {

// A picture as the converter handles it between BMP and MBM: 3 bytes per pixel in the order
// B, G, R, top row first, rows not padded.
struct RgbImage
{
    int width = 0;
    int height = 0;
    Bytes bgr;
};

// iColor of an MBM bitmap header.
enum ColourKind : std::uint32_t {
    Greyscale = 0,
    Colour = 1,
    ColourAlpha = 2,
    ColourPremultipliedAlpha = 3,
};

// How a bitmap is stored: bits per pixel and iColor. Only the combinations of isStorableMode can
// be written; the reader accepts any depth it can lay out.
struct BitmapMode
{
    int bitsPerPixel = 2;
    std::uint32_t colour = Greyscale;

    friend bool operator==(const BitmapMode &, const BitmapMode &) = default;
};

bool isKnownDepth(int bitsPerPixel);
bool isStorableMode(BitmapMode mode);

// Bytes per stored row. 24-bit rows are padded to whole groups of four pixels, not to 32 bits.
std::int64_t rowStride(int bitsPerPixel, std::int64_t width);

// The standard palettes, as 0xRRGGBB.
const std::array<std::uint32_t, 16> &palette16();
const std::array<std::uint32_t, 256> &palette256();

// Colour → palette index tables: for 8-bit colour indexed by (R>>4) | (G>>4)<<4 | (B>>4)<<8,
// for 4-bit colour by (R>>5) | (G>>5)<<3 | (B>>5)<<6. Each entry is the palette colour with the
// smallest sum of channel differences from the cell's representative colour, lowest index on ties.
using Colour256Table = std::array<std::uint8_t, 4096>;
const Colour256Table &defaultColour256Table();
Colour256Table buildColour256Table(const std::array<std::uint32_t, 256> &palette);
const std::array<std::uint8_t, 512> &colour16Table();

// Lays `image` out as `mode` stores it: rows of rowStride bytes, padding bits and bytes set to 1.
// Every input pixel goes through the converter's fixed quirk (exact 128 grey becomes 127, exact
// 192 grey becomes 187) and is reduced by truncation. `alpha` (one byte per pixel, same layout as
// the image) fills the fourth byte of 32-bit alpha bitmaps; `table256` picks 8-bit colour indices.
Bytes encodePixels(const RgbImage &image, BitmapMode mode, const std::uint8_t *alpha,
                   const Colour256Table &table256);

// Expands stored pixels (rowStride × height bytes, validated by the caller) to 24-bit colour the
// way the unpacker does: greys and palettes exactly, 16-bit channels as c·255 div (2^n − 1).
RgbImage decodePixels(ByteView stored, int width, int height, BitmapMode mode);

// The fourth byte of each 32-bit pixel, top row first.
Bytes extractAlpha(ByteView stored, int width, int height);

} // namespace bmconv
