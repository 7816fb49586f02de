#pragma once

#include "preview/ColourVision.h"

#include <QWidget>

class PhonePreview;
class QMimeData;

// The simulated phone screen on the desktop: it paints the preview's picture with whole device
// pixels per phone pixel and turns the mouse into highlights and slot clicks. It lives in the
// preview window or, in the old interface, in the main window; the preview window moves itself
// by dragging, so there the control leaves the mouse to its window.
class PreviewControl : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewControl(QWidget *parent = nullptr);

    void setPreview(PhonePreview *preview);
    PhonePreview *preview() const { return m_preview; }

    // Device pixels per phone pixel: a whole number, so the phone's pixels stay sharp.
    int pixelScale() const { return m_scale; }
    // Sizes the control to the preview's picture at the scale its screen allows.
    void fitToPicture();
    // The logical size of a picture of phone pixels at the control's scale.
    QSize logicalSize(QSize phonePixels) const;
    // A point of this control in phone-screen pixels.
    QPoint toPhone(const QPointF &point) const;
    bool overScreen(const QPointF &point) const;

    // The mouse is over the control at this point: highlight what lies under it.
    void hoverAt(const QPointF &point);
    // Takes the highlight away, rendering only when one was shown.
    void hideHighlight();
    // A left click without movement at this point: the slot of the highlighted element under
    // it (the highlight is put away), or -1 when nothing is highlighted there.
    int clickAt(const QPointF &point);
    // The highlighted element's piece under the point, in global coordinates: what the colour
    // window must not cover. A pixel at the point when nothing is highlighted there.
    QRect elementOnScreen(const QPointF &point) const;
    // The slot (0..19) of the highlighted element under the mouse, or -1.
    int hoveredSlot() const;
    // What the element under the mouse is painted with: "caption — #RRGGBB"; empty over
    // nothing. The preview's tooltip and the main window's status bar show it.
    QString hoverText() const;

    // A file dragged onto the screen: the first local file a drop could take (a picture, a
    // skin or package, a palette), or "" for none.
    static QString droppableFile(const QMimeData *data);
    // Drops the data at this point of the control: emits fileDropped and answers true when it
    // holds a file the screen takes.
    bool takeDrop(const QMimeData *data, const QPointF &point);

    // Shows the screen as a viewer with that colour vision sees it. Only the painting changes:
    // highlights, clicks and the skin keep the skin's own colours.
    void setColourVision(ColourVision vision);
    ColourVision colourVision() const { return m_vision; }
    // What the control paints, before scaling: the preview's picture through the filter.
    QImage shownPicture() const;

    // Whether the control answers the mouse itself; in the preview window it does not.
    void setOwnMouse(bool own);
    bool ownMouse() const { return m_ownMouse; }

signals:
    // A click on a highlighted element while the control answers the mouse itself.
    void slotClicked(int slot, const QRect &element);
    // The highlighted element's slot changed (-1: none).
    void hoverChanged(int slot);
    // A file was dropped on the screen; onCursor when over the selection cursor's row.
    void fileDropped(const QString &path, bool onCursor);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void noteHover();

    PhonePreview *m_preview = nullptr;
    int m_shownHover = -1;
    int m_scale = 1;
    bool m_ownMouse = false;
    ColourVision m_vision = ColourVision::Normal;
};

// The preview's tooltip: the text at the point, or none when the text is empty.
void showHoverTip(QWidget *over, const QPoint &globalPos, const QString &text);
