#include "TestSupport.h"

#include "bmconv/Bmp.h"

#include <random>

using namespace bmconv;
using namespace bmconv::test;

namespace {

// 0xRRGGBB of pixel (x, y).
std::uint32_t rgbAt(const BmpImage &bmp, int x, int y)
{
    const std::uint8_t *p = bmp.picture.bgr.data() + (y * bmp.picture.width + x) * 3;
    return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

BmpImage mustRead(const Bytes &file)
{
    auto bmp = readBmp(file);
    EXPECT_TRUE(bmp) << (bmp ? "" : bmp.error().detail);
    return bmp ? *bmp : BmpImage{};
}

} // namespace

TEST(BmconvBmpReader, ReadsEveryHeaderVersionAndRowOrderFromItsPixelOffset)
{
    for (std::uint32_t headerSize : {40u, 108u, 124u}) {
        BmpSpec spec;
        spec.width = 2;
        spec.height = 2;
        spec.headerSize = headerSize;
        spec.topDown = headerSize == 124;
        spec.gapBeforePixels = 6; // pixels found only through bfOffBits
        spec.pixel = [](int x, int y) {
            return x == 0 ? 0xFF0000u >> (8 * y) : 0x0000FFu;
        };
        const BmpImage bmp = mustRead(makeBmp(spec));
        EXPECT_EQ(rgbAt(bmp, 0, 0), 0xFF0000u) << "header " << headerSize;
        EXPECT_EQ(rgbAt(bmp, 0, 1), 0x00FF00u) << "header " << headerSize;
        EXPECT_EQ(rgbAt(bmp, 1, 0), 0x0000FFu) << "header " << headerSize;
    }

    BmpSpec core;
    core.headerSize = 12;
    core.bitsPerPixel = 8;
    core.width = 2;
    core.palette = {0x102030, 0xA0B0C0};
    core.pixel = [](int x, int) {
        return std::uint32_t(x);
    };
    const BmpImage bmp = mustRead(makeBmp(core));
    EXPECT_EQ(rgbAt(bmp, 0, 0), 0x102030u);
    EXPECT_EQ(rgbAt(bmp, 1, 0), 0xA0B0C0u);
}

TEST(BmconvBmpReader, ReadsPalettedDepthsMostSignificantPixelFirst)
{
    for (int bpp : {1, 2, 4, 8}) {
        BmpSpec spec;
        spec.bitsPerPixel = bpp;
        spec.width = 9;
        spec.palette = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00};
        spec.palette.resize(std::size_t(1) << bpp, 0x123456);
        const std::uint32_t last = bpp == 1 ? 1 : 3;
        spec.pixel = [last](int x, int) {
            return x % 2 == 0 ? last : 0u;
        };
        const BmpImage bmp = mustRead(makeBmp(spec));
        const std::uint32_t expected = spec.palette[last];
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(rgbAt(bmp, x, 0), x % 2 == 0 ? expected : 0u) << bpp << " bpp, x " << x;
        EXPECT_EQ(bmp.indices[8], last);
    }
}

TEST(BmconvBmpReader, ReadsSixteenAndThirtyTwoBitPixelsThroughTheirMasks)
{
    BmpSpec rgb555;
    rgb555.bitsPerPixel = 16;
    rgb555.width = 2;
    rgb555.pixel = [](int x, int) {
        return x == 0 ? 0x7C00u : 0x0010u;
    };
    BmpImage bmp = mustRead(makeBmp(rgb555));
    EXPECT_EQ(rgbAt(bmp, 0, 0), 0xFF0000u);
    EXPECT_EQ(rgbAt(bmp, 1, 0), 0x000084u); // 16 of 31 → 132

    BmpSpec rgb565 = rgb555;
    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.pixel = [](int x, int) {
        return x == 0 ? 0xF800u : 0x0400u;
    };
    bmp = mustRead(makeBmp(rgb565));
    EXPECT_EQ(rgbAt(bmp, 0, 0), 0xFF0000u);
    EXPECT_EQ(rgbAt(bmp, 1, 0), 0x008200u); // 32 of 63 → 130

    BmpSpec rgba;
    rgba.bitsPerPixel = 32;
    rgba.compression = 3;
    rgba.headerSize = 124;
    rgba.masks = {0xFF000000, 0x00FF0000, 0x0000FF00};
    rgba.pixel = [](int, int) {
        return 0x11223344u;
    };
    EXPECT_EQ(rgbAt(mustRead(makeBmp(rgba)), 0, 0), 0x112233u);

    BmpSpec bgrx;
    bgrx.bitsPerPixel = 32;
    bgrx.pixel = [](int, int) {
        return 0x99112233u;
    }; // the fourth byte is ignored
    EXPECT_EQ(rgbAt(mustRead(makeBmp(bgrx)), 0, 0), 0x112233u);
}

