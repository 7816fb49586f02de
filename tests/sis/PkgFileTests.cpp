// The package description reader: encodings, every line kind the program writes, languages,
// options, and the errors a broken description gets (with its line number).

#include "SisTestSupport.h"

#include "export/sis/PkgFile.h"
#include "export/sis/Text.h"

#include <gtest/gtest.h>

using namespace velmora::sis;
using namespace sistest;

namespace {

std::expected<PackageDescription, Error> parseText(const std::string &text)
{
    return parsePkg(Bytes(text.begin(), text.end()), "t.pkg");
}

Bytes utf16be(const std::u16string &text)
{
    Bytes out = {0xFE, 0xFF};
    for (char16_t unit : text) {
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
        out.push_back(static_cast<std::uint8_t>(unit));
    }
    return out;
}

} // namespace

TEST(SisPkgFile, ReadsTheSkinDescriptionInEveryEncoding)
{
    const std::u16string crlf = skinPkgText("/home/u/Velmora/temp", true);
    std::u16string lf;
    for (char16_t c : crlf)
        if (c != u'\r')
            lf += c;
    const std::string utf8 = toUtf8(lf);
    Bytes utf8Bom = {0xEF, 0xBB, 0xBF};
    utf8Bom.insert(utf8Bom.end(), utf8.begin(), utf8.end());

    const std::vector<Bytes> encodings = {utf16le(crlf), utf16be(crlf), utf8Bom,
                                          Bytes(utf8.begin(), utf8.end())};
    for (const Bytes &bytes : encodings) {
        auto description = parsePkg(bytes, "SkinForTolvoICQ.pkg");
        ASSERT_TRUE(description.has_value()) << description.error().message;
        EXPECT_EQ(description->languages, std::vector<std::uint32_t>{1});
        EXPECT_EQ(description->names, std::vector<std::u16string>{u"Tolvo MYSKIN"});
        EXPECT_EQ(description->uid, 0xEB7A0591u);
        EXPECT_EQ(description->version, (Version{0, 6, 5}));
        EXPECT_EQ(description->installType, 1);
        EXPECT_EQ(description->installFlags, 0);
        EXPECT_FALSE(description->noCompress);
        EXPECT_EQ(description->vendorNames, std::vector<std::u16string>{u"quenard"});
        EXPECT_EQ(description->vendorUniqueName, u"quenard");
        EXPECT_TRUE(description->warnings.empty());
        EXPECT_TRUE(description->dependencies.empty());
        ASSERT_EQ(description->targetDevices.size(), 1u);
        EXPECT_EQ(description->targetDevices[0].dependency,
                  (Dependency{0x101F7961, {0, 0, 0}, std::nullopt, {u"Series60ProductID"}}));
        EXPECT_EQ(description->targetDevices[0].line, 3);

        ASSERT_EQ(description->files.size(), 4u);
        const auto &text = description->files[0];
        EXPECT_EQ(text.source, "Text(0-0).txt");
        EXPECT_EQ(text.target, u"");
        EXPECT_EQ(text.operation, OpText);
        EXPECT_EQ(text.options, 0u); // TC is written as 0
        EXPECT_EQ(text.line, 6);
        const auto &mbm = description->files[3];
        EXPECT_EQ(mbm.source, "/home/u/Velmora/temp/myskin.mbm");
        EXPECT_EQ(mbm.target, u"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mbm");
        EXPECT_EQ(mbm.operation, OpInstall);
        EXPECT_EQ(mbm.options, 0u);
        EXPECT_EQ(mbm.line, 9);
    }
}

TEST(SisPkgFile, ReadsSeveralLanguagesWithOneNamePerLanguage)
{
    auto description = parseText("; a comment with a \"quote\n"
                                 "&EN, FR, GE(2)\n"
                                 "#{\"Name\", \"Nom\", \"Name de\"}, (0x80000001), 1, 2, 3, "
                                 "TYPE=pa, SH, NR, NC\n"
                                 "%{\"V\", \"V fr\", \"V de\"}\n"
                                 "(0x10001234), 1, 0, 0 ~ 2, -1, -1, {\"L\", \"L fr\", \"L de\"}\n"
                                 "[0x101F7961], 3, 0, 0, {\"S\", \"S fr\", \"S de\"}\n"
                                 ":\"V\"\n");
    ASSERT_TRUE(description.has_value()) << description.error().message;
    EXPECT_EQ(description->languages, (std::vector<std::uint32_t>{1, 2, 5}));
    EXPECT_EQ(description->names, (std::vector<std::u16string>{u"Name", u"Nom", u"Name de"}));
    EXPECT_EQ(description->installType, 3);
    EXPECT_EQ(description->installFlags, 3);
    EXPECT_TRUE(description->noCompress);
    ASSERT_EQ(description->dependencies.size(), 1u);
    EXPECT_EQ(description->dependencies[0].dependency.to, (Version{2, -1, -1}));
    EXPECT_EQ(description->targetDevices[0].dependency.from, (Version{3, 0, 0}));
    EXPECT_FALSE(description->targetDevices[0].dependency.to.has_value());
}

