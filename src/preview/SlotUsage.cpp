#include "preview/SlotUsage.h"

namespace {

// Notes where each layer's regions begin in the order they are registered.
class LayerMarks : public RenderObserver
{
public:
    void clear() { m_starts.clear(); }
    void layerStarted(RenderLayer layer, const TSelRects &regions) override
    {
        m_starts.append({layer, int(regions.registrationOrder().size())});
    }
    void textAbout(int, const QRect &, const QImage &) override {}

    // The registration indexes [first, last) of the layer's elements in the finished
    // regions; empty when not drawn.
    std::pair<int, int> range(RenderLayer layer, const TSelRects &regions) const
    {
        for (qsizetype i = 0; i < m_starts.size(); ++i) {
            if (m_starts[i].first != layer)
                continue;
            const int end = i + 1 < m_starts.size() ? m_starts[i + 1].second
                                                    : int(regions.registrationOrder().size());
            return {m_starts[i].second, end};
        }
        return {0, 0};
    }

private:
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

QList<ScreenUsage> slotUsage(const SkinState &skin, const PreviewResources &resources,
                             const PreviewState &base, int slot, bool withPictures,
                             const RenderContext &context)
{
    LayerMarks marks;
    ShownPictures pictures;
    RenderContext shared = context;
    if (!shared.pictures) {
        pictures = shownPictures(skin.pictures, drawableState(base).screenSize);
        shared.pictures = &pictures;
    }
    QList<ScreenUsage> usage;
    for (const NamedScreen &screen : namedScreens()) {
        PreviewState state = namedScreenState(base, screen);
        // Single elements keep one region each in registration order, so layers can be told
        // apart; whole-slot mode would merge them.
        state.selection = SelectionMode::SingleElement;
        marks.clear();
        Frame frame = render(state, skin, resources, &marks, shared);
        QRegion region =
            layerRegion(frame.regions, marks.range(screen.layer, frame.regions), slot) &
            QRegion(frame.picture.rect());
        if (region.isEmpty())
            continue;
        ScreenUsage entry{screen.name, region, {}};
        if (withPictures) {
            entry.picture = std::move(frame.picture);
            invertRegion(entry.picture, region);
        }
        usage.append(entry);
    }
    return usage;
}
