#include "SampleSkins.h"

#include "containers/PictureCodecs.h"
#include "platform/FileOps.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kW = kSkinBackgroundSize.width();
constexpr int kH = kSkinBackgroundSize.height();

QColor hex(quint32 rgb, int alpha = 255)
{
    return QColor(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF), alpha);
}

// The slots by role, so a skin's table reads as what each colour is for. The reserve slots
// paint nothing on the screens the designer shows; they get the contact colour, so that
// whatever a client writes in them stays legible on the background.
struct Palette
{
    quint32 contactNick;
    quint32 cursorNick;
    quint32 clock;
    quint32 separator;
    quint32 softkeys;
    quint32 menuBackground;
    quint32 menuText;
    quint32 menuFrame;
    quint32 menuCursor;
    quint32 menuCursorText;
    quint32 editorText; // on the editor's white field
    quint32 theirNick;
    quint32 ownNick;
    quint32 message;
    quint32 xStatus;
    quint32 blinkingNick;
};

std::array<TColor, kSlotCount> slotsOf(const Palette &p)
{
    std::array<TColor, kSlotCount> table{};
    const auto set = [&](int slot, quint32 rgb) {
        table[slot] = makeColor(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF));
    };
    set(Slot::ContactNick, p.contactNick);
    set(Slot::CursorNick, p.cursorNick);
    set(Slot::Clock, p.clock);
    set(Slot::Separator, p.separator);
    set(Slot::LeftSoftkey, p.softkeys);
    set(Slot::RightSoftkey, p.softkeys);
    set(Slot::MenuBackground, p.menuBackground);
    set(Slot::MenuText, p.menuText);
    set(Slot::MenuFrame, p.menuFrame);
    set(Slot::MenuCursor, p.menuCursor);
    set(Slot::MenuCursorText, p.menuCursorText);
    set(Slot::EditorText, p.editorText);
    set(Slot::Reserve1, p.contactNick);
    set(Slot::ChatTheirNick, p.theirNick);
    set(Slot::ChatOwnNick, p.ownNick);
    set(Slot::ChatMessage, p.message);
    set(Slot::ChatXStatus, p.xStatus);
    set(Slot::BlinkingNick, p.blinkingNick);
    set(Slot::Reserve2, p.contactNick);
    set(Slot::Reserve3, p.contactNick);
    return table;
}

// Slots whose text lies straight on the background: the contact list, the clock, the softkeys,
// the chat partner's nick in the chat title and the whole conversation.
constexpr int kTextOnBackground[] = {
    Slot::ContactNick,  Slot::Clock,       Slot::Separator,     Slot::LeftSoftkey,
    Slot::RightSoftkey, Slot::MenuText,    Slot::ChatTheirNick, Slot::ChatOwnNick,
    Slot::ChatMessage,  Slot::ChatXStatus, Slot::BlinkingNick,
};

