#include "preview/SelectionRegions.h"

void TSelRects::add(int slotIndex, const QRegion &region)
{
    if (slotIndex < 1 || slotIndex > kSlots)
        return;
    const QRect bounds = region.boundingRect();
    for (QList<QRegion> &list : m_lists) {
        for (QRegion &existing : list) {
            // Most regions are far apart; the subtraction is only worth doing where they meet.
            if (existing.boundingRect().intersects(bounds))
                existing -= region;
        }
    }
    QList<QRegion> &list = m_lists[slotIndex];
    list.append(region);
    m_order.append({slotIndex, int(list.size()) - 1});
    if (merge && list.size() == 2) {
        m_order.removeLast();
        list[0] += list[1];
        list.removeLast();
    }
}

void TSelRects::clear()
{
    for (QList<QRegion> &list : m_lists)
        list.clear();
    m_order.clear();
}

void TSelRects::takeRegions(TSelRects &&newer)
{
    m_lists = std::move(newer.m_lists);
    m_order = std::move(newer.m_order);
    merge = newer.merge;
}

int TSelRects::slotAt(QPoint point) const
{
    // Regions never overlap: the first that holds the point is the element shown there.
    for (int i = 1; i <= kSlots; ++i) {
        for (const QRegion &region : m_lists[i]) {
            if (region.contains(point))
                return i;
        }
    }
    return 0;
}

bool TSelRects::hitTest(int x, int y)
{
    HighlightHidden = true;
    bool changed = false;
    const QPoint point(x, y);
    for (int i = 1; i <= kSlots; ++i) {
        const QList<QRegion> &list = m_lists[i];
        for (int j = int(list.size()) - 1; j >= 0; --j) {
            if (!list[j].contains(point))
                continue;
            HighlightHidden = false;
            if (i != m_hoverSlotKey || j != m_hoverRegion) {
                m_hoverSlotKey = i;
                m_hoverRegion = j;
                HoverSlot = i;
                changed = true;
            }
        }
    }
    return changed;
}

void TSelRects::drawHighlight(QImage &canvas) const
{
    if (HoverSlot == 0 || HighlightHidden || m_hoverSlotKey < 1)
        return;
    const QList<QRegion> &list = m_lists[m_hoverSlotKey];
    if (m_hoverRegion >= list.size())
        return;
    invertRegion(canvas, list[m_hoverRegion]);
}

void invertRegion(QImage &canvas, const QRegion &region)
{
    const QRect area = canvas.rect();
    for (const QRect &rect : region) {
        const QRect r = rect.intersected(area);
        for (int y = r.top(); y <= r.bottom(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(canvas.scanLine(y));
            for (int x = r.left(); x <= r.right(); ++x)
                line[x] ^= 0x00FFFFFF;
        }
    }
}
