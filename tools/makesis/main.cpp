// makesis: builds a Symbian OS 9 package (.sis) from a package description (.pkg).
//
//   makesis [-v] [-d<dir>] [--] PKGFILE [OUTFILE]

#include "common/Options.h"
#include "export/sis/FileIo.h"
#include "export/sis/Limits.h"
#include "export/sis/PackageBuilder.h"
#include "export/sis/PkgFile.h"
#include "export/sis/Text.h"

#include <csignal>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace velmora::sis;
using namespace velmora::tools;

namespace {

constexpr std::uint64_t kMaxPkgSize = 16u << 20;

struct Options
{
    bool help = false;
    bool verbose = false;
    std::string searchDirectory;
    std::string pkgPath;
    std::string outPath;
};

// The limits below are stated in words; they must say what the code does.
static_assert(kMaxPackagedFiles == 64 && kMaxPackagedFileSize == 256u << 20 &&
              kMaxPackagedTotalSize == 576u << 20);

void usage(std::FILE *to)
{
    std::fputs("Usage: makesis [-v] [-d<dir>] [--] PKGFILE [OUTFILE]\n"
               "Builds a Symbian OS 9 package from a package description.\n"
               "  -v        list the files put into the package\n"
               "  -d<dir>   also look for relative source files in <dir>\n"
               "  --        end the options (for a file name that starts with -)\n"
               "Options come before the file names. OUTFILE defaults to PKGFILE with .sis\n"
               "instead of .pkg.\n"
               "A package holds at most 64 files, each target once (letter case aside), each\n"
               "file at most 256 MiB and all of them at most 576 MiB.\n",
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

// Prints one message line; text from a description can hold any character.
void printLine(std::FILE *to, std::string_view text)
{
    std::fprintf(to, "%s\n", printable(text).c_str());
}

struct Problem
{
    std::string message;
    bool showUsage = true;
};

constexpr KnownOption kOptions[] = {{"-v"}, {"-d", true}};

// Returns the problem, or nothing when the line is usable.
std::optional<Problem> parseOptions(int argc, char **argv, Options &options)
{
    auto line = parseCommandLine(argc, argv, kOptions);
    if (!line) {
        if (line.error().kind == OptionProblem::Kind::MissingValue)
            return Problem{"-d needs a folder"};
        return Problem{"unknown option " + line.error().option + " (makesis -h lists the options)",
                       false};
    }
    if (line->help) {
        options.help = true;
        return std::nullopt;
    }
    for (const GivenOption &option : line->options) {
        if (option.name == "-v")
            options.verbose = true;
        else
            options.searchDirectory = option.value;
    }
    const std::vector<std::string> &operands = line->operands;
    if (operands.empty() || operands.size() > 2)
        return Problem{"give one package description and at most one output file"};
    options.pkgPath = operands[0];
    if (!endsWithNoCase(options.pkgPath, ".pkg"))
        return Problem{options.pkgPath + ": the package description must end in .pkg"};
    if (operands.size() == 2) {
        options.outPath = operands[1];
        if (!endsWithNoCase(options.outPath, ".sis"))
            return Problem{options.outPath + ": the output file must end in .sis"};
    } else {
        options.outPath = options.pkgPath.substr(0, options.pkgPath.size() - 4) + ".sis";
    }
    return std::nullopt;
}

int run(int argc, char **argv)
{
    Options options;
    if (const auto problem = parseOptions(argc, argv, options)) {
        printLine(stderr, "makesis: " + problem->message);
        if (problem->showUsage)
            usage(stderr);
        return 1;
    }
    if (options.help) {
        usage(stdout);
        return 0;
    }

    std::printf("Processing %s...\n", options.pkgPath.c_str());
    auto text = readFile(options.pkgPath, kMaxPkgSize);
    if (!text) {
        printLine(stderr, text.error().message);
        return 1;
    }
    auto description = parsePkg(*text, options.pkgPath);
    if (!description) {
        printLine(stderr, description.error().message);
        return 1;
    }
    for (const auto &warning : description->warnings)
        printLine(stderr, warning);

    BuildSettings settings;
    settings.searchDirectory = options.searchDirectory;
    settings.creationTime = packageTimeNow();
    auto package = buildPackage(*description, options.pkgPath, settings);
    if (!package) {
        printLine(stderr, package.error().message);
        return 1;
    }
    if (options.verbose)
        for (const auto &line : package->log)
            printLine(stdout, "  " + line);
    if (auto written = writeFileAtomically(options.outPath, package->bytes); !written) {
        printLine(stderr, written.error().message);
        return 1;
    }
    std::printf("Created  %s.\n", options.outPath.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Past a file size limit the system would end the program without a word; ignored, the
    // write fails with "File too large", which is reported like any other failure.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fflush(stdout);
        std::fputs("makesis: out of memory\n", stderr);
        return 1;
    }
}
