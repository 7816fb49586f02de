#include "export/sis/FileIo.h"
#include "platform/SafeWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::sis {

namespace {

std::string reason()
{
    return std::strerror(errno);
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::expected<Bytes, Error> readFile(const std::string &path, std::uint64_t maxSize)
{
    // Non-blocking, so a FIFO is refused below instead of waiting for a writer forever.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return std::unexpected(Error{path + ": " + reason()});
    struct stat info
    {
    };
    if (::fstat(fd.get(), &info) != 0)
        return std::unexpected(Error{path + ": " + reason()});
    if (!S_ISREG(info.st_mode))
        return std::unexpected(Error{path + ": not a regular file"});
    if (static_cast<std::uint64_t>(info.st_size) > maxSize)
        return std::unexpected(
            Error{path + ": the file is larger than " + std::to_string(maxSize) + " bytes"});
    Bytes bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::unexpected(Error{path + ": " + reason()});
        if (got == 0)
            break; // the file shrank while we read it
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
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
