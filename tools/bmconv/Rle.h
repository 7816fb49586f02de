#pragma once

#include "bmconv/Bytes.h"
#include "bmconv/Colour.h"
#include "bmconv/Error.h"

#include <cstdint>
#include <optional>

namespace bmconv {

// iCompression of an MBM bitmap header. Every scheme works on the whole padded pixel buffer as one
// stream, so runs may cross rows.
enum Compression : std::uint32_t {
    NoCompression = 0,
    ByteRle = 1,              // 1, 2, 4 and 8 bpp; units of one byte
    TwelveBitRle = 2,         // 12 bpp; words of (run − 1) << 12 | pixel
    SixteenBitRle = 3,        // 16 bpp; units of two bytes
    TwentyFourBitRle = 4,     // 24 bpp; units of B, G, R
    ThirtyTwoUnsignedRle = 5, // 32 bpp without alpha; the stream holds B, G, R only
    ThirtyTwoAlphaRle = 6,    // 32 bpp with alpha; units of B, G, R, A
};

bool isKnownCompression(std::uint32_t compression);

// The scheme that belongs to a depth (the only one a phone accepts for it).
Compression compressionForMode(BitmapMode mode);

// Compresses `raw` exactly as the SDK converter does, including where it gives up: nullopt means
// the bitmap is to be stored uncompressed.
std::optional<Bytes> compress(Compression compression, ByteView raw);

// Expands `stream` to exactly `rawSize` bytes. A stream that stops short, runs past the end or
// leaves bytes over is Status::DecompressionError; an unknown scheme is
// Status::UnknownCompression.
Result<Bytes> decompress(std::uint32_t compression, ByteView stream, std::size_t rawSize);

} // namespace bmconv