TEST(SisPkgFile, ReadsFileOptionsEscapesAndSlashes)
{
    auto description = parseText("#{\"A\"<13><10>\"B\"}, (1), 1, 0, 0\n"
                                 "%{\"v\"}\n:\"v\"\n"
                                 "\"dir\\a.txt\"-\"\", FILETEXT, TA\n"
                                 "\"b.txt\"-\"\", FT, TE\n"
                                 "\"c.txt\"-\"\", FT, TS, FA\n"
                                 "\"d.exe\"-\"!:/sys/bin/d.exe\", FR, RI, RW\n"
                                 "\"e.dat\"-\"!:\\resource\\e.dat\", FF\n");
    ASSERT_TRUE(description.has_value()) << description.error().message;
    EXPECT_EQ(description->names[0], u"A\r\nB");
    const auto &files = description->files;
    ASSERT_EQ(files.size(), 5u);
    EXPECT_EQ(files[0].source, "dir/a.txt");
    EXPECT_EQ(files[0].options, 0x800u);
    EXPECT_EQ(files[1].options, 0x1000u);
    EXPECT_EQ(files[2].options, 0x400u | 0x2000u);
    EXPECT_EQ(files[3].operation, OpRun);
    EXPECT_EQ(files[3].options, 0x2u | 0x10u);
    EXPECT_EQ(files[3].target, u"!:\\sys\\bin\\d.exe");
    EXPECT_EQ(files[4].operation, OpInstall);
    EXPECT_EQ(files[4].options, 0x8000u);
}

TEST(SisPkgFile, WarnsAboutMissingVendorsAndLargeVersions)
{
    auto description = parseText("&EN,FR\n#{\"A\",\"B\"}, (1), 128, 0, 0\n");
    ASSERT_TRUE(description.has_value()) << description.error().message;
    EXPECT_EQ(description->vendorNames, (std::vector<std::u16string>{u"", u""}));
    ASSERT_EQ(description->warnings.size(), 3u);
    EXPECT_EQ(description->warnings[0].rfind("t.pkg(2): warning: version", 0), 0u);
    EXPECT_NE(description->warnings[1].find("no localised vendor names"), std::string::npos);
    EXPECT_NE(description->warnings[2].find("no unique vendor name"), std::string::npos);
}

struct BadPkg
{
    const char *name;
    std::string text;
    std::string message; // expected at the start of the error
};

void PrintTo(const BadPkg &bad, std::ostream *out)
{
    *out << bad.name;
}

class SisPkgFileErrors : public testing::TestWithParam<BadPkg>
{
};

TEST_P(SisPkgFileErrors, NameTheLineAndTheDefect)
{
    auto description = parseText(GetParam().text);
    ASSERT_FALSE(description.has_value());
    EXPECT_EQ(description.error().message.rfind(GetParam().message, 0), 0u)
        << description.error().message;
}

const std::string kHeader = "#{\"A\"}, (1), 1, 0, 0\n";

