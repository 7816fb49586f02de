#include "export/sis/FileIo.h"
#include "platform/BoundedRead.h"
#include "platform/SafeWrite.h"

#include <cstring>
#include <sys/stat.h>

namespace velmora::sis {

std::expected<Bytes, Error> readFile(const std::string &path, std::uint64_t maxSize)
{
    using boundedread::ReadFailure;
    auto bytes = boundedread::readBounded<Bytes>(path, maxSize);
    if (bytes)
        return std::move(*bytes);
    switch (bytes.error().kind) {
    case ReadFailure::Kind::Folder:
    case ReadFailure::Kind::NotRegular:
        return std::unexpected(Error{path + ": not a regular file"});
    case ReadFailure::Kind::TooLarge:
        return std::unexpected(
            Error{path + ": the file is larger than " + std::to_string(maxSize) + " bytes"});
    case ReadFailure::Kind::Missing:
    case ReadFailure::Kind::Shrank:
    case ReadFailure::Kind::Unreadable:
        break;
    }
    return std::unexpected(Error{path + ": " + std::strerror(bytes.error().error)});
}

bool fileExists(const std::string &path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::expected<void, Error> writeFileAtomically(const std::string &path,
                                               std::span<const std::uint8_t> bytes)
{
    if (auto written = safewrite::replaceFile(path, bytes); !written)
        return std::unexpected(Error{written.error()});
    return {};
}

} // namespace velmora::sis
