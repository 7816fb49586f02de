#include "export/sis/PkgFile.h"

#include "export/sis/Limits.h"
#include "export/sis/Text.h"
#include "platform/Try.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>

namespace velmora::sis {

namespace {

struct LanguageName
{
    const char *code;
    std::uint32_t value;
};

// Symbian language codes 1..33, the ones every makesis knows.
constexpr std::array<LanguageName, 33> kLanguages = {{
    {"EN", 1},  {"FR", 2},  {"GE", 3},  {"SP", 4},  {"IT", 5},  {"SW", 6},  {"DA", 7},
    {"NO", 8},  {"FI", 9},  {"AM", 10}, {"SF", 11}, {"SG", 12}, {"PO", 13}, {"TU", 14},
    {"IC", 15}, {"RU", 16}, {"HU", 17}, {"DU", 18}, {"BL", 19}, {"AU", 20}, {"BF", 21},
    {"AS", 22}, {"NZ", 23}, {"IF", 24}, {"CS", 25}, {"SK", 26}, {"PL", 27}, {"SL", 28},
    {"TC", 29}, {"HK", 30}, {"ZH", 31}, {"JA", 32}, {"TH", 33},
}};

enum class TokenKind { End, String, Number, Word, Punct };

struct Token
{
    TokenKind kind = TokenKind::End;
    std::u16string text; // String: the decoded text; Word: the word
    std::uint64_t number = 0;
    char16_t punct = 0;
    int line = 1;
};

std::string upper(std::u16string_view word)
{
    std::string out = toUtf8(word);
    for (char &c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string quoted(const std::string &text, char mark)
{
    std::string out(1, mark);
    out += text;
    out += mark;
    return out;
}

// A character for a message: printable ones in quotes, with their code point when outside ASCII;
// control characters (a NUL would end the message where it is printed) only by code point.
std::string describeCharacter(char16_t c)
{
    const std::string code = "U+" + hex(c, 4).substr(2);
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || (c >= 0xD800 && c <= 0xDFFF) ||
        c == 0xFFFE || c == 0xFFFF)
        return code;
    const std::string shown = quoted(toUtf8(std::u16string(1, c)), '\'');
    return c < 0x80 ? shown : shown + " (" + code + ")";
}

std::string describe(const Token &token)
{
    switch (token.kind) {
    case TokenKind::End:
        return "the end of the file";
    case TokenKind::String:
        return quoted(toUtf8(token.text), '"');
    case TokenKind::Number:
        return std::to_string(token.number);
    case TokenKind::Word:
        return toUtf8(token.text);
    case TokenKind::Punct:
        return describeCharacter(token.punct);
    }
    return {};
}

std::expected<std::u16string, std::string> decode(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() >= 2 && (bytes[0] == 0xFF || bytes[0] == 0xFE) &&
        (bytes[1] == 0xFE || bytes[1] == 0xFF) && bytes[0] != bytes[1]) {
        const bool little = bytes[0] == 0xFF;
        if (bytes.size() % 2 != 0)
            return std::unexpected(std::string("UTF-16 text with an odd number of bytes"));
        std::u16string text;
        text.reserve(bytes.size() / 2 - 1);
        for (std::size_t i = 2; i < bytes.size(); i += 2)
            text += little ? static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8)
                           : static_cast<char16_t>(bytes[i] << 8 | bytes[i + 1]);
        return text;
    }
    // No text of a description holds a NUL byte, but UTF-16 text without its mark is full of them,
    // on one side of each pair: the high byte of every ASCII character.
    std::size_t zerosAtEven = 0;
    std::size_t zerosAtOdd = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == 0)
            ++(i % 2 == 0 ? zerosAtEven : zerosAtOdd);
    const auto looksLikeUtf16 = [pairs = bytes.size() / 2](std::size_t zeros, std::size_t others) {
        return zeros * 4 >= pairs && others * 4 <= zeros;
    };
    if (zerosAtEven + zerosAtOdd != 0) {
        if (looksLikeUtf16(zerosAtOdd, zerosAtEven))
            return std::unexpected(std::string("the file looks like UTF-16LE without a byte order "
                                               "mark; save it as UTF-16 with the mark, or as "
                                               "UTF-8"));
        if (looksLikeUtf16(zerosAtEven, zerosAtOdd))
            return std::unexpected(std::string("the file looks like UTF-16BE without a byte order "
                                               "mark; save it as UTF-16 with the mark, or as "
                                               "UTF-8"));
        return std::unexpected(std::string("the file holds NUL bytes; it is not a text file"));
    }
    std::size_t skip = 0;
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        skip = 3;
    const std::string_view utf8(reinterpret_cast<const char *>(bytes.data()) + skip,
                                bytes.size() - skip);
    std::u16string text = toUtf16(utf8);
    if (text.find(u'\uFFFD') != std::u16string::npos &&
        utf8.find("\xEF\xBF\xBD") == std::string_view::npos)
        return std::unexpected(
            std::string("neither UTF-16 with a byte order mark nor valid UTF-8"));
    return text;
}

