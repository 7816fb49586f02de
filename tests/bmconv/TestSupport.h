#pragma once

#include "bmconv/Bytes.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace bmconv::test {

// A Windows bitmap described field by field, so tests can build every header version and the
// odd layouts real files have.
struct BmpSpec
{
    int width = 1;
    int height = 1;
    int bitsPerPixel = 24;
    std::uint32_t headerSize = 40; // 12, 40, 108 or 124
    bool topDown = false;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::vector<std::uint32_t> masks;   // R, G, B for BI_BITFIELDS
    std::int32_t xPelsPerMetre = 0;
    std::int32_t yPelsPerMetre = 0;
    std::uint32_t gapBeforePixels = 0; // junk bytes between the tables and the pixels
    // Pixel value at (x, y), top row first: a colour-table index up to 8 bpp, the raw word at 16
    // and 32 bpp, 0xRRGGBB at 24 bpp.
    std::function<std::uint32_t(int, int)> pixel = [](int, int) {
        return 0u;
    };
};

Bytes makeBmp(const BmpSpec &spec);

// A 24-bit BMP of the given 0xRRGGBB pixels, top row first.
Bytes makeBmp24(int width, int height, const std::vector<std::uint32_t> &rgb,
                std::int32_t pelsPerMetre = 0);

Bytes fromHex(const std::string &hex);
std::string toHex(ByteView bytes);

Bytes readFile(const std::filesystem::path &path);
void writeFile(const std::filesystem::path &path, ByteView bytes);

// Splits converter output into lines, checking that each ends in CR LF.
std::vector<std::string> crlfLines(const std::string &text);

std::filesystem::path fixture(const std::string &name);

// Runs each test in a fresh empty folder made current, so relative names work as the image list
// uses them.
class InTempFolder : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_folder;
};

} // namespace bmconv::test
