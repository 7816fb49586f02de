#pragma once

#include "export/sis/SisTypes.h"

#include <expected>
#include <span>
#include <string>

namespace velmora::sis {

// Reads a whole file, refusing files larger than `maxSize` and, without opening them, folders,
// FIFOs and devices. Messages start with the path.
std::expected<Bytes, Error> readFile(const std::string &path, std::uint64_t maxSize);

bool fileExists(const std::string &path);

// Writes `bytes` to a new file beside `path` (a symbolic link's target, for a link), flushes it
// to disk and renames it over the target. On failure, or when the run is killed, an existing
// target is left as it was. A read-only or non-regular target is refused.
std::expected<void, Error> writeFileAtomically(const std::string &path,
                                               std::span<const std::uint8_t> bytes);

} // namespace velmora::sis
