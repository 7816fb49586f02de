#include "bmconv/Converter.h"

#include "bmconv/Bmp.h"
#include "bmconv/Colour.h"
#include "bmconv/FileIo.h"
#include "bmconv/Mbm.h"
#include "bmconv/Rle.h"
#include "bmconv/Terminal.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <new>
#include <string_view>

namespace bmconv {

namespace {

class Report
{
public:
    void line(std::string_view text = {})
    {
        m_text += text;
        m_text += "\r\n";
    }
    void text(std::string_view text) { m_text += text; }
    void banner()
    {
        line();
        line();
        line("BMCONV version " + std::to_string(kConverterVersion) + ".");
    }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
};

void noteDetail(RunOutput &output, const std::string &file, const Error &error)
{
    if (error.detail.empty())
        return;
    // Details of reading and writing already start with the file's name. The whole detail is
    // escaped, as it may quote a name or an argument.
    const bool named = file.empty() || error.detail.starts_with(file + ": ");
    output.diagnostics += "bmconv: " + (named ? "" : escapeForTerminal(file) + ": ") +
                          escapeForTerminal(error.detail) + "\n";
}

bool isSwitchChar(char c)
{
    return c == '/' || c == '-';
}

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// "/v", "-V", … exactly.
bool isBareSwitch(const std::string &arg, char letter)
{
    return arg.size() == 2 && isSwitchChar(arg[0]) && lower(arg[1]) == letter;
}

// On systems where paths start with '/', "/home/me/out.mbm" would otherwise read as the switch
// "/h" followed by "ome/me/out.mbm". A '/' argument with a further '/' whose folder exists is
// taken as a path.
bool isAbsolutePathArgument(const std::string &arg)
{
    if (arg.size() < 2 || arg[0] != '/' || arg.find('/', 1) == std::string::npos)
        return false;
    std::error_code ec;
    return std::filesystem::is_directory(std::filesystem::path(arg).parent_path(), ec);
}

// --- Information (/v) ------------------------------------------------------------------------

std::string_view colourLabel(std::uint32_t colour)
{
    switch (colour) {
    case Greyscale:
        return "Monochrome";
    case Colour:
        return "Colour";
    case ColourAlpha:
    case ColourPremultipliedAlpha:
        return "Colour with alpha channel";
    default:
        return "Unknown colour format";
    }
}

std::string_view compressionLabel(std::uint32_t compression)
{
    switch (compression) {
    case ByteRle:
        return "Bytewise RLE compression ";
    case TwelveBitRle:
        return "12 bit RLE compression ";
    case SixteenBitRle:
        return "16 bit RLE compression ";
    case TwentyFourBitRle:
        return "24 bit RLE compression ";
    case ThirtyTwoUnsignedRle:
        return "unsigned 32 bit RLE compression (no alpha channel) ";
    case ThirtyTwoAlphaRle:
        return "unsigned 32 bit RLE compression (with alpha channel) ";
    default:
        return {};
    }
}

void describeBitmap(Report &report, std::size_t number, const BitmapHeader &h)
{
    report.line();
    report.line("Bitmap " + std::to_string(number) + " information:");
    report.line("Pixel size " + std::to_string(h.width) + " x " + std::to_string(h.height));
    report.line("Twips size " + std::to_string(h.twipsWidth) + " x " +
                std::to_string(h.twipsHeight));
    report.line(std::to_string(h.bitsPerPixel) + " Bpp " + std::string(colourLabel(h.colour)));
    // Without a line end, as in the original tool: it runs into the compression line.
    if (h.paletteEntries > 0)
        report.text("Palette entries " + std::to_string(h.paletteEntries));
    if (h.compression == NoCompression) {
        report.line("No compression");
    } else if (isKnownCompression(h.compression)) {
        // Stored size as a share of the raw size: smaller is better.
        const std::int64_t percent = (std::int64_t(h.bitmapSize) - 40) * 100 / h.rawSize();
        report.line(std::string(compressionLabel(h.compression)) + std::to_string(percent) + "%");
    }
}

RunOutput showInformation(const std::string &name)
{
    RunOutput output;
    Report report;
    report.banner();

    auto file = readWholeFile(name);
    Result<MbmDirectory> listed = file ? readMbmDirectory(*file) : std::unexpected(file.error());
    if (!listed) {
        noteDetail(output, name, listed.error());
        report.line("Problem reading number of bitmaps ");
        report.line(statusMessage(listed.error().status));
        report.line();
        output.out = report.take();
        output.exitCode = static_cast<int>(listed.error().status);
        return output;
    }
    const MbmDirectory &directory = *listed;

    const std::size_t count = directory.offsets.size();
    report.line(escapeForTerminal(name) + " is a " +
                (directory.kind == StoreKind::RomImage ? "ROM image" : "File store") +
                " containing " + std::to_string(count) + (count == 1 ? " bitmap" : " bitmaps"));
    for (std::size_t i = 0; i < count; ++i) {
        auto record = readBitmapRecord(*file, directory, i);
        Result<Bytes> pixels;
        // A bitmap is expanded before it is described, so a broken one is reported instead.
        if (record && isKnownCompression(record->header.compression))
            pixels = decodeBitmapData(*record);
        const Error *error = !record ? &record.error() : !pixels ? &pixels.error() : nullptr;
        if (error) {
            noteDetail(output, name, *error);
            report.line();
            report.line("Problem loading bitmap number " + std::to_string(i));
            report.line(statusMessage(error->status));
            output.exitCode = static_cast<int>(error->status);
            break;
        }
        describeBitmap(report, i + 1, record->header);
    }
    report.line();
    output.out = report.take();
    return output;
}

// --- Unpacking (/u) --------------------------------------------------------------------------

Result<void> unpackInto(const std::string &name, const std::vector<std::string> &targets)
{
    auto file = readWholeFile(name);
    if (!file)
        return std::unexpected(file.error());
    auto directory = readMbmDirectory(*file);
    if (!directory)
        return std::unexpected(directory.error());

    // One pass over each folder: a pass per target would read a folder of N bitmaps N times.
    removeOldTemporaries(targets);
    std::vector<PendingFile> pending;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (i >= directory->offsets.size())
            return fail(Status::SourceTargetMismatch,
                        "the file holds only " + std::to_string(directory->offsets.size()) +
                            " bitmaps");
        auto record = readBitmapRecord(*file, *directory, i);
        if (!record)
            return std::unexpected(record.error());
        auto raw = decodeBitmapData(*record);
        if (!raw)
            return std::unexpected(raw.error());

        const BitmapHeader &h = record->header;
        const RgbImage picture = decodePixels(*raw, h.width, h.height, h.mode());
        auto written =
            prepareFileReplacing(targets[i], writeBmp24(picture), Replace::Quickly, Cleanup::Done);
        if (!written)
            return std::unexpected(written.error());
        pending.push_back(std::move(*written));
        const bool alpha = h.bitsPerPixel == 32 &&
                           (h.colour == ColourAlpha || h.colour == ColourPremultipliedAlpha);
        if (alpha) {
            const Bytes levels = extractAlpha(*raw, h.width, h.height);
            auto mask =
                prepareFileReplacing(alphaCompanionName(targets[i]),
                                     writeBmpGrey8(h.width, h.height, levels), Replace::Quickly);
            if (!mask)
                return std::unexpected(mask.error());
            pending.push_back(std::move(*mask));
        }
    }
    // Every target is written before the first takes its place: a failure on the way leaves
    // all of them as they were.
    for (PendingFile &file : pending) {
        if (auto committed = file.commit(); !committed)
            return fail(Status::BadDestinationFile, committed.error());
    }
    return {};
}

RunOutput unpack(const std::string &name, const std::vector<std::string> &targets)
{
    RunOutput output;
    Report report;
    report.banner();
    report.line("Decompiling...");
    if (targets.empty()) {
        report.line(statusMessage(Status::SourceTargetMismatch));
        output.out = report.take();
        output.exitCode = static_cast<int>(Status::SourceTargetMismatch);
        return output;
    }
    report.line("Epoc file: " + escapeForTerminal(name));
    report.line();

    const auto done = unpackInto(name, targets);
    for (std::size_t i = 0; i < targets.size(); ++i)
        report.line("Bitmap file " + std::to_string(i + 1) +
                    "\t: " + escapeForTerminal(targets[i]));
    const Status status = done ? Status::Success : done.error().status;
    // A target that could not be written is named by its own detail, not after the store.
    if (!done)
        noteDetail(output, done.error().status == Status::BadDestinationFile ? std::string() : name,
                   done.error());
    report.line(statusMessage(status));
    output.out = report.take();
    output.exitCode = static_cast<int>(status);
    return output;
}

// --- Packing ---------------------------------------------------------------------------------

struct PackOptions
{
    bool rom = false;
    bool compressedRom = false;
    bool noCompression = false;
    bool quiet = false;
    std::string headerFile;
    bool wantHeader = false;
    std::string paletteFile;
    bool wantPalette = false;
    std::string output;
    bool hasOutput = false;
    std::vector<std::string> sources;
    // A switch the converter does not know; packing refuses it rather than take it as the
    // output's name.
    std::string unknownOption;
};

PackOptions parsePackOptions(const std::vector<std::string> &args)
{
    PackOptions o;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg.size() < 2 || !isSwitchChar(arg[0]) || isAbsolutePathArgument(arg))
            break;
        const char letter = lower(arg[1]);
        if (arg.size() == 2 && letter == 'r')
            o.rom = true;
        else if (arg.size() == 2 && letter == 's')
            o.compressedRom = true;
        else if (arg.size() == 2 && letter == 'n')
            o.noCompression = true;
        else if (arg.size() == 2 && letter == 'q')
            o.quiet = true;
        else if (letter == 'h') {
            o.wantHeader = true;
            o.headerFile = arg.substr(2);
        } else if (letter == 'p') {
            o.wantPalette = true;
            o.paletteFile = arg.substr(2);
        } else if (arg == "--") {
            // The output may then start with a switch character.
            ++i;
            break;
        } else {
            o.unknownOption = arg;
            return o;
        }
    }
    if (i < args.size()) {
        o.output = args[i];
        o.hasOutput = true;
        o.sources.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    }
    return o;
}

