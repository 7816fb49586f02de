#include "cli/ArgumentNames.h"
#include "cli/Cli.h"

#include "export/SaveSkin.h"
#include "platform/WritablePlaces.h"
#include "startup/Startup.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace {

const char16_t kExportUsage[] =
    u"Usage: velmora-cli export -o FOLDER [options]\n"
    u"Saves a skin as the save dialog does: a signed install package, or its .skin and .mif.\n"
    u"  --kind sis|skin+mif|skin|mif   what to write (default sis: FOLDER/NAME.sis)\n"
    u"  --skin IN.skin                 colours and copyright of a skin (default: the default\n"
    u"                                 scheme); also gives the name when none is set\n"
    u"  --json IN.json                 colours and copyright as `skin show --json` prints them\n"
    u"  --background PIC, --cursor PIC the pictures (.bmp/.jpg/.png; default: the program's)\n"
    u"  --name BASE                    BASE.skin and BASE.mif\n"
    u"  --skin-name NAME.skin, --mif-name NAME.mif   each name on its own\n"
    u"  --copyright TEXT               the copyright text (overrides the skin's)\n"
    u"  --bg-format jpg|png|mbm, --bg-quality 1..100          background (default jpg, 80)\n"
    u"  --cursor-format jpg|png|mbm, --cursor-quality 1..100  cursor (default jpg, 80)\n"
    u"  --symbian 9.1|9.2              9.1 stores both pictures as bitmaps, 9.2 as JPEG;\n"
    u"                                 an explicit format wins\n"
    u"  --no-clobber                   write nothing when a file to write exists already\n"
    u"                                 (without it, existing files are replaced)\n"
    u"The --skin file's own background and cursor come from its .mif unless --background or\n"
    u"--cursor is given; when its .mif cannot be read, a warning says so and the program's\n"
    u"pictures are used.\n"
    u"Names may not be default, default.skin or default.mif, nor hold < > \" / | \\ : * ?,\n"
    u"a control character or Russian letters, nor be only dots. Prints each file written.\n";

struct ExportOptions
{
    QString output;
    OutputKind kind = OutputKind::Package;
    QString skin;
    QString json;
    QString background;
    QString cursor;
    QString name;
    QString skinName;
    QString mifName;
    std::optional<QString> copyright;
    std::optional<PictureFormat> bgFormat;
    std::optional<PictureFormat> cursorFormat;
    int bgQuality = 80;
    int cursorQuality = 80;
    std::optional<PictureFormat> symbian;
    bool noClobber = false;
};

std::optional<PictureFormat> parseFormat(const QString &value)
{
    if (value == u"jpg")
        return PictureFormat::Jpg;
    if (value == u"png")
        return PictureFormat::Png;
    if (value == u"mbm")
        return PictureFormat::Mbm;
    return std::nullopt;
}

std::optional<OutputKind> parseKind(const QString &value)
{
    if (value == u"sis")
        return OutputKind::Package;
    if (value == u"skin+mif")
        return OutputKind::SkinAndMif;
    if (value == u"skin")
        return OutputKind::SkinOnly;
    if (value == u"mif")
        return OutputKind::MifOnly;
    return std::nullopt;
}

Result<void> parseQuality(const QString &value, int &quality)
{
    bool ok = false;
    quality = value.toInt(&ok);
    if (!ok || quality < 1 || quality > 100)
        return fail(Error::invalid(QStringLiteral("expected 1..100")));
    return {};
}

