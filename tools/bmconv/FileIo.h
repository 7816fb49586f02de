#pragma once

#include "bmconv/Bytes.h"
#include "bmconv/Error.h"

#include <string>

namespace bmconv {

// Nothing we read is legitimately larger; refusing early keeps a stray multi-gigabyte argument
// from exhausting memory.
inline constexpr std::uint64_t kMaxInputFileSize = 512u << 20;

// Reads a whole file. A file that cannot be opened is Status::FileNotFound (the converter does not
// distinguish a missing file from an unreadable one); one above kMaxInputFileSize is
// Status::BadSourceFile.
Result<Bytes> readWholeFile(const std::string &path);

enum class Replace {
    // Renamed over the old file in one step: readers see the old file or the new one, never none.
    Atomically,
    // The old file is removed just before the complete new one is renamed into place. Renaming
    // over an existing file makes ext4 write the new data out at once, which costs a /u run of a
    // hundred icons tens of milliseconds; scratch files don't need the single step.
    Quickly,
};

// Writes `bytes` to a fresh file beside `path`, then puts it in place of `path`, so a failure
// while writing leaves an older `path` untouched. Failures are Status::BadDestinationFile.
Result<void> writeFileReplacing(const std::string &path, ByteView bytes,
                                Replace replace = Replace::Atomically);

bool fileExists(const std::string &path);

} // namespace bmconv
