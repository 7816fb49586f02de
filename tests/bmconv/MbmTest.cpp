#include "TestSupport.h"

#include "bmconv/Mbm.h"
#include "bmconv/Rle.h"

#include <random>

using namespace bmconv;
using namespace bmconv::test;

namespace {

EncodedBitmap grey8(int width, int height, std::uint8_t level, bool compressed)
{
    BitmapHeader header;
    header.width = width;
    header.height = height;
    header.bitsPerPixel = 8;
    header.colour = Greyscale;
    return encodeBitmap(header, Bytes(static_cast<std::size_t>(header.rawSize()), level),
                        compressed);
}

Status readStatus(const Bytes &file)
{
    auto directory = readMbmDirectory(file);
    if (!directory)
        return directory.error().status;
    for (std::size_t i = 0; i < directory->offsets.size(); ++i) {
        auto record = readBitmapRecord(file, *directory, i);
        if (!record)
            return record.error().status;
        auto pixels = decodeBitmapData(*record);
        if (!pixels)
            return pixels.error().status;
    }
    return Status::Success;
}

} // namespace

TEST(BmconvMbmReader, RejectsBrokenFilesWithTheRightStatus)
{
    EXPECT_EQ(readStatus(readFile(fixture("not_an_mbm.mbm"))), Status::BadSourceFile);
    EXPECT_EQ(readStatus(readFile(fixture("trailer_past_end.mbm"))), Status::BadSourceFile);
    EXPECT_EQ(readStatus(readFile(fixture("count_past_end.mbm"))), Status::BadSourceFile);
    EXPECT_EQ(readStatus(readFile(fixture("rle_overrun_c8.mbm"))), Status::DecompressionError);

    const Bytes tiny = readFile(fixture("tiny_2x1_c16.mbm"));
    const struct
    {
        std::size_t offset;
        std::uint32_t value;
        Status expected;
    } patches[] = {
        {0x0C, 0x47396438, Status::BadSourceFile}, // checksum
        {0x04, 0x1000008A, Status::BadSourceFile}, // exported-MBM UID2
        {0x44, 0x3C, Status::BadSourceFile},       // record offset leaves no room for a header
        {0x14, 0x7FFFFFFF, Status::BadSourceFile}, // record size past the end
        {0x14, 39, Status::BadSourceFile},         // record smaller than its header
        {0x14, 43, Status::BadSourceFile},         // data shorter than the pixels
        {0x18, 44, Status::BadSourceFile},         // header size
        {0x1C, 0, Status::BadSourceFile},          // width
        {0x20, 0xFFFFFFFF, Status::BadSourceFile}, // height
        {0x1C, 40000, Status::BadSourceFile},      // width × height far beyond the data
        {0x2C, 5, Status::BadSourceFile},          // depth
        {0x38, 9, Status::UnknownCompression},     // compression
        {0x38, 3, Status::DecompressionError},     // 16-bit RLE of raw pixels
    };
    for (const auto &patch : patches) {
        Bytes file = tiny;
        storeU32(file.data() + patch.offset, patch.value);
        EXPECT_EQ(readStatus(file), patch.expected)
            << "patch 0x" << std::hex << patch.offset << " = " << patch.value;
    }
}

TEST(BmconvMbmWriter, PacksFileStoreRecordsBackToBackBeforeTheRootStream)
{
    const std::vector<EncodedBitmap> bitmaps = {grey8(8, 1, 0x64, true), grey8(3, 2, 7, false)};
    ASSERT_EQ(bitmaps[0].header.bitmapSize, 47); // odd sizes are not padded
    const Bytes file = writeFileStore(bitmaps);
    EXPECT_EQ(toHex(ByteView(file).first(16)), "37 00 00 10 42 00 00 10 00 00 00 00 39 64 39 47");
    const std::uint32_t root = 20 + 47 + 48;
    EXPECT_EQ(loadU32(file.data() + 16), root);
    ASSERT_EQ(file.size(), root + 12);
    EXPECT_EQ(loadU32(file.data() + root), 2u);
    EXPECT_EQ(loadU32(file.data() + root + 4), 20u);
    EXPECT_EQ(loadU32(file.data() + root + 8), 67u);
    EXPECT_EQ(toHex(ByteView(file).subspan(60, 7)), "03 64 FC 64 64 64 64");
}

TEST(BmconvMbmWriter, LaysOutRomRecordsWithTheirObjectHeader)
{
    const Bytes file = writeRomImage({grey8(8, 1, 0x64, true), grey8(2, 1, 9, false)});
    EXPECT_EQ(toHex(ByteView(file).first(16)), "41 00 00 10 02 00 00 00 10 00 00 00 5C 00 00 00");
    // UID, Gray256, two zero words, stride 8; after the bitmap header the chunk and data offset.
    EXPECT_EQ(toHex(ByteView(file).subspan(16, 20)),
              "40 00 00 10 04 00 00 00 00 00 00 00 00 00 00 00 08 00 00 00");
    EXPECT_EQ(toHex(ByteView(file).subspan(16 + 60, 8)), "FF FF FF FF 44 00 00 00");
    EXPECT_EQ(file.size(), 92u + 68 + 4); // 7 bytes of data padded to 8, then 2 padded to 4
    EXPECT_EQ(readStatus(file), Status::Success);
}

// Corrupted stores of every depth and compression must be rejected or read, never crash.
TEST(BmconvMbmReaderRobustness, SurvivesRandomCorruption)
{
    std::mt19937 random(5);
    std::vector<EncodedBitmap> bitmaps;
    for (BitmapMode mode :
         {BitmapMode{1, 0}, {4, 1}, {8, 0}, {12, 1}, {16, 1}, {24, 1}, {32, 1}, {32, 2}}) {
        BitmapHeader header;
        header.width = 7;
        header.height = 5;
        header.bitsPerPixel = mode.bitsPerPixel;
        header.colour = mode.colour;
        Bytes raw(static_cast<std::size_t>(header.rawSize()));
        for (std::size_t i = 0; i < raw.size(); ++i)
            raw[i] = static_cast<std::uint8_t>(i / 40);
        bitmaps.push_back(encodeBitmap(header, raw, true));
        ASSERT_NE(bitmaps.back().header.compression, 0u) << mode.bitsPerPixel;
    }
    const Bytes samples[] = {writeFileStore(bitmaps), writeRomImage(bitmaps)};
    ASSERT_EQ(readStatus(samples[0]), Status::Success);
    ASSERT_EQ(readStatus(samples[1]), Status::Success);

    int failures = 0;
    for (int trial = 0; trial < 4000; ++trial) {
        Bytes file = samples[trial % 2];
        for (int n = 1 + random() % 3; n > 0; --n)
            file[random() % file.size()] = static_cast<std::uint8_t>(random());
        failures += readStatus(file) != Status::Success;
    }
    EXPECT_GT(failures, 1000);
}