QImage canvas()
{
    QImage image(kSkinBackgroundSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A box blur run three times each way, close to a Gaussian of about the same radius. The
// picture's border pixels stand in for what lies beyond it, so edges neither darken nor fade.
QImage blurred(const QImage &source, int radius)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = image.width();
    const int h = image.height();
    const auto pass = [&](bool horizontal) {
        const int lines = horizontal ? h : w;
        const int length = horizontal ? w : h;
        std::vector<QRgb> line(static_cast<std::size_t>(length));
        for (int l = 0; l < lines; ++l) {
            const auto at = [&](int i) -> QRgb & {
                auto *row = reinterpret_cast<QRgb *>(image.scanLine(horizontal ? l : i));
                return row[horizontal ? i : l];
            };
            for (int i = 0; i < length; ++i)
                line[std::size_t(i)] = at(i);
            int a = 0, r = 0, g = 0, b = 0;
            const auto sample = [&](int i) {
                return line[std::size_t(std::clamp(i, 0, length - 1))];
            };
            for (int i = -radius; i <= radius; ++i) {
                const QRgb s = sample(i);
                a += qAlpha(s);
                r += qRed(s);
                g += qGreen(s);
                b += qBlue(s);
            }
            const int n = 2 * radius + 1;
            for (int i = 0; i < length; ++i) {
                at(i) = qRgba((r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n, (a + n / 2) / n);
                const QRgb out = sample(i - radius);
                const QRgb in = sample(i + radius + 1);
                a += qAlpha(in) - qAlpha(out);
                r += qRed(in) - qRed(out);
                g += qGreen(in) - qGreen(out);
                b += qBlue(in) - qBlue(out);
            }
        }
    };
    for (int round = 0; round < 3; ++round) {
        pass(true);
        pass(false);
    }
    return image;
}

// A random source whose numbers are the same on every platform and library: the engine's raw
// output is specified, the standard distributions are not.
class Scatter
{
public:
    explicit Scatter(std::uint32_t seed)
        : m_engine(seed)
    {}
    double uniform(double from, double to)
    {
        return from + (to - from) * (double(m_engine()) / 4294967296.0);
    }

private:
    std::mt19937 m_engine;
};

void stroke(QPainter &p, const QPainterPath &path, const QColor &colour, qreal width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

QPainterPath curve(QPointF from, QPointF c1, QPointF c2, QPointF to)
{
    QPainterPath path(from);
    path.cubicTo(c1, c2, to);
    return path;
}

// A night sky in deep blue and violet with three soft bands of northern light, their curtains
// rising from them, and a few faint stars; darkest where the softkeys and the clock sit.
QImage auroraBackground()
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kH);
    sky.setColorAt(0.0, hex(0x070b26));
    sky.setColorAt(0.45, hex(0x110f3d));
    sky.setColorAt(0.75, hex(0x190d38));
    sky.setColorAt(1.0, hex(0x070819));
    p.fillRect(image.rect(), sky);

    const QPainterPath high = curve({-30, 58}, {50, 10}, {170, 105}, {270, 28});
    const QPainterPath middle = curve({-30, 175}, {70, 70}, {150, 185}, {270, 92});
    const QPainterPath low = curve({-30, 200}, {90, 178}, {160, 255}, {270, 190});

    QImage glow = canvas();
    {
        QPainter g(&glow);
        g.setRenderHint(QPainter::Antialiasing);
        stroke(g, high, hex(0x3a7bff, 60), 22);
        stroke(g, middle, hex(0x2fd6a8, 70), 30);
        stroke(g, low, hex(0x9a5cff, 60), 34);
    }
    p.setCompositionMode(QPainter::CompositionMode_Screen);
    p.drawImage(0, 0, blurred(glow, 9));

    // The curtains: light rising from each band and fading out upwards, in waves of height.
    QImage rays = canvas();
    {
        QPainter r(&rays);
        r.setRenderHint(QPainter::Antialiasing);
        const struct
        {
            const QPainterPath &band;
            quint32 colour;
            double reach;
            double phase;
        } curtains[] = {
            {high, 0x6f9cff, 34, 0.0},
            {middle, 0x5cf0c0, 56, 1.3},
            {low, 0xb486ff, 44, 2.6},
        };
        for (const auto &curtain : curtains) {
            constexpr int kRays = 70;
            for (int i = 0; i <= kRays; ++i) {
                const QPointF foot = curtain.band.pointAtPercent(double(i) / kRays);
                const double height =
                    curtain.reach * (0.55 + 0.45 * std::sin(i * 0.45 + curtain.phase) *
                                                std::sin(i * 0.13 + 2 * curtain.phase));
                QLinearGradient fade(foot, foot - QPointF(0, height));
                fade.setColorAt(0.0, hex(curtain.colour, 80));
                fade.setColorAt(1.0, hex(curtain.colour, 0));
                r.setPen(QPen(QBrush(fade), 2.2, Qt::SolidLine, Qt::FlatCap));
                r.drawLine(foot + QPointF(0, 4), foot - QPointF(0, height));
            }
        }
    }
    p.drawImage(0, 0, blurred(rays, 1));

    QImage cores = canvas();
    {
        QPainter g(&cores);
        g.setRenderHint(QPainter::Antialiasing);
        stroke(g, high, hex(0x9cc0ff, 80), 2);
        stroke(g, middle, hex(0x9ff5d8, 100), 2.5);
        stroke(g, low, hex(0xd2b4ff, 80), 2.5);
    }
    p.drawImage(0, 0, blurred(cores, 2));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    Scatter scatter(2026);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 34; ++i) {
        const QPointF at(scatter.uniform(4, kW - 4), scatter.uniform(4, kH * 0.72));
        const double r = scatter.uniform(0.45, 1.0);
        p.setBrush(hex(0xeef2ff, int(scatter.uniform(70, 170))));
        p.drawEllipse(at, r, r);
    }

    QRadialGradient vignette(kW / 2.0, kH * 0.42, kH * 0.8);
    vignette.setColorAt(0.55, hex(0x000008, 0));
    vignette.setColorAt(1.0, hex(0x000008, 120));
    p.fillRect(image.rect(), vignette);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

// Pale birch bark: warm paper tones, faint horizontal fibres, clusters of the bark's dark
// dashes kept light, and a few soft golden leaves in the top corner.
QImage birchBackground()
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient paper(0, 0, kW * 0.3, kH);
    paper.setColorAt(0.0, hex(0xfcf9f1));
    paper.setColorAt(0.6, hex(0xf5eedf));
    paper.setColorAt(1.0, hex(0xeee3cc));
    p.fillRect(image.rect(), paper);

    Scatter scatter(1707);
    QImage fibres = canvas();
    {
        QPainter f(&fibres);
        f.setRenderHint(QPainter::Antialiasing);
        f.setPen(Qt::NoPen);
        for (int i = 0; i < 14; ++i) {
            const double y = scatter.uniform(0, kH);
            const double height = scatter.uniform(6, 22);
            f.setBrush(hex(0xb89a70, int(scatter.uniform(10, 24))));
            f.drawRect(QRectF(-10, y, kW + 20, height));
        }
    }
    p.drawImage(0, 0, blurred(fibres, 5));

    QImage marks = canvas();
    {
        QPainter m(&marks);
        m.setRenderHint(QPainter::Antialiasing);
        // Clusters near the edges, where the bark curves away, with a few strays between.
        const QPointF clusters[] = {{18, 95}, {222, 150}, {30, 245}, {210, 40}, {130, 205}};
        for (const QPointF &centre : clusters) {
            const int count = int(scatter.uniform(4, 8));
            for (int i = 0; i < count; ++i) {
                const double x = centre.x() + scatter.uniform(-22, 22);
                const double y = centre.y() + scatter.uniform(-16, 16);
                const double length = scatter.uniform(6, 26);
                const double thickness = scatter.uniform(0.8, 2.0);
                QPainterPath dash;
                dash.moveTo(x - length / 2, y);
                dash.quadTo(x, y - thickness * 0.6, x + length / 2, y);
                stroke(m, dash, hex(0x5e4e3e, int(scatter.uniform(40, 75))), thickness);
            }
        }
    }
    p.drawImage(0, 0, marks);

    QRadialGradient light(kW * 0.2, kH * 0.08, kH * 0.7);
    light.setColorAt(0.0, hex(0xffffff, 120));
    light.setColorAt(1.0, hex(0xffffff, 0));
    p.fillRect(image.rect(), light);

    QImage leaves = canvas();
    {
        QPainter l(&leaves);
        l.setRenderHint(QPainter::Antialiasing);
        const struct
        {
            QPointF at;
            double angle;
            double size;
        } placed[] = {{{212, 22}, 35, 15}, {{228, 48}, 110, 11}, {{190, 12}, -20, 10}};
        for (const auto &leaf : placed) {
            l.save();
            l.translate(leaf.at);
            l.rotate(leaf.angle);
            QPainterPath shape;
            shape.moveTo(-leaf.size, 0);
            shape.quadTo(0, -leaf.size * 0.6, leaf.size, 0);
            shape.quadTo(0, leaf.size * 0.6, -leaf.size, 0);
            l.setPen(Qt::NoPen);
            l.setBrush(hex(0xe0b85a, 70));
            l.drawPath(shape);
            stroke(
                l,
                curve({-leaf.size, 0}, {-leaf.size / 3, -1}, {leaf.size / 3, -1}, {leaf.size, 0}),
                hex(0xb8913a, 60), 0.8);
            l.restore();
        }
    }
    p.drawImage(0, 0, blurred(leaves, 1));
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

// Neutral graphite: a soft light from the top, wide diagonal sheen, a fine diagonal grain, and
// an orange arc with its glow coming in from the bottom right.
QImage graphiteBackground()
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient base(0, 0, 0, kH);
    base.setColorAt(0.0, hex(0x383b40));
    base.setColorAt(0.55, hex(0x26282c));
    base.setColorAt(1.0, hex(0x1a1b1e));
    p.fillRect(image.rect(), base);

    QImage sheen = canvas();
    {
        QPainter s(&sheen);
        s.setRenderHint(QPainter::Antialiasing);
        s.setPen(Qt::NoPen);
        s.setBrush(hex(0xffffff, 12));
        s.drawPolygon(QPolygonF({{-20, 150}, {150, -20}, {200, -20}, {-20, 200}}));
        s.setBrush(hex(0xffffff, 10));
        s.drawPolygon(QPolygonF({{40, 340}, {260, 120}, {260, 150}, {70, 340}}));
    }
    p.drawImage(0, 0, blurred(sheen, 10));

    p.setPen(QPen(hex(0xffffff, 7), 1));
    for (int d = -kH; d < kW; d += 6)
        p.drawLine(QPointF(d, kH), QPointF(d + kH, 0));

    QImage glow = canvas();
    {
        QPainter g(&glow);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(QPen(hex(0xff8a2a, 60), 12));
        g.setBrush(Qt::NoBrush);
        g.drawEllipse(QPointF(270, 350), 170, 170);
    }
    p.drawImage(0, 0, blurred(glow, 6));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(hex(0xff8a2a, 210), 1.6));
    p.drawEllipse(QPointF(270, 350), 170, 170);
    p.setPen(QPen(hex(0xff8a2a, 90), 1));
    p.drawEllipse(QPointF(270, 350), 184, 184);

    QRadialGradient light(kW * 0.5, -kH * 0.1, kH * 0.75);
    light.setColorAt(0.0, hex(0xffffff, 14));
    light.setColorAt(1.0, hex(0xffffff, 0));
    p.fillRect(image.rect(), light);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

