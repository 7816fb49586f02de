#include "Motifs.h"

#include <QtMath>

namespace motif {

namespace {

constexpr int kPetals = 7;

QPainterPath petalsPath(const QRectF &r)
{
    const QPointF c = r.center();
    const qreal s = r.width();
    QPainterPath petals;
    for (int i = 0; i < kPetals; ++i) {
        QPainterPath petal;
        // Radially elongated; the outer edge touches r.
        petal.addEllipse(QRectF(-s * 0.165, -s * 0.5, s * 0.33, s * 0.40));
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(360.0 * i / kPetals);
        petals = petals.united(t.map(petal));
    }
    return draw::merged(petals);
}

} // namespace

void flower(QPainter &p, const QRectF &r, const QColor &petals)
{
    const QPointF c = r.center();
    const qreal s = r.width();
    const QPainterPath body = petalsPath(r);

    QRadialGradient fill(c, s * 0.55, c - QPointF(s * 0.15, s * 0.2));
    fill.setColorAt(0.0, petals.lighter(165));
    fill.setColorAt(0.55, petals.lighter(105));
    fill.setColorAt(1.0, petals.darker(115));
    const QColor outline = draw::outlineOf(petals);
    p.save();
    p.setPen(QPen(outline, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(body);

    // Faint seams between the petals keep them apart once the flower is small.
    QColor seam = outline;
    seam.setAlphaF(0.55);
    for (int i = 0; i < kPetals; ++i) {
        const qreal a = qDegreesToRadians(360.0 * (i + 0.5) / kPetals - 90.0);
        draw::line(p, c + QPointF(qCos(a), qSin(a)) * s * 0.16,
                   c + QPointF(qCos(a), qSin(a)) * s * 0.33, seam, 0.7);
    }
    p.restore();

    const qreal h = s * 0.17;
    draw::shape(p, draw::ellipsePath(QRectF(c.x() - h, c.y() - h, 2 * h, 2 * h)), pal::yellow,
                QColor(0xb0, 0x6a, 0x00));
}

void ghostFlower(QPainter &p, const QRectF &r, const QColor &outline)
{
    const QPointF c = r.center();
    const qreal s = r.width();
    QColor fill = outline;
    fill.setAlphaF(0.22);
    p.save();
    p.setPen(QPen(outline, 1.0));
    p.setBrush(fill);
    p.drawPath(petalsPath(r));
    const qreal h = s * 0.17;
    p.setBrush(QColor(255, 255, 255, 160));
    p.drawEllipse(QRectF(c.x() - h, c.y() - h, 2 * h, 2 * h));
    p.restore();
}

QColor faceInk(const QColor &base)
{
    return draw::outlineOf(base).darker(140);
}

void faceBall(QPainter &p, const QRectF &r, const QColor &base)
{
    QRadialGradient fill(r.center(), r.width() * 0.62,
                         r.topLeft() + QPointF(r.width() * 0.34, r.height() * 0.28));
    fill.setColorAt(0.0, base.lighter(145));
    fill.setColorAt(0.5, base);
    fill.setColorAt(1.0, base.darker(125));
    p.save();
    p.setPen(QPen(draw::outlineOf(base), 1.0));
    p.setBrush(fill);
    p.drawEllipse(r);
    p.restore();
}

void dotEyes(QPainter &p, const QRectF &r, const QColor &ink)
{
    const qreal w = r.width() / 15.0;
    const qreal ey = r.top() + r.height() * 0.27;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QRectF(r.left() + 3.9 * w, ey, 2.0 * w, 3.2 * w));
    p.drawEllipse(QRectF(r.left() + 9.1 * w, ey, 2.0 * w, 3.2 * w));
    p.restore();
}

void mouth(QPainter &p, const QRectF &r, qreal bend, const QColor &ink, qreal width)
{
    QPainterPath path;
    const qreal midY = r.center().y();
    path.moveTo(r.left(), midY - bend / 2);
    path.quadTo(r.center().x(), midY + bend * 1.5, r.right(), midY - bend / 2);
    draw::stroke(p, path, ink, width);
}

void envelope(QPainter &p, const QRectF &r, const QColor &paper)
{
    const QColor edge(0x6d, 0x7a, 0x8e);
    draw::shape(p, draw::roundRectPath(r, 1.0), paper, edge);
    draw::polyline(p,
                   QPolygonF{r.topLeft() + QPointF(0.8, 0.8),
                             QPointF(r.center().x(), r.top() + r.height() * 0.62),
                             r.topRight() + QPointF(-0.8, 0.8)},
                   edge, 1.0);
}

void person(QPainter &p, const QRectF &r, const QColor &shirt)
{
    const qreal w = r.width(), h = r.height();
    QPainterPath body;
    const QRectF shoulders(r.left(), r.top() + h * 0.55, w, h * 0.9);
    body.moveTo(shoulders.left(), r.bottom());
    body.lineTo(shoulders.left(), shoulders.top() + h * 0.22);
    body.quadTo(shoulders.left(), shoulders.top(), shoulders.left() + w * 0.3, shoulders.top());
    body.lineTo(shoulders.right() - w * 0.3, shoulders.top());
    body.quadTo(shoulders.right(), shoulders.top(), shoulders.right(), shoulders.top() + h * 0.22);
    body.lineTo(shoulders.right(), r.bottom());
    body.closeSubpath();
    draw::shape(p, body, shirt);
    const qreal head = w * 0.52;
    draw::ellipse(p, QRectF(r.center().x() - head / 2, r.top(), head, head * 1.05), pal::tan);
}

void folder(QPainter &p, const QRectF &r, const QColor &base)
{
    QPainterPath back;
    back.moveTo(r.left(), r.bottom());
    back.lineTo(r.left(), r.top() + 1);
    back.lineTo(r.left() + r.width() * 0.38, r.top() + 1);
    back.lineTo(r.left() + r.width() * 0.48, r.top() + 2.5);
    back.lineTo(r.right(), r.top() + 2.5);
    back.lineTo(r.right(), r.bottom());
    back.closeSubpath();
    draw::shape(p, back, base.darker(118));
    QPainterPath front;
    front.moveTo(r.left(), r.bottom());
    front.lineTo(r.left() + 1.0, r.top() + 4.5);
    front.lineTo(r.right() + 0.5, r.top() + 4.5);
    front.lineTo(r.right(), r.bottom());
    front.closeSubpath();
    draw::shape(p, front, base, draw::outlineOf(base.darker(118)));
}

void page(QPainter &p, const QRectF &r, bool withLines)
{
    const QColor edge(0x70, 0x78, 0x88);
    const qreal fold = qMin(r.width(), r.height()) * 0.32;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    draw::shape(p, sheet, pal::white, edge);
    draw::polyline(p,
                   QPolygonF{QPointF(r.right() - fold, r.top()),
                             QPointF(r.right() - fold, r.top() + fold),
                             QPointF(r.right(), r.top() + fold)},
                   edge, 0.8);
    if (withLines) {
        const QColor ink(0x8f, 0xa4, 0xc4);
        for (qreal y = r.top() + fold + 1.5; y < r.bottom() - 1; y += 2.0)
            draw::line(p, QPointF(r.left() + 2, y), QPointF(r.right() - 2, y), ink, 0.9);
    }
}

void gear(QPainter &p, QPointF c, qreal outer, qreal inner, int teeth, const QColor &base)
{
    QPolygonF points;
    const qreal step = 360.0 / teeth;
    for (int i = 0; i < teeth; ++i) {
        const qreal a0 = i * step;
        const qreal angles[4] = {a0 - step * 0.30, a0 - step * 0.16, a0 + step * 0.16,
                                 a0 + step * 0.30};
        const qreal radii[4] = {inner, outer, outer, inner};
        for (int k = 0; k < 4; ++k) {
            const qreal a = qDegreesToRadians(angles[k]);
            points << c + QPointF(qCos(a), qSin(a)) * radii[k];
        }
    }
    QPainterPath wheel = draw::polygonPath(points);
    const qreal hole = inner * 0.42;
    wheel.addEllipse(c, hole, hole);
    wheel.setFillRule(Qt::OddEvenFill);
    draw::shape(p, wheel, base);
}

void magnifier(QPainter &p, const QRectF &r)
{
    const qreal lens = r.width() * 0.62;
    const QRectF glass(r.left(), r.top(), lens, lens);
    const QPointF handleFrom = glass.center() + QPointF(lens, lens) * 0.36;
    draw::line(p, handleFrom, r.bottomRight() - QPointF(1.2, 1.2), QColor(0x4a, 0x2e, 0x14), 3.2);
    draw::line(p, handleFrom, r.bottomRight() - QPointF(1.2, 1.2), QColor(0x9a, 0x5c, 0x26), 1.6);
    QRadialGradient fill(glass.center(), lens * 0.5,
                         glass.topLeft() + QPointF(lens * 0.35, lens * 0.3));
    fill.setColorAt(0.0, QColor(0xff, 0xff, 0xff, 240));
    fill.setColorAt(1.0, QColor(0xa6, 0xd8, 0xf6, 220));
    p.save();
    p.setPen(QPen(QColor(0x3c, 0x48, 0x58), 1.6));
    p.setBrush(fill);
    p.drawEllipse(glass.adjusted(0.8, 0.8, -0.8, -0.8));
    p.restore();
}

QPainterPath bubblePath(const QRectF &body, bool tailLeft)
{
    QPainterPath bubble = draw::roundRectPath(body, qMin(body.height(), body.width()) * 0.4);
    QPainterPath tail;
    const qreal x =
        tailLeft ? body.left() + body.width() * 0.22 : body.right() - body.width() * 0.22;
    const qreal dir = tailLeft ? -1.0 : 1.0;
    tail.moveTo(x - 1.5 * dir, body.bottom() - 1.0);
    tail.lineTo(x - 2.2 * dir, body.bottom() + 3.0);
    tail.lineTo(x + 2.2 * dir, body.bottom() - 1.0);
    tail.closeSubpath();
    return draw::merged(bubble.united(tail));
}

void padlock(QPainter &p, const QRectF &r, const QColor &body, bool open)
{
    const qreal w = r.width();
    const QRectF shackle(r.left() + w * 0.2, r.top(), w * 0.6, r.height() * 0.7);
    QPainterPath loop;
    loop.moveTo(shackle.left(), shackle.center().y() + (open ? -1.5 : 0));
    loop.arcTo(shackle, 180, -180);
    loop.lineTo(shackle.right(), shackle.center().y() + 2);
    draw::stroke(p, loop, QColor(0x4e, 0x56, 0x62), 2.4);
    draw::stroke(p, loop, QColor(0xc4, 0xcc, 0xd6), 1.0);
    const QRectF box(r.left(), r.top() + r.height() * 0.45, w, r.height() * 0.55);
    draw::roundRect(p, box, 1.2, body);
    const QPointF hole = box.center() - QPointF(0, 0.6);
    const QColor ink = draw::outlineOf(body).darker(150);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(hole, 1.0, 1.0);
    p.drawRect(QRectF(hole.x() - 0.5, hole.y(), 1.0, 2.2));
    p.restore();
}

void key(QPainter &p, const QRectF &r, const QColor &base)
{
    p.save();
    p.translate(r.center());
    p.rotate(-45);
    const qreal s = r.width() * 1.2;
    QPainterPath shape;
    shape.addEllipse(QRectF(-s / 2, -s * 0.17, s * 0.34, s * 0.34));
    shape.addRect(QRectF(-s / 2 + s * 0.30, -s * 0.055, s * 0.68, s * 0.11));
    shape.addRect(QRectF(s * 0.28, 0, s * 0.08, s * 0.16));
    shape.addRect(QRectF(s * 0.40, 0, s * 0.08, s * 0.13));
    QPainterPath solid = draw::merged(shape);
    QPainterPath hole;
    hole.addEllipse(QPointF(-s / 2 + s * 0.12, 0), s * 0.06, s * 0.06);
    solid = solid.subtracted(hole);
    draw::shape(p, solid, base);
    p.restore();
}

void eye(QPainter &p, const QRectF &r, const QColor &iris, bool open)
{
    const QPointF c = r.center();
    const qreal w = r.width(), h = r.height();
    QPainterPath almond;
    almond.moveTo(r.left(), c.y());
    almond.quadTo(c.x(), c.y() - h, r.right(), c.y());
    almond.quadTo(c.x(), c.y() + h, r.left(), c.y());
    almond.closeSubpath();
    const QColor ink(0x2c, 0x34, 0x44);
    draw::shape(p, almond, pal::white, ink);
    p.save();
    p.setClipPath(almond);
    const qreal ir = h * 0.42;
    draw::ellipse(p, QRectF(c.x() - ir, c.y() - ir, 2 * ir, 2 * ir), iris);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(c, ir * 0.42, ir * 0.42);
    p.restore();
    if (!open) {
        // Struck through: the eye that does not see.
        const QPointF from(r.left() + w * 0.12, r.bottom() + h * 0.1);
        const QPointF to(r.right() - w * 0.12, r.top() - h * 0.1);
        draw::line(p, from, to, ink, 3.0);
        draw::line(p, from, to, pal::red, 1.4);
    }
}

void arrow(QPainter &p, QPointF from, QPointF to, qreal shaft, qreal head, const QColor &base)
{
    const QLineF axis(from, to);
    const qreal length = axis.length();
    const qreal headLength = head * 0.9;
    p.save();
    p.translate(from);
    p.rotate(-axis.angle());
    QPolygonF shape{QPointF(0, -shaft / 2),
                    QPointF(length - headLength, -shaft / 2),
                    QPointF(length - headLength, -head / 2),
                    QPointF(length, 0),
                    QPointF(length - headLength, head / 2),
                    QPointF(length - headLength, shaft / 2),
                    QPointF(0, shaft / 2)};
    QPainterPath path = draw::polygonPath(shape);
    p.setPen(QPen(draw::outlineOf(base), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient fill(QPointF(0, -head / 2), QPointF(0, head / 2));
    fill.setColorAt(0.0, base.lighter(140));
    fill.setColorAt(1.0, base.darker(110));
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

void badge(QPainter &p, QPointF c, qreal d, const QColor &base)
{
    draw::ellipse(p, QRectF(c.x() - d / 2, c.y() - d / 2, d, d), base);
}

void plusBadge(QPainter &p, QPointF c, qreal d)
{
    badge(p, c, d, pal::green);
    const qreal a = d * 0.27;
    draw::line(p, c - QPointF(a, 0), c + QPointF(a, 0), pal::white, 1.5);
    draw::line(p, c - QPointF(0, a), c + QPointF(0, a), pal::white, 1.5);
}

void minusBadge(QPainter &p, QPointF c, qreal d)
{
    badge(p, c, d, pal::red);
    const qreal a = d * 0.27;
    draw::line(p, c - QPointF(a, 0), c + QPointF(a, 0), pal::white, 1.5);
}

void crossBadge(QPainter &p, QPointF c, qreal d)
{
    badge(p, c, d, pal::red);
    const qreal a = d * 0.2;
    draw::line(p, c - QPointF(a, a), c + QPointF(a, a), pal::white, 1.4);
    draw::line(p, c - QPointF(a, -a), c + QPointF(a, -a), pal::white, 1.4);
}

void checkBadge(QPainter &p, QPointF c, qreal d)
{
    badge(p, c, d, pal::green);
    const qreal a = d * 0.22;
    draw::polyline(p,
                   QPolygonF{c + QPointF(-a * 1.1, 0), c + QPointF(-a * 0.2, a * 0.9),
                             c + QPointF(a * 1.2, -a * 0.9)},
                   pal::white, 1.4);
}

void coffeeCup(QPainter &p)
{
    const QColor edge(0x6a, 0x70, 0x80);
    draw::ellipse(p, QRectF(0.5, 12.5, 15.0, 3.0), pal::white);
    draw::stroke(p, draw::ellipsePath(QRectF(10.6, 7.2, 4.2, 4.0)), edge, 1.4);
    QPainterPath cup;
    cup.moveTo(2.0, 6.0);
    cup.lineTo(12.0, 6.0);
    cup.quadTo(12.0, 13.5, 7.0, 13.5);
    cup.quadTo(2.0, 13.5, 2.0, 6.0);
    cup.closeSubpath();
    draw::shape(p, cup, pal::white, edge);
    draw::flat(p, draw::ellipsePath(QRectF(2.6, 6.0, 8.8, 1.8)), QColor(0x6a, 0x3a, 0x14));
}

void steam(QPainter &p)
{
    const QColor colour(0xa8, 0xb0, 0xbc);
    for (qreal x : {5.0, 8.5}) {
        QPainterPath wisp;
        wisp.moveTo(x, 5.0);
        wisp.cubicTo(x - 1.4, 3.8, x + 1.4, 2.4, x, 0.8);
        draw::stroke(p, wisp, colour, 1.0);
    }
}

} // namespace motif
