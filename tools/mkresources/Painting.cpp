#include "Painting.h"

#include <QtMath>

namespace {

constexpr int kSupersample = 4;

} // namespace

QImage paintIcon(const std::function<void(QPainter &)> &draw)
{
    const int big = kIconSize * kSupersample;
    QImage canvas(big, big, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(kSupersample, kSupersample);
        draw(p);
    }

    // Box filter over premultiplied samples, then back to straight alpha.
    QImage icon(kIconSize, kIconSize, QImage::Format_ARGB32);
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            int r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSupersample; ++sy) {
                const auto *row =
                    reinterpret_cast<const QRgb *>(canvas.constScanLine(y * kSupersample + sy));
                for (int sx = 0; sx < kSupersample; ++sx) {
                    const QRgb s = row[x * kSupersample + sx];
                    r += qRed(s);
                    g += qGreen(s);
                    b += qBlue(s);
                    a += qAlpha(s);
                }
            }
            const int n = kSupersample * kSupersample;
            const int alpha = (a + n / 2) / n;
            if (alpha == 0) {
                icon.setPixel(x, y, qRgba(0, 0, 0, 0));
                continue;
            }
            // Un-premultiply from the sums, which keeps the full precision of the samples.
            auto channel = [&](int sum) {
                return qBound(0, (sum * 255 + a / 2) / a, 255);
            };
            icon.setPixel(x, y, qRgba(channel(r), channel(g), channel(b), alpha));
        }
    }
    return icon;
}

QImage iconPicture(const QImage &icon)
{
    QImage picture(icon.size(), QImage::Format_RGB32);
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb s = icon.pixel(x, y);
            picture.setPixel(x, y, qAlpha(s) == 0 ? qRgb(0, 0, 0) : (s | 0xff000000u));
        }
    return picture;
}

QImage iconMask(const QImage &icon)
{
    QImage mask(icon.size(), QImage::Format_RGB32);
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const int a = qAlpha(icon.pixel(x, y));
            mask.setPixel(x, y, qRgb(a, a, a));
        }
    return mask;
}

namespace draw {

QColor outlineOf(const QColor &base)
{
    QColor c = base.toHsv();
    const int value = qMax(0, int(c.value() * 0.48));
    const int saturation = qMin(255, int(c.hsvSaturation() * 1.1 + 20));
    return QColor::fromHsv(c.hsvHue(), c.hsvHue() < 0 ? 0 : saturation, value);
}

QBrush gloss(const QRectF &bounds, const QColor &base)
{
    QLinearGradient g(bounds.topLeft(), bounds.bottomLeft());
    g.setColorAt(0.0, base.lighter(150));
    g.setColorAt(0.55, base);
    g.setColorAt(1.0, base.darker(112));
    return g;
}

void shape(QPainter &p, const QPainterPath &path, const QColor &base, const QColor &outline)
{
    p.save();
    p.setPen(QPen(outline, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(gloss(path.boundingRect(), base));
    p.drawPath(path);
    p.restore();
}

void shape(QPainter &p, const QPainterPath &path, const QColor &base)
{
    shape(p, path, base, outlineOf(base));
}

void ellipse(QPainter &p, const QRectF &r, const QColor &base)
{
    shape(p, ellipsePath(r), base);
}

void roundRect(QPainter &p, const QRectF &r, qreal radius, const QColor &base)
{
    shape(p, roundRectPath(r, radius), base);
}

void polygon(QPainter &p, const QPolygonF &points, const QColor &base)
{
    shape(p, polygonPath(points), base);
}

void flat(QPainter &p, const QPainterPath &path, const QColor &colour)
{
    p.fillPath(path, colour);
}

void flatRect(QPainter &p, const QRectF &r, const QColor &colour)
{
    p.fillRect(r, colour);
}

void line(QPainter &p, QPointF a, QPointF b, const QColor &colour, qreal width)
{
    p.save();
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(a, b);
    p.restore();
}

void polyline(QPainter &p, const QPolygonF &points, const QColor &colour, qreal width)
{
    p.save();
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(points);
    p.restore();
}

void arc(QPainter &p, const QRectF &r, qreal startDegrees, qreal spanDegrees, const QColor &colour,
         qreal width)
{
    QPainterPath path;
    path.arcMoveTo(r, startDegrees);
    path.arcTo(r, startDegrees, spanDegrees);
    stroke(p, path, colour, width);
}

void stroke(QPainter &p, const QPainterPath &path, const QColor &colour, qreal width)
{
    p.save();
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

QPainterPath merged(QPainterPath path)
{
    path.setFillRule(Qt::WindingFill);
    return path.simplified();
}

QPainterPath ellipsePath(const QRectF &r)
{
    QPainterPath path;
    path.addEllipse(r);
    return path;
}

QPainterPath roundRectPath(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath polygonPath(const QPolygonF &points)
{
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

QPainterPath heartPath(const QRectF &r)
{
    const qreal w = r.width(), h = r.height();
    const qreal x = r.left(), y = r.top();
    QPainterPath path;
    path.moveTo(x + w / 2, y + h);
    path.cubicTo(x + w * 0.28, y + h * 0.80, x, y + h * 0.58, x, y + h * 0.30);
    path.cubicTo(x, y + h * 0.08, x + w * 0.16, y, x + w * 0.28, y);
    path.cubicTo(x + w * 0.40, y, x + w * 0.48, y + h * 0.10, x + w / 2, y + h * 0.22);
    path.cubicTo(x + w * 0.52, y + h * 0.10, x + w * 0.60, y, x + w * 0.72, y);
    path.cubicTo(x + w * 0.84, y, x + w, y + h * 0.08, x + w, y + h * 0.30);
    path.cubicTo(x + w, y + h * 0.58, x + w * 0.72, y + h * 0.80, x + w / 2, y + h);
    path.closeSubpath();
    return path;
}

QPainterPath starPath(QPointF c, qreal outer, qreal inner)
{
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 == 0 ? outer : inner;
        const qreal angle = qDegreesToRadians(-90.0 + 36.0 * i);
        points << QPointF(c.x() + radius * qCos(angle), c.y() + radius * qSin(angle));
    }
    return polygonPath(points);
}

} // namespace draw
