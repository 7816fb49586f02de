#include "PhonePictures.h"

#include "Painting.h"
#include "PixelFont.h"
#include "SampleTexts.h"

#include "containers/PictureCodecs.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

// The opening the simulated screen is drawn over: it never shows, but it must be opaque so the
// window keeps it, and flat so a misplaced screen shows as a dark strip.
const QColor kOpening{0x08, 0x0a, 0x0d};
const QColor kBevel{0x34, 0x39, 0x41};
const QColor kGlassTop{0x27, 0x2b, 0x32};
const QColor kGlassBottom{0x11, 0x13, 0x17};
const QColor kRimLight{0xe1, 0xe5, 0xea};
const QColor kRimMid{0x9c, 0xa3, 0xac};
const QColor kRimDark{0x6a, 0x70, 0x79};
const QColor kEdge{0x16, 0x18, 0x1b};
const QColor kArrow{0x4a, 0x4f, 0x57};

struct Finish
{
    QColor face;
    QColor key;
    QColor label;
    QColor letters;
};
const Finish kGraphite{
    {0x3b, 0x3f, 0x46}, {0x5a, 0x5f, 0x68}, {0xee, 0xf0, 0xf3}, {0xa9, 0xaf, 0xb8}};
const Finish kSteel{{0x55, 0x5a, 0x62}, {0xc9, 0xcd, 0xd3}, {0x22, 0x25, 0x29}, {0x22, 0x25, 0x29}};
const Finish kNight{{0x21, 0x24, 0x29}, {0x2a, 0x2e, 0x34}, {0xd4, 0xd8, 0xde}, {0xd4, 0xd8, 0xde}};

int px(qreal v)
{
    return int(std::lround(v));
}

// The bands of a phone body, in pixels. Bodies grow with the screen, but keys stop growing a
// little past the size of a 240-pixel phone's: a big screen does not make a thumb bigger.
struct BodyBands
{
    qreal k = 1.0; // key scale
    int side = 0;
    int top = 0;
    int glassGap = 0; // the glass below the screen
    int controlsGap = 0;
    int controls = 0; // softkeys, call and end keys, navigation key
    int rows = 0;
    int rowHeight = 0;
    int lidFoot = 0; // a communicator's lid below its screen, and its hinge
    int hinge = 0;
    int foot = 0;

    int bottom() const
    {
        return glassGap + controlsGap + controls + rows * rowHeight + lidFoot + hinge + foot;
    }
};

BodyBands bandsOf(PhoneBody body, QSize screen)
{
    BodyBands m;
    switch (body) {
    case PhoneBody::Keypad: {
        const qreal s = screen.width() / 240.0;
        m.k = qMin(s, 1.1);
        m.side = qMax(20, px(26 * s));
        m.top = px(58 * m.k);
        m.glassGap = px(8 * m.k);
        m.controlsGap = px(6 * m.k);
        m.controls = px(92 * m.k);
        m.rows = 4;
        m.rowHeight = px(34 * m.k);
        m.foot = px(24 * m.k);
        break;
    }
    case PhoneBody::Qwerty: {
        const qreal s = screen.width() / 320.0;
        m.k = qMin(s, 1.1);
        m.side = qMax(20, px(24 * s));
        m.top = px(46 * m.k);
        m.glassGap = px(8 * m.k);
        m.controlsGap = px(4 * m.k);
        m.controls = px(70 * m.k);
        m.rows = 4;
        m.rowHeight = px(30 * m.k);
        m.foot = px(20 * m.k);
        break;
    }
    case PhoneBody::Communicator: {
        m.k = qMin(screen.width() / 800.0, 1.1);
        m.side = qMax(20, px(30 * m.k));
        m.top = px(24 * m.k);
        m.lidFoot = px(40 * m.k);
        m.hinge = px(22 * m.k);
        m.controlsGap = px(16 * m.k);
        m.rows = 4;
        m.rowHeight = px(40 * m.k);
        m.foot = px(20 * m.k);
        break;
    }
    case PhoneBody::Touch:
    case PhoneBody::TouchLandscape: {
        const qreal s = screen.width() / 360.0;
        m.k = qMin(s, 1.1);
        m.side = qMax(20, px(22 * s));
        m.top = px(56 * s);
        m.foot = px(66 * s);
        break;
    }
    }
    return m;
}

// ---- Pieces every phone is made of -----------------------------------------------------------

