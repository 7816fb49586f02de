#include "cli/Cli.h"

#include "cli/SisCommands.h"
#include "document/SkinDocument.h"
#include "export/PackageFiles.h"
#include "platform/FileOps.h"
#include "preview/ContactList.h"
#include "startup/Startup.h"

#include <QCoreApplication>
#include <QDir>

#include <random>

namespace {

QString g_programFolder;

using Runner = int (*)(const QStringList &args, QTextStream &out, QTextStream &err);

// Every command once: its name, what the overview says of it, and what runs it.
struct Command
{
    QStringView name;
    const char16_t *synopsis;
    Runner run;
};

const Command kCommands[] = {
    {u"skin",
     u"  skin show FILE.skin [--FORMAT]        print a skin's colours (--json, --gpl, --css)\n"
     u"  skin write OUT.skin --json|--gpl IN   write a skin from JSON or a palette\n",
     runSkinCommand},
    {u"render", u"  render -o OUT.png [options]           draw the simulated screen\n",
     runRenderCommand},
    {u"svg",
     u"  svg wrap PICTURE [-o OUT.svg]         wrap a .jpg/.png in a skin's SVG document\n"
     u"  svg extract IN.svg -o BASE            take the picture out of an SVG wrapper\n",
     runSvgCommand},
    {u"mif",
     u"  mif show FILE.mif [--json]            describe a skin's picture file\n"
     u"  mif extract FILE.mif -o DIR           write its background and cursor as stored\n",
     runMifCommand},
    {u"sis",
     u"  sis show FILE.sis [--json]            describe an install package\n"
     u"  sis verify FILE.sis [CERT]            check a package and its signatures\n"
     u"  sis extract FILE.sis -o DIR           write a package's files into a folder\n",
     runSisCommand},
    {u"export",
     u"  export -o FOLDER [options]            save a skin as .skin/.mif or a signed .sis\n",
     runExportCommand},
    {u"models", u"  models [--json]                       list the phone models\n",
     runModelsCommand},
    {u"shots", u"  shots -o DIR [options]                every screen for every phone model\n",
     runShotsCommand},
    {u"audit", u"  audit [options]                       how readable each text colour is\n",
     runAuditCommand},
    {u"usage", u"  usage SLOT -o OUT.png [--json]        every screen where a colour slot paints\n",
     runUsageCommand},
    {u"association",
     u"  association show|set|remove [--json]  open .skin files with the designer\n",
     runAssociationCommand},
};

QString usageText()
{
    QString text = QStringLiteral("Usage: velmora-cli <command> [options]\n\nCommands:\n");
    for (const Command &command : kCommands)
        text += QString::fromUtf16(command.synopsis);
    text += QString::fromUtf16(
        u"\n"
        u"Run 'velmora-cli <command> --help' for details, 'velmora-cli --version' for the "
        u"version.\n"
        u"\n"
        u"Exit status: 0 done; 1 failed (a file could not be read or written, memory ran out);\n"
        u"2 bad usage or refused input (an unknown option, a name or text a skin cannot hold, a\n"
        u"file that is not what the command takes); 3 a check found problems (audit --strict,\n"
        u"sis verify).\n"
        u"Limits: .skin files are read up to their colours and two longest texts; JSON and\n"
        u"palette files up to 1 MB; pictures up to 134,217,728 pixels, bitmaps in a .mbm up to\n"
        u"67,108,864.\n");
    return text;
}

} // namespace

int runCli(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.isEmpty() || args.first() == u"--help" || args.first() == u"-h") {
        (args.isEmpty() ? err : out) << usageText();
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.first();
    if (command == u"--version") {
        out << QStringLiteral("velmora-cli %1\n").arg(QStringLiteral(VELMORA_VERSION));
        return 0;
    }
    for (const Command &known : kCommands) {
        if (command == known.name)
            return known.run(args.mid(1), out, err);
    }
    err << QStringLiteral("velmora-cli: unknown command \"%1\"\n").arg(command) << usageText();
    return 2;
}

Arguments splitArguments(const QStringList &args)
{
    Arguments split;
    bool optionsEnded = false;
    for (const QString &arg : args) {
        if (!optionsEnded && arg == u"--")
            optionsEnded = true;
        else if (!optionsEnded && arg.startsWith(u'-') && arg != u"-")
            split.options.append(arg);
        else
            split.operands.append(arg);
    }
    return split;
}

std::optional<Error> Arguments::unknownOption(const QStringList &known) const
{
    for (const QString &option : options) {
        if (!known.contains(option))
            return Error::invalid(
                QStringLiteral("unknown option \"%1\"").arg(terminalSafe(option)));
    }
    return std::nullopt;
}

QString terminalSafe(const QString &text, bool keepLineFeeds)
{
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7F && u <= 0x9F);
        const bool bidi = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
        if (u == u'\n' && keepLineFeeds)
            safe += c;
        else if (control)
            safe += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else if (bidi)
            safe += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
        else
            safe += c;
    }
    return safe;
}