// A spring meadow in the sun: a pale yellow-green sky with a warm glow, and three soft rolling
// hills in fresh greens, every one light enough for dark text.
QImage meadowBackground()
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kH);
    sky.setColorAt(0.0, hex(0xf6fbdc));
    sky.setColorAt(0.6, hex(0xfdfdee));
    sky.setColorAt(1.0, hex(0xf2f8d4));
    p.fillRect(image.rect(), sky);

    QRadialGradient sun(kW * 0.82, kH * 0.1, kH * 0.55);
    sun.setColorAt(0.0, hex(0xfff3a0, 200));
    sun.setColorAt(0.35, hex(0xfff6b8, 90));
    sun.setColorAt(1.0, hex(0xfff6b8, 0));
    p.fillRect(image.rect(), sun);

    const struct
    {
        QPainterPath outline;
        QColor top;
        QColor bottom;
    } hills[] = {
        {curve({-10, 222}, {60, 188}, {140, 214}, {250, 186}), hex(0xe4f3b4), hex(0xd6eca0)},
        {curve({-10, 262}, {70, 232}, {160, 272}, {250, 240}), hex(0xd2eba0), hex(0xc3e389)},
        {curve({-10, 300}, {60, 280}, {170, 304}, {250, 282}), hex(0xc3e38a), hex(0xb3da76)},
    };
    for (const auto &hill : hills) {
        QPainterPath filled = hill.outline;
        filled.lineTo(250, kH + 10);
        filled.lineTo(-10, kH + 10);
        filled.closeSubpath();
        const QRectF box = filled.boundingRect();
        QLinearGradient fill(0, box.top(), 0, box.bottom());
        fill.setColorAt(0.0, hill.top);
        fill.setColorAt(1.0, hill.bottom);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPath(filled);
        stroke(p, hill.outline, hex(0xfbffe6, 150), 1.4);
    }

    // Small daisies scattered over the two near hills, thinning out towards the top.
    Scatter scatter(404);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 46; ++i) {
        const double x = scatter.uniform(4, kW - 4);
        const double y = 244 + std::pow(scatter.uniform(0, 1), 0.6) * (kH - 250);
        const double r = scatter.uniform(1.1, 1.9) * (0.7 + 0.3 * (y - 244) / (kH - 244));
        p.setBrush(hex(0xffffff, 200));
        for (int petal = 0; petal < 5; ++petal) {
            const double a = petal * 2 * M_PI / 5 + x;
            p.drawEllipse(QPointF(x + std::cos(a) * r, y + std::sin(a) * r), r * 0.7, r * 0.7);
        }
        p.setBrush(hex(0xf6c82a));
        p.drawEllipse(QPointF(x, y), r * 0.55, r * 0.55);
    }

    // A few soft clouds in the sky.
    QImage clouds = canvas();
    {
        QPainter c(&clouds);
        c.setRenderHint(QPainter::Antialiasing);
        c.setPen(Qt::NoPen);
        c.setBrush(hex(0xffffff, 170));
        const QRectF puffs[] = {{22, 58, 70, 16},
                                {44, 48, 36, 20},
                                {120, 110, 64, 13},
                                {138, 102, 30, 16},
                                {30, 150, 44, 10}};
        for (const QRectF &puff : puffs)
            c.drawEllipse(puff);
    }
    p.drawImage(0, 0, blurred(clouds, 3));
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

