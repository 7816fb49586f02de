#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>

#include <functional>

// Every picture of the client's resource set is 16 × 16 pixels: the icon size of a 240 × 320
// phone screen. Pictures are painted in 16-unit coordinates on a canvas four times larger and
// reduced with a box filter, so every edge gets 16 coverage samples and shapes that touch leave
// no seams. Coordinates on whole numbers are pixel edges: a 1-unit pen along x = 3.5 fills
// pixel column 3 exactly.
inline constexpr int kIconSize = 16;

// Paints one icon. The result is ARGB32 with straight (not premultiplied) alpha.
QImage paintIcon(const std::function<void(QPainter &)> &draw);

// The icon's colours with the transparent parts black, ready to be written as a 24-bit picture.
QImage iconPicture(const QImage &icon);
// The icon's coverage as grey: white where the icon is opaque, black where it is absent.
QImage iconMask(const QImage &icon);

// The house palette. The sets share it so that a status flower, a menu picture and a smiley
// look as if they came from one hand.
namespace pal {
inline const QColor green{0x3c, 0xb8, 0x3a};
inline const QColor leaf{0x2f, 0x8f, 0x2b};
inline const QColor red{0xe2, 0x3b, 0x2e};
inline const QColor orange{0xf3, 0x93, 0x1b};
inline const QColor yellow{0xf9, 0xcf, 0x3c};
inline const QColor face{0xff, 0xd5, 0x3a};
inline const QColor blue{0x35, 0x78, 0xd8};
inline const QColor sky{0x62, 0xbd, 0xf2};
inline const QColor navy{0x24, 0x3f, 0x86};
inline const QColor purple{0x8a, 0x55, 0xcc};
inline const QColor pink{0xf2, 0x6f, 0xa8};
inline const QColor brown{0x9a, 0x64, 0x32};
inline const QColor tan{0xe0, 0xb0, 0x74};
inline const QColor grey{0x9a, 0x9e, 0xa6};
inline const QColor steel{0x6b, 0x77, 0x88};
inline const QColor dark{0x33, 0x36, 0x3c};
inline const QColor paper{0xfb, 0xfb, 0xf6};
inline const QColor white{0xff, 0xff, 0xff};
inline const QColor ink{0x2a, 0x1e, 0x10};
} // namespace pal

namespace draw {

// The outline of a shape filled with base: dark enough to hold the shape on light and
// mid-tone backgrounds alike.
QColor outlineOf(const QColor &base);
// A top-lit fill: lighter at the top, the base colour below the middle.
QBrush gloss(const QRectF &bounds, const QColor &base);

// Fills the path with the top-lit fill of base and outlines it with a 1-unit pen.
void shape(QPainter &p, const QPainterPath &path, const QColor &base);
void shape(QPainter &p, const QPainterPath &path, const QColor &base, const QColor &outline);
void ellipse(QPainter &p, const QRectF &r, const QColor &base);
void roundRect(QPainter &p, const QRectF &r, qreal radius, const QColor &base);
void polygon(QPainter &p, const QPolygonF &points, const QColor &base);
// A flat fill without outline.
void flat(QPainter &p, const QPainterPath &path, const QColor &colour);
void flatRect(QPainter &p, const QRectF &r, const QColor &colour);
// A stroke with round caps and joins.
void line(QPainter &p, QPointF a, QPointF b, const QColor &colour, qreal width = 1.0);
void polyline(QPainter &p, const QPolygonF &points, const QColor &colour, qreal width = 1.0);
void arc(QPainter &p, const QRectF &r, qreal startDegrees, qreal spanDegrees, const QColor &colour,
         qreal width = 1.0);
void stroke(QPainter &p, const QPainterPath &path, const QColor &colour, qreal width = 1.0);

// The outline of everything the path covers: overlapping parts are merged, never cut out.
QPainterPath merged(QPainterPath path);
QPainterPath ellipsePath(const QRectF &r);
QPainterPath roundRectPath(const QRectF &r, qreal radius);
QPainterPath polygonPath(const QPolygonF &points);
// A heart whose bounding box is r.
QPainterPath heartPath(const QRectF &r);
// A five-pointed star centred at c.
QPainterPath starPath(QPointF c, qreal outer, qreal inner);

} // namespace draw