Result<void> parseValue(ExportOptions &o, const QString &name, const QString &value)
{
    const auto expected = [](const QString &what) {
        return fail(Error::invalid(QStringLiteral("expected %1").arg(what)));
    };
    QString *text = name == u"-o"             ? &o.output
                    : name == u"--skin"       ? &o.skin
                    : name == u"--json"       ? &o.json
                    : name == u"--background" ? &o.background
                    : name == u"--cursor"     ? &o.cursor
                    : name == u"--name"       ? &o.name
                    : name == u"--skin-name"  ? &o.skinName
                    : name == u"--mif-name"   ? &o.mifName
                                              : nullptr;
    if (text) {
        *text = value;
    } else if (name == u"--copyright") {
        o.copyright = argumentText(value);
    } else if (name == u"--kind") {
        const auto kind = parseKind(value);
        if (!kind)
            return expected(QStringLiteral("sis, skin+mif, skin or mif"));
        o.kind = *kind;
    } else if (name == u"--bg-format" || name == u"--cursor-format") {
        const auto format = parseFormat(value);
        if (!format)
            return expected(QStringLiteral("jpg, png or mbm"));
        (name == u"--bg-format" ? o.bgFormat : o.cursorFormat) = format;
    } else if (name == u"--bg-quality" || name == u"--cursor-quality") {
        return parseQuality(value, name == u"--bg-quality" ? o.bgQuality : o.cursorQuality);
    } else if (name == u"--symbian") {
        if (value != u"9.1" && value != u"9.2")
            return expected(QStringLiteral("9.1 or 9.2"));
        o.symbian = value == u"9.1" ? PictureFormat::Mbm : PictureFormat::Jpg;
    }
    return {};
}

Result<ExportOptions> parseExportOptions(const QStringList &args)
{
    static const QStringList valueOptions = {QStringLiteral("-o"),
                                             QStringLiteral("--kind"),
                                             QStringLiteral("--skin"),
                                             QStringLiteral("--json"),
                                             QStringLiteral("--background"),
                                             QStringLiteral("--cursor"),
                                             QStringLiteral("--name"),
                                             QStringLiteral("--skin-name"),
                                             QStringLiteral("--mif-name"),
                                             QStringLiteral("--copyright"),
                                             QStringLiteral("--bg-format"),
                                             QStringLiteral("--bg-quality"),
                                             QStringLiteral("--cursor-format"),
                                             QStringLiteral("--cursor-quality"),
                                             QStringLiteral("--symbian")};
    ExportOptions o;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == u"--no-clobber") {
            o.noClobber = true;
            continue;
        }
        if (!valueOptions.contains(args[i]))
            return fail(Error::invalid(QStringLiteral("unknown option \"%1\"").arg(args[i])));
        if (i + 1 >= args.size())
            return fail(Error::invalid(QStringLiteral("%1 needs a value").arg(args[i])));
        const QString name = args[i];
        const QString value = args[++i];
        if (auto ok = parseValue(o, name, value); !ok)
            return fail(
                Error::invalid(QStringLiteral("%1 %2: %3").arg(name, value, ok.error().message)));
    }
    if (o.output.isEmpty())
        return fail(Error::invalid(QStringLiteral("the output folder is missing (-o FOLDER)")));
    if (!o.skin.isEmpty() && !o.json.isEmpty())
        return fail(Error::invalid(QStringLiteral("give --skin or --json, not both")));
    if (!o.name.isEmpty() && (!o.skinName.isEmpty() || !o.mifName.isEmpty()))
        return fail(Error::invalid(QStringLiteral("give --name or --skin-name/--mif-name")));
    return o;
}

// The names as the simplified dialog forms them from one base, or each on its own; a missing
// one comes from the --skin file's name.
Result<void> applyNames(const ExportOptions &o, SaveRequest &request)
{
    const QString base = !o.name.isEmpty()  ? o.name
                         : o.skin.isEmpty() ? QString()
                                            : QFileInfo(o.skin).completeBaseName();
    request.skinName = !o.skinName.isEmpty() ? o.skinName : base + QStringLiteral(".skin");
    request.mifName = !o.mifName.isEmpty() ? o.mifName : base + QStringLiteral(".mif");
    if (base.isEmpty() && (o.skinName.isEmpty() || o.mifName.isEmpty()))
        return fail(Error::invalid(
            QStringLiteral("the skin needs a name: --name BASE, or --skin-name and --mif-name")));
    return {};
}

