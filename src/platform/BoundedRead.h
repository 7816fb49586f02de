#pragma once

// Reading a whole file with a bound on its size. Plain C++ on POSIX calls, without Qt, so the
// converter and the package tools read their input by the same rules as the program. Each
// caller words the failure itself: the result says only what went wrong.

#include <cstddef>
#include <cstdint>
#include <expected>
#include <functional>
#include <string>

namespace velmora::boundedread {

struct ReadFailure
{
    enum class Kind {
        // Nothing at the path: a missing file, or a missing folder on the way to it.
        Missing,
        // A folder, refused without being opened.
        Folder,
        // A FIFO, a device or a socket, refused without being opened: a FIFO would wait for a
        // writer forever, a device may never end.
        NotRegular,
        // Larger than the caller's limit, whether it said so when opened or grew past it.
        TooLarge,
        // Shorter at its end than its size when it was opened, for a caller that refuses that.
        Shrank,
        // It exists but could not be looked at, opened or read; error says why.
        Unreadable,
    };

    Kind kind = Kind::Unreadable;
    int error = 0; // errno, for Missing and Unreadable
};

// Refuses what no reader can take, a folder or a file that is not regular, without opening it.
// A path that cannot be looked at passes, so that opening it reports the system's reason.
std::expected<void, ReadFailure> requireRegularFile(const std::string &path);

enum class ShortRead {
    // A file cut short while it is read gives what it still had.
    Keep,
    // ... or is refused as Shrank.
    Refuse,
};

// Where the bytes go: makes the caller's buffer size bytes long (keeping what it holds) and
// returns its start.
using Storage = std::function<unsigned char *(std::size_t size)>;

// Reads the file at path whole into storage, at most limit bytes; returns how many it read.
std::expected<std::size_t, ReadFailure> readBoundedFile(const std::string &path,
                                                        std::uint64_t limit, const Storage &storage,
                                                        ShortRead shortRead = ShortRead::Keep);

// readBoundedFile into a container of bytes (std::vector<std::uint8_t>, QByteArray, ...).
template<typename Bytes>
std::expected<Bytes, ReadFailure> readBounded(const std::string &path, std::uint64_t limit,
                                              ShortRead shortRead = ShortRead::Keep)
{
    Bytes bytes;
    const auto storage = [&bytes](std::size_t size) {
        bytes.resize(static_cast<typename Bytes::size_type>(size));
        return reinterpret_cast<unsigned char *>(bytes.data());
    };
    const auto read = readBoundedFile(path, limit, storage, shortRead);
    if (!read)
        return std::unexpected(read.error());
    bytes.resize(static_cast<typename Bytes::size_type>(*read));
    return bytes;
}

} // namespace velmora::boundedread
