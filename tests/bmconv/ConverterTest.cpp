#include "TestSupport.h"

#include "bmconv/Bmp.h"
#include "bmconv/Converter.h"
#include "bmconv/Mbm.h"

#include <filesystem>

using namespace bmconv;
using namespace bmconv::test;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

Lines withBanner(Lines body)
{
    body.insert(body.begin(), {"", "", "BMCONV version 119."});
    return body;
}

Lines packReport(const std::string &store, const std::string &output, const Lines &names,
                 const std::string &message)
{
    Lines lines = withBanner(
        {"Compiling...", "Multiple bitmap store type: " + store, "Epoc file: " + output, ""});
    for (std::size_t i = 0; i < names.size(); ++i)
        lines.push_back("Bitmap file " + std::to_string(i + 1) + "\t: " + names[i]);
    lines.push_back(message);
    return lines;
}

struct Ran
{
    Lines lines;
    int exitCode;
};

Ran run(const std::vector<std::string> &args)
{
    const RunOutput output = runConverter(args);
    return {crlfLines(output.out), output.exitCode};
}

// 0xRRGGBB of each pixel of an unpacked BMP, top row first.
std::vector<std::uint32_t> pixelsOf(const std::string &bmpFile)
{
    auto bmp = readBmp(readFile(bmpFile));
    EXPECT_TRUE(bmp) << bmpFile;
    std::vector<std::uint32_t> pixels;
    if (bmp)
        for (std::size_t i = 0; i < bmp->picture.bgr.size(); i += 3)
            pixels.push_back(std::uint32_t(bmp->picture.bgr[i + 2]) << 16 |
                             std::uint32_t(bmp->picture.bgr[i + 1]) << 8 | bmp->picture.bgr[i]);
    return pixels;
}

class BmconvConverter : public InTempFolder
{
};

} // namespace

TEST_F(BmconvConverter, DescribesAFileStore)
{
    fs::copy_file(fixture("tiny_2x1_c16.mbm"), "tiny.mbm");
    const Ran r = run({"/v", "tiny.mbm"});
    EXPECT_EQ(r.lines, withBanner({"tiny.mbm is a File store containing 1 bitmap", "",
                                   "Bitmap 1 information:", "Pixel size 2 x 1", "Twips size 0 x 0",
                                   "16 Bpp Colour", "No compression", ""}));
    EXPECT_EQ(r.exitCode, 0);

    // Palette entries (never written by a converter) are announced without a line end.
    Bytes withPalette = readFile("tiny.mbm");
    storeU32(withPalette.data() + 0x34, 3);
    writeFile("palette.mbm", withPalette);
    const Lines lines = run({"/v", "palette.mbm"}).lines;
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[9], "Palette entries 3No compression");
}

TEST_F(BmconvConverter, DescribesARomImage)
{
    fs::copy_file(fixture("rom_two_bitmaps.mbm"), "rom.mbm");
    EXPECT_EQ(run({"-V", "rom.mbm"}).lines,
              withBanner({"rom.mbm is a ROM image containing 2 bitmaps", "",
                          "Bitmap 1 information:", "Pixel size 1 x 1", "Twips size 0 x 0",
                          "24 Bpp Colour", "No compression", "",
                          "Bitmap 2 information:", "Pixel size 4 x 1", "Twips size 0 x 0",
                          "8 Bpp Monochrome", "Bytewise RLE compression 50%", ""}));
    ASSERT_EQ(run({"/u", "rom.mbm", "a.bmp", "b.bmp"}).exitCode, 0);
    EXPECT_EQ(pixelsOf("a.bmp"), std::vector<std::uint32_t>{0x302010});
    EXPECT_EQ(pixelsOf("b.bmp"), std::vector<std::uint32_t>(4, 0x808080));
}

