#include "platform/SafeWrite.h"

#include "platform/Try.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velmora::safewrite {

namespace {

std::string reason(int error)
{
    return std::strerror(error);
}

std::unexpected<std::string> failure(const std::string &path, const std::string &what)
{
    return std::unexpected(path + ": " + what);
}

std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the file they end at, which may not exist yet.
std::expected<std::string, std::string> followLinks(const std::string &path)
{
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info
        {
        };
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::array<char, 4096> buffer{};
        const ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size() - 1);
        if (length < 0)
            return failure(path, reason(errno));
        const std::string link(buffer.data(), std::size_t(length));
        current = link.starts_with('/') ? link : folderOf(current) + "/" + link;
    }
    return failure(path, reason(ELOOP));
}

std::string randomSuffix()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(8, 'a');
    for (char &c : suffix)
        c = kLetters[generator() % (sizeof kLetters - 1)];
    return suffix;
}

bool writeAll(int fd, std::span<const unsigned char> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0)
            return false;
        if (wrote == 0) {
            errno = ENOSPC;
            return false;
        }
        done += std::size_t(wrote);
    }
    return true;
}

// An unnamed file in folder: nothing is left behind if the run dies before the commit.
int openUnnamed(const std::string &folder, mode_t mode)
{
#ifdef O_TMPFILE
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#else
    (void)folder;
    (void)mode;
    errno = EOPNOTSUPP;
    return -1;
#endif
}

