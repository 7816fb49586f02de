#include "app/cli/Cli.h"

#include "containers/PictureCodecs.h"
#include "core/SkinFile.h"
#include "preview/mainTolvoPreview.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char16_t kRenderUsage[] =
    u"Usage: velmora-cli render -o OUT.png [options]\n"
    u"Renders the simulated phone screen without a window.\n"
    u"  --skin FILE.skin        colours of a skin (default: the default scheme)\n"
    u"  --background PIC        background picture (.bmp/.jpg/.png), stretched to the screen\n"
    u"  --cursor PIC            cursor picture, stretched to 120 x 18\n"
    u"  --size WxH              screen size (default 240x320)\n"
    u"  --screen NAME           the screen to draw: contacts (default), chat or settings\n"
    u"  --menu left|right       open the left or right softkey menu over the screen\n"
    u"                          (the settings screen has none, the chat window only a left one)\n"
    u"  --popup                 show the pop-up message window\n"
    u"  --info left|right       show the connection notification windows on that side\n"
    u"  --columns 1..5          contact-list columns (default 2)\n"
    u"  --groups                list contacts under their groups\n"
    u"  --offline               list offline contacts too\n"
    u"  --sort status|name      contact order (default status)\n"
    u"  --no-clients            no client icons\n"
    u"  --mini-clock            the small clock\n"
    u"  --blink-phase on|off    blinking nicks lit or not (default off)\n"
    u"  --merge                 one region per colour slot\n"
    u"  --hover X,Y             highlight the element under this point\n"
    u"  --time HH:MM            clock time (default: now)\n"
    u"  --seed N                seed of the sample contact list (default: random)\n"
    u"  --clist FILE            contact list file instead of the sample list\n"
    u"  --font-contacts SPEC    contact-list font, SPEC = Family,points[,bold][,italic]\n"
    u"  --font-chat SPEC        chat font\n"
    u"  --font-settings SPEC    settings, menu and pop-up font\n"
    u"  --regions OUT.json      write every selection region after the render\n";

struct RenderOptions
{
    QString output;
    QString skin;
    QString background;
    QString cursor;
    QSize size{240, 320};
    int screen = TTolvoPreview::kContactListScreen;
    std::optional<bool> menuLeft;
    bool popup = false;
    std::optional<bool> infoLeft;
    int columns = 2;
    bool groups = false;
    bool offline = false;
    bool sortByStatus = true;
    bool clients = true;
    bool miniClock = false;
    bool blinkPhase = false;
    bool merge = false;
    std::optional<QPoint> hover;
    std::optional<QTime> time;
    std::optional<unsigned> seed;
    QString clist;
    std::optional<PhoneFont> fontContacts;
    std::optional<PhoneFont> fontChat;
    std::optional<PhoneFont> fontSettings;
    QString regions;
};

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
    if (name == u"-o") {
        o.output = value;
    } else if (name == u"--skin") {
        o.skin = value;
    } else if (name == u"--background") {
        o.background = value;
    } else if (name == u"--cursor") {
        o.cursor = value;
    } else if (name == u"--clist") {
        o.clist = value;
    } else if (name == u"--regions") {
        o.regions = value;
    } else if (name == u"--size") {
        const auto wh = parsePair(value, u'x');
        if (!wh || wh->first < 16 || wh->second < 16 || wh->first > 4096 || wh->second > 4096)
            return bad(QStringLiteral("expected WxH between 16 and 4096"));
        o.size = QSize(wh->first, wh->second);
    } else if (name == u"--screen") {
        if (value == u"contacts")
            o.screen = TTolvoPreview::kContactListScreen;
        else if (value == u"chat")
            o.screen = TTolvoPreview::kChatScreen;
        else if (value == u"settings")
            o.screen = TTolvoPreview::kSettingsScreen;
        else
            return bad(QStringLiteral("expected contacts, chat or settings"));
    } else if (name == u"--menu" || name == u"--info") {
        if (value != u"left" && value != u"right")
            return bad(QStringLiteral("expected left or right"));
        (name == u"--menu" ? o.menuLeft : o.infoLeft) = value == u"left";
    } else if (name == u"--columns") {
        bool ok = false;
        o.columns = value.toInt(&ok);
        if (!ok || o.columns < 1 || o.columns > 5)
            return bad(QStringLiteral("expected 1..5"));
    } else if (name == u"--sort") {
        if (value != u"status" && value != u"name")
            return bad(QStringLiteral("expected status or name"));
        o.sortByStatus = value == u"status";
    } else if (name == u"--blink-phase") {
        if (value != u"on" && value != u"off")
            return bad(QStringLiteral("expected on or off"));
        o.blinkPhase = value == u"on";
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
    } else if (name == u"--seed") {
        bool ok = false;
        o.seed = value.toUInt(&ok);
        if (!ok)
            return bad(QStringLiteral("expected a non-negative number"));
    } else {
        auto font = fontOption(value);
        if (!font)
            return fail(font.error());
        (name == u"--font-contacts" ? o.fontContacts
         : name == u"--font-chat"   ? o.fontChat
                                    : o.fontSettings) = *font;
    }
    return {};
}

