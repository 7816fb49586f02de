#pragma once

#include "bmconv/Bytes.h"
#include "bmconv/Colour.h"
#include "bmconv/Error.h"

#include <cstdint>
#include <vector>

namespace bmconv {

// File store: u32 UID1 0x10000037, UID2 0x10000042, UID3 0, their checksum 0x47396439, u32 offset
// of the root stream; bitmap records (header + data) back to back from offset 20; the root stream:
// u32 count N, N × u32 absolute record offsets.
//
// ROM image: u32 0x10000041, u32 N, N × u32 absolute record offsets. Each record: u32 0x10000040,
// u32 display mode, u32 ×2 zero, u32 row stride, the 40-byte bitmap header, u32 0xFFFFFFFF,
// u32 offset of the pixel data from the record start (68), the data; records padded to 4 bytes.
//
// Bitmap header (40 bytes): i32 iBitmapSize (header + stored data), i32 header size 40, i32 width,
// i32 height, i32 width and height in twips, i32 bits per pixel, u32 iColor, i32 palette entries
// (always 0), u32 compression.

inline constexpr std::uint32_t kFileStoreUid = 0x10000037;
inline constexpr std::uint32_t kMultiBitmapUid = 0x10000042;
inline constexpr std::uint32_t kRomImageUid = 0x10000041;
inline constexpr std::uint32_t kRomBitmapUid = 0x10000040;
inline constexpr std::size_t kBitmapHeaderSize = 40;
inline constexpr std::size_t kRomRecordHeaderSize = 68;

// Symbian's checksum of a UID triple: CRC-16/XMODEM of the even-position bytes (low half) and of
// the odd-position bytes (high half) of the three little-endian words.
std::uint32_t uidChecksum(std::uint32_t uid1, std::uint32_t uid2, std::uint32_t uid3);
std::uint16_t crc16Xmodem(ByteView bytes);

struct BitmapHeader
{
    std::int32_t bitmapSize = 0;
    std::int32_t structSize = static_cast<std::int32_t>(kBitmapHeaderSize);
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t twipsWidth = 0;
    std::int32_t twipsHeight = 0;
    std::int32_t bitsPerPixel = 0;
    std::uint32_t colour = 0;
    std::int32_t paletteEntries = 0;
    std::uint32_t compression = 0;

    BitmapMode mode() const { return {bitsPerPixel, colour}; }
    // Uncompressed size of the pixel buffer, rows padded.
    std::int64_t rawSize() const;
};

enum class StoreKind { FileStore, RomImage };

struct MbmDirectory
{
    StoreKind kind = StoreKind::FileStore;
    std::vector<std::uint32_t> offsets;
};

// Header and location of one bitmap's stored data inside the file.
struct BitmapRecord
{
    BitmapHeader header;
    ByteView data;
};

// Reads the UIDs and the bitmap offsets. A file that is neither kind, or whose offset table does
// not fit, is Status::BadSourceFile.
Result<MbmDirectory> readMbmDirectory(ByteView file);

// Reads and checks bitmap `index`'s header; the data is located but not expanded. The header must
// describe a known depth and a positive size, and the record must lie inside the file.
Result<BitmapRecord> readBitmapRecord(ByteView file, const MbmDirectory &directory,
                                      std::size_t index);

// The bitmap's pixels, expanded to header.rawSize() bytes.
Result<Bytes> decodeBitmapData(const BitmapRecord &record);

// A bitmap ready to be stored: header (sizes and compression filled in) and its stored data.
struct EncodedBitmap
{
    BitmapHeader header;
    Bytes data;
};

// Fills in size and compression for `raw` (header.rawSize() bytes). With `tryCompression` the
// depth's own scheme is used when it pays, as the SDK converter decides.
EncodedBitmap encodeBitmap(BitmapHeader header, Bytes raw, bool tryCompression);

Bytes writeFileStore(const std::vector<EncodedBitmap> &bitmaps);
Bytes writeRomImage(const std::vector<EncodedBitmap> &bitmaps);

// The Symbian display-mode number a ROM record carries for a depth (0 when there is none).
std::uint32_t displayModeNumber(BitmapMode mode);

} // namespace bmconv
