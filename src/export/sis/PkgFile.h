#pragma once

// Reader for the package description (.pkg) that makesis turns into a package: the language
// line, the header, vendor names, target devices and dependencies, and plain file lines with their
// operation and options. Conditional blocks, embedded packages and language-dependent file lists
// are refused with a clear message.

#include "export/sis/SisTypes.h"

#include <expected>
#include <span>
#include <string>

namespace velmora::sis {

struct PkgDependency
{
    Dependency dependency;
    int line = 0;
};

struct PkgFileLine
{
    std::string source; // UTF-8, backslashes turned into slashes
    std::u16string target;
    std::u16string mimeType;
    std::uint32_t operation = OpInstall;
    std::uint32_t options = 0;
    int line = 0;
};

struct PackageDescription
{
    std::vector<std::uint32_t> languages;
    std::vector<std::u16string> names;
    std::uint32_t uid = 0;
    Version version;
    std::uint8_t installType = 0;
    std::uint8_t installFlags = 0;
    bool noCompress = false;
    std::vector<std::u16string> vendorNames;
    std::u16string vendorUniqueName;
    std::vector<PkgDependency> targetDevices;
    std::vector<PkgDependency> dependencies;
    std::vector<PkgFileLine> files;
    std::vector<std::string> warnings; // "name(line): warning: ..."
};

// Longest quoted string makesis accepts, in characters.
inline constexpr std::size_t kMaxPkgString = 254;

// `bytes` is UTF-16LE or UTF-16BE with a byte order mark, or UTF-8 (with or without one). `name`
// is used in messages: "SkinForTolvoICQ.pkg(6): ...".
std::expected<PackageDescription, Error> parsePkg(std::span<const std::uint8_t> bytes,
                                                  const std::string &name);

// Symbian language code of a two-letter .pkg language name, or 0.
std::uint32_t languageCode(std::string_view name);

} // namespace velmora::sis
