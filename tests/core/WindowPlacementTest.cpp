#include "core/WindowPlacement.h"

#include <gtest/gtest.h>

#include <climits>

TEST(WindowPlacement, AStoredPlaceStandsWhileTheWindowCanBeReached)
{
    const QList<QRect> areas = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
    const QSize frame(300, 200);
    // Partly off the screen, on the second screen, across both: as the file says.
    for (const QPoint stored : {QPoint(-268, 10), QPoint(2000, 500), QPoint(1200, -168),
                                QPoint(1280 + 1920 - 32, 1080 - 32)})
        EXPECT_EQ(reachablePlace(stored, frame, areas), stored) << stored.x() << ',' << stored.y();
    // Less than 32 pixels on any screen: back in the middle of the first, whole.
    const QPoint middle(640 - 150, 512 - 100);
    for (const QPoint stored : {QPoint(-269, 10), QPoint(1280 + 1920 - 31, 0), QPoint(10, -169),
                                QPoint(10, 1024 + 1080), QPoint(3200, 10)})
        EXPECT_EQ(reachablePlace(stored, frame, areas), middle) << stored.x() << ',' << stored.y();
    // Numbers at the ends of the range, as a damaged file may hold, overflow nothing.
    EXPECT_EQ(reachablePlace(QPoint(INT_MAX, INT_MAX), frame, areas), middle);
    EXPECT_EQ(reachablePlace(QPoint(INT_MIN, 0), frame, areas), middle);
    EXPECT_EQ(reachablePlace(QPoint(0, 0), QSize(INT_MAX, INT_MAX), areas), QPoint(0, 0));
}

TEST(WindowPlacement, TheFirstPlacementPutsTheWindowsSideBySideWhole)
{
    const QRect area(0, 30, 1280, 994);
    // Both fit: side by side, together in the middle, the preview first.
    auto [preview, main] = sideBySide(QSize(400, 700), QSize(500, 600), area);
    EXPECT_EQ(preview, QPoint(190, 30 + 147));
    EXPECT_EQ(main, QPoint(590, 30 + 197));
    // A wide phone and the main window do not fit across: each whole, at either edge.
    std::tie(preview, main) = sideBySide(QSize(900, 500), QSize(500, 1200), area);
    EXPECT_EQ(preview, QPoint(380, 30));
    EXPECT_EQ(main, QPoint(0, 30)) << "a window taller than the area keeps its title bar on it";
}
