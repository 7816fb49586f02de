#include "cli/Cli.h"

#include "containers/PictureCodecs.h"
#include "core/PhoneModels.h"
#include "core/SettingsFile.h"
#include "platform/FileOps.h"
#include "platform/WritablePlaces.h"
#include "preview/ColourVision.h"
#include "preview/PhoneFrame.h"
#include "preview/PreviewOptions.h"
#include "preview/PreviewSettings.h"
#include "startup/Startup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char16_t kRenderUsage[] =
    u"Usage: velmora-cli render -o OUT.png [options]\n"
    u"Renders the simulated phone screen without a window. Without options it draws what the\n"
    u"designer starts with before its settings are read: the default skin, the contact list,\n"
    u"every option off but sorting by status, two columns, whole-slot highlighting.\n"
    u"  --settings FILE         the preview options of a Settings.cfg (screen size, model and\n"
    u"                          frame, fonts, every option), as the designer shows them;\n"
    u"                          the options below change them further\n"
    u"  --skin FILE.skin        colours of a skin (default: the default scheme)\n"
    u"  --background PIC        background picture (.bmp/.jpg/.png), stretched to the screen\n"
    u"                          without smoothing (default: the program's default_back.jpg)\n"
    u"  --cursor PIC            cursor picture, stretched to 120 x 18 the same way\n"
    u"  --size WxH              screen size (default 240x320)\n"
    u"  --model NAME            the screen size of a phone model (velmora-cli models)\n"
    u"  --frame                 with --model: the phone picture around the screen, pixels\n"
    u"                          outside the phone transparent, as the preview window shows it\n"
    u"  --screen NAME           the screen to draw: contacts (default), chat or settings\n"
    u"  --menu left|right       open the left or right softkey menu over the screen\n"
    u"                          (the settings screen has none, the chat window only a left one)\n"
    u"  --popup                 show the pop-up message window\n"
    u"  --info left|right       show the connection notification windows on that side\n"
    u"  --columns 1..5          contact-list columns (default 2)\n"
    u"  --groups                list contacts under their groups\n"
    u"  --offline               list offline contacts too\n"
    u"  --sort status|name      contact order (default status)\n"
    u"  --clients               client icons beside the contacts\n"
    u"  --mini-clock            the small clock\n"
    u"  --blink-phase on|off    blinking nicks lit or not (default off)\n"
    u"  --select slot|element   what --hover highlights: every element of the slot (default)\n"
    u"                          or the single element\n"
    u"  --hover X,Y             highlight the element under this point\n"
    u"  --time HH:MM            clock time (default: now)\n"
    u"  --seed N                seed of the sample contact list (default: random)\n"
    u"  --clist FILE            contact list file instead of the sample list\n"
    u"  --font-contacts SPEC    contact-list font, SPEC = Family,points[,bold][,italic]\n"
    u"  --font-chat SPEC        chat font\n"
    u"  --font-settings SPEC    settings, menu and pop-up font\n"
    u"  --regions OUT.json      write every selection region after the render\n"
    u"  --simulate KIND         show the screen as seen with a colour-vision deficiency:\n"
    u"                          protan, deutan, tritan or achroma (no colour); the regions\n"
    u"                          stay those of the skin's own colours\n";

// The screen's options start as the designer's do; the rest says what to draw them with.
struct RenderOptions
{
    QString output;
    SkinInputs inputs;
    PreviewState state;
    std::optional<QPoint> hover;
    std::optional<QTime> time;
    std::optional<unsigned> seed;
    QString clist;
    QString regions;
    QString model;
    bool frame = false;
    ColourVision vision = ColourVision::Normal;
    // The model came from a settings file: one the list does not have means the typed size, as
    // in the designer, not an error.
    bool modelFromSettings = false;
    // What the settings file said that could not be used.
    QStringList notes;
};

