#pragma once

#include "export/sis/SisTypes.h"

#include <expected>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace velmora::sis {

// A zlib stream (2-byte header, deflate data, Adler-32) at zlib's default level.
std::expected<Bytes, std::string> deflateZlib(std::span<const std::uint8_t> input);

// Inflates a complete zlib stream that must produce exactly `expectedSize` bytes and end exactly
// at the end of `input`; the output goes to `sink` in pieces of at most 16 KiB so that nothing is
// allocated from the declared size. A sink that returns false stops the work, and the result is
// kSinkStopped. Messages say what was wrong, without an offset (the caller adds it).
std::expected<void, std::string>
inflateZlib(std::span<const std::uint8_t> input, std::uint64_t expectedSize,
            const std::function<bool(std::span<const std::uint8_t>)> &sink);

// What inflateZlib gives when its sink asked it to stop: the sink knows why.
inline constexpr std::string_view kSinkStopped = "stopped by its reader";

// The same into one buffer, which grows with what the stream really gives, never by the declared
// size alone. The caller bounds `expectedSize` before calling.
std::expected<Bytes, std::string> inflateZlib(std::span<const std::uint8_t> input,
                                              std::uint64_t expectedSize);

} // namespace velmora::sis