Result<std::unique_ptr<CliPreview>>
startCliPreview(const QString &folder, std::optional<unsigned> seed, const QString &clist)
{
    auto started = std::make_unique<CliPreview>();
    if (!started->scratch.isValid())
        return fail(Error::io(started->scratch.errorText()));
    std::mt19937 random(seed ? *seed : std::random_device{}());
    QString loadError;
    QStringList converterMessages;
    StartupSetup setup;
    setup.programFolder = folder;
    setup.scratchFolder = started->scratch.path();
    setup.random = &random;
    setup.messages = [&](const QString &, const QString &text) {
        converterMessages.append(text);
    };
    StartupReporter reporter{{}, [&](const QString &text) {
                                 loadError = text;
                             }};
    auto resources = startProgram(setup, reporter, started->document);
    if (!resources)
        return fail(Error::io(QString(loadError).replace(u'\n', u' ')));
    if (!converterMessages.isEmpty())
        return fail(Error::corrupt(converterMessages.join(u' ')));
    if (!clist.isEmpty()) {
        const auto bytes = readWholeFile(clist);
        if (!bytes)
            return fail(bytes.error());
        resources->loadedList = readCList(*bytes);
    }
    started->resources = std::move(*resources);
    return started;
}

std::optional<QSize> parseScreenSize(const QString &text)
{
    const QStringList parts = text.split(u'x');
    if (parts.size() != 2)
        return std::nullopt;
    bool wide = false;
    bool high = false;
    const QSize size(parts[0].toInt(&wide), parts[1].toInt(&high));
    const auto inRange = [](int n) {
        return n >= 16 && n <= 4096;
    };
    if (!wide || !high || !inRange(size.width()) || !inRange(size.height()))
        return std::nullopt;
    return size;
}

QString cliProgramFolder()
{
    if (!g_programFolder.isEmpty())
        return g_programFolder;
    return QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/';
}

void setCliProgramFolder(const QString &folder)
{
    g_programFolder = folder;
}

namespace {

Result<void> loadSkinWithPictures(SkinDocument &document, const QString &skinPath,
                                  const QString &programFolder, const QString &scratchFolder,
                                  QStringList &warnings)
{
    if (auto loaded = document.loadSkin(skinPath); !loaded)
        return loaded;
    StartupSetup setup;
    setup.programFolder = programFolder;
    setup.scratchFolder = scratchFolder;
    setup.messages = [&warnings](const QString &, const QString &text) {
        warnings.append(text);
    };
    for (const SkinImagesFailure &failure :
         document.openSkinImages(skinPath, skinImagesSetup(setup, {}))) {
        warnings.append(QStringLiteral("%1: %2%3")
                            .arg(QDir::toNativeSeparators(skinPath), failure.reason.message,
                                 failure.picturesKept
                                     ? QStringLiteral("; the skin's colours are used with the "
                                                      "pictures it would replace")
                                     : QString()));
    }
    return {};
}

} // namespace

Result<void> loadSkinOption(SkinDocument &document, const QString &path,
                            const QString &programFolder, const QString &scratchFolder,
                            QStringList &warnings)
{
    if (!isPackageName(path))
        return loadSkinWithPictures(document, path, programFolder, scratchFolder, warnings);
    // The package's files are taken out into a private folder only long enough to read them.
    platform::ScratchFolder scratch;
    if (!scratch.isValid())
        return fail(Error::io(scratch.errorText()));
    const auto skin = extractSkinPackage(path, scratch.path() + QStringLiteral("package"));
    if (!skin)
        return fail(skin.error());
    return loadSkinWithPictures(document, *skin, programFolder, scratchFolder, warnings);
}

bool SkinInputs::take(const QString &name, const QString &value)
{
    QString *field = name == u"--skin"         ? &skin
                     : name == u"--background" ? &background
                     : name == u"--cursor"     ? &cursor
                                               : nullptr;
    if (field)
        *field = value;
    return field != nullptr;
}

Result<void> applySkinOptions(SkinDocument &document, const SkinInputs &inputs,
                              const QString &programFolder, const QString &scratchFolder,
                              QStringList &warnings)
{
    if (!inputs.skin.isEmpty()) {
        if (auto loaded =
                loadSkinOption(document, inputs.skin, programFolder, scratchFolder, warnings);
            !loaded)
            return fail(loaded.error());
    }
    if (auto ok = importPictureOption(document, inputs.background, true); !ok)
        return ok;
    return importPictureOption(document, inputs.cursor, false);
}

void printWarnings(const QString &command, const QStringList &warnings, QTextStream &err)
{
    for (const QString &warning : warnings)
        err << QStringLiteral("velmora-cli %1: warning: %2\n")
                   .arg(command, terminalSafe(QString(warning).replace(u'\n', u' ')));
}

Result<PhoneModel> namedModel(const PhoneModelList &models, const QString &name)
{
    const int index = findModel(models, name);
    if (index < 0 || index >= models.entries.size())
        return fail(Error::invalid(QStringLiteral("there is no model \"%1\"; the models are: %2")
                                       .arg(name, models.entries.join(QStringLiteral(", ")))));
    return models.records[index];
}

Result<PhoneFrame> loadPhoneFrame(const QString &folder, const PhoneModel &model)
{
    const auto picture = loadPhonePicture(folder, model);
    if (!picture)
        return fail(picture.error());
    return phoneFrame(*picture, model);
}

Result<void> importPictureOption(SkinDocument &document, const QString &path, bool background)
{
    if (path.isEmpty())
        return {};
    auto imported = background ? document.importBackground(path) : document.importCursor(path);
    if (!imported)
        return fail(imported.error());
    if (!*imported)
        return fail(Error::unsupported(
            QStringLiteral("%1: only .bmp, .jpg and .png pictures can be used").arg(path)));
    return {};
}
