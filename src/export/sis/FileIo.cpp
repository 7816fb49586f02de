#include "export/sis/FileIo.h"

#include <cerrno>
#include <csignal>
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
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// The temporary file being written, for the signal handler. One at a time per process.
char g_pendingTemp[4096];
volatile std::sig_atomic_t g_havePendingTemp = 0;

extern "C" void removePendingTemp(int signal)
{
    if (g_havePendingTemp)
        ::unlink(g_pendingTemp);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

class TempFileGuard
{
public:
    explicit TempFileGuard(const std::string &path)
        : m_path(path)
    {
        if (path.size() < sizeof g_pendingTemp) {
            std::memcpy(g_pendingTemp, path.c_str(), path.size() + 1);
            g_havePendingTemp = 1;
        }
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
            auto previous = std::signal(signal, removePendingTemp);
            // A signal the caller chose to ignore (nohup) stays ignored.
            if (previous == SIG_IGN)
                std::signal(signal, SIG_IGN);
            else
                m_previous[m_count++] = {signal, previous};
        }
    }
    ~TempFileGuard()
    {
        if (!m_kept)
            ::unlink(m_path.c_str());
        g_havePendingTemp = 0;
        for (int i = 0; i < m_count; ++i)
            std::signal(m_previous[i].first, m_previous[i].second);
    }
    TempFileGuard(const TempFileGuard &) = delete;
    TempFileGuard &operator=(const TempFileGuard &) = delete;
    void keep() { m_kept = true; }

private:
    std::string m_path;
    bool m_kept = false;
    std::pair<int, void (*)(int)> m_previous[3];
    int m_count = 0;
};

} // namespace

std::expected<Bytes, Error> readFile(const std::string &path, std::uint64_t maxSize)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
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
    std::string temp = path + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temp.data()));
    if (fd.get() < 0)
        return std::unexpected(Error{path + ": cannot create a temporary file: " + reason()});
    TempFileGuard guard(temp);

    // mkstemp makes the file private; give it the permissions a plain create would.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd.get(), 0666 & ~mask) != 0)
        return std::unexpected(Error{path + ": " + reason()});

    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return std::unexpected(Error{path + ": write failed: " + reason()});
        done += static_cast<std::size_t>(wrote);
    }
    if (::close(fd.release()) != 0)
        return std::unexpected(Error{path + ": write failed: " + reason()});
    if (::rename(temp.c_str(), path.c_str()) != 0)
        return std::unexpected(Error{path + ": " + reason()});
    guard.keep();
    return {};
}

} // namespace velmora::sis