struct SourceSpec
{
    BitmapMode mode;
    std::string name;
    bool valid = true;
};

// "[/|-][c]D[D][a]name": c for colour, one digit of depth, a second digit when it is 2, 4 or 6
// (so /c12, /c16, /c24, /c32), and `a` after /c32 for a 32-bit bitmap with alpha. No prefix
// stores 2-bit grey. Unlike the SDK tool we take `a` only after /c32, so "/c16a.bmp" is the file
// a.bmp stored as 16-bit colour.
SourceSpec parseSource(const std::string &arg)
{
    if (arg.empty() || !isSwitchChar(arg[0]))
        return {{2, Greyscale}, arg, true};
    std::size_t i = 1;
    SourceSpec spec;
    const bool colour = i < arg.size() && arg[i] == 'c';
    if (colour)
        ++i;
    int bpp = 0;
    if (i < arg.size() && std::isdigit(static_cast<unsigned char>(arg[i]))) {
        bpp = arg[i++] - '0';
        if (i < arg.size() && (arg[i] == '2' || arg[i] == '4' || arg[i] == '6'))
            bpp = bpp * 10 + (arg[i++] - '0');
    }
    spec.mode = {bpp, colour ? Colour : Greyscale};
    if (colour && bpp == 32 && i < arg.size() && arg[i] == 'a') {
        spec.mode.colour = ColourAlpha;
        ++i;
    }
    spec.name = arg.substr(i);
    spec.valid = bpp != 0 && isStorableMode(spec.mode);
    // A file that merely starts with a switch character ("/tmp/x.bmp", "-x.bmp") is a plain name.
    if (!spec.valid && fileExists(arg))
        return {{2, Greyscale}, arg, true};
    return spec;
}

