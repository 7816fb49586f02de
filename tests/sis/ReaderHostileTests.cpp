// Damaged and hostile packages: every defect is reported with its offset, nothing crashes, and no
// single-byte change to a valid package goes unnoticed.

#include "SisTestSupport.h"

#include "export/sis/SisReader.h"
#include "export/sis/SisWriter.h"
#include "export/sis/Text.h"

#include <gtest/gtest.h>

#include <functional>

using namespace velmora::sis;
using namespace sistest;

namespace {

// A small valid package: the skin description with tiny files, so its controller has the
// worked sizes of the real one.
const Bytes &smallPackage()
{
    static const Bytes package = [] {
        TempDir dir;
        writeAll(dir / "Text(0-0).txt", utf16le(u"Hello"));
        writeAll(dir / "a.mif", Bytes(300, 'm'));
        writeAll(dir / "a.skin", std::string("skin"));
        const std::string pkg = "&EN\n#{\"Tolvo MYSKIN\"}, (0xEB7A0591), 0, 6, 5, TYPE=SP\n"
                                "[0x101F7961], 0, 0, 0, {\"Series60ProductID\"}\n"
                                "%{\"quenard\"}\n:\"quenard\"\n\"Text(0-0).txt\"-\"\", FT, TC\n"
                                "\"a.mif\"-\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mif\"\n"
                                "\"a.skin\"-\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.skin\"\n";
        auto description = parsePkg(Bytes(pkg.begin(), pkg.end()), "a.pkg");
        BuildSettings settings;
        settings.searchDirectory = dir.path();
        settings.creationTime = kFixedTime;
        return buildPackage(*description, "a.pkg", settings)->bytes;
    }();
    return package;
}

// Replaces the controller of `file` with `controllerField`, keeping the header and the data.
Bytes withController(const Bytes &file, const Bytes &controllerField,
                     std::optional<std::uint64_t> declaredSize = std::nullopt)
{
    auto package = readPackage(file);
    EXPECT_TRUE(package.has_value());
    auto compressed = encodeCompressed(controllerField, true);
    Bytes field = compressed->field;
    if (declaredSize)
        for (int i = 0; i < 8; ++i)
            field[12 + i] = static_cast<std::uint8_t>(*declaredSize >> (8 * i));
    Bytes out(file.begin(), file.begin() + 16);
    appendBytes(out, encodeContents(
                         field, std::span(file).subspan(package->dataOffset, package->dataSize)));
    return out;
}

Bytes editController(const std::function<void(Bytes &)> &edit)
{
    auto package = readPackage(smallPackage());
    Bytes controller = package->controllerField;
    edit(controller);
    return withController(smallPackage(), controller);
}

void putU32(Bytes &bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Controller offsets of the small package: SISController header 0..8, SISInfo at 8 (its
// SISUid at 16, vendor string at 28 with data 36..50 and padding 50..52), SISSupportedOptions
// at 8 + 172 = 180, SISSupportedLanguages at 200 (its array's element type at 216).
constexpr std::size_t kVendorPadding = 50;
constexpr std::size_t kOptionsAt = 180;
constexpr std::size_t kLanguagesAt = 200;

} // namespace

TEST(SisHostile, EveryTruncationIsRefused)
{
    const Bytes &file = smallPackage();
    ASSERT_TRUE(readPackage(file).has_value());
    for (std::size_t size = 0; size < file.size(); ++size) {
        auto package = readPackage(std::span(file).first(size));
        EXPECT_FALSE(package.has_value()) << "accepted a package cut to " << size << " bytes";
    }
}

TEST(SisHostile, NoSingleByteChangeGoesUnnoticed)
{
    const Bytes &file = smallPackage();
    for (std::size_t at = 0; at < file.size(); ++at) {
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            Bytes damaged = file;
            damaged[at] ^= flip;
            auto package = readPackage(damaged);
            if (!package)
                continue;
            const bool noticed = !checksumProblems(*package, damaged).empty() ||
                                 !hashProblems(*package, damaged).empty();
            EXPECT_TRUE(noticed) << "byte " << at << " ^ " << int(flip) << " went unnoticed";
        }
    }
}

TEST(SisHostile, RandomDamageNeverCrashesTheReader)
{
    const Bytes &file = smallPackage();
    std::uint32_t state = 12345;
    auto random = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = file;
        const int changes = 1 + random() % 6;
        for (int i = 0; i < changes; ++i)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        auto package = readPackage(damaged);
        if (!package) {
            ++refused;
            EXPECT_FALSE(package.error().message.empty());
            continue;
        }
        // Whatever is accepted can be checked without trouble too.
        checksumProblems(*package, damaged);
        hashProblems(*package, damaged);
    }
    EXPECT_GT(refused, 2000);
}