// A chrome rim round a face that is lit from above and rounds off at the sides.
void paintBody(QPainter &p, const QRectF &outline, qreal radius, const QColor &face)
{
    p.save();
    QPainterPath body;
    body.addRoundedRect(outline, radius, radius);
    // A faint dark fringe just outside the outline softens the edge beyond one smoothed pixel.
    p.setPen(QPen(QColor(0, 0, 0, 60), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);

    QLinearGradient rim(outline.topLeft(), outline.bottomRight());
    rim.setColorAt(0.0, kRimLight);
    rim.setColorAt(0.45, kRimMid);
    rim.setColorAt(0.55, kRimLight.darker(112));
    rim.setColorAt(1.0, kRimDark);
    p.setPen(QPen(kEdge, 1.0));
    p.setBrush(rim);
    p.drawPath(body);

    const qreal rimWidth = 3.0;
    const QRectF inner = outline.adjusted(rimWidth, rimWidth, -rimWidth, -rimWidth);
    QPainterPath facePath;
    facePath.addRoundedRect(inner, radius - rimWidth, radius - rimWidth);
    QLinearGradient across(inner.topLeft(), inner.topRight());
    across.setColorAt(0.0, face.darker(165));
    across.setColorAt(0.06, face.lighter(120));
    across.setColorAt(0.4, face.lighter(110));
    across.setColorAt(0.86, face);
    across.setColorAt(1.0, face.darker(175));
    p.setPen(QPen(face.darker(230), 1.0));
    p.setBrush(across);
    p.drawPath(facePath);

    QLinearGradient down(inner.topLeft(), inner.bottomLeft());
    down.setColorAt(0.0, QColor(255, 255, 255, 42));
    down.setColorAt(0.25, QColor(255, 255, 255, 8));
    down.setColorAt(0.6, QColor(0, 0, 0, 0));
    down.setColorAt(1.0, QColor(0, 0, 0, 55));
    p.setPen(Qt::NoPen);
    p.setBrush(down);
    p.drawPath(facePath);
    p.restore();
}

// The dark glass the screen sits behind, with a reflection across its upper left.
void paintGlass(QPainter &p, const QRectF &r, qreal radius)
{
    p.save();
    QPainterPath glass;
    glass.addRoundedRect(r, radius, radius);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, kGlassTop);
    g.setColorAt(1.0, kGlassBottom);
    p.setPen(QPen(QColor(0x0a, 0x0b, 0x0d), 1.0));
    p.setBrush(g);
    p.drawPath(glass);

    QPainterPath sheen;
    sheen.moveTo(r.topLeft());
    sheen.lineTo(r.left() + r.width() * 0.62, r.top());
    sheen.lineTo(r.left(), r.top() + r.height() * 0.42);
    sheen.closeSubpath();
    p.fillPath(sheen.intersected(glass), QColor(255, 255, 255, 13));
    p.restore();
}

// A one-pixel frame just outside the opening, where the display meets the glass.
void paintBevel(QPainter &p, const QRect &screen)
{
    p.save();
    p.setPen(QPen(kBevel, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(screen).adjusted(-0.5, -0.5, 0.5, 0.5));
    p.restore();
}

void paintEarpiece(QPainter &p, QPointF c, qreal width, qreal height)
{
    p.save();
    const QRectF slot(c.x() - width / 2, c.y() - height / 2, width, height);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 45));
    p.drawRoundedRect(slot.translated(0, 1), height / 2, height / 2);
    p.setBrush(QColor(0x0d, 0x0e, 0x10));
    p.drawRoundedRect(slot, height / 2, height / 2);
    p.setBrush(QColor(0x3c, 0x41, 0x48));
    for (qreal x = slot.left() + height; x < slot.right() - height; x += 3)
        p.drawRect(QRectF(std::floor(x), std::floor(c.y()), 1, 1));
    p.restore();
}

// The front camera, or with lensed = false a light sensor.
void paintLens(QPainter &p, QPointF c, qreal r, bool lensed)
{
    p.save();
    p.setPen(QPen(QColor(0x55, 0x5a, 0x62), 1.0));
    p.setBrush(QColor(0x0b, 0x0c, 0x0f));
    p.drawEllipse(c, r, r);
    if (lensed) {
        QRadialGradient g(c, r * 0.6, c - QPointF(r * 0.2, r * 0.2));
        g.setColorAt(0.0, QColor(0x40, 0x63, 0x92));
        g.setColorAt(1.0, QColor(0x0b, 0x10, 0x18));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, r * 0.6, r * 0.6);
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(c - QPointF(r * 0.22, r * 0.22), r * 0.16, r * 0.16);
    }
    p.restore();
}

