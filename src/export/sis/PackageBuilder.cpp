#include "export/sis/PackageBuilder.h"

#include "export/sis/Crypto.h"
#include "export/sis/FileIo.h"
#include "export/sis/Limits.h"
#include "export/sis/SisWriter.h"
#include "export/sis/Text.h"
#include "platform/Try.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <sys/stat.h>

namespace velmora::sis {

namespace {

enum class PathKind { Missing, Unusable, File, Folder, Other };

struct PathState
{
    PathKind kind = PathKind::Missing;
    int error = 0; // errno, for Missing and Unusable
    std::uint64_t size = 0;
};

PathState pathState(const std::string &path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        // Only a name that is not there is missing: a loop of links, or a folder that may not be
        // entered, is there, and the message gives the system's reason.
        const bool missing = error == ENOENT || error == ENOTDIR;
        return {missing ? PathKind::Missing : PathKind::Unusable, error, 0};
    }
    if (S_ISREG(info.st_mode))
        return {PathKind::File, 0, static_cast<std::uint64_t>(info.st_size)};
    return {S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::Other, 0, 0};
}

// The source as named when it is a file there, else the one in the search folder; when neither is
// a file, the one that exists at all, so that the message can say what it is instead.
std::string resolveSource(const std::string &source, const std::string &searchDirectory)
{
    const PathKind here = pathState(source).kind;
    if (here == PathKind::File || source.starts_with('/') || searchDirectory.empty())
        return source;
    std::string candidate = searchDirectory;
    if (!candidate.ends_with('/'))
        candidate += '/';
    candidate += source;
    const PathKind there = pathState(candidate).kind;
    if (there == PathKind::File || (here == PathKind::Missing && there != PathKind::Missing))
        return candidate;
    return source;
}

std::string mebibytes(std::uint64_t bytes)
{
    return std::to_string(bytes) + " bytes (" + std::to_string(bytes >> 20) + " MiB)";
}

struct Source
{
    std::string path;
    std::uint64_t size = 0;
};

std::expected<Source, std::string> findSource(const std::string &name,
                                              const std::string &searchDirectory)
{
    const std::string path = resolveSource(name, searchDirectory);
    const PathState state = pathState(path);
    switch (state.kind) {
    case PathKind::Missing:
        return std::unexpected("file not found: " + name);
    case PathKind::Unusable:
        return std::unexpected(path + ": " + std::strerror(state.error));
    case PathKind::Folder:
        return std::unexpected(path + " is a folder, not a file");
    case PathKind::Other:
        return std::unexpected(path + " is not a regular file");
    case PathKind::File:
        break;
    }
    if (state.size > kMaxPackagedFileSize)
        return std::unexpected(path + " is " + std::to_string(state.size) +
                               " bytes, more than the " + mebibytes(kMaxPackagedFileSize) +
                               " a file in a package may hold");
    return Source{path, state.size};
}

std::string lineName(const std::string &pkgName, const PkgFileLine &line)
{
    return pkgName + "(" + std::to_string(line.line) + "): ";
}

std::expected<void, Error> checkTotal(std::uint64_t total, const std::string &where)
{
    if (total > kMaxPackagedTotalSize)
        return std::unexpected(Error{where + "the files come to " + std::to_string(total) +
                                     " bytes by this line, more than the " +
                                     mebibytes(kMaxPackagedTotalSize) +
                                     " a package may hold in all"});
    return {};
}

// Every source found and measured before any is read, so that one too large, or too many together,
// costs nothing.
std::expected<std::map<std::string, Source>, Error>
findSources(const PackageDescription &description, const std::string &pkgName,
            const std::string &searchDirectory)
{
    std::map<std::string, Source> sources;
    std::uint64_t total = 0;
    for (const PkgFileLine &line : description.files) {
        const std::string where = lineName(pkgName, line);
        auto known = sources.find(line.source);
        if (known == sources.end()) {
            auto found = findSource(line.source, searchDirectory);
            if (!found)
                return std::unexpected(Error{where + found.error()});
            known = sources.emplace(line.source, std::move(*found)).first;
        }
        total += known->second.size;
        VELMORA_TRY(checkTotal(total, where));
    }
    return sources;
}

struct Stored
{
    std::uint32_t index;
    std::uint64_t payloadSize;
    std::uint64_t size;
    Bytes hash;
};

// Reads, compresses and hashes one source, appending its data to fileData.
std::expected<Stored, std::string> storeSource(const std::string &path, bool mayDeflate,
                                               std::vector<Bytes> &fileData)
{
    // A file that grew since it was measured is held to the same limit.
    auto contents = readFile(path, kMaxPackagedFileSize);
    if (!contents)
        return std::unexpected(contents.error().message);
    auto compressed = encodeCompressed(*contents, mayDeflate);
    if (!compressed)
        return std::unexpected(compressed.error().message);
    const auto digest = sha1(*contents);
    Stored stored{static_cast<std::uint32_t>(fileData.size()), compressed->payloadSize,
                  contents->size(), Bytes(digest.begin(), digest.end())};
    fileData.push_back(std::move(compressed->field));
    return stored;
}

Controller controllerFor(const PackageDescription &description, const BuildSettings &settings)
{
    Controller controller;
    controller.languages = description.languages;
    Info &info = controller.info;
    info.uid = description.uid;
    info.vendorUniqueName = description.vendorUniqueName;
    info.names = description.names;
    info.vendorNames = description.vendorNames;
    info.version = description.version;
    info.creationTime = settings.creationTime;
    info.installType = description.installType;
    info.installFlags = description.installFlags;
    for (const auto &entry : description.targetDevices)
        controller.targetDevices.push_back(entry.dependency);
    for (const auto &entry : description.dependencies)
        controller.dependencies.push_back(entry.dependency);
    return controller;
}

FileDescription describe(const PkgFileLine &line, const Stored &stored)
{
    FileDescription file;
    file.target = line.target;
    file.mimeType = line.mimeType;
    file.hash = stored.hash;
    file.operation = line.operation;
    file.operationOptions = line.options;
    file.length = stored.payloadSize;
    file.uncompressedLength = stored.size;
    file.fileIndex = stored.index;
    return file;
}

} // namespace