TEST_F(BmconvConverter, ReportsFilesItCannotDescribe)
{
    fs::copy_file(fixture("not_an_mbm.mbm"), "text.mbm");
    fs::copy_file(fixture("rle_overrun_c8.mbm"), "overrun.mbm");
    Ran r = run({"/v", "missing.mbm"});
    EXPECT_EQ(r.lines,
              withBanner({"Problem reading number of bitmaps ", "File does not exist", ""}));
    EXPECT_EQ(r.exitCode, 3);
    r = run({"/v", "text.mbm"});
    EXPECT_EQ(r.lines,
              withBanner({"Problem reading number of bitmaps ", "Bad source file(s).", ""}));
    EXPECT_EQ(r.exitCode, 4);
    r = run({"/v", "overrun.mbm"});
    EXPECT_EQ(r.lines, withBanner({"overrun.mbm is a File store containing 1 bitmap", "",
                                   "Problem loading bitmap number 0", "Decompression error.", ""}));
    EXPECT_EQ(r.exitCode, 11);
}

// The depth line and compression line of each mode, for a flat 40 × 1 picture of grey 100.
TEST_F(BmconvConverter, PacksEveryModeWithItsCompression)
{
    writeFile("grey.bmp", makeBmp24(40, 1, std::vector<std::uint32_t>(40, 0x646464)));
    const std::vector<std::pair<std::string, Lines>> modes = {
        {"/1", {"1 Bpp Monochrome", "Bytewise RLE compression 87%"}},
        {"/2", {"2 Bpp Monochrome", "Bytewise RLE compression 58%"}},
        {"/4", {"4 Bpp Monochrome", "Bytewise RLE compression 35%"}},
        {"/8", {"8 Bpp Monochrome", "Bytewise RLE compression 17%"}},
        {"/c4", {"4 Bpp Colour", "Bytewise RLE compression 35%"}},
        {"/c8", {"8 Bpp Colour", "Bytewise RLE compression 17%"}},
        {"/c12", {"12 Bpp Colour", "12 bit RLE compression 7%"}},
        {"/c16", {"16 Bpp Colour", "16 bit RLE compression 3%"}},
        {"/c24", {"24 Bpp Colour", "24 bit RLE compression 3%"}},
        {"/c32", {"32 Bpp Colour", "unsigned 32 bit RLE compression (no alpha channel) 2%"}},
    };
    std::vector<std::string> args = {"all.mbm"};
    for (const auto &[mode, expected] : modes)
        args.push_back(mode + "grey.bmp");
    ASSERT_EQ(run(args).exitCode, 0);
    const Lines info = run({"/v", "all.mbm"}).lines;
    ASSERT_EQ(info.size(), 5 + 6 * modes.size());
    for (std::size_t k = 0; k < modes.size(); ++k) {
        EXPECT_EQ(info[5 + 6 * k], "Bitmap " + std::to_string(k + 1) + " information:");
        EXPECT_EQ(Lines(info.begin() + 8 + 6 * k, info.begin() + 10 + 6 * k), modes[k].second)
            << modes[k].first;
    }

    ASSERT_EQ(run({"/n", "plain.mbm", "/c16grey.bmp"}).exitCode, 0);
    EXPECT_EQ(run({"/v", "plain.mbm"}).lines[9], "No compression");
}

