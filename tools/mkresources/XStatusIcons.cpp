#include "IconSets.h"
#include "Motifs.h"
#include "PixelFont.h"

#include <QtMath>

// X-status pictures: what the contact is doing or feeling. The chat window also shows them
// inline, so each has to read on its own at 16 pixels: one object, a strong silhouette.

namespace {

const QRectF kFull(0.5, 0.5, 15.0, 15.0);

void face(QPainter &p, const QColor &base)
{
    motif::faceBall(p, kFull, base);
}

QImage angry()
{
    return paintIcon([](QPainter &p) {
        const QColor base(0xf4, 0x62, 0x36);
        face(p, base);
        const QColor ink = motif::faceInk(base);
        draw::line(p, QPointF(3.6, 4.6), QPointF(6.6, 6.0), ink, 1.2);
        draw::line(p, QPointF(12.4, 4.6), QPointF(9.4, 6.0), ink, 1.2);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QRectF(4.6, 6.4, 1.8, 2.2));
        p.drawEllipse(QRectF(9.6, 6.4, 1.8, 2.2));
        motif::mouth(p, QRectF(5.0, 11.6, 6.0, 1.0), -1.2, ink, 1.2);
    });
}

QImage duck()
{
    return paintIcon([](QPainter &p) {
        QPainterPath body;
        body.moveTo(1.0, 9.0);
        body.quadTo(1.5, 14.5, 8.0, 14.5);
        body.quadTo(14.5, 14.5, 14.8, 9.5);
        body.quadTo(12.0, 11.0, 9.5, 9.0);
        body.quadTo(4.5, 8.0, 1.0, 9.0);
        body.closeSubpath();
        const QColor yellow(0xff, 0xd2, 0x1e);
        QPainterPath head = draw::ellipsePath(QRectF(7.6, 1.6, 6.6, 6.6));
        QPainterPath whole =
            body.united(head).united(draw::roundRectPath(QRectF(8.8, 6.0, 4.6, 4.4), 1.5));
        draw::shape(p, draw::merged(whole), yellow);
        draw::polygon(p, QPolygonF{QPointF(13.6, 4.0), QPointF(15.6, 5.0), QPointF(13.6, 6.4)},
                      pal::orange);
        p.setPen(Qt::NoPen);
        p.setBrush(pal::ink);
        p.drawEllipse(QRectF(11.0, 3.4, 1.4, 1.6));
        draw::arc(p, QRectF(3.0, 8.6, 6.0, 4.0), 200, 140, draw::outlineOf(yellow), 0.9);
    });
}

QImage tired()
{
    return paintIcon([](QPainter &p) {
        face(p, pal::face);
        const QColor ink = motif::faceInk();
        // Heavy lids: eyes as downward arcs half closed.
        draw::line(p, QPointF(3.8, 6.6), QPointF(6.6, 6.6), ink, 1.2);
        draw::line(p, QPointF(9.4, 6.6), QPointF(12.2, 6.6), ink, 1.2);
        draw::line(p, QPointF(4.4, 7.6), QPointF(6.0, 7.6), ink.lighter(150), 0.8);
        draw::line(p, QPointF(10.0, 7.6), QPointF(11.6, 7.6), ink.lighter(150), 0.8);
        draw::ellipse(p, QRectF(6.4, 10.0, 3.2, 3.6), QColor(0x9a, 0x30, 0x20));
    });
}

QImage party()
{
    return paintIcon([](QPainter &p) {
        QPolygonF cone{QPointF(2.0, 15.0), QPointF(8.0, 1.5), QPointF(14.0, 15.0)};
        draw::polygon(p, cone, pal::purple);
        p.save();
        p.setClipPath(draw::polygonPath(cone));
        for (qreal y : {5.0, 9.0, 13.0})
            draw::line(p, QPointF(0, y + 2), QPointF(16, y - 2), pal::yellow, 1.4);
        p.restore();
        draw::stroke(p, draw::polygonPath(cone), draw::outlineOf(pal::purple), 1.0);
        draw::ellipse(p, QRectF(6.3, 0.5, 3.4, 3.4), pal::red);
        const QColor confetti[] = {pal::green, pal::sky, pal::orange, pal::pink};
        const QPointF spots[] = {{1.8, 3.0}, {13.8, 2.5}, {1.5, 8.5}, {14.6, 8.0}};
        for (int i = 0; i < 4; ++i)
            draw::flatRect(p, QRectF(spots[i].x() - 0.8, spots[i].y() - 0.8, 1.6, 1.6),
                           confetti[i]);
    });
}

