#include "IconSets.h"
#include "Motifs.h"
#include "PixelFont.h"

#include <QtMath>

// Client and platform badges, shown at the right end of a contact row. They stand for kinds of
// messenger, not for real products: a letter on a coloured shape, or a device symbol. Shape
// and colour vary together so that neighbours in a list differ at a glance.

namespace {

enum class Shape { Circle, Square, Bubble };

QImage letterBadge(Shape shape, const QColor &base, const QString &text)
{
    return paintIcon([&](QPainter &p) {
        qreal textTop = 4.0;
        switch (shape) {
        case Shape::Circle:
            draw::ellipse(p, QRectF(0.5, 0.5, 15.0, 15.0), base);
            break;
        case Shape::Square:
            draw::roundRect(p, QRectF(0.5, 0.5, 15.0, 15.0), 3.0, base);
            break;
        case Shape::Bubble:
            draw::shape(p, motif::bubblePath(QRectF(0.5, 0.5, 15.0, 12.0), true), base);
            textTop = 3.0;
            break;
        }
        const PixelFont font = text.size() == 1 ? PixelFont::Large : PixelFont::Small;
        const int width = textWidth(font, text);
        const qreal x = qFloor((16 - width) / 2.0);
        const qreal y = font == PixelFont::Large ? textTop : textTop + 1.0;
        drawPixelText(p, font, text, x, y, pal::white);
    });
}

QImage mobile()
{
    return paintIcon([](QPainter &p) {
        draw::roundRect(p, QRectF(3.5, 0.5, 9.0, 15.0), 2.0, pal::dark);
        draw::flatRect(p, QRectF(5.0, 2.5, 6.0, 5.0), QColor(0x9c, 0xe0, 0x7a));
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                draw::flatRect(p, QRectF(5.0 + col * 2.2, 9.0 + row * 2.0, 1.4, 1.2),
                               pal::grey.lighter(120));
    });
}

QImage smartphone()
{
    return paintIcon([](QPainter &p) {
        draw::roundRect(p, QRectF(3.0, 0.5, 10.0, 15.0), 2.0, QColor(0x2a, 0x2e, 0x36));
        QLinearGradient screen(QPointF(0, 2), QPointF(0, 13));
        screen.setColorAt(0, QColor(0x6c, 0xc4, 0xff));
        screen.setColorAt(1, QColor(0x2a, 0x60, 0xc8));
        p.fillRect(QRectF(4.5, 2.0, 7.0, 10.5), screen);
        draw::flat(p, draw::ellipsePath(QRectF(7.2, 13.2, 1.6, 1.4)), pal::grey);
    });
}

QImage desktop()
{
    return paintIcon([](QPainter &p) {
        draw::roundRect(p, QRectF(0.5, 1.0, 15.0, 10.5), 1.2, QColor(0x70, 0x76, 0x84));
        QLinearGradient screen(QPointF(0, 2.5), QPointF(0, 10));
        screen.setColorAt(0, QColor(0x8c, 0xd4, 0xff));
        screen.setColorAt(1, QColor(0x30, 0x74, 0xd0));
        p.fillRect(QRectF(2.0, 2.5, 12.0, 7.5), screen);
        draw::flatRect(p, QRectF(6.5, 11.5, 3.0, 2.0), QColor(0x70, 0x76, 0x84).darker(130));
        draw::roundRect(p, QRectF(3.5, 13.0, 9.0, 2.5), 0.8, QColor(0x70, 0x76, 0x84));
    });
}

QImage laptop()
{
    return paintIcon([](QPainter &p) {
        draw::roundRect(p, QRectF(2.5, 2.0, 11.0, 8.5), 1.0, QColor(0x60, 0x66, 0x74));
        QLinearGradient screen(QPointF(0, 3.5), QPointF(0, 9));
        screen.setColorAt(0, QColor(0x8c, 0xd4, 0xff));
        screen.setColorAt(1, QColor(0x30, 0x74, 0xd0));
        p.fillRect(QRectF(3.8, 3.3, 8.4, 6.0), screen);
        draw::polygon(p,
                      QPolygonF{QPointF(2.0, 11.0), QPointF(14.0, 11.0), QPointF(15.5, 14.5),
                                QPointF(0.5, 14.5)},
                      QColor(0xb0, 0xb6, 0xc2));
    });
}

QImage globe()
{
    return paintIcon([](QPainter &p) {
        const QRectF r(0.5, 0.5, 15.0, 15.0);
        const QColor sea(0x2a, 0x9c, 0xa8);
        draw::ellipse(p, r, sea);
        const QColor ink = pal::white;
        draw::stroke(p, draw::ellipsePath(QRectF(4.8, 1.0, 6.4, 14.0)), ink, 0.9);
        draw::line(p, QPointF(8, 1.0), QPointF(8, 15.0), ink, 0.9);
        draw::line(p, QPointF(1.0, 8), QPointF(15.0, 8), ink, 0.9);
        draw::line(p, QPointF(2.2, 4.6), QPointF(13.8, 4.6), ink, 0.8);
        draw::line(p, QPointF(2.2, 11.4), QPointF(13.8, 11.4), ink, 0.8);
        draw::stroke(p, draw::ellipsePath(r), draw::outlineOf(sea), 1.0);
    });
}

QImage robot()
{
    return paintIcon([](QPainter &p) {
        const QColor metal(0x9a, 0xa4, 0xb4);
        draw::line(p, QPointF(8.0, 3.5), QPointF(8.0, 1.5), pal::dark, 1.0);
        draw::ellipse(p, QRectF(6.8, 0.3, 2.4, 2.4), pal::red);
        draw::roundRect(p, QRectF(1.5, 3.5, 13.0, 11.0), 2.5, metal);
        draw::roundRect(p, QRectF(3.5, 6.0, 3.5, 3.5), 1.0, pal::sky);
        draw::roundRect(p, QRectF(9.0, 6.0, 3.5, 3.5), 1.0, pal::sky);
        draw::flatRect(p, QRectF(5.0, 11.0, 6.0, 1.4), pal::dark);
        draw::flatRect(p, QRectF(0.3, 7.0, 1.2, 3.0), pal::dark);
        draw::flatRect(p, QRectF(14.5, 7.0, 1.2, 3.0), pal::dark);
    });
}

QImage cogwheel()
{
    return paintIcon([](QPainter &p) { motif::gear(p, QPointF(8, 8), 7.4, 5.2, 8, pal::steel); });
}

QImage unknown()
{
    return paintIcon([](QPainter &p) {
        draw::roundRect(p, QRectF(0.5, 0.5, 15.0, 15.0), 3.0, pal::grey);
        drawPixelText(p, PixelFont::Large, QStringLiteral("?"), 5.0, 4.0, pal::white);
    });
}

QImage terminal()
{
    return paintIcon([](QPainter &p) {
        draw::roundRect(p, QRectF(0.5, 1.5, 15.0, 13.0), 1.6, QColor(0x26, 0x2a, 0x30));
        draw::flatRect(p, QRectF(1.0, 2.0, 14.0, 2.0), QColor(0x60, 0x66, 0x74));
        const QColor glow(0x7c, 0xf0, 0x6a);
        draw::polyline(p, QPolygonF{QPointF(3.5, 6.5), QPointF(6.0, 8.8), QPointF(3.5, 11.1)}, glow,
                       1.2);
        draw::line(p, QPointF(7.5, 11.5), QPointF(11.5, 11.5), glow, 1.2);
    });
}

QImage tablet()
{
    return paintIcon([](QPainter &p) {
        draw::roundRect(p, QRectF(0.5, 2.0, 15.0, 12.0), 2.0, QColor(0xe4, 0xe8, 0xee));
        QLinearGradient screen(QPointF(0, 3.5), QPointF(0, 12.5));
        screen.setColorAt(0, QColor(0xff, 0xc8, 0x80));
        screen.setColorAt(1, QColor(0xe0, 0x60, 0x60));
        p.fillRect(QRectF(2.0, 3.5, 10.5, 9.0), screen);
        draw::flat(p, draw::ellipsePath(QRectF(13.2, 7.2, 1.6, 1.6)), pal::grey);
    });
}

QImage lightning()
{
    return paintIcon([](QPainter &p) {
        draw::polygon(p,
                      QPolygonF{QPointF(9.5, 0.5), QPointF(2.5, 9.0), QPointF(7.5, 9.0),
                                QPointF(5.5, 15.5), QPointF(13.5, 6.0), QPointF(8.5, 6.0),
                                QPointF(11.0, 0.5)},
                      QColor(0xff, 0xc4, 0x10));
    });
}

QImage star()
{
    return paintIcon([](QPainter &p) {
        draw::shape(p, draw::starPath(QPointF(8, 8.6), 7.8, 3.4), pal::yellow);
    });
}

QImage cloud()
{
    return paintIcon([](QPainter &p) {
        QPainterPath c;
        c.addEllipse(QRectF(1.0, 5.5, 7.0, 7.0));
        c.addEllipse(QRectF(4.5, 2.5, 8.0, 8.0));
        c.addEllipse(QRectF(9.0, 6.0, 6.5, 6.5));
        c.addRoundedRect(QRectF(1.0, 8.5, 14.5, 5.0), 2.5, 2.5);
        draw::shape(p, draw::merged(c), QColor(0x8c, 0xc8, 0xf4));
    });
}

QImage secure()
{
    return paintIcon(
        [](QPainter &p) { motif::padlock(p, QRectF(2.5, 0.5, 11.0, 15.0), pal::yellow); });
}

} // namespace

