#include "ui/ColourWindow.h"

#include "preview/PhonePreview.h"
#include "ui/ColourControls.h"

#include <QColorDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

ColourWindow::ColourWindow(SkinDocument &document, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_document(document)
{
    setWindowTitle(QStringLiteral(" Цвет"));
    m_controls = new ColourControls(this);
    // The caption in the window itself: a title bar would cut a long one.
    m_caption = new QLabel(this);
    m_caption->setWordWrap(true);
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_caption);
    layout->addWidget(m_controls);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_controls, &ColourControls::timerTick, this, &ColourWindow::applySliderColour);
    connect(m_controls, &ColourControls::swatchClicked, this, &ColourWindow::swatchClicked);
    connect(m_controls, &ColourControls::resetClicked, this, &ColourWindow::resetColourClicked);
    connect(m_controls, &ColourControls::colourTyped, this, &ColourWindow::showColour);
    // A whole slider drag is one undo step.
    connect(m_controls, &ColourControls::dragStarted, this, [this] {
        m_document.history().begin(SkinDocument::colourStepName(m_document.selectedSlot()));
    });
    connect(m_controls, &ColourControls::dragFinished, this,
            [this] { m_document.history().end(); });
}

void ColourWindow::showColour(TColor colour)
{
    m_controls->showColour(colour);
    // The preview follows the document.
    m_document.setSlotColour(m_document.selectedSlot(), colour);
}

void ColourWindow::openForSlot(int slot, const QRect &element)
{
    m_document.selectSlot(slot);
    if (m_preview)
        m_preview->setHighlightHidden(true);
    showColour(m_document.slotColour(slot));
    m_controls->setHexTexts(m_document.slotColour(slot));
    setWindowTitle(slotCaption(slot));
    m_caption->setText(slotCaption(slot));
    // The caption wraps at the editor's width rather than widening the window.
    m_caption->setMaximumWidth(m_controls->sizeHint().width());
    adjustSize();
    const QScreen *display = QGuiApplication::screenAt(element.center());
    if (!display)
        display = QGuiApplication::primaryScreen();
    const QRect area = display ? display->availableGeometry() : QRect();
    const auto place = [&] {
        move(area.isValid() ? besideElement(element, frameGeometry().size(), area)
                            : element.topRight() + QPoint(1, 0));
    };
    place();
    show();
    // The frame's size is known only once the window is shown.
    place();
    raise();
    activateWindow();
}

QString ColourWindow::caption() const
{
    return m_caption->text();
}

QPoint besideElement(const QRect &element, QSize size, const QRect &area)
{
    constexpr int kGap = 6;
    // Each side, with the window slid along that side to stay on the area.
    const auto along = [&](QPoint at, bool horizontal) {
        if (horizontal)
            at.setY(std::clamp(at.y(), area.top(),
                               std::max(area.top(), area.bottom() + 1 - size.height())));
        else
            at.setX(std::clamp(at.x(), area.left(),
                               std::max(area.left(), area.right() + 1 - size.width())));
        return at;
    };
    const QPoint sides[] = {
        along({element.right() + 1 + kGap, element.top()}, true),
        along({element.left() - kGap - size.width(), element.top()}, true),
        along({element.left(), element.bottom() + 1 + kGap}, false),
        along({element.left(), element.top() - kGap - size.height()}, false),
    };
    for (const QPoint &at : sides) {
        const QRect window(at, size);
        if (area.contains(window) && !window.intersects(element))
            return at;
    }
    return keptOnScreen(sides[0], size, area);
}

QPoint keptOnScreen(QPoint topLeft, QSize size, const QRect &area)
{
    const int right = std::max(area.left(), area.right() + 1 - size.width());
    const int bottom = std::max(area.top(), area.bottom() + 1 - size.height());
    return {std::clamp(topLeft.x(), area.left(), right),
            std::clamp(topLeft.y(), area.top(), bottom)};
}

void ColourWindow::applySliderColour()
{
    if (m_preview)
        m_preview->setHighlightHidden(true);
    showColour(m_controls->sliderColour());
}

void ColourWindow::swatchClicked()
{
    // The dialog takes the focus; that must not count as clicking elsewhere.
    m_dialogOpen = true;
    const QColor chosen =
        QColorDialog::getColor(toQColor(m_document.slotColour(m_document.selectedSlot())), this);
    m_dialogOpen = false;
    if (chosen.isValid())
        showColour(fromQColor(chosen));
}

void ColourWindow::resetColourClicked()
{
    SkinHistory::Step step(m_document.history(), QStringLiteral("Сброс цвета"));
    showColour(m_document.resetColour());
}

void ColourWindow::changeEvent(QEvent *event)
{
    // Clicking anywhere else puts the window away; what it changed stays.
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() &&
        !m_dialogOpen)
        hide();
    QWidget::changeEvent(event);
}
