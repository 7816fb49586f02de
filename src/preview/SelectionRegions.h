#pragma once

#include <QImage>
#include <QList>
#include <QRegion>

#include <array>

// Inverts the picture's colours inside the region, as the hover highlight shows an element.
void invertRegion(QImage &canvas, const QRegion &region);

// The screen regions of every element painted in a slot colour, indexed by slot + 1 (1..20).
// A new region is cut out of all older ones, so no two overlap and the element drawn on top
// owns the pixels it shares with earlier ones.
class TSelRects
{
public:
    static constexpr int kSlots = 20;

    void add(int slotIndex, const QRegion &region);
    void clear();
    // The elements of a newer drawing, keeping which element is hovered.
    void takeRegions(TSelRects &&newer);
    const QList<QRegion> &regions(int slotIndex) const { return m_lists.at(slotIndex); }
    // Every (slot index, region index) in the order the regions were first registered.
    const QList<std::pair<int, int>> &registrationOrder() const { return m_order; }

    // Finds the element under the point; true when it differs from the one found last.
    bool hitTest(int x, int y);
    // The slot index (1..20) of the topmost element at the point, 0 for none; the hover stays.
    int slotAt(QPoint point) const;
    // Inverts the hovered element's pixels unless the highlight is hidden.
    void drawHighlight(QImage &canvas) const;

    // Merge mode: every slot keeps one region, the union of its elements.
    bool merge = false;
    int HoverSlot = 0;
    bool HighlightHidden = true;
    int hoverRegion() const { return m_hoverRegion; }

private:
    // Index 0 is unused so that lists are addressed by slot + 1 like everywhere in the preview.
    std::array<QList<QRegion>, kSlots + 1> m_lists;
    QList<std::pair<int, int>> m_order;
    int m_hoverSlotKey = 0;
    int m_hoverRegion = 0;
};
