#include "app/cli/Cli.h"

#include "containers/PictureCodecs.h"
#include "core/PhoneModels.h"
#include "platform/FileOps.h"
#include "preview/PhoneFrame.h"
#include "startup/Startup.h"

#include <QDir>
#include <QPainter>
#include <QRegularExpression>

#include <functional>

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
    QString skin;
    QString background;
    QString cursor;
    QString models = QStringLiteral("all");
    bool frame = false;
    unsigned seed = 1;
    QTime time{12, 0};
};

// One screen of the set: its file name and how it changes the plain contact list.
struct Screen
{
    const char16_t *name;
    std::function<void(PreviewState &)> set;
};

const QList<Screen> &screens()
{
    static const QList<Screen> list = {
        {u"contacts",
         [](PreviewState &) {
         }},
        {u"contacts-groups",
         [](PreviewState &s) {
             s.showGroups = true;
         }},
        {u"chat",
         [](PreviewState &s) {
             s.activeScreen = PreviewScreen::Chat;
         }},
        {u"settings",
         [](PreviewState &s) {
             s.activeScreen = PreviewScreen::Settings;
         }},
        {u"menu-left",
         [](PreviewState &s) {
             s.showMenu = true;
             s.menuLeft = true;
         }},
        {u"menu-right",
         [](PreviewState &s) {
             s.showMenu = true;
             s.menuLeft = false;
         }},
        {u"chat-menu",
         [](PreviewState &s) {
             s.activeScreen = PreviewScreen::Chat;
             s.showMenu = true;
             s.menuLeft = true;
         }},
        {u"popup",
         [](PreviewState &s) {
             s.showPopup = true;
         }},
        {u"notifications",
         [](PreviewState &s) {
             s.showInfoWindows = true;
         }},
    };
    return list;
}

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
        bool ok = true;
        if (arg == u"-o")
            o.output = value;
        else if (arg == u"--skin")
            o.skin = value;
        else if (arg == u"--background")
            o.background = value;
        else if (arg == u"--cursor")
            o.cursor = value;
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
        for (const QString &name : models->entries)
            chosen.append(models->records[findModel(*models, name)]);
        return chosen;
    }
    for (const QString &name : names.split(u',', Qt::SkipEmptyParts)) {
        const int index = findModel(*models, name.trimmed());
        if (index < 0 || index >= models->entries.size())
            return fail(Error::invalid(
                QStringLiteral("there is no model \"%1\"; the models are: %2")
                    .arg(name.trimmed(), models->entries.join(QStringLiteral(", ")))));
        chosen.append(models->records[index]);
    }
    return chosen;
}

} // namespace

QString modelSlug(const QString &name)
{
    static const QRegularExpression others(QStringLiteral("[^a-z0-9]+"));
    QString slug = name.toLower().replace(others, QStringLiteral("-"));
    while (slug.startsWith(u'-'))
        slug.remove(0, 1);
    while (slug.endsWith(u'-'))
        slug.chop(1);
    return slug;
}

