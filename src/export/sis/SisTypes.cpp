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

} // namespace velmora::sis
