#pragma once

#include "core/ColourScheme.h"
#include "core/SkinFile.h"
#include "platform/Error.h"

#include <QByteArray>
#include <QJsonObject>

#include <array>
#include <optional>

// The twenty colours to and from the files other tools keep colours in: GIMP and Inkscape
// palettes (.gpl), CSS custom properties, and the JSON that `skin show --json` prints.

// "GIMP Palette" with the skin's name, one line per slot named by its caption.
QByteArray paletteGpl(const std::array<TColor, kSlotCount> &colours, const QString &name);
// ":root { --slot-00-<caption>: #RRGGBB; … }", slots numbered as `skin show` prints them.
QByteArray paletteCss(const std::array<TColor, kSlotCount> &colours);
// A caption as part of a CSS name: lower case, every run of other characters than letters and
// digits one "-" ("разделитель \"В сети/Не в сети\"/группы" gives
// "разделитель-в-сети-не-в-сети-группы").
QString cssSlotName(int slot);

// {"colors": ["#RRGGBB", …], "mif": …, "copyright": …}.
QJsonObject skinToJson(const SkinData &skin);
// The same shape back; missing keys take the defaults, texts a skin file cannot store are
// refused (Error::Kind::Unsupported).
Result<SkinData> skinFromJson(const QJsonObject &object);
// JSON text to a skin; name is what messages call it.
Result<SkinData> readSkinJson(const QByteArray &bytes, const QString &name);

// A palette or a skin described in JSON is a few kilobytes: a larger file is not one, and is
// refused before it is read.
inline constexpr qint64 kMaxPaletteFileSize = 1024 * 1024;

// What a palette gives each slot; a slot it does not name stays as it is.
using PaletteColours = std::array<std::optional<TColor>, kSlotCount>;

// A .gpl palette: by name where entries are named like slot captions (any case), otherwise the
// first twenty entries in order.
Result<PaletteColours> readGplPalette(const QByteArray &bytes, const QString &name);
// A palette by its name's ending: .gpl, or .json in the `skin show --json` shape.
Result<PaletteColours> readPalette(const QByteArray &bytes, const QString &name);