void paintKey(QPainter &p, const QRectF &r, qreal radius, const QColor &base)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawRoundedRect(r.translated(0, 1.2), radius, radius);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, base.lighter(130));
    g.setColorAt(0.5, base);
    g.setColorAt(1.0, base.darker(118));
    p.setPen(QPen(base.darker(200), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
    p.drawLine(QPointF(r.left() + radius, r.top() + 1.5),
               QPointF(r.right() - radius, r.top() + 1.5));
    p.restore();
}

// A telephone receiver; turned by 135 degrees it is the hung-up receiver of the end key.
void paintHandset(QPainter &p, QPointF c, qreal size, const QColor &colour, qreal degrees)
{
    p.save();
    p.translate(c);
    p.rotate(degrees);
    const qreal w = size * 0.22;
    const QRectF arcBox(-size / 2, -size * 0.3, size, size * 0.9);
    QPainterPath path;
    path.arcMoveTo(arcBox, 25);
    path.arcTo(arcBox, 25, 130);
    p.setPen(QPen(colour, w, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const QPointF centre = arcBox.center();
    for (qreal degreesOnArc : {25.0, 155.0}) {
        const qreal a = qDegreesToRadians(degreesOnArc);
        const QPointF end(centre.x() + arcBox.width() / 2 * std::cos(a),
                          centre.y() - arcBox.height() / 2 * std::sin(a));
        p.drawEllipse(end + QPointF(0, w * 0.3), w * 0.85, w * 0.7);
    }
    p.restore();
}

// A chrome ring with four arrows round a select button.
void paintNavigationKey(QPainter &p, QPointF c, qreal radius)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(c + QPointF(0, 1.2), radius + 0.5, radius + 0.5);

    QLinearGradient ring(c - QPointF(0, radius), c + QPointF(0, radius));
    ring.setColorAt(0.0, QColor(0xee, 0xf0, 0xf3));
    ring.setColorAt(0.5, QColor(0xb4, 0xba, 0xc2));
    ring.setColorAt(1.0, QColor(0x7e, 0x85, 0x8e));
    p.setPen(QPen(QColor(0x3c, 0x40, 0x46), 1.0));
    p.setBrush(ring);
    p.drawEllipse(c, radius, radius);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2b, 0x2e, 0x33));
    p.drawEllipse(c, radius * 0.5, radius * 0.5);
    QLinearGradient button(c - QPointF(0, radius * 0.43), c + QPointF(0, radius * 0.43));
    button.setColorAt(0.0, QColor(0xe0, 0xe3, 0xe7));
    button.setColorAt(1.0, QColor(0x8c, 0x92, 0x9a));
    p.setPen(QPen(QColor(0x3c, 0x40, 0x46), 1.0));
    p.setBrush(button);
    p.drawEllipse(c, radius * 0.43, radius * 0.43);

    p.setPen(Qt::NoPen);
    p.setBrush(kArrow);
    const qreal d = radius * 0.75;
    const qreal a = radius * 0.1;
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(c);
        p.rotate(90.0 * i);
        p.drawPolygon(QPolygonF{QPointF(0, -d - a), QPointF(-a * 1.3, -d + a * 0.7),
                                QPointF(a * 1.3, -d + a * 0.7)});
        p.restore();
    }
    p.restore();
}

// Softkeys in the upper corners of the band, call and end keys below them, the navigation key
// between.
void paintControls(QPainter &p, const QRectF &band, qreal k, const Finish &finish)
{
    const QPointF c = band.center();
    const qreal radius = band.height() * 0.46;
    const qreal gap = 7 * k;
    const qreal keyWidth = c.x() - radius - gap - band.left();
    const qreal softHeight = band.height() * 0.3;
    const qreal callHeight = band.height() * 0.4;
    const QRectF leftSoft(band.left(), band.top(), keyWidth, softHeight);
    const QRectF rightSoft(c.x() + radius + gap, band.top(), keyWidth, softHeight);
    const QRectF call(band.left(), band.bottom() - callHeight, keyWidth, callHeight);
    const QRectF end(rightSoft.left(), call.top(), keyWidth, callHeight);
    for (const QRectF &key : {leftSoft, rightSoft, call, end})
        paintKey(p, key, 7 * k, finish.key);
    for (const QRectF &soft : {leftSoft, rightSoft}) {
        const qreal half = soft.width() * 0.16;
        draw::line(p, soft.center() - QPointF(half, 0), soft.center() + QPointF(half, 0),
                   finish.letters, 2 * k);
    }
    paintHandset(p, call.center(), callHeight * 0.55, pal::green, 0);
    paintHandset(p, end.center(), callHeight * 0.55, pal::red, 135);
    paintNavigationKey(p, c, radius);
}

