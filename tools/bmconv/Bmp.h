#pragma once

#include "bmconv/Bytes.h"
#include "bmconv/Colour.h"
#include "bmconv/Error.h"

namespace bmconv {

// Limits on what we accept from a BMP. Symbian bitmaps are screen-sized; these only keep hostile
// headers from making us allocate gigabytes or overflow the twips arithmetic.
inline constexpr int kMaxBitmapSide = 65535;
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t(1) << 26;

struct BmpImage
{
    RgbImage picture;
    int bitsPerPixel = 0;
    int paletteSize = 0; // colour-table entries the file declares (0 above 8 bpp)
    Bytes indices;       // ≤ 8 bpp only: each pixel's raw colour-table index, top row first
    std::int32_t xPelsPerMetre = 0;
    std::int32_t yPelsPerMetre = 0;
};

// Reads a Windows bitmap: core (OS/2 1.x), info, V2–V5 headers; 1, 2, 4, 8, 16, 24, 32 bits per
// pixel; BI_RGB, and BI_BITFIELDS / BI_ALPHABITFIELDS for 16 and 32 bits; bottom-up or top-down.
// The pixel data is taken from bfOffBits. Compressed files (RLE, JPEG, PNG) are
// Status::UnknownCompression; anything malformed or truncated is Status::BadSourceFile.
Result<BmpImage> readBmp(ByteView file);

// A 24-bit bottom-up BMP with no resolution, row padding bytes 0xFF.
Bytes writeBmp24(const RgbImage &image);

// An 8-bit BMP with a 256-entry grey colour table holding `levels` (one byte per pixel, top row
// first), row padding bytes 0.
Bytes writeBmpGrey8(int width, int height, ByteView levels);

} // namespace bmconv
