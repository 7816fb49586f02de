#pragma once

#include <expected>
#include <string>
#include <string_view>

namespace bmconv {

// The converter's outcomes. The numbers are the process exit codes of packing and unpacking, and
// each has one fixed message text that callers match line by line.
enum class Status : int {
    Success = 0,
    OutOfMemory = 1,
    BadArgument = 2,
    FileNotFound = 3,
    BadSourceFile = 4,
    BadDestinationFile = 5,
    BadCommandFile = 6,
    SourceTargetMismatch = 7,
    TooManyArguments = 8,
    UnknownCompression = 9,
    CompressionError = 10,
    DecompressionError = 11,
    InvalidBitmapMode = 12,
    BadPaletteFile = 13,
    PalettesNotSupported = 14,
    AlphaFileNotFound = 15,
    AlphaSizeMismatch = 16,
    AlphaNot8Bpp = 17,
};

std::string_view statusMessage(Status status);

// `detail` says what exactly was wrong ("bitmap 2: offset 0x1234 is past the end of the file");
// the fixed message of `status` is what the converter prints on standard output.
struct Error
{
    Status status = Status::BadArgument;
    std::string detail;
};

template<typename T>
using Result = std::expected<T, Error>;

inline std::unexpected<Error> fail(Status status, std::string detail = {})
{
    return std::unexpected(Error{status, std::move(detail)});
}

} // namespace bmconv
