#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::sis {

// Conversions between the UTF-16 strings stored in packages and the UTF-8 used for messages and
// file names. Unpaired surrogates and malformed UTF-8 become U+FFFD.
std::string toUtf8(std::u16string_view text);
std::u16string toUtf16(std::string_view utf8);

// `text` with its control characters written as \xNN, for a message printed as one line: text
// taken from a file can hold any character, and a NUL would cut a C string short.
std::string printable(std::string_view text);

// Decimal or 0x-hexadecimal rendering helpers for messages.
std::string hex(std::uint64_t value, int digits = 0);

} // namespace velmora::sis