std::expected<BuiltPackage, Error> buildPackage(const PackageDescription &description,
                                                const std::string &pkgName,
                                                const BuildSettings &settings)
{
    BuiltPackage result;
    const bool mayDeflate = !description.noCompress;
    VELMORA_TRY_ASSIGN(auto sources, findSources(description, pkgName, settings.searchDirectory));

    std::map<std::string, Stored> bySource;
    std::vector<Bytes> fileData;
    Controller controller = controllerFor(description, settings);
    std::uint64_t total = 0;
    for (const PkgFileLine &line : description.files) {
        const std::string where = lineName(pkgName, line);
        auto known = bySource.find(line.source);
        if (known == bySource.end()) {
            auto stored = storeSource(sources.at(line.source).path, mayDeflate, fileData);
            if (!stored)
                return std::unexpected(Error{where + stored.error()});
            known = bySource.emplace(line.source, std::move(*stored)).first;
            result.log.push_back(line.source + " -> \"" + toUtf8(line.target) + "\" (" +
                                 std::to_string(known->second.size) + " bytes, stored " +
                                 std::to_string(known->second.payloadSize) + ")");
        }
        total += known->second.size;
        VELMORA_TRY(checkTotal(total, where));
        controller.installBlock.files.push_back(describe(line, known->second));
    }

    const Bytes controllerField = encodeController(controller);
    auto compressedController = encodeCompressed(controllerField, mayDeflate);
    if (!compressedController)
        return std::unexpected(Error{pkgName + ": " + compressedController.error().message});
    result.bytes = assemblePackage(description.uid, compressedController->field,
                                   encodeData({std::move(fileData)}));
    return result;
}

DateTime packageTimeNow()
{
    std::time_t now = std::time(nullptr);
    if (const char *epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        char *end = nullptr;
        const long long value = std::strtoll(epoch, &end, 10);
        if (end && *end == '\0' && value >= 0)
            now = static_cast<std::time_t>(value);
    }
    std::tm utc{};
    gmtime_r(&now, &utc);
    DateTime time;
    time.year = static_cast<std::uint16_t>(utc.tm_year + 1900);
    time.month = static_cast<std::uint8_t>(utc.tm_mon);
    time.day = static_cast<std::uint8_t>(utc.tm_mday);
    time.hours = static_cast<std::uint8_t>(utc.tm_hour);
    time.minutes = static_cast<std::uint8_t>(utc.tm_min);
    // A leap second would not fit the field's 0..59.
    time.seconds = static_cast<std::uint8_t>(utc.tm_sec > 59 ? 59 : utc.tm_sec);
    return time;
}

} // namespace velmora::sis
