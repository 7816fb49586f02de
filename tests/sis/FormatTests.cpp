// The package layout: checksums, the worked sizes of the skin package, each field of the skin
// package, the compression policy, and a writer/reader round trip over every field type.

#include "SisTestSupport.h"

#include "export/sis/Checksums.h"
#include "export/sis/Crypto.h"
#include "export/sis/Limits.h"
#include "export/sis/PkgFile.h"
#include "export/sis/Signer.h"
#include "export/sis/SisReader.h"
#include "export/sis/SisWriter.h"
#include "export/sis/Text.h"
#include "export/sis/Zlib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

using namespace velmora::sis;
using namespace sistest;

namespace {

std::uint32_t u32At(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// A minimal independent walk over 31-bit-length fields, to measure what the writer produced.
struct RawEntry
{
    std::uint32_t type;
    std::size_t dataOffset;
    std::size_t dataSize;
    std::size_t fullSize;
};

std::vector<RawEntry> walk(std::span<const std::uint8_t> bytes, std::size_t begin, std::size_t end,
                           bool typed, std::uint32_t elementType = 0)
{
    std::vector<RawEntry> entries;
    std::size_t at = begin;
    while (at < end) {
        RawEntry entry{};
        entry.type = typed ? u32At(bytes, at) : elementType;
        const std::size_t lengthAt = typed ? at + 4 : at;
        entry.dataSize = u32At(bytes, lengthAt);
        entry.dataOffset = lengthAt + 4;
        entry.fullSize = entry.dataOffset - at + (entry.dataSize + 3) / 4 * 4;
        entries.push_back(entry);
        at += entry.fullSize;
    }
    return entries;
}

Bytes digestOf(const Bytes &bytes)
{
    const auto digest = sha1(bytes);
    return Bytes(digest.begin(), digest.end());
}

} // namespace

TEST(SisChecksums, Crc16AndUidChecksumMatchKnownValues)
{
    const std::string check = "123456789";
    EXPECT_EQ(crc16(std::span(reinterpret_cast<const std::uint8_t *>(check.data()), check.size())),
              0x31C3);
    EXPECT_EQ(crc16({}), 0);
    EXPECT_EQ(uidChecksum(0x10201A7A, 0, 0xEB7A0591), 0x2B6C3F2Du);
    EXPECT_EQ(uidChecksum(0x10201A7A, 0, 0xE2047FAE), 0x5DD7B5DFu);
    EXPECT_EQ(uidChecksum(0x10201A7A, 0, 0x80000001), 0x0954F81Bu);
    const Bytes header = encodeHeader(0xEB7A0591);
    const Bytes expected = {0x7a, 0x1a, 0x20, 0x10, 0x00, 0x00, 0x00, 0x00,
                            0x91, 0x05, 0x7a, 0xeb, 0x2d, 0x3f, 0x6c, 0x2b};
    EXPECT_EQ(header, expected);
}

TEST(SisSkinPackage, HasTheWorkedSizesOfTheThreeFilePackage)
{
    SkinFolder folder;
    const Bytes file = buildSkinPackage(folder);
    auto package = readPackage(file);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 16), encodeHeader(0xEB7A0591));

    const Bytes &controller = package->controllerField;
    EXPECT_EQ(controller.size(), 860u);
    EXPECT_EQ(u32At(controller, 0), 13u);
    EXPECT_EQ(u32At(controller, 4), 852u);
    EXPECT_EQ(signedRegion(*package, 0).size(), 840u);

    const auto members = walk(controller, 8, controller.size(), true);
    ASSERT_EQ(members.size(), 7u);
    const std::uint32_t types[] = {14, 16, 15, 17, 19, 28, 40};
    const std::size_t sizes[] = {172, 20, 28, 128, 20, 472, 12};
    for (std::size_t i = 0; i < members.size(); ++i) {
        EXPECT_EQ(members[i].type, types[i]) << i;
        EXPECT_EQ(members[i].fullSize, sizes[i]) << i;
    }
    EXPECT_EQ(members[0].dataSize, 162u);

    // SISPrerequisites -> SISArray<SISDependency> -> the one dependency.
    const auto arrays =
        walk(controller, members[3].dataOffset, members[3].dataOffset + members[3].dataSize, true);
    ASSERT_EQ(arrays.size(), 2u);
    const auto devices = walk(controller, arrays[0].dataOffset + 4,
                              arrays[0].dataOffset + arrays[0].dataSize, false, 18);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].dataSize, 92u);

    // SISInstallBlock -> SISArray<SISFileDescription>.
    const auto block =
        walk(controller, members[5].dataOffset, members[5].dataOffset + members[5].dataSize, true);
    ASSERT_EQ(block.size(), 3u);
    const auto files = walk(controller, block[0].dataOffset + 4,
                            block[0].dataOffset + block[0].dataSize, false, 24);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].dataSize, 84u);
    EXPECT_EQ(files[1].dataSize, 164u);
    EXPECT_EQ(files[2].dataSize, 168u);
}

