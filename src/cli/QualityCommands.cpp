#include "cli/Cli.h"

#include "containers/PictureCodecs.h"
#include "core/ColourScheme.h"
#include "core/PhoneModels.h"
#include "export/ScreenShots.h"
#include "platform/FileOps.h"
#include "preview/Legibility.h"
#include "preview/SlotUsage.h"
#include "startup/Startup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTime>

namespace {

const char16_t kAuditUsage[] =
    u"Usage: velmora-cli audit [options]\n"
    u"Measures how readable every text colour is over what is drawn behind it, on every screen\n"
    u"(contacts, contacts-groups, chat, settings, menu-left, menu-right, chat-menu, popup,\n"
    u"notifications). For each text the WCAG 2.1 contrast ratio is taken against the pixels\n"
    u"of its box, the 10th percentile of them; a slot is as readable as its worst text.\n"
    u"Prints \"slot  ratio  grade  screen  caption\" per slot that colours text; grades: ok\n"
    u"(4.5 and above), weak (3.0 to 4.5), unreadable (below 3.0).\n"
    u"  --skin FILE.skin        colours of a skin (default: the default scheme)\n"
    u"  --background PIC        background picture (.bmp/.jpg/.png)\n"
    u"  --cursor PIC            cursor picture\n"
    u"  --model NAME            the screen size of a phone model (velmora-cli models)\n"
    u"  --size WxH              screen size (default 240x320)\n"
    u"  --json                  {\"slots\": [{\"slot\", \"caption\", \"contrast\", \"grade\",\n"
    u"                          \"screen\", \"box\": [left, top, right, bottom]}]}, right and\n"
    u"                          bottom exclusive\n"
    u"  --strict                exit 3 when a slot is unreadable\n"
    u"  --seed N                seed of the sample contact list (default 1)\n"
    u"  --time HH:MM            clock time (default 12:00)\n";

const char16_t kUsageUsage[] =
    u"Usage: velmora-cli usage SLOT -o OUT.png [--json] [options]\n"
    u"Shows every screen where colour slot SLOT (0..19, as velmora-cli skin show numbers them)\n"
    u"paints: the screens side by side in OUT.png with the slot's elements inverted.\n"
    u"  -o OUT.png              the picture (may be left out with --json)\n"
    u"  --json                  print {\"slot\", \"screens\": [{\"screen\", \"rects\":\n"
    u"                          [[left, top, right, bottom], ...]}]}, right and bottom\n"
    u"                          exclusive\n"
    u"  --skin FILE.skin        colours of a skin (default: the default scheme)\n"
    u"  --background PIC        background picture (.bmp/.jpg/.png)\n"
    u"  --cursor PIC            cursor picture\n"
    u"  --model NAME            the screen size of a phone model (velmora-cli models)\n"
    u"  --size WxH              screen size (default 240x320)\n"
    u"  --seed N                seed of the sample contact list (default 1)\n"
    u"  --time HH:MM            clock time (default 12:00)\n";

struct QualityOptions
{
    QString output;
    SkinInputs inputs;
    QString model;
    std::optional<QSize> size;
    bool json = false;
    bool strict = false;
    unsigned seed = kMeasuredSampleSeed;
    QTime time{12, 0};
    QStringList operands;
};

Result<void> setValue(QualityOptions &o, const QString &name, const QString &value)
{
    if (o.inputs.take(name, value))
        return {};
    bool ok = true;
    if (name == u"-o") {
        o.output = value;
    } else if (name == u"--model") {
        o.model = value;
    } else if (name == u"--size") {
        o.size = parseScreenSize(value);
        ok = o.size.has_value();
    } else if (name == u"--seed") {
        o.seed = value.toUInt(&ok);
    } else {
        o.time = QTime::fromString(value, QStringLiteral("H:mm"));
        ok = o.time.isValid();
    }
    if (!ok)
        return fail(Error::invalid(
            QStringLiteral("%1 %2: not a valid value").arg(name, terminalSafe(value))));
    return {};
}

// Both commands' options; flags lists the switches the command knows.
Result<QualityOptions> parseQualityOptions(const QStringList &args, const QStringList &flags)
{
    static const QStringList valueOptions = {
        QStringLiteral("-o"),       QStringLiteral("--skin"),  QStringLiteral("--background"),
        QStringLiteral("--cursor"), QStringLiteral("--model"), QStringLiteral("--size"),
        QStringLiteral("--seed"),   QStringLiteral("--time")};
    QualityOptions o;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (optionsEnded || !arg.startsWith(u'-') || arg == u"-") {
            o.operands.append(arg);
        } else if (arg == u"--") {
            optionsEnded = true;
        } else if (flags.contains(arg)) {
            (arg == u"--json" ? o.json : o.strict) = true;
        } else if (!valueOptions.contains(arg)) {
            return fail(
                Error::invalid(QStringLiteral("unknown option \"%1\"").arg(terminalSafe(arg))));
        } else if (i + 1 >= args.size()) {
            return fail(Error::invalid(QStringLiteral("%1 needs a value").arg(arg)));
        } else if (auto set = setValue(o, arg, args[++i]); !set) {
            return fail(set.error());
        }
    }
    if (!o.model.isEmpty() && o.size)
        return fail(Error::invalid(QStringLiteral("--model and --size exclude each other")));
    return o;
}

