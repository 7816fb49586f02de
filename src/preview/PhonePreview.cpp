#include "preview/PhonePreview.h"

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
    m_state = drawableState(state);
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
void PhonePreview::setOption(bool PreviewState::*option, bool on)
{
    store(m_state.*option, on);
}

void PhonePreview::setFont(PhoneFont PreviewState::*font, const PhoneFont &value)
{
    store(m_state.*font, value);
}

void PhonePreview::setColumns(int columns)
{
    store(m_state.columns, qBound(1, columns, 5));
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
    store(m_shown.background, picture.convertToFormat(QImage::Format_RGB32));
}

void PhonePreview::setCursor(const QImage &picture)
{
    store(m_shown.cursor, picture.convertToFormat(QImage::Format_RGB32));
}

void PhonePreview::scalePictures()
{
    m_shown = shownPictures(m_document.pictures(), m_state.screenSize);
}

RenderContext PhonePreview::renderContext()
{
    return {m_clock(), &m_shown, &m_shapes};
}

void PhonePreview::setColour(int index, TColor colour)
{
    // The document announces the change, and that renders.
    if (index >= 1 && index < kColourTableSize)
        m_document.setSlotColour(index - 1, colour);
}

void PhonePreview::Render()
{
    if (m_busy)
        return;
    Frame frame = render(m_state, m_document.state(), m_res, m_observer, renderContext());
    m_picture = std::move(frame.picture);
    // The element under the mouse stays highlighted across frames.
    m_regions.takeRegions(std::move(frame.regions));
    m_regions.drawHighlight(m_picture);
    emit rendered();
}

RenderBatch::RenderBatch(PhonePreview *preview)
    : m_preview(preview)
{
    if (m_preview) {
        m_wasBusy = m_preview->m_busy;
        m_preview->m_busy = true;
    }
}

RenderBatch::~RenderBatch()
{
    if (!m_preview)
        return;
    m_preview->m_busy = m_wasBusy;
    if (!m_wasBusy)
        m_preview->Render();
}
