#include "bmconv/Rle.h"

#include <algorithm>
#include <cstring>

namespace bmconv {

namespace {

// A marker byte m: 0…127 repeats the next unit m + 1 times, −1…−128 copies −m units verbatim.
constexpr std::size_t kMaxBlock = 128;

void emitRepeat(Bytes &out, const std::uint8_t *unit, std::size_t unitSize, std::size_t count)
{
    while (count > 0) {
        const std::size_t block = std::min(count, kMaxBlock);
        out.push_back(static_cast<std::uint8_t>(block - 1));
        out.insert(out.end(), unit, unit + unitSize);
        count -= block;
    }
}

// `units` consecutive units of `stride` bytes, of which the first `unitSize` are emitted.
void emitLiteral(Bytes &out, const std::uint8_t *first, std::size_t stride, std::size_t unitSize,
                 std::size_t units)
{
    while (units > 0) {
        const std::size_t block = std::min(units, kMaxBlock);
        out.push_back(static_cast<std::uint8_t>(256 - block));
        if (stride == unitSize) {
            out.insert(out.end(), first, first + block * unitSize);
        } else {
            for (std::size_t i = 0; i < block; ++i)
                out.insert(out.end(), first + i * stride, first + i * stride + unitSize);
        }
        first += block * stride;
        units -= block;
    }
}

std::optional<Bytes> compressBytes(ByteView raw)
{
    // The last max(S/64, 4) bytes are never scanned for runs; they follow as literals. A run's
    // first three bytes are taken even when they reach past that point.
    const std::size_t size = raw.size();
    const std::size_t margin = std::max<std::size_t>(size / 64, 4);
    const std::size_t end = size > margin ? size - margin : 0;
    const std::size_t limit = size / 2 + size / 4;
    const std::uint8_t *data = raw.data();

    Bytes out;
    out.reserve(limit + 2);
    std::size_t i = 0;
    while (i < end) {
        if (data[i] == data[i + 1] && data[i] == data[i + 2]) {
            std::size_t j = i + 3;
            while (j < end && data[j] == data[i])
                ++j;
            emitRepeat(out, data + i, 1, j - i);
            i = j;
        } else {
            std::size_t p = i + 1;
            while (p < end && !(data[p + 1] == data[p] && data[p + 2] == data[p]))
                ++p;
            emitLiteral(out, data + i, 1, 1, p - i);
            i = p;
        }
        if (out.size() > limit)
            return std::nullopt;
    }
    const std::size_t tail = size - i;
    if (out.size() + tail > limit)
        return std::nullopt;
    emitLiteral(out, data + i, 1, 1, tail);
    return out;
}

// Runs of units of `Stride` bytes, compared on their first `Compared` bytes and emitted as their
// first `Emitted` bytes. The 16-bit scheme never lets a literal take the very last pixel (it
// follows as a literal of its own); the wider schemes do.
template<std::size_t Stride, std::size_t Compared, std::size_t Emitted, bool LastPixelAlone>
std::optional<Bytes> compressUnits(ByteView raw)
{
    const std::size_t count = raw.size() / Stride;
    const std::size_t limit = raw.size() * 7 / 8;
    const std::uint8_t *data = raw.data();
    auto same = [data](std::size_t a, std::size_t b) {
        return std::memcmp(data + a * Stride, data + b * Stride, Compared) == 0;
    };

    Bytes out;
    out.reserve(limit + 2 * (Emitted + 1));
    std::size_t i = 0;
    while (count - i >= 2) {
        if (same(i, i + 1)) {
            std::size_t j = i + 2;
            while (j < count && same(j, i))
                ++j;
            emitRepeat(out, data + i * Stride, Emitted, j - i);
            i = j;
        } else {
            std::size_t p = i + 1;
            if constexpr (LastPixelAlone) {
                while (p < count - 1 && !same(p, p + 1))
                    ++p;
            } else {
                while (p + 1 < count && !same(p, p + 1))
                    ++p;
                if (p + 1 == count)
                    p = count;
            }
            emitLiteral(out, data + i * Stride, Stride, Emitted, p - i);
            i = p;
        }
        if (out.size() > limit)
            return std::nullopt;
    }
    if (i < count)
        emitLiteral(out, data + i * Stride, Stride, Emitted, 1);
    if (out.size() > limit)
        return std::nullopt;
    return out;
}

Bytes compressTwelveBit(ByteView raw)
{
    // Whole words are compared, so a 0xFFFF padding word does not merge with white 0x0FFF.
    const std::size_t words = raw.size() / 2;
    Bytes out;
    out.reserve(raw.size());
    std::size_t i = 0;
    while (i < words) {
        const std::uint16_t word = loadU16(raw.data() + 2 * i);
        std::size_t j = i + 1;
        while (j < words && j - i < 16 && loadU16(raw.data() + 2 * j) == word)
            ++j;
        appendU16(out, static_cast<std::uint16_t>((j - i - 1) << 12 | (word & 0x0FFF)));
        i = j;
    }
    return out;
}

// Marker-based expansion with input units of `InUnit` bytes written as `OutUnit` bytes; an output
// unit longer than its input unit is completed with 0xFF.
template<std::size_t InUnit, std::size_t OutUnit>
Result<Bytes> expandUnits(ByteView stream, std::size_t rawSize)
{
    Bytes out(rawSize);
    const std::uint8_t *in = stream.data();
    const std::uint8_t *const inEnd = in + stream.size();
    std::uint8_t *dst = out.data();
    std::uint8_t *const dstEnd = dst + rawSize;

    auto putUnit = [&dst](const std::uint8_t *unit) {
        std::memcpy(dst, unit, InUnit);
        if constexpr (OutUnit > InUnit)
            std::memset(dst + InUnit, 0xFF, OutUnit - InUnit);
        dst += OutUnit;
    };

    while (dst < dstEnd) {
        if (in == inEnd)
            return fail(Status::DecompressionError,
                        "compressed data ends before the bitmap is full");
        const int marker = static_cast<std::int8_t>(*in++);
        if (marker >= 0) {
            const std::size_t units = static_cast<std::size_t>(marker) + 1;
            if (static_cast<std::size_t>(inEnd - in) < InUnit)
                return fail(Status::DecompressionError, "compressed data ends inside a run");
            if (static_cast<std::size_t>(dstEnd - dst) < units * OutUnit)
                return fail(Status::DecompressionError, "a run reaches past the end of the bitmap");
            if constexpr (InUnit == 1 && OutUnit == 1) {
                std::memset(dst, *in, units);
                dst += units;
            } else {
                for (std::size_t k = 0; k < units; ++k)
                    putUnit(in);
            }
            in += InUnit;
        } else {
            const std::size_t units = static_cast<std::size_t>(-marker);
            if (static_cast<std::size_t>(inEnd - in) < units * InUnit)
                return fail(Status::DecompressionError, "compressed data ends inside a literal");
            if (static_cast<std::size_t>(dstEnd - dst) < units * OutUnit)
                return fail(Status::DecompressionError,
                            "a literal reaches past the end of the bitmap");
            if constexpr (InUnit == OutUnit) {
                std::memcpy(dst, in, units * InUnit);
                dst += units * InUnit;
                in += units * InUnit;
            } else {
                for (std::size_t k = 0; k < units; ++k, in += InUnit)
                    putUnit(in);
            }
        }
    }
    if (in != inEnd)
        return fail(Status::DecompressionError, "compressed data goes on after the bitmap is full");
    return out;
}

Result<Bytes> expandTwelveBit(ByteView stream, std::size_t rawSize)
{
    if (stream.size() % 2 != 0)
        return fail(Status::DecompressionError, "12-bit data has an odd number of bytes");
    Bytes out(rawSize);
    std::size_t at = 0;
    for (std::size_t i = 0; i < stream.size(); i += 2) {
        const std::uint16_t word = loadU16(stream.data() + i);
        const std::size_t run = (word >> 12) + 1u;
        if (rawSize - at < run * 2)
            return fail(Status::DecompressionError, "a run reaches past the end of the bitmap");
        for (std::size_t k = 0; k < run; ++k, at += 2) {
            out[at] = static_cast<std::uint8_t>(word);
            out[at + 1] = static_cast<std::uint8_t>(word >> 8 & 0x0F);
        }
    }
    if (at != rawSize)
        return fail(Status::DecompressionError, "compressed data ends before the bitmap is full");
    return out;
}

} // namespace

bool isKnownCompression(std::uint32_t compression)
{
    return compression <= ThirtyTwoAlphaRle;
}

Compression compressionForMode(BitmapMode mode)
{
    switch (mode.bitsPerPixel) {
    case 12:
        return TwelveBitRle;
    case 16:
        return SixteenBitRle;
    case 24:
        return TwentyFourBitRle;
    case 32:
        return mode.colour == ColourAlpha || mode.colour == ColourPremultipliedAlpha
                   ? ThirtyTwoAlphaRle
                   : ThirtyTwoUnsignedRle;
    default:
        return ByteRle;
    }
}

std::optional<Bytes> compress(Compression compression, ByteView raw)
{
    switch (compression) {
    case ByteRle:
        return compressBytes(raw);
    case TwelveBitRle:
        return compressTwelveBit(raw);
    case SixteenBitRle:
        return compressUnits<2, 2, 2, true>(raw);
    case TwentyFourBitRle:
        return compressUnits<3, 3, 3, false>(raw);
    case ThirtyTwoUnsignedRle:
        return compressUnits<4, 3, 3, false>(raw);
    case ThirtyTwoAlphaRle:
        return compressUnits<4, 4, 4, false>(raw);
    case NoCompression:
        break;
    }
    return std::nullopt;
}

Result<Bytes> decompress(std::uint32_t compression, ByteView stream, std::size_t rawSize)
{
    if (!isKnownCompression(compression))
        return fail(Status::UnknownCompression,
                    "compression type " + std::to_string(compression) + " is not known");
    if (compression == NoCompression) {
        if (stream.size() < rawSize)
            return fail(Status::BadSourceFile,
                        "uncompressed bitmap data is shorter than the bitmap");
        return Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(rawSize));
    }
    // No scheme expands a byte of input to more than 128 bytes of output; checking this first
    // keeps a tiny hostile file from making us allocate a huge bitmap.
    if (rawSize / 128 > stream.size())
        return fail(Status::DecompressionError, "compressed data is far too short for the bitmap");
    switch (compression) {
    case ByteRle:
        return expandUnits<1, 1>(stream, rawSize);
    case TwelveBitRle:
        return expandTwelveBit(stream, rawSize);
    case SixteenBitRle:
        return expandUnits<2, 2>(stream, rawSize);
    case TwentyFourBitRle:
        return expandUnits<3, 3>(stream, rawSize);
    case ThirtyTwoUnsignedRle:
        return expandUnits<3, 4>(stream, rawSize);
    default:
        return expandUnits<4, 4>(stream, rawSize);
    }
}

} // namespace bmconv
