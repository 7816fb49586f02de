#pragma once

// Turns a parsed package description into a complete unsigned package: reads the named files,
// deflates them (kept only when strictly smaller), hashes them, and writes the controller and the
// data section.

#include "export/sis/PkgFile.h"

#include <expected>
#include <string>

namespace velmora::sis {

struct BuildSettings
{
    // Tried when a relative source path does not exist relative to the current folder.
    std::string searchDirectory;
    DateTime creationTime;
};

struct BuiltPackage
{
    Bytes bytes;
    std::vector<std::string> log; // one line per file, for makesis -v
};

// Errors name the description and the line of the file that failed: "X.pkg(6): file not found:
// Text(0-0).txt". Every source is looked at before any is read: one above the size a packaged
// file may have, or sources that together pass the total a package may hold (Limits.h, counted
// once per file line, as taking the files out writes them), are refused unread.
std::expected<BuiltPackage, Error> buildPackage(const PackageDescription &description,
                                                const std::string &pkgName,
                                                const BuildSettings &settings);

// The current time as a package stores it: UTC, month counted from 0. SOURCE_DATE_EPOCH, when
// set to a number of seconds, replaces the clock so that builds can be reproduced.
DateTime packageTimeNow();

} // namespace velmora::sis