// The export keeps bitmaps at 16 bits per pixel (5 bits of red and blue, 6 of green), which
// turns smooth gradients into visible bands. An ordered dither to exactly the colours that depth
// holds spreads each step into a fine even pattern, and the converter then keeps every pixel as
// it is: it truncates each channel to its bits, and expands code c back to c * 255 / (2^n - 1).
QImage ditheredForBitmaps(const QImage &picture)
{
    static constexpr int kBayer[4][4] = {
        {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const auto channel = [](int value, int bits, double threshold) {
        const int top = (1 << bits) - 1;
        const int code = std::clamp(int(std::floor(value * top / 255.0 + threshold)), 0, top);
        return code * 255 / top;
    };
    QImage image = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double t = (kBayer[y % 4][x % 4] + 0.5) / 16.0;
            const QRgb s = row[x];
            row[x] =
                qRgb(channel(qRed(s), 5, t), channel(qGreen(s), 6, t), channel(qBlue(s), 5, t));
        }
    }
    return image;
}

double channelToLinear(int value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * channelToLinear(c.red()) + 0.7152 * channelToLinear(c.green()) +
           0.0722 * channelToLinear(c.blue());
}

} // namespace

QList<SampleSkin> sampleSkins()
{
    return {
        {
            QStringLiteral("aurora"),
            QStringLiteral("Aurora"),
            slotsOf({
                .contactNick = 0xdfe6ff,
                .cursorNick = 0xffffff,
                .clock = 0x9fe9ff,
                .separator = 0xc4d0ff,
                .softkeys = 0xf2f4ff,
                .menuBackground = 0x16143a,
                .menuText = 0xe2e6ff,
                .menuFrame = 0x6d61d6,
                .menuCursor = 0x3b3290,
                .menuCursorText = 0xffffff,
                .editorText = 0x2b2280,
                .theirNick = 0xffc4e4,
                .ownNick = 0x9fdcff,
                .message = 0xf0f2ff,
                .xStatus = 0xb4f5cc,
                .blinkingNick = 0x7ff5b4,
            }),
            {hex(0x4a30b4), hex(0x2c1c7c), hex(0x9a8cff)},
            false,
            auroraBackground,
        },
        {
            QStringLiteral("birch"),
            QStringLiteral("Birch"),
            slotsOf({
                .contactNick = 0x3a2a1a,
                .cursorNick = 0x2a1c0e,
                .clock = 0x5a4630,
                .separator = 0x6c4e26,
                .softkeys = 0x2e2216,
                .menuBackground = 0xf1e6cf,
                .menuText = 0x33261a,
                .menuFrame = 0x9a7a52,
                .menuCursor = 0xdcc291,
                .menuCursorText = 0x24180c,
                .editorText = 0x4a3418,
                .theirNick = 0x9c3a1e,
                .ownNick = 0x2e5a78,
                .message = 0x2e2418,
                .xStatus = 0x6a5a1c,
                .blinkingNick = 0x983c14,
            }),
            {hex(0xfbe8b8), hex(0xe2bf78), hex(0xa88048)},
            false,
            birchBackground,
        },
        {
            QStringLiteral("graphite"),
            QStringLiteral("Graphite"),
            slotsOf({
                .contactNick = 0xe4e5e8,
                .cursorNick = 0x17120c,
                .clock = 0xffb468,
                .separator = 0xffc07e,
                .softkeys = 0xf0f0f2,
                .menuBackground = 0x2a2c30,
                .menuText = 0xe8e8ea,
                .menuFrame = 0x5c6068,
                .menuCursor = 0xf08a24,
                .menuCursorText = 0x141210,
                .editorText = 0x2a2c30,
                .theirNick = 0xffbc7c,
                .ownNick = 0x9ccaff,
                .message = 0xeeeef0,
                .xStatus = 0xc6c8cc,
                .blinkingNick = 0xffc27a,
            }),
            {hex(0xffb25c), hex(0xe0741a), hex(0x9a4a0c)},
            false,
            graphiteBackground,
        },
        {
            QStringLiteral("meadow"),
            QStringLiteral("Meadow"),
            slotsOf({
                .contactNick = 0x1f3a12,
                .cursorNick = 0x223008,
                .clock = 0x2f560c,
                .separator = 0x345810,
                .softkeys = 0x1c3010,
                .menuBackground = 0xf5fae2,
                .menuText = 0x1e3210,
                .menuFrame = 0x6a9a30,
                .menuCursor = 0xcde88c,
                .menuCursorText = 0x162808,
                .editorText = 0x2a5210,
                .theirNick = 0x8a3c0e,
                .ownNick = 0x17552e,
                .message = 0x203018,
                .xStatus = 0x44520a,
                .blinkingNick = 0x8a3808,
            }),
            {hex(0xfff39a), hex(0xf2c934), hex(0x9a8a1c)},
            true,
            meadowBackground,
        },
    };
}