class SisSkinFields : public testing::TestWithParam<bool>
{
};

TEST_P(SisSkinFields, EveryFieldIsTheOneTheDescriptionAsksFor)
{
    const bool withMbm = GetParam();
    SkinFolder folder(withMbm);
    const Bytes file = buildSkinPackage(folder);
    auto package = readPackage(file);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    const Controller &controller = package->controller;

    EXPECT_EQ(package->uid3, 0xEB7A0591u);
    EXPECT_EQ(controller.info.uid, 0xEB7A0591u);
    EXPECT_EQ(controller.info.vendorUniqueName, u"quenard");
    EXPECT_EQ(controller.info.names, std::vector<std::u16string>{u"Tolvo MYSKIN"});
    EXPECT_EQ(controller.info.vendorNames, std::vector<std::u16string>{u"quenard"});
    EXPECT_EQ(controller.info.version, (Version{0, 6, 5}));
    EXPECT_EQ(controller.info.creationTime, kFixedTime);
    EXPECT_EQ(controller.info.installType, 1);
    EXPECT_EQ(controller.info.installFlags, 0);
    EXPECT_EQ(controller.languages, std::vector<std::uint32_t>{1});
    EXPECT_TRUE(controller.options.empty());
    EXPECT_TRUE(controller.dependencies.empty());
    EXPECT_TRUE(controller.properties.empty());
    EXPECT_FALSE(controller.logo.has_value());
    EXPECT_TRUE(controller.chains.empty());
    EXPECT_TRUE(controller.installBlock.embedded.empty());
    EXPECT_TRUE(controller.installBlock.ifs.empty());
    EXPECT_EQ(controller.dataIndex, 0u);
    ASSERT_EQ(controller.targetDevices.size(), 1u);
    const Dependency device{0x101F7961, {0, 0, 0}, std::nullopt, {u"Series60ProductID"}};
    EXPECT_EQ(controller.targetDevices[0], device);

    struct Expected
    {
        std::u16string target;
        std::uint32_t operation;
        const Bytes *contents;
    };
    std::vector<Expected> expected = {
        {u"", OpText, &folder.text},
        {u"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mif", OpInstall, &folder.mif},
        {u"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.skin", OpInstall, &folder.skin},
    };
    if (withMbm)
        expected.push_back(
            {u"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mbm", OpInstall, &folder.mbm});
    const auto &files = controller.installBlock.files;
    ASSERT_EQ(files.size(), expected.size());
    ASSERT_EQ(package->dataUnits.size(), 1u);
    ASSERT_EQ(package->dataUnits[0].size(), expected.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(files[i].target, expected[i].target);
        EXPECT_EQ(files[i].mimeType, u"");
        EXPECT_FALSE(files[i].capabilities.has_value());
        EXPECT_EQ(files[i].operation, expected[i].operation);
        EXPECT_EQ(files[i].operationOptions, 0u);
        EXPECT_EQ(files[i].fileIndex, i);
        EXPECT_EQ(files[i].hashAlgorithm, kHashSha1);
        EXPECT_EQ(files[i].hash, digestOf(*expected[i].contents));
        EXPECT_EQ(files[i].uncompressedLength, expected[i].contents->size());
        EXPECT_EQ(files[i].length, package->dataUnits[0][i].payloadSize);
    }
    // Random picture bytes do not shrink and are stored; the .skin text does and is deflated.
    EXPECT_EQ(package->dataUnits[0][1].algorithm, Compression::None);
    EXPECT_EQ(package->dataUnits[0][2].algorithm, Compression::Deflate);
    EXPECT_LT(files[2].length, files[2].uncompressedLength);
    EXPECT_EQ(file[package->dataUnits[0][2].payloadOffset], 0x78);
    EXPECT_EQ(file[package->dataUnits[0][2].payloadOffset + 1], 0x9C);
    EXPECT_EQ(package->controllerCompression, Compression::Deflate);

    ASSERT_TRUE(package->controllerChecksum.has_value());
    ASSERT_TRUE(package->dataChecksum.has_value());
    EXPECT_EQ(*package->controllerChecksum,
              crc16(std::span(file).subspan(package->compressedOffset, package->compressedSize)));
    EXPECT_EQ(*package->dataChecksum,
              crc16(std::span(file).subspan(package->dataOffset, package->dataSize)));
    EXPECT_EQ(package->dataOffset + package->dataSize, file.size());
    EXPECT_TRUE(checksumProblems(*package, file).empty());
    EXPECT_TRUE(hashProblems(*package, file).empty());
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutMbm, SisSkinFields, testing::Bool());

