#include "bmconv/FileIo.h"

#include "platform/BoundedRead.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace bmconv {

namespace {

std::string systemText(int error)
{
    return std::generic_category().message(error);
}

} // namespace

Result<Bytes> readWholeFile(const std::string &path)
{
    using velmora::boundedread::ReadFailure;
    // A file cut short while it is read is not the file we were asked for.
    auto bytes = velmora::boundedread::readBounded<Bytes>(path, kMaxInputFileSize,
                                                          velmora::boundedread::ShortRead::Refuse);
    if (bytes)
        return std::move(*bytes);
    const ReadFailure failure = bytes.error();
    switch (failure.kind) {
    case ReadFailure::Kind::Missing:
        return fail(Status::FileNotFound, path + ": " + systemText(failure.error));
    case ReadFailure::Kind::Folder:
        return fail(Status::BadSourceFile, path + ": is a folder, not a file");
    case ReadFailure::Kind::NotRegular:
        return fail(Status::BadSourceFile, path + ": not a regular file");
    case ReadFailure::Kind::TooLarge:
        return fail(Status::BadSourceFile, path + ": file is too large");
    case ReadFailure::Kind::Shrank:
        return fail(Status::BadSourceFile, path + ": the file changed while it was read");
    case ReadFailure::Kind::Unreadable:
        break;
    }
    // One that exists but cannot be read (no permission, a loop of links, ...) is never reported
    // as missing.
    return fail(Status::BadSourceFile, path + ": " + systemText(failure.error));
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