bool isRepackSource(const std::string &arg)
{
    return arg.size() >= 2 && isSwitchChar(arg[0]) && lower(arg[1]) == 'm';
}

std::int32_t twips(std::int64_t pixels, std::int32_t pelsPerMetre)
{
    if (pelsPerMetre <= 0)
        return 0;
    // The original tool computes this in 32 bits and overflows from 1492 pixels on.
    const std::int64_t value = pixels * 1440000 / 254 / pelsPerMetre;
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, INT32_MAX));
}

struct PackFailure
{
    Status status = Status::Success;
    std::string file;
    std::string detail;
    std::string message; // replaces the status message when set
};

PackFailure failureFrom(const Error &error, const std::string &file)
{
    return {error.status, file, error.detail, {}};
}

Result<Colour256Table> loadPaletteTable(const std::string &path)
{
    auto bytes = readWholeFile(path);
    if (!bytes)
        return fail(Status::BadCommandFile, bytes.error().detail);
    // 256 numbers written 0x00BBGGRR; anything between them is ignored.
    std::array<std::uint32_t, 256> palette{};
    std::size_t found = 0;
    const std::string text(bytes->begin(), bytes->end());
    for (std::size_t at = 0; found < 256 && at + 1 < text.size(); ++at) {
        if (text[at] != '0' || (text[at + 1] != 'x' && text[at + 1] != 'X'))
            continue;
        std::uint32_t bgr = 0;
        std::size_t digits = 0;
        std::size_t p = at + 2;
        for (; p < text.size() && digits < 8 && std::isxdigit(static_cast<unsigned char>(text[p]));
             ++p, ++digits) {
            const char c = lower(text[p]);
            bgr = bgr << 4 | static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
        }
        if (digits == 0)
            continue;
        palette[found++] = (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
        at = p - 1;
    }
    if (found < 256)
        return fail(Status::BadPaletteFile,
                    "the palette file holds " + std::to_string(found) + " of 256 colours");
    return buildColour256Table(palette);
}

// The enum name part of a file: its base name, first letter upper case, the rest lower case.
std::string enumName(const std::string &path)
{
    std::string stem = std::filesystem::path(path).stem().string();
    for (std::size_t i = 0; i < stem.size(); ++i)
        stem[i] = static_cast<char>(i == 0 ? std::toupper(static_cast<unsigned char>(stem[i]))
                                           : std::tolower(static_cast<unsigned char>(stem[i])));
    return stem;
}

Bytes headerFileText(const std::string &headerFile, const std::string &mbmFile,
                     const std::vector<std::string> &sourceNames)
{
    const std::string name = enumName(mbmFile);
    std::string text = "// " + std::filesystem::path(headerFile).filename().string() + "\r\n" +
                       "// Generated by BitmapCompiler\r\n//\r\n\r\n" + "enum TMbm" + name +
                       "\r\n\t{\r\n";
    for (std::size_t i = 0; i < sourceNames.size(); ++i) {
        text += "\tEMbm" + name + enumName(sourceNames[i]);
        text += i + 1 < sourceNames.size() ? ",\r\n" : "\r\n";
    }
    text += "\t};\r\n";
    return Bytes(text.begin(), text.end());
}

Result<EncodedBitmap> packBmpSource(const SourceSpec &spec, const Colour256Table &table256,
                                    bool compressData, std::string &failedFile)
{
    failedFile = spec.name;
    auto bytes = readWholeFile(spec.name);
    if (!bytes)
        return std::unexpected(bytes.error());
    auto bmp = readBmp(*bytes);
    if (!bmp)
        return std::unexpected(bmp.error());
    const RgbImage &picture = bmp->picture;

    Bytes alpha;
    if (spec.mode.colour == ColourAlpha) {
        failedFile = alphaCompanionName(spec.name);
        auto alphaBytes = readWholeFile(failedFile);
        if (!alphaBytes && alphaBytes.error().status == Status::FileNotFound)
            return fail(Status::AlphaFileNotFound, alphaBytes.error().detail);
        if (!alphaBytes)
            return std::unexpected(alphaBytes.error());
        auto alphaBmp = readBmp(*alphaBytes);
        if (!alphaBmp)
            return std::unexpected(alphaBmp.error());
        if (alphaBmp->bitsPerPixel != 8 || alphaBmp->paletteSize != 256)
            return fail(Status::AlphaNot8Bpp, "needs 8 bits per pixel and 256 colours");
        if (alphaBmp->picture.width != picture.width || alphaBmp->picture.height != picture.height)
            return fail(Status::AlphaSizeMismatch, "differs in size from its bitmap");
        alpha = std::move(alphaBmp->indices);
    }

    BitmapHeader header;
    header.width = picture.width;
    header.height = picture.height;
    header.twipsWidth = twips(picture.width, bmp->xPelsPerMetre);
    header.twipsHeight = twips(picture.height, bmp->yPelsPerMetre);
    header.bitsPerPixel = spec.mode.bitsPerPixel;
    header.colour = spec.mode.colour;
    Bytes raw = encodePixels(picture, spec.mode, alpha.empty() ? nullptr : alpha.data(), table256);
    return encodeBitmap(header, std::move(raw), compressData);
}

Result<std::vector<EncodedBitmap>> repackMbm(const std::string &name, bool compressData)
{
    auto file = readWholeFile(name);
    if (!file)
        return std::unexpected(file.error());
    auto directory = readMbmDirectory(*file);
    if (!directory)
        return std::unexpected(directory.error());
    std::vector<EncodedBitmap> bitmaps;
    for (std::size_t i = 0; i < directory->offsets.size(); ++i) {
        auto record = readBitmapRecord(*file, *directory, i);
        if (!record)
            return std::unexpected(record.error());
        if (record->header.paletteEntries > 0)
            return fail(Status::PalettesNotSupported, "bitmap " + std::to_string(i) + " has one");
        auto raw = decodeBitmapData(*record);
        if (!raw)
            return std::unexpected(raw.error());
        bitmaps.push_back(encodeBitmap(record->header, std::move(*raw), compressData));
    }
    return bitmaps;
}

// Builds the store; `shown` receives each source name without its prefix as it is processed.
PackFailure packSources(const PackOptions &o, std::vector<std::string> &shown)
{
    if (!o.hasOutput || o.sources.empty())
        return {Status::SourceTargetMismatch, {}, "no source bitmaps given", {}};

    const bool compressData = o.rom || o.compressedRom ? o.compressedRom : !o.noCompression;
    Colour256Table customTable;
    const Colour256Table *table256 = nullptr;
    if (o.wantPalette) {
        auto loaded = loadPaletteTable(o.paletteFile);
        if (!loaded)
            return failureFrom(loaded.error(), o.paletteFile);
        customTable = *loaded;
        table256 = &customTable;
    }

    std::vector<EncodedBitmap> bitmaps;
    std::vector<std::string> sourceNames;
    if (o.sources.size() == 1 && isRepackSource(o.sources[0])) {
        const std::string name = o.sources[0].substr(2);
        shown[0] = name;
        if (o.wantHeader)
            return {Status::BadArgument,
                    {},
                    {},
                    "Header file generation is not permitted with /m or -m"};
        auto repacked = repackMbm(name, compressData);
        if (!repacked)
            return failureFrom(repacked.error(), name);
        bitmaps = std::move(*repacked);
    } else {
        for (std::size_t k = 0; k < o.sources.size(); ++k) {
            const SourceSpec spec = parseSource(o.sources[k]);
            shown[k] = spec.name;
            if (!spec.valid)
                return {Status::InvalidBitmapMode, o.sources[k], "not a bitmap mode", {}};
            if (!table256 && spec.mode == BitmapMode{8, Colour})
                table256 = &defaultColour256Table();
            std::string failedFile;
            auto bitmap =
                packBmpSource(spec, table256 ? *table256 : customTable, compressData, failedFile);
            if (!bitmap)
                return failureFrom(bitmap.error(), failedFile);
            bitmaps.push_back(std::move(*bitmap));
            sourceNames.push_back(spec.name);
        }
    }

    const Bytes store = o.rom || o.compressedRom ? writeRomImage(bitmaps) : writeFileStore(bitmaps);
    if (o.wantHeader) {
        auto written =
            writeFileReplacing(o.headerFile, headerFileText(o.headerFile, o.output, sourceNames));
        if (!written)
            return failureFrom(written.error(), o.headerFile);
    }
    if (auto written = writeFileReplacing(o.output, store); !written)
        return failureFrom(written.error(), o.output);
    return {};
}

RunOutput pack(const std::vector<std::string> &args)
{
    RunOutput output;
    Report report;
    const PackOptions o = parsePackOptions(args);
    if (!o.unknownOption.empty()) {
        noteDetail(output, {}, Error{Status::BadArgument, "unknown option " + o.unknownOption});
        report.banner();
        report.line(statusMessage(Status::BadArgument));
        output.out = report.take();
        output.exitCode = static_cast<int>(Status::BadArgument);
        return output;
    }
    if (o.rom && o.compressedRom) {
        report.banner();
        report.line(statusMessage(Status::TooManyArguments));
        output.out = report.take();
        output.exitCode = static_cast<int>(Status::TooManyArguments);
        return output;
    }

    std::vector<std::string> shown = o.sources;
    const PackFailure failure = packSources(o, shown);
    if (failure.status != Status::Success && !failure.detail.empty())
        noteDetail(output, failure.file, Error{failure.status, failure.detail});
    output.exitCode = static_cast<int>(failure.status);
    if (o.quiet && failure.status == Status::Success)
        return output;

    report.banner();
    report.line("Compiling...");
    std::string_view storeType = "File store";
    if (o.compressedRom)
        storeType = "Compressed ROM image store";
    else if (o.rom)
        storeType = "ROM image store";
    report.line("Multiple bitmap store type: " + std::string(storeType));
    report.line("Epoc file: " + escapeForTerminal(o.output));
    report.line();
    for (std::size_t k = 0; k < shown.size(); ++k)
        report.line("Bitmap file " + std::to_string(k + 1) + "\t: " + escapeForTerminal(shown[k]));
    report.line(failure.message.empty() ? std::string(statusMessage(failure.status))
                                        : failure.message);
    output.out = report.take();
    return output;
}

// --- Usage and dispatch ----------------------------------------------------------------------

RunOutput usage()
{
    static constexpr std::string_view lines[] = {
        "",
        "Symbian OS multiple bitmap file/rom store conversion program.",
        "Velmora for TolvoICQ: an independent implementation, file-compatible with the SDK tool.",
        "",
        "Usage:",
        "BMCONV [/r|/s|/n] [/hfilename] [/q] [/pfilename] epocfile [OPT]bmp_1 ... [OPT]bmp_n",
        "BMCONV [/r|/s|/n] [/q] [/pfilename] epocfile /mepocfile2",
        "BMCONV /u epocfile bmp_1 [... bmp_n]",
        "BMCONV /v epocfile",
        "BMCONV commandfile",
        "",
        " /r specifies a ROM image destination file,",
        " /s specifies a compressed ROM image destination file,",
        " /n disables the compression of a file store (compressed by default),",
        " /q specifies quiet mode: nothing is printed unless an error occurs,",
        " /h specifies the name of a C++ header file listing the bitmaps,",
        " /p specifies a palette file of 256 numbers written 0x00BBGGRR, used to",
        "    choose the colours of 8 bpp colour bitmaps,",
        " /m re-packs the bitmaps of epocfile2, for example into a ROM image,",
        " /u unpacks the bitmaps of epocfile into 24 bpp BMP files,",
        " /v shows the header information of each bitmap in epocfile.",
        " Every option may also be written with - instead of /.",
        "",
        " OPT is one of /1 /2 /4 /8 (grey) or /c4 /c8 /c12 /c16 /c24 /c32 /c32a (colour),",
        " the bits per pixel of the stored bitmap; the default is /2.",
        " /c32a takes the alpha channel from <name>-alpha.bmp, an 8 bpp bitmap of the",
        " same size with 256 colours; the value of each pixel is its alpha.",
        "",
        " A command file holds the same arguments separated by blanks or line breaks;",
        " // starts a comment that runs to the end of the line.",
    };
    Report report;
    report.line();
    report.line("BMCONV version " + std::to_string(kConverterVersion) + ".");
    for (std::size_t i = 1; i < std::size(lines); ++i)
        report.line(lines[i]);
    return {report.take(), {}, 0};
}

RunOutput runArguments(const std::vector<std::string> &args)
{
    if (isBareSwitch(args[0], 'v'))
        return showInformation(args.size() > 1 ? args[1] : std::string());
    if (isBareSwitch(args[0], 'u')) {
        const std::vector<std::string> targets(args.begin() + std::min<std::size_t>(2, args.size()),
                                               args.end());
        return unpack(args.size() > 1 ? args[1] : std::string(), targets);
    }
    return pack(args);
}

// `why` is the reason the file could not serve, starting with its name.
RunOutput badCommandFile(const std::string &why)
{
    // Reported before any work: no command heading.
    RunOutput output;
    Report report;
    report.banner();
    report.line(statusMessage(Status::BadCommandFile));
    output.out = report.take();
    output.diagnostics = "bmconv: " + escapeForTerminal(why) + "\n";
    output.exitCode = static_cast<int>(Status::BadCommandFile);
    return output;
}

} // namespace

std::vector<std::string> splitCommandFile(const std::string &text)
{
    std::vector<std::string> args;
    std::string current;
    auto flush = [&] {
        if (!current.empty())
            args.push_back(std::move(current));
        current.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            flush();
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            flush();
        } else if (c != '\x1A') {
            current += c;
        }
    }
    flush();
    return args;
}

std::string alphaCompanionName(const std::string &path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return path + "-alpha";
    return path.substr(0, dot) + "-alpha" + path.substr(dot);
}

RunOutput runConverter(const std::vector<std::string> &arguments)
{
    try {
        if (arguments.empty())
            return usage();
        if (arguments.size() == 1) {
            auto text = readWholeFile(arguments[0]);
            if (!text)
                return badCommandFile(text.error().detail);
            const auto args = splitCommandFile(std::string(text->begin(), text->end()));
            if (args.empty())
                return badCommandFile(arguments[0] + ": holds no arguments");
            return runArguments(args);
        }
        return runArguments(arguments);
    } catch (const std::bad_alloc &) {
        Report report;
        report.banner();
        report.line(statusMessage(Status::OutOfMemory));
        return {report.take(), "bmconv: out of memory\n", static_cast<int>(Status::OutOfMemory)};
    }
}

} // namespace bmconv
