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

} // namespace

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