Result<RenderOptions> parseRenderOptions(const QStringList &args)
{
    static const QStringList valueOptions = {QStringLiteral("-o"),
                                             QStringLiteral("--skin"),
                                             QStringLiteral("--background"),
                                             QStringLiteral("--cursor"),
                                             QStringLiteral("--size"),
                                             QStringLiteral("--screen"),
                                             QStringLiteral("--menu"),
                                             QStringLiteral("--info"),
                                             QStringLiteral("--columns"),
                                             QStringLiteral("--sort"),
                                             QStringLiteral("--blink-phase"),
                                             QStringLiteral("--hover"),
                                             QStringLiteral("--time"),
                                             QStringLiteral("--seed"),
                                             QStringLiteral("--clist"),
                                             QStringLiteral("--font-contacts"),
                                             QStringLiteral("--font-chat"),
                                             QStringLiteral("--font-settings"),
                                             QStringLiteral("--regions")};
    RenderOptions o;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (valueOptions.contains(arg)) {
            if (i + 1 >= args.size())
                return fail(Error::invalid(QStringLiteral("%1 needs a value").arg(arg)));
            if (auto ok = parseValueOption(o, arg, args[++i]); !ok)
                return fail(ok.error());
        } else if (arg == u"--groups") {
            o.groups = true;
        } else if (arg == u"--offline") {
            o.offline = true;
        } else if (arg == u"--no-clients") {
            o.clients = false;
        } else if (arg == u"--mini-clock") {
            o.miniClock = true;
        } else if (arg == u"--merge") {
            o.merge = true;
        } else if (arg == u"--popup") {
            o.popup = true;
        } else {
            return fail(Error::invalid(QStringLiteral("unknown option \"%1\"").arg(arg)));
        }
    }
    if (o.output.isEmpty())
        return fail(Error::invalid(QStringLiteral("the output file is missing (-o OUT.png)")));
    return o;
}

