#include "preview/Render.h"

#include "containers/SkinImages.h"
#include "preview/ScreenPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

ShownPictures shownPictures(const SkinPictures &pictures, QSize screenSize)
{
    return {PreviewBackground(pictures, screenSize).convertToFormat(QImage::Format_RGB32),
            PreviewCursor(pictures).convertToFormat(QImage::Format_RGB32)};
}

const TextShapes::Shape &TextShapes::shape(const QFont &font, const QString &text)
{
    // A font's key takes formatting numbers; the few fonts of a render keep theirs.
    if (!(font == m_keyedFont) || m_fontKey.isEmpty()) {
        m_keyedFont = font;
        m_fontKey = font.key();
    }
    QString key = m_fontKey;
    key += QChar(0);
    key += text;
    if (const auto found = m_shapes.constFind(key); found != m_shapes.cend())
        return *found;
    if (m_shapes.size() > 4096)
        m_shapes.clear();
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    Shape shaped;
    shaped.width = QFontMetrics(font).horizontalAdvance(text);
    if (line.isValid()) {
        shaped.glyphs = line.glyphRuns();
        shaped.lineAscent = line.ascent();
    }
    return *m_shapes.insert(key, shaped);
}

PreviewState drawableState(PreviewState state)
{
    state.columns = qBound(1, state.columns, 5);
    state.screenSize = state.screenSize.expandedTo(QSize(1, 1));
    return state;
}

Frame render(const PreviewState &state, const SkinState &skin, const PreviewResources &resources,
             RenderObserver *observer, const RenderContext &context)
{
    const PreviewState drawable = drawableState(state);
    return ScreenPainter(drawable, skin, resources, observer, context).draw();
}

int PhoneScreen::statusCode(int status)
{
    if (status < 0 || status >= int(kStatusCodes.size()))
        return 255;
    return kStatusCodes[std::size_t(status)];
}

ScreenPainter::ScreenPainter(const PreviewState &state, const SkinState &skin,
                             const PreviewResources &resources, RenderObserver *observer,
                             const RenderContext &context)
    : m_state(state)
    , m_skin(skin)
    , m_res(resources)
    , m_observer(observer)
    , m_clock(context.clock)
    , m_ownPictures(context.pictures ? ShownPictures{}
                                     : shownPictures(skin.pictures, state.screenSize))
    , m_background(context.pictures ? context.pictures->background : m_ownPictures.background)
    , m_cursor(context.pictures ? context.pictures->cursor : m_ownPictures.cursor)
    , m_shapes(context.shapes ? context.shapes : &m_ownShapes)
{}

Frame ScreenPainter::draw()
{
    m_regions.merge = m_state.selection == SelectionMode::WholeSlot;
    m_picture = QImage(m_state.screenSize, QImage::Format_RGB32);
    m_picture.fill(kTransparentColour);
    {
        QPainter p(&m_picture);
        startLayer(RenderLayer::Screen);
        if (showsContactList(m_state.activeScreen))
            DrawContactList(p);
        else if (m_state.activeScreen == PreviewScreen::Chat)
            DrawChatWindow(p);
        else if (m_state.activeScreen == PreviewScreen::Settings)
            DrawSettingsScreen(p);
        // Later layers cover earlier ones, and their regions win where they overlap.
        if (m_state.showMenu) {
            startLayer(RenderLayer::Menu);
            DrawMenus(p);
        }
        if (m_state.showInfoWindows) {
            startLayer(RenderLayer::Notifications);
            DrawInfoWindows(p);
        }
        if (m_state.showPopup) {
            startLayer(RenderLayer::Popup);
            DrawPopup(p);
        }
    }
    return {std::move(m_picture), std::move(m_regions)};
}

void ScreenPainter::setCanvasFont(QPainter &p, const PhoneFont &font)
{
    m_canvasFont = font;
    p.setFont(font.toQFont());
}

void ScreenPainter::addRegion(int slot, int left, int top, int right, int bottom)
{
    m_regions.add(slot + 1,
                  QRegion(QRect(left, top, qMax(0, right - left), qMax(0, bottom - top))));
}

void ScreenPainter::clippedText(QPainter &p, int colourSlot, const QString &text, int x, int y,
                                const QRect &clip, int regionSlot)
{
    const QFontMetrics metrics(p.font());
    const TextShapes::Shape &layout = shape(p.font(), text);
    const int w = layout.width;
    const int h = metrics.height();
    if (m_observer) {
        const QRect shown = QRect(x, y, w, h) & clip & m_picture.rect();
        if (!shown.isEmpty())
            m_observer->textAbout(colourSlot, shown, m_picture);
    }
    p.setPen(slotColour(colourSlot));
    p.setClipRect(clip);
    // The runs sit on the line's baseline; it goes where drawText puts it, a whole ascent below
    // the top.
    const QPointF origin(x, y + metrics.ascent() - layout.lineAscent);
    for (const QGlyphRun &run : layout.glyphs)
        p.drawGlyphRun(origin, run);
    p.setClipping(false);
    addRegion(regionSlot, x - 1, y - 1, x + w + 1, y + h + 1);
}

void ScreenPainter::textLabel(QPainter &p, int colourSlot, const QString &text, int x, int y,
                              int regionSlot)
{
    const QFontMetrics metrics(p.font());
    const QRect all(x, y, metrics.horizontalAdvance(text), metrics.height());
    clippedText(p, colourSlot, text, x, y, all, regionSlot);
}

void ScreenPainter::framedBox(QPainter &p, int outlineSlot, int x1, int y1, int x2, int y2,
                              int fillSlot)
{
    p.setPen(slotColour(outlineSlot));
    p.setBrush(slotColour(fillSlot));
    // A one-pixel outline on the box's edge pixels, as the phone draws rectangles.
    if (x2 > x1 && y2 > y1)
        p.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
    p.setBrush(Qt::NoBrush);
    if (m_skin.colours[std::size_t(outlineSlot)] == m_skin.colours[std::size_t(fillSlot)]) {
        addRegion(outlineSlot, x1, y1, x2, y2);
        return;
    }
    const QRegion outer(QRect(x1 - 3, y1 - 3, x2 - x1 + 6, y2 - y1 + 6));
    const QRect inner(x1 + 2, y1 + 2, qMax(0, x2 - x1 - 4), qMax(0, y2 - y1 - 4));
    m_regions.add(outlineSlot + 1, outer - QRegion(inner));
    m_regions.add(fillSlot + 1, QRegion(inner));
}

void ScreenPainter::drawSoftkeys(QPainter &p, const QString &left, const QString &right)
{
    setCanvasFont(p, {QStringLiteral("Nokia Hindi S60"), 16, true, false});
    const int y = m_state.screenSize.height() - 16;
    textLabel(p, Slot::LeftSoftkey, left, 6, y, Slot::LeftSoftkey);
    textLabel(p, Slot::RightSoftkey, right,
              m_state.screenSize.width() - QFontMetrics(p.font()).horizontalAdvance(right) - 6, y,
              Slot::RightSoftkey);
}

int ScreenPainter::menuRowHeight(int fontHeight) const
{
    return std::max({m_res.StatusIcons.Height(), m_res.XStatusIcons.Height(),
                     m_res.ClientIcons.Height(), fontHeight}) +
           2;
}

QString ScreenPainter::clockText() const
{
    return ::clockText(m_clock);
}

QString clockText(QTime time)
{
    QString text = time.toString(QStringLiteral("H:mm:ss"));
    text.chop(3);
    if (text.size() == 4)
        text.prepend(u'0');
    return text;
}