QImage beer()
{
    return paintIcon([](QPainter &p) {
        const QColor glassEdge(0x7a, 0x55, 0x10);
        draw::stroke(p, draw::roundRectPath(QRectF(10.5, 6.0, 4.5, 6.0), 1.8), glassEdge, 1.6);
        draw::shape(p, draw::roundRectPath(QRectF(2.5, 4.5, 9.0, 11.0), 1.2),
                    QColor(0xf5, 0xa6, 0x1a), glassEdge);
        draw::line(p, QPointF(5.0, 8.0), QPointF(5.0, 13.5), QColor(0xff, 0xd8, 0x80), 1.0);
        QPainterPath foam;
        foam.addEllipse(QRectF(1.8, 1.8, 4.2, 4.2));
        foam.addEllipse(QRectF(4.8, 0.8, 4.6, 4.6));
        foam.addEllipse(QRectF(8.0, 1.8, 4.2, 4.2));
        foam.addRect(QRectF(2.5, 3.6, 9.0, 2.6));
        draw::shape(p, draw::merged(foam), pal::white, QColor(0xa0, 0x8c, 0x60));
    });
}

QImage thinking()
{
    return paintIcon([](QPainter &p) {
        QPainterPath cloud;
        cloud.addEllipse(QRectF(1.5, 2.5, 6.0, 6.0));
        cloud.addEllipse(QRectF(4.5, 0.5, 7.0, 6.5));
        cloud.addEllipse(QRectF(9.0, 2.0, 6.5, 6.5));
        cloud.addRoundedRect(QRectF(1.5, 4.5, 14.0, 6.0), 3.0, 3.0);
        const QColor edge(0x5a, 0x6a, 0x86);
        draw::shape(p, draw::merged(cloud), pal::white, edge);
        draw::ellipse(p, QRectF(3.0, 11.2, 2.8, 2.6), pal::white);
        draw::ellipse(p, QRectF(0.7, 13.8, 1.8, 1.8), pal::white);
        p.setPen(Qt::NoPen);
        p.setBrush(pal::blue);
        for (qreal x : {5.0, 8.5, 12.0})
            p.drawEllipse(QPointF(x, 6.3), 1.1, 1.1);
    });
}

QImage eating()
{
    return paintIcon([](QPainter &p) {
        draw::ellipse(p, QRectF(3.0, 2.5, 11.0, 11.0), pal::white);
        draw::stroke(p, draw::ellipsePath(QRectF(5.3, 4.8, 6.4, 6.4)), pal::grey, 0.8);
        const QColor metal(0x60, 0x68, 0x74);
        // Fork on the left, knife on the right.
        draw::line(p, QPointF(1.3, 1.0), QPointF(1.3, 15.0), metal, 1.0);
        draw::line(p, QPointF(0.6, 1.0), QPointF(0.6, 4.5), metal, 0.6);
        draw::line(p, QPointF(2.0, 1.0), QPointF(2.0, 4.5), metal, 0.6);
        draw::shape(p, draw::roundRectPath(QRectF(14.2, 1.0, 1.5, 7.0), 0.7), pal::grey, metal);
        draw::line(p, QPointF(14.9, 8.0), QPointF(14.9, 15.0), metal, 1.0);
    });
}

QImage tv()
{
    return paintIcon([](QPainter &p) {
        const QColor ink(0x30, 0x30, 0x38);
        draw::line(p, QPointF(8.0, 4.0), QPointF(4.5, 0.8), ink, 0.9);
        draw::line(p, QPointF(8.0, 4.0), QPointF(11.5, 0.8), ink, 0.9);
        draw::roundRect(p, QRectF(0.5, 3.5, 15.0, 10.5), 1.8, QColor(0x5a, 0x5e, 0x6a));
        QLinearGradient screen(QPointF(0, 5), QPointF(0, 12));
        screen.setColorAt(0, QColor(0x9a, 0xd8, 0xff));
        screen.setColorAt(1, QColor(0x2a, 0x6a, 0xc0));
        p.fillPath(draw::roundRectPath(QRectF(2.0, 5.0, 10.0, 7.5), 1.0), screen);
        draw::flatRect(p, QRectF(13.0, 6.0, 1.4, 1.4), pal::red);
        draw::flatRect(p, QRectF(13.0, 8.6, 1.4, 1.4), pal::grey);
        draw::line(p, QPointF(3.5, 15.2), QPointF(12.5, 15.2), ink, 1.0);
    });
}

QImage friends()
{
    return paintIcon([](QPainter &p) {
        motif::person(p, QRectF(6.0, 1.0, 9.5, 13.5), pal::green);
        motif::person(p, QRectF(0.5, 3.0, 9.5, 12.5), pal::blue);
    });
}

