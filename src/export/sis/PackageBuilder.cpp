#include "export/sis/PackageBuilder.h"

#include "export/sis/Crypto.h"
#include "export/sis/FileIo.h"
#include "export/sis/SisWriter.h"
#include "export/sis/Text.h"

#include <cstdlib>
#include <ctime>
#include <map>
#include <sys/stat.h>

namespace velmora::sis {

namespace {

enum class PathKind { Missing, File, Folder, Other };

PathKind pathKind(const std::string &path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return PathKind::Missing;
    if (S_ISREG(info.st_mode))
        return PathKind::File;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::Other;
}

// The source as named when it is a file there, else the one in the search folder; when neither is
// a file, the one that exists at all, so that the message can say what it is instead.
std::string resolveSource(const std::string &source, const std::string &searchDirectory)
{
    const PathKind here = pathKind(source);
    if (here == PathKind::File || source.starts_with('/') || searchDirectory.empty())
        return source;
    std::string candidate = searchDirectory;
    if (!candidate.ends_with('/'))
        candidate += '/';
    candidate += source;
    const PathKind there = pathKind(candidate);
    if (there == PathKind::File || (here == PathKind::Missing && there != PathKind::Missing))
        return candidate;
    return source;
}

} // namespace

std::expected<BuiltPackage, Error> buildPackage(const PackageDescription &description,
                                                const std::string &pkgName,
                                                const BuildSettings &settings)
{
    BuiltPackage result;
    const bool mayDeflate = !description.noCompress;

    struct Stored
    {
        std::uint32_t index;
        std::uint64_t payloadSize;
        std::uint64_t size;
        Bytes hash;
    };
    std::map<std::string, Stored> bySource;
    std::vector<Bytes> fileData;

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

    for (const PkgFileLine &line : description.files) {
        auto known = bySource.find(line.source);
        if (known == bySource.end()) {
            const std::string path = resolveSource(line.source, settings.searchDirectory);
            const std::string where = pkgName + "(" + std::to_string(line.line) + "): ";
            switch (pathKind(path)) {
            case PathKind::Missing:
                return std::unexpected(Error{where + "file not found: " + line.source});
            case PathKind::Folder:
                return std::unexpected(Error{where + path + " is a folder, not a file"});
            case PathKind::Other:
                return std::unexpected(Error{where + path + " is not a regular file"});
            case PathKind::File:
                break;
            }
            auto contents = readFile(path, kMaxSourceFileSize);
            if (!contents)
                return std::unexpected(Error{where + contents.error().message});
            auto compressed = encodeCompressed(*contents, mayDeflate);
            if (!compressed)
                return std::unexpected(Error{where + compressed.error().message});
            const auto digest = sha1(*contents);
            Stored stored{static_cast<std::uint32_t>(fileData.size()), compressed->payloadSize,
                          contents->size(), Bytes(digest.begin(), digest.end())};
            fileData.push_back(std::move(compressed->field));
            known = bySource.emplace(line.source, std::move(stored)).first;
            result.log.push_back(line.source + " -> \"" + toUtf8(line.target) + "\" (" +
                                 std::to_string(known->second.size) + " bytes, stored " +
                                 std::to_string(known->second.payloadSize) + ")");
        }
        FileDescription file;
        file.target = line.target;
        file.mimeType = line.mimeType;
        file.hash = known->second.hash;
        file.operation = line.operation;
        file.operationOptions = line.options;
        file.length = known->second.payloadSize;
        file.uncompressedLength = known->second.size;
        file.fileIndex = known->second.index;
        controller.installBlock.files.push_back(std::move(file));
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
