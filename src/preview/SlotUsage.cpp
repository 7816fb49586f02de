#include "preview/SlotUsage.h"

#include "preview/PhonePreview.h"

namespace {

// Notes where each layer's regions begin in the order they are registered.
class LayerMarks : public RenderObserver
{
public:
    explicit LayerMarks(const TSelRects &regions)
        : m_regions(regions)
    {}
    void clear() { m_starts.clear(); }
    void layerStarted(RenderLayer layer) override
    {
        m_starts.append({layer, int(m_regions.registrationOrder().size())});
    }
    void textAbout(int, const QRect &, const QImage &) override {}

    // The registration indexes [first, last) of the layer's elements; empty when not drawn.
    std::pair<int, int> range(RenderLayer layer) const
    {
        for (qsizetype i = 0; i < m_starts.size(); ++i) {
            if (m_starts[i].first != layer)
                continue;
            const int end = i + 1 < m_starts.size() ? m_starts[i + 1].second
                                                    : int(m_regions.registrationOrder().size());
            return {m_starts[i].second, end};
        }
        return {0, 0};
    }

private:
    const TSelRects &m_regions;
    QList<std::pair<RenderLayer, int>> m_starts;
};

QRegion layerRegion(const TSelRects &regions, std::pair<int, int> range, int slot)
{
    QRegion region;
    const auto &order = regions.registrationOrder();
    for (int i = range.first; i < range.second; ++i) {
        const auto [slotIndex, index] = order[i];
        if (slotIndex == slot + 1)
            region += regions.regions(slotIndex)[index];
    }
    return region;
}

} // namespace

QList<ScreenUsage> slotUsage(PhonePreview &preview, const PreviewState &base, int slot,
                             bool withPictures)
{
    LayerMarks marks(preview.regions());
    preview.setObserver(&marks);
    const bool wasBusy = preview.Busy;
    QList<ScreenUsage> usage;
    for (const NamedScreen &screen : namedScreens()) {
        PreviewState state = namedScreenState(base, screen);
        // Single elements keep one region each in registration order, so layers can be told
        // apart; whole-slot mode would merge them.
        state.selection = SelectionMode::SingleElement;
        preview.Busy = true;
        preview.setState(state);
        preview.Busy = false;
        marks.clear();
        preview.Render();
        QRegion region = layerRegion(preview.regions(), marks.range(screen.layer), slot) &
                         QRegion(preview.picture().rect());
        if (region.isEmpty())
            continue;
        ScreenUsage entry{screen.name, region, {}};
        if (withPictures) {
            entry.picture = preview.picture();
            invertRegion(entry.picture, region);
        }
        usage.append(entry);
    }
    preview.Busy = wasBusy;
    preview.setObserver(nullptr);
    return usage;
}
