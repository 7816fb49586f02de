#pragma once

#include <string>
#include <string_view>

namespace bmconv {

// Text that came from a file or a file name, made safe to print: a name or a command file must
// not be able to move the cursor, recolour the terminal, start a new line in our report or turn
// the rest of a line around. Control bytes (C0, DEL) and bytes that are not valid UTF-8 become
// \xHH; in valid UTF-8, the C1 controls U+0080..U+009F and the bidirectional embeddings,
// overrides and isolates (U+202A..U+202E, U+2066..U+2069) become \uHHHH. Everything else,
// including other non-ASCII letters, is kept as it is.
std::string escapeForTerminal(std::string_view text);

} // namespace bmconv
