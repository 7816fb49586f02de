// makesis and signsis as the save dialog runs them: in the cert/ folder, with the description's
// plain file name, and the signing line with the password. Also what they leave behind on errors.

#include "SisTestSupport.h"

#include "export/sis/Signer.h"
#include "export/sis/SisReader.h"
#include "export/sis/Text.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velmora::sis;
using namespace sistest;

namespace {

const std::vector<std::string> kSignArgs = {
    "-s", "SkinForTolvoICQ.sis", "SkinForTolvoICQ.sisx", "Velmora.cer", "Velmora.key", "kite408"};

ProcessResult makesis(const SkinFolder &folder,
                      std::vector<std::string> args = {"SkinForTolvoICQ.pkg"})
{
    return runProcess(VELMORA_MAKESIS, args, folder.cert);
}

ProcessResult signsis(const SkinFolder &folder, const std::vector<std::string> &args)
{
    return runProcess(VELMORA_SIGNSIS, args, folder.cert);
}

} // namespace

class SisToolsRunAsTheSaveDialogDoes : public testing::TestWithParam<bool>
{
};

TEST_P(SisToolsRunAsTheSaveDialogDoes, ProduceAVerifiedPackageWithTheDescribedFiles)
{
    SkinFolder folder(GetParam());
    const auto made = makesis(folder);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(made.out, "Processing SkinForTolvoICQ.pkg...\nCreated  SkinForTolvoICQ.sis.\n");
    EXPECT_EQ(made.err, "");
    const auto signedRun = signsis(folder, kSignArgs);
    ASSERT_EQ(signedRun.exitCode, 0) << signedRun.err;

    const Bytes file = readAll(folder.cert + "/SkinForTolvoICQ.sisx");
    auto package = readPackage(file);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    const PackageReport report = inspectPackage(*package, file);
    EXPECT_TRUE(report.valid());
    ASSERT_EQ(report.chains.size(), 1u);
    EXPECT_EQ(report.chains[0].certificateInfo.at(0).subject,
              "CN=Velmora for TolvoICQ,O=Velmora,C=RU");

    std::vector<std::u16string> targets;
    for (const auto &described : package->controller.installBlock.files)
        targets.push_back(described.target);
    std::vector<std::u16string> expected = {u"", u"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mif",
                                            u"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.skin"};
    if (GetParam())
        expected.push_back(u"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mbm");
    EXPECT_EQ(targets, expected);

    const std::vector<std::string> leftovers = folder.root.entries("cert");
    EXPECT_EQ(leftovers, (std::vector<std::string>{"SkinForTolvoICQ.pkg", "SkinForTolvoICQ.sis",
                                                   "SkinForTolvoICQ.sisx", "Text(0-0).txt",
                                                   "Velmora.cer", "Velmora.key"}));

    const auto printed = signsis(folder, {"-p", "SkinForTolvoICQ.sisx"});
    EXPECT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_NE(printed.out.find("Signature 1: RSA-SHA1 (1.2.840.113549.1.1.5), 256 bytes: verifies"),
              std::string::npos)
        << printed.out;
    EXPECT_EQ(printed.out.find("kite408"), std::string::npos);

    const auto removed = signsis(folder, {"-u", "SkinForTolvoICQ.sisx", "again.sis"});
    ASSERT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(readAll(folder.cert + "/again.sis"), readAll(folder.cert + "/SkinForTolvoICQ.sis"));
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutMbm, SisToolsRunAsTheSaveDialogDoes, testing::Bool());

TEST(SisTools, MakesisNamesTheLineOfAMissingFileAndWritesNothing)
{
    SkinFolder folder;
    std::remove((folder.cert + "/Text(0-0).txt").c_str());
    const auto made = makesis(folder);
    EXPECT_EQ(made.exitCode, 1);
    EXPECT_EQ(made.err, "SkinForTolvoICQ.pkg(6): file not found: Text(0-0).txt\n");
    EXPECT_EQ(folder.root.entries("cert"),
              (std::vector<std::string>{"SkinForTolvoICQ.pkg", "Velmora.cer", "Velmora.key"}));
}

TEST(SisTools, MakesisChecksItsArgumentsAndHonoursOutfile)
{
    SkinFolder folder;
    EXPECT_EQ(makesis(folder, {}).exitCode, 1);
    const auto badName = makesis(folder, {"SkinForTolvoICQ.txt"});
    EXPECT_EQ(badName.exitCode, 1);
    EXPECT_NE(badName.err.find("must end in .pkg"), std::string::npos);
    EXPECT_EQ(makesis(folder, {"SkinForTolvoICQ.pkg", "out.zip"}).exitCode, 1);
    const auto named = makesis(folder, {"-v", "SkinForTolvoICQ.pkg", "other.sis"});
    ASSERT_EQ(named.exitCode, 0) << named.err;
    EXPECT_NE(named.out.find("Text(0-0).txt -> \"\""), std::string::npos) << named.out;
    auto package = readPackage(readAll(folder.cert + "/other.sis"));
    EXPECT_TRUE(package.has_value());
}

