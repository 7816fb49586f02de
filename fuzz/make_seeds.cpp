// The seeds of the fuzz entries for packages, package descriptions, bitmaps and settings, made
// with the program's own writers (and, for the BMP layouts bmconv has no writer for, a few lines
// here), so that every seed is something we produce or a layout we must read.
//
//   make_fuzz_seeds write FOLDER   writes every seed below into FOLDER
//   make_fuzz_seeds check FOLDER   checks that each of them in FOLDER is still accepted by its
//                                  reader: a seed the reader refuses at once only fuzzes the
//                                  first few checks.

#include "bmconv/Bmp.h"
#include "bmconv/Mbm.h"
#include "containers/MifFile.h"
#include "core/Palette.h"
#include "core/SettingsFile.h"
#include "core/SkinFile.h"
#include "document/HistoryRecords.h"
#include "export/SaveSkin.h"
#include "export/sis/PackageBuilder.h"
#include "export/sis/Signer.h"
#include "platform/JournalFile.h"

#include <QJsonDocument>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Failure
{
    std::string message;
};

[[noreturn]] void fail(const std::string &message)
{
    throw Failure{message};
}

Bytes fromQt(const QByteArray &bytes)
{
    return Bytes(bytes.begin(), bytes.end());
}

Bytes fromText(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

Bytes readAll(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::filesystem::path &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        fail("cannot write " + path.string());
}

// ---- Pictures ----

// A small picture with runs (for the RLE schemes) and a gradient (for the palettes).
bmconv::RgbImage samplePicture(int width, int height)
{
    bmconv::RgbImage image{width, height, Bytes(std::size_t(width) * height * 3)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t *p = image.bgr.data() + (std::size_t(y) * width + x) * 3;
            if (x < width * 3 / 4) {
                p[0] = 0x20, p[1] = 0x80, p[2] = 0xE0;
            } else {
                p[0] = std::uint8_t(40 * x), p[1] = std::uint8_t(60 * y),
                p[2] = std::uint8_t(90 * (x + y));
            }
        }
    }
    return image;
}

// A BMP in a layout bmconv has no writer for: any header size, depth, colour table, masks and
// row order. `pixel(x, y)` gives the stored value of a pixel (an index, or the packed word).
struct BmpLayout
{
    std::uint32_t headerSize = 40;
    int width = 1;
    int height = 1; // negative: top row first
    int bitsPerPixel = 8;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette = {}; // 0xRRGGBB
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> masks = {}; // R, G, B (and A)
    std::function<std::uint32_t(int, int)> pixel = {};
};

