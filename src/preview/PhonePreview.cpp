#include "preview/PhonePreview.h"

#include "containers/SkinImages.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

PhonePreview::PhonePreview(PreviewResources resources, SkinDocument &document, QObject *parent)
    : QObject(parent)
    , m_res(std::move(resources))
    , m_document(document)
{
    scalePictures();
    connect(&m_document, &SkinDocument::colourChanged, this, &PhonePreview::Render);
    connect(&m_document, &SkinDocument::picturesChanged, this, [this] {
        scalePictures();
        Render();
    });
    m_blinkTimer.setInterval(500);
    connect(&m_blinkTimer, &QTimer::timeout, this, &PhonePreview::blinkTick);
    m_blinkTimer.start();
}

void PhonePreview::blinkTick()
{
    if (!showsContactList(m_state.activeScreen))
        return;
    m_state.blinkPhase = !m_state.blinkPhase;
    Render();
}

void PhonePreview::setState(const PreviewState &state)
{
    const QSize oldSize = m_state.screenSize;
    m_state = state;
    m_state.columns = qBound(1, state.columns, 5);
    m_state.screenSize = state.screenSize.expandedTo(QSize(1, 1));
    // The quality checks set a state per screen; rescaling the same pictures would cost more
    // than drawing them.
    if (m_state.screenSize != oldSize)
        scalePictures();
    Render();
}

void PhonePreview::setActiveScreen(PreviewScreen screen)
{
    store(m_state.activeScreen, screen);
}
void PhonePreview::setShowMenu(bool on)
{
    store(m_state.showMenu, on);
}
void PhonePreview::setShowPopup(bool on)
{
    store(m_state.showPopup, on);
}
void PhonePreview::setColumns(int columns)
{
    store(m_state.columns, qBound(1, columns, 5));
}
void PhonePreview::setSortByStatus(bool on)
{
    store(m_state.sortByStatus, on);
}
void PhonePreview::setShowOffline(bool on)
{
    store(m_state.showOffline, on);
}
void PhonePreview::setShowGroups(bool on)
{
    store(m_state.showGroups, on);
}
void PhonePreview::setMiniClock(bool on)
{
    store(m_state.miniClock, on);
}
void PhonePreview::setShowInfoWindows(bool on)
{
    store(m_state.showInfoWindows, on);
}
void PhonePreview::setInfoWindowsLeft(bool on)
{
    store(m_state.infoWindowsLeft, on);
}
void PhonePreview::setShowClients(bool on)
{
    store(m_state.showClients, on);
}
void PhonePreview::setMenuLeft(bool on)
{
    store(m_state.menuLeft, on);
}
void PhonePreview::setContactListFont(const PhoneFont &font)
{
    store(m_state.contactListFont, font);
}
void PhonePreview::setChatFont(const PhoneFont &font)
{
    store(m_state.chatFont, font);
}
void PhonePreview::setSettingsFont(const PhoneFont &font)
{
    store(m_state.settingsFont, font);
}
void PhonePreview::setBlinkPhase(bool on)
{
    store(m_state.blinkPhase, on);
}

void PhonePreview::setSelection(SelectionMode mode)
{
    store(m_state.selection, mode);
}

void PhonePreview::setScreenSize(QSize size)
{
    m_state.screenSize = size.expandedTo(QSize(1, 1));
    scalePictures();
    Render();
}

void PhonePreview::setBackground(const QImage &picture)
{
    store(m_background, picture.convertToFormat(QImage::Format_RGB32));
}

void PhonePreview::setCursor(const QImage &picture)
{
    store(m_cursor, picture.convertToFormat(QImage::Format_RGB32));
}

void PhonePreview::scalePictures()
{
    m_background = PreviewBackground(m_document.pictures(), m_state.screenSize)
                       .convertToFormat(QImage::Format_RGB32);
    m_cursor = PreviewCursor(m_document.pictures()).convertToFormat(QImage::Format_RGB32);
}

void PhonePreview::setColour(int index, TColor colour)
{
    // The document announces the change, and that renders.
    if (index >= 1 && index < kColourTableSize)
        m_document.setSlotColour(index - 1, colour);
}

void PhonePreview::Render()
{
    if (Busy)
        return;
    m_regions.clear();
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
    m_regions.drawHighlight(m_picture);
    emit rendered();
}

void PhonePreview::setCanvasFont(QPainter &p, const PhoneFont &font)
{
    m_canvasFont = font;
    p.setFont(font.toQFont());
}