QImage coffee()
{
    return paintIcon([](QPainter &p) {
        motif::steam(p);
        motif::coffeeCup(p);
    });
}

QImage music()
{
    return paintIcon([](QPainter &p) {
        const QColor ink(0x3a, 0x2a, 0x7a);
        QPainterPath notes;
        notes.addEllipse(QRectF(1.0, 10.5, 5.0, 4.0));
        notes.addEllipse(QRectF(9.0, 9.0, 5.0, 4.0));
        notes.addRect(QRectF(4.6, 2.5, 1.4, 10.0));
        notes.addRect(QRectF(12.6, 1.0, 1.4, 10.0));
        notes.addPolygon(QPolygonF{QPointF(4.6, 2.5), QPointF(14.0, 1.0), QPointF(14.0, 4.0),
                                   QPointF(4.6, 5.5)});
        draw::shape(p, draw::merged(notes), QColor(0x70, 0x50, 0xd8), ink);
    });
}

QImage briefcase()
{
    return paintIcon([](QPainter &p) {
        const QColor base(0x9a, 0x5e, 0x28);
        draw::stroke(p, draw::roundRectPath(QRectF(5.0, 1.5, 6.0, 4.0), 1.2), draw::outlineOf(base),
                     1.6);
        draw::roundRect(p, QRectF(0.5, 4.5, 15.0, 10.5), 1.6, base);
        draw::line(p, QPointF(1.0, 9.0), QPointF(15.0, 9.0), draw::outlineOf(base), 0.9);
        draw::roundRect(p, QRectF(6.5, 7.5, 3.0, 3.0), 0.6, pal::yellow);
    });
}

QImage camera()
{
    return paintIcon([](QPainter &p) {
        const QColor body(0x50, 0x55, 0x60);
        draw::roundRect(p, QRectF(4.5, 2.5, 6.0, 3.0), 0.8, body);
        draw::roundRect(p, QRectF(0.5, 4.5, 15.0, 10.0), 1.8, body);
        draw::ellipse(p, QRectF(4.0, 5.8, 8.0, 8.0), QColor(0xc8, 0xcc, 0xd4));
        QRadialGradient lens(QPointF(8, 9.8), 2.8, QPointF(7.2, 9.0));
        lens.setColorAt(0, QColor(0x8a, 0xc8, 0xff));
        lens.setColorAt(1, QColor(0x10, 0x28, 0x50));
        p.setPen(Qt::NoPen);
        p.setBrush(lens);
        p.drawEllipse(QPointF(8, 9.8), 2.6, 2.6);
        draw::flatRect(p, QRectF(12.0, 6.0, 2.0, 1.4), QColor(0xff, 0xf4, 0xa0));
    });
}

QImage funny()
{
    return paintIcon([](QPainter &p) {
        face(p, pal::face);
        const QColor ink = motif::faceInk();
        draw::polyline(p, QPolygonF{QPointF(3.8, 7.0), QPointF(5.3, 5.2), QPointF(6.8, 7.0)}, ink,
                       1.1);
        draw::polyline(p, QPolygonF{QPointF(9.2, 7.0), QPointF(10.7, 5.2), QPointF(12.2, 7.0)}, ink,
                       1.1);
        QPainterPath grin;
        grin.moveTo(3.5, 9.0);
        grin.lineTo(12.5, 9.0);
        grin.quadTo(12.3, 13.8, 8.0, 13.8);
        grin.quadTo(3.7, 13.8, 3.5, 9.0);
        grin.closeSubpath();
        draw::shape(p, grin, QColor(0x9a, 0x24, 0x1c), ink);
        draw::flat(p, draw::roundRectPath(QRectF(4.4, 9.4, 7.2, 1.6), 0.6), pal::white);
    });
}

QImage phone()
{
    return paintIcon([](QPainter &p) {
        const QColor base(0xd8, 0x34, 0x2c);
        QPainterPath body;
        body.moveTo(2.0, 15.0);
        body.lineTo(3.8, 8.0);
        body.lineTo(12.2, 8.0);
        body.lineTo(14.0, 15.0);
        body.closeSubpath();
        draw::shape(p, body, base);
        draw::ellipse(p, QRectF(5.5, 9.0, 5.0, 5.0), pal::white);
        draw::ellipse(p, QRectF(7.0, 10.5, 2.0, 2.0), base);
        QPainterPath handset;
        handset.moveTo(0.8, 6.0);
        handset.quadTo(0.8, 2.0, 8.0, 2.0);
        handset.quadTo(15.2, 2.0, 15.2, 6.0);
        handset.lineTo(12.0, 6.5);
        handset.lineTo(11.4, 4.6);
        handset.quadTo(8.0, 4.0, 4.6, 4.6);
        handset.lineTo(4.0, 6.5);
        handset.closeSubpath();
        draw::shape(p, handset, base);
    });
}