// The settings file's options are the start the command line's own options change.
Result<void> applySettingsFile(RenderOptions &o, const QString &path)
{
    const auto bytes = readWholeFile(path, kMaxSettingsFileSize);
    if (!bytes)
        return fail(bytes.error());
    SettingsValues values;
    o.notes = readSettings(*bytes, values);
    o.state = previewStateFromSettings(values, o.state);
    if (!values.modelName.isEmpty()) {
        o.model = values.modelName;
        o.frame = values.phoneFrame;
        o.modelFromSettings = true;
    }
    return {};
}

// The preview option a switch such as --groups turns on, or null.
const PreviewToggle *toggleSwitch(const QString &arg)
{
    for (const PreviewToggle &toggle : kPreviewToggles) {
        if (!toggle.flag.isEmpty() && arg == toggle.flag)
            return &toggle;
    }
    return nullptr;
}

std::optional<std::pair<int, int>> parsePair(const QString &text, QChar separator)
{
    const QStringList parts = text.split(separator);
    if (parts.size() != 2)
        return std::nullopt;
    bool ok1 = false;
    bool ok2 = false;
    const int a = parts[0].toInt(&ok1);
    const int b = parts[1].toInt(&ok2);
    if (!ok1 || !ok2)
        return std::nullopt;
    return std::pair{a, b};
}

Result<std::optional<PhoneFont>> fontOption(const QString &value)
{
    auto font = parsePhoneFont(value);
    if (!font)
        return fail(Error::invalid(
            QStringLiteral("\"%1\" is not a font (Family,points[,bold][,italic])").arg(value)));
    return font;
}

Result<void> parseValueOption(RenderOptions &o, const QString &name, const QString &value)
{
    const auto bad = [&](const QString &why) {
        return fail(Error::invalid(QStringLiteral("%1 %2: %3").arg(name, value, why)));
    };
    if (o.inputs.take(name, value))
        return {};
    if (name == u"-o") {
        o.output = value;
    } else if (name == u"--clist") {
        o.clist = value;
    } else if (name == u"--regions") {
        o.regions = value;
    } else if (name == u"--settings") {
        // Read before every other option.
    } else if (name == u"--model") {
        o.model = value;
        o.modelFromSettings = false;
    } else if (name == u"--size") {
        const auto size = parseScreenSize(value);
        if (!size)
            return bad(QStringLiteral("expected WxH between 16 and 4096"));
        o.state.screenSize = *size;
        // A size typed here wins over a model the settings file chose.
        if (o.modelFromSettings) {
            o.model.clear();
            o.frame = false;
        }
    } else if (name == u"--screen") {
        if (value == u"contacts")
            o.state.activeScreen = PreviewScreen::ContactList;
        else if (value == u"chat")
            o.state.activeScreen = PreviewScreen::Chat;
        else if (value == u"settings")
            o.state.activeScreen = PreviewScreen::Settings;
        else
            return bad(QStringLiteral("expected contacts, chat or settings"));
    } else if (name == u"--menu" || name == u"--info") {
        if (value != u"left" && value != u"right")
            return bad(QStringLiteral("expected left or right"));
        const bool left = value == u"left";
        if (name == u"--menu") {
            o.state.showMenu = true;
            o.state.menuLeft = left;
        } else {
            o.state.showInfoWindows = true;
            o.state.infoWindowsLeft = left;
        }
    } else if (name == u"--columns") {
        bool ok = false;
        o.state.columns = value.toInt(&ok);
        if (!ok || o.state.columns < 1 || o.state.columns > 5)
            return bad(QStringLiteral("expected 1..5"));
    } else if (name == u"--sort") {
        if (value != u"status" && value != u"name")
            return bad(QStringLiteral("expected status or name"));
        o.state.sortByStatus = value == u"status";
    } else if (name == u"--select") {
        if (value != u"slot" && value != u"element")
            return bad(QStringLiteral("expected slot or element"));
        o.state.selection =
            value == u"slot" ? SelectionMode::WholeSlot : SelectionMode::SingleElement;
    } else if (name == u"--blink-phase") {
        if (value != u"on" && value != u"off")
            return bad(QStringLiteral("expected on or off"));
        o.state.blinkPhase = value == u"on";
    } else if (name == u"--hover") {
        const auto xy = parsePair(value, u',');
        if (!xy)
            return bad(QStringLiteral("expected X,Y"));
        o.hover = QPoint(xy->first, xy->second);
    } else if (name == u"--time") {
        const QTime time = QTime::fromString(value, QStringLiteral("H:mm"));
        if (!time.isValid())
            return bad(QStringLiteral("expected HH:MM"));
        o.time = time;
    } else if (name == u"--simulate") {
        const auto vision = colourVisionNamed(value);
        if (!vision || *vision == ColourVision::Normal)
            return bad(QStringLiteral("expected protan, deutan, tritan or achroma"));
        o.vision = *vision;
    } else if (name == u"--seed") {
        bool ok = false;
        o.seed = value.toUInt(&ok);
        if (!ok)
            return bad(QStringLiteral("expected a non-negative number"));
    } else {
        auto font = fontOption(value);
        if (!font)
            return fail(font.error());
        (name == u"--font-contacts" ? o.state.contactListFont
         : name == u"--font-chat"   ? o.state.chatFont
                                    : o.state.settingsFont) = **font;
    }
    return {};
}

