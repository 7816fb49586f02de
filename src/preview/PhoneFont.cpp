#include "preview/PhoneFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>

#include <cmath>

namespace {

// The phone's clock face is seldom installed. The seven-segment face that stands in for it has
// wider digits, and on a 176-pixel screen its clock would run into the status icons beside it:
// the stand-in is drawn condensed, to the proportions of the phone's own digits.
constexpr int kClockStandInStretch = 75;

bool clockFaceInstalled()
{
    // The database lists the faces installed; a fontconfig alias only answers for one.
    static const bool installed =
        QFontDatabase::families().contains(QStringLiteral("Series 60 ZDigi"), Qt::CaseInsensitive);
    return installed;
}

QFont baseFont(const PhoneFont &font, int pixelSize)
{
    QFont q(font.family);
    q.setPixelSize(pixelSize);
    q.setBold(font.bold);
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    q.setStrikeOut(font.strikeOut);
    return q;
}

// The largest pixel size whose ascent + descent fits the cell; searching is cheap but screens
// ask for the same fonts on every render, so results are remembered.
int pixelSizeForCell(const PhoneFont &font)
{
    static QHash<QString, int> cache;
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(font.family)
                            .arg(font.height)
                            .arg(font.bold)
                            .arg(font.italic);
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    int size = font.height;
    while (size > 1) {
        const QFontMetrics metrics(baseFont(font, size));
        if (metrics.ascent() + metrics.descent() <= font.height)
            break;
        --size;
    }
    cache.insert(key, size);
    return size;
}

// The clock's stand-in condensed. Its size stays the one the cell rule gives the face asked for;
// the face is then named itself, since Qt condenses only a face it looked up by its own name.
QFont condensedClock(QFont font)
{
    font.setFamily(QFontInfo(font).family());
    font.setStretch(kClockStandInStretch);
    return font;
}

} // namespace

PhoneFont PhoneFont::fromPoints(const QString &family, int points, bool bold, bool italic)
{
    return {family, -int(std::lround(points * 96.0 / 72.0)), bold, italic};
}

QFont PhoneFont::toQFont() const
{
    const QFont q = baseFont(*this, height < 0 ? -height : qMax(1, pixelSizeForCell(*this)));
    return family == u"Series 60 ZDigi" && !clockFaceInstalled() ? condensedClock(q) : q;
}

int PhoneFont::points() const
{
    if (height < 0)
        return int(std::lround(-height * 72.0 / 96.0));
    return int(std::lround(toQFont().pixelSize() * 72.0 / 96.0));
}

QFont PhoneFont::toDialogFont() const
{
    QFont q(family);
    q.setPointSize(qMax(1, points()));
    q.setBold(bold);
    q.setItalic(italic);
    q.setUnderline(underline);
    q.setStrikeOut(strikeOut);
    return q;
}

PhoneFont PhoneFont::fromDialogFont(const QFont &font)
{
    PhoneFont chosen;
    chosen.family = font.family();
    chosen.height = font.pointSizeF() > 0 ? -int(std::lround(font.pointSizeF() * 96.0 / 72.0))
                                          : -qMax(1, font.pixelSize());
    chosen.bold = font.bold();
    chosen.italic = font.italic();
    chosen.underline = font.underline();
    chosen.strikeOut = font.strikeOut();
    return chosen;
}

std::optional<PhoneFont> parsePhoneFont(const QString &spec)
{
    const QStringList parts = spec.split(u',');
    if (parts.size() < 2 || parts[0].trimmed().isEmpty())
        return std::nullopt;
    bool ok = false;
    const int points = parts[1].trimmed().toInt(&ok);
    if (!ok || points < 1 || points > 200)
        return std::nullopt;
    PhoneFont font = PhoneFont::fromPoints(parts[0].trimmed(), points);
    for (const QString &style : parts.mid(2)) {
        if (style.trimmed() == u"bold")
            font.bold = true;
        else if (style.trimmed() == u"italic")
            font.italic = true;
        else
            return std::nullopt;
    }
    return font;
}
