#include "app/cli/Cli.h"

#include "app/cli/SisCommands.h"
#include "document/SkinDocument.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString g_programFolder;

const char16_t kUsage[] =
    u"Usage: velmora-cli <command> [options]\n"
    u"\n"
    u"Commands:\n"
    u"  skin show FILE.skin [--json]          print a skin's colours and texts\n"
    u"  skin write OUT.skin --json IN.json    write a skin from JSON\n"
    u"  render -o OUT.png [options]           draw the simulated screen\n"
    u"  svg wrap PICTURE [-o OUT.svg]         wrap a .jpg/.png in a skin's SVG document\n"
    u"  svg extract IN.svg -o BASE            take the picture out of an SVG wrapper\n"
    u"  mif show FILE.mif [--json]            describe a skin's picture file\n"
    u"  mif extract FILE.mif -o DIR           write its background and cursor as stored\n"
    u"  sis show FILE.sis [--json]            describe an install package\n"
    u"  sis verify FILE.sis [CERT]            check a package and its signatures\n"
    u"  export -o FOLDER [options]            save a skin as .skin/.mif or a signed .sis\n"
    u"  models [--json]                       list the phone models\n"
    u"  association show|set|remove [--json]  open .skin files with the designer\n"
    u"\n"
    u"Run 'velmora-cli <command> --help' for details, 'velmora-cli --version' for the version.\n";

} // namespace

int runCli(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.isEmpty() || args.first() == u"--help" || args.first() == u"-h") {
        (args.isEmpty() ? err : out) << QString::fromUtf16(kUsage);
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.first();
    if (command == u"--version") {
        out << QStringLiteral("velmora-cli %1\n").arg(QStringLiteral(VELMORA_VERSION));
        return 0;
    }
    if (command == u"skin")
        return runSkinCommand(args.mid(1), out, err);
    if (command == u"render")
        return runRenderCommand(args.mid(1), out, err);
    if (command == u"svg")
        return runSvgCommand(args.mid(1), out, err);
    if (command == u"mif")
        return runMifCommand(args.mid(1), out, err);
    if (command == u"sis")
        return runSisCommand(args.mid(1), out, err);
    if (command == u"export")
        return runExportCommand(args.mid(1), out, err);
    if (command == u"models")
        return runModelsCommand(args.mid(1), out, err);
    if (command == u"association")
        return runAssociationCommand(args.mid(1), out, err);
    err << QStringLiteral("velmora-cli: unknown command \"%1\"\n").arg(command)
        << QString::fromUtf16(kUsage);
    return 2;
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