class Lexer
{
public:
    Lexer(std::u16string_view text, const std::string &name)
        : m_text(text)
        , m_name(name)
    {}

    std::expected<std::vector<Token>, Error> run()
    {
        std::vector<Token> tokens;
        for (;;) {
            skipBlanks();
            Token token;
            token.line = m_line;
            if (m_pos >= m_text.size()) {
                tokens.push_back(token);
                return tokens;
            }
            const char16_t c = m_text[m_pos];
            if (c == u'"' || (c == u'<' && isEscapeAt(m_pos))) {
                VELMORA_TRY_ASSIGN(auto text, readString());
                token.kind = TokenKind::String;
                token.text = std::move(text);
            } else if (c >= u'0' && c <= u'9') {
                VELMORA_TRY_ASSIGN(auto number, readNumber());
                token.kind = TokenKind::Number;
                token.number = number;
            } else if (isWordChar(c)) {
                token.kind = TokenKind::Word;
                while (m_pos < m_text.size() &&
                       (isWordChar(m_text[m_pos]) || isDigit(m_text[m_pos])))
                    token.text += m_text[m_pos++];
            } else if (std::u16string_view(u"&#{}()[],%:-=~!*@+").find(c) !=
                       std::u16string_view::npos) {
                token.kind = TokenKind::Punct;
                token.punct = c;
                ++m_pos;
            } else {
                return std::unexpected(error("unexpected character " + describeCharacter(c)));
            }
            tokens.push_back(std::move(token));
        }
    }

private:
    static bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
    static bool isWordChar(char16_t c)
    {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
    }