namespace {

Bytes buildFrom(const TempDir &dir, const std::string &pkgText)
{
    auto description = parsePkg(Bytes(pkgText.begin(), pkgText.end()), "t.pkg");
    EXPECT_TRUE(description.has_value()) << description.error().message;
    if (!description)
        return {};
    BuildSettings settings;
    settings.searchDirectory = dir.path();
    settings.creationTime = kFixedTime;
    auto built = buildPackage(*description, "t.pkg", settings);
    EXPECT_TRUE(built.has_value()) << built.error().message;
    return built ? built->bytes : Bytes{};
}

} // namespace

TEST(SisBuilder, StoresWhatDoesNotShrinkAndEverythingUnderNoCompress)
{
    TempDir dir;
    writeAll(dir / "tiny.txt", std::string("abcdef"));
    writeAll(dir / "zeros.bin", Bytes(4000, 0));
    const std::string lines =
        "\"tiny.txt\"-\"!:\\a\\tiny.txt\"\n\"zeros.bin\"-\"!:\\a\\zeros.bin\"\n";

    const Bytes normal = buildFrom(dir, "#{\"T\"},(0x80000001),1,0,0\n" + lines);
    auto package = readPackage(normal);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    EXPECT_EQ(package->dataUnits[0][0].algorithm, Compression::None);
    EXPECT_EQ(package->dataUnits[0][0].payloadSize, 6u);
    EXPECT_EQ(package->dataUnits[0][1].algorithm, Compression::Deflate);
    EXPECT_EQ(package->controllerCompression, Compression::Deflate);
    EXPECT_TRUE(hashProblems(*package, normal).empty());

    const Bytes plain = buildFrom(dir, "#{\"T\"},(0x80000001),1,0,0,NC\n" + lines);
    auto stored = readPackage(plain);
    ASSERT_TRUE(stored.has_value()) << stored.error().message;
    EXPECT_EQ(stored->dataUnits[0][1].algorithm, Compression::None);
    EXPECT_EQ(stored->dataUnits[0][1].payloadSize, 4000u);
    EXPECT_EQ(stored->controllerCompression, Compression::None);
    EXPECT_TRUE(hashProblems(*stored, plain).empty());
}

TEST(SisBuilder, ReusesTheIndexOfARepeatedSourceAndMarksSystemTargets)
{
    TempDir dir;
    writeAll(dir / "a.txt", std::string("first file"));
    writeAll(dir / "b.txt", std::string("second file"));
    const Bytes file = buildFrom(dir, "#{\"T\"},(0x80000001),1,0,0\n"
                                      "\"a.txt\"-\"!:\\sys\\bin\\a.txt\"\n"
                                      "\"b.txt\"-\"c:\\resource\\b.txt\"\n"
                                      "\"a.txt\"-\"!:\\private\\80000001\\a.txt\"\n"
                                      "\"b.txt\"-\"!:\\System\\Apps\\b.txt\"\n"
                                      "\"a.txt\"-\"!:\\SYS\\a.txt\"\n");
    auto package = readPackage(file);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    const auto &files = package->controller.installBlock.files;
    ASSERT_EQ(files.size(), 5u);
    EXPECT_EQ(package->dataUnits[0].size(), 2u);
    const std::uint32_t indexes[] = {0, 1, 0, 1, 0};
    const std::uint32_t options[] = {0x8000, 0x8000, 0, 0, 0};
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].fileIndex, indexes[i]) << i;
        EXPECT_EQ(files[i].operationOptions, options[i]) << i;
    }
}

