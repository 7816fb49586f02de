#pragma once

#include "export/sis/SisTypes.h"

#include <expected>
#include <span>
#include <string>

namespace velmora::sis {

// Reads a whole file, refusing files larger than `maxSize`. Messages start with the path.
std::expected<Bytes, Error> readFile(const std::string &path, std::uint64_t maxSize);

bool fileExists(const std::string &path);

// Writes `bytes` to a temporary file beside `path` and renames it over `path` when complete.
// On failure, and on SIGINT/SIGTERM/SIGHUP while writing, the temporary file is removed and an
// existing `path` is left as it was.
std::expected<void, Error> writeFileAtomically(const std::string &path,
                                               std::span<const std::uint8_t> bytes);

} // namespace velmora::sis