struct Defect
{
    const char *name;
    std::function<Bytes()> make;
    std::string message; // expected within the error
};

void PrintTo(const Defect &defect, std::ostream *out)
{
    *out << defect.name;
}

class SisDefects : public testing::TestWithParam<Defect>
{
};

TEST_P(SisDefects, AreRefusedWithTheirOffset)
{
    const Bytes damaged = GetParam().make();
    auto package = readPackage(damaged);
    ASSERT_FALSE(package.has_value());
    EXPECT_NE(package.error().message.find(GetParam().message), std::string::npos)
        << package.error().message;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SisDefects,
    testing::Values(
        Defect{"ForeignUid1",
               [] {
                   Bytes file = smallPackage();
                   putU32(file, 0, 0x10000419);
                   return file;
               },
               "offset 0: UID1 is 0x10000419, not 0x10201A7A"},
        Defect{"LegacyPackage",
               [] {
                   Bytes file = smallPackage();
                   putU32(file, 0, 0x100039CE);
                   putU32(file, 8, 0x10000419);
                   return file;
               },
               "offset 0: a legacy (pre-Symbian OS 9) package"},
        Defect{"WrongUidChecksum",
               [] {
                   Bytes file = smallPackage();
                   file[12] ^= 1;
                   return file;
               },
               "offset 12: UID checksum is 0x2B6C3F2C, expected 0x2B6C3F2D"},
        Defect{"TrailingBytes",
               [] {
                   Bytes file = smallPackage();
                   file.insert(file.end(), 4, 0);
                   return file;
               },
               "4 bytes follow SISContents"},
        Defect{
            "ControllerSizeLies",
            [] {
                auto package = readPackage(smallPackage());
                return withController(smallPackage(), package->controllerField,
                                      package->controllerField.size() + 4);
            },
            "offset 68: the compressed controller decompresses to 860 bytes, not the declared 864"},
        Defect{"ZipBombSize",
               [] {
                   auto package = readPackage(smallPackage());
                   return withController(smallPackage(), package->controllerField,
                                         std::uint64_t{1} << 40);
               },
               "more than zlib can produce"},
        Defect{"InfoPastItsParent",
               [] { return editController([](Bytes &c) { putU32(c, 12, 5000); }); },
               "controller offset 8: SISInfo length 5000 runs past the end of SISController"},
        Defect{"NonZeroPadding",
               [] { return editController([](Bytes &c) { c[kVendorPadding] = 0x20; }); },
               "controller offset 50: non-zero padding after SISString"},
        Defect{"WrongArrayElementType",
               [] { return editController([](Bytes &c) { putU32(c, kLanguagesAt + 16, 1); }); },
               "controller offset 208: SISArray holds SISString elements where SISLanguage "
               "elements belong"},
        Defect{"FieldsOutOfOrder",
               [] {
                   return editController([](Bytes &c) {
                       Bytes options(c.begin() + kOptionsAt, c.begin() + kLanguagesAt);
                       Bytes languages(c.begin() + kLanguagesAt, c.begin() + kLanguagesAt + 28);
                       std::copy(languages.begin(), languages.end(), c.begin() + kOptionsAt);
                       std::copy(options.begin(), options.end(), c.begin() + kOptionsAt + 28);
                   });
               },
               "controller offset 180: SISSupportedOptions expected, found SISSupportedLanguages"},
        Defect{"KnownFieldAtTheEnd",
               [] {
                   return editController([](Bytes &c) {
                       appendBytes(c, encodeField(FieldType::Version, Bytes(12, 0)));
                       putU32(c, 4, static_cast<std::uint32_t>(c.size() - 8));
                   });
               },
               "controller offset 860: unexpected SISVersion in SISController"},
        Defect{"UidDiffersFromHeader",
               [] { return editController([](Bytes &c) { putU32(c, 24, 0x80000001); }); },
               "the package UID in SISInfo, 0x80000001, differs from UID3 0xEB7A0591"},
        Defect{"FileIndexPastTheData",
               [] {
                   auto package = readPackage(smallPackage());
                   Controller controller = package->controller;
                   controller.installBlock.files[1].fileIndex = 7;
                   return withController(smallPackage(), encodeController(controller));
               },
               "refers to file 7, past the 3 files of data unit 0"},
        Defect{"NamesForTwoLanguages",
               [] {
                   auto package = readPackage(smallPackage());
                   Controller controller = package->controller;
                   controller.info.names.push_back(u"second");
                   return withController(smallPackage(), encodeController(controller));
               },
               "the package name list has 2 entries for 1 languages"},
        Defect{"MonthTwelve",
               [] {
                   auto package = readPackage(smallPackage());
                   Controller controller = package->controller;
                   controller.info.creationTime.month = 12;
                   return withController(smallPackage(), encodeController(controller));
               },
               "SISDate month 12 / day 7 out of range"},
        Defect{"NestingBomb",
               [] {
                   auto package = readPackage(smallPackage());
                   Controller controller = package->controller;
                   Expression deep;
                   for (int i = 0; i < 200; ++i)
                       deep = Expression{1, 0, std::nullopt, {deep}};
                   controller.installBlock.ifs.push_back(IfBlock{deep, {}, {}});
                   return withController(smallPackage(), encodeController(controller));
               },
               "expressions nested too deeply"}),
    [](const testing::TestParamInfo<Defect> &info) { return std::string(info.param.name); });