struct HostileBmp
{
    const char *name;
    std::size_t offset; // where to patch the valid 4 × 2, 8-bit sample
    std::uint32_t value;
    std::size_t keepBytes; // 0: keep the whole file
    Status expected;

    friend void PrintTo(const HostileBmp &c, std::ostream *os) { *os << c.name; }
};

class BmconvBmpReaderRejects : public ::testing::TestWithParam<HostileBmp>
{
};

TEST_P(BmconvBmpReaderRejects, MalformedFilesWithTheRightStatus)
{
    BmpSpec spec;
    spec.bitsPerPixel = 8;
    spec.width = 4;
    spec.height = 2;
    spec.palette = {0, 0xFFFFFF};
    Bytes file = makeBmp(spec);
    const HostileBmp &c = GetParam();
    if (c.offset + 4 <= file.size())
        storeU32(file.data() + c.offset, c.value);
    if (c.keepBytes)
        file.resize(c.keepBytes);
    const auto result = readBmp(file);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().status, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BmconvBmpReaderRejects,
    ::testing::Values(HostileBmp{"not_bm", 0, 0x0000424D, 0, Status::BadSourceFile},
                      HostileBmp{"header_cut", 99, 0, 30, Status::BadSourceFile},
                      HostileBmp{"pixels_cut", 99, 0, 64, Status::BadSourceFile},
                      HostileBmp{"offset_past_end", 10, 0x7FFFFFF0, 0, Status::BadSourceFile},
                      HostileBmp{"offset_into_header", 10, 20, 0, Status::BadSourceFile},
                      HostileBmp{"header_size_odd", 14, 20, 0, Status::BadSourceFile},
                      HostileBmp{"header_size_huge", 14, 0xFFFFFFF0, 0, Status::BadSourceFile},
                      HostileBmp{"zero_width", 18, 0, 0, Status::BadSourceFile},
                      HostileBmp{"huge_width", 18, 100000, 0, Status::BadSourceFile},
                      HostileBmp{"height_min_int", 22, 0x80000000, 0, Status::BadSourceFile},
                      HostileBmp{"three_bits", 28, 3, 0, Status::BadSourceFile},
                      HostileBmp{"rle8", 30, 1, 0, Status::UnknownCompression},
                      HostileBmp{"bitfields_at_8_bits", 30, 3, 0, Status::UnknownCompression},
                      HostileBmp{"colour_table_300", 46, 300, 0, Status::BadSourceFile}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BmconvBmpReaderRejects, NonContiguousMasks)
{
    BmpSpec spec;
    spec.bitsPerPixel = 16;
    spec.compression = 3;
    spec.masks = {0xF00F, 0x0FF0, 0};
    const auto result = readBmp(makeBmp(spec));
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().status, Status::BadSourceFile);
}

// Random corruption of valid files of each kind must end in a value, never a crash or an
// out-of-bounds read (the test build runs under AddressSanitizer).
TEST(BmconvBmpReaderRobustness, SurvivesRandomCorruption)
{
    std::mt19937 random(3);
    std::vector<Bytes> samples;
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        BmpSpec spec;
        spec.width = 5;
        spec.height = 3;
        spec.bitsPerPixel = bpp;
        if (bpp <= 8)
            spec.palette.assign(std::size_t(1) << bpp, 0x445566);
        spec.pixel = [](int x, int y) {
            return std::uint32_t(x * 7 + y);
        };
        samples.push_back(makeBmp(spec));
    }
    int accepted = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes file = samples[trial % samples.size()];
        for (int n = 1 + random() % 4; n > 0; --n)
            file[random() % file.size()] = static_cast<std::uint8_t>(random());
        if (random() % 4 == 0)
            file.resize(random() % file.size());
        const auto result = readBmp(file);
        if (result) {
            ++accepted;
            ASSERT_EQ(result->picture.bgr.size(),
                      std::size_t(result->picture.width) * result->picture.height * 3);
        }
    }
    EXPECT_GT(accepted, 100); // corruption of pixel bytes alone leaves a readable file
}
