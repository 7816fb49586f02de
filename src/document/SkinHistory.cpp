#include "document/SkinHistory.h"

#include "document/SkinDocument.h"

#include <QSet>

#include <algorithm>

bool SkinState::samePictures(const SkinState &other) const
{
    return std::ranges::equal(pictures.all(), other.pictures.all(),
                              [](const QImage *a, const QImage *b) { return *a == *b; });
}

SkinStep::SkinStep(SkinDocument &document, const QString &label, SkinState before, SkinState after)
    : QUndoCommand(label)
    , m_document(document)
    , m_before(std::move(before))
    , m_after(std::move(after))
{}

void SkinStep::undo()
{
    m_document.restore(m_before);
}

void SkinStep::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    m_document.restore(m_after);
}

SkinHistory::SkinHistory(SkinDocument &document)
    : QObject(&document)
    , m_document(document)
{
    m_stack.setUndoLimit(kDefaultLimit);
    // The oldest steps fall off the stack at the limit; the origin moves up with them.
    connect(&m_stack, &QUndoStack::indexChanged, this, [this] {
        if (m_stack.count() > 0)
            m_origin = step(0)->before();
    });
}

SkinHistory::~SkinHistory()
{
    // The stack empties itself as it goes and says so; that is no move of the user's.
    m_stack.disconnect();
}

void SkinHistory::begin(const QString &label)
{
    if (!m_recording)
        return;
    if (m_depth++ > 0)
        return;
    m_label = label;
    m_before = m_document.state();
}

void SkinHistory::end()
{
    if (!m_recording || m_depth == 0 || --m_depth > 0)
        return;
    SkinState after = m_document.state();
    const SkinState before = std::move(*m_before);
    m_before.reset();
    if (after == before)
        return;
    if (m_stack.count() == 0 && m_stack.index() == 0)
        m_origin = before;
    m_rebuilding = true;
    m_stack.push(new SkinStep(m_document, m_label, before, std::move(after)));
    m_rebuilding = false;
    emit stepRecorded();
    keepWithinPictureLimit();
}

namespace {

// The memory of the state's pictures that no state counted before holds.
qint64 newPictureBytes(const SkinState &state, QSet<qint64> &counted)
{
    qint64 bytes = 0;
    for (const QImage *picture : state.pictures.all()) {
        if (!picture->isNull() && !counted.contains(picture->cacheKey())) {
            counted.insert(picture->cacheKey());
            bytes += picture->sizeInBytes();
        }
    }
    return bytes;
}

} // namespace

void SkinHistory::keepWithinPictureLimit()
{
    QSet<qint64> counted;
    qint64 total = newPictureBytes(m_document.state(), counted);
    const int count = m_stack.count();
    int firstKept = 0;
    for (int i = count - 1; i >= 0; --i) {
        total += newPictureBytes(step(i)->before(), counted);
        if (total > m_pictureLimit) {
            firstKept = i + 1;
            break;
        }
    }
    if (firstKept == 0)
        return;
    QList<std::pair<QString, SkinState>> kept;
    for (int i = firstKept; i < count; ++i)
        kept.append({step(i)->text(), step(i)->after()});
    replace(step(firstKept - 1)->after(), kept, std::max(0, index() - firstKept));
}

void SkinHistory::replace(SkinState origin, QList<std::pair<QString, SkinState>> steps, int index)
{
    const bool wasRecording = m_recording;
    m_recording = false;
    m_rebuilding = true;
    m_stack.clear();
    m_origin = origin;
    SkinState before = origin;
    for (const auto &[label, after] : steps) {
        m_stack.push(new SkinStep(m_document, label, before, after));
        before = after;
    }
    // The document stands at the last step's state; going back restores the chosen one.
    m_document.restore(before);
    m_stack.setIndex(std::clamp(index, 0, int(steps.size())));
    m_rebuilding = false;
    m_recording = wasRecording;
    emit rebuilt();
}

void SkinHistory::clear()
{
    m_rebuilding = true;
    m_stack.clear();
    m_rebuilding = false;
    m_origin = m_document.state();
    emit rebuilt();
}