// Four probe colours through every mode and back, values worked out by hand from the conversion
// rules: 100,150,200; grey 128 and grey 192 (which the converter first turns into 127 and 187);
// pure red.
TEST_F(BmconvConverter, RoundTripsEveryDepthWithTheConvertersArithmetic)
{
    writeFile("probe.bmp", makeBmp24(4, 1, {0x6496C8, 0x808080, 0xC0C0C0, 0xFF0000}));
    const std::vector<std::pair<std::string, std::vector<std::uint32_t>>> expected = {
        {"/1", {0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000}},
        {"/2", {0xAAAAAA, 0x555555, 0xAAAAAA, 0x000000}},
        {"/4", {0x888888, 0x777777, 0xBBBBBB, 0x333333}},
        {"/8", {0x8F8F8F, 0x7F7F7F, 0xBBBBBB, 0x3F3F3F}},
        {"/c4", {0xAAAAAA, 0x555555, 0xAAAAAA, 0xFF0000}},
        {"/c8", {0x6699CC, 0x777777, 0xBBBBBB, 0xFF0000}},
        {"/c12", {0x6699CC, 0x777777, 0xBBBBBB, 0xFF0000}},
        {"/c16", {0x6295CD, 0x7B7D7B, 0xBDBABD, 0xFF0000}},
        {"/c24", {0x6496C8, 0x7F7F7F, 0xBBBBBB, 0xFF0000}},
        {"/c32", {0x6496C8, 0x7F7F7F, 0xBBBBBB, 0xFF0000}},
    };
    for (const std::string compression : {"", "/n"}) {
        for (const auto &[mode, pixels] : expected) {
            std::vector<std::string> args = {"out.mbm", mode + "probe.bmp"};
            if (!compression.empty())
                args.insert(args.begin(), compression);
            ASSERT_EQ(run(args).exitCode, 0) << mode;
            ASSERT_EQ(run({"/u", "out.mbm", "back.bmp"}).exitCode, 0) << mode;
            EXPECT_EQ(pixelsOf("back.bmp"), pixels) << mode << " " << compression;
        }
    }
}

TEST_F(BmconvConverter, WritesTheSameBytesAsTheSdkConverter)
{
    // The hand-built 2 × 1 example: red and blue at 16 bpp; compressing does not pay.
    writeFile("rb.bmp", makeBmp24(2, 1, {0xFF0000, 0x0000FF}));
    ASSERT_EQ(run({"tiny.mbm", "/c16rb.bmp"}).exitCode, 0);
    EXPECT_EQ(toHex(readFile("tiny.mbm")), toHex(readFile(fixture("tiny_2x1_c16.mbm"))));

    // Twips from the resolution, without the original's 32-bit overflow at 1500 pixels.
    writeFile("a.bmp", makeBmp24(176, 44, std::vector<std::uint32_t>(176 * 44), 2834));
    writeFile("b.bmp", makeBmp24(1500, 1, std::vector<std::uint32_t>(1500), 2835));
    ASSERT_EQ(run({"t.mbm", "/c24a.bmp", "/1b.bmp"}).exitCode, 0);
    const Lines info = run({"/v", "t.mbm"}).lines;
    EXPECT_EQ(info[7], "Twips size 352 x 88");
    EXPECT_EQ(info[13], "Twips size 2999 x 1");

    // The unpacked BMP: 24 bits, bottom-up, no resolution, row padding 0xFF.
    ASSERT_EQ(run({"/u", "tiny.mbm", "rb-out.bmp"}).exitCode, 0);
    EXPECT_EQ(toHex(readFile("rb-out.bmp")),
              "42 4D 3E 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 02 00 00 00 01 00 00 00 01 "
              "00 18 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
              "00 00 FF FF 00 00 FF FF");
}

TEST_F(BmconvConverter, UnpacksAlphaBitmapsWithTheirCompanionFile)
{
    writeFile("icon.bmp", makeBmp24(2, 1, {0x102030, 0x405060}));
    BmpSpec alpha;
    alpha.width = 2;
    alpha.bitsPerPixel = 8;
    alpha.palette.assign(256, 0x777777); // the palette is ignored, the index is the alpha
    alpha.pixel = [](int x, int) {
        return x == 0 ? 0x20u : 0xF0u;
    };
    writeFile("icon-alpha.bmp", makeBmp(alpha));
    ASSERT_EQ(run({"a.mbm", "/c32aicon.bmp"}).exitCode, 0);
    EXPECT_EQ(run({"/v", "a.mbm"}).lines[8], "32 Bpp Colour with alpha channel");

    ASSERT_EQ(run({"/u", "a.mbm", "out.bmp"}).exitCode, 0);
    EXPECT_EQ(pixelsOf("out.bmp"), (std::vector<std::uint32_t>{0x102030, 0x405060}));
    const Bytes companion = readFile("out-alpha.bmp");
    auto levels = readBmp(companion);
    ASSERT_TRUE(levels);
    EXPECT_EQ(levels->bitsPerPixel, 8);
    EXPECT_EQ(levels->indices, (Bytes{0x20, 0xF0}));
    EXPECT_EQ(loadU32(companion.data() + 10), 1078u);
    EXPECT_EQ(alphaCompanionName("dir.v2/name"), "dir-alpha.v2/name");
}

