#pragma once

// Strict reader for Symbian OS 9 packages.
//
//   0  u32 UID1 = 0x10201A7A   4  u32 UID2 = 0   8  u32 UID3 = package UID   12  u32 UID checksum
//  16  SISContents(12)
//        [SISControllerChecksum(34) u16]  [SISDataChecksum(35) u16]
//        SISCompressed(3)  u32 algorithm, u64 size, payload = one SISController(13) field
//        SISData(30)       SISArray<SISDataUnit> -> SISArray<SISFileData> -> SISCompressed
//
// Each field is u32 type, u32 length (bit 31 set: a second word holds the bits above 31), data,
// zero padding to 4; array elements have no type word. Every length is checked against its parent
// before use, and messages carry the byte offset of the defect ("offset 48: ..." in the file,
// "controller offset 212: ..." inside the decompressed controller).

#include "export/sis/SisTypes.h"

#include <expected>
#include <span>
#include <string>

namespace velmora::sis {

struct FileDataRef
{
    Compression algorithm = Compression::None;
    std::uint64_t uncompressedSize = 0;
    std::size_t payloadOffset = 0; // in the file
    std::size_t payloadSize = 0;
};

struct Package
{
    std::uint32_t uid1 = 0;
    std::uint32_t uid2 = 0;
    std::uint32_t uid3 = 0;
    std::uint32_t uidChecksum = 0;
    std::optional<std::uint16_t> controllerChecksum;
    std::optional<std::uint16_t> dataChecksum;

    Compression controllerCompression = Compression::None;
    Controller controller;

    // The decompressed SISController field, header included, exactly as stored.
    Bytes controllerField;
    std::size_t controllerHeaderSize = 8;
    // signedRegionEnds[k] is where the bytes signed by chain k end (offsets into controllerField;
    // every region starts at controllerHeaderSize). The last entry, one past the chains, is where
    // a new chain goes.
    std::vector<std::size_t> signedRegionEnds;

    // Whole fields, padding included, as offsets into the file.
    std::size_t compressedOffset = 0;
    std::size_t compressedSize = 0;
    std::size_t dataOffset = 0;
    std::size_t dataSize = 0;
    // Empty only for a preinstalled package (PA, PP), whose files are already on the media.
    std::vector<std::vector<FileDataRef>> dataUnits;
};

// Largest decompressed controller the reader accepts.
inline constexpr std::size_t kMaxControllerSize = 64u << 20;

// Besides the structure, checks what the device relies on: per-language counts, that every file
// a controller names is stored with the lengths it gives, and that every target names a drive and
// stays inside its folders.
std::expected<Package, Error> readPackage(std::span<const std::uint8_t> file);

// The bytes that signature chain `chain` signs; chain == chains.size() gives what a new chain
// would sign.
std::span<const std::uint8_t> signedRegion(const Package &package, std::size_t chain);

// Checks the two CRC-16 fields against the stored bytes. Returns the problems found.
std::vector<std::string> checksumProblems(const Package &package,
                                          std::span<const std::uint8_t> file);

// Decompresses every file the controllers refer to and compares its SHA-1 with the stored hash.
// A preinstalled package that stores no data has nothing to compare.
std::vector<std::string> hashProblems(const Package &package, std::span<const std::uint8_t> file);

// All file descriptions of a controller: the logo, the install block and every if/else-if branch
// (not those of embedded packages).
std::vector<const FileDescription *> allFiles(const Controller &controller);

} // namespace velmora::sis
