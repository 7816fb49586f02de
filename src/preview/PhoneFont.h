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

    static PhoneFont fromPoints(const QString &family, int points, bool bold = false,
                                bool italic = false);

    // The absolute height in pixels, the "font height" of the screen layouts.
    int pixelHeight() const { return height < 0 ? -height : height; }
    QFont toQFont() const;

    bool operator==(const PhoneFont &) const = default;
};

// Parses "Family,points[,bold][,italic]".
std::optional<PhoneFont> parsePhoneFont(const QString &spec);