QImage paintSkinBackground(const SampleSkin &skin)
{
    const QImage background = skin.paintBackground();
    return skin.bitmaps ? ditheredForBitmaps(background) : background;
}

QImage paintSkinCursor(const SampleSkin &skin, const QImage &background)
{
    QImage image(kSkinCursorSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(averageColour(background, background.rect()));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = kSkinCursorSize.width();
    const qreal h = kSkinCursorSize.height();
    QPainterPath bar;
    bar.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 4.5, 4.5);

    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0.0, skin.cursor.top);
    fill.setColorAt(1.0, skin.cursor.bottom);
    p.fillPath(bar, fill);

    QLinearGradient gloss(0, 0, 0, h / 2);
    gloss.setColorAt(0.0, hex(0xffffff, 75));
    gloss.setColorAt(1.0, hex(0xffffff, 15));
    p.save();
    p.setClipPath(bar);
    p.fillRect(QRectF(0, 0, w, h / 2), gloss);
    p.restore();

    p.setPen(QPen(skin.cursor.edge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bar);
    p.end();
    return skin.bitmaps ? ditheredForBitmaps(image) : image.convertToFormat(QImage::Format_RGB32);
}

QString sampleSkinCopyright(const SampleSkin &skin)
{
    return skin.title + QStringLiteral(" — © 2026 Velmora for TolvoICQ developers");
}