void paintStar(QPainter &p, QPointF c, qreal size, const QColor &colour, qreal width)
{
    for (qreal degrees : {90.0, 30.0, 150.0}) {
        const qreal a = qDegreesToRadians(degrees);
        const QPointF arm(size / 2 * std::cos(a), size / 2 * std::sin(a));
        draw::line(p, c - arm, c + arm, colour, width);
    }
}

void paintHash(QPainter &p, QPointF c, qreal size, const QColor &colour, qreal width)
{
    const qreal h = size / 2;
    const qreal q = size / 5;
    for (qreal o : {-q, q}) {
        draw::line(p, c + QPointF(o, -h), c + QPointF(o, h), colour, width);
        draw::line(p, c + QPointF(-h, o), c + QPointF(h, o), colour, width);
    }
}

// Three columns of four rows: digits with their letters, then star, nought and hash.
void paintNumberPad(QPainter &p, const QRectF &area, int rowHeight, qreal k, const Finish &finish)
{
    static const char *const kLetters[] = {"",     "ABC", "DEF",  "GHI", "JKL", "MNO",
                                           "PQRS", "TUV", "WXYZ", "",    "+",   ""};
    const qreal gapX = 8 * k;
    const qreal gapY = 6 * k;
    const qreal keyWidth = (area.width() - 2 * gapX) / 3;
    const qreal keyHeight = rowHeight - gapY;
    const int scale = keyHeight >= 22 ? 2 : 1;
    const int digitWidth = glyphWidth(PixelFont::Large) * scale;
    const int digitHeight = glyphHeight(PixelFont::Large) * scale;
    for (int i = 0; i < 12; ++i) {
        const int row = i / 3;
        const int column = i % 3;
        const QRectF key(area.left() + column * (keyWidth + gapX),
                         area.top() + row * rowHeight + gapY / 2, keyWidth, keyHeight);
        paintKey(p, key, keyHeight * 0.35, finish.key);
        const QPointF c = key.center();
        if (i == 9) {
            paintStar(p, c, digitHeight, finish.label, scale);
            continue;
        }
        if (i == 11) {
            paintHash(p, c, digitHeight, finish.label, scale);
            continue;
        }
        const QString digit = i == 10 ? QStringLiteral("0") : QString::number(i + 1);
        const QString letters = QString::fromLatin1(kLetters[i]);
        const int lettersWidth = textWidth(PixelFont::Small, letters);
        const int spacing = letters.isEmpty() ? 0 : px(3 * k) + 1;
        const int x = px(c.x() - (digitWidth + spacing + lettersWidth) / 2.0);
        drawPixelText(p, PixelFont::Large, digit, x, px(c.y() - digitHeight / 2.0), finish.label,
                      scale);
        drawPixelText(p, PixelFont::Small, letters, x + digitWidth + spacing,
                      px(c.y() - glyphHeight(PixelFont::Small) / 2.0), finish.letters);
    }
}

struct KeyCap
{
    QString label;
    int units = 1;
};

QList<KeyCap> capsOf(const char *letters)
{
    QList<KeyCap> caps;
    for (const char *c = letters; *c; ++c)
        caps.append({QString(QLatin1Char(*c))});
    return caps;
}

// Rows of keys sharing one grid: every row adds up to the same number of units.
void paintKeyboard(QPainter &p, const QRectF &area, const QList<QList<KeyCap>> &rows, qreal k,
                   const Finish &finish)
{
    const qreal gap = 5 * k;
    const qreal rowHeight = area.height() / rows.size();
    const qreal keyHeight = rowHeight - gap;
    const int scale = keyHeight >= 20 ? 2 : 1;
    for (int i = 0; i < rows.size(); ++i) {
        int units = 0;
        for (const KeyCap &cap : rows[i])
            units += cap.units;
        const qreal unitWidth = (area.width() - (units - 1) * gap) / units;
        qreal x = area.left();
        for (const KeyCap &cap : rows[i]) {
            const qreal width = cap.units * unitWidth + (cap.units - 1) * gap;
            const QRectF key(x, area.top() + i * rowHeight + gap / 2, width, keyHeight);
            paintKey(p, key, qMin(keyHeight, unitWidth) * 0.28, finish.key);
            const qreal textW = textWidth(PixelFont::Small, cap.label) * scale;
            drawPixelText(p, PixelFont::Small, cap.label, px(key.center().x() - textW / 2),
                          px(key.center().y() - glyphHeight(PixelFont::Small) * scale / 2.0),
                          finish.label, scale);
            x += width + gap;
        }
    }
}