TEST_F(BmconvConverter, UnpackReportsTargetsAndStopsAtTheFirstMissingBitmap)
{
    fs::copy_file(fixture("tiny_2x1_c16.mbm"), "tiny.mbm");
    Ran r = run({"/u", "tiny.mbm", "1.bmp", "2.bmp"});
    EXPECT_EQ(r.lines,
              withBanner({"Decompiling...", "Epoc file: tiny.mbm", "", "Bitmap file 1\t: 1.bmp",
                          "Bitmap file 2\t: 2.bmp", "Number of sources/targets mismatch."}));
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_FALSE(fs::exists("1.bmp")) << "all targets or none";

    r = run({"/u", "tiny.mbm"});
    EXPECT_EQ(r.lines, withBanner({"Decompiling...", "Number of sources/targets mismatch."}));
    EXPECT_EQ(r.exitCode, 7);

    r = run({"/u", "none.mbm", "1.bmp"});
    EXPECT_EQ(r.lines.back(), "File does not exist");
    EXPECT_EQ(r.exitCode, 3);
    fs::copy_file(fixture("not_an_mbm.mbm"), "text.mbm");
    EXPECT_EQ(run({"/u", "text.mbm", "1.bmp"}).exitCode, 4);
    fs::copy_file(fixture("rle_overrun_c8.mbm"), "overrun.mbm");
    EXPECT_EQ(run({"/u", "overrun.mbm", "1.bmp"}).exitCode, 11);
}

TEST_F(BmconvConverter, UnpackReplacesOldTargetsButNotFolders)
{
    fs::copy_file(fixture("tiny_2x1_c16.mbm"), "tiny.mbm");
    writeFile("old.bmp", fromHex("01 02 03"));
    ASSERT_EQ(run({"/u", "tiny.mbm", "old.bmp"}).exitCode, 0);
    EXPECT_EQ(pixelsOf("old.bmp"), (std::vector<std::uint32_t>{0xFF0000, 0x0000FF}));

    fs::create_directory("folder.bmp");
    const Ran r = run({"/u", "tiny.mbm", "folder.bmp"});
    EXPECT_EQ(r.lines.back(), "Bad destination file(s).");
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_TRUE(fs::is_directory("folder.bmp"));
}

// An unknown switch used to become the output's name; now it is refused, and "--" lets an
// output start with a dash.
TEST_F(BmconvConverter, UnknownSwitchesAreRefusedAndDoubleDashEndsThem)
{
    writeFile("ok.bmp", makeBmp24(1, 1, {0xFF0000}));
    const RunOutput unknown = runConverter({"-x", "out.mbm", "/c16ok.bmp"});
    EXPECT_EQ(crlfLines(unknown.out).back(), std::string(statusMessage(Status::BadArgument)));
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.diagnostics.find("unknown option -x"), std::string::npos)
        << unknown.diagnostics;
    EXPECT_FALSE(fs::exists("-x"));
    EXPECT_FALSE(fs::exists("out.mbm"));

    ASSERT_EQ(run({"/q", "--", "-dash.mbm", "/c16ok.bmp"}).exitCode, 0);
    EXPECT_TRUE(fs::is_regular_file("-dash.mbm"));
}