TEST(SisTools, SignsisFailureLeavesNoOutputAndKeepsAnOlderOne)
{
    SkinFolder folder;
    ASSERT_EQ(makesis(folder).exitCode, 0);
    writeAll(folder.cert + "/SkinForTolvoICQ.sisx", std::string("older package"));

    std::vector<std::string> wrongPassword = kSignArgs;
    wrongPassword.back() = "not-the-password";
    const auto refused = signsis(folder, wrongPassword);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Velmora.key: cannot decrypt the private key"), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.err.find("not-the-password"), std::string::npos);
    EXPECT_EQ(refused.out.find("not-the-password"), std::string::npos);
    const Bytes older = readAll(folder.cert + "/SkinForTolvoICQ.sisx");
    EXPECT_EQ(std::string(older.begin(), older.end()), "older package");
    EXPECT_EQ(folder.root.entries("cert").size(), 6u); // no temporary file left

    const auto tooFew = signsis(folder, {"-s", "SkinForTolvoICQ.sis", "x.sisx", "Velmora.cer"});
    EXPECT_EQ(tooFew.exitCode, 1);
    const auto notAPackage =
        signsis(folder, {"-s", "Velmora.cer", "x.sisx", "Velmora.cer", "Velmora.key", "kite408"});
    EXPECT_EQ(notAPackage.exitCode, 1);
    EXPECT_NE(notAPackage.err.find("Velmora.cer: offset 0: UID1 is"), std::string::npos)
        << notAPackage.err;
    EXPECT_EQ(folder.root.entries("cert").size(), 6u);
}

// The package tools replace their outputs the way the program replaces files: through a link
// to its target, never over a read-only file, whatever the length of a legal name.
TEST(SisTools, OutputsFollowLinksRefuseReadOnlyFilesAndTakeLongNames)
{
    SkinFolder folder;
    namespace fs = std::filesystem;
    const fs::path cert = folder.cert;
    fs::create_directory(cert / "real");
    fs::create_symlink("real/linked.sis", cert / "link.sis");
    ASSERT_EQ(makesis(folder, {"SkinForTolvoICQ.pkg", "link.sis"}).exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(cert / "link.sis"));
    EXPECT_TRUE(readPackage(readAll((cert / "real" / "linked.sis").string())).has_value());

    writeAll((cert / "locked.sisx").string(), std::string("keep"));
    fs::permissions(cert / "locked.sisx", fs::perms(0444));
    std::vector<std::string> toLocked = kSignArgs;
    toLocked[1] = "link.sis";
    toLocked[2] = "locked.sisx";
    const auto refused = signsis(folder, toLocked);
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.err.find("locked.sisx: the file is read-only"), std::string::npos)
        << refused.err;
    const Bytes kept = readAll((cert / "locked.sisx").string());
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep");

    const std::string longName = std::string(251, 's') + ".sis";
    const auto made = makesis(folder, {"SkinForTolvoICQ.pkg", longName});
    EXPECT_EQ(made.exitCode, 0) << made.err;
    std::vector<std::string> toLong = kSignArgs;
    toLong[1] = longName;
    toLong[2] = std::string(250, 'x') + ".sisx";
    const auto signedLong = signsis(folder, toLong);
    EXPECT_EQ(signedLong.exitCode, 0) << signedLong.err;
    EXPECT_TRUE(fs::is_regular_file(cert / toLong[2]));
}

// Past a file size limit (ulimit -f) the tools report the failed write and end with 1; the
// system's signal would otherwise end them on the spot, leaving the save without a word.
TEST(SisTools, AFileSizeLimitIsAnErrorNotASignal)
{
    SkinFolder folder(true);
    const auto limited = [&folder](const char *program, std::vector<std::string> args) {
        // dash counts the limit in 512-byte blocks: 8 KiB, well short of either package.
        args.insert(args.begin(), {"-c", "ulimit -f 16; exec \"$0\" \"$@\"", program});
        return runProcess("/bin/sh", args, folder.cert);
    };
    const auto made = limited(VELMORA_MAKESIS, {"SkinForTolvoICQ.pkg"});
    EXPECT_EQ(made.exitCode, 1) << made.err;
    EXPECT_NE(made.err.find("SkinForTolvoICQ.sis: File too large"), std::string::npos) << made.err;
    EXPECT_FALSE(std::filesystem::exists(folder.cert + "/SkinForTolvoICQ.sis"));

    ASSERT_EQ(makesis(folder).exitCode, 0);
    const auto signedRun = limited(VELMORA_SIGNSIS, kSignArgs);
    EXPECT_EQ(signedRun.exitCode, 1) << signedRun.err;
    EXPECT_NE(signedRun.err.find("SkinForTolvoICQ.sisx: File too large"), std::string::npos)
        << signedRun.err;
    EXPECT_FALSE(std::filesystem::exists(folder.cert + "/SkinForTolvoICQ.sisx"));
}

