#include "IconSets.h"
#include "Motifs.h"
#include "PixelFont.h"

// Status pictures. The client draws an extended status as the online flower (icon 24) with a
// small badge over it, so icons 0..22 hold only the badge, in the bottom-right quarter, and
// stay transparent elsewhere.

namespace {

const QRectF kFlower(0.5, 0.5, 15.0, 15.0);
const QPointF kBadge(11.6, 11.6);
constexpr qreal kBadgeSize = 8.4;
const QRectF kBadgeBox(kBadge.x() - kBadgeSize / 2, kBadge.y() - kBadgeSize / 2, kBadgeSize,
                       kBadgeSize);

QImage overlay(const std::function<void(QPainter &)> &badge)
{
    return paintIcon(badge);
}

void smallFace(QPainter &p, const QColor &base, qreal mouthBend)
{
    motif::faceBall(p, kBadgeBox, base);
    const QColor ink = motif::faceInk(base);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRect(QRectF(9.6, 9.6, 1.1, 1.5));
    p.drawRect(QRectF(12.5, 9.6, 1.1, 1.5));
    motif::mouth(p, QRectF(9.4, 13.0, 4.4, 0.8), mouthBend, ink, 0.9);
}

void letterBadge(QPainter &p, const QColor &base, const QString &sign)
{
    motif::badge(p, kBadge, kBadgeSize, base);
    drawPixelText(p, PixelFont::Small, sign, kBadge.x() - 1.5, kBadge.y() - 2.5, pal::white);
}

} // namespace

