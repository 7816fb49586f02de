#include "app/cli/Cli.h"

#include "containers/PictureCodecs.h"
#include "core/Cp1251.h"
#include "core/SkinFile.h"
#include "platform/FileOps.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace {

const char16_t kSkinUsage[] =
    u"Usage:\n"
    u"  velmora-cli skin show FILE.skin [--json]\n"
    u"      Prints the twenty colour slots (\"N #RRGGBB caption\"), the MIF name and the\n"
    u"      copyright text; with --json one object {\"colors\": [...], \"mif\": ..., "
    u"\"copyright\": ...}.\n"
    u"  velmora-cli skin write OUT.skin --json IN.json\n"
    u"      Writes a .skin from a JSON object of the same shape; missing keys take the\n"
    u"      defaults (default colours, \"default.mif\", no copyright).\n";

Result<SkinData> readSkinPath(const QString &path)
{
    auto bytes = readWholeFile(path);
    if (!bytes)
        return fail(bytes.error());
    auto skin = readSkin(*bytes, path);
    if (!skin)
        return fail(skin.error().error);
    return *skin;
}

QJsonObject skinToJson(const SkinData &skin)
{
    QJsonArray colours;
    for (TColor colour : skin.colours)
        colours.append(colorToHex(colour));
    return {{QStringLiteral("colors"), colours},
            {QStringLiteral("mif"), skin.mifName},
            {QStringLiteral("copyright"), skin.copyright}};
}

Result<TColor> parseHexColour(const QJsonValue &value, int index)
{
    static const QRegularExpression pattern(QStringLiteral("^#([0-9A-Fa-f]{6})$"));
    const auto match = pattern.match(value.toString());
    if (!value.isString() || !match.hasMatch()) {
        return fail(Error::invalid(
            QStringLiteral("colors[%1] is not a colour of the form \"#RRGGBB\"").arg(index)));
    }
    const uint rgb = match.captured(1).toUInt(nullptr, 16);
    return makeColor(int(rgb >> 16), int(rgb >> 8 & 0xFF), int(rgb & 0xFF));
}

Result<QString> textMember(const QJsonObject &object, const QString &key, const QString &fallback)
{
    if (!object.contains(key))
        return fallback;
    if (!object.value(key).isString())
        return fail(Error::invalid(QStringLiteral("\"%1\" must be a string").arg(key)));
    const QString text = object.value(key).toString();
    // A skin file is cp1251: a character it cannot hold would come back as "?".
    const auto bad = std::find_if_not(text.cbegin(), text.cend(), cp1251::isEncodable);
    if (bad != text.cend()) {
        const bool pair = bad->isHighSurrogate() && bad + 1 != text.cend();
        const char32_t code = pair ? QChar::surrogateToUcs4(*bad, *(bad + 1)) : bad->unicode();
        return fail(Error::unsupported(
            QStringLiteral("\"%1\" holds \"%2\" (U+%3), which a skin file cannot store")
                .arg(key, QString::fromUcs4(&code, 1),
                     QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'))));
    }
    return text;
}

Result<SkinData> skinFromJson(const QJsonObject &object)
{
    SkinData skin;
    for (int slot = 0; slot < kSlotCount; ++slot)
        skin.colours[slot] = defaultSlotColour(slot);
    if (object.contains(u"colors")) {
        const QJsonValue value = object.value(u"colors");
        if (!value.isArray() || value.toArray().size() > kSlotCount)
            return fail(Error::invalid(
                QStringLiteral("\"colors\" must be an array of at most 20 colours")));
        const QJsonArray colours = value.toArray();
        for (int slot = 0; slot < colours.size(); ++slot) {
            auto colour = parseHexColour(colours[slot], slot);
            if (!colour)
                return fail(colour.error());
            skin.colours[slot] = *colour;
        }
    }
    auto mif = textMember(object, QStringLiteral("mif"), QStringLiteral("default.mif"));
    auto copyright = textMember(object, QStringLiteral("copyright"), QString());
    if (!mif)
        return fail(mif.error());
    if (!copyright)
        return fail(copyright.error());
    skin.mifName = *mif;
    // The window stores line breaks as CR LF; JSON written by hand carries bare line feeds. A
    // text with any CR in it came from a skin file and goes back byte for byte.
    skin.copyright = *copyright;
    if (!skin.copyright.contains(u'\r'))
        skin.copyright.replace(u'\n', QStringLiteral("\r\n"));
    return skin;
}

int showSkin(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const Arguments split = splitArguments(args);
    if (const auto unknown = split.unknownOption({QStringLiteral("--json")})) {
        err << QStringLiteral("velmora-cli skin show: %1 (see velmora-cli skin --help)\n")
                   .arg(unknown->message);
        return 2;
    }
    const bool json = !split.options.isEmpty();
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
    if (json) {
        out << QString::fromUtf8(QJsonDocument(skinToJson(*skin)).toJson(QJsonDocument::Indented));
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

int writeSkinCommand(const QStringList &args, QTextStream &err)
{
    if (args.size() != 3 || args[1] != u"--json") {
        err << QString::fromUtf16(kSkinUsage);
        return 2;
    }
    const QString target = args[0];
    const auto skin = readSkinJsonFile(args[2]);
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
    auto bytes = readWholeFile(source);
    if (!bytes)
        return fail(bytes.error());
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(*bytes, &parseError);
    if (!document.isObject()) {
        const QString reason = document.isNull() ? parseError.errorString()
                                                 : QStringLiteral("the top level is not an object");
        return fail(
            Error::invalid(QStringLiteral("%1: not a skin description (%2)").arg(source, reason)));
    }
    auto skin = skinFromJson(document.object());
    if (!skin)
        return fail(
            Error{skin.error().kind, QStringLiteral("%1: %2").arg(source, skin.error().message)});
    return skin;
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
