#pragma once

// How much a skin package may hold. makesis refuses to build more, and taking a package's files
// out refuses more before anything is inflated or written, so every package the designer makes
// can be opened again and a hostile one cannot fill the memory or the disk.

#include <cstddef>
#include <cstdint>

namespace velmora::sis {

// A skin package holds its install text, the .skin, the .mif and perhaps an .mbm: four files. A
// package put together by hand may add a few more; 64 leaves ample room while keeping a package
// of many thousand tiny entries from costing minutes of work and as many files on the disk.
inline constexpr std::size_t kMaxPackagedFiles = 64;

// The designer reads no skin file larger than 256 MiB: its readers stop there, the converter's
// .mbm and the signed package are read back through that limit while saving, and a .skin is
// at most 262 KiB. A larger file is nothing the designer could open again.
inline constexpr std::uint64_t kMaxPackagedFileSize = std::uint64_t{256} << 20;

// A .mif and an .mbm each at the limit above, with 64 MiB for the .skin, the install text and
// anything else.
inline constexpr std::uint64_t kMaxPackagedTotalSize = 2 * kMaxPackagedFileSize + (64u << 20);

// The largest package file read: all of the above stored without compression, with room for a
// controller (at most 64 MiB decompressed) and its signatures.
inline constexpr std::uint64_t kMaxPackageFileSize = kMaxPackagedTotalSize + (64u << 20);

} // namespace velmora::sis