Result<QImage> pictureOption(const QString &path, QSize size)
{
    auto picture = decodePictureFile(path);
    if (!picture)
        return picture;
    return picture->scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

Result<void> applyPictures(TTolvoPreview &preview, const RenderOptions &o, const QString &folder)
{
    const QString background =
        o.background.isEmpty() ? folder + QStringLiteral("default_back.jpg") : o.background;
    const QString cursor =
        o.cursor.isEmpty() ? folder + QStringLiteral("default_cursor.jpg") : o.cursor;
    auto back = pictureOption(background, o.size);
    if (!back)
        return fail(back.error());
    auto cur = pictureOption(cursor, QSize(120, 18));
    if (!cur)
        return fail(cur.error());
    preview.setBackground(*back);
    preview.setCursor(*cur);
    return {};
}

Result<void> applyColours(TTolvoPreview &preview, const QString &skin)
{
    ColourScheme scheme;
    SkinTexts texts;
    if (!skin.isEmpty()) {
        if (auto loaded = loadSkinFile(skin, scheme, texts); !loaded)
            return fail(loaded.error());
    }
    for (int index = 0; index < kColourTableSize; ++index)
        preview.setColour(index, scheme.table()[index]);
    return {};
}

void applyOptions(TTolvoPreview &preview, const RenderOptions &o)
{
    preview.setScreenSize(o.size);
    preview.setActiveScreen(o.screen);
    preview.setShowMenu(o.menuLeft.has_value());
    preview.setMenuLeft(o.menuLeft.value_or(false));
    preview.setShowPopup(o.popup);
    preview.setShowInfoWindows(o.infoLeft.has_value());
    preview.setInfoWindowsLeft(o.infoLeft.value_or(false));
    preview.setColumns(o.columns);
    preview.setShowGroups(o.groups);
    preview.setShowOffline(o.offline);
    preview.setSortByStatus(o.sortByStatus);
    preview.setShowClients(o.clients);
    preview.setMiniClock(o.miniClock);
    preview.setBlinkPhase(o.blinkPhase);
    preview.regions().merge = o.merge;
    if (o.fontContacts)
        preview.setContactListFont(*o.fontContacts);
    if (o.fontChat)
        preview.setChatFont(*o.fontChat);
    if (o.fontSettings)
        preview.setSettingsFont(*o.fontSettings);
    if (o.time) {
        const QTime time = *o.time;
        preview.setClock([time] { return time; });
    }
}

QJsonObject regionsToJson(const TTolvoPreview &preview)
{
    QJsonArray regions;
    const TSelRects &rects = preview.regions();
    for (const auto &[slotIndex, index] : rects.registrationOrder()) {
        QJsonArray list;
        for (const QRect &r : rects.regions(slotIndex)[index])
            list.append(QJsonArray{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
        regions.append(
            QJsonObject{{QStringLiteral("slot"), slotIndex - 1}, {QStringLiteral("rects"), list}});
    }
    return {{QStringLiteral("width"), preview.screenSize().width()},
            {QStringLiteral("height"), preview.screenSize().height()},
            {QStringLiteral("regions"), regions}};
}

Result<void> render(const RenderOptions &o, const QString &folder)
{
    std::mt19937 random(o.seed ? *o.seed : std::random_device{}());
    QString loadError;
    StartupReporter reporter{{}, [&](const QString &text) {
                                 loadError = text;
                             }};
    QStringList converterMessages;
    auto resources =
        loadPreviewResources(folder, reporter, random, [&](const QString &, const QString &text) {
            converterMessages.append(text);
        });
    if (!resources)
        return fail(Error::io(QString(loadError).replace(u'\n', u' ')));
    if (!converterMessages.isEmpty())
        return fail(Error::corrupt(converterMessages.join(u' ')));
    if (!o.clist.isEmpty()) {
        const auto bytes = readWholeFile(o.clist);
        if (!bytes)
            return fail(bytes.error());
        resources->loadedList = readCList(*bytes);
    }
    TTolvoPreview preview(std::move(*resources));
    preview.stopBlinking();
    preview.Busy = true;
    applyOptions(preview, o);
    if (auto ok = applyColours(preview, o.skin); !ok)
        return ok;
    if (auto ok = applyPictures(preview, o, folder); !ok)
        return ok;
    preview.Busy = false;
    preview.Render();
    if (o.hover && preview.hitTest(o.hover->x(), o.hover->y()))
        preview.Render();
    const auto png = encodePng(preview.picture());
    if (!png)
        return fail(png.error());
    if (auto written = writeFileAtomically(o.output, *png); !written)
        return written;
    if (!o.regions.isEmpty()) {
        const QByteArray json =
            QJsonDocument(regionsToJson(preview)).toJson(QJsonDocument::Compact);
        return writeFileAtomically(o.regions, json);
    }
    return {};
}

} // namespace

int runRenderCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << QString::fromUtf16(kRenderUsage);
        return 0;
    }
    const auto options = parseRenderOptions(args);
    if (!options) {
        err << QStringLiteral("velmora-cli render: %1\n").arg(options.error().message)
            << QString::fromUtf16(kRenderUsage);
        return 2;
    }
    const QString folder = QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/';
    if (auto done = render(*options, cliProgramFolder().isEmpty() ? folder : cliProgramFolder());
        !done) {
        err << QStringLiteral("velmora-cli render: %1\n").arg(done.error().message);
        return 1;
    }
    return 0;
}
