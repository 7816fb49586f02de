#include "Check.h"

#include "export/sis/Limits.h"
#include "export/sis/PackageBuilder.h"
#include "export/sis/Signer.h"

#include <set>
#include <span>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace velmora::sis;

namespace {

// Every file line's source is replaced by this one small file, kept in memory, so that what the
// description names is never read from the disk: a fuzzed name could be any file, /dev/zero too.
const std::string &payloadPath()
{
    static const std::string path = [] {
        const int fd = ::memfd_create("fuzz-pkg-payload", 0);
        fuzzCheck(fd >= 0, "memfd_create");
        static const char text[] = "{ Colour 0 } = 16777215\r\n{ Colour 1 } = 0\r\n"
                                   "{ Colour 2 } = 16777215\r\n{ Colour 3 } = 0\r\n";
        fuzzCheck(::write(fd, text, sizeof text - 1) == ssize_t(sizeof text - 1), "payload write");
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

} // namespace

// The .pkg reader, then what makesis does with a description it accepted: build the package.
// The reader of packages must take back whatever the builder makes of an accepted description.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    auto description = parsePkg(std::span<const std::uint8_t>(data, size), "fuzz.pkg");
    if (!description)
        return 0;
    // What the reader accepts, taking the files out accepts too: few enough files, and no two
    // targets that one case-insensitive file system would see as one.
    fuzzCheck(description->files.size() <= kMaxPackagedFiles, "no more files than a package holds");
    std::set<std::u16string> targets;
    for (const PkgFileLine &line : description->files)
        fuzzCheck(line.target.empty() || targets.insert(foldCase(line.target)).second,
                  "every target once, letter case aside");
    for (PkgFileLine &line : description->files)
        line.source = payloadPath();

    BuildSettings settings;
    settings.creationTime = DateTime{2026, 11, 7, 20, 15, 30};
    const auto built = buildPackage(*description, "fuzz.pkg", settings);
    fuzzCheck(built.has_value(), "an accepted description builds",
              built ? std::string() : built.error().message);
    const auto package = readPackage(built->bytes);
    fuzzCheck(package.has_value(), "the built package reads",
              package ? std::string() : package.error().message);
    const PackageReport report = inspectPackage(*package, built->bytes);
    fuzzCheck(report.valid(), "the built package's checksums and hashes hold");
    const Controller &controller = package->controller;
    fuzzCheck(controller.info.uid == description->uid &&
                  controller.info.names == description->names &&
                  controller.languages == description->languages &&
                  controller.installBlock.files.size() == description->files.size(),
              "the package says what the description says");
    return 0;
}