QByteArray sampleSkinJson(const SampleSkin &skin)
{
    QJsonArray colours;
    for (const TColor colour : skin.colours)
        colours.append(colorToHex(colour));
    const QJsonObject object{
        {QStringLiteral("colors"), colours},
        {QStringLiteral("mif"), skin.name + QStringLiteral(".mif")},
        {QStringLiteral("copyright"), sampleSkinCopyright(skin)},
    };
    return QJsonDocument(object).toJson();
}

QStringList sampleSkinExportOptions(const SampleSkin &skin)
{
    if (skin.bitmaps)
        return {QStringLiteral("--symbian"), QStringLiteral("9.1")};
    // The background's smooth gradients keep well at this quality; the small cursor stays exact.
    return {QStringLiteral("--bg-format"),     QStringLiteral("jpg"),
            QStringLiteral("--bg-quality"),    QStringLiteral("88"),
            QStringLiteral("--cursor-format"), QStringLiteral("png")};
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor averageColour(const QImage &image, const QRect &area)
{
    const QRect inside = area & image.rect();
    if (inside.isEmpty())
        return {};
    qint64 r = 0, g = 0, b = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb s = image.pixel(x, y);
            r += qRed(s);
            g += qGreen(s);
            b += qBlue(s);
        }
    const qint64 n = qint64(inside.width()) * inside.height();
    return QColor(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
}

WeakestText weakestTextOnBackground(const SampleSkin &skin, const QImage &background)
{
    constexpr int kTile = 16;
    WeakestText weakest{1e9, -1};
    for (int y = 0; y < background.height(); y += kTile)
        for (int x = 0; x < background.width(); x += kTile) {
            const QColor ground = averageColour(background, QRect(x, y, kTile, kTile));
            for (const int slot : kTextOnBackground) {
                const double c = contrastRatio(toQColor(skin.colours[slot]), ground);
                if (c < weakest.contrast)
                    weakest = {c, slot};
            }
        }
    return weakest;
}

Result<void> writeSampleSkins(const QString &folder,
                              const std::function<void(const QString &)> &report)
{
    const QDir out(folder);
    if (!QDir().mkpath(out.path()))
        return fail(Error::io(QStringLiteral("%1: cannot create the folder").arg(out.path())));
    QStringList manifest;
    for (const SampleSkin &skin : sampleSkins()) {
        const QImage background = paintSkinBackground(skin);
        const QImage cursor = paintSkinCursor(skin, background);
        const auto back = encodePng(background);
        if (!back)
            return fail(back.error());
        const auto bar = encodePng(cursor);
        if (!bar)
            return fail(bar.error());
        const struct
        {
            QString file;
            QByteArray bytes;
        } files[] = {
            {skin.name + QStringLiteral("-back.png"), *back},
            {skin.name + QStringLiteral("-cursor.png"), *bar},
            {skin.name + QStringLiteral(".json"), sampleSkinJson(skin)},
        };
        for (const auto &[file, bytes] : files)
            if (auto written = writeFileAtomically(out.filePath(file), bytes); !written)
                return written;
        manifest.append((QStringList{skin.name} + sampleSkinExportOptions(skin)).join(u';'));
        const WeakestText weakest = weakestTextOnBackground(skin, background);
        report(QStringLiteral("%1: weakest text on the background: slot %2 at %3:1")
                   .arg(skin.name)
                   .arg(weakest.slot)
                   .arg(weakest.contrast, 0, 'f', 2));
    }
    return writeFileAtomically(out.filePath(QStringLiteral("skins.txt")),
                               (manifest.join(u'\n') + u'\n').toUtf8());
}
