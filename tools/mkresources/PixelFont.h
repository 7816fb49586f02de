#pragma once

#include <QColor>
#include <QPainter>
#include <QString>

// Two tiny bitmap fonts of our own, for the letters on client badges and menu pictures and for
// the labels of the contact sheet. Drawn as whole-unit rectangles, so they stay sharp at icon
// size; an outline font would blur at 5 pixels.
enum class PixelFont {
    Small, // 3 × 5: digits, capitals and a few signs
    Large, // 5 × 7: digits, capitals and a few signs
};

int glyphWidth(PixelFont font);
int glyphHeight(PixelFont font);
// Width of text with one unit between glyphs.
int textWidth(PixelFont font, const QString &text);
// Draws text with its top-left corner at (x, y), each pixel of a glyph `scale` units square.
// Characters the font lacks are left blank.
void drawPixelText(QPainter &p, PixelFont font, const QString &text, qreal x, qreal y,
                   const QColor &colour, qreal scale = 1.0);