TEST_F(BmconvConverter, UnpackWritesAllTargetsOrNone)
{
    writeFile("red.bmp", makeBmp24(1, 1, {0xFF0000}));
    ASSERT_EQ(run({"two.mbm", "/c16red.bmp", "/c16red.bmp"}).exitCode, 0);
    writeFile("keep.bmp", fromHex("01 02 03"));
    writeFile("locked.bmp", fromHex("04 05 06"));
    fs::permissions("locked.bmp", fs::perms(0444));
    const Ran r = run({"/u", "two.mbm", "keep.bmp", "locked.bmp"});
    EXPECT_EQ(r.lines.back(), "Bad destination file(s).");
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_EQ(toHex(readFile("keep.bmp")), "01 02 03") << "the first target waits for the last";
    EXPECT_EQ(toHex(readFile("locked.bmp")), "04 05 06");
    // A target that did not exist is made at once, so it must go again.
    EXPECT_EQ(run({"/u", "two.mbm", "new.bmp", "locked.bmp"}).exitCode, 5);
    EXPECT_FALSE(fs::exists("new.bmp"));
    fs::permissions("locked.bmp", fs::perms(0644));

    // Packing says why on standard error, naming the file once.
    writeFile("locked.mbm", fromHex("07"));
    fs::permissions("locked.mbm", fs::perms(0444));
    const RunOutput packed = runConverter({"-q", "locked.mbm", "/c16red.bmp"});
    EXPECT_EQ(packed.exitCode, 5);
    EXPECT_EQ(packed.diagnostics, "bmconv: locked.mbm: the file is read-only\n");
    EXPECT_EQ(toHex(readFile("locked.mbm")), "07");
    fs::permissions("locked.mbm", fs::perms(0644));
}

TEST_F(BmconvConverter, WritesThroughLinksLongNamesAndPastKilledRuns)
{
    fs::copy_file(fixture("tiny_2x1_c16.mbm"), "tiny.mbm");
    fs::create_directory("real");
    writeFile("real/picture.bmp", fromHex("01"));
    fs::create_symlink("real/picture.bmp", "link.bmp");
    ASSERT_EQ(run({"/u", "tiny.mbm", "link.bmp"}).exitCode, 0);
    EXPECT_TRUE(fs::is_symlink("link.bmp"));
    EXPECT_EQ(pixelsOf("real/picture.bmp"), (std::vector<std::uint32_t>{0xFF0000, 0x0000FF}));

    const std::string longName = std::string(251, 'n') + ".bmp";
    ASSERT_EQ(run({"/u", "tiny.mbm", longName}).exitCode, 0);
    EXPECT_EQ(pixelsOf(longName).size(), 2u);
    ASSERT_EQ(run({"long.mbm", "/c16" + longName}).exitCode, 0);

    // A hundred temporaries of killed runs of an earlier version no longer block the target.
    for (int i = 0; i < 100; ++i)
        writeFile("out.bmp.~bmconv" + std::to_string(i), fromHex("00"));
    ASSERT_EQ(run({"/u", "tiny.mbm", "out.bmp"}).exitCode, 0);
    for (const auto &entry : fs::directory_iterator("."))
        EXPECT_EQ(entry.path().filename().string().find(".~bmconv"), std::string::npos);
}

struct PackError
{
    std::vector<std::string> args;
    int exitCode;
    std::string message;
};

