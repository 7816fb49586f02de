#pragma once

// Serialisation of the package field model. Every field is written as
//   u32 type, length (u32, or two u32 words when it needs more than 31 bits), data, zero padding
// to a multiple of 4; array elements drop the type word. All integers little-endian.

#include "export/sis/SisTypes.h"

#include <expected>
#include <span>

namespace velmora::sis {

void appendU8(Bytes &out, std::uint8_t value);
void appendU16(Bytes &out, std::uint16_t value);
void appendU32(Bytes &out, std::uint32_t value);
void appendU64(Bytes &out, std::uint64_t value);
void appendBytes(Bytes &out, std::span<const std::uint8_t> bytes);
void appendLength(Bytes &out, std::uint64_t length);

// One complete field: header, data and padding.
Bytes encodeField(FieldType type, std::span<const std::uint8_t> data);
// A SISArray whose elements (given by their data) are all of `elementType`.
Bytes encodeArray(FieldType elementType, const std::vector<Bytes> &elements);
Bytes encodeString(std::u16string_view text);

// The complete SISController field, header included.
Bytes encodeController(const Controller &controller);
Bytes encodeSignatureChain(const SignatureChain &chain);

struct CompressedField
{
    Bytes field;                   // the complete SISCompressed field
    std::uint64_t payloadSize = 0; // bytes after the algorithm and size words
};

// A SISCompressed field. With `mayDeflate`, the zlib form is kept only when it is strictly
// smaller than the plain bytes.
std::expected<CompressedField, Error> encodeCompressed(std::span<const std::uint8_t> raw,
                                                       bool mayDeflate);

// The SISData field: one data unit per entry, each holding complete SISCompressed fields (one per
// file, in file-index order).
Bytes encodeData(const std::vector<std::vector<Bytes>> &units);

// The 16-byte file header: UID1, UID2 = 0, the package UID and the UID checksum.
Bytes encodeHeader(std::uint32_t uid3);

// SISContents with both checksums (a checksum that happens to be 0 is left out).
// `compressedController` and `data` are complete fields as they will be stored.
Bytes encodeContents(std::span<const std::uint8_t> compressedController,
                     std::span<const std::uint8_t> data);

// The whole file: header and contents.
Bytes assemblePackage(std::uint32_t uid3, std::span<const std::uint8_t> compressedController,
                      std::span<const std::uint8_t> data);

} // namespace velmora::sis