QImage games()
{
    return paintIcon([](QPainter &p) {
        QPainterPath pad;
        pad.moveTo(3.5, 4.5);
        pad.lineTo(12.5, 4.5);
        pad.quadTo(15.5, 4.5, 15.5, 9.5);
        pad.quadTo(15.5, 13.5, 13.0, 13.0);
        pad.quadTo(11.5, 12.5, 10.5, 11.0);
        pad.lineTo(5.5, 11.0);
        pad.quadTo(4.5, 12.5, 3.0, 13.0);
        pad.quadTo(0.5, 13.5, 0.5, 9.5);
        pad.quadTo(0.5, 4.5, 3.5, 4.5);
        pad.closeSubpath();
        draw::shape(p, pad, QColor(0x5c, 0x62, 0x70));
        draw::flatRect(p, QRectF(2.4, 7.2, 4.2, 1.4), pal::white);
        draw::flatRect(p, QRectF(3.8, 5.8, 1.4, 4.2), pal::white);
        p.setPen(Qt::NoPen);
        p.setBrush(pal::red);
        p.drawEllipse(QPointF(12.2, 6.9), 1.0, 1.0);
        p.setBrush(pal::green);
        p.drawEllipse(QPointF(10.4, 8.7), 1.0, 1.0);
        p.setBrush(pal::yellow);
        p.drawEllipse(QPointF(13.0, 9.4), 1.0, 1.0);
    });
}

QImage college()
{
    return paintIcon([](QPainter &p) {
        const QColor cap(0x2c, 0x34, 0x58);
        QPainterPath base;
        base.moveTo(4.0, 7.0);
        base.lineTo(4.0, 11.0);
        base.quadTo(8.0, 13.5, 12.0, 11.0);
        base.lineTo(12.0, 7.0);
        base.closeSubpath();
        draw::shape(p, base, cap);
        draw::polygon(
            p,
            QPolygonF{QPointF(0.5, 6.0), QPointF(8.0, 2.5), QPointF(15.5, 6.0), QPointF(8.0, 9.5)},
            cap.lighter(130));
        draw::line(p, QPointF(8.0, 6.0), QPointF(13.6, 7.6), pal::yellow, 0.9);
        draw::line(p, QPointF(13.6, 7.6), QPointF(13.6, 12.0), pal::yellow, 0.9);
        draw::ellipse(p, QRectF(12.6, 11.6, 2.0, 3.0), pal::yellow);
    });
}

QImage shopping()
{
    return paintIcon([](QPainter &p) {
        const QColor bag(0xf0, 0x5c, 0x8c);
        draw::stroke(p, draw::roundRectPath(QRectF(4.8, 1.2, 6.4, 8.0), 3.0), draw::outlineOf(bag),
                     1.3);
        QPainterPath body;
        body.moveTo(2.5, 5.0);
        body.lineTo(13.5, 5.0);
        body.lineTo(15.0, 15.0);
        body.lineTo(1.0, 15.0);
        body.closeSubpath();
        draw::shape(p, body, bag);
        p.setPen(Qt::NoPen);
        p.setBrush(draw::outlineOf(bag));
        p.drawEllipse(QPointF(5.0, 7.4), 0.8, 0.8);
        p.drawEllipse(QPointF(11.0, 7.4), 0.8, 0.8);
        draw::flat(p, draw::starPath(QPointF(8.0, 11.2), 2.8, 1.2), pal::white);
    });
}

QImage sick()
{
    return paintIcon([](QPainter &p) {
        const QColor base(0xb8, 0xd8, 0x6a);
        face(p, base);
        const QColor ink = motif::faceInk(base);
        draw::line(p, QPointF(3.8, 6.4), QPointF(6.6, 6.4), ink, 1.2);
        draw::line(p, QPointF(9.4, 6.4), QPointF(12.2, 6.4), ink, 1.2);
        motif::mouth(p, QRectF(4.5, 11.2, 4.5, 1.0), -0.6, ink, 1.1);
        // Thermometer out of the mouth corner.
        draw::line(p, QPointF(8.0, 11.0), QPointF(15.0, 8.0), QColor(0x70, 0x78, 0x88), 2.0);
        draw::line(p, QPointF(8.2, 10.9), QPointF(14.8, 8.1), pal::white, 0.9);
        draw::ellipse(p, QRectF(6.6, 10.0, 2.4, 2.4), pal::red);
    });
}

