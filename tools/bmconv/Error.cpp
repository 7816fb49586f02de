#include "bmconv/Error.h"

namespace bmconv {

std::string_view statusMessage(Status status)
{
    // Several texts have no full stop; scripts that read our output compare them verbatim.
    switch (status) {
    case Status::Success:
        return "Success.";
    case Status::OutOfMemory:
        return "Out of memory.";
    case Status::BadArgument:
        return "Bad argument.";
    case Status::FileNotFound:
        return "File does not exist";
    case Status::BadSourceFile:
        return "Bad source file(s).";
    case Status::BadDestinationFile:
        return "Bad destination file(s).";
    case Status::BadCommandFile:
        return "Bad command file.";
    case Status::SourceTargetMismatch:
        return "Number of sources/targets mismatch.";
    case Status::TooManyArguments:
        return "Too many arguments.";
    case Status::UnknownCompression:
        return "Unknown source compression type.";
    case Status::CompressionError:
        return "Compression error.";
    case Status::DecompressionError:
        return "Decompression error.";
    case Status::InvalidBitmapMode:
        return "Invalid bitmap mode specified.";
    case Status::BadPaletteFile:
        return "Bad palette file.";
    case Status::PalettesNotSupported:
        return "Palettes not supported";
    case Status::AlphaFileNotFound:
        return "Alpha bitmap file does not exist";
    case Status::AlphaSizeMismatch:
        return "Alpha channel bitmap's dimensions don't match pixel bitmap's dimensions.";
    case Status::AlphaNot8Bpp:
        return "Alpha channel bitmap must be 8bpp.";
    }
    return "Unknown error!";
}

} // namespace bmconv
