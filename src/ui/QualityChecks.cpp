#include "ui/QualityChecks.h"

#include "preview/PhonePreview.h"

QualityChecks::QualityChecks(PreviewResources resources, SkinDocument &document,
                             const PhonePreview &shown, QObject *parent)
    : QObject(parent)
    , m_resources(std::move(resources))
    , m_document(document)
    , m_shown(shown)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &QualityChecks::refresh);
    const auto changed = [this] {
        m_documentChanged = true;
        later();
    };
    connect(&document, &SkinDocument::colourChanged, this, changed);
    connect(&document, &SkinDocument::picturesChanged, this, changed);
    // Every render of the shown screen may carry new options or a newly picked slot; most
    // carry neither and cost one comparison.
    connect(&shown, &PhonePreview::rendered, this, [this] {
        if (m_lastBase != baseOf() || m_usageSlot != m_document.selectedSlot())
            later();
    });
    later();
}

QualityChecks::~QualityChecks() = default;

void QualityChecks::later()
{
    if (!m_held && !m_timer.isActive())
        m_timer.start(0);
}

void QualityChecks::startAfter(std::chrono::milliseconds delay)
{
    // Nothing has run yet, so there is always something to make.
    m_held = false;
    m_timer.start(delay);
}

PreviewState QualityChecks::baseOf() const
{
    PreviewState base = namedScreenState(m_shown.state(), namedScreens().first());
    // What the shown screen blinks, highlights or opens is the checks' own business.
    base.blinkPhase = false;
    base.menuLeft = false;
    base.selection = SelectionMode::SingleElement;
    return base;
}

void QualityChecks::refresh()
{
    m_timer.stop();
    const PreviewState base = baseOf();
    const bool baseChanged = m_lastBase != base;
    const int slot = m_document.selectedSlot();
    const SkinState skin = m_document.state();
    // The shown screen's pictures are at the checks' size already.
    const ShownPictures pictures{m_shown.shownBackground(), m_shown.shownCursor()};
    const RenderContext context{QTime::currentTime(), &pictures, &m_shapes};
    if (m_documentChanged || baseChanged) {
        m_audit = auditLegibility(skin, m_resources, base, true, context);
        emit auditChanged();
    }
    if (m_documentChanged || baseChanged || slot != m_usageSlot) {
        m_usageSlot = slot;
        m_usage = slotUsage(skin, m_resources, base, slot, true, context);
        emit usageChanged();
    }
    m_documentChanged = false;
    m_lastBase = base;
}