namespace {

struct Shot
{
    QString model;
    QString slug;
    QList<QImage> pictures; // in the order of screens()
};

Result<Shot> shootModel(CliPreview &started, const PhoneModel &model, const ShotsOptions &o,
                        const QString &folder)
{
    std::optional<PhoneFrame> frame;
    if (o.frame) {
        const auto picture = loadPhonePicture(folder, model);
        if (!picture)
            return fail(picture.error());
        frame = phoneFrame(*picture, model);
    }
    Shot shot{model.name, modelSlug(model.name), {}};
    const QDir dir(QDir(o.output).filePath(shot.slug));
    if (!dir.mkpath(QStringLiteral(".")))
        return fail(Error::io(QStringLiteral("%1: the folder cannot be made").arg(dir.path())));
    for (const Screen &screen : screens()) {
        PreviewState state;
        state.screenSize = QSize(model.width, model.height);
        screen.set(state);
        started.preview->setState(state);
        const QImage picture =
            frame ? framedScreen(started.preview->picture(), *frame) : started.preview->picture();
        const auto png = encodePng(picture);
        if (!png)
            return fail(png.error());
        const QString file = dir.filePath(QString::fromUtf16(screen.name) + QStringLiteral(".png"));
        if (auto written = writeFileAtomically(file, *png); !written)
            return fail(written.error());
        shot.pictures.append(picture);
    }
    return shot;
}

QByteArray indexHtml(const QList<Shot> &shots)
{
    QString html =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\">"
                       "<title>Skin screenshots</title>\n<style>body{font-family:sans-"
                       "serif}td{vertical-align:top;padding:4px;text-align:center}"
                       "img{display:block;margin:auto}</style></head>\n<body>\n");
    for (const Shot &shot : shots) {
        html += QStringLiteral("<h2>%1</h2>\n<table><tr>\n").arg(shot.model.toHtmlEscaped());
        for (const Screen &screen : screens()) {
            const QString name = QString::fromUtf16(screen.name);
            html += QStringLiteral("<td><img src=\"%1/%2.png\" alt=\"%2\"><br>%2</td>\n")
                        .arg(shot.slug, name);
        }
        html += QStringLiteral("</tr></table>\n");
    }
    html += QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

// Every picture in one sheet: a row per model, a column per screen, names above.
QImage contactSheet(const QList<Shot> &shots)
{
    constexpr int kGap = 8;
    constexpr int kCaption = 18;
    int width = kGap;
    int height = kGap;
    for (const Shot &shot : shots) {
        int rowWidth = kGap;
        int rowHeight = 0;
        for (const QImage &picture : shot.pictures) {
            rowWidth += picture.width() + kGap;
            rowHeight = std::max(rowHeight, picture.height());
        }
        width = std::max(width, rowWidth);
        height += 2 * kCaption + rowHeight + kGap;
    }
    QImage sheet(width, height, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    int y = kGap;
    for (const Shot &shot : shots) {
        p.drawText(QRect(kGap, y, width, kCaption), Qt::AlignLeft | Qt::AlignVCenter, shot.model);
        y += kCaption;
        int x = kGap;
        int rowHeight = 0;
        for (qsizetype i = 0; i < shot.pictures.size(); ++i) {
            const QImage &picture = shot.pictures[i];
            p.drawText(QRect(x, y, picture.width(), kCaption), Qt::AlignCenter,
                       QString::fromUtf16(screens()[i].name));
            p.drawImage(x, y + kCaption, picture);
            x += picture.width() + kGap;
            rowHeight = std::max(rowHeight, picture.height());
        }
        y += kCaption + rowHeight + kGap;
    }
    return sheet;
}

Result<int> shoot(const ShotsOptions &o, const QString &folder)
{
    const auto models = chosenModels(folder, o.models);
    if (!models)
        return fail(models.error());
    auto started = startCliPreview(folder, o.seed);
    if (!started)
        return fail(started.error());
    CliPreview &cli = **started;
    cli.preview->setClock([time = o.time] { return time; });
    if (!o.skin.isEmpty()) {
        if (auto loaded = cli.document.loadSkin(o.skin); !loaded)
            return fail(loaded.error());
    }
    if (auto ok = importPictureOption(cli.document, o.background, true); !ok)
        return fail(ok.error());
    if (auto ok = importPictureOption(cli.document, o.cursor, false); !ok)
        return fail(ok.error());
    QList<Shot> shots;
    for (const PhoneModel &model : *models) {
        auto shot = shootModel(cli, model, o, folder);
        if (!shot)
            return fail(shot.error());
        shots.append(std::move(*shot));
    }
    const QDir out(o.output);
    if (auto written =
            writeFileAtomically(out.filePath(QStringLiteral("index.html")), indexHtml(shots));
        !written)
        return fail(written.error());
    const auto sheet = encodePng(contactSheet(shots));
    if (!sheet)
        return fail(sheet.error());
    if (auto written = writeFileAtomically(out.filePath(QStringLiteral("sheet.png")), *sheet);
        !written)
        return fail(written.error());
    return int(shots.size() * screens().size());
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
    const auto written = shoot(*options, cliProgramFolder());
    if (!written) {
        err << QStringLiteral("velmora-cli shots: %1\n").arg(written.error().message);
        return 1;
    }
    out << QStringLiteral("%1 screens written to %2\n").arg(*written).arg(options->output);
    return 0;
}