void PhonePreview::addRegion(int slot, int left, int top, int right, int bottom)
{
    m_regions.add(slot + 1,
                  QRegion(QRect(left, top, qMax(0, right - left), qMax(0, bottom - top))));
}

const PhonePreview::TextLayout &PhonePreview::textLayout(const QFont &font, const QString &text)
{
    // Labels, nicks and chat pieces repeat from render to render: each is shaped once. A font's
    // key takes formatting numbers; the few fonts of a render keep theirs.
    if (!(font == m_keyedFont) || m_fontKey.isEmpty()) {
        m_keyedFont = font;
        m_fontKey = font.key();
    }
    QString key = m_fontKey;
    key += QChar(0);
    key += text;
    if (const auto found = m_textLayouts.constFind(key); found != m_textLayouts.cend())
        return *found;
    if (m_textLayouts.size() > 4096)
        m_textLayouts.clear();
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    TextLayout shaped;
    shaped.width = QFontMetrics(font).horizontalAdvance(text);
    if (line.isValid()) {
        shaped.glyphs = line.glyphRuns();
        shaped.lineAscent = line.ascent();
    }
    return *m_textLayouts.insert(key, shaped);
}

void PhonePreview::clippedText(QPainter &p, int colourSlot, const QString &text, int x, int y,
                               const QRect &clip, int regionSlot)
{
    const QFontMetrics metrics(p.font());
    const TextLayout &layout = textLayout(p.font(), text);
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

void PhonePreview::textLabel(QPainter &p, int colourSlot, const QString &text, int x, int y,
                             int regionSlot)
{
    const QFontMetrics metrics(p.font());
    const QRect all(x, y, metrics.horizontalAdvance(text), metrics.height());
    clippedText(p, colourSlot, text, x, y, all, regionSlot);
}

void PhonePreview::framedBox(QPainter &p, int outlineSlot, int x1, int y1, int x2, int y2,
                             int fillSlot)
{
    p.setPen(slotColour(outlineSlot));
    p.setBrush(slotColour(fillSlot));
    // A one-pixel outline on the box's edge pixels, as the phone draws rectangles.
    if (x2 > x1 && y2 > y1)
        p.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
    p.setBrush(Qt::NoBrush);
    if (m_document.slotColour(outlineSlot) == m_document.slotColour(fillSlot)) {
        addRegion(outlineSlot, x1, y1, x2, y2);
        return;
    }
    const QRegion outer(QRect(x1 - 3, y1 - 3, x2 - x1 + 6, y2 - y1 + 6));
    const QRect inner(x1 + 2, y1 + 2, qMax(0, x2 - x1 - 4), qMax(0, y2 - y1 - 4));
    m_regions.add(outlineSlot + 1, outer - QRegion(inner));
    m_regions.add(fillSlot + 1, QRegion(inner));
}

void PhonePreview::drawSoftkeys(QPainter &p, const QString &left, const QString &right)
{
    setCanvasFont(p, {QStringLiteral("Nokia Hindi S60"), 16, true, false});
    const int y = m_state.screenSize.height() - 16;
    textLabel(p, Slot::LeftSoftkey, left, 6, y, Slot::LeftSoftkey);
    textLabel(p, Slot::RightSoftkey, right,
              m_state.screenSize.width() - QFontMetrics(p.font()).horizontalAdvance(right) - 6, y,
              Slot::RightSoftkey);
}

int PhonePreview::menuRowHeight(int fontHeight) const
{
    return std::max({m_res.StatusIcons.Height(), m_res.XStatusIcons.Height(),
                     m_res.ClientIcons.Height(), fontHeight}) +
           2;
}

int PhonePreview::statusCode(int status)
{
    if (status < 0 || status >= int(kStatusCodes.size()))
        return 255;
    return kStatusCodes[status];
}

QString PhonePreview::clockText() const
{
    QString text = m_clock().toString(QStringLiteral("H:mm:ss"));
    text.chop(3);
    if (text.size() == 4)
        text.prepend(u'0');
    return text;
}

RenderBatch::RenderBatch(PhonePreview *preview)
    : m_preview(preview)
{
    if (m_preview) {
        m_wasBusy = m_preview->Busy;
        m_preview->Busy = true;
    }
}

RenderBatch::~RenderBatch()
{
    if (!m_preview)
        return;
    m_preview->Busy = m_wasBusy;
    if (!m_wasBusy)
        m_preview->Render();
}
