#include "cli/Cli.h"
#include "startup/Startup.h"

#include "core/PhoneModels.h"
#include "export/ScreenShots.h"

#include <QTime>

namespace {

const char16_t kShotsUsage[] =
    u"Usage: velmora-cli shots -o DIR [options]\n"
    u"Writes every screen of the skin for every chosen phone model as DIR/<model>/<screen>.png,\n"
    u"with DIR/index.html and DIR/sheet.png showing them all. Screens: contacts,\n"
    u"contacts-groups, chat, settings, menu-left, menu-right, chat-menu, popup, notifications.\n"
    u"  --skin FILE.skin        colours of a skin (default: the default scheme)\n"
    u"  --background PIC        background picture (.bmp/.jpg/.png)\n"
    u"  --cursor PIC            cursor picture\n"
    u"  --models all|NAME,...   the phone models (velmora-cli models; default all)\n"
    u"  --frame                 the phone picture around each screen\n"
    u"  --seed N                seed of the sample contact list (default 1)\n"
    u"  --time HH:MM            clock time (default 12:00)\n";

struct ShotsOptions
{
    QString output;
    SkinInputs inputs;
    QString models = QStringLiteral("all");
    bool frame = false;
    unsigned seed = kMeasuredSampleSeed;
    QTime time{12, 0};
};

Result<ShotsOptions> parseShotsOptions(const QStringList &args)
{
    static const QStringList valueOptions = {
        QStringLiteral("-o"),       QStringLiteral("--skin"),   QStringLiteral("--background"),
        QStringLiteral("--cursor"), QStringLiteral("--models"), QStringLiteral("--seed"),
        QStringLiteral("--time")};
    ShotsOptions o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--frame") {
            o.frame = true;
            continue;
        }
        if (!valueOptions.contains(arg))
            return fail(
                Error::invalid(QStringLiteral("unknown option \"%1\"").arg(terminalSafe(arg))));
        if (i + 1 >= args.size())
            return fail(Error::invalid(QStringLiteral("%1 needs a value").arg(arg)));
        const QString value = args[++i];
        if (o.inputs.take(arg, value))
            continue;
        bool ok = true;
        if (arg == u"-o")
            o.output = value;
        else if (arg == u"--models")
            o.models = value;
        else if (arg == u"--seed")
            o.seed = value.toUInt(&ok);
        else
            ok = (o.time = QTime::fromString(value, QStringLiteral("H:mm"))).isValid();
        if (!ok)
            return fail(Error::invalid(QStringLiteral("%1 %2: not a valid value").arg(arg, value)));
    }
    if (o.output.isEmpty())
        return fail(Error::invalid(QStringLiteral("the output folder is missing (-o DIR)")));
    return o;
}

Result<QList<PhoneModel>> chosenModels(const QString &folder, const QString &names)
{
    const auto models = loadPhoneModels(folder);
    if (!models)
        return fail(models.error());
    QList<PhoneModel> chosen;
    if (names == u"all") {
        for (qsizetype i = 0; i < models->entries.size(); ++i)
            chosen.append(models->records[i]);
        return chosen;
    }
    for (const QString &name : names.split(u',', Qt::SkipEmptyParts)) {
        const auto model = namedModel(*models, name.trimmed());
        if (!model)
            return fail(model.error());
        chosen.append(*model);
    }
    return chosen;
}

Result<int> shoot(const ShotsOptions &o, const QString &folder, QStringList &warnings)
{
    const auto models = chosenModels(folder, o.models);
    if (!models)
        return fail(models.error());
    QList<ShotModel> chosen;
    for (const PhoneModel &model : *models) {
        ShotModel shot{model, std::nullopt};
        if (o.frame) {
            const auto frame = loadPhoneFrame(folder, model);
            if (!frame)
                return fail(frame.error());
            shot.frame = *frame;
        }
        chosen.append(shot);
    }
    auto started = startCliPreview(folder, o.seed);
    if (!started)
        return fail(started.error());
    CliPreview &cli = **started;
    if (auto ok = applySkinOptions(cli.document, o.inputs, folder, cli.scratch.path(), warnings);
        !ok)
        return fail(ok.error());
    return writeScreenShots(cli.document.state(), cli.resources, PreviewState{}, o.time, chosen,
                            o.output);
}

} // namespace

int runShotsCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << QString::fromUtf16(kShotsUsage);
        return 0;
    }
    const auto options = parseShotsOptions(args);
    if (!options) {
        err << QStringLiteral("velmora-cli shots: %1 (see velmora-cli shots --help)\n")
                   .arg(options.error().message);
        return 2;
    }
    QStringList warnings;
    const auto written = shoot(*options, cliProgramFolder(), warnings);
    printWarnings(QStringLiteral("shots"), warnings, err);
    if (!written) {
        err << QStringLiteral("velmora-cli shots: %1\n").arg(written.error().message);
        return 1;
    }
    out << QStringLiteral("%1 screens written to %2\n").arg(*written).arg(options->output);
    return 0;
}