INSTANTIATE_TEST_SUITE_P(
    Table, SisPkgFileErrors,
    testing::Values(
        BadPkg{"NoHeader", "&EN\n%{\"v\"}\n", "t.pkg: no package header"},
        BadPkg{"FileBeforeHeader", "\"a\"-\"!:\\a\"\n" + kHeader,
               "t.pkg(1): a file line before the package header"},
        BadPkg{"DeviceBeforeHeader", "[0x101F7961], 0, 0, 0, {\"S\"}\n" + kHeader,
               "t.pkg(1): a target device line before the package header"},
        BadPkg{"TooFewNames", "&EN,FR\n\n#{\"A\"}, (1), 1, 0, 0\n",
               "t.pkg(3): 1 package names given for 2 languages"},
        BadPkg{"TooManyVendorNames", kHeader + "%{\"a\", \"b\"}\n",
               "t.pkg(2): 2 vendor names given for 1 languages"},
        BadPkg{"DeviceNames", kHeader + "\n[0x101F7961], 0, 0, 0, {}\n",
               "t.pkg(3): a quoted string expected, found '}'"},
        BadPkg{"UnterminatedString", kHeader + "\"a.txt\n", "t.pkg(2): unterminated string"},
        BadPkg{"LongString", kHeader + "\"" + std::string(255, 'x') + "\"-\"!:\\a\"\n",
               "t.pkg(2): string longer than 254 characters"},
        BadPkg{"BadTargetCharacter", kHeader + "\"a\"-\"!:\\a?b\"\n",
               "t.pkg(2): the target \"!:\\a?b\" contains the character '?'"},
        BadPkg{"InstallWithoutTarget", kHeader + "\"a\"-\"\"\n",
               "t.pkg(2): a file line without a target"},
        BadPkg{"TargetClimbsWithoutDrive", kHeader + "\n\"a\"-\"..\\..\\sys\\bin\\evil.exe\"\n",
               "t.pkg(3): the target \"..\\..\\sys\\bin\\evil.exe\" has no drive"},
        BadPkg{"TargetClimbsFromDrive",
               kHeader + "\"a\"-\"!:\\private\\..\\..\\sys\\bin\\x.exe\"\n",
               "t.pkg(2): the target \"!:\\private\\..\\..\\sys\\bin\\x.exe\" climbs out of its "
               "folder with \"..\""},
        BadPkg{"TargetClimbsAtTheEnd", kHeader + "\"a\"-\"c:\\data\\..\", FF\n",
               "t.pkg(2): the target \"c:\\data\\..\" climbs out of its folder"},
        BadPkg{"TargetClimbsWithSlashes", kHeader + "\"a\"-\"!:/data/../../sys/bin/x.exe\"\n",
               "t.pkg(2): the target \"!:\\data\\..\\..\\sys\\bin\\x.exe\" climbs out"},
        BadPkg{"TargetWithoutDrive", kHeader + "\"a\"-\"\\sys\\bin\\x.exe\"\n",
               "t.pkg(2): the target \"\\sys\\bin\\x.exe\" has no drive; it must start with "
               "\"!:\\\" or a drive letter and \":\\\""},
        BadPkg{"TargetIsAFileName", kHeader + "\"a\"-\"x.exe\"\n",
               "t.pkg(2): the target \"x.exe\" has no drive"},
        BadPkg{"TargetDriveWithoutBackslash", kHeader + "\"a\"-\"c:x.exe\"\n",
               "t.pkg(2): the target \"c:x.exe\" has no drive"},
        BadPkg{"TargetDriveIsADigit", kHeader + "\"a\"-\"1:\\x.exe\"\n",
               "t.pkg(2): the target \"1:\\x.exe\" has no drive"},
        BadPkg{"TextTargetWithoutDrive", kHeader + "\"a\"-\"readme.txt\", FT, TC\n",
               "t.pkg(2): the target \"readme.txt\" has no drive"},
        BadPkg{"NulInSourceName", kHeader + "\"evil\"<0>\".txt\"-\"!:\\a\"\n",
               "t.pkg(2): the source file name contains the character U+0000"},
        BadPkg{"UnknownFileOption", kHeader + "\"a\"-\"!:\\a\", FF, XX\n",
               "t.pkg(2): unknown file option XX"},
        BadPkg{"TwoOperations", kHeader + "\"a\"-\"\", FT,\nFF\n",
               "t.pkg(3): a file line with two operations (FF)"},
        BadPkg{"TextOptionOnInstall", kHeader + "\"a\"-\"!:\\a\", TC\n",
               "t.pkg(2): the option TC belongs to FT files"},
        BadPkg{"Conditional", kHeader + "IF exists(\"x\")\n", "t.pkg(2): conditional blocks (IF)"},
        BadPkg{"UnknownLanguage", "&EN, XX\n" + kHeader, "t.pkg(1): unknown language code XX"},
        BadPkg{"LanguagesAfterHeader", kHeader + "&EN\n",
               "t.pkg(2): the language line must come before the header"},
        BadPkg{"BadType", "#{\"A\"}, (1), 1, 0, 0, TYPE=ZZ\n",
               "t.pkg(1): SA, SP, PU, PA or PP expected, found ZZ"},
        BadPkg{"HugeNumber", "#{\"A\"}, (0x1FFFFFFFF), 1, 0, 0\n", "t.pkg(1): number too large"},
        BadPkg{"StrayCharacter", kHeader + "$\n", "t.pkg(2): unexpected character '$'"},
        BadPkg{"StrayControlCharacter", kHeader + "\x01\n",
               "t.pkg(2): unexpected character U+0001"},
        BadPkg{"StrayCyrillicCharacter", kHeader + "\xD0\xB6\n",
               "t.pkg(2): unexpected character '\xD0\xB6' (U+0436)"},
        BadPkg{"NulInUtf8", kHeader + std::string(1, '\0') + "\n",
               "t.pkg: the file holds NUL bytes; it is not a text file"},
        BadPkg{"InvalidUtf8", "#{\"\xC3\x28\"}, (1), 1, 0, 0\n",
               "t.pkg: neither UTF-16 with a byte order mark nor valid UTF-8"},
        BadPkg{"OddUtf16", std::string("\xFF\xFE#\0{", 5), "t.pkg: UTF-16 text with an odd"},
        BadPkg{"SameTargetTwice",
               kHeader + "\"a\"-\"!:\\data\\x.txt\"\n\"b\"-\"!:\\data\\x.txt\"\n",
               "t.pkg(3): the target \"!:\\data\\x.txt\" is already the target of line 2 "
               "(\"!:\\data\\x.txt\"); letter case does not tell files apart"},
        BadPkg{
            "SameTargetInOtherCase",
            kHeader +
                "\"a\"-\"!:\\Data\\Ünïcode-Ĺ-Ω-Ж.txt\"\n\n\"b\"-\"!:\\data\\üNÏCODE-ĺ-ω-ж.TXT\"\n",
            "t.pkg(4): the target \"!:\\data\\üNÏCODE-ĺ-ω-ж.TXT\" is already the target of "
            "line 2 (\"!:\\Data\\Ünïcode-Ĺ-Ω-Ж.txt\")"},
        BadPkg{"TooManyFiles",
               kHeader +
                   [] {
                       std::string lines;
                       for (int i = 0; i < 65; ++i)
                           lines += "\"a\"-\"!:\\f" + std::to_string(i) + "\"\n";
                       return lines;
                   }(),
               "t.pkg(66): more than 64 files; a package holds at most 64"}),
    [](const testing::TestParamInfo<BadPkg> &info) { return std::string(info.param.name); });