IconList statusIcons()
{
    NumberedIcons list(QStringLiteral("ICQ/Status.mbm"), 32);

    list.set(0, QStringLiteral("away"), overlay([](QPainter &p) {
                 motif::badge(p, kBadge, kBadgeSize, pal::yellow);
                 const QColor ink(0x5a, 0x3a, 0x00);
                 draw::line(p, kBadge, kBadge + QPointF(0, -2.6), ink, 1.1);
                 draw::line(p, kBadge, kBadge + QPointF(2.0, 0.6), ink, 1.1);
             }));
    list.set(2, QStringLiteral("not available"), overlay([](QPainter &p) {
                 motif::badge(p, kBadge, kBadgeSize, pal::steel);
                 // A crescent moon: gone for the evening.
                 QPainterPath moon = draw::ellipsePath(QRectF(8.9, 8.9, 5.4, 5.4));
                 moon = moon.subtracted(draw::ellipsePath(QRectF(10.4, 8.0, 5.2, 5.2)));
                 draw::flat(p, moon, QColor(0xff, 0xf0, 0xa0));
             }));
    list.set(4, QStringLiteral("free for chat"), overlay([](QPainter &p) {
                 const QPainterPath bubble = motif::bubblePath(QRectF(7.0, 7.0, 8.6, 6.2), true);
                 draw::shape(p, bubble, pal::white, pal::blue.darker(130));
                 p.setPen(Qt::NoPen);
                 p.setBrush(pal::blue);
                 for (qreal x : {9.0, 11.3, 13.6})
                     p.drawEllipse(QPointF(x, 10.1), 0.75, 0.75);
             }));
    list.set(6, QStringLiteral("occupied"), overlay([](QPainter &p) {
                 motif::badge(p, kBadge, kBadgeSize, pal::red);
                 draw::flatRect(p, QRectF(9.0, 11.0, 5.2, 1.4), pal::white);
             }));
    list.set(8, QStringLiteral("do not disturb"), overlay([](QPainter &p) {
                 motif::badge(p, kBadge, kBadgeSize, QColor(0xb0, 0x18, 0x30));
                 draw::line(p, kBadge + QPointF(-1.8, -1.8), kBadge + QPointF(1.8, 1.8), pal::white,
                            1.3);
                 draw::line(p, kBadge + QPointF(-1.8, 1.8), kBadge + QPointF(1.8, -1.8), pal::white,
                            1.3);
             }));
    list.set(10, QStringLiteral("lunch"), overlay([](QPainter &p) {
                 // A burger: reads as food even at badge size.
                 QPainterPath bun;
                 bun.moveTo(7.4, 11.6);
                 bun.quadTo(7.4, 7.2, 11.6, 7.2);
                 bun.quadTo(15.8, 7.2, 15.8, 11.6);
                 bun.closeSubpath();
                 draw::shape(p, bun, QColor(0xf0, 0xa8, 0x48));
                 draw::line(p, QPointF(7.8, 12.2), QPointF(15.4, 12.2), pal::green, 1.2);
                 draw::flatRect(p, QRectF(7.6, 12.6, 8.0, 1.4), QColor(0x6a, 0x34, 0x14));
                 draw::shape(p, draw::roundRectPath(QRectF(7.6, 14.0, 8.0, 1.8), 0.8),
                             QColor(0xf0, 0xa8, 0x48));
             }));
    list.set(12, QStringLiteral("at home"), overlay([](QPainter &p) {
                 draw::shape(p, draw::roundRectPath(QRectF(8.5, 11.0, 6.0, 4.5), 0.3), pal::tan);
                 draw::flatRect(p, QRectF(10.7, 12.6, 1.6, 2.9), pal::brown.darker(120));
                 draw::polygon(
                     p, QPolygonF{QPointF(7.0, 11.6), QPointF(11.5, 7.2), QPointF(16.0, 11.6)},
                     pal::red);
             }));
    list.set(14, QStringLiteral("at work"), overlay([](QPainter &p) {
                 draw::stroke(p, draw::roundRectPath(QRectF(10.0, 8.0, 3.0, 2.8), 0.8),
                              pal::brown.darker(170), 1.0);
                 draw::roundRect(p, QRectF(7.5, 10.0, 8.0, 5.5), 1.0, pal::brown);
                 draw::line(p, QPointF(7.8, 12.3), QPointF(15.2, 12.3), pal::brown.darker(170),
                            0.8);
             }));
    list.set(16, QStringLiteral("depression"),
             overlay([](QPainter &p) { smallFace(p, QColor(0x7a, 0x9c, 0xd8), -0.7); }));
    list.set(
        18, QStringLiteral("evil"), overlay([](QPainter &p) {
            const QColor base(0x9a, 0x4c, 0xd0);
            draw::polygon(p, QPolygonF{QPointF(7.6, 6.6), QPointF(8.8, 9.4), QPointF(10.2, 8.0)},
                          base.darker(120));
            draw::polygon(p, QPolygonF{QPointF(15.6, 6.6), QPointF(14.4, 9.4), QPointF(13.0, 8.0)},
                          base.darker(120));
            smallFace(p, base, 0.6);
        }));
    list.set(20, QStringLiteral("on the phone"), overlay([](QPainter &p) {
                 draw::roundRect(p, QRectF(9.0, 6.5, 5.4, 9.0), 1.0, pal::dark);
                 draw::flatRect(p, QRectF(10.0, 7.8, 3.4, 3.4), QColor(0x9c, 0xe0, 0x7a));
                 draw::flatRect(p, QRectF(10.0, 12.4, 3.4, 2.0), pal::grey);
             }));
    list.set(22, QStringLiteral("angry"), overlay([](QPainter &p) {
                 smallFace(p, QColor(0xf0, 0x5a, 0x3a), -0.7);
                 const QColor ink = motif::faceInk(QColor(0xf0, 0x5a, 0x3a));
                 draw::line(p, QPointF(9.2, 8.9), QPointF(10.9, 9.6), ink, 0.9);
                 draw::line(p, QPointF(14.0, 8.9), QPointF(12.3, 9.6), ink, 0.9);
             }));

    list.set(24, QStringLiteral("online"),
             paintIcon([](QPainter &p) { motif::flower(p, kFlower, pal::green); }));
    list.set(26, QStringLiteral("offline"),
             paintIcon([](QPainter &p) { motif::flower(p, kFlower, pal::red); }));
    list.set(28, QStringLiteral("ignored"), paintIcon([](QPainter &p) {
                 motif::flower(p, kFlower, pal::grey);
                 motif::minusBadge(p, kBadge, kBadgeSize);
             }));
    list.set(30, QStringLiteral("connecting"),
             paintIcon([](QPainter &p) { motif::flower(p, kFlower, pal::yellow.darker(108)); }));
    list.set(32, QStringLiteral("invisible"), paintIcon([](QPainter &p) {
                 motif::ghostFlower(p, kFlower, QColor(0x4a, 0x7a, 0xb0));
             }));
    list.set(34, QStringLiteral("invisible for all"), paintIcon([](QPainter &p) {
                 motif::ghostFlower(p, kFlower, QColor(0x4a, 0x7a, 0xb0));
                 motif::crossBadge(p, kBadge, kBadgeSize);
             }));
    list.set(36, QStringLiteral("not authorized"), paintIcon([](QPainter &p) {
                 motif::flower(p, kFlower, pal::grey);
                 letterBadge(p, pal::orange, QStringLiteral("?"));
             }));
    list.set(38, QStringLiteral("awaiting authorization"), paintIcon([](QPainter &p) {
                 motif::flower(p, kFlower, pal::green);
                 letterBadge(p, pal::orange, QStringLiteral("?"));
             }));
    list.set(40, QStringLiteral("typing"), paintIcon([](QPainter &p) {
                 motif::bubblePath(QRectF(0.5, 1.5, 15.0, 10.0), true);
                 draw::shape(p, motif::bubblePath(QRectF(0.5, 1.5, 15.0, 10.0), true), pal::white,
                             pal::steel.darker(130));
                 p.setPen(Qt::NoPen);
                 p.setBrush(pal::steel);
                 for (qreal x : {4.5, 8.0, 11.5})
                     p.drawEllipse(QPointF(x, 6.5), 1.2, 1.2);
             }));
    list.set(42, QStringLiteral("authorization request"), paintIcon([](QPainter &p) {
                 motif::person(p, QRectF(0.5, 0.5, 11.0, 15.0), pal::blue);
                 letterBadge(p, pal::orange, QStringLiteral("?"));
             }));
    list.set(44, QStringLiteral("new message"),
             paintIcon([](QPainter &p) { motif::envelope(p, QRectF(0.5, 3.5, 15.0, 10.0)); }));
    list.set(46, QStringLiteral("came online"), paintIcon([](QPainter &p) {
                 motif::person(p, QRectF(0.5, 0.5, 11.0, 15.0), pal::green);
                 motif::arrow(p, QPointF(12.5, 15.0), QPointF(12.5, 6.5), 2.4, 5.6, pal::green);
             }));
    list.set(48, QStringLiteral("mobile"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(3.5, 0.5, 9.0, 15.0), 2.0, pal::dark);
                 draw::flatRect(p, QRectF(5.0, 2.5, 6.0, 6.0), QColor(0x9c, 0xe0, 0x7a));
                 for (int row = 0; row < 2; ++row)
                     for (int col = 0; col < 3; ++col)
                         draw::flatRect(p, QRectF(5.0 + col * 2.2, 10.0 + row * 2.2, 1.4, 1.4),
                                        pal::grey.lighter(120));
                 motif::flower(p, QRectF(5.6, 3.1, 4.8, 4.8), pal::green);
             }));
    list.set(50, QStringLiteral("web"), paintIcon([](QPainter &p) {
                 const QRectF globe(0.5, 0.5, 15.0, 15.0);
                 draw::ellipse(p, globe, pal::sky);
                 const QColor ink = draw::outlineOf(pal::sky);
                 draw::stroke(p, draw::ellipsePath(QRectF(4.5, 0.5, 7.0, 15.0)), ink, 0.9);
                 draw::line(p, QPointF(8, 0.8), QPointF(8, 15.2), ink, 0.9);
                 draw::line(p, QPointF(0.8, 8), QPointF(15.2, 8), ink, 0.9);
                 draw::arc(p, QRectF(1.8, -6.0, 12.4, 10.5), 200, 140, ink, 0.9);
                 draw::arc(p, QRectF(1.8, 11.5, 12.4, 10.5), 20, 140, ink, 0.9);
             }));
    list.set(52, QStringLiteral("birthday"), paintIcon([](QPainter &p) {
                 motif::flower(p, kFlower, pal::green);
                 draw::roundRect(p, QRectF(7.5, 9.0, 8.0, 6.5), 0.8, pal::pink);
                 draw::flatRect(p, QRectF(10.8, 9.2, 1.4, 6.2), pal::yellow);
                 draw::flatRect(p, QRectF(7.8, 11.5, 7.4, 1.3), pal::yellow);
                 draw::ellipse(p, QRectF(9.0, 6.8, 2.8, 2.4), pal::yellow);
                 draw::ellipse(p, QRectF(11.2, 6.8, 2.8, 2.4), pal::yellow);
             }));
    list.set(54, QStringLiteral("SMS"), paintIcon([](QPainter &p) {
                 draw::roundRect(p, QRectF(0.5, 0.5, 8.0, 15.0), 1.6, pal::dark);
                 draw::flatRect(p, QRectF(2.0, 2.5, 5.0, 5.0), QColor(0x9c, 0xe0, 0x7a));
                 motif::envelope(p, QRectF(5.5, 7.5, 10.0, 7.0));
             }));
    list.set(56, QStringLiteral("status message"), paintIcon([](QPainter &p) {
                 draw::shape(p, motif::bubblePath(QRectF(0.5, 0.5, 15.0, 11.5), true), pal::paper,
                             pal::steel.darker(140));
                 const QColor ink(0x5c, 0x80, 0xb8);
                 draw::line(p, QPointF(3.0, 4.0), QPointF(13.0, 4.0), ink, 1.0);
                 draw::line(p, QPointF(3.0, 6.5), QPointF(13.0, 6.5), ink, 1.0);
                 draw::line(p, QPointF(3.0, 9.0), QPointF(9.0, 9.0), ink, 1.0);
             }));
    list.set(58, QStringLiteral("unknown"), paintIcon([](QPainter &p) {
                 motif::badge(p, QPointF(8, 8), 15.0, pal::grey);
                 drawPixelText(p, PixelFont::Large, QStringLiteral("?"), 5.5, 4.5, pal::white);
             }));
    list.set(60, QStringLiteral("connection"), paintIcon([](QPainter &p) {
                 // Two plugs meeting: the picture of a connection being made.
                 draw::roundRect(p, QRectF(0.5, 5.0, 6.0, 6.0), 1.0, pal::steel);
                 draw::line(p, QPointF(6.5, 6.8), QPointF(8.5, 6.8), pal::grey.darker(150), 1.2);
                 draw::line(p, QPointF(6.5, 9.2), QPointF(8.5, 9.2), pal::grey.darker(150), 1.2);
                 draw::roundRect(p, QRectF(9.5, 5.0, 6.0, 6.0), 1.0, pal::green);
                 draw::line(p, QPointF(3.0, 11.0), QPointF(3.0, 15.0), pal::dark, 1.4);
                 draw::line(p, QPointF(13.0, 5.0), QPointF(13.0, 1.0), pal::dark, 1.4);
             }));
    list.set(62, QStringLiteral("file transfer"), paintIcon([](QPainter &p) {
                 motif::page(p, QRectF(0.5, 0.5, 10.0, 13.0), true);
                 motif::arrow(p, QPointF(6.0, 12.0), QPointF(15.6, 12.0), 2.6, 6.4, pal::green);
             }));
    return list.take();
}