TEST_F(BmconvConverter, PackFailuresPrintTheirMessageAndExitCode)
{
    writeFile("ok.bmp", makeBmp24(2, 2, std::vector<std::uint32_t>(4, 0x123456)));
    writeFile("text.bmp", fromHex("00 01 02 03"));
    BmpSpec rle;
    rle.bitsPerPixel = 8;
    rle.compression = 1;
    rle.palette = {0};
    writeFile("rle.bmp", makeBmp(rle));
    writeFile("big-alpha.bmp", makeBmp24(3, 3, std::vector<std::uint32_t>(9)));
    writeFile("big.bmp", makeBmp24(2, 2, std::vector<std::uint32_t>(4)));
    writeFile("lonely.bmp", makeBmp24(2, 2, std::vector<std::uint32_t>(4)));
    writeFile("ok-alpha.bmp", makeBmp24(2, 2, std::vector<std::uint32_t>(4)));
    writeFile("few.pal", Bytes{'0', 'x', '1', '2'});
    fs::create_directory("folder.mbm");

    const std::vector<PackError> cases = {
        {{"o.mbm", "/c5ok.bmp"}, 12, "Invalid bitmap mode specified."},
        {{"o.mbm", "/3ok.bmp"}, 12, "Invalid bitmap mode specified."},
        {{"o.mbm", "/C16ok.bmp"}, 12, "Invalid bitmap mode specified."},
        {{"o.mbm", "/16ok.bmp"}, 12, "Invalid bitmap mode specified."},
        {{"o.mbm", "/c16none.bmp"}, 3, "File does not exist"},
        {{"o.mbm", "/c16text.bmp"}, 4, "Bad source file(s)."},
        {{"o.mbm", "/c16rle.bmp"}, 9, "Unknown source compression type."},
        {{"o.mbm", "/c32aok.bmp"}, 17, "Alpha channel bitmap must be 8bpp."},
        {{"o.mbm", "/c32abig.bmp"}, 17, "Alpha channel bitmap must be 8bpp."},
        {{"o.mbm", "/c32alonely.bmp"}, 15, "Alpha bitmap file does not exist"},
        {{"/q", "o.mbm"}, 7, "Number of sources/targets mismatch."},
        {{"folder.mbm", "/c16ok.bmp"}, 5, "Bad destination file(s)."},
        {{"/pnone.pal", "o.mbm", "/c8ok.bmp"}, 6, "Bad command file."},
        {{"/pfew.pal", "o.mbm", "/c8ok.bmp"}, 13, "Bad palette file."},
        {{"/ho.h", "o.mbm", "/mtiny.mbm"},
         2,
         "Header file generation is not permitted with /m or -m"},
    };
    for (const PackError &c : cases) {
        const Ran r = run(c.args);
        ASSERT_FALSE(r.lines.empty());
        EXPECT_EQ(r.lines.back(), c.message) << c.args.back();
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back();
        EXPECT_FALSE(fs::exists("o.mbm")) << c.args.back();
    }

    // The 8-bit alpha of the right depth but the wrong size.
    BmpSpec alpha;
    alpha.width = alpha.height = 3;
    alpha.bitsPerPixel = 8;
    alpha.palette.assign(256, 0);
    writeFile("ok-alpha.bmp", makeBmp(alpha));
    const Ran r = run({"o.mbm", "/c32aok.bmp"});
    EXPECT_EQ(r.lines.back(),
              "Alpha channel bitmap's dimensions don't match pixel bitmap's dimensions.");
    EXPECT_EQ(r.exitCode, 16);

    const Ran both = run({"/r", "/s", "o.mbm", "/c16ok.bmp"});
    EXPECT_EQ(both.lines, withBanner({"Too many arguments."}));
    EXPECT_EQ(both.exitCode, 8);
}

TEST_F(BmconvConverter, FailedPackLeavesTheOldFileAndNoTemporaries)
{
    writeFile("ok.bmp", makeBmp24(1, 1, {0xFF0000}));
    writeFile("out.mbm", fromHex("01 02 03"));
    const Ran r = run({"out.mbm", "/c16ok.bmp", "/c16missing.bmp", "/c24ok.bmp"});
    // Names are listed without their prefix up to the failing one, as given after it.
    EXPECT_EQ(r.lines, packReport("File store", "out.mbm", {"ok.bmp", "missing.bmp", "/c24ok.bmp"},
                                  "File does not exist"));
    EXPECT_EQ(toHex(readFile("out.mbm")), "01 02 03");
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ok.bmp", "out.mbm", "temp"}));
}

TEST_F(BmconvConverter, QuietPacksPrintNothingUnlessTheyFail)
{
    writeFile("ok.bmp", makeBmp24(1, 1, {0xFF0000}));
    const RunOutput quiet = runConverter({"-q", "out.mbm", "ok.bmp"});
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(run({"/q", "out.mbm", "no.bmp"}).lines,
              packReport("File store", "out.mbm", {"no.bmp"}, "File does not exist"));
}