// The phone's file systems ignore letter case, in every script its names use; what is not a
// letter, or has no other case, stays.
TEST(SisPkgFile, TargetsAreComparedWithLetterCaseFolded)
{
    EXPECT_EQ(foldCase(u"!:\\DATA\\Abc-XYZ_09.TXT"), u"!:\\data\\abc-xyz_09.txt");
    EXPECT_EQ(foldCase(u"ÀÉÖØÞ×ß"), u"àéöøþ×ß");
    EXPECT_EQ(foldCase(u"ĀāĹĺŊŋŹźŸİıĸ"), u"āāĺĺŋŋźźÿİıĸ");
    EXPECT_EQ(foldCase(u"ΑΣΩΪ΢ЀЏАЯабв"), u"ασωϊ΢ѐџаяабв");
    // The same file on two lines with a distinct drive is two files on the phone.
    auto description = parseText(kHeader + "\"a\"-\"c:\\x\"\n\"a\"-\"e:\\X\"\n\"t\"-\"\", FT\n"
                                           "\"t\"-\"\", FT\n");
    ASSERT_TRUE(description.has_value()) << description.error().message;
    EXPECT_EQ(description->files.size(), 4u);
}

TEST(SisPkgFile, AcceptsTargetsOnADriveWhateverTheirDots)
{
    auto description = parseText(kHeader + "\"a\"-\"!:\\System\\Apps\\x.mif\"\n"
                                           "\"b\"-\"c:\\data\\..x\\x..\\.\\...\\b.dat\"\n"
                                           "\"c\"-\"Z:\\c\"\n"
                                           "\"d\"-\"\", FT, TC\n");
    ASSERT_TRUE(description.has_value()) << description.error().message;
    ASSERT_EQ(description->files.size(), 4u);
    EXPECT_EQ(description->files[1].target, u"c:\\data\\..x\\x..\\.\\...\\b.dat");
    EXPECT_EQ(description->files[3].target, u"");
}

// UTF-16 saved without its byte order mark reads as text with a NUL after every ASCII character;
// the message says so instead of stopping at the first NUL.
TEST(SisPkgFile, SaysWhenUtf16HasNoByteOrderMark)
{
    const std::u16string text = u"&EN\r\n#{\"A\"}, (1), 1, 0, 0\r\n";
    auto little = parsePkg(utf16le(text, false), "t.pkg");
    ASSERT_FALSE(little.has_value());
    EXPECT_EQ(little.error().message, "t.pkg: the file looks like UTF-16LE without a byte order "
                                      "mark; save it as UTF-16 with the mark, or as UTF-8");

    Bytes big = utf16be(text);
    big.erase(big.begin(), big.begin() + 2);
    auto bigResult = parsePkg(big, "t.pkg");
    ASSERT_FALSE(bigResult.has_value());
    EXPECT_EQ(bigResult.error().message.rfind("t.pkg: the file looks like UTF-16BE without", 0), 0u)
        << bigResult.error().message;

    // With the mark, the same text reads.
    EXPECT_TRUE(parsePkg(utf16le(text, true), "t.pkg").has_value());
}
