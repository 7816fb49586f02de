#include "platform/BoundedRead.h"

#include "platform/Try.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::boundedread {

namespace {

std::unexpected<ReadFailure> failure(ReadFailure::Kind kind, int error = 0)
{
    return std::unexpected(ReadFailure{kind, error});
}

// A name that leads nowhere is missing; one that exists but cannot be reached (no permission, a
// loop of links, ...) is never reported as missing.
std::unexpected<ReadFailure> systemFailure(int error)
{
    const bool missing = error == ENOENT || error == ENOTDIR;
    return failure(missing ? ReadFailure::Kind::Missing : ReadFailure::Kind::Unreadable, error);
}

std::expected<void, ReadFailure> regular(const struct stat &info)
{
    if (S_ISDIR(info.st_mode))
        return failure(ReadFailure::Kind::Folder);
    if (!S_ISREG(info.st_mode))
        return failure(ReadFailure::Kind::NotRegular);
    return {};
}

class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::expected<void, ReadFailure> requireRegularFile(const std::string &path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return regular(info);
}

std::expected<std::size_t, ReadFailure> readBoundedFile(const std::string &path,
                                                        std::uint64_t limit, const Storage &storage,
                                                        ShortRead shortRead)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return systemFailure(errno);
    VELMORA_TRY(regular(info));
    // Non-blocking, and looked at again once open: what the path names may have been replaced
    // by a FIFO since, which must not make the open wait for a writer.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return systemFailure(errno);
    if (::fstat(fd.get(), &info) != 0)
        return failure(ReadFailure::Kind::Unreadable, errno);
    VELMORA_TRY(regular(info));
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > limit)
        return failure(ReadFailure::Kind::TooLarge);

    // One byte more than the size, so that the end is seen, or a file that grew since; it is
    // read on only as far as one byte past the limit.
    std::uint64_t capacity = size + 1;
    unsigned char *buffer = storage(static_cast<std::size_t>(capacity));
    std::uint64_t done = 0;
    for (;;) {
        if (done == capacity) {
            if (done > limit)
                return failure(ReadFailure::Kind::TooLarge);
            capacity += std::min(capacity, limit - capacity + 1);
            buffer = storage(static_cast<std::size_t>(capacity));
        }
        const ssize_t got =
            ::read(fd.get(), buffer + done, static_cast<std::size_t>(capacity - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failure(ReadFailure::Kind::Unreadable, errno);
        if (got == 0)
            break;
        done += static_cast<std::uint64_t>(got);
    }
    if (done < size && shortRead == ShortRead::Refuse)
        return failure(ReadFailure::Kind::Shrank);
    return static_cast<std::size_t>(done);
}

} // namespace velmora::boundedread