IconList clientIcons()
{
    NumberedIcons list(QStringLiteral("ICQ/Clients.mbm"), 43);
    const QColor teal(0x1e, 0xa0, 0x96);
    const struct
    {
        const char *label;
        Shape shape;
        QColor colour;
    } letters[] = {
        {"T", Shape::Bubble, pal::blue},    {"Q", Shape::Circle, pal::green},
        {"M", Shape::Square, pal::orange},  {"J", Shape::Circle, teal},
        {"K", Shape::Square, pal::purple},  {"S", Shape::Bubble, pal::sky.darker(115)},
        {"P", Shape::Circle, pal::red},     {"R", Shape::Square, pal::navy},
        {"N", Shape::Circle, pal::brown},   {"V", Shape::Bubble, pal::leaf},
        {"G", Shape::Square, pal::red},     {"L", Shape::Circle, pal::orange},
        {"B", Shape::Square, teal},         {"D", Shape::Bubble, pal::purple},
        {"W", Shape::Circle, pal::navy},    {"E", Shape::Square, pal::pink.darker(115)},
        {"A", Shape::Circle, pal::dark},    {"I", Shape::Bubble, pal::brown},
        {"Z", Shape::Square, pal::leaf},    {"X", Shape::Circle, pal::purple},
        {"C", Shape::Square, pal::blue},    {"F", Shape::Circle, pal::pink.darker(115)},
        {"H", Shape::Bubble, pal::orange},  {"U", Shape::Square, pal::steel},
        {"Y", Shape::Circle, teal},         {"O", Shape::Bubble, pal::red},
        {"IM", Shape::Square, pal::green},  {"S60", Shape::Square, pal::navy},
        {"ME", Shape::Circle, pal::orange},
    };
    int number = 0;
    for (const auto &letter : letters) {
        list.set(number, QStringLiteral("letter %1").arg(QLatin1String(letter.label)),
                 letterBadge(letter.shape, letter.colour, QString::fromLatin1(letter.label)));
        number += 2;
    }
    const struct
    {
        const char *name;
        QImage (*paint)();
    } symbols[] = {
        {"mobile phone", mobile},
        {"smartphone", smartphone},
        {"desktop", desktop},
        {"laptop", laptop},
        {"web", globe},
        {"bot", robot},
        {"custom build", cogwheel},
        {"unknown", unknown},
        {"console", terminal},
        {"tablet", tablet},
        {"lightweight", lightning},
        {"favourite", star},
        {"cloud", cloud},
        {"encrypted", secure},
    };
    for (const auto &symbol : symbols) {
        list.set(number, QString::fromLatin1(symbol.name), symbol.paint());
        number += 2;
    }
    return list.take();
}
