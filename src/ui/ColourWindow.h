#pragma once

#include "document/SkinDocument.h"

#include <QWidget>

class ColourControls;
class QLabel;
class PhonePreview;

// The small colour window the preview opens beside a clicked element, for its slot, with the
// slot's caption over the editor. It edits the selected slot of the skin document, and hides
// as soon as it loses focus.
class ColourWindow : public QWidget
{
    Q_OBJECT
public:
    ColourWindow(SkinDocument &document, QWidget *parent = nullptr);

    void setPreview(PhonePreview *preview) { m_preview = preview; }
    // Swatch, sliders, table and preview: the colour window's twin of the main window's
    // applyColour.
    void showColour(TColor colour);
    // Opens for a slot: caption, colour, reset colour; beside the element (global coordinates)
    // and wholly on its screen.
    void openForSlot(int slot, const QRect &element);
    void openForSlot(int slot, const QPoint &at) { openForSlot(slot, QRect(at, QSize(1, 1))); }
    QString caption() const;
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
    QLabel *m_caption = nullptr;
    bool m_dialogOpen = false;
};

// Where a window of this size goes so that it starts at topLeft as far as the area allows and
// lies wholly inside it (its top-left corner wins when it is larger than the area).
QPoint keptOnScreen(QPoint topLeft, QSize size, const QRect &area);

// Where a window of this size goes so that it lies beside the element, not over it: to its
// right, else its left, below or above, whichever first fits wholly in the area; when none
// does, to its right as far as the area allows.
QPoint besideElement(const QRect &element, QSize size, const QRect &area);