QImage sleeping()
{
    return paintIcon([](QPainter &p) {
        QPainterPath moon = draw::ellipsePath(QRectF(0.8, 2.8, 12.4, 12.4));
        moon = moon.subtracted(draw::ellipsePath(QRectF(4.5, 0.8, 11.0, 11.0)));
        draw::shape(p, moon, pal::yellow, QColor(0xa0, 0x70, 0x00));
        drawPixelText(p, PixelFont::Small, QStringLiteral("Z"), 12.0, 0.5, pal::blue);
        drawPixelText(p, PixelFont::Small, QStringLiteral("Z"), 8.5, 4.5, pal::blue);
    });
}

QImage surfing()
{
    return paintIcon([](QPainter &p) {
        QPainterPath wave;
        wave.moveTo(0.5, 15.5);
        wave.lineTo(0.5, 10.0);
        wave.cubicTo(2.0, 3.0, 10.0, 0.5, 14.5, 4.0);
        wave.cubicTo(11.0, 3.0, 8.5, 6.0, 11.0, 8.5);
        wave.cubicTo(12.5, 10.0, 14.5, 9.0, 15.5, 8.0);
        wave.lineTo(15.5, 15.5);
        wave.closeSubpath();
        draw::shape(p, wave, QColor(0x2c, 0x8c, 0xe0));
        QPainterPath crest;
        crest.moveTo(2.5, 9.0);
        crest.cubicTo(4.0, 4.5, 9.0, 2.6, 12.5, 3.6);
        draw::stroke(p, crest, pal::white, 1.0);
    });
}

QImage earth()
{
    return paintIcon([](QPainter &p) {
        draw::ellipse(p, kFull, QColor(0x3a, 0x8c, 0xe0));
        p.save();
        p.setClipPath(draw::ellipsePath(kFull.adjusted(0.5, 0.5, -0.5, -0.5)));
        QPainterPath land;
        const struct
        {
            qreal x, y, r;
        } blobs[] = {{3.2, 4.0, 2.6},  {5.6, 6.8, 2.0},   {5.8, 10.6, 1.7}, {11.2, 3.6, 2.0},
                     {12.6, 6.8, 2.3}, {10.6, 11.8, 1.9}, {14.6, 11.0, 1.2}};
        for (const auto &blob : blobs)
            land.addEllipse(QPointF(blob.x, blob.y), blob.r, blob.r);
        land = draw::merged(land);
        draw::shape(p, land, QColor(0x5c, 0xc0, 0x48));
        p.restore();
        draw::stroke(p, draw::ellipsePath(kFull), draw::outlineOf(QColor(0x3a, 0x8c, 0xe0)), 1.0);
    });
}

QImage engineering()
{
    return paintIcon([](QPainter &p) {
        motif::gear(p, QPointF(6.5, 6.5), 6.0, 4.2, 8, pal::grey);
        // A wrench across the gear.
        p.save();
        p.translate(11.0, 11.0);
        p.rotate(45);
        QPainterPath wrench;
        wrench.addRoundedRect(QRectF(-1.1, -4.0, 2.2, 9.0), 0.8, 0.8);
        QPainterPath jaw = draw::ellipsePath(QRectF(-2.8, -7.6, 5.6, 5.2));
        jaw = jaw.subtracted(draw::roundRectPath(QRectF(-1.0, -8.4, 2.0, 3.6), 0.3));
        draw::shape(p, draw::merged(wrench.united(jaw)), QColor(0xd0, 0x3a, 0x30));
        p.restore();
    });
}

QImage keyboard()
{
    return paintIcon([](QPainter &p) {
        draw::roundRect(p, QRectF(0.5, 4.0, 15.0, 9.0), 1.4, QColor(0xd8, 0xdc, 0xe4));
        const QColor key(0x5a, 0x62, 0x72);
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 6; ++col)
                draw::flatRect(p, QRectF(2.0 + col * 2.1 + row * 0.8, 5.6 + row * 2.2, 1.4, 1.4),
                               key);
        draw::flatRect(p, QRectF(4.0, 10.2, 8.0, 1.4), key);
    });
}

QImage love()
{
    return paintIcon([](QPainter &p) {
        draw::shape(p, draw::heartPath(QRectF(0.8, 1.8, 14.4, 13.0)), QColor(0xe8, 0x22, 0x40));
        draw::flat(p, draw::ellipsePath(QRectF(3.0, 3.8, 3.0, 2.2)), QColor(255, 255, 255, 150));
    });
}