Result<RenderOptions> parseRenderOptions(const QStringList &args)
{
    static const QStringList valueOptions = {
        QStringLiteral("-o"),           QStringLiteral("--settings"),
        QStringLiteral("--model"),      QStringLiteral("--skin"),
        QStringLiteral("--background"), QStringLiteral("--cursor"),
        QStringLiteral("--size"),       QStringLiteral("--screen"),
        QStringLiteral("--menu"),       QStringLiteral("--info"),
        QStringLiteral("--columns"),    QStringLiteral("--sort"),
        QStringLiteral("--select"),     QStringLiteral("--blink-phase"),
        QStringLiteral("--hover"),      QStringLiteral("--time"),
        QStringLiteral("--seed"),       QStringLiteral("--simulate"),
        QStringLiteral("--clist"),      QStringLiteral("--font-contacts"),
        QStringLiteral("--font-chat"),  QStringLiteral("--font-settings"),
        QStringLiteral("--regions")};
    RenderOptions o;
    if (const qsizetype at = args.indexOf(QStringLiteral("--settings"));
        at >= 0 && at + 1 < args.size()) {
        if (auto read = applySettingsFile(o, args[at + 1]); !read)
            return fail(read.error());
    }
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (valueOptions.contains(arg)) {
            if (i + 1 >= args.size())
                return fail(Error::invalid(QStringLiteral("%1 needs a value").arg(arg)));
            if (auto ok = parseValueOption(o, arg, args[++i]); !ok)
                return fail(ok.error());
        } else if (const PreviewToggle *toggle = toggleSwitch(arg)) {
            o.state.*toggle->state = true;
        } else if (arg == u"--frame") {
            o.frame = true;
        } else {
            return fail(Error::invalid(QStringLiteral("unknown option \"%1\"").arg(arg)));
        }
    }
    if (o.output.isEmpty())
        return fail(Error::invalid(QStringLiteral("the output file is missing (-o OUT.png)")));
    if (o.frame && o.model.isEmpty())
        return fail(Error::invalid(QStringLiteral("--frame needs --model NAME")));
    // The client has no menu on its settings screen and only the left one in the chat window:
    // a picture of anything else would show what no phone shows.
    if (o.state.showMenu && o.state.activeScreen == PreviewScreen::Settings)
        return fail(Error::invalid(QStringLiteral("--menu: the settings screen has no menu")));
    if (o.state.showMenu && !o.state.menuLeft && o.state.activeScreen == PreviewScreen::Chat)
        return fail(
            Error::invalid(QStringLiteral("--menu right: the chat window has only a left menu")));
    return o;
}