// ---- The bodies -----------------------------------------------------------------------------

QRectF outlineOf(QSize picture)
{
    // Room outside the outline for its soft fringe.
    return QRectF(1.5, 1.5, picture.width() - 3.0, picture.height() - 3.0);
}

// The earpiece centred in the band above the glass, the front camera beside it.
void paintTopBand(QPainter &p, qreal width, qreal glassTop, qreal k)
{
    const QPointF c(width / 2, glassTop / 2 + 1);
    const qreal slot = width * 0.22;
    paintEarpiece(p, c, slot, qMax(4.0, 6 * k));
    paintLens(p, c + QPointF(slot / 2 + 16 * k, 0), qMax(3.0, 4.5 * k), true);
    paintLens(p, c - QPointF(slot / 2 + 14 * k, 0), qMax(1.5, 2 * k), false);
}

void paintKeypadPhone(QPainter &p, const PhoneLayout &l, const BodyBands &m)
{
    const qreal k = m.k;
    const qreal width = l.picture.width();
    paintBody(p, outlineOf(l.picture), m.side * 1.4, kGraphite.face);
    const qreal gx = qMin(m.side - 7, px(10 * k));
    const QRectF glass = QRectF(l.screen).adjusted(-gx, -px(10 * k), gx, m.glassGap);
    paintGlass(p, glass, 6 * k);
    paintBevel(p, l.screen);
    paintTopBand(p, width, glass.top(), k);

    const qreal margin = qMax(10.0, m.side * 0.6);
    const QRectF band(margin, glass.bottom() + m.controlsGap, width - 2 * margin, m.controls);
    paintControls(p, band, k, kGraphite);
    const QRectF pad(margin, band.bottom() + 2 * k, width - 2 * margin, m.rows * m.rowHeight);
    paintNumberPad(p, pad, m.rowHeight, k, kGraphite);
}

void paintQwertyPhone(QPainter &p, const PhoneLayout &l, const BodyBands &m)
{
    const qreal k = m.k;
    const qreal width = l.picture.width();
    paintBody(p, outlineOf(l.picture), m.side * 1.3, kSteel.face);
    const qreal gx = qMin(m.side - 7, px(9 * k));
    const QRectF glass = QRectF(l.screen).adjusted(-gx, -px(9 * k), gx, m.glassGap);
    paintGlass(p, glass, 5 * k);
    paintBevel(p, l.screen);
    paintTopBand(p, width, glass.top(), k);

    const qreal margin = qMax(10.0, m.side * 0.6);
    const QRectF band(margin, glass.bottom() + m.controlsGap, width - 2 * margin, m.controls);
    paintControls(p, band, k, kGraphite);
    const QRectF keys(margin, band.bottom() + 2 * k, width - 2 * margin, m.rows * m.rowHeight);
    const QList<KeyCap> blank{{}};
    paintKeyboard(
        p, keys,
        {capsOf("QWERTYUIOP"), capsOf("ASDFGHJKL") + blank, blank + capsOf("ZXCVBNM.") + blank,
         blank + blank + blank + QList<KeyCap>{KeyCap{QString(), 4}} + capsOf("?!") + blank},
        k, kSteel);
}