TEST(SisBuilder, SaysWhatASourceThatIsNotAFileIs)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.mif");
    std::filesystem::create_directory(dir / "velmora-test-only-in-search-folder");
    ASSERT_EQ(::mkfifo((dir / "pipe.mif").c_str(), 0600), 0);
    BuildSettings settings;
    settings.searchDirectory = dir.path();
    settings.creationTime = kFixedTime;
    const auto failure = [&settings](const std::string &source) {
        const std::string pkg = "#{\"A\"}, (0x80000001), 1, 0, 0\n%{\"v\"}\n:\"v\"\n\"" + source +
                                "\"-\"!:\\data\\a\"\n";
        auto description = parsePkg(Bytes(pkg.begin(), pkg.end()), "s.pkg");
        EXPECT_TRUE(description.has_value()) << description.error().message;
        auto built = buildPackage(*description, "s.pkg", settings);
        return built ? std::string("built") : built.error().message;
    };
    EXPECT_EQ(failure(dir / "folder.mif"),
              "s.pkg(4): " + (dir / "folder.mif") + " is a folder, not a file");
    EXPECT_EQ(failure("/dev/null"), "s.pkg(4): /dev/null is not a regular file");
    EXPECT_EQ(failure(dir / "pipe.mif"),
              "s.pkg(4): " + (dir / "pipe.mif") + " is not a regular file");
    // Found only in the search folder, where it is a folder.
    EXPECT_EQ(failure("velmora-test-only-in-search-folder"),
              "s.pkg(4): " + (dir / "velmora-test-only-in-search-folder") +
                  " is a folder, not a file");
    EXPECT_EQ(failure(dir / "missing.mif"), "s.pkg(4): file not found: " + (dir / "missing.mif"));
    // A loop of links is there, just unusable: the system says why.
    std::filesystem::create_symlink(dir / "loop-b", dir / "loop-a");
    std::filesystem::create_symlink(dir / "loop-a", dir / "loop-b");
    EXPECT_EQ(failure(dir / "loop-a"),
              "s.pkg(4): " + (dir / "loop-a") + ": Too many levels of symbolic links");
}

// Sources are measured before any is read: too large alone, or too large together as taking the
// files out would write them (a source named twice is written twice), is refused unread. The
// files are sparse, so only their sizes cost anything.
TEST(SisBuilder, RefusesSourcesBeyondThePackageLimitsBeforeReadingThem)
{
    TempDir dir;
    const auto sized = [&dir](const std::string &name, std::uint64_t size) {
        const std::string path = dir / name;
        writeAll(path, std::string());
        std::filesystem::resize_file(path, size);
        return path;
    };
    const std::string over = sized("over.mif", kMaxPackagedFileSize + 1);
    const std::string atCap = sized("cap.mif", kMaxPackagedFileSize);
    const std::string part = sized("part.mbm", 100u << 20);
    BuildSettings settings;
    settings.creationTime = kFixedTime;
    const auto failure = [&settings](const std::vector<std::string> &sources) {
        std::string pkg = "#{\"A\"}, (0x80000001), 1, 0, 0\n%{\"v\"}\n:\"v\"\n";
        for (std::size_t i = 0; i < sources.size(); ++i)
            pkg += "\"" + sources[i] + "\"-\"!:\\data\\" + std::to_string(i) + "\"\n";
        auto description = parsePkg(Bytes(pkg.begin(), pkg.end()), "s.pkg");
        EXPECT_TRUE(description.has_value()) << description.error().message;
        auto built = buildPackage(*description, "s.pkg", settings);
        return built ? std::string("built") : built.error().message;
    };
    EXPECT_EQ(failure({part, over}), "s.pkg(5): " + over +
                                         " is 268435457 bytes, more than the 268435456 bytes "
                                         "(256 MiB) a file in a package may hold");
    EXPECT_EQ(failure({atCap, atCap, part}),
              "s.pkg(6): the files come to 641728512 bytes by this line, more than the 603979776 "
              "bytes (576 MiB) a package may hold in all");
    EXPECT_EQ(failure({part, part, part, part, part, part}),
              "s.pkg(9): the files come to 629145600 bytes by this line, more than the 603979776 "
              "bytes (576 MiB) a package may hold in all");
}

TEST(SisBuilder, CreationTimeIsUtcWithAZeroBasedMonth)
{
    const char *saved = std::getenv("SOURCE_DATE_EPOCH");
    const std::string previous = saved ? saved : "";
    ::setenv("SOURCE_DATE_EPOCH", "1767225599", 1); // 2025-12-31 23:59:59 UTC
    EXPECT_EQ(packageTimeNow(), (DateTime{2025, 11, 31, 23, 59, 59}));
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    EXPECT_EQ(packageTimeNow(), (DateTime{1970, 0, 1, 0, 0, 0}));
    if (saved)
        ::setenv("SOURCE_DATE_EPOCH", previous.c_str(), 1);
    else
        ::unsetenv("SOURCE_DATE_EPOCH");
}

