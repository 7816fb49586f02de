#pragma once

#include "export/sis/PackageBuilder.h"
#include "export/sis/SisTypes.h"

#include <string>
#include <vector>

namespace sistest {

using velmora::sis::Bytes;

std::string testData(const std::string &name); // tests/data/sis/<name>
std::string certFile(const std::string &name); // data/cert/<name>

Bytes readAll(const std::string &path);
void writeAll(const std::string &path, const Bytes &bytes);
void writeAll(const std::string &path, const std::string &text);
Bytes utf16le(const std::u16string &text, bool bom = true);
Bytes pseudoRandom(std::size_t size, std::uint32_t seed);

class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return m_path; }
    std::string operator/(const std::string &name) const { return m_path + "/" + name; }
    std::vector<std::string> entries(const std::string &sub = {}) const;

private:
    std::string m_path;
};

// A program folder laid out the way the save dialog leaves it before running the tools: temp/
// with the skin files, cert/ with the description, the install text, and the certificate and key.
struct SkinFolder
{
    explicit SkinFolder(bool withMbm = false);
    TempDir root;
    std::string cert;
    std::string temp;
    bool withMbm;
    Bytes mif;
    Bytes skin;
    Bytes mbm;
    Bytes text;
    std::string pkgPath() const { return cert + "/SkinForTolvoICQ.pkg"; }
};

// The package description text as the program writes it (before UTF-16 encoding).
std::u16string skinPkgText(const std::string &outFolder, bool withMbm);

inline constexpr velmora::sis::DateTime kFixedTime{2026, 11, 7, 20, 15, 30};

// Builds the folder's package in-process, relative sources looked up in its cert/ folder.
Bytes buildSkinPackage(const SkinFolder &folder);

// An unsigned package of `installType` whose two files are described but not stored: its SISData
// holds no data unit at all, the way a preinstalled package (PA, PP) may be shipped.
Bytes packageStoringNoData(std::uint8_t installType);

// `file` with its controller replaced by `controller`, re-compressed; header and data are kept.
Bytes replaceController(const Bytes &file, const velmora::sis::Controller &controller);

struct ProcessResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

ProcessResult runProcess(const std::string &program, const std::vector<std::string> &args,
                         const std::string &workingDirectory);

} // namespace sistest