void paintCommunicator(QPainter &p, const PhoneLayout &l, const BodyBands &m)
{
    const qreal k = m.k;
    const qreal width = l.picture.width();
    const int lidHeight = m.top + l.screen.height() + m.lidFoot;
    const QRectF lid(1.5, 1.5, width - 3, lidHeight - 1.5);
    const QRectF base(1.5, lidHeight + m.hinge, width - 3,
                      l.picture.height() - 1.5 - (lidHeight + m.hinge));

    // The hinge runs under both halves so the window stays one piece.
    const QRectF hinge(m.side * 1.5, lidHeight - 8, width - 3 * m.side, m.hinge + 16);
    QLinearGradient metal(hinge.topLeft(), hinge.bottomLeft());
    metal.setColorAt(0.0, QColor(0x5d, 0x63, 0x6c));
    metal.setColorAt(0.45, QColor(0xc6, 0xcb, 0xd1));
    metal.setColorAt(1.0, QColor(0x4d, 0x52, 0x5a));
    p.setPen(QPen(kEdge, 1.0));
    p.setBrush(metal);
    p.drawRoundedRect(hinge, 6, 6);

    paintBody(p, lid, 18 * k, kGraphite.face);
    paintBody(p, base, 18 * k, kGraphite.face);

    const QRectF glass =
        QRectF(l.screen).adjusted(-px(12 * k), -px(10 * k), px(12 * k), px(10 * k));
    paintGlass(p, glass, 6 * k);
    paintBevel(p, l.screen);
    const qreal softY = (glass.bottom() + lidHeight) / 2;
    const qreal softHeight = 14 * k;
    for (const QRectF &key :
         {QRectF(l.screen.left(), softY - softHeight / 2, 120 * k, softHeight),
          QRectF(l.screen.right() + 1 - 120 * k, softY - softHeight / 2, 120 * k, softHeight),
          QRectF(width / 2 - 30 * k, softY - softHeight / 2, 60 * k, softHeight)})
        paintKey(p, key, softHeight / 2, kGraphite.key);

    const qreal margin = qMax(10.0, m.side * 0.6);
    const QRectF inner(margin, base.top() + m.controlsGap, width - 2 * margin,
                       m.rows * m.rowHeight);
    const qreal navWidth = 180 * k;
    const QRectF keys(inner.left(), inner.top(), inner.width() - navWidth - 12 * k, inner.height());
    const QList<KeyCap> blank{{}};
    paintKeyboard(p, keys,
                  {capsOf("QWERTYUIOP-") + blank, capsOf("ASDFGHJKL:/") + blank,
                   blank + capsOf("ZXCVBNM.?!") + blank,
                   blank + blank + blank + QList<KeyCap>{KeyCap{QString(), 5}} + capsOf("+-") +
                       blank + blank},
                  k, kSteel);

    const QRectF nav(inner.right() - navWidth, inner.top(), navWidth, inner.height());
    paintNavigationKey(p, QPointF(nav.center().x(), nav.top() + nav.height() * 0.4),
                       nav.height() * 0.33);
    const qreal callHeight = 26 * k;
    const QRectF call(nav.left(), nav.bottom() - callHeight - 2 * k, nav.width() * 0.42,
                      callHeight);
    const QRectF end(nav.right() - call.width(), call.top(), call.width(), callHeight);
    for (const auto &[key, colour, degrees] :
         {std::tuple{call, pal::green, 0.0}, std::tuple{end, pal::red, 135.0}}) {
        paintKey(p, key, 7 * k, kGraphite.key);
        paintHandset(p, key.center(), callHeight * 0.6, colour, degrees);
    }
}

// A glass front over nearly the whole phone; the keys below the screen are printed on it.
void paintTouchPhone(QPainter &p, const PhoneLayout &l, const BodyBands &m)
{
    const qreal k = m.k;
    const qreal width = l.picture.width();
    const QRectF outline = outlineOf(l.picture);
    const qreal radius = m.side * 1.8;
    paintBody(p, outline, radius, kNight.face);
    paintGlass(p, outline.adjusted(7, 7, -7, -7), radius - 7);
    paintBevel(p, l.screen);

    const QPointF ear(width / 2, m.top * 0.42);
    paintEarpiece(p, ear, width * 0.17, qMax(4.0, 5 * k));
    paintLens(p, ear + QPointF(width * 0.2, 0), qMax(3.0, 4 * k), true);
    paintLens(p, ear - QPointF(width * 0.2, 0), qMax(1.5, 2.5 * k), false);

    const qreal y = l.screen.bottom() + 1 + m.foot * 0.5;
    const qreal keyHeight = m.foot * 0.36;
    const QColor printed(0x4a, 0x4f, 0x58);
    p.save();
    p.setPen(QPen(printed, 1.2));
    p.setBrush(QColor(0x1a, 0x1d, 0x22));
    const QRectF call(width * 0.12, y - keyHeight / 2, width * 0.2, keyHeight);
    const QRectF end(width * 0.68, y - keyHeight / 2, width * 0.2, keyHeight);
    p.drawRoundedRect(call, keyHeight / 2, keyHeight / 2);
    p.drawRoundedRect(end, keyHeight / 2, keyHeight / 2);

    const QRectF menu(width / 2 - width * 0.065, y - keyHeight / 2, width * 0.13, keyHeight);
    p.setPen(QPen(QColor(0xae, 0xb4, 0xbc), 1.5));
    p.drawRoundedRect(menu, keyHeight * 0.3, keyHeight * 0.3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc8, 0xcd, 0xd3));
    const qreal cell = keyHeight * 0.16;
    for (int i = 0; i < 4; ++i) {
        const QPointF at =
            menu.center() + QPointF((i % 2 ? 0.6 : -1.6) * cell, (i / 2 ? 0.6 : -1.6) * cell);
        p.drawRect(QRectF(at, QSizeF(cell, cell)));
    }
    p.restore();
    paintHandset(p, call.center(), keyHeight * 0.7, pal::green, 0);
    paintHandset(p, end.center(), keyHeight * 0.7, pal::red, 135);
}