namespace {

// A package using every field type the writer knows, with the files its controllers name.
Bytes richPackage(Controller &controller)
{
    const Bytes f0 = pseudoRandom(100, 1);
    const Bytes f1(3000, 'x');
    const Bytes g0 = pseudoRandom(50, 2);
    auto describe = [](const Bytes &contents, std::uint32_t index, bool deflate,
                       std::u16string target, Bytes &stored) {
        auto compressed = encodeCompressed(contents, deflate);
        EXPECT_TRUE(compressed.has_value());
        stored = compressed->field;
        FileDescription file;
        file.target = std::move(target);
        file.hash = digestOf(contents);
        file.length = compressed->payloadSize;
        file.uncompressedLength = contents.size();
        file.fileIndex = index;
        return file;
    };
    Bytes s0, s1, t0;
    FileDescription d0 = describe(f0, 0, true, u"!:\\sys\\bin\\app.exe", s0);
    d0.capabilities = Bytes{0x01, 0x02, 0x00, 0x00};
    d0.operation = OpRun;
    d0.operationOptions = RunInstall | RunWaitEnd;
    FileDescription d1 = describe(f1, 1, true, u"!:\\data\\logo.png", s1);
    d1.mimeType = u"image/png";
    FileDescription e0 = describe(g0, 0, false, u"!:\\data\\embedded.dat", t0);

    Controller embedded;
    embedded.info.uid = 0x80000002;
    embedded.info.names = {u"Inner"};
    embedded.info.vendorNames = {u"V"};
    embedded.languages = {1};
    embedded.installBlock.files = {e0};
    embedded.dataIndex = 1;

    controller.info.uid = 0x80000001;
    controller.info.vendorUniqueName = u"Vendor";
    controller.info.names = {u"Name", u"Nom"};
    controller.info.vendorNames = {u"V", u"V fr"};
    controller.info.version = {2, -1, 32767};
    controller.info.creationTime = {2030, 5, 15, 1, 2, 3};
    controller.info.installType = 0;
    controller.info.installFlags = 3;
    controller.options = {{u"Option A", u"Option A fr"}};
    controller.languages = {1, 2};
    controller.targetDevices = {{0x101F7961, {3, 0, 0}, Version{3, 9, 99}, {u"S60", u"S60 fr"}}};
    controller.dependencies = {{0x10001234, {1, 0, 0}, std::nullopt, {u"Lib", u"Lib fr"}}};
    controller.properties = {{1, -5}, {7, 9}};
    controller.logo = d1;

    Expression condition;
    condition.op = 1;
    condition.value = -3;
    condition.string = u"x";
    condition.operands = {Expression{13, 0x10201A7A, std::nullopt, {}},
                          Expression{10, 4, u"option", {}}};
    ElseIf elseIf{Expression{10, 1, std::nullopt, {}}, InstallBlock{{d1}, {}, {}}};
    IfBlock ifBlock{condition, InstallBlock{{d0}, {}, {}}, {elseIf}};
    controller.installBlock.files = {d0};
    controller.installBlock.embedded = {embedded};
    controller.installBlock.ifs = {ifBlock};
    controller.chains = {};
    controller.dataIndex = 0;

    auto compressed = encodeCompressed(encodeController(controller), true);
    EXPECT_TRUE(compressed.has_value());
    return assemblePackage(0x80000001, compressed->field, encodeData({{s0, s1}, {t0}}));
}

} // namespace

TEST(SisReader, ReadsBackEveryFieldTypeTheWriterWrites)
{
    Controller controller;
    const Bytes file = richPackage(controller);
    auto package = readPackage(file);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    EXPECT_EQ(package->controller, controller);
    EXPECT_EQ(package->dataUnits.size(), 2u);
    EXPECT_TRUE(checksumProblems(*package, file).empty());
    EXPECT_TRUE(hashProblems(*package, file).empty());
    EXPECT_EQ(allFiles(package->controller).size(), 4u); // logo, block, if, else-if
}