QImage reading()
{
    return paintIcon([](QPainter &p) {
        const QColor cover(0x2c, 0x6a, 0xb8);
        QPainterPath covers;
        covers.moveTo(0.5, 4.0);
        covers.lineTo(8.0, 5.0);
        covers.lineTo(15.5, 4.0);
        covers.lineTo(15.5, 14.0);
        covers.lineTo(8.0, 15.0);
        covers.lineTo(0.5, 14.0);
        covers.closeSubpath();
        draw::shape(p, covers, cover);
        const QColor edge(0x80, 0x88, 0x98);
        QPainterPath left;
        left.moveTo(1.5, 2.0);
        left.quadTo(5.0, 1.5, 8.0, 3.5);
        left.lineTo(8.0, 13.6);
        left.quadTo(5.0, 11.8, 1.5, 12.5);
        left.closeSubpath();
        QPainterPath right;
        right.moveTo(14.5, 2.0);
        right.quadTo(11.0, 1.5, 8.0, 3.5);
        right.lineTo(8.0, 13.6);
        right.quadTo(11.0, 11.8, 14.5, 12.5);
        right.closeSubpath();
        draw::shape(p, left, pal::paper, edge);
        draw::shape(p, right, pal::paper, edge);
        const QColor ink(0x9a, 0xa8, 0xc0);
        for (qreal y : {5.0, 7.0, 9.0}) {
            draw::line(p, QPointF(2.8, y), QPointF(6.6, y + 0.5), ink, 0.8);
            draw::line(p, QPointF(9.4, y + 0.5), QPointF(13.2, y), ink, 0.8);
        }
    });
}

QImage ball()
{
    return paintIcon([](QPainter &p) {
        draw::ellipse(p, kFull, pal::white);
        const QColor ink(0x26, 0x28, 0x30);
        p.save();
        p.setClipPath(draw::ellipsePath(kFull));
        QPolygonF pentagon;
        for (int i = 0; i < 5; ++i) {
            const qreal a = qDegreesToRadians(-90.0 + 72.0 * i);
            pentagon << QPointF(8.0 + 3.0 * qCos(a), 8.3 + 3.0 * qSin(a));
        }
        draw::flat(p, draw::polygonPath(pentagon), ink);
        for (int i = 0; i < 5; ++i) {
            const qreal a = qDegreesToRadians(-90.0 + 72.0 * i);
            const QPointF from(8.0 + 3.0 * qCos(a), 8.3 + 3.0 * qSin(a));
            const QPointF to(8.0 + 7.6 * qCos(a), 8.3 + 7.6 * qSin(a));
            draw::line(p, from, to, ink, 0.9);
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawEllipse(to, 2.0, 2.0);
        }
        p.restore();
        draw::stroke(p, draw::ellipsePath(kFull), ink, 1.0);
    });
}

QImage travel()
{
    return paintIcon([](QPainter &p) {
        p.save();
        p.translate(8, 8);
        p.rotate(-45);
        QPainterPath plane;
        plane.addRoundedRect(QRectF(-7.2, -1.3, 14.4, 2.6), 1.3, 1.3);
        plane.addPolygon(QPolygonF{QPointF(-1.5, -1.0), QPointF(1.8, -1.0), QPointF(-0.8, -7.0),
                                   QPointF(-2.4, -7.0)});
        plane.addPolygon(QPolygonF{QPointF(-1.5, 1.0), QPointF(1.8, 1.0), QPointF(-0.8, 7.0),
                                   QPointF(-2.4, 7.0)});
        plane.addPolygon(QPolygonF{QPointF(-6.6, -0.8), QPointF(-4.8, -0.8), QPointF(-6.0, -3.6),
                                   QPointF(-7.0, -3.6)});
        plane.addPolygon(QPolygonF{QPointF(-6.6, 0.8), QPointF(-4.8, 0.8), QPointF(-6.0, 3.6),
                                   QPointF(-7.0, 3.6)});
        draw::shape(p, draw::merged(plane), QColor(0xe8, 0xee, 0xf6), QColor(0x3c, 0x58, 0x90));
        p.restore();
    });
}

