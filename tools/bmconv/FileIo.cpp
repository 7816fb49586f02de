#include "bmconv/FileIo.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace bmconv {

namespace {

struct FileCloser
{
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string systemText(int error)
{
    return std::generic_category().message(error);
}

// Only a name that leads nowhere is a missing file; one that exists but cannot be read (no
// permission, a loop of links, ...) is reported with the system's reason, never as missing.
std::unexpected<Error> openFailure(const std::string &path, int error)
{
    const bool missing = error == ENOENT || error == ENOTDIR;
    return fail(missing ? Status::FileNotFound : Status::BadSourceFile,
                path + ": " + systemText(error));
}

} // namespace

Result<Bytes> readWholeFile(const std::string &path)
{
    // Non-blocking, so a FIFO is refused below instead of waiting for a writer forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return openFailure(path, errno);
    FilePtr file(::fdopen(fd, "rb"));
    if (!file) {
        const int error = errno;
        ::close(fd);
        return openFailure(path, error);
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0)
        return openFailure(path, errno);
    if (S_ISDIR(info.st_mode))
        return fail(Status::BadSourceFile, path + ": is a folder, not a file");
    if (!S_ISREG(info.st_mode))
        return fail(Status::BadSourceFile, path + ": not a regular file");
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > kMaxInputFileSize)
        return fail(Status::BadSourceFile, path + ": file is too large");

    Bytes bytes(static_cast<std::size_t>(size));
    errno = 0;
    const std::size_t got =
        bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get()))
        return fail(Status::BadSourceFile, path + ": " + systemText(errno != 0 ? errno : EIO));
    // Shrunk since fstat: what was read is not the file we were asked for.
    if (got != bytes.size())
        return fail(Status::BadSourceFile, path + ": the file changed while it was read");
    return bytes;
}

namespace {

// Earlier versions named their temporaries after the target ("NAME.~bmconv0" to "~bmconv99");
// a killed run left them behind. Found in the same pass as today's.
std::string earlierOwner(const std::string &name)
{
    static const std::string kMark = ".~bmconv";
    const auto mark = name.rfind(kMark);
    if (mark == std::string::npos || mark == 0)
        return {};
    const std::string number = name.substr(mark + kMark.size());
    const bool numbered = !number.empty() && number.size() <= 2 &&
                          std::all_of(number.begin(), number.end(),
                                      [](unsigned char c) { return std::isdigit(c) != 0; });
    return numbered ? name.substr(0, mark) : std::string();
}

} // namespace

void removeOldTemporaries(const std::vector<std::string> &paths)
{
    velmora::safewrite::removeStaleTemporaries(paths, earlierOwner);
}

Result<PendingFile> prepareFileReplacing(const std::string &path, ByteView bytes, Replace replace,
                                         Cleanup cleanup)
{
    if (cleanup == Cleanup::First)
        removeOldTemporaries({path});
    auto file = velmora::safewrite::prepareFile(path, bytes,
                                                replace == Replace::Atomically
                                                    ? velmora::safewrite::Durability::Flushed
                                                    : velmora::safewrite::Durability::Unflushed);
    if (!file)
        return fail(Status::BadDestinationFile, file.error());
    return std::move(*file);
}

Result<void> writeFileReplacing(const std::string &path, ByteView bytes, Replace replace)
{
    auto file = prepareFileReplacing(path, bytes, replace, Cleanup::First);
    if (!file)
        return std::unexpected(file.error());
    if (auto committed = file->commit(); !committed)
        return fail(Status::BadDestinationFile, committed.error());
    return {};
}

bool fileExists(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace bmconv
