#pragma once

#include <cstdint>
#include <span>

namespace velmora::sis {

// CRC-16 with polynomial 0x1021, start value 0, no reflection, no final XOR. Both package
// checksums and the UID checksum use it.
std::uint16_t crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc = 0);

// The fourth word of the file header: CRC-16 over the even-positioned bytes of the three UIDs
// (little-endian) in the low half, over the odd-positioned bytes in the high half.
std::uint32_t uidChecksum(std::uint32_t uid1, std::uint32_t uid2, std::uint32_t uid3);

} // namespace velmora::sis