TEST(SisTools, SignsisPrintFailsOnABrokenSignature)
{
    SkinFolder folder;
    ASSERT_EQ(makesis(folder).exitCode, 0);
    ASSERT_EQ(signsis(folder, kSignArgs).exitCode, 0);
    Bytes file = readAll(folder.cert + "/SkinForTolvoICQ.sisx");
    auto package = readPackage(file);
    ASSERT_TRUE(package.has_value());
    // Damage the stored .skin data: its hash and the data checksum no longer hold.
    file[package->dataUnits[0][2].payloadOffset + 3] ^= 0x40;
    writeAll(folder.cert + "/broken.sisx", file);
    const auto printed = signsis(folder, {"-p", "broken.sisx"});
    EXPECT_EQ(printed.exitCode, 1);
    EXPECT_NE(printed.out.find("Checksum: data checksum is"), std::string::npos) << printed.out;
    EXPECT_NE(printed.out.find("File hash: file 2"), std::string::npos) << printed.out;
}

// Options come before the file names: a name that starts with "-" after the first file name, or
// after "--", is a file, and an unknown option stops the run with one line and writes nothing.
TEST(SisTools, MakesisTakesOptionsOnlyBeforeTheFileNames)
{
    SkinFolder folder;
    writeAll(folder.cert + "/SkinForTolvoICQ.sis", std::string("older package"));

    const auto dashOut = makesis(folder, {"SkinForTolvoICQ.pkg", "-dash.sis"});
    ASSERT_EQ(dashOut.exitCode, 0) << dashOut.err;
    EXPECT_EQ(dashOut.out, "Processing SkinForTolvoICQ.pkg...\nCreated  -dash.sis.\n");
    EXPECT_TRUE(readPackage(readAll(folder.cert + "/-dash.sis")).has_value());
    const Bytes older = readAll(folder.cert + "/SkinForTolvoICQ.sis");
    EXPECT_TRUE(std::string(older.begin(), older.end()) == "older package")
        << "SkinForTolvoICQ.sis was overwritten";

    writeAll(folder.cert + "/-odd.pkg", readAll(folder.pkgPath()));
    const auto dashIn = makesis(folder, {"-v", "--", "-odd.pkg"});
    ASSERT_EQ(dashIn.exitCode, 0) << dashIn.err;
    EXPECT_TRUE(readPackage(readAll(folder.cert + "/-odd.sis")).has_value());

    const auto searched = makesis(folder, {"-d", folder.cert, "SkinForTolvoICQ.pkg", "d.sis"});
    EXPECT_EQ(searched.exitCode, 0) << searched.err;

    const std::vector<std::string> before = folder.root.entries("cert");
    for (const std::string option : {"-x", "--frobnicate", "-V"}) {
        const auto unknown = makesis(folder, {option, "SkinForTolvoICQ.pkg", "u.sis"});
        EXPECT_EQ(unknown.exitCode, 1);
        EXPECT_EQ(unknown.err,
                  "makesis: unknown option " + option + " (makesis -h lists the options)\n");
        EXPECT_EQ(unknown.out, "");
    }
    const auto noFolder = makesis(folder, {"-d"});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_EQ(noFolder.err.rfind("makesis: -d needs a folder\n", 0), 0u) << noFolder.err;
    EXPECT_EQ(folder.root.entries("cert"), before);
}

