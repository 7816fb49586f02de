#include "export/sis/Checksums.h"

#include <array>

namespace velmora::sis {

namespace {

constexpr std::array<std::uint16_t, 256> makeTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t value = static_cast<std::uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 0x8000) ? static_cast<std::uint16_t>((value << 1) ^ 0x1021)
                                     : static_cast<std::uint16_t>(value << 1);
        table[i] = value;
    }
    return table;
}

constexpr auto kTable = makeTable();

} // namespace

std::uint16_t crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc)
{
    for (std::uint8_t byte : bytes)
        crc = static_cast<std::uint16_t>((crc << 8) ^ kTable[((crc >> 8) ^ byte) & 0xFF]);
    return crc;
}

std::uint32_t uidChecksum(std::uint32_t uid1, std::uint32_t uid2, std::uint32_t uid3)
{
    std::uint8_t even[6];
    std::uint8_t odd[6];
    const std::uint32_t uids[3] = {uid1, uid2, uid3};
    for (int i = 0; i < 12; ++i) {
        const auto byte = static_cast<std::uint8_t>(uids[i / 4] >> (8 * (i % 4)));
        (i % 2 == 0 ? even : odd)[i / 2] = byte;
    }
    return (std::uint32_t{crc16(odd)} << 16) | crc16(even);
}

} // namespace velmora::sis