// A quarter turn to the left: the top of the phone ends up on the left. Pixel for pixel, so
// the landscape picture is exactly the upright one turned.
QImage turnedLeft(const QImage &upright)
{
    QImage turned(upright.height(), upright.width(), upright.format());
    for (int y = 0; y < turned.height(); ++y)
        for (int x = 0; x < turned.width(); ++x)
            turned.setPixel(x, y, upright.pixel(upright.width() - 1 - y, x));
    return turned;
}

PhoneShape upright(const PhoneShape &shape)
{
    return {shape.file, PhoneBody::Touch, shape.screen.transposed()};
}

struct Offer
{
    const char *name;
    const char *picture;
};

// S60 phones of the client's time, grouped by screen. The picture is chosen by size and build,
// not drawn after each model. The first is the one a fresh start shows: the client's own 240 x 320.
const Offer kOffers[] = {
    {"Nokia 6120 (240*320)", "keypad240x320.png"},
    {"Nokia 6600 (176*208)", "keypad176x208.png"},
    {"Nokia 6680 (176*208)", "keypad176x208.png"},
    {"Nokia 3250 (176*208)", "keypad176x208.png"},
    {"Nokia 5500 Sport (208*208)", "keypad208x208.png"},
    {"Nokia N95 (240*320)", "keypad240x320.png"},
    {"Nokia N73 (240*320)", "keypad240x320.png"},
    {"Nokia E51 (240*320)", "keypad240x320.png"},
    {"Nokia 5320 XpressMusic (240*320)", "keypad240x320.png"},
    {"Nokia E61i (320*240)", "qwerty320x240.png"},
    {"Nokia E71 (320*240)", "qwerty320x240.png"},
    {"Nokia E63 (320*240)", "qwerty320x240.png"},
    {"Nokia E72 (320*240)", "qwerty320x240.png"},
    {"Nokia E60 (352*416)", "keypad352x416.png"},
    {"Nokia N80 (352*416)", "keypad352x416.png"},
    {"Nokia 5800 XpressMusic (360*640)", "touch360x640.png"},
    {"Nokia 5530 XpressMusic (360*640)", "touch360x640.png"},
    {"Nokia X6 (360*640)", "touch360x640.png"},
    {"Nokia N97 mini (360*640)", "touch360x640.png"},
    {"Nokia N97 (640*360)", "touch640x360.png"},
    {"Nokia 5800 XpressMusic (640*360)", "touch640x360.png"},
    {"Nokia E90 Communicator (800*352)", "communicator800x352.png"},
};

// The explanation opening the model list; the example is the first model below it.
const char *const kHeaderTop[] = {
    "# Phones the preview can show. Every model below is offered in the list of screen sizes.",
    "#",
    "# To add a model, write four lines like these (without the \"# \"):",
};
const char *const kHeaderBottom[] = {
    "# The first names the model as the list shows it; it must start exactly with \"phone = \".",
    "# The next three give the screen size in pixels, WIDTH*HEIGHT (each side 128 to 1500),",
    "# where the screen's top-left pixel sits in the phone picture, X,Y, and the picture's",
    "# file name in this folder. Empty lines and lines starting with # may come between them.",
    "# A model whose size or position cannot be read is left out of the list.",
    "#",
    "# The picture is a PNG with transparency. The preview window takes the shape of its fully",
    "# opaque pixels and draws the screen over the rectangle at X,Y, so that rectangle must lie",
    "# inside the picture and be fully opaque. Models of the same size may share a picture.",
};

} // namespace

PhoneLayout phoneLayout(const PhoneShape &shape)
{
    if (shape.body == PhoneBody::TouchLandscape) {
        const PhoneLayout up = phoneLayout(upright(shape));
        return {up.picture.transposed(), QRect(QPoint(up.screen.y(), up.screen.x()), shape.screen)};
    }
    const BodyBands m = bandsOf(shape.body, shape.screen);
    return {QSize(shape.screen.width() + 2 * m.side, m.top + shape.screen.height() + m.bottom()),
            QRect(QPoint(m.side, m.top), shape.screen)};
}

