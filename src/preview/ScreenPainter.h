#pragma once

// The preview's own drawing, behind render(): one ScreenPainter draws one frame and is gone.
// Only the preview's sources include this header.

#include "preview/PhoneFont.h"
#include "preview/Render.h"

#include <QColor>

class QPainter;

class ScreenPainter : public PhoneScreen
{
public:
    ScreenPainter(const PreviewState &state, const SkinState &skin,
                  const PreviewResources &resources, RenderObserver *observer,
                  const RenderContext &context);
    Frame draw();

    // The chat's markup writer draws with these too.
    const PreviewResources &resources() const { return m_res; }
    // Shared drawing primitives; slots are scheme slots 0..19.
    void textLabel(QPainter &p, int colourSlot, const QString &text, int x, int y, int regionSlot);
    void clippedText(QPainter &p, int colourSlot, const QString &text, int x, int y,
                     const QRect &clip, int regionSlot);
    void framedBox(QPainter &p, int outlineSlot, int x1, int y1, int x2, int y2, int fillSlot);
    // The advance of a text in a font, as clippedText measures it.
    int textWidth(const QFont &font, const QString &text) { return shape(font, text).width; }
    // Registers the half-open rectangle (left, top, right, bottom) for a slot.
    void addRegion(int slot, int left, int top, int right, int bottom);

private:
    void DrawContactList(QPainter &p);
    void DrawContactRow(QPainter &p, int x, int y, int width, int statusCode, int xstatusIcon,
                        int clientIcon, const QString &text, int textSlot, int regionSlot);
    void DrawChatWindow(QPainter &p);
    void DrawSettingsScreen(QPainter &p);
    // The menu of the active screen and softkey, if it has one.
    void DrawMenus(QPainter &p);
    void DrawMenuRow(QPainter &p, int x, int textSlot, const QString &label, int icon,
                     MenuIconSource source, int y);
    void DrawPopup(QPainter &p);
    void DrawInfoWindows(QPainter &p);
    // Draws chat markup (colour markers, smiley codes, CR LF) into the half-open rectangle with
    // the current canvas font, wrapping at spaces and stopping at the first piece that does not
    // fit. Every text piece is registered under its colour's slot.
    void DrawSmileyText(QPainter &p, int left, int top, int right, int bottom, const QString &text);

    // "HH:MM" as the clock shows it.
    QString clockText() const;
    const TextShapes::Shape &shape(const QFont &font, const QString &text)
    {
        return m_shapes->shape(font, text);
    }
    void setCanvasFont(QPainter &p, const PhoneFont &font);
    void drawSoftkeys(QPainter &p, const QString &left, const QString &right);
    int menuRowHeight(int fontHeight) const;
    QColor slotColour(int slot) const { return toQColor(m_skin.colours[std::size_t(slot)]); }
    void startLayer(RenderLayer layer)
    {
        if (m_observer)
            m_observer->layerStarted(layer, m_regions);
    }

    const PreviewState &m_state;
    const SkinState &m_skin;
    const PreviewResources &m_res;
    RenderObserver *m_observer;
    QTime m_clock;
    // Made here when the caller has none.
    ShownPictures m_ownPictures;
    TextShapes m_ownShapes;
    const QImage &m_background;
    const QImage &m_cursor;
    TextShapes *m_shapes;
    QImage m_picture;
    TSelRects m_regions;
    PhoneFont m_canvasFont;
};
