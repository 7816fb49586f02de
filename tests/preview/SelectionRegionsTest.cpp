#include "preview/SelectionRegions.h"

#include <gtest/gtest.h>

namespace {

QRegion rect(int l, int t, int r, int b)
{
    return QRegion(QRect(l, t, r - l, b - t));
}

} // namespace

TEST(SelRects, LaterRegionsAreCutOutOfEarlierOnes)
{
    TSelRects rects;
    rects.add(1, rect(0, 0, 10, 10));
    rects.add(5, rect(5, 5, 15, 15));
    EXPECT_FALSE(rects.regions(1)[0].contains(QPoint(7, 7)));
    EXPECT_TRUE(rects.regions(1)[0].contains(QPoint(2, 2)));
    EXPECT_TRUE(rects.hitTest(7, 7));
    EXPECT_EQ(rects.HoverSlot, 5);
    EXPECT_TRUE(rects.hitTest(2, 2));
    EXPECT_EQ(rects.HoverSlot, 1);
}

TEST(SelRects, HitTestReportsOnlyChanges)
{
    TSelRects rects;
    rects.add(3, rect(0, 0, 10, 10));
    EXPECT_TRUE(rects.hitTest(1, 1));
    EXPECT_FALSE(rects.hitTest(8, 8)) << "same element";
    EXPECT_FALSE(rects.HighlightHidden);
    EXPECT_FALSE(rects.hitTest(50, 50)) << "nothing under the point is not a change";
    EXPECT_TRUE(rects.HighlightHidden);
    EXPECT_EQ(rects.HoverSlot, 3);
    EXPECT_FALSE(rects.hitTest(1, 1)) << "back onto the same element";
}

TEST(SelRects, MergeModeKeepsOneRegionPerSlot)
{
    TSelRects rects;
    rects.merge = true;
    rects.add(1, rect(0, 0, 5, 5));
    rects.add(1, rect(10, 0, 15, 5));
    rects.add(1, rect(20, 0, 25, 5));
    rects.add(2, rect(30, 0, 35, 5));
    ASSERT_EQ(rects.regions(1).size(), 1);
    EXPECT_TRUE(rects.regions(1)[0].contains(QPoint(22, 2)));
    EXPECT_EQ(rects.registrationOrder().size(), 2);

    QImage canvas(40, 5, QImage::Format_RGB32);
    canvas.fill(qRgb(10, 20, 30));
    rects.hitTest(12, 2);
    rects.drawHighlight(canvas);
    // Every element of the hovered slot is inverted at once, nothing else.
    EXPECT_EQ(canvas.pixel(2, 2), qRgb(245, 235, 225));
    EXPECT_EQ(canvas.pixel(22, 2), qRgb(245, 235, 225));
    EXPECT_EQ(canvas.pixel(7, 2), qRgb(10, 20, 30));
    EXPECT_EQ(canvas.pixel(32, 2), qRgb(10, 20, 30));
}

TEST(SelRects, SingleElementModeInvertsOnlyTheHoveredElement)
{
    TSelRects rects;
    rects.add(1, rect(0, 0, 5, 5));
    rects.add(1, rect(10, 0, 15, 5));
    QImage canvas(20, 5, QImage::Format_RGB32);
    canvas.fill(qRgb(0, 0, 0));
    rects.hitTest(12, 2);
    rects.drawHighlight(canvas);
    EXPECT_EQ(canvas.pixel(12, 2), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(15, 2), qRgb(0, 0, 0))
        << "right edge is outside the half-open rectangle";
}

TEST(SelRects, StaleHoverKeyDrawsNothing)
{
    TSelRects rects;
    rects.add(1, rect(0, 0, 5, 5));
    rects.add(1, rect(10, 0, 15, 5));
    rects.hitTest(12, 2);
    rects.clear();
    rects.add(1, rect(0, 0, 5, 5));
    QImage canvas(20, 5, QImage::Format_RGB32);
    canvas.fill(qRgb(0, 0, 0));
    const QImage before = canvas;
    rects.drawHighlight(canvas);
    EXPECT_EQ(canvas, before);
}
