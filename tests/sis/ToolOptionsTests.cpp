#include "common/Options.h"

#include <gtest/gtest.h>

using namespace velmora::tools;

namespace {

// "-c" takes a value and is a prefix of the flag "-cr", as makesis's -d could be of a later one.
constexpr KnownOption kKnown[] = {{"-v"}, {"-cr"}, {"-c", true}, {"-d", true}};

std::expected<CommandLine, OptionProblem> parse(std::vector<const char *> args)
{
    args.insert(args.begin(), "tool");
    return parseCommandLine(int(args.size()), args.data(), kKnown);
}

using Given = std::vector<std::pair<std::string, std::string>>;

Given given(const CommandLine &line)
{
    Given found;
    for (const GivenOption &option : line.options)
        found.emplace_back(option.name, option.value);
    return found;
}

} // namespace

TEST(ToolOptions, ValuesAttachedOrSeparateAndFlagsInOrder)
{
    const auto line = parse({"-dfolder", "-v", "-d", "-other", "-cr", "-cx", "in", "out"});
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->help);
    EXPECT_EQ(given(*line),
              (Given{{"-d", "folder"}, {"-v", ""}, {"-d", "-other"}, {"-cr", ""}, {"-c", "x"}}));
    EXPECT_EQ(line->operands, (std::vector<std::string>{"in", "out"}));
}

// The first operand or "--" ends the options; "-" alone is an operand.
TEST(ToolOptions, OperandsEndTheOptions)
{
    struct Case
    {
        std::vector<const char *> args;
        std::size_t options;
        std::vector<std::string> operands;
    };
    const Case cases[] = {
        {{"-v", "--", "-v", "--"}, 1, {"-v", "--"}},
        {{"in", "-v", "-h"}, 0, {"in", "-v", "-h"}},
        {{"-", "-v"}, 0, {"-", "-v"}},
        {{"-v"}, 1, {}},
    };
    for (const auto &[args, options, operands] : cases) {
        const auto line = parse(args);
        ASSERT_TRUE(line) << args.front();
        EXPECT_FALSE(line->help) << args.front();
        EXPECT_EQ(line->options.size(), options) << args.front();
        EXPECT_EQ(line->operands, operands) << args.front();
    }
}

TEST(ToolOptions, HelpUnknownOptionsAndMissingValues)
{
    for (const auto &args : {std::vector<const char *>{"-h", "-zz"}, {"-v", "--help", "-d"}}) {
        const auto line = parse(args);
        ASSERT_TRUE(line);
        EXPECT_TRUE(line->help);
    }
    const std::pair<std::vector<const char *>, OptionProblem> refused[] = {
        {{"-zz", "-h"}, {OptionProblem::Kind::Unknown, "-zz"}},
        {{"-vv"}, {OptionProblem::Kind::Unknown, "-vv"}},
        {{"--verbose"}, {OptionProblem::Kind::Unknown, "--verbose"}},
        {{"-v", "-d"}, {OptionProblem::Kind::MissingValue, "-d"}},
        {{"-c"}, {OptionProblem::Kind::MissingValue, "-c"}},
    };
    for (const auto &[args, problem] : refused) {
        const auto line = parse(args);
        ASSERT_FALSE(line) << args.front();
        EXPECT_EQ(line.error().kind, problem.kind) << args.front();
        EXPECT_EQ(line.error().option, problem.option) << args.front();
    }
}