QImage paintPhone(const PhoneShape &shape)
{
    if (shape.body == PhoneBody::TouchLandscape)
        return turnedLeft(paintPhone(upright(shape)));
    const PhoneLayout layout = phoneLayout(shape);
    const BodyBands bands = bandsOf(shape.body, shape.screen);
    QImage canvas(layout.picture, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        switch (shape.body) {
        case PhoneBody::Keypad:
            paintKeypadPhone(p, layout, bands);
            break;
        case PhoneBody::Qwerty:
            paintQwertyPhone(p, layout, bands);
            break;
        case PhoneBody::Communicator:
            paintCommunicator(p, layout, bands);
            break;
        case PhoneBody::Touch:
        case PhoneBody::TouchLandscape:
            paintTouchPhone(p, layout, bands);
            break;
        }
        // Last and unblended, so nothing painted before can leave it translucent or uneven.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(layout.screen, kOpening);
    }
    return canvas.convertToFormat(QImage::Format_ARGB32);
}

QList<PhoneShape> phoneShapes()
{
    return {
        {QStringLiteral("keypad176x208.png"), PhoneBody::Keypad, QSize(176, 208)},
        {QStringLiteral("keypad208x208.png"), PhoneBody::Keypad, QSize(208, 208)},
        {QStringLiteral("keypad240x320.png"), PhoneBody::Keypad, QSize(240, 320)},
        {QStringLiteral("qwerty320x240.png"), PhoneBody::Qwerty, QSize(320, 240)},
        {QStringLiteral("keypad352x416.png"), PhoneBody::Keypad, QSize(352, 416)},
        {QStringLiteral("touch360x640.png"), PhoneBody::Touch, QSize(360, 640)},
        {QStringLiteral("touch640x360.png"), PhoneBody::TouchLandscape, QSize(640, 360)},
        {QStringLiteral("communicator800x352.png"), PhoneBody::Communicator, QSize(800, 352)},
    };
}

QList<PhoneModel> shippedPhoneModels()
{
    const QList<PhoneShape> shapes = phoneShapes();
    QList<PhoneModel> models;
    for (const Offer &offer : kOffers) {
        const QString file = QString::fromLatin1(offer.picture);
        const auto shape = std::find_if(shapes.begin(), shapes.end(),
                                        [&](const PhoneShape &s) { return s.file == file; });
        Q_ASSERT(shape != shapes.end());
        const QRect screen = phoneLayout(*shape).screen;
        models.append({QString::fromLatin1(offer.name), screen.width(), screen.height(), screen.x(),
                       screen.y(), file});
    }
    return models;
}

QString phoneModelText(const QList<PhoneModel> &models)
{
    const auto block = [](const PhoneModel &model) {
        return QStringList{QStringLiteral("phone = ") + model.name,
                           QStringLiteral("%1*%2").arg(model.width).arg(model.height),
                           QStringLiteral("%1,%2").arg(model.x).arg(model.y), model.picture};
    };
    QStringList lines;
    for (const char *line : kHeaderTop)
        lines.append(QString::fromLatin1(line));
    if (!models.isEmpty()) {
        for (const QString &line : block(models.first()))
            lines.append(QStringLiteral("# ") + line);
    }
    for (const char *line : kHeaderBottom)
        lines.append(QString::fromLatin1(line));
    for (const PhoneModel &model : models) {
        lines.append(QString());
        lines.append(block(model));
    }
    lines.append(QString());
    return lines.join(QStringLiteral("\r\n"));
}

Result<void> writePhoneSet(const QString &dataFolder,
                           const std::function<void(const QString &)> &report)
{
    const QDir folder(QDir(dataFolder).filePath(QStringLiteral("mobiles")));
    if (!QDir().mkpath(folder.path()))
        return fail(Error::io(QStringLiteral("%1: cannot create the folder").arg(folder.path())));
    for (const PhoneShape &shape : phoneShapes()) {
        const auto png = encodePng(paintPhone(shape));
        if (!png)
            return fail(png.error());
        const QString path = folder.filePath(shape.file);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(*png) != png->size() || !file.commit())
            return fail(Error::io(QStringLiteral("%1: %2").arg(path, file.errorString())));
        report(QStringLiteral("mobiles/") + shape.file);
    }
    const QString base = folder.filePath(QStringLiteral("base.txt"));
    if (auto written = writeCp1251(base, phoneModelText(shippedPhoneModels())); !written)
        return written;
    report(QStringLiteral("mobiles/base.txt"));
    return {};
}
