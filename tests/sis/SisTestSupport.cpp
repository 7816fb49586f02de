#include "SisTestSupport.h"

#include "export/sis/Crypto.h"
#include "export/sis/PkgFile.h"
#include "export/sis/SisReader.h"
#include "export/sis/SisWriter.h"
#include "export/sis/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace sistest {

std::string testData(const std::string &name)
{
    return std::string(VELMORA_TEST_DATA) + "/sis/" + name;
}

std::string certFile(const std::string &name)
{
    return std::string(VELMORA_CERT_DIR) + "/" + name;
}

Bytes readAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot open " << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

void writeAll(const std::string &path, const std::string &text)
{
    writeAll(path, Bytes(text.begin(), text.end()));
}

Bytes utf16le(const std::u16string &text, bool bom)
{
    Bytes out;
    if (bom) {
        out.push_back(0xFF);
        out.push_back(0xFE);
    }
    for (char16_t unit : text) {
        out.push_back(static_cast<std::uint8_t>(unit));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return out;
}

Bytes pseudoRandom(std::size_t size, std::uint32_t seed)
{
    Bytes out(size);
    std::uint32_t state = seed ? seed : 1;
    for (auto &byte : out) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return out;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-sis-XXXXXX").string();
    char *made = ::mkdtemp(pattern.data());
    if (!made)
        std::abort();
    m_path = made;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> TempDir::entries(const std::string &sub) const
{
    std::vector<std::string> names;
    for (const auto &entry :
         std::filesystem::directory_iterator(sub.empty() ? m_path : *this / sub))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::u16string skinPkgText(const std::string &outFolder, bool withMbm)
{
    const std::u16string out = velmora::sis::toUtf16(outFolder + "/");
    std::u16string text = u"&EN\r\n"
                          u"#{\"Tolvo MYSKIN\"}, (0xEB7A0591), 0, 6, 5, TYPE=SP\r\n"
                          u"[0x101F7961], 0, 0, 0, {\"Series60ProductID\"}\r\n"
                          u"%{\"quenard\"}\r\n"
                          u":\"quenard\"\r\n"
                          u"\"Text(0-0).txt\"-\"\", FT, TC\r\n";
    text += u"\"" + out + u"myskin.mif\"-\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mif\"\r\n";
    text += u"\"" + out + u"myskin.skin\"-\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.skin\"";
    if (withMbm)
        text += u"\r\n\"" + out + u"myskin.mbm\"-\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mbm\"";
    return text;
}

SkinFolder::SkinFolder(bool withMbmLine)
    : cert(root / "cert")
    , temp(root / "temp")
    , withMbm(withMbmLine)
{
    std::filesystem::create_directory(cert);
    std::filesystem::create_directory(temp);
    // Pictures are incompressible, the .skin text compresses well.
    mif = pseudoRandom(60 * 1024, 11);
    std::string skinText;
    for (int i = 0; i < 200; ++i)
        skinText +=
            "{ Colour " + std::to_string(i % 20) + " } = " + std::to_string(i * 7919) + "\r\n";
    skinText += "}";
    skin.assign(skinText.begin(), skinText.end());
    text = utf16le(u"Вы устанавливаете скин \"MYSKIN\" для программы TolvoICQ\r\n---\r\n"
                   u"Created by program \"Velmora for tolvoICQ\"\r\nVelmora team, 2026\r\n"
                   u"E-Mail: velmora@example.org");
    writeAll(temp + "/myskin.mif", mif);
    writeAll(temp + "/myskin.skin", skin);
    if (withMbm) {
        mbm = pseudoRandom(60 * 1024, 23);
        writeAll(temp + "/myskin.mbm", mbm);
    }
    writeAll(cert + "/Text(0-0).txt", text);
    writeAll(pkgPath(), utf16le(skinPkgText(temp, withMbm)));
    std::filesystem::copy_file(certFile("Velmora.cer"), cert + "/Velmora.cer");
    std::filesystem::copy_file(certFile("Velmora.key"), cert + "/Velmora.key");
}

Bytes buildSkinPackage(const SkinFolder &folder)
{
    const Bytes pkg = readAll(folder.pkgPath());
    auto description = velmora::sis::parsePkg(pkg, "SkinForTolvoICQ.pkg");
    EXPECT_TRUE(description.has_value()) << description.error().message;
    if (!description)
        return {};
    velmora::sis::BuildSettings settings;
    settings.searchDirectory = folder.cert;
    settings.creationTime = kFixedTime;
    auto built = velmora::sis::buildPackage(*description, "SkinForTolvoICQ.pkg", settings);
    EXPECT_TRUE(built.has_value()) << built.error().message;
    return built ? built->bytes : Bytes{};
}

Bytes packageStoringNoData(std::uint8_t installType)
{
    using namespace velmora::sis;
    Controller controller;
    controller.info.uid = 0x80000001;
    controller.info.vendorUniqueName = u"Vendor";
    controller.info.names = {u"Preinstalled"};
    controller.info.vendorNames = {u"Vendor"};
    controller.info.creationTime = kFixedTime;
    controller.info.installType = installType;
    controller.languages = {1};
    controller.targetDevices = {{0x101F7961, {0, 0, 0}, std::nullopt, {u"Series60ProductID"}}};
    const Bytes contents(300, 'p');
    const auto digest = sha1(contents);
    for (std::uint32_t index : {0u, 1u}) {
        FileDescription file;
        file.target = u"e:\\private\\80000001\\file" + toUtf16(std::to_string(index));
        file.hash.assign(digest.begin(), digest.end());
        file.length = contents.size();
        file.uncompressedLength = contents.size();
        file.fileIndex = index;
        controller.installBlock.files.push_back(std::move(file));
    }
    auto compressed = encodeCompressed(encodeController(controller), true);
    EXPECT_TRUE(compressed.has_value());
    return compressed ? assemblePackage(controller.info.uid, compressed->field, encodeData({}))
                      : Bytes{};
}

Bytes replaceController(const Bytes &file, const velmora::sis::Controller &controller)
{
    using namespace velmora::sis;
    auto package = readPackage(file);
    EXPECT_TRUE(package.has_value()) << package.error().message;
    auto compressed = encodeCompressed(encodeController(controller), true);
    EXPECT_TRUE(compressed.has_value());
    if (!package || !compressed)
        return {};
    return assemblePackage(package->uid3, compressed->field,
                           std::span(file).subspan(package->dataOffset, package->dataSize));
}

ProcessResult runProcess(const std::string &program, const std::vector<std::string> &args,
                         const std::string &workingDirectory)
{
    TempDir capture;
    const std::string outPath = capture / "out";
    const std::string errPath = capture / "err";
    std::vector<char *> argv;
    std::vector<std::string> storage{program};
    storage.insert(storage.end(), args.begin(), args.end());
    for (auto &arg : storage)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    ProcessResult result;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::chdir(workingDirectory.c_str()) != 0)
            ::_exit(127);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const Bytes out = readAll(outPath);
    const Bytes err = readAll(errPath);
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    return result;
}

} // namespace sistest
