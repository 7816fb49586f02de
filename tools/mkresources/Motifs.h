#pragma once

#include "Painting.h"

// Pictures that recur across the icon lists, so that the same thing looks the same wherever the
// client shows it: the status flower, faces, envelopes, people, folders, small signs.
namespace motif {

// The client's status flower: seven round petals about a yellow heart, filling r.
// A white cup of coffee on its saucer, filling the 16 x 16 icon below y = 6, and two wisps of
// steam above it.
void coffeeCup(QPainter &p);
void steam(QPainter &p);

void flower(QPainter &p, const QRectF &r, const QColor &petals);
// A flower drawn as a thin ring of petal outlines only (the invisible statuses).
void ghostFlower(QPainter &p, const QRectF &r, const QColor &outline);

// A round face with a top-left light; features are drawn by the caller.
void faceBall(QPainter &p, const QRectF &r, const QColor &base = pal::face);
QColor faceInk(const QColor &base = pal::face);
// Two upright oval eyes, the usual ones, for a face filling r.
void dotEyes(QPainter &p, const QRectF &r, const QColor &ink);
// A mouth arc: positive bend smiles, negative frowns, 0 is a straight line.
void mouth(QPainter &p, const QRectF &r, qreal bend, const QColor &ink, qreal width = 1.0);

// A closed envelope in r, flap outlined.
void envelope(QPainter &p, const QRectF &r, const QColor &paper = pal::paper);
// A bust: head and shoulders, the shoulders filling the bottom of r.
void person(QPainter &p, const QRectF &r, const QColor &shirt);
// A file folder with a tab.
void folder(QPainter &p, const QRectF &r, const QColor &base = pal::yellow);
// A sheet of paper with a folded corner and text lines.
void page(QPainter &p, const QRectF &r, bool withLines = true);
// A toothed wheel.
void gear(QPainter &p, QPointF c, qreal outer, qreal inner, int teeth, const QColor &base);
// A magnifying glass whose lens sits at the top left of r.
void magnifier(QPainter &p, const QRectF &r);
// A speech bubble with its tail at the bottom left.
QPainterPath bubblePath(const QRectF &body, bool tailLeft = true);
// A padlock.
void padlock(QPainter &p, const QRectF &r, const QColor &body, bool open = false);
// A key lying diagonally across r.
void key(QPainter &p, const QRectF &r, const QColor &base = pal::yellow);
// An eye, open or struck through.
void eye(QPainter &p, const QRectF &r, const QColor &iris, bool open = true);
// A thick arrow from `from` to `to` with a head of the given width.
void arrow(QPainter &p, QPointF from, QPointF to, qreal shaft, qreal head, const QColor &base);

// Small signs in a round badge, centred at c with diameter d: drawn over other pictures.
void badge(QPainter &p, QPointF c, qreal d, const QColor &base);
void plusBadge(QPainter &p, QPointF c, qreal d);
void minusBadge(QPainter &p, QPointF c, qreal d);
void crossBadge(QPainter &p, QPointF c, qreal d);
void checkBadge(QPainter &p, QPointF c, qreal d);

} // namespace motif