TEST_F(BmconvConverter, BuildsRomImagesAndRepacksStores)
{
    writeFile("flat.bmp", makeBmp24(40, 1, std::vector<std::uint32_t>(40, 0x646464)));
    EXPECT_EQ(run({"/r", "rom.mbm", "/c16flat.bmp"}).lines,
              packReport("ROM image store", "rom.mbm", {"flat.bmp"}, "Success."));
    EXPECT_EQ(run({"/s", "srom.mbm", "/c16flat.bmp"}).lines,
              packReport("Compressed ROM image store", "srom.mbm", {"flat.bmp"}, "Success."));
    EXPECT_EQ(run({"/v", "rom.mbm"}).lines[3], "rom.mbm is a ROM image containing 1 bitmap");
    EXPECT_EQ(run({"/v", "rom.mbm"}).lines[9], "No compression");
    EXPECT_EQ(run({"/v", "srom.mbm"}).lines[9], "16 bit RLE compression 3%");

    // Re-packing the compressed ROM image as a file store gives what packing the BMP gives.
    ASSERT_EQ(run({"again.mbm", "/msrom.mbm"}).exitCode, 0);
    ASSERT_EQ(run({"direct.mbm", "/c16flat.bmp"}).exitCode, 0);
    EXPECT_EQ(readFile("again.mbm"), readFile("direct.mbm"));
    ASSERT_EQ(run({"/u", "srom.mbm", "back.bmp"}).exitCode, 0);
    EXPECT_EQ(pixelsOf("back.bmp"), std::vector<std::uint32_t>(40, 0x626562));
}

TEST_F(BmconvConverter, WritesHeaderFilesAndHonoursPaletteFiles)
{
    writeFile("Status_Online.bmp", makeBmp24(1, 1, {0x336699}));
    ASSERT_EQ(
        run({"/hicons.h", "Icons.mbm", "/c8Status_Online.bmp", "/1Status_Online.bmp"}).exitCode, 0);
    const Bytes header = readFile("icons.h");
    EXPECT_EQ(std::string(header.begin(), header.end()),
              "// icons.h\r\n// Generated by BitmapCompiler\r\n//\r\n\r\nenum TMbmIcons\r\n\t{\r\n"
              "\tEMbmIconsStatus_online,\r\n\tEMbmIconsStatus_online\r\n\t};\r\n");

    // A palette whose first entry is the picture's colour makes it index 0.
    std::string palette = "0x00996633\r\n";
    for (int i = 1; i < 256; ++i)
        palette += "0x00000000, ";
    writeFile("mine.pal", Bytes(palette.begin(), palette.end()));
    ASSERT_EQ(run({"/n", "/pmine.pal", "p.mbm", "/c8Status_Online.bmp"}).exitCode, 0);
    const Bytes store = readFile("p.mbm");
    EXPECT_EQ(store[20 + 40], 0);
}

TEST_F(BmconvConverter, ReadsCommandFilesAndShowsUsage)
{
    writeFile("ok.bmp", makeBmp24(1, 1, {0xFF0000}));
    const std::string commands =
        "// pack one icon\r\ncmd.mbm   // the store\r\n\t/c16ok.bmp\x1A\r\n";
    writeFile("make.txt", Bytes(commands.begin(), commands.end()));
    EXPECT_EQ(run({"make.txt"}).lines, packReport("File store", "cmd.mbm", {"ok.bmp"}, "Success."));

    const Ran bad = run({"missing.txt"});
    EXPECT_EQ(bad.lines, withBanner({"Bad command file."}));
    EXPECT_EQ(bad.exitCode, 6);

    const Ran usage = run({});
    ASSERT_GT(usage.lines.size(), 10u);
    EXPECT_EQ(usage.lines[1], "BMCONV version 119.");
    EXPECT_EQ(usage.lines[5], "Usage:");
    EXPECT_EQ(usage.exitCode, 0);
}