// The preview with the skin and screen the options ask for, and the state to audit from.
Result<std::unique_ptr<CliPreview>> startQualityPreview(const QualityOptions &o,
                                                        PreviewState &state, QStringList &warnings)
{
    const QString folder = cliProgramFolder();
    if (o.size)
        state.screenSize = *o.size;
    if (!o.model.isEmpty()) {
        const auto models = loadPhoneModels(folder);
        if (!models)
            return fail(models.error());
        const auto model = namedModel(*models, o.model);
        if (!model)
            return fail(model.error());
        state.screenSize = QSize(model->width, model->height);
    }
    auto started = startCliPreview(folder, o.seed);
    if (!started)
        return fail(started.error());
    if (auto ok = applySkinOptions((*started)->document, o.inputs, folder,
                                   (*started)->scratch.path(), warnings);
        !ok)
        return fail(ok.error());
    return started;
}

QJsonArray boxJson(const QRect &r)
{
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

void printAudit(const QList<SlotLegibility> &graded, bool json, QTextStream &out)
{
    if (json) {
        QJsonArray list;
        for (const SlotLegibility &s : graded)
            list.append(QJsonObject{{QStringLiteral("slot"), s.slot},
                                    {QStringLiteral("caption"), slotCaption(s.slot)},
                                    {QStringLiteral("contrast"), s.contrast},
                                    {QStringLiteral("grade"), gradeName(s.grade)},
                                    {QStringLiteral("screen"), s.screen},
                                    {QStringLiteral("box"), boxJson(s.box)}});
        out << QJsonDocument(QJsonObject{{QStringLiteral("slots"), list}}).toJson();
        return;
    }
    for (const SlotLegibility &s : graded)
        out << QStringLiteral("%1  %2  %3  %4  %5\n")
                   .arg(s.slot, 2)
                   .arg(s.contrast, 5, 'f', 2)
                   .arg(gradeName(s.grade), -10)
                   .arg(s.screen, -15)
                   .arg(slotCaption(s.slot));
}

Result<QList<SlotLegibility>> audit(const QualityOptions &o, QStringList &warnings)
{
    PreviewState state;
    auto started = startQualityPreview(o, state, warnings);
    if (!started)
        return fail(started.error());
    const CliPreview &cli = **started;
    return auditLegibility(cli.document.state(), cli.resources, state, false, {o.time});
}

Result<int> slotOperand(const QualityOptions &o)
{
    if (o.operands.size() != 1)
        return fail(Error::invalid(QStringLiteral("give one slot number, 0..19")));
    bool ok = false;
    const int slot = o.operands.first().toInt(&ok);
    if (!ok || slot < 0 || slot >= kSlotCount)
        return fail(Error::invalid(QStringLiteral("\"%1\" is not a slot number, 0..19")
                                       .arg(terminalSafe(o.operands.first()))));
    return slot;
}

QJsonObject usageJson(int slot, const QList<ScreenUsage> &usage)
{
    QJsonArray screens;
    for (const ScreenUsage &entry : usage) {
        QJsonArray rects;
        for (const QRect &r : entry.region)
            rects.append(boxJson(r));
        screens.append(QJsonObject{{QStringLiteral("screen"), entry.screen},
                                   {QStringLiteral("rects"), rects}});
    }
    return {{QStringLiteral("slot"), slot}, {QStringLiteral("screens"), screens}};
}

Result<void> writeUsagePicture(int slot, const QList<ScreenUsage> &usage, const QString &path)
{
    SheetRow row{QStringLiteral("%1  %2").arg(slot).arg(slotCaption(slot)), {}, {}};
    for (const ScreenUsage &entry : usage) {
        row.pictures.append(entry.picture);
        row.captions.append(entry.screen);
    }
    const auto png = encodePng(composeSheet({row}));
    if (!png)
        return fail(png.error());
    return writeFileAtomically(path, *png);
}

Result<void> usage(const QualityOptions &o, int slot, QTextStream &out, QStringList &warnings)
{
    PreviewState state;
    auto started = startQualityPreview(o, state, warnings);
    if (!started)
        return fail(started.error());
    const CliPreview &cli = **started;
    const QList<ScreenUsage> usage =
        slotUsage(cli.document.state(), cli.resources, state, slot, !o.output.isEmpty(), {o.time});
    if (!o.output.isEmpty()) {
        if (auto written = writeUsagePicture(slot, usage, o.output); !written)
            return written;
    }
    if (o.json)
        out << QJsonDocument(usageJson(slot, usage)).toJson();
    else
        out << QStringLiteral("slot %1 paints on %2 screens\n").arg(slot).arg(usage.size());
    return {};
}

bool wantsHelp(const QStringList &args, const char16_t *text, QTextStream &out)
{
    if (!args.contains(QStringLiteral("--help")) && !args.contains(QStringLiteral("-h")))
        return false;
    out << QString::fromUtf16(text);
    return true;
}

} // namespace

int runAuditCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (wantsHelp(args, kAuditUsage, out))
        return 0;
    auto options =
        parseQualityOptions(args, {QStringLiteral("--json"), QStringLiteral("--strict")});
    if (options && !options->operands.isEmpty())
        options = fail(Error::invalid(
            QStringLiteral("unexpected \"%1\"").arg(terminalSafe(options->operands.first()))));
    if (!options) {
        err << QStringLiteral("velmora-cli audit: %1 (see velmora-cli audit --help)\n")
                   .arg(options.error().message);
        return 2;
    }
    QStringList warnings;
    const auto graded = audit(*options, warnings);
    printWarnings(QStringLiteral("audit"), warnings, err);
    if (!graded) {
        err << QStringLiteral("velmora-cli audit: %1\n").arg(graded.error().message);
        return 1;
    }
    printAudit(*graded, options->json, out);
    const bool unreadable = std::ranges::any_of(
        *graded, [](const SlotLegibility &s) { return s.grade == LegibilityGrade::Unreadable; });
    return options->strict && unreadable ? 3 : 0;
}

int runUsageCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (wantsHelp(args, kUsageUsage, out))
        return 0;
    const auto options = parseQualityOptions(args, {QStringLiteral("--json")});
    const auto slot = options ? slotOperand(*options) : Result<int>(fail(options.error()));
    std::optional<Error> wrong = slot ? std::nullopt : std::optional(slot.error());
    if (!wrong && options->output.isEmpty() && !options->json)
        wrong = Error::invalid(QStringLiteral("the output picture is missing (-o OUT.png)"));
    if (wrong) {
        err << QStringLiteral("velmora-cli usage: %1 (see velmora-cli usage --help)\n")
                   .arg(wrong->message);
        return 2;
    }
    QStringList warnings;
    const auto done = usage(*options, *slot, out, warnings);
    printWarnings(QStringLiteral("usage"), warnings, err);
    if (!done) {
        err << QStringLiteral("velmora-cli usage: %1\n").arg(done.error().message);
        return 1;
    }
    return 0;
}