Bytes bmpFile(const BmpLayout &layout)
{
    const bool core = layout.headerSize == 12;
    const bool masksInHeader = layout.headerSize >= 52;
    const std::uint32_t tableSize = std::uint32_t(layout.palette.size()) * (core ? 3 : 4) +
                                    (masksInHeader ? 0 : std::uint32_t(layout.masks.size()) * 4);
    const std::uint32_t offBits = 14 + layout.headerSize + tableSize;
    const int rows = layout.height < 0 ? -layout.height : layout.height;
    const std::size_t rowBytes = (std::size_t(layout.width) * layout.bitsPerPixel + 31) / 32 * 4;

    Bytes out{'B', 'M'};
    bmconv::appendU32(out, offBits + std::uint32_t(rowBytes * rows));
    bmconv::appendU32(out, 0);
    bmconv::appendU32(out, offBits);
    bmconv::appendU32(out, layout.headerSize);
    if (core) {
        bmconv::appendU16(out, std::uint16_t(layout.width));
        bmconv::appendU16(out, std::uint16_t(layout.height));
        bmconv::appendU16(out, 1);
        bmconv::appendU16(out, std::uint16_t(layout.bitsPerPixel));
    } else {
        bmconv::appendI32(out, layout.width);
        bmconv::appendI32(out, layout.height);
        bmconv::appendU16(out, 1);
        bmconv::appendU16(out, std::uint16_t(layout.bitsPerPixel));
        bmconv::appendU32(out, layout.compression);
        bmconv::appendU32(out, std::uint32_t(rowBytes * rows));
        bmconv::appendI32(out, 2835); // 72 dpi
        bmconv::appendI32(out, 2835);
        bmconv::appendU32(out, layout.coloursUsed);
        bmconv::appendU32(out, 0);
        const std::size_t headerEnd = 14 + layout.headerSize;
        if (masksInHeader)
            for (std::uint32_t mask : layout.masks)
                bmconv::appendU32(out, mask);
        out.resize(headerEnd, 0);
    }
    for (std::uint32_t rgb : layout.palette) {
        out.push_back(std::uint8_t(rgb));
        out.push_back(std::uint8_t(rgb >> 8));
        out.push_back(std::uint8_t(rgb >> 16));
        if (!core)
            out.push_back(0);
    }
    if (!masksInHeader)
        for (std::uint32_t mask : layout.masks)
            bmconv::appendU32(out, mask);

    for (int row = 0; row < rows; ++row) {
        const int y = layout.height < 0 ? row : rows - 1 - row;
        Bytes line(rowBytes, 0);
        for (int x = 0; x < layout.width; ++x) {
            const std::uint32_t value = layout.pixel(x, y);
            const int bpp = layout.bitsPerPixel;
            if (bpp < 8) {
                const int shift = 8 - bpp * (x % (8 / bpp) + 1);
                line[std::size_t(x * bpp / 8)] |= std::uint8_t(value << shift);
            } else {
                for (int i = 0; i < bpp / 8; ++i)
                    line[std::size_t(x * bpp / 8 + i)] = std::uint8_t(value >> (8 * i));
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

std::string acceptBmp(const Bytes &bytes)
{
    const auto bmp = bmconv::readBmp(bytes);
    return bmp ? std::string() : bmp.error().detail;
}

// ---- MBM ----

bmconv::EncodedBitmap storedBitmap(const bmconv::RgbImage &image, bmconv::BitmapMode mode,
                                   bool compress)
{
    bmconv::BitmapHeader header;
    header.width = image.width;
    header.height = image.height;
    header.bitsPerPixel = mode.bitsPerPixel;
    header.colour = mode.colour;
    Bytes alpha(std::size_t(image.width) * image.height);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = i % image.width == std::size_t(image.width) - 1 ? std::uint8_t(i * 37) : 0xFF;
    return bmconv::encodeBitmap(
        header, bmconv::encodePixels(image, mode, alpha.data(), bmconv::defaultColour256Table()),
        compress);
}

std::string acceptMbm(const Bytes &bytes)
{
    const auto directory = bmconv::readMbmDirectory(bytes);
    if (!directory)
        return directory.error().detail;
    if (directory->offsets.empty())
        return "no bitmaps";
    for (std::size_t i = 0; i < directory->offsets.size(); ++i) {
        const auto record = bmconv::readBitmapRecord(bytes, *directory, i);
        if (!record)
            return record.error().detail;
        if (const auto data = bmconv::decodeBitmapData(*record); !data)
            return data.error().detail;
    }
    return {};
}

// ---- Settings ----

QByteArray toQt(const Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

std::string acceptPalette(const Bytes &bytes, const QString &name)
{
    const auto palette = readPalette(toQt(bytes), name);
    if (!palette)
        return palette.error().message.toStdString();
    return std::ranges::all_of(*palette, [](const auto &c) { return c.has_value(); })
               ? ""
               : "the palette does not give every slot";
}

// Pictures of a seed journal: any key, one small picture.
class SeedPictures : public PictureStore
{
public:
    Result<QByteArray> put(const QImage &picture) override
    {
        return QByteArray(64, picture.width() % 2 ? 'b' : 'a');
    }
    Result<QImage> get(const QByteArray &key) override
    {
        QImage picture(key.startsWith('b') ? 3 : 2, 2, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        return picture;
    }
};

// A journal as a session leaves it: a start, colour and picture steps, an undo, a step after
// it, and a normal end.
QList<QByteArray> journalSeedRecords()
{
    SeedPictures pictures;
    SkinState state;
    for (int slot = 0; slot < kSlotCount; ++slot)
        state.colours[std::size_t(slot)] = defaultSlotColour(slot);
    QList<QByteArray> records{originRecord(state, pictures)};
    state.colours[3] = makeColor(1, 2, 3);
    records.append(stepRecord(QStringLiteral("colour"), state, pictures));
    state.pictures.BackgroundSource = state.pictures.BackgroundPicture =
        QImage(3, 2, QImage::Format_RGB32);
    state.pictures.BackgroundSource.fill(Qt::black);
    records.append(stepRecord(QStringLiteral("background"), state, pictures));
    records.append(indexRecord(1));
    state.texts.copyright = QStringLiteral("(c)");
    records.append(stepRecord(QStringLiteral("texts"), state, pictures));
    records.append(closedRecord(QStringLiteral("/skins/seed.skin")));
    return records;
}

Bytes journalSeed()
{
    return fromQt(platform::journalBytes(journalSeedRecords()));
}

// The same session with one byte of its second step damaged: the reader must find the records
// after it again.
Bytes damagedJournalSeed()
{
    QByteArray bytes = platform::journalBytes(journalSeedRecords());
    const qsizetype at = bytes.indexOf(QByteArray("b\0a\0c\0k", 7));
    bytes[at + 2] = 'A';
    return fromQt(bytes);
}

std::string acceptDamagedJournal(const Bytes &bytes)
{
    const auto contents = platform::parseJournal(toQt(bytes), QStringLiteral("seed"));
    if (!contents)
        return contents.error().message.toStdString();
    return contents->gaps == 1 && contents->records.size() == journalSeedRecords().size() - 1
               ? ""
               : "the records after the damage are not found";
}

std::string acceptJournal(const Bytes &bytes)
{
    const auto contents = platform::parseJournal(toQt(bytes), QStringLiteral("seed"));
    if (!contents)
        return contents.error().message.toStdString();
    SeedPictures pictures;
    const auto history = replayHistory(contents->records, pictures, 8);
    if (!history)
        return history.error().message.toStdString();
    return history->closed && history->skippedRecords == 0 ? "" : "not every record replays";
}

std::string acceptSettings(const Bytes &bytes)
{
    SettingsValues values;
    const QStringList problems = readSettings(
        QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())), values);
    if (!problems.isEmpty())
        return problems.join(QStringLiteral("; ")).toStdString();
    return values == SettingsValues{} ? "no key was recognised" : "";
}

SettingsValues changedSettings()
{
    SettingsValues s;
    s.screenWidth = QStringLiteral("176");
    s.screenHeight = QStringLiteral("208");
    s.phoneFrame = true;
    s.modelName = QStringLiteral("Nokia N73 (240*320)");
    s.setupFormPosition = QPoint(120, 48);
    s.colourWindowAlpha = 200;
    s.previewFormPosition = QPoint(-20, 700);
    s.backgroundFormat = 2;
    s.cursorFormat = 1;
    s.cursorQuality = 95;
    s.showMenu = true;
    s.menuLeft = true;
    s.showInfoWindows = true;
    s.miniClock = true;
    s.lastShellPath = QStringLiteral("/home/user/Рабочий стол/skins");
    s.fonts[1] = SettingsFont{QStringLiteral("Open Sans"), 3, 7};
    s.columns = 3;
    s.symbianIndex = 0;
    return s;
}

// ---- Package descriptions and packages ----

SaveRequest skinRequest()
{
    SaveRequest request;
    request.skinName = QStringLiteral("myskin.skin");
    request.mifName = QStringLiteral("myskin.mif");
    request.copyright = QStringLiteral("© 2026 Velmora");
    request.background.format = PictureFormat::Mbm; // the .mbm line too
    return request;
}

const QStringList kMakerLines = {QStringLiteral("Velmora team, 2026"),
                                 QStringLiteral("E-Mail: velmora@example.org")};

// A description that uses what the reader knows beyond the skin's own lines: two languages (one
// with a dialect), the header's options, both dependency kinds with and without a range, every
// file operation with its options, escapes and comments.
constexpr std::string_view kFeaturesPkg =
    "; Velmora sample package\r\n"
    "&EN,RU(1)\r\n"
    "#{\"Velmora sample\",\"Образец\"},(0xEB7A0591),1,2,3,TYPE=SA,SH,NR,IU\r\n"
    "%{\"Velmora team\",\"Команда Velmora\"}\r\n"
    ":\"Velmora\"\r\n"
    "[0x101F7961],0,0,0,{\"Series60ProductID\",\"Series60ProductID\"}\r\n"
    "(0x10281F2B),1,0,0~2,5,-1,{\"Runtime\",\"Среда\"}\r\n"
    "\"readme.txt\"-\"\",FT,TA\r\n"
    "\"bin\\run.exe\"-\"!:\\sys\\bin\\run.exe\",FR,RI,RW\r\n"
    "\"data\"<169>\".dat\"-\"c:\\private\\eb7a0591\\data.dat\",FF\r\n"
    "\"logo.mbm\"-\"!:\\resource\\apps\\logo.mbm\"\r\n";

std::string acceptPkg(const Bytes &bytes)
{
    const auto description = velmora::sis::parsePkg(bytes, "seed.pkg");
    return description ? std::string() : description.error().message;
}

// A scratch folder of our own, removed with everything in it.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-seeds-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            fail("cannot make a scratch folder");
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// The skin's package as the save builds it: the skin, its .mif and .mbm staged in a folder, the
// install text beside the description. Stored instead of deflated when `stored`; signed with
// the program's certificate when `sign`.
Bytes skinPackage(bool stored, bool sign)
{
    ScratchFolder scratch;
    const std::filesystem::path &folder = scratch.path();
    const SaveRequest request = skinRequest();

    SkinData skin;
    for (std::size_t i = 0; i < skin.colours.size(); ++i)
        skin.colours[i] = TColor(0x10203 * (i + 1));
    skin.mifName = request.mifName;
    skin.copyright = request.copyright;
    const auto skinBytes = writeSkin(skin);
    if (!skinBytes)
        fail("writeSkin: " + skinBytes.error().message.toStdString());
    MifEntry background;
    background.Offset = -1;
    background.IsBitmap = true;
    MifEntry copy = background;
    const auto mif = writeMif({background, copy});
    if (!mif)
        fail("writeMif: " + mif.error().message.toStdString());
    const Bytes mbm =
        bmconv::writeFileStore({storedBitmap(samplePicture(6, 3), {24, bmconv::Colour}, true)});

    writeAll(folder / "myskin.skin", fromQt(*skinBytes));
    writeAll(folder / "myskin.mif", fromQt(*mif));
    writeAll(folder / "myskin.mbm", mbm);
    writeAll(folder / "Text(0-0).txt", fromQt(installText(request, kMakerLines)));
    const Bytes pkg =
        fromQt(packageDescription(request, QString::fromStdString(folder.string() + "/")));

    auto description = velmora::sis::parsePkg(pkg, "SkinForTolvoICQ.pkg");
    if (!description)
        fail(description.error().message);
    description->noCompress = stored;
    velmora::sis::BuildSettings settings;
    settings.searchDirectory = folder.string();
    settings.creationTime = velmora::sis::DateTime{2026, 11, 7, 20, 15, 30};
    auto built = velmora::sis::buildPackage(*description, "SkinForTolvoICQ.pkg", settings);
    if (!built)
        fail(built.error().message);
    if (!sign)
        return built->bytes;

    const std::string certFolder = VELMORA_CERT_DIR;
    const auto certificates =
        velmora::sis::loadCertificateFile(readAll(certFolder + "/Velmora.cer"));
    if (!certificates)
        fail(certificates.error().message);
    // The password the save passes to signsis (data/cert/README.md).
    const auto key = velmora::sis::loadPrivateKey(readAll(certFolder + "/Velmora.key"), "kite408");
    if (!key)
        fail(key.error().message);
    auto signedPackage = velmora::sis::signPackage(built->bytes, *certificates, *key);
    if (!signedPackage)
        fail(signedPackage.error().message);
    return *signedPackage;
}

std::string acceptPackage(const Bytes &bytes, std::size_t chains)
{
    const auto package = velmora::sis::readPackage(bytes);
    if (!package)
        return package.error().message;
    if (package->controller.chains.size() != chains)
        return "expected " + std::to_string(chains) + " signature chains";
    if (!velmora::sis::inspectPackage(*package, bytes).valid())
        return "a checksum, hash or signature does not hold";
    return {};
}

// ---- The list ----

struct Seed
{
    const char *name;
    std::function<Bytes()> make;
    std::function<std::string(const Bytes &)> accept;
};

std::vector<Seed> seeds()
{
    using bmconv::BitmapMode;
    using bmconv::Colour;
    using bmconv::ColourAlpha;
    using bmconv::Greyscale;
    const bmconv::RgbImage picture = samplePicture(16, 4);
    return {
        {"sis_skin_deflated.sis", [] { return skinPackage(false, false); },
         [](const Bytes &b) {
             return acceptPackage(b, 0);
         }},
        {"sis_skin_stored_signed.sis", [] { return skinPackage(true, true); },
         [](const Bytes &b) {
             return acceptPackage(b, 1);
         }},

        {"pkg_skin_utf16.pkg",
         [] {
             return fromQt(packageDescription(skinRequest(),
                                              QStringLiteral("/home/user/.cache/velmora/stage")));
         },
         acceptPkg},
        {"pkg_features_utf8.pkg", [] { return fromText(kFeaturesPkg); }, acceptPkg},

        {"bmp_c24.bmp", [] { return bmconv::writeBmp24(samplePicture(5, 3)); }, acceptBmp},
        {"bmp_grey8.bmp",
         [] {
             const Bytes levels = {0, 40, 80, 120, 160, 200, 240, 255, 128, 192, 64, 32, 16, 8, 4};
             return bmconv::writeBmpGrey8(5, 3, levels);
         },
         acceptBmp},
        {"bmp_core_1bit.bmp",
         [] {
             return bmpFile({.headerSize = 12,
                             .width = 9,
                             .height = 2,
                             .bitsPerPixel = 1,
                             .palette = {0x000000, 0xFFFFFF},
                             .pixel = [](int x, int y) {
                                 return std::uint32_t((x + y) % 2);
                             }});
         },
         acceptBmp},
        {"bmp_2bit.bmp",
         [] {
             return bmpFile({.width = 7,
                             .height = 2,
                             .bitsPerPixel = 2,
                             .palette = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF},
                             .pixel = [](int x, int) {
                                 return std::uint32_t(x % 4);
                             }});
         },
         acceptBmp},
        {"bmp_4bit_topdown.bmp",
         [] {
             // Five colours of sixteen: a colour table shorter than the depth allows.
             return bmpFile({.width = 5,
                             .height = -3,
                             .bitsPerPixel = 4,
                             .palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x000000},
                             .coloursUsed = 5,
                             .pixel = [](int x, int y) {
                                 return std::uint32_t((x + 2 * y) % 5);
                             }});
         },
         acceptBmp},
        {"bmp_bitfields_565.bmp",
         [] {
             return bmpFile({.width = 3,
                             .height = 2,
                             .bitsPerPixel = 16,
                             .compression = 3,
                             .masks = {0xF800, 0x07E0, 0x001F},
                             .pixel = [](int x, int y) {
                                 return std::uint32_t(0xF800 >> (5 * x) | y);
                             }});
         },
         acceptBmp},
        {"bmp_rgb555.bmp",
         [] {
             return bmpFile(
                 {.width = 3, .height = 2, .bitsPerPixel = 16, .pixel = [](int x, int y) {
                      return std::uint32_t(0x7C00 >> (5 * x) | y);
                  }});
         },
         acceptBmp},
        {"bmp_v5_alpha32.bmp",
         [] {
             return bmpFile({.headerSize = 124,
                             .width = 2,
                             .height = 2,
                             .bitsPerPixel = 32,
                             .compression = 3,
                             .masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
                             .pixel = [](int x, int y) {
                                 return std::uint32_t(0x80123456u + 0x10101 * (x + 2 * y));
                             }});
         },
         acceptBmp},

        {"mbm_filestore_modes.mbm",
         [picture] {
             std::vector<bmconv::EncodedBitmap> bitmaps;
             for (const BitmapMode mode :
                  {BitmapMode{24, Colour}, BitmapMode{16, Colour}, BitmapMode{12, Colour},
                   BitmapMode{8, Colour}, BitmapMode{4, Colour}, BitmapMode{2, Greyscale},
                   BitmapMode{1, Greyscale}, BitmapMode{32, Colour}, BitmapMode{32, ColourAlpha}})
                 bitmaps.push_back(storedBitmap(picture, mode, true));
             bitmaps.push_back(storedBitmap(picture, {8, Greyscale}, false));
             return bmconv::writeFileStore(bitmaps);
         },
         acceptMbm},
        {"mbm_rom.mbm",
         [picture] {
             return bmconv::writeRomImage({storedBitmap(picture, {16, Colour}, true),
                                           storedBitmap(picture, {4, Greyscale}, false)});
         },
         acceptMbm},

        {"settings_default.cfg",
         [] { return fromQt(defaultSettingsText(QStringLiteral("/home/user/Desktop"))); },
         acceptSettings},
        {"settings_written.cfg", [] { return fromQt(writeSettings(changedSettings())); },
         acceptSettings},

        {"palette_skin.gpl",
         [] {
             std::array<TColor, kSlotCount> colours{};
             for (int slot = 0; slot < kSlotCount; ++slot)
                 colours[std::size_t(slot)] = defaultSlotColour(slot);
             return fromQt(paletteGpl(colours, QStringLiteral("seed")));
         },
         [](const Bytes &bytes) {
             return acceptPalette(bytes, QStringLiteral("s.gpl"));
         }},
        {"palette_skin.json",
         [] {
             SkinData skin;
             for (int slot = 0; slot < kSlotCount; ++slot)
                 skin.colours[std::size_t(slot)] = defaultSlotColour(slot);
             skin.mifName = QStringLiteral("seed.mif");
             return fromQt(QJsonDocument(skinToJson(skin)).toJson());
         },
         [](const Bytes &bytes) {
             return acceptPalette(bytes, QStringLiteral("s.json"));
         }},
        {"journal_session.journal", journalSeed, acceptJournal},
        {"journal_damaged_step.journal", damagedJournalSeed, acceptDamagedJournal},
        {"journal_first_format.journal",
         [] { return fromQt(platform::firstFormatJournalBytes(journalSeedRecords())); },
         acceptJournal},
    };
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "write" && mode != "check") {
        std::fprintf(stderr, "usage: make_fuzz_seeds write|check FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[2];
    int failures = 0;
    for (const Seed &seed : seeds()) {
        try {
            if (mode == "write") {
                const Bytes bytes = seed.make();
                if (const std::string problem = seed.accept(bytes); !problem.empty())
                    fail("the reader refuses what was made: " + problem);
                writeAll(folder / seed.name, bytes);
                std::printf("%s: %zu bytes\n", seed.name, bytes.size());
            } else {
                if (const std::string problem = seed.accept(readAll(folder / seed.name));
                    !problem.empty())
                    fail(problem);
                std::printf("%s: accepted\n", seed.name);
            }
        } catch (const Failure &failure) {
            std::printf("%s: %s\n", seed.name, failure.message.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
