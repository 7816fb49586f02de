#include "bmconv/Terminal.h"

#include <cstdint>

namespace bmconv {

namespace {

void appendHex(std::string &out, std::uint32_t value, int digits)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xF];
}

void appendByteEscape(std::string &out, unsigned char byte)
{
    out += "\\x";
    appendHex(out, byte, 2);
}

// What a UTF-8 lead byte promises: the sequence length and the range its second byte must fall
// in, which is what rules out overlong forms, surrogates and code points past U+10FFFF.
struct Lead
{
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
};

Lead leadOf(unsigned char b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return {2, 0x80, 0xBF};
    if (b == 0xE0)
        return {3, 0xA0, 0xBF};
    if (b == 0xED)
        return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF)
        return {3, 0x80, 0xBF};
    if (b == 0xF0)
        return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {4, 0x80, 0xBF};
    if (b == 0xF4)
        return {4, 0x80, 0x8F};
    return {};
}

// The length of the valid UTF-8 sequence starting at `at`, or 0 when there is none; `codePoint`
// receives its value.
std::size_t decodeUtf8(std::string_view text, std::size_t at, char32_t &codePoint)
{
    const Lead lead = leadOf(static_cast<unsigned char>(text[at]));
    if (lead.length == 0 || text.size() - at < lead.length)
        return 0;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    if (second < lead.low || second > lead.high)
        return 0;
    codePoint = static_cast<unsigned char>(text[at]) & (0x7F >> lead.length);
    for (std::size_t k = 1; k < lead.length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    return lead.length;
}

bool isHiddenCodePoint(char32_t c)
{
    return (c >= 0x80 && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// Appends the character that starts at `at`, escaped when it has to be, and returns how many
// bytes it took.
std::size_t appendCharacter(std::string &out, std::string_view text, std::size_t at)
{
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x20 || byte == 0x7F) {
        appendByteEscape(out, byte);
        return 1;
    }
    if (byte < 0x80) {
        out += static_cast<char>(byte);
        return 1;
    }
    char32_t codePoint = 0;
    const std::size_t length = decodeUtf8(text, at, codePoint);
    if (length == 0) {
        // Only the lead byte: what follows may start a valid sequence of its own.
        appendByteEscape(out, byte);
        return 1;
    }
    if (isHiddenCodePoint(codePoint)) {
        out += "\\u";
        appendHex(out, codePoint, 4);
    } else {
        out.append(text.substr(at, length));
    }
    return length;
}

} // namespace

std::string escapeForTerminal(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();)
        at += appendCharacter(out, text, at);
    return out;
}

} // namespace bmconv