QJsonObject regionsToJson(const Frame &frame)
{
    QJsonArray regions;
    const TSelRects &rects = frame.regions;
    for (const auto &[slotIndex, index] : rects.registrationOrder()) {
        QJsonArray list;
        for (const QRect &r : rects.regions(slotIndex)[index])
            list.append(QJsonArray{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
        regions.append(
            QJsonObject{{QStringLiteral("slot"), slotIndex - 1}, {QStringLiteral("rects"), list}});
    }
    return {{QStringLiteral("width"), frame.picture.width()},
            {QStringLiteral("height"), frame.picture.height()},
            {QStringLiteral("regions"), regions}};
}

// The model's size, and its phone picture when the frame is asked for.
Result<std::optional<PhoneFrame>> applyModel(const QString &folder, RenderOptions &o)
{
    if (o.model.isEmpty())
        return std::nullopt;
    const auto models = loadPhoneModels(folder);
    if (!models && o.modelFromSettings)
        return std::nullopt;
    if (!models)
        return fail(models.error());
    const auto model = namedModel(*models, o.model);
    if (!model && o.modelFromSettings)
        return std::nullopt;
    if (!model)
        return fail(model.error());
    o.state.screenSize = QSize(model->width, model->height);
    if (!o.frame)
        return std::nullopt;
    return loadPhoneFrame(folder, *model);
}

Result<void> writeOutputs(const Frame &drawn, const RenderOptions &o,
                          const std::optional<PhoneFrame> &frame)
{
    // The screen as the chosen viewer sees it; the phone around it is not the skin's.
    const QImage screen = simulateColourVision(drawn.picture, o.vision);
    const auto png = encodePng(frame ? framedScreen(screen, *frame) : screen);
    if (!png)
        return fail(png.error());
    if (auto written = writeFileAtomically(o.output, *png); !written)
        return written;
    if (!o.regions.isEmpty()) {
        const QByteArray json = QJsonDocument(regionsToJson(drawn)).toJson(QJsonDocument::Compact);
        return writeFileAtomically(o.regions, json);
    }
    return {};
}

Result<void> render(RenderOptions o, const QString &folder, QStringList &warnings)
{
    const auto frame = applyModel(folder, o);
    if (!frame)
        return fail(frame.error());
    auto started = startCliPreview(folder, o.seed, o.clist);
    if (!started)
        return fail(started.error());
    CliPreview &cli = **started;
    if (auto ok = applySkinOptions(cli.document, o.inputs, folder, cli.scratch.path(), warnings);
        !ok)
        return ok;
    Frame drawn = ::render(o.state, cli.document.state(), cli.resources, nullptr,
                           {o.time.value_or(QTime::currentTime())});
    // The element under the point highlighted, as the window shows it under the mouse.
    if (o.hover && drawn.regions.hitTest(o.hover->x(), o.hover->y()))
        drawn.regions.drawHighlight(drawn.picture);
    return writeOutputs(drawn, o, *frame);
}

} // namespace

int runRenderCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << QString::fromUtf16(kRenderUsage);
        return 0;
    }
    const auto options = parseRenderOptions(args);
    if (!options && options.error().kind != Error::Kind::Invalid) {
        // A settings file that cannot be read is no misuse of the command.
        err << QStringLiteral("velmora-cli render: %1\n").arg(options.error().message);
        return 1;
    }
    if (!options) {
        err << QStringLiteral("velmora-cli render: %1 (see velmora-cli render --help)\n")
                   .arg(options.error().message);
        return 2;
    }
    for (const QString &note : options->notes)
        err << QStringLiteral("velmora-cli render: %1\n").arg(note);
    QStringList warnings;
    const auto done = render(*options, cliProgramFolder(), warnings);
    printWarnings(QStringLiteral("render"), warnings, err);
    if (!done) {
        err << QStringLiteral("velmora-cli render: %1\n").arg(done.error().message);
        return 1;
    }
    return 0;
}