TEST(SisTools, SignsisTakesOptionsOnlyBeforeTheFileNames)
{
    SkinFolder folder;
    ASSERT_EQ(makesis(folder).exitCode, 0);

    const auto dashOut = signsis(folder, {"-s", "--", "SkinForTolvoICQ.sis", "-signed.sisx",
                                          "Velmora.cer", "Velmora.key", "kite408"});
    ASSERT_EQ(dashOut.exitCode, 0) << dashOut.err;
    const Bytes signedFile = readAll(folder.cert + "/-signed.sisx");
    auto package = readPackage(signedFile);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    EXPECT_TRUE(inspectPackage(*package, signedFile).valid());

    const auto printed = signsis(folder, {"-p", "--", "-signed.sisx"});
    EXPECT_EQ(printed.exitCode, 0) << printed.err;
    const auto removed = signsis(folder, {"-u", "--", "-signed.sisx", "-v.sis"});
    ASSERT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(readAll(folder.cert + "/-v.sis"), readAll(folder.cert + "/SkinForTolvoICQ.sis"));

    // A password is an operand too, even one that starts with "-".
    const auto dashPassword = signsis(
        folder, {"SkinForTolvoICQ.sis", "p.sisx", "Velmora.cer", "Velmora.key", "-kite408"});
    EXPECT_EQ(dashPassword.exitCode, 1);
    EXPECT_NE(dashPassword.err.find("Velmora.key: cannot decrypt the private key"),
              std::string::npos)
        << dashPassword.err;

    const std::vector<std::string> before = folder.root.entries("cert");
    for (const std::string option : {"-x", "--verbose", "-S"}) {
        const auto unknown = signsis(folder, {option, "SkinForTolvoICQ.sis", "u.sisx",
                                              "Velmora.cer", "Velmora.key", "kite408"});
        EXPECT_EQ(unknown.exitCode, 1);
        EXPECT_EQ(unknown.err,
                  "signsis: unknown option " + option + " (signsis -h lists the options)\n");
        EXPECT_EQ(unknown.out, "");
    }
    EXPECT_EQ(folder.root.entries("cert"), before);
}

// Messages say what is wrong, with the description's line, and are printed whole: nothing in them
// is cut at a NUL or reaches the terminal raw. Nothing is written.
TEST(SisTools, MakesisSaysWhatIsWrongWithTheDescriptionOrASource)
{
    SkinFolder folder;
    writeAll(folder.pkgPath(), utf16le(skinPkgText(folder.temp, false), false));
    const auto noMark = makesis(folder);
    EXPECT_EQ(noMark.exitCode, 1);
    EXPECT_EQ(noMark.err, "SkinForTolvoICQ.pkg: the file looks like UTF-16LE without a byte order "
                          "mark; save it as UTF-16 with the mark, or as UTF-8\n");

    writeAll(folder.pkgPath(), utf16le(skinPkgText(folder.temp, false)));
    std::filesystem::remove(folder.temp + "/myskin.mif");
    std::filesystem::create_directory(folder.temp + "/myskin.mif");
    const auto aFolder = makesis(folder);
    EXPECT_EQ(aFolder.exitCode, 1);
    EXPECT_EQ(aFolder.err,
              "SkinForTolvoICQ.pkg(7): " + folder.temp + "/myskin.mif is a folder, not a file\n");

    std::filesystem::remove(folder.temp + "/myskin.mif");
    writeAll(folder.temp + "/myskin.mif", folder.mif);
    const auto withLine = [&folder](const std::u16string &line) {
        writeAll(folder.pkgPath(), utf16le(skinPkgText(folder.temp, false) + u"\r\n" + line));
        return makesis(folder);
    };
    // The skin again, its target in other letter case: one file on the phone.
    const auto twice =
        withLine(u"\"Text(0-0).txt\"-\"!:\\system\\apps\\TOLVOICQ\\skins\\MySkin.SKIN\"");
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_EQ(twice.err, "SkinForTolvoICQ.pkg(9): the target "
                         "\"!:\\system\\apps\\TOLVOICQ\\skins\\MySkin.SKIN\" is already the "
                         "target of line 8 (\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.skin\"); "
                         "letter case does not tell files apart\n");
    const auto escaping = withLine(u"\"Text(0-0).txt\"-\"..\\..\\sys\\bin\\evil.exe\"");
    EXPECT_EQ(escaping.exitCode, 1);
    EXPECT_EQ(escaping.err,
              "SkinForTolvoICQ.pkg(9): the target \"..\\..\\sys\\bin\\evil.exe\" has "
              "no drive; it must start with \"!:\\\" or a drive letter and \":\\\"\n");

    // A terminal escape written into a source name is shown, not sent.
    const auto escaped = withLine(u"\"missing\"<27>\"[2J\"-\"!:\\x\"");
    EXPECT_EQ(escaped.exitCode, 1);
    EXPECT_EQ(escaped.err, "SkinForTolvoICQ.pkg(9): file not found: missing\\x1b[2J\n");
    EXPECT_EQ(folder.root.entries("cert"),
              (std::vector<std::string>{"SkinForTolvoICQ.pkg", "Text(0-0).txt", "Velmora.cer",
                                        "Velmora.key"}));
}