QImage cold()
{
    return paintIcon([](QPainter &p) {
        const QColor ice(0x3c, 0x9c, 0xe8);
        const QPointF c(8, 8);
        for (int i = 0; i < 6; ++i) {
            const qreal a = qDegreesToRadians(90.0 + 60.0 * i);
            const QPointF dir(qCos(a), -qSin(a));
            const QPointF normal(-dir.y(), dir.x());
            draw::line(p, c, c + dir * 7.0, ice, 1.6);
            const QPointF fork = c + dir * 4.2;
            draw::line(p, fork, fork + dir * 1.8 + normal * 1.8, ice, 1.1);
            draw::line(p, fork, fork + dir * 1.8 - normal * 1.8, ice, 1.1);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(pal::white);
        p.drawEllipse(c, 1.0, 1.0);
    });
}

QImage sun()
{
    return paintIcon([](QPainter &p) {
        const QColor ray(0xf5, 0x9a, 0x10);
        for (int i = 0; i < 8; ++i) {
            const qreal a = qDegreesToRadians(45.0 * i);
            const QPointF dir(qCos(a), qSin(a));
            draw::line(p, QPointF(8, 8) + dir * 5.6, QPointF(8, 8) + dir * 7.2, ray, 1.5);
        }
        draw::ellipse(p, QRectF(3.5, 3.5, 9.0, 9.0), QColor(0xff, 0xcc, 0x20));
    });
}

QImage cooking()
{
    return paintIcon([](QPainter &p) {
        const QColor pot(0xd8, 0x40, 0x30);
        draw::line(p, QPointF(0.8, 8.0), QPointF(2.8, 8.0), draw::outlineOf(pot), 1.6);
        draw::line(p, QPointF(13.2, 8.0), QPointF(15.2, 8.0), draw::outlineOf(pot), 1.6);
        draw::roundRect(p, QRectF(2.5, 6.5, 11.0, 8.5), 1.8, pot);
        draw::roundRect(p, QRectF(1.5, 4.5, 13.0, 2.5), 1.0, pal::grey);
        draw::roundRect(p, QRectF(6.5, 2.8, 3.0, 2.0), 0.8, pal::dark);
        const QColor steam(0xa8, 0xb0, 0xbc);
        draw::line(p, QPointF(4.0, 2.8), QPointF(4.6, 0.8), steam, 0.9);
        draw::line(p, QPointF(12.0, 2.8), QPointF(11.4, 0.8), steam, 0.9);
    });
}

QImage tree()
{
    return paintIcon([](QPainter &p) {
        draw::roundRect(p, QRectF(6.5, 9.0, 3.0, 6.5), 0.6, pal::brown);
        QPainterPath crown;
        crown.addEllipse(QRectF(1.0, 3.5, 8.0, 7.5));
        crown.addEllipse(QRectF(7.0, 3.5, 8.0, 7.5));
        crown.addEllipse(QRectF(3.5, 0.5, 9.0, 8.0));
        draw::shape(p, draw::merged(crown), pal::green);
    });
}

QImage paw()
{
    return paintIcon([](QPainter &p) {
        const QColor pad(0x8a, 0x58, 0x30);
        draw::ellipse(p, QRectF(4.0, 7.5, 8.0, 7.0), pad);
        draw::ellipse(p, QRectF(0.5, 4.5, 3.4, 4.2), pad);
        draw::ellipse(p, QRectF(4.0, 1.0, 3.4, 4.4), pad);
        draw::ellipse(p, QRectF(8.6, 1.0, 3.4, 4.4), pad);
        draw::ellipse(p, QRectF(12.1, 4.5, 3.4, 4.2), pad);
    });
}

QImage cake()
{
    return paintIcon([](QPainter &p) {
        draw::roundRect(p, QRectF(1.0, 8.0, 14.0, 7.0), 1.2, QColor(0xf4, 0xa6, 0xc8));
        draw::flatRect(p, QRectF(1.5, 10.6, 13.0, 1.4), pal::white);
        for (qreal x : {4.0, 7.5, 11.0}) {
            draw::roundRect(p, QRectF(x, 3.5, 1.8, 4.5), 0.4, pal::sky);
            draw::flat(p, draw::ellipsePath(QRectF(x + 0.1, 0.6, 1.6, 2.6)), pal::orange);
        }
    });
}

QImage idea()
{
    return paintIcon([](QPainter &p) {
        QRadialGradient glow(QPointF(8, 6.5), 6.0, QPointF(6.8, 4.8));
        glow.setColorAt(0, QColor(0xff, 0xff, 0xd8));
        glow.setColorAt(0.6, QColor(0xff, 0xe4, 0x40));
        glow.setColorAt(1, QColor(0xf4, 0xb8, 0x10));
        QPainterPath bulb;
        bulb.addEllipse(QRectF(2.5, 0.5, 11.0, 10.5));
        bulb.addRect(QRectF(5.5, 8.0, 5.0, 3.5));
        p.save();
        p.setPen(QPen(QColor(0x98, 0x70, 0x00), 1.0));
        p.setBrush(glow);
        p.drawPath(draw::merged(bulb));
        p.restore();
        draw::roundRect(p, QRectF(5.5, 11.0, 5.0, 3.0), 0.6, pal::grey);
        draw::line(p, QPointF(5.8, 12.5), QPointF(10.2, 12.5), pal::steel, 0.7);
        draw::flatRect(p, QRectF(6.8, 14.0, 2.4, 1.2), pal::dark);
    });
}

QImage umbrella()
{
    return paintIcon([](QPainter &p) {
        const QColor canopy(0x8a, 0x4c, 0xd8);
        QPainterPath top;
        top.moveTo(0.5, 8.0);
        top.quadTo(0.8, 1.0, 8.0, 1.0);
        top.quadTo(15.2, 1.0, 15.5, 8.0);
        top.quadTo(13.5, 6.6, 11.8, 8.0);
        top.quadTo(10.0, 6.6, 8.0, 8.0);
        top.quadTo(6.0, 6.6, 4.2, 8.0);
        top.quadTo(2.5, 6.6, 0.5, 8.0);
        top.closeSubpath();
        draw::shape(p, top, canopy);
        QPainterPath handle;
        handle.moveTo(8.0, 7.8);
        handle.lineTo(8.0, 13.5);
        handle.quadTo(8.0, 15.0, 6.5, 15.0);
        handle.quadTo(5.0, 15.0, 5.0, 13.5);
        draw::stroke(p, handle, pal::steel, 1.3);
        const QColor drop(0x4a, 0xa8, 0xf0);
        draw::line(p, QPointF(2.5, 10.0), QPointF(2.0, 12.0), drop, 1.0);
        draw::line(p, QPointF(13.5, 10.0), QPointF(13.0, 12.0), drop, 1.0);
        draw::line(p, QPointF(11.0, 12.0), QPointF(10.5, 14.0), drop, 1.0);
    });
}

QImage cinema()
{
    return paintIcon([](QPainter &p) {
        const QColor ink(0x22, 0x24, 0x2a);
        draw::shape(p, draw::roundRectPath(QRectF(0.5, 6.5, 15.0, 9.0), 1.0),
                    QColor(0x40, 0x44, 0x4e), ink);
        p.save();
        p.translate(0.8, 6.2);
        p.rotate(-18);
        QPainterPath stick = draw::roundRectPath(QRectF(0, -3.4, 15.0, 3.2), 0.6);
        draw::shape(p, stick, QColor(0x40, 0x44, 0x4e), ink);
        p.setClipPath(stick);
        for (qreal x : {1.5, 5.5, 9.5, 13.5})
            draw::flat(p,
                       draw::polygonPath(QPolygonF{QPointF(x, -3.4), QPointF(x + 2.0, -3.4),
                                                   QPointF(x + 0.4, -0.2), QPointF(x - 1.6, -0.2)}),
                       pal::white);
        p.restore();
        p.save();
        p.setClipPath(draw::roundRectPath(QRectF(0.5, 6.5, 15.0, 9.0), 1.0));
        for (qreal x : {2.0, 6.0, 10.0, 14.0})
            draw::flat(p,
                       draw::polygonPath(QPolygonF{QPointF(x, 7.0), QPointF(x + 2.0, 7.0),
                                                   QPointF(x + 0.4, 9.6), QPointF(x - 1.6, 9.6)}),
                       pal::white);
        p.restore();
    });
}

} // namespace

