#pragma once

#include <QFont>
#include <QString>

// A font as the client's screens describe it: a face name and a height in phone pixels at
// 96 dpi. A negative height is a character height (what a size in points gives), a positive
// one a cell height (ascent + descent), as the Windows font APIs have it.
struct PhoneFont
{
    QString family;
    int height = -11;
    bool bold = false;
    bool italic = false;
    // The font dialog offers these too; the settings file can only keep a plain style, so they
    // must survive here for it to tell.
    bool underline = false;
    bool strikeOut = false;

    static PhoneFont fromPoints(const QString &family, int points, bool bold = false,
                                bool italic = false);

    // The absolute height in pixels, the "font height" of the screen layouts.
    int pixelHeight() const { return height < 0 ? -height : height; }
    QFont toQFont() const;
    // The size in points, as the font dialog and the settings file speak of it.
    int points() const;
    // The font the font dialog starts from, in points, with every attribute.
    QFont toDialogFont() const;
    // What the font dialog chose; a size given in pixels is taken as phone pixels.
    static PhoneFont fromDialogFont(const QFont &font);

    bool operator==(const PhoneFont &) const = default;
};

// Parses "Family,points[,bold][,italic]".
std::optional<PhoneFont> parsePhoneFont(const QString &spec);
