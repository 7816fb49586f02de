#include "IconSets.h"
#include "Motifs.h"
#include "PixelFont.h"

#include <QtMath>

// Menu, status-bar and message pictures of the client. Actions on a thing are the thing's
// picture with a small sign in the bottom-right corner (plus to add, minus to remove), as in
// the status list, so the menus read as one family.

namespace {

const QPointF kCorner(11.6, 11.6);
constexpr qreal kCornerSize = 8.0;

QImage withCorner(const std::function<void(QPainter &)> &base,
                  void (*sign)(QPainter &, QPointF, qreal))
{
    return paintIcon([&](QPainter &p) {
        base(p);
        sign(p, kCorner, kCornerSize);
    });
}

void contact(QPainter &p)
{
    motif::person(p, QRectF(1.0, 0.5, 11.0, 14.5), pal::blue);
}

void groupFolder(QPainter &p)
{
    motif::folder(p, QRectF(0.5, 2.0, 15.0, 12.5));
}

void letterCircle(QPainter &p, const QColor &base, const QString &letter)
{
    draw::ellipse(p, QRectF(0.5, 0.5, 15.0, 15.0), base);
    drawPixelText(p, PixelFont::Large, letter, 5.0, 4.0, pal::white);
}

// A speaker facing right.
void speaker(QPainter &p)
{
    draw::polygon(p,
                  QPolygonF{QPointF(1.0, 5.5), QPointF(4.0, 5.5), QPointF(8.0, 2.0),
                            QPointF(8.0, 14.0), QPointF(4.0, 10.5), QPointF(1.0, 10.5)},
                  pal::steel);
}

// The message markers of the chat: an envelope with a sign in its lower right.
void messageEnvelope(QPainter &p)
{
    motif::envelope(p, QRectF(0.5, 1.5, 13.0, 9.5));
}

// A lower-case i, which reads as "information" better than the capital of the pixel font.
void infoLetter(QPainter &p, QPointF centre, qreal scale, const QColor &colour)
{
    const qreal x = centre.x() - scale;
    draw::flatRect(p, QRectF(x, centre.y() - 4.0 * scale, 2.0 * scale, 1.6 * scale), colour);
    draw::flatRect(p, QRectF(x, centre.y() - 1.6 * scale, 2.0 * scale, 5.0 * scale), colour);
}

void aboutSign(QPainter &p)
{
    draw::ellipse(p, QRectF(0.5, 0.5, 15.0, 15.0), pal::blue);
    infoLetter(p, QPointF(8.0, 8.0), 1.0, pal::white);
}

} // namespace