// A preinstalled package's files are already on the media, so it may ship without a data unit;
// every other kind of package must store the files it describes.
TEST(SisReader, OnlyPreinstalledPackagesMayStoreNoData)
{
    for (const std::uint8_t type : {InstallPreinstalledApp, InstallPreinstalledPatch}) {
        const Bytes file = packageStoringNoData(type);
        auto package = readPackage(file);
        ASSERT_TRUE(package.has_value()) << int(type) << ": " << package.error().message;
        EXPECT_TRUE(package->dataUnits.empty());
        EXPECT_EQ(package->controller.installBlock.files.size(), 2u);
        EXPECT_TRUE(checksumProblems(*package, file).empty());
        EXPECT_TRUE(hashProblems(*package, file).empty());
        EXPECT_TRUE(inspectPackage(*package, file).valid());
    }
    for (const std::uint8_t type :
         {InstallApplication, InstallAugmentation, InstallPartialUpgrade}) {
        auto package = readPackage(packageStoringNoData(type));
        ASSERT_FALSE(package.has_value()) << int(type);
        EXPECT_EQ(package.error().message, "SISDataIndex 0 is past the 0 data units (only a "
                                           "preinstalled package, type PA or PP, may store none)");
    }

    // A preinstalled package that does store a data unit must store what it describes.
    auto package = readPackage(packageStoringNoData(InstallPreinstalledApp));
    ASSERT_TRUE(package.has_value());
    auto stored = encodeCompressed(Bytes(300, 'p'), false);
    ASSERT_TRUE(stored.has_value());
    auto controller = encodeCompressed(encodeController(package->controller), true);
    ASSERT_TRUE(controller.has_value());
    const Bytes oneFileStored =
        assemblePackage(0x80000001, controller->field, encodeData({{stored->field}}));
    auto refused = readPackage(oneFileStored);
    ASSERT_FALSE(refused.has_value());
    EXPECT_NE(refused.error().message.find("refers to file 1, past the 1 files of data unit 0"),
              std::string::npos)
        << refused.error().message;
}

TEST(SisReader, DecodesThe63BitLengthFormAndNotBit27)
{
    SkinFolder folder;
    const Bytes file = buildSkinPackage(folder);
    const std::uint32_t contentsLength = u32At(file, 20);

    // The same package with SISContents' length written in the two-word form.
    Bytes wide(file.begin(), file.begin() + 20);
    appendU32(wide, contentsLength | 0x80000000u);
    appendU32(wide, 0);
    wide.insert(wide.end(), file.begin() + 24, file.end());
    auto package = readPackage(wide);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    EXPECT_EQ(package->compressedOffset, 52u); // 16 header + 12 contents header + 2 × 12 CRCs
    EXPECT_TRUE(checksumProblems(*package, wide).empty());
    EXPECT_TRUE(hashProblems(*package, wide).empty());

    // Bit 27 is an ordinary length bit: the length then runs past the end of the file.
    Bytes bit27 = file;
    bit27[23] |= 0x08;
    auto refused = readPackage(bit27);
    ASSERT_FALSE(refused.has_value());
    EXPECT_NE(refused.error().message.find("offset 16: SISContents length"), std::string::npos)
        << refused.error().message;
}

// Each complaint finishes a sentence that starts with what was being decompressed ("the
// compressed controller …").
TEST(SisZlib, EveryFailureReadsAsTheEndOfASentence)
{
    const std::vector<std::uint8_t> plain(300, 'a');
    auto packed = velmora::sis::deflateZlib(plain);
    ASSERT_TRUE(packed);
    const auto failure = [](std::span<const std::uint8_t> bytes, std::uint64_t size) {
        const auto result = velmora::sis::inflateZlib(bytes, size);
        return result ? std::string() : result.error();
    };
    std::vector<std::uint8_t> corrupt = *packed;
    corrupt[2] ^= 0xFF;
    EXPECT_EQ(failure(corrupt, 300).rfind("holds corrupt zlib data", 0), 0u)
        << failure(corrupt, 300);
    const std::span<const std::uint8_t> cut(packed->data(), packed->size() - 6);
    EXPECT_EQ(failure(cut, 300), "ends before its zlib stream does");
    std::vector<std::uint8_t> longer = *packed;
    longer.insert(longer.end(), {1, 2, 3});
    EXPECT_EQ(failure(longer, 300), "is followed by 3 bytes after the end of its zlib stream");
    EXPECT_EQ(failure(*packed, 299).rfind("decompresses to more than the declared 299", 0), 0u);
}
