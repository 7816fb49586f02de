#include "TestSupport.h"

#include "bmconv/Colour.h"
#include "bmconv/Mbm.h"

using namespace bmconv;
using namespace bmconv::test;

// The indices where the palette's parts meet, and the ties the nearest-colour tables resolve.
TEST(BmconvPalettes, ColoursAndNearestEntriesSitAtTheirIndices)
{
    const auto &p = palette256();
    EXPECT_EQ(p[6], 0x003300u);   // red varies fastest
    EXPECT_EQ(p[107], 0xFFFF66u); // last of the first cube part
    EXPECT_EQ(p[108], 0x111111u); // extra greys …
    EXPECT_EQ(p[113], 0x110000u); // … reds, greens, blues
    EXPECT_EQ(p[128], 0x000088u); // the bright groups run blue, green, red, grey
    EXPECT_EQ(p[147], 0xEEEEEEu);
    EXPECT_EQ(p[148], 0x000099u); // the cube resumes at j = 108
    EXPECT_EQ(p[255], 0xFFFFFFu);

    const auto &t256 = defaultColour256Table();
    EXPECT_EQ(t256[0x777], 112); // 0x777777 is one of the extra greys
    EXPECT_EQ(t256[0x001], 113); // (17, 0, 0) exactly
    EXPECT_EQ(t256[0x011], 108); // (17, 17, 0): grey, red and green shades tie at 17
    EXPECT_EQ(t256[0x024], 7);   // (68, 34, 0): cube entry 7 and red shade 115 tie at 34
    EXPECT_EQ(colour16Table()[0x1FF], 15);
}

TEST(BmconvPixelLayout, SubBytePixelsPackLeastSignificantFirstWithOnesInThePadding)
{
    // White, black, white at 1 bpp: bits 0 and 2 set, bit 1 clear, bits 3… padding (1).
    const RgbImage image{3, 1, {255, 255, 255, 0, 0, 0, 255, 255, 255}};
    EXPECT_EQ(toHex(encodePixels(image, {1, Greyscale}, nullptr, defaultColour256Table())),
              "FD FF FF FF");
    // At 4 bpp the first pixel is the low nibble.
    EXPECT_EQ(toHex(encodePixels(image, {4, Greyscale}, nullptr, defaultColour256Table())),
              "0F FF FF FF");
    const RgbImage decoded = decodePixels(fromHex("0F FF FF FF"), 3, 1, {4, Greyscale});
    EXPECT_EQ(toHex(decoded.bgr), "FF FF FF 00 00 00 FF FF FF");
}

TEST(BmconvUidChecksum, IsTheConstantEveryMultiBitmapFileCarries)
{
    const std::string check = "123456789";
    EXPECT_EQ(crc16Xmodem(ByteView(reinterpret_cast<const std::uint8_t *>(check.data()), 9)),
              0x31C3);
    EXPECT_EQ(uidChecksum(0x10000037, 0x10000042, 0), 0x47396439u);
}
