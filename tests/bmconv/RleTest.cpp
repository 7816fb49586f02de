#include "TestSupport.h"

#include "bmconv/Rle.h"

#include <random>

using namespace bmconv;
using namespace bmconv::test;

namespace {

Bytes repeated(std::initializer_list<std::uint8_t> unit, std::size_t times)
{
    Bytes out;
    for (std::size_t i = 0; i < times; ++i)
        out.insert(out.end(), unit);
    return out;
}

std::string compressedHex(Compression scheme, const Bytes &raw)
{
    const auto stream = compress(scheme, raw);
    return stream ? toHex(*stream) : "(stored uncompressed)";
}

} // namespace

// Streams the SDK converter produced for these inputs.
TEST(BmconvRleEncoder, MatchesTheReferenceVectors)
{
    EXPECT_EQ(compressedHex(ByteRle, Bytes(8, 0x64)), "03 64 FC 64 64 64 64");
    EXPECT_EQ(compressedHex(ByteRle, Bytes(40, 0x64)), "23 64 FC 64 64 64 64");
    EXPECT_EQ(compressedHex(SixteenBitRle, repeated({0x2C, 0x63}, 40)), "27 2C 63");
    EXPECT_EQ(compressedHex(TwentyFourBitRle, Bytes(120, 0x64)), "27 64 64 64");
    EXPECT_EQ(compressedHex(TwelveBitRle, repeated({0x66, 0x06}, 40)), "66 F6 66 F6 66 76");
}

TEST(BmconvRleEncoder, ByteRunThatStartsInsideTheWorkAreaKeepsItsFirstThreeBytes)
{
    // 64 bytes: the work area ends at 60; the run of 0x22 starting at 59 still takes three bytes
    // and the literal tail shrinks to two.
    Bytes raw(59, 0x11);
    raw.insert(raw.end(), 5, 0x22);
    EXPECT_EQ(compressedHex(ByteRle, raw), "3A 11 02 22 FE 22 22");
}

TEST(BmconvRleEncoder, LongRunsAndLiteralsSplitIntoBlocksOf128)
{
    EXPECT_EQ(compressedHex(SixteenBitRle, repeated({1, 0}, 130)), "7F 01 00 01 01 00");

    Bytes raw;
    for (int i = 0; i < 130; ++i)
        raw.insert(raw.end(), {static_cast<std::uint8_t>(i), 0, 0});
    raw.resize(380 * 3, 0xFF); // then a run of 250 white pixels
    const auto stream = compress(TwentyFourBitRle, raw);
    ASSERT_TRUE(stream);
    ASSERT_EQ(stream->size(), 1 + 128 * 3 + 1 + 2 * 3 + 4 + 4);
    EXPECT_EQ((*stream)[0], 0x80);
    EXPECT_EQ((*stream)[1 + 128 * 3], 0xFE);
    EXPECT_EQ(toHex(ByteView(*stream).last(8)), "7F FF FF FF 79 FF FF FF");
}

TEST(BmconvRleEncoder, SixteenBitLeavesTheLastPixelToALiteralOfItsOwn)
{
    Bytes raw = repeated({0x34, 0x12}, 40);
    raw.insert(raw.end(), {0xA1, 0, 0xB2, 0, 0xC3, 0, 0xD4, 0});
    EXPECT_EQ(compressedHex(SixteenBitRle, raw), "27 34 12 FD A1 00 B2 00 C3 00 FF D4 00");
}

TEST(BmconvRleEncoder, WiderSchemesLetALiteralRunToTheEnd)
{
    Bytes raw = Bytes(40 * 3, 0x10);
    raw.insert(raw.end(), {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4});
    EXPECT_EQ(compressedHex(TwentyFourBitRle, raw),
              "27 10 10 10 FC 01 01 01 02 02 02 03 03 03 04 04 04");
}

TEST(BmconvRleEncoder, ThirtyTwoBitSchemesDifferInWhatTheyCompare)
{
    // Pixels equal in B, G, R but not in the fourth byte.
    Bytes raw;
    for (int i = 0; i < 40; ++i)
        raw.insert(raw.end(), {5, 6, 7, static_cast<std::uint8_t>(i)});
    EXPECT_EQ(compressedHex(ThirtyTwoUnsignedRle, raw), "27 05 06 07");
    EXPECT_EQ(compressedHex(ThirtyTwoAlphaRle, raw), "(stored uncompressed)");
    EXPECT_EQ(compressedHex(ThirtyTwoAlphaRle, repeated({5, 6, 7, 9}, 40)), "27 05 06 07 09");
}

