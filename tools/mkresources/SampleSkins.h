#pragma once

#include "core/ColourScheme.h"
#include "platform/Error.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// The sample skins of skins/: twenty colours and two pictures each, all of them made here. The
// generator paints the pictures and writes the colours as `velmora-cli skin write --json` reads
// them; `velmora-cli export` then turns each set into the skin's files, the same way a user's
// export does.

// The background at the size of the most common S60 screen, which the client stretches to any
// other; the cursor at the size the client stretches over a contact row.
inline constexpr QSize kSkinBackgroundSize(240, 320);
inline constexpr QSize kSkinCursorSize(120, 18);

// The contact-list cursor: a rounded bar with a top-to-bottom gradient, a soft gloss on its upper
// half and a one-pixel edge.
struct CursorStyle
{
    QColor top;
    QColor bottom;
    QColor edge;
};

struct SampleSkin
{
    QString name;  // file base name: lower-case Latin letters
    QString title; // the name as the copyright line shows it
    std::array<TColor, kSlotCount> colours{};
    CursorStyle cursor;
    // Stored as bitmaps in a .mbm beside the .mif, for phones with Symbian OS 9.1, instead of
    // embedded JPEG/PNG pictures.
    bool bitmaps = false;
    QImage (*paintBackground)() = nullptr;
};

QList<SampleSkin> sampleSkins();

// RGB32 pictures; painting is deterministic, so the same generator always gives the same bytes.
// A skin stored as bitmaps gets pictures already dithered to the bitmaps' 16-bit colours, so
// the converter keeps them pixel for pixel.
QImage paintSkinBackground(const SampleSkin &skin);
// The corners outside the rounded bar take the background's average colour, so the bar's shape
// holds wherever the client puts it.
QImage paintSkinCursor(const SampleSkin &skin, const QImage &background);

QString sampleSkinCopyright(const SampleSkin &skin);
// {"colors": [...], "mif": "NAME.mif", "copyright": "..."}, UTF-8.
QByteArray sampleSkinJson(const SampleSkin &skin);
// The options `velmora-cli export` gets for the skin's pictures.
QStringList sampleSkinExportOptions(const SampleSkin &skin);

// The contrast ratio of two colours by their relative luminance (1 to 21).
double contrastRatio(const QColor &a, const QColor &b);
// The average colour of a part of a picture.
QColor averageColour(const QImage &image, const QRect &area);

// The weakest text over the background: the lowest contrast of any slot whose text the client
// draws straight on it, against any 16 × 16 square of it.
struct WeakestText
{
    double contrast = 0;
    int slot = -1;
};
WeakestText weakestTextOnBackground(const SampleSkin &skin, const QImage &background);

// Writes, for every skin, NAME-back.png, NAME-cursor.png and NAME.json into folder, and
// skins.txt: a line per skin, its name and its export options separated by semicolons (a CMake
// list). Files are replaced only by complete new ones; report is told every skin written.
Result<void> writeSampleSkins(const QString &folder,
                              const std::function<void(const QString &)> &report);