// A named temporary, for file systems without unnamed files.
int openNamed(const std::string &target, std::string &temp)
{
    const std::string base = folderOf(target) + "/" + temporaryNamePrefix(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = base + randomSuffix();
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

PendingFile::PendingFile(PendingFile &&other) noexcept
    : m_path(std::move(other.m_path))
    , m_target(std::move(other.m_target))
    , m_temp(std::move(other.m_temp))
    , m_fd(std::exchange(other.m_fd, -1))
    , m_direct(std::exchange(other.m_direct, false))
{
    other.m_temp.clear();
}

PendingFile &PendingFile::operator=(PendingFile &&other) noexcept
{
    if (this != &other) {
        discard();
        m_path = std::move(other.m_path);
        m_target = std::move(other.m_target);
        m_temp = std::exchange(other.m_temp, std::string());
        m_fd = std::exchange(other.m_fd, -1);
        m_direct = std::exchange(other.m_direct, false);
    }
    return *this;
}

PendingFile::~PendingFile()
{
    discard();
}

void PendingFile::discard()
{
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
    m_temp.clear();
    if (m_direct)
        ::unlink(m_target.c_str());
    m_direct = false;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

Result PendingFile::commit()
{
    if (m_direct) {
        m_direct = false;
        discard();
        return {};
    }
    if (m_temp.empty()) {
        // Linked under a fresh name first: a link cannot replace a file, a rename can.
        const std::string proc = "/proc/self/fd/" + std::to_string(m_fd);
        const std::string base = folderOf(m_target) + "/" + temporaryNamePrefix(m_target);
        for (int attempt = 0; attempt < 100 && m_temp.empty(); ++attempt) {
            const std::string name = base + randomSuffix();
            if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                m_temp = name;
            else if (errno != EEXIST)
                return failure(m_path, reason(errno));
        }
        if (m_temp.empty())
            return failure(m_path, reason(EEXIST));
    }
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        discard();
        return failure(m_path, reason(error));
    }
    m_temp.clear();
    discard();
    return {};
}

std::expected<PendingFile, std::string>
prepareFile(const std::string &path, std::span<const unsigned char> bytes, Durability durability)
{
    return prepareFile(
        path, [bytes](const PieceWriter &write) { return write(bytes); }, durability);
}

std::expected<PendingFile, std::string>
prepareFile(const std::string &path, const std::function<bool(const PieceWriter &)> &produce,
            Durability durability)
{
    VELMORA_TRY_ASSIGN(const std::string target, followLinks(path));
    PendingFile file;
    file.m_path = path;
    file.m_target = target;

    // A rename needs only the folder's permission, so the file's own is checked here: a file
    // the user may not change is not replaced behind their back.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    struct stat info
    {
    };
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (exists) {
        if (S_ISDIR(info.st_mode))
            return failure(path, "is a folder, not a file");
        if (!S_ISREG(info.st_mode))
            return failure(path, "not a regular file");
        if ((info.st_mode & 0222) == 0 || (::access(target.c_str(), W_OK) != 0 && errno == EACCES))
            // A file that cannot even be read is not "read-only": say what the system says.
            return failure(path, ::access(target.c_str(), R_OK) == 0 ? "the file is read-only"
                                                                     : reason(EACCES));
        mode = info.st_mode & 07777;
    } else if (errno != ENOENT) {
        return failure(path, reason(errno));
    }

    if (durability == Durability::Unflushed && !exists) {
        // Exclusive, so a file that appeared meanwhile is replaced the careful way below.
        file.m_fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        file.m_direct = file.m_fd >= 0;
    }
    if (file.m_fd < 0)
        file.m_fd = openUnnamed(folderOf(target), mode);
    if (file.m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        file.m_fd = openNamed(target, file.m_temp);
    if (file.m_fd < 0)
        return failure(path, reason(errno));
    // A file made under its own name has its mode and is no temporary. A temporary is locked
    // until it is in place, under whichever name, so a later run's clean-up can tell a live one
    // from one a killed run left; and it gets the mode exactly, which the umask (or the named
    // temporary's 0600) trimmed.
    if (!file.m_direct) {
        ::flock(file.m_fd, LOCK_EX | LOCK_NB);
        if (::fchmod(file.m_fd, mode) != 0)
            return failure(path, reason(errno));
    }
    const int fd = file.m_fd;
    off_t written = 0;
    const auto write = [fd, &written, durability](std::span<const unsigned char> piece) {
        if (!writeAll(fd, piece))
            return false;
#ifdef __linux__
        // The disk starts on each piece while the next is made, so the flush at the end has
        // little left to wait for.
        if (durability == Durability::Flushed)
            ::sync_file_range(fd, written, off_t(piece.size()), SYNC_FILE_RANGE_WRITE);
#endif
        written += off_t(piece.size());
        return true;
    };
    errno = 0;
    if (!produce(write))
        return failure(path, reason(errno != 0 ? errno : EIO));
    if (durability == Durability::Flushed && ::fsync(file.m_fd) != 0)
        return failure(path, reason(errno));
    return file;
}

Result replaceFile(const std::string &path, std::span<const unsigned char> bytes,
                   Durability durability)
{
    VELMORA_TRY_ASSIGN(auto file, prepareFile(path, bytes, durability));
    return file.commit();
}

std::string temporaryNamePrefix(const std::string &target)
{
    // A hash of the name, not the name: a legal long name must not become too long. FNV-1a, so
    // every build and run agrees on it.
    std::uint32_t hash = 2166136261u;
    for (const unsigned char c : nameOf(target))
        hash = (hash ^ c) * 16777619u;
    char text[9];
    std::snprintf(text, sizeof text, "%08x", unsigned(hash));
    return ".~" + std::string(text) + "-";
}

void removeStaleTemporaries(const std::vector<std::string> &paths, const EarlierOwner &earlierOwner)
{
    // Per folder: its targets' names and their temporaries' prefixes, so that each entry is
    // judged by two look-ups instead of one comparison per target.
    struct Targets
    {
        std::set<std::string> names;
        std::set<std::string> prefixes;
    };
    std::map<std::string, Targets> folders;
    for (const std::string &path : paths) {
        const auto target = followLinks(path);
        if (!target)
            continue;
        Targets &targets = folders[folderOf(*target)];
        targets.names.insert(nameOf(*target));
        targets.prefixes.insert(temporaryNamePrefix(*target));
    }
    const std::size_t prefixLength = temporaryNamePrefix("x").size();
    for (const auto &[folder, targets] : folders) {
        DIR *dir = ::opendir(folder.c_str());
        if (!dir)
            continue;
        while (const dirent *entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            const bool ours = name.size() == prefixLength + 8 &&
                              targets.prefixes.contains(name.substr(0, prefixLength));
            // An empty owner is no owner, whatever names the targets have.
            const std::string owner = !ours && earlierOwner ? earlierOwner(name) : std::string();
            if (!ours && (owner.empty() || !targets.names.contains(owner)))
                continue;
            const std::string full = folder + "/" + name;
            const int fd = ::open(full.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
            if (fd < 0)
                continue;
            // A run still writing holds the lock.
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
                ::unlink(full.c_str());
            ::close(fd);
        }
        ::closedir(dir);
    }
}

void removeStaleTemporaries(const std::string &path, const EarlierOwner &earlierOwner)
{
    removeStaleTemporaries(std::vector<std::string>{path}, earlierOwner);
}

} // namespace velmora::safewrite
