#pragma once

#include "document/SkinDocument.h"

#include <QWidget>

class ColourControls;
class PhonePreview;

// The small colour window the preview opens at the mouse for the slot of a clicked element.
// It edits the selected slot of the skin document, and hides as soon as it loses focus.
class ColourWindow : public QWidget
{
    Q_OBJECT
public:
    ColourWindow(SkinDocument &document, QWidget *parent = nullptr);

    void setPreview(PhonePreview *preview) { m_preview = preview; }
    // Swatch, sliders, table and preview: the colour window's twin of the main window's
    // applyColour.
    void showColour(TColor colour);
    // Opens for a slot: caption, colour, reset colour, top-left corner at the given point.
    void openForSlot(int slot, const QPoint &topLeft);
    ColourControls *controls() const { return m_controls; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void applySliderColour();
    void swatchClicked();
    void resetColourClicked();

    SkinDocument &m_document;
    PhonePreview *m_preview = nullptr;
    ColourControls *m_controls = nullptr;
    bool m_dialogOpen = false;
};

// Where a window of this size goes so that it starts at topLeft as far as the area allows and
// lies wholly inside it (its top-left corner wins when it is larger than the area).
QPoint keptOnScreen(QPoint topLeft, QSize size, const QRect &area);
