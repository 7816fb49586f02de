#include "IconSets.h"
#include "Motifs.h"
#include "PixelFont.h"

#include <QtMath>

// The smiley set: the usual text faces and a few objects. Codes that contain another code
// (":-)" in "O:-)") still work because the chat takes the code that starts earliest in the text.

namespace {

const QRectF kFace(0.5, 0.5, 15.0, 15.0);

QColor ink(const QColor &base = pal::face)
{
    return motif::faceInk(base);
}

void plainFace(QPainter &p, const QColor &base = pal::face)
{
    motif::faceBall(p, kFace, base);
}

void eyes(QPainter &p, const QColor &base = pal::face)
{
    motif::dotEyes(p, kFace, ink(base));
}

void smileMouth(QPainter &p, const QColor &base = pal::face)
{
    motif::mouth(p, QRectF(4.0, 10.0, 8.0, 1.0), 1.5, ink(base), 1.2);
}

// Eyes shut in a happy arc.
void happyEyes(QPainter &p, const QColor &base = pal::face)
{
    draw::polyline(p, QPolygonF{QPointF(3.8, 7.0), QPointF(5.3, 5.2), QPointF(6.8, 7.0)}, ink(base),
                   1.1);
    draw::polyline(p, QPolygonF{QPointF(9.2, 7.0), QPointF(10.7, 5.2), QPointF(12.2, 7.0)},
                   ink(base), 1.1);
}

void openMouth(QPainter &p, const QRectF &r)
{
    draw::shape(p, draw::ellipsePath(r), QColor(0x9a, 0x24, 0x1c), ink());
}

void grinMouth(QPainter &p)
{
    QPainterPath grin;
    grin.moveTo(3.5, 9.0);
    grin.lineTo(12.5, 9.0);
    grin.quadTo(12.3, 13.8, 8.0, 13.8);
    grin.quadTo(3.7, 13.8, 3.5, 9.0);
    grin.closeSubpath();
    draw::shape(p, grin, QColor(0x9a, 0x24, 0x1c), ink());
    draw::flat(p, draw::roundRectPath(QRectF(4.4, 9.4, 7.2, 1.6), 0.6), pal::white);
}

void tear(QPainter &p, QPointF top, qreal length)
{
    QPainterPath drop;
    drop.moveTo(top);
    drop.quadTo(top + QPointF(1.3, length * 0.7), top + QPointF(0, length));
    drop.quadTo(top + QPointF(-1.3, length * 0.7), top);
    draw::shape(p, drop, QColor(0x5a, 0xb4, 0xf4), QColor(0x22, 0x6a, 0xb8));
}

void hand(QPainter &p, bool up)
{
    p.save();
    if (!up) {
        p.translate(16, 16);
        p.rotate(180);
    }
    const QColor skin = pal::face;
    draw::roundRect(p, QRectF(5.0, 0.8, 3.6, 8.0), 1.8, skin);
    QPainterPath fist = draw::roundRectPath(QRectF(3.0, 6.5, 10.5, 8.8), 2.2);
    draw::shape(p, fist, skin);
    const QColor crease = draw::outlineOf(skin);
    for (qreal y : {9.2, 11.4, 13.4})
        draw::line(p, QPointF(9.2, y), QPointF(13.0, y), crease, 0.8);
    draw::flatRect(p, QRectF(0.8, 7.0, 2.4, 8.0), up ? pal::blue : pal::red);
    p.restore();
}

struct Entry
{
    QStringList codes;
    QString name;
    std::function<void(QPainter &)> paint;
};

QList<Entry> entries()
{
    return {
        {{QStringLiteral(":-)"), QStringLiteral(":)"), QStringLiteral("=)")},
         QStringLiteral("smile"),
         [](QPainter &p) {
             plainFace(p);
             eyes(p);
             smileMouth(p);
         }},
        {{QStringLiteral(";-)"), QStringLiteral(";)")},
         QStringLiteral("wink"),
         [](QPainter &p) {
             plainFace(p);
             p.setPen(Qt::NoPen);
             p.setBrush(ink());
             p.drawEllipse(QRectF(4.4, 4.5, 2.0, 3.2));
             draw::arc(p, QRectF(9.0, 5.0, 3.4, 3.0), 20, 140, ink(), 1.2);
             smileMouth(p);
         }},
        {{QStringLiteral(":-("), QStringLiteral(":(")},
         QStringLiteral("sad"),
         [](QPainter &p) {
             plainFace(p);
             eyes(p);
             motif::mouth(p, QRectF(4.5, 11.8, 7.0, 1.0), -1.3, ink(), 1.2);
         }},
        {{QStringLiteral(":-D"), QStringLiteral(":D")},
         QStringLiteral("grin"),
         [](QPainter &p) {
             plainFace(p);
             eyes(p);
             grinMouth(p);
         }},
        {{QStringLiteral(":-P"), QStringLiteral(":P"), QStringLiteral(":-p"), QStringLiteral(":p")},
         QStringLiteral("tongue"),
         [](QPainter &p) {
             plainFace(p);
             eyes(p);
             draw::shape(p, draw::roundRectPath(QRectF(7.0, 9.8, 4.0, 5.0), 1.8),
                         QColor(0xf0, 0x50, 0x6a));
             draw::line(p, QPointF(4.0, 10.0), QPointF(12.0, 10.0), ink(), 1.2);
         }},
        {{QStringLiteral("8-)"), QStringLiteral("B-)")},
         QStringLiteral("cool"),
         [](QPainter &p) {
             plainFace(p);
             const QColor glass(0x1c, 0x1e, 0x26);
             draw::line(p, QPointF(1.2, 5.4), QPointF(14.8, 5.4), glass, 1.2);
             draw::flat(p, draw::roundRectPath(QRectF(2.6, 4.8, 4.8, 3.6), 1.4), glass);
             draw::flat(p, draw::roundRectPath(QRectF(8.6, 4.8, 4.8, 3.6), 1.4), glass);
             draw::line(p, QPointF(3.6, 5.8), QPointF(5.0, 5.8), QColor(0x90, 0xa0, 0xc0), 0.8);
             draw::line(p, QPointF(9.6, 5.8), QPointF(11.0, 5.8), QColor(0x90, 0xa0, 0xc0), 0.8);
             motif::mouth(p, QRectF(5.0, 10.6, 6.0, 1.0), 0.9, ink(), 1.2);
         }},
        {{QStringLiteral(":-O"), QStringLiteral(":O"), QStringLiteral(":-o"),
          QStringLiteral("=-O")},
         QStringLiteral("surprised"),
         [](QPainter &p) {
             plainFace(p);
             p.setPen(QPen(ink(), 0.8));
             p.setBrush(pal::white);
             p.drawEllipse(QRectF(3.6, 3.8, 3.2, 4.0));
             p.drawEllipse(QRectF(9.2, 3.8, 3.2, 4.0));
             p.setPen(Qt::NoPen);
             p.setBrush(ink());
             p.drawEllipse(QRectF(4.6, 5.0, 1.4, 1.8));
             p.drawEllipse(QRectF(10.2, 5.0, 1.4, 1.8));
             openMouth(p, QRectF(6.0, 9.6, 4.0, 4.4));
         }},
        {{QStringLiteral(":-*"), QStringLiteral(":*")},
         QStringLiteral("kiss"),
         [](QPainter &p) {
             plainFace(p);
             eyes(p);
             QPainterPath lips;
             lips.addEllipse(QRectF(5.8, 9.4, 3.6, 2.4));
             lips.addEllipse(QRectF(5.8, 11.2, 3.6, 2.4));
             draw::shape(p, draw::merged(lips), QColor(0xe8, 0x24, 0x48));
             draw::flat(p, draw::heartPath(QRectF(11.0, 8.8, 4.4, 4.0)), QColor(0xe8, 0x24, 0x48));
         }},
        {{QStringLiteral(":'("), QStringLiteral(":'-(")},
         QStringLiteral("crying"),
         [](QPainter &p) {
             plainFace(p);
             draw::arc(p, QRectF(3.8, 5.2, 3.4, 2.8), 20, 140, ink(), 1.1);
             draw::arc(p, QRectF(8.8, 5.2, 3.4, 2.8), 20, 140, ink(), 1.1);
             motif::mouth(p, QRectF(5.0, 12.0, 6.0, 1.0), -1.2, ink(), 1.2);
             tear(p, QPointF(4.4, 7.4), 5.6);
             tear(p, QPointF(11.6, 7.4), 5.6);
         }},
        {{QStringLiteral(":-/"), QStringLiteral(":-\\")},
         QStringLiteral("confused"),
         [](QPainter &p) {
             plainFace(p);
             eyes(p);
             draw::line(p, QPointF(8.8, 3.2), QPointF(12.0, 2.6), ink(), 1.0);
             draw::line(p, QPointF(4.5, 11.8), QPointF(11.5, 10.0), ink(), 1.2);
         }},
        {{QStringLiteral(">:("), QStringLiteral(">:-("), QStringLiteral(":-@")},
         QStringLiteral("angry"),
         [](QPainter &p) {
             const QColor base(0xf4, 0x62, 0x36);
             plainFace(p, base);
             draw::line(p, QPointF(3.6, 4.6), QPointF(6.6, 6.0), ink(base), 1.2);
             draw::line(p, QPointF(12.4, 4.6), QPointF(9.4, 6.0), ink(base), 1.2);
             p.setPen(Qt::NoPen);
             p.setBrush(ink(base));
             p.drawEllipse(QRectF(4.6, 6.4, 1.8, 2.2));
             p.drawEllipse(QRectF(9.6, 6.4, 1.8, 2.2));
             motif::mouth(p, QRectF(5.0, 11.6, 6.0, 1.0), -1.2, ink(base), 1.2);
         }},
        {{QStringLiteral(":-["), QStringLiteral(":[")},
         QStringLiteral("embarrassed"),
         [](QPainter &p) {
             plainFace(p);
             eyes(p);
             draw::flat(p, draw::ellipsePath(QRectF(1.8, 8.4, 3.4, 2.2)), QColor(0xf4, 0x70, 0x80));
             draw::flat(p, draw::ellipsePath(QRectF(10.8, 8.4, 3.4, 2.2)),
                        QColor(0xf4, 0x70, 0x80));
             motif::mouth(p, QRectF(6.0, 11.0, 4.0, 1.0), 0.6, ink(), 1.1);
         }},
        {{QStringLiteral("O:-)"), QStringLiteral("O:)")},
         QStringLiteral("angel"),
         [](QPainter &p) {
             const QRectF r(1.5, 2.5, 13.0, 13.0);
             motif::faceBall(p, r);
             motif::dotEyes(p, r, ink());
             motif::mouth(p, QRectF(5.0, 11.2, 6.0, 1.0), 1.2, ink(), 1.1);
             draw::stroke(p, draw::ellipsePath(QRectF(3.5, 0.4, 9.0, 3.0)),
                          QColor(0xc0, 0x90, 0x00), 2.0);
             draw::stroke(p, draw::ellipsePath(QRectF(3.5, 0.4, 9.0, 3.0)),
                          QColor(0xff, 0xf0, 0x80), 0.9);
         }},
        {{QStringLiteral(":-X"), QStringLiteral(":X"), QStringLiteral(":-x")},
         QStringLiteral("lips sealed"),
         [](QPainter &p) {
             plainFace(p);
             eyes(p);
             draw::line(p, QPointF(4.0, 11.0), QPointF(12.0, 11.0), ink(), 1.2);
             for (qreal x : {5.5, 8.0, 10.5})
                 draw::line(p, QPointF(x, 9.6), QPointF(x, 12.4), ink(), 0.9);
         }},
        {{QStringLiteral(":-|"), QStringLiteral(":|")},
         QStringLiteral("neutral"),
         [](QPainter &p) {
             plainFace(p);
             eyes(p);
             draw::line(p, QPointF(5.0, 11.0), QPointF(11.0, 11.0), ink(), 1.2);
         }},
        {{QStringLiteral("]:->"), QStringLiteral("}:->")},
         QStringLiteral("devil"),
         [](QPainter &p) {
             const QColor base(0x9a, 0x4c, 0xd0);
             draw::polygon(p, QPolygonF{QPointF(1.0, 0.5), QPointF(2.4, 6.0), QPointF(5.6, 3.0)},
                           base.darker(115));
             draw::polygon(p, QPolygonF{QPointF(15.0, 0.5), QPointF(13.6, 6.0), QPointF(10.4, 3.0)},
                           base.darker(115));
             motif::faceBall(p, QRectF(0.5, 1.5, 15.0, 14.0), base);
             const QColor c = ink(base);
             draw::line(p, QPointF(3.6, 5.0), QPointF(6.6, 6.4), c, 1.1);
             draw::line(p, QPointF(12.4, 5.0), QPointF(9.4, 6.4), c, 1.1);
             p.setPen(Qt::NoPen);
             p.setBrush(pal::yellow);
             p.drawEllipse(QRectF(4.6, 6.8, 1.8, 1.8));
             p.drawEllipse(QRectF(9.6, 6.8, 1.8, 1.8));
             motif::mouth(p, QRectF(4.0, 10.4, 8.0, 1.0), 1.5, c, 1.2);
         }},
        {{QStringLiteral("*ROFL*"), QStringLiteral("*LOL*")},
         QStringLiteral("laughing"),
         [](QPainter &p) {
             p.save();
             p.translate(8, 8);
             p.rotate(-24);
             p.translate(-8, -8);
             plainFace(p);
             happyEyes(p);
             grinMouth(p);
             p.restore();
             tear(p, QPointF(1.4, 7.2), 4.4);
             tear(p, QPointF(13.2, 3.4), 4.4);
         }},
        {{QStringLiteral("*IN LOVE*")},
         QStringLiteral("in love"),
         [](QPainter &p) {
             plainFace(p);
             const QColor red(0xe8, 0x24, 0x48);
             draw::shape(p, draw::heartPath(QRectF(2.8, 4.0, 4.6, 4.2)), red);
             draw::shape(p, draw::heartPath(QRectF(8.6, 4.0, 4.6, 4.2)), red);
             smileMouth(p);
         }},
        {{QStringLiteral("*SLEEP*"), QStringLiteral("|-)")},
         QStringLiteral("sleepy"),
         [](QPainter &p) {
             plainFace(p);
             draw::arc(p, QRectF(3.6, 4.6, 3.6, 3.0), 200, 140, ink(), 1.1);
             draw::arc(p, QRectF(8.8, 4.6, 3.6, 3.0), 200, 140, ink(), 1.1);
             draw::ellipse(p, QRectF(6.6, 10.4, 2.8, 2.4), QColor(0x9a, 0x30, 0x20));
             drawPixelText(p, PixelFont::Small, QStringLiteral("Z"), 12.0, 0.0, pal::blue);
         }},
        {{QStringLiteral("*THUMBS UP*"), QStringLiteral("*YES*")},
         QStringLiteral("thumbs up"),
         [](QPainter &p) {
             hand(p, true);
         }},
        {{QStringLiteral("*THUMBS DOWN*"), QStringLiteral("*NO*")},
         QStringLiteral("thumbs down"),
         [](QPainter &p) {
             hand(p, false);
         }},
        {{QStringLiteral("*HEART*"), QStringLiteral("<3")},
         QStringLiteral("heart"),
         [](QPainter &p) {
             draw::shape(p, draw::heartPath(QRectF(0.8, 1.8, 14.4, 13.0)),
                         QColor(0xe8, 0x22, 0x40));
             draw::flat(p, draw::ellipsePath(QRectF(3.0, 3.8, 3.0, 2.2)),
                        QColor(255, 255, 255, 150));
         }},
        {{QStringLiteral("@}->--"), QStringLiteral("@}-'--")},
         QStringLiteral("rose"),
         [](QPainter &p) {
             draw::line(p, QPointF(8.0, 7.0), QPointF(7.0, 15.5), pal::leaf, 1.3);
             QPainterPath leaf;
             leaf.moveTo(7.6, 11.5);
             leaf.quadTo(10.0, 8.5, 13.0, 10.0);
             leaf.quadTo(10.5, 12.5, 7.6, 11.5);
             draw::shape(p, leaf, pal::green);
             QPainterPath bud;
             bud.moveTo(4.0, 2.5);
             bud.quadTo(6.0, 4.0, 8.0, 1.0);
             bud.quadTo(10.0, 4.0, 12.0, 2.5);
             bud.quadTo(12.5, 8.5, 8.0, 8.5);
             bud.quadTo(3.5, 8.5, 4.0, 2.5);
             bud.closeSubpath();
             draw::shape(p, bud, QColor(0xe0, 0x20, 0x38));
             draw::arc(p, QRectF(6.0, 3.6, 4.0, 3.0), 180, 180, QColor(0x80, 0x08, 0x18), 0.8);
         }},
        {{QStringLiteral("*DRINK*"), QStringLiteral("*BEER*")},
         QStringLiteral("drink"),
         [](QPainter &p) {
             const QColor glassEdge(0x7a, 0x55, 0x10);
             draw::stroke(p, draw::roundRectPath(QRectF(10.5, 6.0, 4.5, 6.0), 1.8), glassEdge, 1.6);
             draw::shape(p, draw::roundRectPath(QRectF(2.5, 4.5, 9.0, 11.0), 1.2),
                         QColor(0xf5, 0xa6, 0x1a), glassEdge);
             QPainterPath foam;
             foam.addEllipse(QRectF(1.8, 1.8, 4.2, 4.2));
             foam.addEllipse(QRectF(4.8, 0.8, 4.6, 4.6));
             foam.addEllipse(QRectF(8.0, 1.8, 4.2, 4.2));
             foam.addRect(QRectF(2.5, 3.6, 9.0, 2.6));
             draw::shape(p, draw::merged(foam), pal::white, QColor(0xa0, 0x8c, 0x60));
         }},
        {{QStringLiteral("*HI*"), QStringLiteral("*BYE*")},
         QStringLiteral("waving"),
         [](QPainter &p) {
             const QRectF r(0.5, 3.5, 12.0, 12.0);
             motif::faceBall(p, r);
             motif::dotEyes(p, r, ink());
             motif::mouth(p, QRectF(3.5, 11.6, 6.0, 1.0), 1.2, ink(), 1.1);
             // An open palm raised beside the face.
             QPainterPath palm = draw::roundRectPath(QRectF(10.0, 3.4, 5.0, 4.0), 1.6);
             for (int i = 0; i < 4; ++i)
                 palm.addRoundedRect(
                     QRectF(10.0 + i * 1.3, 0.4 + (i == 0 || i == 3 ? 1.0 : 0.0), 1.3, 4.0), 0.6,
                     0.6);
             draw::shape(p, draw::merged(palm), pal::face);
         }},
        {{QStringLiteral("*CAKE*")},
         QStringLiteral("cake"),
         [](QPainter &p) {
             draw::roundRect(p, QRectF(1.0, 8.0, 14.0, 7.0), 1.2, QColor(0xf4, 0xa6, 0xc8));
             draw::flatRect(p, QRectF(1.5, 10.6, 13.0, 1.4), pal::white);
             for (qreal x : {4.0, 7.5, 11.0}) {
                 draw::roundRect(p, QRectF(x, 3.5, 1.8, 4.5), 0.4, pal::sky);
                 draw::flat(p, draw::ellipsePath(QRectF(x + 0.1, 0.6, 1.6, 2.6)), pal::orange);
             }
         }},
        {{QStringLiteral("*GIFT*")},
         QStringLiteral("gift"),
         [](QPainter &p) {
             draw::roundRect(p, QRectF(1.5, 6.5, 13.0, 9.0), 0.8, QColor(0x3c, 0x8c, 0xe8));
             draw::roundRect(p, QRectF(0.5, 4.5, 15.0, 3.5), 0.8, QColor(0x3c, 0x8c, 0xe8));
             draw::flatRect(p, QRectF(7.0, 5.0, 2.0, 10.0), pal::yellow);
             draw::stroke(p, draw::ellipsePath(QRectF(3.5, 1.0, 4.5, 3.6)), pal::yellow.darker(130),
                          1.4);
             draw::stroke(p, draw::ellipsePath(QRectF(8.0, 1.0, 4.5, 3.6)), pal::yellow.darker(130),
                          1.4);
         }},
        {{QStringLiteral("*COFFEE*")},
         QStringLiteral("coffee"),
         [](QPainter &p) {
             motif::coffeeCup(p);
             motif::steam(p);
         }},
        {{QStringLiteral("*STAR*")},
         QStringLiteral("star"),
         [](QPainter &p) {
             draw::shape(p, draw::starPath(QPointF(8, 8.6), 7.8, 3.4), pal::yellow);
         }},
        {{QStringLiteral("*SICK*"), QStringLiteral(":-!")},
         QStringLiteral("sick"),
         [](QPainter &p) {
             const QColor base(0xb8, 0xd8, 0x6a);
             plainFace(p, base);
             motif::dotEyes(p, kFace, ink(base));
             QPainterPath wave;
             wave.moveTo(4.0, 11.4);
             wave.quadTo(5.5, 9.8, 7.0, 11.4);
             wave.quadTo(8.5, 13.0, 10.0, 11.4);
             wave.quadTo(11.0, 10.4, 12.0, 11.0);
             draw::stroke(p, wave, ink(base), 1.1);
         }},
    };
}

} // namespace

QList<Smiley> smileys()
{
    QList<Smiley> set;
    for (const Entry &entry : entries())
        set.append(Smiley{entry.codes, Icon{entry.name, paintIcon(entry.paint)}});
    return set;
}

IconList smileyIcons(const QList<Smiley> &set)
{
    IconList list{QStringLiteral("Smilies/default.mbm"), {}};
    for (const Smiley &smiley : set)
        list.icons.append(smiley.icon);
    return list;
}
