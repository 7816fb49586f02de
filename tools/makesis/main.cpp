// makesis: builds a Symbian OS 9 package (.sis) from a package description (.pkg).
//
//   makesis [-v] [-d<dir>] PKGFILE [OUTFILE]

#include "export/sis/FileIo.h"
#include "export/sis/PackageBuilder.h"
#include "export/sis/PkgFile.h"

#include <cstdio>
#include <string>
#include <string_view>

using namespace velmora::sis;

namespace {

constexpr std::uint64_t kMaxPkgSize = 16u << 20;

struct Options
{
    bool verbose = false;
    std::string searchDirectory;
    std::string pkgPath;
    std::string outPath;
};

void usage(std::FILE *to)
{
    std::fputs("Usage: makesis [-v] [-d<dir>] PKGFILE [OUTFILE]\n"
               "Builds a Symbian OS 9 package from a package description.\n"
               "  -v        list the files put into the package\n"
               "  -d<dir>   also look for relative source files in <dir>\n"
               "OUTFILE defaults to PKGFILE with .sis instead of .pkg.\n",
               to);
}

bool endsWithNoCase(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char a = text[text.size() - suffix.size() + i];
        if ((a | 0x20) != (suffix[i] | 0x20))
            return false;
    }
    return true;
}

// Returns an error message, or an empty string when the options are usable.
std::string parseOptions(int argc, char **argv, Options &options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-v") {
            options.verbose = true;
        } else if (arg.starts_with("-d")) {
            options.searchDirectory = arg.substr(2);
            if (options.searchDirectory.empty() && i + 1 < argc)
                options.searchDirectory = argv[++i];
        } else if (arg.size() > 1 && arg.starts_with('-')) {
            return "unknown option " + std::string(arg);
        } else {
            positional.emplace_back(arg);
        }
    }
    if (positional.empty() || positional.size() > 2)
        return "give one package description and at most one output file";
    options.pkgPath = positional[0];
    if (!endsWithNoCase(options.pkgPath, ".pkg"))
        return options.pkgPath + ": the package description must end in .pkg";
    if (positional.size() == 2) {
        options.outPath = positional[1];
        if (!endsWithNoCase(options.outPath, ".sis"))
            return options.outPath + ": the output file must end in .sis";
    } else {
        options.outPath = options.pkgPath.substr(0, options.pkgPath.size() - 4) + ".sis";
    }
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && (std::string_view(argv[1]) == "-h" || std::string_view(argv[1]) == "--help")) {
        usage(stdout);
        return 0;
    }
    Options options;
    if (const std::string problem = parseOptions(argc, argv, options); !problem.empty()) {
        std::fprintf(stderr, "makesis: %s\n", problem.c_str());
        usage(stderr);
        return 1;
    }

    std::printf("Processing %s...\n", options.pkgPath.c_str());
    auto text = readFile(options.pkgPath, kMaxPkgSize);
    if (!text) {
        std::fprintf(stderr, "%s\n", text.error().message.c_str());
        return 1;
    }
    auto description = parsePkg(*text, options.pkgPath);
    if (!description) {
        std::fprintf(stderr, "%s\n", description.error().message.c_str());
        return 1;
    }
    for (const auto &warning : description->warnings)
        std::fprintf(stderr, "%s\n", warning.c_str());

    BuildSettings settings;
    settings.searchDirectory = options.searchDirectory;
    settings.creationTime = packageTimeNow();
    auto package = buildPackage(*description, options.pkgPath, settings);
    if (!package) {
        std::fprintf(stderr, "%s\n", package.error().message.c_str());
        return 1;
    }
    if (options.verbose)
        for (const auto &line : package->log)
            std::printf("  %s\n", line.c_str());
    if (auto written = writeFileAtomically(options.outPath, package->bytes); !written) {
        std::fprintf(stderr, "%s\n", written.error().message.c_str());
        return 1;
    }
    std::printf("Created  %s.\n", options.outPath.c_str());
    return 0;
}