TEST(BmconvRleEncoder, TwelveBitKeepsPaddingApartFromWhite)
{
    EXPECT_EQ(compressedHex(TwelveBitRle, fromHex("FF 0F FF 0F FF 0F FF FF")), "FF 2F FF 0F");
}

TEST(BmconvRleEncoder, GivesUpWhenCompressionDoesNotPay)
{
    std::mt19937 random(7);
    Bytes noise(400);
    for (auto &b : noise)
        b = static_cast<std::uint8_t>(random());
    for (Compression scheme : {ByteRle, SixteenBitRle, TwentyFourBitRle, ThirtyTwoAlphaRle})
        EXPECT_FALSE(compress(scheme, noise)) << "scheme " << scheme;
    // 12-bit streams are never longer than the data, so they are always kept.
    EXPECT_TRUE(compress(TwelveBitRle, noise));

    // Byte RLE: 4 bytes raw would need 5 stored; the limit is S/2 + S/4 including the tail.
    EXPECT_FALSE(compress(ByteRle, Bytes(4, 0)));
}

struct DecoderCase
{
    const char *name;
    std::uint32_t compression;
    std::size_t rawSize;
    const char *stream;
    Status expected;

    friend void PrintTo(const DecoderCase &c, std::ostream *os) { *os << c.name; }
};

class BmconvRleDecoder : public ::testing::TestWithParam<DecoderCase>
{
};

TEST_P(BmconvRleDecoder, RejectsStreamsThatDoNotFillTheBitmapExactly)
{
    const DecoderCase &c = GetParam();
    const auto result = decompress(c.compression, fromHex(c.stream), c.rawSize);
    if (c.expected == Status::Success) {
        ASSERT_TRUE(result) << result.error().detail;
        EXPECT_EQ(result->size(), c.rawSize);
    } else {
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().status, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, BmconvRleDecoder,
    ::testing::Values(
        DecoderCase{"byte_exact", 1, 8, "03 64 FC 64 64 64 64", Status::Success},
        DecoderCase{"byte_short", 1, 8, "03 64 FD 64 64 64", Status::DecompressionError},
        DecoderCase{"byte_overrun", 1, 4, "7F 00", Status::DecompressionError},
        DecoderCase{"byte_left_over", 1, 4, "03 00 00", Status::DecompressionError},
        DecoderCase{"byte_cut_literal", 1, 4, "FC 01 02", Status::DecompressionError},
        DecoderCase{"byte_empty", 1, 4, "", Status::DecompressionError},
        DecoderCase{"twelve_odd_length", 2, 4, "01 10 00", Status::DecompressionError},
        DecoderCase{"twelve_overrun", 2, 4, "00 F0", Status::DecompressionError},
        DecoderCase{"sixteen_cut_unit", 3, 4, "01 2C", Status::DecompressionError},
        DecoderCase{"twentyfour_exact", 4, 12, "03 01 02 03", Status::Success},
        DecoderCase{"thirtytwo_u_exact", 5, 8, "01 01 02 03", Status::Success},
        DecoderCase{"thirtytwo_u_overrun", 5, 8, "02 01 02 03", Status::DecompressionError},
        DecoderCase{"thirtytwo_a_exact", 6, 8, "FE 01 02 03 04 05 06 07 08", Status::Success},
        DecoderCase{"tiny_stream_huge_bitmap", 1, 1 << 20, "7F 00", Status::DecompressionError},
        DecoderCase{"unknown_type", 7, 4, "00 00", Status::UnknownCompression}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BmconvRleDecoder, ExpandsEachSchemeToTheStoredLayout)
{
    EXPECT_EQ(toHex(*decompress(TwelveBitRle, fromHex("66 F6 66 16"), 36)),
              toHex(repeated({0x66, 0x06}, 18)));
    // Type 5 streams hold B, G, R; the fourth byte comes back as 0xFF.
    EXPECT_EQ(toHex(*decompress(ThirtyTwoUnsignedRle, fromHex("01 0A 0B 0C"), 8)),
              "0A 0B 0C FF 0A 0B 0C FF");
}
