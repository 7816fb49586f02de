#pragma once

#include "export/sis/SisTypes.h"

#include <expected>
#include <functional>
#include <span>
#include <string>

namespace velmora::sis {

// A zlib stream (2-byte header, deflate data, Adler-32) at zlib's default level.
std::expected<Bytes, std::string> deflateZlib(std::span<const std::uint8_t> input);

// Inflates a complete zlib stream that must produce exactly `expectedSize` bytes and end exactly
// at the end of `input`; the output goes to `sink` in pieces so that nothing is allocated from the
// declared size. Messages say what was wrong, without an offset (the caller adds it).
std::expected<void, std::string>
inflateZlib(std::span<const std::uint8_t> input, std::uint64_t expectedSize,
            const std::function<void(std::span<const std::uint8_t>)> &sink);

// The same into one buffer. The caller bounds `expectedSize` before calling.
std::expected<Bytes, std::string> inflateZlib(std::span<const std::uint8_t> input,
                                              std::uint64_t expectedSize);

} // namespace velmora::sis
