#include "core/Palette.h"

#include "core/Cp1251.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>

namespace {

Result<TColor> parseHexColour(const QJsonValue &value, int index)
{
    static const QRegularExpression pattern(QStringLiteral("^#([0-9A-Fa-f]{6})$"));
    const auto match = pattern.match(value.toString());
    if (!value.isString() || !match.hasMatch()) {
        return fail(
            Error::invalid(QCoreApplication::translate(
                               "Palette", "colors[%1] is not a colour of the form \"#RRGGBB\"")
                               .arg(index)));
    }
    const uint rgb = match.captured(1).toUInt(nullptr, 16);
    return makeColor(int(rgb >> 16), int(rgb >> 8 & 0xFF), int(rgb & 0xFF));
}

Result<QString> textMember(const QJsonObject &object, const QString &key, const QString &fallback)
{
    if (!object.contains(key))
        return fallback;
    if (!object.value(key).isString())
        return fail(Error::invalid(
            QCoreApplication::translate("Palette", "\"%1\" must be a string").arg(key)));
    const QString text = object.value(key).toString();
    // A skin file is cp1251: a character it cannot hold would come back as "?".
    const auto bad = std::find_if_not(text.cbegin(), text.cend(), cp1251::isEncodable);
    if (bad != text.cend()) {
        const bool pair = bad->isHighSurrogate() && bad + 1 != text.cend();
        const char32_t code = pair ? QChar::surrogateToUcs4(*bad, *(bad + 1)) : bad->unicode();
        return fail(Error::unsupported(
            QCoreApplication::translate("Palette",
                                        "\"%1\" holds \"%2\" (U+%3), which a skin file cannot "
                                        "store")
                .arg(key, QString::fromUcs4(&code, 1),
                     QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'))));
    }
    return text;
}

// One line of a .gpl body: "R G B name" with any spacing; nothing for a line that is no colour.
std::optional<std::pair<TColor, QString>> gplEntry(const QString &line)
{
    static const QRegularExpression entry(
        QStringLiteral("^\\s*(\\d{1,3})\\s+(\\d{1,3})\\s+(\\d{1,3})(?:\\s+(.*?))?\\s*$"));
    const auto match = entry.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    const int r = match.captured(1).toInt();
    const int g = match.captured(2).toInt();
    const int b = match.captured(3).toInt();
    if (r > 255 || g > 255 || b > 255)
        return std::nullopt;
    return std::pair{makeColor(r, g, b), match.captured(4)};
}

} // namespace

QByteArray paletteGpl(const std::array<TColor, kSlotCount> &colours, const QString &name)
{
    QString text = QStringLiteral("GIMP Palette\nName: %1\nColumns: 4\n#\n")
                       .arg(QString(name).replace(u'\n', u' '));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const TColor c = colours[std::size_t(slot)];
        text += QStringLiteral("%1 %2 %3\t%4\n")
                    .arg(colorRed(c), 3)
                    .arg(colorGreen(c), 3)
                    .arg(colorBlue(c), 3)
                    .arg(slotCaption(slot));
    }
    return text.toUtf8();
}

QString cssSlotName(int slot)
{
    QString name;
    bool dash = false;
    for (const QChar c : slotCaption(slot).toLower()) {
        if (c.isLetterOrNumber()) {
            if (dash && !name.isEmpty())
                name += u'-';
            name += c;
            dash = false;
        } else {
            dash = true;
        }
    }
    return QStringLiteral("--slot-%1-%2").arg(slot, 2, 10, QLatin1Char('0')).arg(name);
}

QByteArray paletteCss(const std::array<TColor, kSlotCount> &colours)
{
    QString text = QStringLiteral(":root {\n");
    for (int slot = 0; slot < kSlotCount; ++slot)
        text += QStringLiteral("  %1: %2;\n")
                    .arg(cssSlotName(slot), colorToHex(colours[std::size_t(slot)]));
    text += QStringLiteral("}\n");
    return text.toUtf8();
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

Result<SkinData> skinFromJson(const QJsonObject &object)
{
    SkinData skin;
    for (int slot = 0; slot < kSlotCount; ++slot)
        skin.colours[slot] = defaultSlotColour(slot);
    if (object.contains(u"colors")) {
        const QJsonValue value = object.value(u"colors");
        if (!value.isArray() || value.toArray().size() > kSlotCount)
            return fail(Error::invalid(QCoreApplication::translate(
                "Palette", "\"colors\" must be an array of at most 20 colours")));
        const QJsonArray colours = value.toArray();
        for (int slot = 0; slot < colours.size(); ++slot) {
            VELMORA_TRY_ASSIGN(skin.colours[slot], parseHexColour(colours[slot], slot));
        }
    }
    VELMORA_TRY_ASSIGN(skin.mifName,
                       textMember(object, QStringLiteral("mif"), QStringLiteral("default.mif")));
    VELMORA_TRY_ASSIGN(skin.copyright, textMember(object, QStringLiteral("copyright"), QString()));
    // The window stores line breaks as CR LF; JSON written by hand carries bare line feeds. A
    // text with any CR in it came from a skin file and goes back byte for byte.
    if (!skin.copyright.contains(u'\r'))
        skin.copyright.replace(u'\n', QStringLiteral("\r\n"));
    return skin;
}

Result<SkinData> readSkinJson(const QByteArray &bytes, const QString &name)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (!document.isObject()) {
        const QString reason =
            document.isNull()
                ? parseError.errorString()
                : QCoreApplication::translate("Palette", "the top level is not an object");
        return fail(
            Error::invalid(QCoreApplication::translate("Palette", "%1: not a skin description (%2)")
                               .arg(name, reason)));
    }
    auto skin = skinFromJson(document.object());
    if (!skin)
        return fail(
            Error{skin.error().kind, QStringLiteral("%1: %2").arg(name, skin.error().message)});
    return skin;
}

Result<PaletteColours> readGplPalette(const QByteArray &bytes, const QString &name)
{
    const QStringList lines =
        QString::fromUtf8(bytes).remove(u'\r').split(u'\n', Qt::KeepEmptyParts);
    if (lines.isEmpty() || lines.first().trimmed() != u"GIMP Palette")
        return fail(Error::corrupt(
            QCoreApplication::translate("Palette", "%1: not a GIMP palette").arg(name)));
    QList<std::pair<TColor, QString>> entries;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.startsWith(u'#') || line.startsWith(QStringLiteral("Name:")) ||
            line.startsWith(QStringLiteral("Columns:")) || line.trimmed().isEmpty())
            continue;
        const auto entry = gplEntry(line);
        if (!entry)
            return fail(
                Error::corrupt(QCoreApplication::translate("Palette", "%1, line %2: not a colour")
                                   .arg(name)
                                   .arg(i + 1)));
        entries.append(*entry);
    }
    if (entries.isEmpty())
        return fail(Error::corrupt(
            QCoreApplication::translate("Palette", "%1: the palette has no colours").arg(name)));
    PaletteColours colours;
    bool byName = false;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const QString caption = slotCaption(slot);
        for (const auto &[colour, entryName] : entries) {
            if (entryName.compare(caption, Qt::CaseInsensitive) == 0) {
                colours[std::size_t(slot)] = colour;
                byName = true;
            }
        }
    }
    if (byName)
        return colours;
    for (int slot = 0; slot < kSlotCount && slot < entries.size(); ++slot)
        colours[std::size_t(slot)] = entries[slot].first;
    return colours;
}

Result<PaletteColours> readPalette(const QByteArray &bytes, const QString &name)
{
    if (!name.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive))
        return readGplPalette(bytes, name);
    VELMORA_TRY_ASSIGN(const SkinData skin, readSkinJson(bytes, name));
    // A JSON palette gives all twenty colours: the ones it leaves out are the defaults.
    PaletteColours colours;
    for (int slot = 0; slot < kSlotCount; ++slot)
        colours[std::size_t(slot)] = skin.colours[std::size_t(slot)];
    return colours;
}