    Error error(const std::string &message) const
    {
        return Error{m_name + "(" + std::to_string(m_line) + "): " + message};
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size()) {
            const char16_t c = m_text[m_pos];
            if (c == u'\n') {
                ++m_line;
                ++m_pos;
            } else if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\uFEFF' || c == u'\f' ||
                       c == u'\v') {
                ++m_pos;
            } else if (c == u';') {
                while (m_pos < m_text.size() && m_text[m_pos] != u'\n')
                    ++m_pos;
            } else {
                return;
            }
        }
    }

    bool isEscapeAt(std::size_t at) const
    {
        std::size_t i = at + 1;
        const std::size_t digitsStart = i;
        while (i < m_text.size() && isDigit(m_text[i]))
            ++i;
        return i > digitsStart && i < m_text.size() && m_text[i] == u'>';
    }

    // A quoted string, possibly joined with <NNN> character escapes written right next to it.
    std::expected<std::u16string, Error> readString()
    {
        std::u16string text;
        for (;;) {
            if (m_pos < m_text.size() && m_text[m_pos] == u'"') {
                ++m_pos;
                while (m_pos < m_text.size() && m_text[m_pos] != u'"') {
                    if (m_text[m_pos] == u'\n' || m_text[m_pos] == u'\r')
                        return std::unexpected(error("unterminated string"));
                    text += m_text[m_pos++];
                }
                if (m_pos >= m_text.size())
                    return std::unexpected(error("unterminated string"));
                ++m_pos;
            } else if (m_pos < m_text.size() && m_text[m_pos] == u'<' && isEscapeAt(m_pos)) {
                ++m_pos;
                std::uint32_t value = 0;
                while (isDigit(m_text[m_pos])) {
                    value = value * 10 + (m_text[m_pos++] - u'0');
                    if (value > 0xFFFF)
                        return std::unexpected(error("character escape above 65535"));
                }
                ++m_pos; // '>'
                text += static_cast<char16_t>(value);
            } else {
                break;
            }
            if (text.size() > kMaxPkgString)
                return std::unexpected(
                    error("string longer than " + std::to_string(kMaxPkgString) + " characters"));
        }
        return text;
    }

    std::expected<std::uint64_t, Error> readNumber()
    {
        std::uint64_t value = 0;
        int base = 10;
        if (m_text[m_pos] == u'0' && m_pos + 1 < m_text.size() &&
            (m_text[m_pos + 1] == u'x' || m_text[m_pos + 1] == u'X')) {
            base = 16;
            m_pos += 2;
        }
        const std::size_t start = m_pos;
        while (m_pos < m_text.size()) {
            const char16_t c = m_text[m_pos];
            int digit = -1;
            if (isDigit(c))
                digit = c - u'0';
            else if (base == 16 && c >= u'a' && c <= u'f')
                digit = c - u'a' + 10;
            else if (base == 16 && c >= u'A' && c <= u'F')
                digit = c - u'A' + 10;
            if (digit < 0)
                break;
            value = value * base + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFu)
                return std::unexpected(error("number too large"));
            ++m_pos;
        }
        if (m_pos == start)
            return std::unexpected(error("hexadecimal number without digits"));
        if (m_pos < m_text.size() && (isWordChar(m_text[m_pos])))
            return std::unexpected(error("malformed number"));
        return value;
    }

    std::u16string_view m_text;
    const std::string &m_name;
    std::size_t m_pos = 0;
    int m_line = 1;
};

class Parser
{
public:
    Parser(std::vector<Token> tokens, const std::string &name)
        : m_tokens(std::move(tokens))
        , m_name(name)
    {}

    std::expected<PackageDescription, Error> run()
    {
        while (peek().kind != TokenKind::End) {
            VELMORA_TRY(statement());
        }
        if (!m_seenHeader)
            return std::unexpected(Error{m_name + ": no package header (#{...}, (UID), ...)"});
        if (m_description.languages.empty())
            m_description.languages.push_back(1);
        const std::size_t languages = m_description.languages.size();
        if (m_vendorNamesLine == 0) {
            warn(m_headerLine, "no localised vendor names (%{...})");
            m_description.vendorNames.assign(languages, std::u16string());
        } else if (m_description.vendorNames.size() != languages) {
            return std::unexpected(
                countError(m_vendorNamesLine, "vendor names", m_description.vendorNames.size()));
        }
        if (!m_seenUniqueVendor)
            warn(m_headerLine, "no unique vendor name (:\"...\")");
        for (const auto *list : {&m_description.targetDevices, &m_description.dependencies})
            for (const auto &entry : *list)
                if (entry.dependency.names.size() != languages)
                    return std::unexpected(
                        countError(entry.line, "names", entry.dependency.names.size()));
        return std::move(m_description);
    }

private:
    const Token &peek() const { return m_tokens[m_index]; }
    const Token &next()
    {
        const Token &token = m_tokens[m_index];
        if (token.kind != TokenKind::End)
            ++m_index;
        return token;
    }

    Error error(int line, const std::string &message) const
    {
        return Error{m_name + "(" + std::to_string(line) + "): " + message};
    }
    Error unexpected(const Token &token, const std::string &wanted) const
    {
        return error(token.line, wanted + " expected, found " + describe(token));
    }
    Error countError(int line, const std::string &what, std::size_t count) const
    {
        return error(line, std::to_string(count) + " " + what + " given for " +
                               std::to_string(m_description.languages.size()) +
                               " languages; give one per language");
    }
    void warn(int line, const std::string &message)
    {
        m_description.warnings.push_back(m_name + "(" + std::to_string(line) +
                                         "): warning: " + message);
    }

