#include "cli/Cli.h"

#include "containers/PictureCodecs.h"
#include "core/Cp1251.h"
#include "core/Palette.h"
#include "core/SkinFile.h"
#include "platform/FileOps.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace {

const char16_t kSkinUsage[] =
    u"Usage:\n"
    u"  velmora-cli skin show FILE.skin [--json|--gpl|--css]\n"
    u"      Prints the twenty colour slots (\"N #RRGGBB caption\"), the MIF name and the\n"
    u"      copyright text; with --json one object {\"colors\": [...], \"mif\": ..., "
    u"\"copyright\": ...};\n"
    u"      with --gpl the colours as a GIMP/Inkscape palette named by slot captions; with\n"
    u"      --css as CSS custom properties --slot-00-... to --slot-19-....\n"
    u"  velmora-cli skin write OUT.skin --json IN.json\n"
    u"      Writes a .skin from a JSON object of the same shape; missing keys take the\n"
    u"      defaults (default colours, \"default.mif\", no copyright).\n"
    u"  velmora-cli skin write OUT.skin --gpl IN.gpl\n"
    u"      Writes a .skin with the colours of a palette: by name where its entries are named\n"
    u"      like slot captions, otherwise the first twenty in order; the rest take the defaults.\n";

Result<SkinData> readSkinPath(const QString &path)
{
    VELMORA_TRY_ASSIGN(const QByteArray bytes, readSkinBytes(path));
    auto skin = readSkin(bytes, path);
    if (!skin)
        return fail(skin.error().error);
    return *skin;
}

int showSkin(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const Arguments split = splitArguments(args);
    const QStringList formats = {QStringLiteral("--json"), QStringLiteral("--gpl"),
                                 QStringLiteral("--css")};
    auto unknown = split.unknownOption(formats);
    if (!unknown && split.options.size() > 1)
        unknown = Error::invalid(QStringLiteral("choose one of --json, --gpl and --css"));
    if (unknown) {
        err << QStringLiteral("velmora-cli skin show: %1 (see velmora-cli skin --help)\n")
                   .arg(unknown->message);
        return 2;
    }
    const QString format = split.options.value(0);
    const QStringList &files = split.operands;
    if (files.size() != 1) {
        err << (files.isEmpty() ? QStringLiteral("velmora-cli skin show: which skin? Name a .skin "
                                                 "file (see velmora-cli skin --help)\n")
                                : QStringLiteral("velmora-cli skin show: one skin at a time "
                                                 "(see velmora-cli skin --help)\n"));
        return 2;
    }
    auto skin = readSkinPath(files.first());
    if (!skin) {
        err << QStringLiteral("velmora-cli: %1\n").arg(terminalSafe(skin.error().message));
        return 1;
    }
    if (format == u"--json") {
        out << QString::fromUtf8(QJsonDocument(skinToJson(*skin)).toJson(QJsonDocument::Indented));
        return 0;
    }
    if (format == u"--gpl" || format == u"--css") {
        out << QString::fromUtf8(
            format == u"--css"
                ? paletteCss(skin->colours)
                : paletteGpl(skin->colours, QFileInfo(files.first()).completeBaseName()));
        return 0;
    }
    for (int slot = 0; slot < kSlotCount; ++slot)
        out << slot << ' ' << colorToHex(skin->colours[slot]) << ' ' << slotCaption(slot) << '\n';
    // The texts come from the file, which may be anyone's.
    out << "mif: " << terminalSafe(skin->mifName) << '\n';
    out << "copyright: "
        << terminalSafe(
               QString(skin->copyright).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), true)
        << '\n';
    return 0;
}

// A palette or JSON description's bytes. Not read at all is a failure (exit 1), never a
// description refused (exit 2), whatever the reason.
Result<QByteArray> readDescription(const QString &source)
{
    auto bytes = readWholeFile(source, kMaxPaletteFileSize);
    if (!bytes)
        return fail(Error::io(bytes.error().message));
    return bytes;
}

// The skin a palette describes: its colours over the defaults, the default texts.
Result<SkinData> readSkinGplFile(const QString &source)
{
    VELMORA_TRY_ASSIGN(const QByteArray bytes, readDescription(source));
    VELMORA_TRY_ASSIGN(const auto palette, readGplPalette(bytes, source));
    SkinData skin;
    skin.mifName = QStringLiteral("default.mif");
    for (int slot = 0; slot < kSlotCount; ++slot)
        skin.colours[std::size_t(slot)] =
            palette[std::size_t(slot)].value_or(defaultSlotColour(slot));
    return skin;
}

int writeSkinCommand(const QStringList &args, QTextStream &err)
{
    if (args.size() != 3 || (args[1] != u"--json" && args[1] != u"--gpl")) {
        err << QString::fromUtf16(kSkinUsage);
        return 2;
    }
    const QString target = args[0];
    const auto skin = args[1] == u"--gpl" ? readSkinGplFile(args[2]) : readSkinJsonFile(args[2]);
    if (!skin) {
        err << QStringLiteral("velmora-cli: %1\n").arg(skin.error().message);
        // A description the file format cannot hold is wrong input, not a failure to write.
        return skin.error().kind == Error::Kind::Unsupported ? 2 : 1;
    }
    const auto encoded = writeSkin(*skin);
    const auto written = encoded ? writeFileAtomically(target, *encoded) : fail(encoded.error());
    if (!written) {
        err << QStringLiteral("velmora-cli: %1\n").arg(written.error().message);
        return 1;
    }
    return 0;
}

} // namespace

Result<SkinData> readSkinJsonFile(const QString &source)
{
    VELMORA_TRY_ASSIGN(const QByteArray bytes, readDescription(source));
    return readSkinJson(bytes, source);
}

int runSkinCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString verb = args.value(0);
    if (verb == u"--help" || verb == u"-h" || args.contains(QStringLiteral("--help"))) {
        out << QString::fromUtf16(kSkinUsage);
        return 0;
    }
    if (verb == u"show")
        return showSkin(args.mid(1), out, err);
    if (verb == u"write")
        return writeSkinCommand(args.mid(1), err);
    err << QString::fromUtf16(kSkinUsage);
    return 2;
}
