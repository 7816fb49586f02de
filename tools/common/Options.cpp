#include "common/Options.h"

#include <algorithm>

namespace velmora::tools {

std::expected<CommandLine, OptionProblem> parseCommandLine(int argc, const char *const *argv,
                                                           std::span<const KnownOption> known)
{
    CommandLine line;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg.size() < 2 || !arg.starts_with('-'))
            break;
        if (arg == "-h" || arg == "--help") {
            line.help = true;
            return line;
        }
        // A flag's whole name first, so that a value option never swallows a longer flag.
        const auto flag = std::ranges::find_if(known, [arg](const KnownOption &option) {
            return !option.takesValue && arg == option.name;
        });
        if (flag != known.end()) {
            line.options.push_back({flag->name, {}});
            continue;
        }
        const auto valued = std::ranges::find_if(known, [arg](const KnownOption &option) {
            return option.takesValue && arg.starts_with(option.name);
        });
        if (valued == known.end())
            return std::unexpected(OptionProblem{OptionProblem::Kind::Unknown, std::string(arg)});
        std::string value(arg.substr(valued->name.size()));
        if (value.empty()) {
            if (i + 1 >= argc)
                return std::unexpected(
                    OptionProblem{OptionProblem::Kind::MissingValue, std::string(valued->name)});
            value = argv[++i];
        }
        line.options.push_back({valued->name, std::move(value)});
    }
    for (; i < argc; ++i)
        line.operands.emplace_back(argv[i]);
    return line;
}

} // namespace velmora::tools
