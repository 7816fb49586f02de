#include "export/sis/SisTypes.h"

#include <array>

namespace velmora::sis {

namespace {

constexpr std::array<const char *, 42> kNames = {
    nullptr,
    "SISString",
    "SISArray",
    "SISCompressed",
    "SISVersion",
    "SISVersionRange",
    "SISDate",
    "SISTime",
    "SISDateTime",
    "SISUid",
    nullptr,
    "SISLanguage",
    "SISContents",
    "SISController",
    "SISInfo",
    "SISSupportedLanguages",
    "SISSupportedOptions",
    "SISPrerequisites",
    "SISDependency",
    "SISProperties",
    "SISProperty",
    "SISSignatures",
    "SISCertificateChain",
    "SISLogo",
    "SISFileDescription",
    "SISHash",
    "SISIf",
    "SISElseIf",
    "SISInstallBlock",
    "SISExpression",
    "SISData",
    "SISDataUnit",
    "SISFileData",
    "SISSupportedOption",
    "SISControllerChecksum",
    "SISDataChecksum",
    "SISSignature",
    "SISBlob",
    "SISSignatureAlgorithm",
    "SISSignatureCertificateChain",
    "SISDataIndex",
    "SISCapabilities",
};

// Letters of Latin Extended-A come in capital and small pairs; the capital is the even one of its
// pair in these runs and the odd one elsewhere.
bool capitalIsEven(char16_t c)
{
    return (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
}

char16_t foldLetter(char16_t c)
{
    const auto plus = [c](int offset) {
        return static_cast<char16_t>(c + offset);
    };
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return plus(0x20);
    if (c >= 0x100 && c <= 0x17E && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
        c != 0x178)
        return capitalIsEven(c) ? static_cast<char16_t>(c | 1) : plus(c & 1);
    if (c == 0x178)
        return 0xFF;
    if ((c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return plus(0x20);
    if (c >= 0x400 && c <= 0x40F)
        return plus(0x50);
    return c;
}

} // namespace

std::u16string foldCase(std::u16string_view text)
{
    std::u16string folded(text);
    for (char16_t &c : folded)
        c = foldLetter(c);
    return folded;
}

bool isKnownField(std::uint32_t type)
{
    return type < kNames.size() && kNames[type] != nullptr;
}

std::string fieldName(std::uint32_t type)
{
    if (isKnownField(type))
        return kNames[type];
    return "field of unknown type " + std::to_string(type);
}

std::string targetProblem(std::u16string_view target)
{
    if (target.empty())
        return {};
    const char16_t drive = target[0];
    const bool hasDrive =
        target.size() >= 3 &&
        (drive == u'!' || (drive >= u'a' && drive <= u'z') || (drive >= u'A' && drive <= u'Z')) &&
        target[1] == u':' && target[2] == u'\\';
    if (!hasDrive)
        return "has no drive; it must start with \"!:\\\" or a drive letter and \":\\\"";
    // A ".." folder would take the file out of the folder the target names, anywhere on the drive
    // (\sys\bin included). The forward slash is split on too, in case whatever handles the path
    // takes it as a separator.
    std::size_t start = 3;
    while (start <= target.size()) {
        std::size_t end = target.find_first_of(u"\\/", start);
        if (end == std::u16string_view::npos)
            end = target.size();
        if (target.substr(start, end - start) == u"..")
            return "climbs out of its folder with \"..\"";
        start = end + 1;
    }
    return {};
}

} // namespace velmora::sis
