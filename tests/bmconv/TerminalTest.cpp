#include "bmconv/Terminal.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using bmconv::escapeForTerminal;

namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

void expectEscaped(const Cases &cases)
{
    for (const auto &[raw, shown] : cases)
        EXPECT_EQ(escapeForTerminal(raw), shown) << "input of " << raw.size() << " bytes";
}

} // namespace

TEST(BmconvTerminal, KeepsPrintableTextOfAnyScript)
{
    expectEscaped({
        {"", ""},
        {"icons/Status Online.bmp", "icons/Status Online.bmp"},
        {"C:\\skins\\~x.mbm", "C:\\skins\\~x.mbm"},
        {"\xd0\x96\xd1\x91\xc3\xa9", "\xd0\x96\xd1\x91\xc3\xa9"},
        // The first code points past each escaped range, and a four-byte character.
        {"\xc2\xa0\xe2\x80\xa9\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa",
         "\xc2\xa0\xe2\x80\xa9\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa"},
        {"\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf", "\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf"},
    });
}

TEST(BmconvTerminal, EscapesControlBytes)
{
    expectEscaped({
        {"\x1b[31mred\x1b[0m", "\\x1B[31mred\\x1B[0m"},
        {"a\tb\nc\rd", "a\\x09b\\x0Ac\\x0Dd"},
        {std::string("x\0y", 3), "x\\x00y"},
        {"\x07\x08\x1f\x7f ~", "\\x07\\x08\\x1F\\x7F ~"},
    });
}

TEST(BmconvTerminal, EscapesC1ControlsAndDirectionOverrides)
{
    expectEscaped({
        {"\xc2\x80\xc2\x85\xc2\x9b\xc2\x9f", "\\u0080\\u0085\\u009B\\u009F"},
        {"\xe2\x80\xaa\xe2\x80\xae", "\\u202A\\u202E"},
        {"\xe2\x81\xa6\xe2\x81\xa9", "\\u2066\\u2069"},
        {"txt.\xe2\x80\xae"
         "exe",
         "txt.\\u202Eexe"},
    });
}

// Each byte of a broken sequence is shown on its own, and a byte after a bad lead is judged on
// its own, so an ESC cannot hide behind one.
TEST(BmconvTerminal, EscapesBytesThatAreNotUtf8)
{
    expectEscaped({
        {"\xff\xfe", "\\xFF\\xFE"},
        {"\x80", "\\x80"},
        {"\xc0\x80", "\\xC0\\x80"},                   // overlong NUL
        {"\xe0\x80\xaf", "\\xE0\\x80\\xAF"},          // overlong '/'
        {"\xed\xa0\x80", "\\xED\\xA0\\x80"},          // surrogate
        {"\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}, // past U+10FFFF
        {"\xe2\x80", "\\xE2\\x80"},                   // cut short at the end
        {"\xe2\x80"
         "a",
         "\\xE2\\x80a"},
        {"\xc2\x1b", "\\xC2\\x1B"},
        {"\xc2\xc2\x9b", "\\xC2\\u009B"},
        {"\xf0\x9f\x98"
         "\xd0\x96",
         "\\xF0\\x9F\\x98\xd0\x96"},
    });
}
