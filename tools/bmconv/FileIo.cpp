#include "bmconv/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

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

} // namespace

Result<Bytes> readWholeFile(const std::string &path)
{
    errno = 0;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return fail(Status::FileNotFound, path + ": " + systemText(errno));

    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return fail(Status::FileNotFound, path + ": " + ec.message());
    if (size > kMaxInputFileSize)
        return fail(Status::BadSourceFile, path + ": file is too large");

    Bytes bytes(static_cast<std::size_t>(size));
    const std::size_t got =
        bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (got != bytes.size() || std::ferror(file.get()))
        return fail(Status::FileNotFound, path + ": read error");
    return bytes;
}

Result<void> writeFileReplacing(const std::string &path, ByteView bytes, Replace replace)
{
    // An exclusive create ("x") gives each attempt a name nobody else is writing.
    std::string tempPath;
    FilePtr file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        tempPath = path + ".~bmconv" + std::to_string(attempt);
        errno = 0;
        file.reset(std::fopen(tempPath.c_str(), "wbx"));
        if (!file && errno != EEXIST)
            return fail(Status::BadDestinationFile, path + ": " + systemText(errno));
    }
    if (!file)
        return fail(Status::BadDestinationFile, path + ": no free temporary name");

    bool ok =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    ok = std::fflush(file.get()) == 0 && ok;
    ok = std::fclose(file.release()) == 0 && ok;
    std::error_code ec;
    if (ok && replace == Replace::Quickly && !std::filesystem::is_directory(path, ec))
        std::filesystem::remove(path, ec); // a missing old file is no error
    ec.clear();
    if (ok)
        std::filesystem::rename(tempPath, path, ec);
    if (!ok || ec) {
        std::filesystem::remove(tempPath, ec);
        return fail(Status::BadDestinationFile, path + ": cannot write the file");
    }
    return {};
}

bool fileExists(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace bmconv
