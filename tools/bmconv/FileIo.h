#pragma once

#include "bmconv/Bytes.h"
#include "bmconv/Error.h"
#include "platform/SafeWrite.h"

#include <string>
#include <vector>

namespace bmconv {

// Nothing we read is legitimately larger; refusing early keeps a stray multi-gigabyte argument
// from exhausting memory.
inline constexpr std::uint64_t kMaxInputFileSize = 512u << 20;

// Reads a whole file. A name that leads to no file is Status::FileNotFound; a file that exists
// but cannot be read, or is above kMaxInputFileSize, is Status::BadSourceFile. The detail starts
// with the path and gives the system's reason.
Result<Bytes> readWholeFile(const std::string &path);

enum class Replace {
    // Flushed to disk before it is renamed over the old file: for the .mbm and header the user
    // keeps.
    Atomically,
    // Renamed over the old file without the flush: readers still see the old file or the new
    // one, never none, but a /u run of a hundred icons does not wait for the disk.
    Quickly,
};

// A file written beside its target and put in place by commit(); dropped uncommitted it leaves
// the target as it was.
using PendingFile = velmora::safewrite::PendingFile;

// Removes the temporaries that killed runs left for these targets, reading each folder once.
void removeOldTemporaries(const std::vector<std::string> &paths);

enum class Cleanup {
    // Remove the target's stale temporaries first.
    First,
    // removeOldTemporaries has been run for it already, with its companions.
    Done,
};

// Writes `bytes` to a fresh file beside `path` (a symbolic link's target, for a link), leaving
// `path` as it was until commit. A read-only or non-regular target is refused. Temporaries
// that killed runs left for this target are removed first unless the caller did that. Failures
// are Status::BadDestinationFile and say why.
Result<PendingFile> prepareFileReplacing(const std::string &path, ByteView bytes,
                                         Replace replace = Replace::Atomically,
                                         Cleanup cleanup = Cleanup::First);

// prepareFileReplacing and the commit in one.
Result<void> writeFileReplacing(const std::string &path, ByteView bytes,
                                Replace replace = Replace::Atomically);

bool fileExists(const std::string &path);

} // namespace bmconv
