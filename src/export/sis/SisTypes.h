#pragma once

// The field model of a Symbian OS 9 install package (.sis / .sisx), shared by the writer, the
// reader and the signer. Plain C++: no Qt, so the package tools start fast.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::sis {

using Bytes = std::vector<std::uint8_t>;

// A user-readable description of what went wrong. Readers put the byte offset of the defect into
// the text; the tools prefix the file name.
struct Error
{
    std::string message;
};

inline constexpr std::uint32_t kUid1 = 0x10201A7A;

enum class FieldType : std::uint32_t {
    String = 1,
    Array = 2,
    Compressed = 3,
    Version = 4,
    VersionRange = 5,
    Date = 6,
    Time = 7,
    DateTime = 8,
    Uid = 9,
    Language = 11,
    Contents = 12,
    Controller = 13,
    Info = 14,
    SupportedLanguages = 15,
    SupportedOptions = 16,
    Prerequisites = 17,
    Dependency = 18,
    Properties = 19,
    Property = 20,
    Signatures = 21,
    CertificateChain = 22,
    Logo = 23,
    FileDescription = 24,
    Hash = 25,
    If = 26,
    ElseIf = 27,
    InstallBlock = 28,
    Expression = 29,
    Data = 30,
    DataUnit = 31,
    FileData = 32,
    SupportedOption = 33,
    ControllerChecksum = 34,
    DataChecksum = 35,
    Signature = 36,
    Blob = 37,
    SignatureAlgorithm = 38,
    SignatureCertificateChain = 39,
    DataIndex = 40,
    Capabilities = 41,
};

// Field names as they appear in messages ("SISController").
std::string fieldName(std::uint32_t type);
// True for the ids 1..41 that have a meaning (10 is unused).
bool isKnownField(std::uint32_t type);

enum class Compression : std::uint32_t { None = 0, Deflate = 1 };

enum Operation : std::uint32_t {
    OpInstall = 1,
    OpRun = 2,
    OpText = 4,
    OpNull = 8,
};

enum OperationOption : std::uint32_t {
    RunInstall = 0x2,
    RunUninstall = 0x4,
    RunByMimeType = 0x8,
    RunWaitEnd = 0x10,
    RunSendEnd = 0x20,
    TextContinue = 0x200,
    TextSkipIfNo = 0x400,
    TextAbortIfNo = 0x800,
    TextExitIfNo = 0x1000,
    TextForceAbort = 0x2000,
    InstallVerifyOnRestore = 0x8000,
};

// Install types (SISInfo). A preinstalled package describes files already on the media, so it
// may store no data unit at all.
enum InstallType : std::uint8_t {
    InstallApplication = 0,       // SA
    InstallAugmentation = 1,      // SP
    InstallPartialUpgrade = 2,    // PU
    InstallPreinstalledApp = 3,   // PA
    InstallPreinstalledPatch = 4, // PP
};

inline constexpr bool isPreinstalled(std::uint8_t installType)
{
    return installType == InstallPreinstalledApp || installType == InstallPreinstalledPatch;
}

inline constexpr std::uint32_t kHashSha1 = 1;
inline constexpr const char *kOidRsaSha1 = "1.2.840.113549.1.1.5";
inline constexpr const char *kOidDsaSha1 = "1.2.840.10040.4.3";

struct Version
{
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t build = 0;
    bool operator==(const Version &) const = default;
};

struct DateTime
{
    std::uint16_t year = 2000;
    std::uint8_t month = 0; // 0-based, as stored
    std::uint8_t day = 1;
    std::uint8_t hours = 0;
    std::uint8_t minutes = 0;
    std::uint8_t seconds = 0;
    bool operator==(const DateTime &) const = default;
};

struct FileDescription
{
    std::u16string target;
    std::u16string mimeType;
    std::optional<Bytes> capabilities;
    std::uint32_t hashAlgorithm = kHashSha1;
    Bytes hash;
    std::uint32_t operation = OpInstall;
    std::uint32_t operationOptions = 0;
    std::uint64_t length = 0; // bytes stored in the data unit (compressed or plain)
    std::uint64_t uncompressedLength = 0;
    std::uint32_t fileIndex = 0;
    bool operator==(const FileDescription &) const = default;
};

struct Dependency
{
    std::uint32_t uid = 0;
    Version from;
    std::optional<Version> to;
    std::vector<std::u16string> names; // one per language
    bool operator==(const Dependency &) const = default;
};

struct Property
{
    std::int32_t key = 0;
    std::int32_t value = 0;
    bool operator==(const Property &) const = default;
};

struct Info
{
    std::uint32_t uid = 0;
    std::u16string vendorUniqueName;
    std::vector<std::u16string> names;       // one per language
    std::vector<std::u16string> vendorNames; // one per language
    Version version;
    DateTime creationTime;
    std::uint8_t installType = 0;
    std::uint8_t installFlags = 0;
    bool operator==(const Info &) const = default;
};

struct Expression
{
    std::uint32_t op = 0;
    std::int32_t value = 0;
    std::optional<std::u16string> string;
    std::vector<Expression> operands; // left, then right; either may be absent
    bool operator==(const Expression &) const = default;
};

struct Controller;
struct IfBlock;

struct InstallBlock
{
    std::vector<FileDescription> files;
    std::vector<Controller> embedded;
    std::vector<IfBlock> ifs;
    bool operator==(const InstallBlock &) const;
};

struct ElseIf
{
    Expression condition;
    InstallBlock block;
    bool operator==(const ElseIf &) const = default;
};

struct IfBlock
{
    Expression condition;
    InstallBlock block;
    std::vector<ElseIf> elseIfs;
    bool operator==(const IfBlock &) const = default;
};

struct Signature
{
    std::u16string algorithm; // OID as text
    Bytes value;
    bool operator==(const Signature &) const = default;
};

struct SignatureChain
{
    std::vector<Signature> signatures;
    Bytes certificates; // DER certificates back to back, the signer's first
    bool operator==(const SignatureChain &) const = default;
};

struct Controller
{
    Info info;
    std::vector<std::vector<std::u16string>> options; // each option: one name per language
    std::vector<std::uint32_t> languages;
    std::vector<Dependency> targetDevices;
    std::vector<Dependency> dependencies;
    std::vector<Property> properties;
    std::optional<FileDescription> logo;
    InstallBlock installBlock;
    std::vector<SignatureChain> chains;
    std::uint32_t dataIndex = 0;
    bool operator==(const Controller &) const = default;
};

// Why a file's install target could put the file somewhere other than a folder of the drive the
// package is installed to, or an empty string when it cannot. A non-empty target starts with a
// drive ("!:" for the one the user picks, or a letter and ":") and a backslash, and no folder in
// it is "..". The finishing part of a sentence that starts with the target's name.
std::string targetProblem(std::u16string_view target);

// A target with its letters in one case, as the phone's file systems compare names: two targets
// that differ only in case name one file there. Covers the Latin, Greek and Cyrillic letters;
// other characters stay as they are.
std::u16string foldCase(std::u16string_view text);

inline bool InstallBlock::operator==(const InstallBlock &other) const
{
    return files == other.files && embedded == other.embedded && ifs == other.ifs;
}

} // namespace velmora::sis