IconList programIcons()
{
    NumberedIcons list(QStringLiteral("Icons/pricons.mbm"), 48);

    list.set(0, QStringLiteral("exit"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(1.5, 0.5, 9.0, 15.0), 0.8, pal::brown);
                 draw::flatRect(p, QRectF(2.8, 1.8, 6.4, 12.4), QColor(0x3a, 0x24, 0x12));
                 QPainterPath door = draw::polygonPath(QPolygonF{
                     QPointF(2.8, 1.8), QPointF(7.5, 3.0), QPointF(7.5, 15.0), QPointF(2.8, 14.2)});
                 draw::shape(p, door, pal::tan);
                 motif::arrow(p, QPointF(7.0, 8.5), QPointF(15.6, 8.5), 2.6, 6.4, pal::red);
             }));
    list.set(2, QStringLiteral("profiles"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(3.5, 0.5, 12.0, 9.0), 1.2, pal::paper);
                 draw::roundRect(p, QRectF(0.5, 5.5, 12.0, 10.0), 1.2, pal::white);
                 motif::person(p, QRectF(2.0, 7.0, 5.0, 7.5), pal::blue);
                 const QColor ink(0x8a, 0x98, 0xb0);
                 draw::line(p, QPointF(8.0, 9.0), QPointF(11.0, 9.0), ink, 1.0);
                 draw::line(p, QPointF(8.0, 11.5), QPointF(11.0, 11.5), ink, 1.0);
                 draw::line(p, QPointF(5.5, 3.0), QPointF(13.5, 3.0), ink, 1.0);
             }));
    list.set(4, QStringLiteral("connect"), paintIcon([](QPainter &p) {
                 motif::flower(p, QRectF(0.5, 0.5, 15.0, 15.0), pal::green);
                 motif::arrow(p, QPointF(11.6, 15.4), QPointF(11.6, 7.4), 2.6, 6.6, pal::sky);
             }));
    list.set(6, QStringLiteral("disconnect"), paintIcon([](QPainter &p) {
                 motif::flower(p, QRectF(0.5, 0.5, 15.0, 15.0), pal::red);
                 motif::arrow(p, QPointF(11.6, 7.4), QPointF(11.6, 15.4), 2.6, 6.6, pal::sky);
             }));
    list.set(8, QStringLiteral("refresh list"), paintIcon([](QPainter &p) {
                 // Two arrows chasing each other round a circle.
                 const QColor base = pal::green;
                 const QColor edge = draw::outlineOf(base);
                 const QRectF ring(2.2, 2.2, 11.6, 11.6);
                 for (int half = 0; half < 2; ++half) {
                     const qreal start = 200.0 + 180.0 * half;
                     const qreal end = start - 125.0;
                     QPainterPath band;
                     band.arcMoveTo(ring, start);
                     band.arcTo(ring, start, end - start);
                     draw::stroke(p, band, edge, 3.4);
                     draw::stroke(p, band, base.lighter(120), 1.6);
                     const qreal a = qDegreesToRadians(end);
                     const QPointF tip(8.0 + 5.8 * qCos(a), 8.0 - 5.8 * qSin(a));
                     const QPointF along(qSin(a), qCos(a)); // clockwise on screen
                     const QPointF across(-along.y(), along.x());
                     draw::shape(p,
                                 draw::polygonPath(QPolygonF{tip + along * 3.4, tip + across * 3.0,
                                                             tip - across * 3.0}),
                                 base.lighter(120), edge);
                 }
             }));
    list.set(10, QStringLiteral("settings"), paintIcon([](QPainter &p) {
                 motif::gear(p, QPointF(8, 8), 7.4, 5.2, 8, pal::steel);
             }));
    list.set(12, QStringLiteral("group settings"), paintIcon([](QPainter &p) {
                 motif::person(p, QRectF(5.0, 0.5, 9.0, 12.0), pal::green);
                 motif::person(p, QRectF(0.5, 2.5, 9.0, 12.5), pal::blue);
                 motif::gear(p, kCorner, 4.4, 3.0, 6, pal::grey);
             }));
    list.set(14, QStringLiteral("smileys"), paintIcon([](QPainter &p) {
                 const QRectF r(0.5, 0.5, 15.0, 15.0);
                 motif::faceBall(p, r);
                 motif::dotEyes(p, r, motif::faceInk());
                 motif::mouth(p, QRectF(4.0, 10.0, 8.0, 1.0), 1.4, motif::faceInk(), 1.2);
             }));
    list.set(16, QStringLiteral("close"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(0.5, 0.5, 15.0, 15.0), 3.0, pal::red);
                 draw::line(p, QPointF(4.8, 4.8), QPointF(11.2, 11.2), pal::white, 2.0);
                 draw::line(p, QPointF(4.8, 11.2), QPointF(11.2, 4.8), pal::white, 2.0);
             }));
    list.set(18, QStringLiteral("history"), paintIcon([](QPainter &p) {
                 motif::page(p, QRectF(0.5, 0.5, 11.0, 14.0), true);
                 draw::ellipse(p, QRectF(7.0, 7.0, 8.6, 8.6), pal::white);
                 const QPointF c(11.3, 11.3);
                 draw::line(p, c, c + QPointF(0, -2.8), pal::dark, 1.0);
                 draw::line(p, c, c + QPointF(2.2, 0.8), pal::dark, 1.0);
             }));
    list.set(20, QStringLiteral("about"), paintIcon([](QPainter &p) { aboutSign(p); }));
    list.set(22, QStringLiteral("help"),
             paintIcon([](QPainter &p) { letterCircle(p, pal::leaf, QStringLiteral("?")); }));
    list.set(24, QStringLiteral("delete contact"), withCorner(contact, motif::minusBadge));
    list.set(26, QStringLiteral("add contact"), withCorner(contact, motif::plusBadge));
    list.set(28, QStringLiteral("rename"), paintIcon([](QPainter &p) {
                 draw::line(p, QPointF(1.0, 14.8), QPointF(9.0, 14.8), pal::dark, 1.0);
                 p.save();
                 p.translate(8.5, 7.5);
                 p.rotate(-45);
                 draw::roundRect(p, QRectF(-5.5, -1.8, 9.0, 3.6), 0.5, pal::yellow);
                 draw::roundRect(p, QRectF(3.5, -1.8, 2.6, 3.6), 0.5, pal::pink);
                 draw::polygon(p,
                               QPolygonF{QPointF(-5.5, -1.8), QPointF(-8.5, 0), QPointF(-5.5, 1.8)},
                               pal::tan);
                 p.restore();
             }));
    list.set(30, QStringLiteral("move to group"), paintIcon([](QPainter &p) {
                 groupFolder(p);
                 motif::arrow(p, QPointF(4.0, 9.5), QPointF(12.5, 9.5), 2.4, 6.0, pal::green);
             }));
    list.set(32, QStringLiteral("delete group"), withCorner(groupFolder, motif::minusBadge));
    list.set(34, QStringLiteral("add group"), withCorner(groupFolder, motif::plusBadge));
    list.set(36, QStringLiteral("ignore list"), withCorner(contact, motif::crossBadge));
    list.set(38, QStringLiteral("visible list"), paintIcon([](QPainter &p) {
                 motif::eye(p, QRectF(0.5, 3.0, 15.0, 10.0), pal::green);
             }));
    list.set(40, QStringLiteral("invisible list"), paintIcon([](QPainter &p) {
                 motif::eye(p, QRectF(0.5, 3.0, 15.0, 10.0), pal::grey, false);
             }));
    list.set(42, QStringLiteral("send file"), paintIcon([](QPainter &p) {
                 motif::page(p, QRectF(0.5, 0.5, 11.0, 14.5), true);
                 motif::arrow(p, QPointF(11.8, 15.6), QPointF(11.8, 6.0), 2.6, 6.4, pal::green);
             }));
    list.set(44, QStringLiteral("client info"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(0.5, 0.5, 10.0, 15.0), 1.8, pal::dark);
                 draw::flatRect(p, QRectF(2.0, 2.0, 7.0, 9.0), QColor(0x9c, 0xe0, 0x7a));
                 motif::badge(p, kCorner, kCornerSize, pal::blue);
                 infoLetter(p, kCorner + QPointF(0.4, 0.4), 0.7, pal::white);
             }));
    list.set(46, QStringLiteral("contact info"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(0.5, 2.5, 15.0, 11.0), 1.4, pal::paper);
                 draw::roundRect(p, QRectF(2.0, 4.5, 5.5, 7.0), 0.5, pal::sky.lighter(130));
                 motif::person(p, QRectF(2.2, 4.8, 5.1, 6.7), pal::blue);
                 const QColor ink(0x6a, 0x78, 0x90);
                 for (qreal y : {5.5, 8.0, 10.5})
                     draw::line(p, QPointF(9.0, y), QPointF(13.5, y), ink, 1.0);
             }));
    list.set(48, QStringLiteral("sound on"), paintIcon([](QPainter &p) {
                 speaker(p);
                 const QColor wave(0x2c, 0x88, 0xd8);
                 draw::arc(p, QRectF(6.0, 4.5, 6.0, 7.0), -50, 100, wave, 1.2);
                 draw::arc(p, QRectF(6.0, 1.5, 9.0, 13.0), -50, 100, wave, 1.2);
             }));
    list.set(50, QStringLiteral("sound off"), paintIcon([](QPainter &p) {
                 speaker(p);
                 draw::line(p, QPointF(10.0, 5.5), QPointF(15.0, 10.5), pal::red, 1.6);
                 draw::line(p, QPointF(10.0, 10.5), QPointF(15.0, 5.5), pal::red, 1.6);
             }));
    list.set(52, QStringLiteral("vibration"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(4.5, 0.5, 7.0, 15.0), 1.6, pal::dark);
                 draw::flatRect(p, QRectF(5.8, 2.0, 4.4, 6.0), QColor(0x9c, 0xe0, 0x7a));
                 const QColor buzz(0xe0, 0x5a, 0x20);
                 for (qreal side : {-1.0, 1.0}) {
                     const qreal x = 8.0 + side * 5.2;
                     draw::polyline(p,
                                    QPolygonF{QPointF(x, 4.0), QPointF(x + side * 1.4, 6.0),
                                              QPointF(x, 8.0), QPointF(x + side * 1.4, 10.0),
                                              QPointF(x, 12.0)},
                                    buzz, 1.0);
                 }
             }));
    list.set(54, QStringLiteral("copy"), paintIcon([](QPainter &p) {
                 motif::page(p, QRectF(0.5, 0.5, 9.0, 11.0), true);
                 motif::page(p, QRectF(5.5, 4.5, 9.5, 11.0), true);
             }));
    list.set(56, QStringLiteral("paste"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(1.5, 2.0, 13.0, 13.5), 1.4, pal::brown);
                 draw::flatRect(p, QRectF(3.0, 4.0, 10.0, 10.0), pal::white);
                 draw::roundRect(p, QRectF(5.0, 0.5, 6.0, 3.0), 0.8, pal::grey);
                 const QColor ink(0x8f, 0xa4, 0xc4);
                 for (qreal y : {6.5, 8.5, 10.5})
                     draw::line(p, QPointF(4.5, y), QPointF(11.5, y), ink, 0.9);
             }));
    list.set(58, QStringLiteral("hide"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(0.5, 1.5, 15.0, 12.0), 1.2, pal::white);
                 draw::flatRect(p, QRectF(1.0, 2.0, 14.0, 2.5), pal::blue);
                 draw::flatRect(p, QRectF(4.0, 11.0, 8.0, 1.6), pal::dark);
                 motif::arrow(p, QPointF(8.0, 5.0), QPointF(8.0, 11.0), 2.2, 5.6, pal::green);
             }));
    list.set(60, QStringLiteral("export history"), paintIcon([](QPainter &p) {
                 motif::page(p, QRectF(0.5, 0.5, 11.0, 14.0), true);
                 motif::arrow(p, QPointF(6.0, 11.5), QPointF(15.6, 11.5), 2.6, 6.4, pal::orange);
             }));
    list.set(62, QStringLiteral("search"),
             paintIcon([](QPainter &p) { motif::magnifier(p, QRectF(0.5, 0.5, 15.0, 15.0)); }));
    list.set(64, QStringLiteral("group"), paintIcon([](QPainter &p) { groupFolder(p); }));
    list.set(66, QStringLiteral("clear"), paintIcon([](QPainter &p) {
                 p.save();
                 p.translate(8, 8);
                 p.rotate(-40);
                 draw::roundRect(p, QRectF(-7.0, -3.5, 7.0, 7.0), 1.0, pal::sky);
                 draw::roundRect(p, QRectF(0.0, -3.5, 7.0, 7.0), 1.0, pal::pink);
                 p.restore();
                 draw::line(p, QPointF(1.0, 15.0), QPointF(8.0, 15.0), pal::steel, 1.0);
             }));
    list.set(68, QStringLiteral("private lists"), paintIcon([](QPainter &p) {
                 motif::page(p, QRectF(0.5, 0.5, 11.0, 14.5), true);
                 motif::padlock(p, QRectF(8.5, 7.0, 7.0, 8.5), pal::yellow);
             }));
    list.set(70, QStringLiteral("signal"), paintIcon([](QPainter &p) {
                 for (int i = 0; i < 5; ++i) {
                     const qreal h = 3.0 + i * 3.0;
                     draw::roundRect(p, QRectF(0.5 + i * 3.0, 15.5 - h, 2.5, h), 0.4,
                                     i < 4 ? pal::green : pal::grey);
                 }
             }));
    list.set(72, QStringLiteral("key lock"), paintIcon([](QPainter &p) {
                 motif::padlock(p, QRectF(2.5, 0.5, 11.0, 15.0), pal::yellow);
             }));
    list.set(74, QStringLiteral("alarm"), paintIcon([](QPainter &p) {
                 draw::ellipse(p, QRectF(0.5, 0.5, 5.0, 5.0), pal::red);
                 draw::ellipse(p, QRectF(10.5, 0.5, 5.0, 5.0), pal::red);
                 draw::line(p, QPointF(4.0, 12.5), QPointF(2.5, 15.0), pal::dark, 1.2);
                 draw::line(p, QPointF(12.0, 12.5), QPointF(13.5, 15.0), pal::dark, 1.2);
                 draw::ellipse(p, QRectF(2.0, 2.0, 12.0, 12.0), pal::white);
                 draw::stroke(p, draw::ellipsePath(QRectF(2.0, 2.0, 12.0, 12.0)), pal::red, 1.2);
                 draw::line(p, QPointF(8, 8), QPointF(8, 4.5), pal::dark, 1.1);
                 draw::line(p, QPointF(8, 8), QPointF(10.5, 9.5), pal::dark, 1.1);
             }));
    list.set(76, QStringLiteral("battery"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(0.5, 4.0, 13.0, 8.0), 1.4, pal::white);
                 draw::roundRect(p, QRectF(13.5, 6.0, 2.0, 4.0), 0.5, pal::steel);
                 for (int i = 0; i < 3; ++i)
                     draw::flatRect(p, QRectF(2.0 + i * 3.6, 5.5, 3.0, 5.0), pal::green);
             }));
    list.set(78, QStringLiteral("data traffic"), paintIcon([](QPainter &p) {
                 motif::arrow(p, QPointF(4.5, 15.4), QPointF(4.5, 0.8), 2.6, 7.0, pal::green);
                 motif::arrow(p, QPointF(11.5, 0.6), QPointF(11.5, 15.2), 2.6, 7.0, pal::orange);
             }));
    list.set(80, QStringLiteral("new mail"),
             paintIcon([](QPainter &p) { motif::envelope(p, QRectF(0.5, 3.0, 15.0, 10.5)); }));
    list.set(82, QStringLiteral("calendar"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(0.5, 1.5, 15.0, 14.0), 1.4, pal::white);
                 draw::flat(p, draw::roundRectPath(QRectF(1.0, 2.0, 14.0, 3.5), 1.0), pal::red);
                 drawPixelText(p, PixelFont::Large, QStringLiteral("31"), 3.0, 7.0, pal::dark);
                 draw::flatRect(p, QRectF(4.0, 0.5, 1.2, 3.0), pal::steel);
                 draw::flatRect(p, QRectF(10.8, 0.5, 1.2, 3.0), pal::steel);
             }));
    list.set(84, QStringLiteral("password"),
             paintIcon([](QPainter &p) { motif::key(p, QRectF(0.5, 0.5, 15.0, 15.0)); }));
    list.set(86, QStringLiteral("avatar"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(0.5, 0.5, 15.0, 15.0), 3.0, pal::brown);
                 QLinearGradient sky(QPointF(0, 2), QPointF(0, 14));
                 sky.setColorAt(0, QColor(0xc8, 0xe8, 0xff));
                 sky.setColorAt(1, QColor(0x80, 0xb8, 0xe8));
                 p.fillRect(QRectF(2.0, 2.0, 12.0, 12.0), sky);
                 p.save();
                 p.setClipRect(QRectF(2.0, 2.0, 12.0, 12.0));
                 motif::person(p, QRectF(3.5, 3.5, 9.0, 12.0), pal::orange);
                 p.restore();
             }));
    list.set(88, QStringLiteral("message out"), paintIcon([](QPainter &p) {
                 messageEnvelope(p);
                 motif::arrow(p, QPointF(6.0, 12.2), QPointF(15.6, 12.2), 2.4, 6.2, pal::orange);
             }));
    list.set(90, QStringLiteral("message in"), paintIcon([](QPainter &p) {
                 messageEnvelope(p);
                 motif::arrow(p, QPointF(15.6, 12.2), QPointF(6.0, 12.2), 2.4, 6.2, pal::green);
             }));
    list.set(92, QStringLiteral("message out, read"), paintIcon([](QPainter &p) {
                 messageEnvelope(p);
                 motif::checkBadge(p, kCorner, kCornerSize);
             }));
    list.set(94, QStringLiteral("system message"), paintIcon([](QPainter &p) {
                 draw::shape(p, motif::bubblePath(QRectF(0.5, 0.5, 15.0, 12.0), true), pal::blue);
                 drawPixelText(p, PixelFont::Large, QStringLiteral("!"), 5.0, 3.0, pal::white);
             }));
    return list.take();
}