SaveRequest requestFrom(const ExportOptions &o)
{
    SaveRequest request;
    request.kind = o.kind;
    request.folder = o.output;
    request.background = {o.bgFormat.value_or(o.symbian.value_or(PictureFormat::Jpg)), o.bgQuality};
    request.cursor = {o.cursorFormat.value_or(o.symbian.value_or(PictureFormat::Jpg)),
                      o.cursorQuality};
    return request;
}

Result<void> fillDocument(SkinDocument &document, const ExportOptions &o, SaveRequest &request,
                          const StartupSetup &setup, QStringList &warnings)
{
    if (!o.skin.isEmpty()) {
        VELMORA_TRY(
            loadSkinOption(document, o.skin, setup.programFolder, setup.scratchFolder, warnings));
    } else if (!o.json.isEmpty()) {
        VELMORA_TRY_ASSIGN(const SkinData skin, readSkinJsonFile(o.json));
        for (int slot = 0; slot < kSlotCount; ++slot)
            document.setSlotColour(slot, skin.colours[slot]);
        SkinTexts texts = document.texts();
        texts.copyright = skin.copyright;
        document.setTexts(texts);
    }
    request.copyright = o.copyright.value_or(document.texts().copyright);
    return applySkinOptions(document, {QString(), o.background, o.cursor}, setup.programFolder,
                            setup.scratchFolder, warnings);
}

int runExport(const ExportOptions &o, const QString &folder, QTextStream &out, QTextStream &err)
{
    const auto failed = [&](const QString &text, int code) {
        // Lines of the message stay lines; anything else a name brought in is shown escaped.
        err << QStringLiteral("velmora-cli export: %1\n").arg(terminalSafe(text, true));
        return code;
    };
    SaveRequest request = requestFrom(o);
    if (auto named = applyNames(o, request); !named)
        return failed(named.error().message, 2);
    if (o.noClobber && IsValidSkinName(request.skinName) && IsValidSkinName(request.mifName)) {
        for (const QString &target : saveTargets(request)) {
            if (QFileInfo::exists(target))
                return failed(QStringLiteral("%1 exists; nothing written (--no-clobber)")
                                  .arg(QDir::toNativeSeparators(target)),
                              1);
        }
    }
    platform::ScratchFolder scratch;
    if (!scratch.isValid())
        return failed(scratch.errorText(), 1);
    QString loadError;
    StartupSetup setup;
    setup.programFolder = folder;
    setup.scratchFolder = scratch.path();
    SkinDocument document;
    if (!loadDefaultPictures(setup,
                             {{},
                              [&](const QString &text) {
                                  loadError = text;
                              }},
                             document))
        return failed(loadError.replace(u'\n', u' '), 1);
    QStringList warnings;
    const auto filled = fillDocument(document, o, request, setup, warnings);
    printWarnings(QStringLiteral("export"), warnings, err);
    if (!filled)
        return failed(filled.error().message, 1);
    SaveEnvironment env;
    env.programFolder = folder;
    env.scratchFolder = scratch.path();
    QStringList converter;
    env.messages = [&](const QString &, const QString &text) {
        converter.append(text);
    };
    const auto saved = saveSkin(document, request, env);
    for (const QString &text : converter)
        err << QStringLiteral("velmora-cli export: %1\n").arg(terminalSafe(text));
    if (!saved) {
        const QString text =
            QString(saved.error().message).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return failed(text, saved.error().kind == Error::Kind::Invalid ? 2 : 1);
    }
    for (const QString &path : saved->written)
        out << terminalSafe(QDir::toNativeSeparators(path)) << '\n';
    return 0;
}

} // namespace

int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << QString::fromUtf16(kExportUsage);
        return 0;
    }
    const auto options = parseExportOptions(args);
    if (!options) {
        err << QStringLiteral("velmora-cli export: %1\n").arg(terminalSafe(options.error().message))
            << QString::fromUtf16(kExportUsage);
        return 2;
    }
    const QString folder = cliProgramFolder();
    return runExport(*options, folder, out, err);
}