// A loop of links stands for any file that is there but cannot be opened (permissions do not
// stop root): the system's reason is given and the file is not called missing.
TEST_F(BmconvConverter, FilesThatExistButCannotBeReadAreNotCalledMissing)
{
    fs::create_symlink("loop.mbm", "loop.mbm");
    fs::create_directory("folder.mbm");
    RunOutput r = runConverter({"/v", "loop.mbm"});
    EXPECT_EQ(crlfLines(r.out),
              withBanner({"Problem reading number of bitmaps ", "Bad source file(s).", ""}));
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.diagnostics, "bmconv: loop.mbm: Too many levels of symbolic links\n");
    r = runConverter({"/v", "folder.mbm"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.diagnostics, "bmconv: folder.mbm: is a folder, not a file\n");

    writeFile("ok.bmp", makeBmp24(1, 1, {0xFF0000}));
    fs::create_symlink("loop.bmp", "loop.bmp");
    fs::create_symlink("ok-alpha.bmp", "ok-alpha.bmp");
    fs::create_symlink("loop.pal", "loop.pal");
    const std::vector<PackError> cases = {
        {{"o.mbm", "/c16loop.bmp"}, 4, "Bad source file(s)."},
        {{"o.mbm", "/c32aok.bmp"}, 4, "Bad source file(s)."},
        {{"/ploop.pal", "o.mbm", "/c8ok.bmp"}, 6, "Bad command file."},
    };
    for (const PackError &c : cases) {
        r = runConverter(c.args);
        EXPECT_EQ(crlfLines(r.out).back(), c.message) << c.args.back();
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back();
        EXPECT_NE(r.diagnostics.find(": Too many levels of symbolic links\n"), std::string::npos)
            << r.diagnostics;
    }
}

TEST_F(BmconvConverter, EchoedNamesCannotControlTheTerminal)
{
    RunOutput r = runConverter({"out\n\x1b[2J.mbm", "/c16no\t\xe2\x80\xae.bmp"});
    EXPECT_EQ(crlfLines(r.out), packReport("File store", "out\\x0A\\x1B[2J.mbm",
                                           {"no\\x09\\u202E.bmp"}, "File does not exist"));
    EXPECT_EQ(r.diagnostics, "bmconv: no\\x09\\u202E.bmp: No such file or directory\n");

    r = runConverter({"/u", "none\x1b.mbm", "t\x7f\r.bmp"});
    EXPECT_EQ(crlfLines(r.out),
              withBanner({"Decompiling...", "Epoc file: none\\x1B.mbm", "",
                          "Bitmap file 1\t: t\\x7F\\x0D.bmp", "File does not exist"}));
    EXPECT_EQ(r.diagnostics, "bmconv: none\\x1B.mbm: No such file or directory\n");

    fs::copy_file(fixture("tiny_2x1_c16.mbm"), "tiny\xc2\x9b\xd0\x96.mbm");
    r = runConverter({"/v", "tiny\xc2\x9b\xd0\x96.mbm"});
    EXPECT_EQ(crlfLines(r.out).at(3),
              "tiny\\u009B\xd0\x96.mbm is a File store containing 1 bitmap");

    EXPECT_EQ(runConverter({"-\x1b", "o.mbm", "x.bmp"}).diagnostics,
              "bmconv: unknown option -\\x1B\n");
    EXPECT_EQ(runConverter({"o.mbm", "/c5\x1b.bmp"}).diagnostics,
              "bmconv: /c5\\x1B.bmp: not a bitmap mode\n");
}

TEST_F(BmconvConverter, TakesExistingPathsThatStartWithASlashAsNames)
{
    writeFile("ok.bmp", makeBmp24(1, 1, {0xFFFFFF}));
    const std::string folder = fs::current_path().string();
    const Ran r = run({folder + "/abs.mbm", folder + "/ok.bmp"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(run({"/v", "abs.mbm"}).lines[8], "2 Bpp Monochrome");
}