    bool atPunct(char16_t c) const { return peek().kind == TokenKind::Punct && peek().punct == c; }

    std::expected<void, Error> expectPunct(char16_t c)
    {
        const Token &token = next();
        if (token.kind != TokenKind::Punct || token.punct != c)
            return std::unexpected(unexpected(token, quoted(toUtf8(std::u16string(1, c)), '\'')));
        return {};
    }

    std::expected<std::u16string, Error> string()
    {
        const Token &token = next();
        if (token.kind != TokenKind::String)
            return std::unexpected(unexpected(token, "a quoted string"));
        return token.text;
    }

    std::expected<std::uint32_t, Error> unsignedNumber(const char *what)
    {
        const Token &token = next();
        if (token.kind != TokenKind::Number)
            return std::unexpected(unexpected(token, what));
        return static_cast<std::uint32_t>(token.number);
    }

    std::expected<std::int32_t, Error> signedNumber(const char *what)
    {
        bool negative = false;
        if (atPunct(u'-')) {
            next();
            negative = true;
        }
        const Token &token = next();
        if (token.kind != TokenKind::Number)
            return std::unexpected(unexpected(token, what));
        if (token.number > (negative ? 0x80000000u : 0x7FFFFFFFu))
            return std::unexpected(error(token.line, std::string(what) + " out of range"));
        return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(token.number))
                        : static_cast<std::int32_t>(token.number);
    }

    std::expected<Version, Error> version()
    {
        Version value;
        VELMORA_TRY_ASSIGN(auto major, signedNumber("a major version"));
        VELMORA_TRY(expectPunct(u','));
        VELMORA_TRY_ASSIGN(auto minor, signedNumber("a minor version"));
        VELMORA_TRY(expectPunct(u','));
        VELMORA_TRY_ASSIGN(auto build, signedNumber("a build number"));
        return Version{major, minor, build};
    }

    // {"a", "b", ...}
    std::expected<std::vector<std::u16string>, Error> stringList()
    {
        VELMORA_TRY(expectPunct(u'{'));
        std::vector<std::u16string> strings;
        for (;;) {
            VELMORA_TRY_ASSIGN(auto text, string());
            strings.push_back(std::move(text));
            if (atPunct(u',')) {
                next();
                continue;
            }
            VELMORA_TRY(expectPunct(u'}'));
            return strings;
        }
    }

    std::expected<void, Error> requireHeader(const Token &token, const char *what)
    {
        if (!m_seenHeader)
            return std::unexpected(
                error(token.line, std::string(what) + " before the package header"));
        return {};
    }

    std::expected<void, Error> statement()
    {
        const Token &token = peek();
        if (token.kind == TokenKind::String)
            return fileLine();
        if (token.kind == TokenKind::Word) {
            const std::string word = upper(token.text);
            if (word == "IF" || word == "ELSEIF" || word == "ELSE" || word == "ENDIF")
                return std::unexpected(
                    error(token.line, "conditional blocks (" + word + ") are not supported"));
            return std::unexpected(unexpected(token, "a package line"));
        }
        if (token.kind != TokenKind::Punct)
            return std::unexpected(unexpected(token, "a package line"));
        switch (token.punct) {
        case u'&':
            return languagesLine();
        case u'#':
            return headerLine();
        case u'%': {
            next();
            m_vendorNamesLine = token.line;
            VELMORA_TRY_ASSIGN(auto names, stringList());
            m_description.vendorNames = std::move(names);
            return {};
        }
        case u':': {
            next();
            VELMORA_TRY_ASSIGN(auto name, string());
            m_description.vendorUniqueName = std::move(name);
            m_seenUniqueVendor = true;
            return {};
        }
        case u'[':
            return dependencyLine(u']', m_description.targetDevices);
        case u'(':
            return dependencyLine(u')', m_description.dependencies);
        case u'{':
            return std::unexpected(
                error(token.line, "language-dependent file lists are not supported"));
        case u'@':
            return std::unexpected(error(token.line, "embedded packages are not supported"));
        case u'!':
            return std::unexpected(error(token.line, "install options are not supported"));
        case u'*':
        case u'=':
            return std::unexpected(error(token.line, "signature and certificate lines are not "
                                                     "supported; sign with signsis"));
        default:
            return std::unexpected(unexpected(token, "a package line"));
        }
    }

    std::expected<void, Error> languagesLine()
    {
        const Token &ampersand = next();
        if (m_seenHeader)
            return std::unexpected(
                error(ampersand.line, "the language line must come before the header"));
        if (!m_description.languages.empty())
            return std::unexpected(error(ampersand.line, "a second language line"));
        for (;;) {
            const Token &name = next();
            if (name.kind != TokenKind::Word)
                return std::unexpected(unexpected(name, "a language code"));
            std::uint32_t code = languageCode(upper(name.text));
            if (code == 0)
                return std::unexpected(
                    error(name.line, "unknown language code " + toUtf8(name.text)));
            if (atPunct(u'(')) {
                next();
                VELMORA_TRY_ASSIGN(auto dialect, unsignedNumber("a dialect number"));
                VELMORA_TRY(expectPunct(u')'));
                code += dialect;
            }
            if (std::find(m_description.languages.begin(), m_description.languages.end(), code) !=
                m_description.languages.end())
                return std::unexpected(
                    error(name.line, "language " + toUtf8(name.text) + " listed twice"));
            m_description.languages.push_back(code);
            if (!atPunct(u','))
                return {};
            next();
        }
    }

    std::expected<void, Error> headerLine()
    {
        const Token &hash = next();
        m_headerLine = hash.line;
        if (m_seenHeader)
            return std::unexpected(error(hash.line, "a second package header"));
        m_seenHeader = true;
        if (m_description.languages.empty())
            m_description.languages.push_back(1);
        VELMORA_TRY_ASSIGN(auto names, stringList());
        if (names.size() != m_description.languages.size())
            return std::unexpected(countError(hash.line, "package names", names.size()));
        m_description.names = std::move(names);
        VELMORA_TRY(expectPunct(u','));
        VELMORA_TRY(expectPunct(u'('));
        VELMORA_TRY_ASSIGN(auto uid, unsignedNumber("the package UID"));
        if (uid == 0)
            return std::unexpected(error(hash.line, "the package UID must not be 0"));
        m_description.uid = uid;
        VELMORA_TRY(expectPunct(u')'));
        VELMORA_TRY(expectPunct(u','));
        VELMORA_TRY_ASSIGN(auto parsed, version());
        m_description.version = parsed;
        if (parsed.major > 127 || parsed.minor > 99 || parsed.build > 32767)
            warn(hash.line, "version numbers above 127.99.32767 may not be shown correctly");
        while (atPunct(u',')) {
            next();
            const Token &option = next();
            if (option.kind != TokenKind::Word)
                return std::unexpected(unexpected(option, "a header option"));
            const std::string word = upper(option.text);
            if (word == "TYPE") {
                VELMORA_TRY(expectPunct(u'='));
                const Token &type = next();
                const std::string value = type.kind == TokenKind::Word ? upper(type.text) : "";
                static const std::array<const char *, 5> kTypes = {"SA", "SP", "PU", "PA", "PP"};
                const auto found = std::find_if(kTypes.begin(), kTypes.end(),
                                                [&](const char *t) { return value == t; });
                if (found == kTypes.end())
                    return std::unexpected(unexpected(type, "SA, SP, PU, PA or PP"));
                m_description.installType = static_cast<std::uint8_t>(found - kTypes.begin());
            } else if (word == "SH" || word == "SHUTDOWNAPPS") {
                m_description.installFlags |= 1;
            } else if (word == "NR" || word == "NONREMOVABLE") {
                m_description.installFlags |= 2;
            } else if (word == "RU") {
                m_description.installFlags |= 4;
            } else if (word == "H") {
                m_description.installFlags |= 8;
            } else if (word == "NC" || word == "NOCOMPRESS") {
                m_description.noCompress = true;
            } else if (word == "IU" || word == "IUNICODE") {
                // Only mattered to the old package format.
            } else {
                return std::unexpected(error(option.line, "unknown header option " + word));
            }
        }
        return {};
    }

    std::expected<void, Error> dependencyLine(char16_t close, std::vector<PkgDependency> &list)
    {
        const Token &open = next();
        VELMORA_TRY(
            requireHeader(open, close == u']' ? "a target device line" : "a dependency line"));
        PkgDependency entry;
        entry.line = open.line;
        VELMORA_TRY_ASSIGN(auto uid, unsignedNumber("a UID"));
        entry.dependency.uid = uid;
        VELMORA_TRY(expectPunct(close));
        VELMORA_TRY(expectPunct(u','));
        VELMORA_TRY_ASSIGN(auto from, version());
        entry.dependency.from = from;
        if (atPunct(u'~')) {
            next();
            VELMORA_TRY_ASSIGN(auto to, version());
            entry.dependency.to = to;
        }
        VELMORA_TRY(expectPunct(u','));
        VELMORA_TRY_ASSIGN(auto names, stringList());
        entry.dependency.names = std::move(names);
        list.push_back(std::move(entry));
        return {};
    }

    std::expected<void, Error> fileLine()
    {
        const Token &first = peek();
        VELMORA_TRY(requireHeader(first, "a file line"));
        PkgFileLine file;
        file.line = first.line;
        VELMORA_TRY_ASSIGN(auto source, string());
        std::u16string sourcePath = std::move(source);
        std::replace(sourcePath.begin(), sourcePath.end(), u'\\', u'/');
        file.source = toUtf8(sourcePath);
        VELMORA_TRY(expectPunct(u'-'));
        VELMORA_TRY_ASSIGN(auto target, string());
        file.target = std::move(target);
        std::replace(file.target.begin(), file.target.end(), u'/', u'\\');

        bool operationGiven = false;
        while (atPunct(u',')) {
            next();
            const Token &option = next();
            if (option.kind != TokenKind::Word)
                return std::unexpected(unexpected(option, "a file option"));
            const std::string word = upper(option.text);
            std::optional<std::uint32_t> operation;
            if (word == "FF" || word == "FILE")
                operation = OpInstall;
            else if (word == "FT" || word == "FILETEXT")
                operation = OpText;
            else if (word == "FR" || word == "FILERUN")
                operation = OpRun;
            if (word == "FN" || word == "FILENULL" || word == "FM" || word == "FILEMIME")
                return std::unexpected(error(option.line, word + " files are not supported"));
            if (operation) {
                if (operationGiven)
                    return std::unexpected(
                        error(option.line, "a file line with two operations (" + word + ")"));
                operationGiven = true;
                file.operation = *operation;
                continue;
            }
            auto bits = optionBits(word, file.operation);
            if (!bits)
                return std::unexpected(error(option.line, bits.error()));
            file.options |= *bits;
        }

        if (file.source.empty())
            return std::unexpected(error(file.line, "a file line without a source file"));
        // The name goes to the system as a C string, which would end at the first NUL.
        if (const auto nul = sourcePath.find(u'\0'); nul != std::u16string::npos)
            return std::unexpected(error(file.line, "the source file name contains the character " +
                                                        describeCharacter(sourcePath[nul])));
        if (file.operation != OpText && file.target.empty())
            return std::unexpected(error(file.line, "a file line without a target"));
        if (const std::string problem = targetProblem(file.target); !problem.empty())
            return std::unexpected(
                error(file.line, "the target \"" + toUtf8(file.target) + "\" " + problem));
        if (!file.target.empty()) {
            const std::u16string_view rest = std::u16string_view(file.target).substr(2);
            const auto bad = rest.find_first_of(u"?*\":|/<>");
            if (bad != std::u16string_view::npos)
                return std::unexpected(error(file.line, "the target \"" + toUtf8(file.target) +
                                                            "\" contains the character " +
                                                            describeCharacter(rest[bad])));
            if (file.operation == OpInstall &&
                (rest.starts_with(u"\\sys\\") || rest.starts_with(u"\\resource\\")))
                file.options |= InstallVerifyOnRestore;
        }
        VELMORA_TRY(checkNewFile(file));
        m_description.files.push_back(std::move(file));
        return {};
    }

    // A package installs each target once: the phone's file systems ignore letter case, so two
    // targets that differ only in case would overwrite each other. And a skin package holds a
    // handful of files, so more than the limit is refused before any is read.
    std::expected<void, Error> checkNewFile(const PkgFileLine &file)
    {
        if (m_description.files.size() >= kMaxPackagedFiles)
            return std::unexpected(error(file.line, "more than " +
                                                        std::to_string(kMaxPackagedFiles) +
                                                        " files; a package holds at most " +
                                                        std::to_string(kMaxPackagedFiles)));
        if (file.target.empty())
            return {};
        const auto [earlier, added] =
            m_targets.try_emplace(foldCase(file.target), m_description.files.size());
        if (added)
            return {};
        const PkgFileLine &first = m_description.files[earlier->second];
        return std::unexpected(error(
            file.line, "the target \"" + toUtf8(file.target) + "\" is already the target of line " +
                           std::to_string(first.line) + " (\"" + toUtf8(first.target) +
                           "\"); letter case does not tell files apart"));
    }

    static std::expected<std::uint32_t, std::string> optionBits(const std::string &word,
                                                                std::uint32_t operation)
    {
        struct Bit
        {
            const char *shortName;
            const char *longName;
            std::uint32_t operation;
            std::uint32_t bits;
        };
        // TC is meant to set Continue, but makesis has always written 0 for it, and a text file
        // without a Yes/No bit shows a Continue dialog anyway.
        static const std::array<Bit, 9> kBits = {{
            {"TC", "TEXTCONTINUE", OpText, 0},
            {"TS", "TEXTSKIP", OpText, TextSkipIfNo},
            {"TA", "TEXTABORT", OpText, TextAbortIfNo},
            {"TE", "TEXTEXIT", OpText, TextExitIfNo},
            {"FA", "FORCEABORT", OpText, TextForceAbort},
            {"RI", "RUNINSTALL", OpRun, RunInstall},
            {"RR", "RUNREMOVE", OpRun, RunUninstall},
            {"RB", "RUNBOTH", OpRun, RunInstall | RunUninstall},
            {"RW", "RUNWAITEND", OpRun, RunWaitEnd},
        }};
        for (const Bit &bit : kBits) {
            if (word != bit.shortName && word != bit.longName)
                continue;
            if (bit.operation != operation)
                return std::unexpected("the option " + word + " belongs to " +
                                       (bit.operation == OpText ? "FT" : "FR") +
                                       " files; give the operation first");
            return bit.bits;
        }
        return std::unexpected("unknown file option " + word);
    }

    std::vector<Token> m_tokens;
    std::size_t m_index = 0;
    const std::string &m_name;
    PackageDescription m_description;
    bool m_seenHeader = false;
    bool m_seenUniqueVendor = false;
    int m_headerLine = 0;
    int m_vendorNamesLine = 0;
    // Every target so far with letter case folded, and the file line that named it.
    std::map<std::u16string, std::size_t> m_targets;
};

} // namespace

std::uint32_t languageCode(std::string_view name)
{
    for (const auto &language : kLanguages)
        if (name == language.code)
            return language.value;
    return 0;
}

std::expected<PackageDescription, Error> parsePkg(std::span<const std::uint8_t> bytes,
                                                  const std::string &name)
{
    auto text = decode(bytes);
    if (!text)
        return std::unexpected(Error{name + ": " + text.error()});
    VELMORA_TRY_ASSIGN(auto tokens, Lexer(*text, name).run());
    return Parser(std::move(tokens), name).run();
}

} // namespace velmora::sis
