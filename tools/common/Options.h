#pragma once

// The command line of the package tools: options first, then the file names.
//
//   tool [-f] [-x<value>|-x <value>] [--] OPERAND...
//
// The first operand, or "--", ends the options, so that a file whose name starts with "-" after
// them is taken as a file; "-" alone is an operand. "-h" and "--help" ask for the usage and end
// the reading there.

#include <expected>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::tools {

struct KnownOption
{
    std::string_view name;   // with its dash: "-v", "-cr"
    bool takesValue = false; // its value follows at once ("-dfolder") or as the next argument
};

struct GivenOption
{
    std::string_view name; // as the KnownOption names it
    std::string value;
};

struct CommandLine
{
    bool help = false;
    std::vector<GivenOption> options; // in the order given
    std::vector<std::string> operands;
};

struct OptionProblem
{
    enum class Kind {
        Unknown,      // option is what was given
        MissingValue, // option is its KnownOption's name
    };
    Kind kind = Kind::Unknown;
    std::string option;
};

std::expected<CommandLine, OptionProblem> parseCommandLine(int argc, const char *const *argv,
                                                           std::span<const KnownOption> known);

} // namespace velmora::tools
