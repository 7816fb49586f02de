#include "ui/Unit5.h"

#include "preview/mainTolvoPreview.h"
#include "ui/ColourControls.h"

#include <QColorDialog>
#include <QEvent>
#include <QVBoxLayout>

TForm5::TForm5(ColourScheme &scheme, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_scheme(scheme)
{
    setWindowTitle(QStringLiteral(" Цвет"));
    m_controls = new ColourControls(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_controls);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_controls, &ColourControls::timerTick, this, &TForm5::Timer1Timer);
    connect(m_controls, &ColourControls::swatchClicked, this, &TForm5::Image1Click);
    connect(m_controls, &ColourControls::resetClicked, this, &TForm5::Button2Click);
}

void TForm5::showColour(TColor colour)
{
    m_controls->showColour(colour);
    m_scheme.setSlotColour(m_scheme.selectedSlot(), colour);
    if (m_preview)
        m_preview->setColour(m_scheme.selectedSlot() + 1, colour);
}

void TForm5::openForSlot(int slot, const QPoint &topLeft)
{
    m_scheme.selectSlot(slot);
    if (m_preview)
        m_preview->setHighlightHidden(true);
    showColour(m_scheme.slotColour(slot));
    m_controls->setHexTexts(m_scheme.slotColour(slot));
    setWindowTitle(slotCaption(slot));
    move(topLeft);
    show();
    raise();
    activateWindow();
}

void TForm5::Timer1Timer()
{
    if (m_preview)
        m_preview->setHighlightHidden(true);
    showColour(m_controls->sliderColour());
}

void TForm5::Image1Click()
{
    // The dialog takes the focus; that must not count as clicking elsewhere.
    m_dialogOpen = true;
    const QColor chosen =
        QColorDialog::getColor(toQColor(m_scheme.slotColour(m_scheme.selectedSlot())), this);
    m_dialogOpen = false;
    if (chosen.isValid())
        showColour(fromQColor(chosen));
}

void TForm5::Button2Click()
{
    m_scheme.setSlotColour(m_scheme.selectedSlot(), m_scheme.resetColour());
    showColour(m_scheme.resetColour());
}

void TForm5::changeEvent(QEvent *event)
{
    // Clicking anywhere else puts the window away; what it changed stays.
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() &&
        !m_dialogOpen)
        hide();
    QWidget::changeEvent(event);
}