IconList xStatusIcons()
{
    NumberedIcons list(QStringLiteral("ICQ/XStatus.mbm"), 37);
    const struct
    {
        const char *name;
        QImage (*paint)();
    } pictures[] = {
        {"angry", angry},
        {"bath", duck},
        {"tired", tired},
        {"party", party},
        {"beer", beer},
        {"thinking", thinking},
        {"eating", eating},
        {"TV", tv},
        {"friends", friends},
        {"coffee", coffee},
        {"music", music},
        {"business", briefcase},
        {"camera", camera},
        {"funny", funny},
        {"phone", phone},
        {"games", games},
        {"college", college},
        {"shopping", shopping},
        {"sick", sick},
        {"sleeping", sleeping},
        {"surfing", surfing},
        {"internet", earth},
        {"engineering", engineering},
        {"typing", keyboard},
        {"love", love},
        {"reading", reading},
        {"sport", ball},
        {"travel", travel},
        {"cold", cold},
        {"sunny", sun},
        {"cooking", cooking},
        {"nature", tree},
        {"pets", paw},
        {"birthday", cake},
        {"idea", idea},
        {"rain", umbrella},
        {"cinema", cinema},
    };
    int number = 0;
    for (const auto &picture : pictures) {
        list.set(number, QString::fromLatin1(picture.name), picture.paint());
        number += 2;
    }
    return list.take();
}