TEST(SisHostile, UnknownTrailingFieldsAreSkipped)
{
    const Bytes file = editController([](Bytes &c) {
        appendBytes(c, encodeField(static_cast<FieldType>(99), Bytes{1, 2, 3}));
        putU32(c, 4, static_cast<std::uint32_t>(c.size() - 8));
    });
    auto package = readPackage(file);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    EXPECT_EQ(package->controller, readPackage(smallPackage())->controller);
}

TEST(SisHostile, DamagedFileDataIsReportedByHashAndChecksum)
{
    Bytes file = smallPackage();
    auto package = readPackage(file);
    const FileDataRef &mif = package->dataUnits[0][1];
    ASSERT_EQ(mif.algorithm, Compression::Deflate);
    file[mif.payloadOffset + mif.payloadSize / 2] ^= 0x10;
    auto damaged = readPackage(file);
    ASSERT_TRUE(damaged.has_value());
    const auto checksums = checksumProblems(*damaged, file);
    ASSERT_EQ(checksums.size(), 1u);
    EXPECT_EQ(checksums[0].rfind("data checksum is", 0), 0u);
    const auto hashes = hashProblems(*damaged, file);
    ASSERT_EQ(hashes.size(), 1u);
    EXPECT_EQ(hashes[0].rfind("file 1 (\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mif\"): ", 0),
              0u)
        << hashes[0];
}

namespace {

Bytes withMifTarget(const std::u16string &target)
{
    auto package = readPackage(smallPackage());
    Controller controller = package->controller;
    controller.installBlock.files[1].target = target;
    return withController(smallPackage(), encodeController(controller));
}

} // namespace

// A target is where the device writes the file: one that climbs out with ".." or names no drive
// would put it anywhere, so the package is refused and the message names the target.
TEST(SisHostile, TargetsThatLeaveTheirDriveAreRefusedByName)
{
    const std::vector<std::pair<std::u16string, std::string>> refused = {
        {u"..\\..\\sys\\bin\\evil.exe", "the target \"..\\..\\sys\\bin\\evil.exe\" has no drive"},
        {u"\\sys\\bin\\x.exe", "the target \"\\sys\\bin\\x.exe\" has no drive"},
        {u"x.exe", "the target \"x.exe\" has no drive"},
        {u"!:x.exe", "the target \"!:x.exe\" has no drive"},
        {u"!:\\private\\..\\sys\\bin\\x.exe",
         "the target \"!:\\private\\..\\sys\\bin\\x.exe\" climbs out of its folder with \"..\""},
        {u"c:\\data/../../sys/bin/x.exe",
         "the target \"c:\\data/../../sys/bin/x.exe\" climbs out of its folder"},
        {u"!:\\..", "the target \"!:\\..\" climbs out of its folder"},
        {u"", "a file to install has an empty target"},
    };
    for (const auto &[target, message] : refused) {
        auto package = readPackage(withMifTarget(target));
        ASSERT_FALSE(package.has_value()) << "accepted \"" << toUtf8(target) << "\"";
        EXPECT_NE(package.error().message.find("controller offset "), std::string::npos)
            << package.error().message;
        EXPECT_NE(package.error().message.find(message), std::string::npos)
            << package.error().message;
    }
    for (const std::u16string target :
         {u"!:\\System\\Apps\\x.mif", u"E:\\data\\..x\\x..\\...\\.\\y", u"z:\\a"}) {
        auto package = readPackage(withMifTarget(target));
        EXPECT_TRUE(package.has_value()) << toUtf8(target) << ": " << package.error().message;
    }
    // The text file shows its contents and installs nothing: it needs no target.
    auto small = readPackage(smallPackage());
    ASSERT_TRUE(small.has_value()) << small.error().message;
    EXPECT_EQ(small->controller.installBlock.files[0].operation, OpText);
    EXPECT_EQ(small->controller.installBlock.files[0].target, u"");
}
