#include "preview/PhoneFrame.h"

#include <gtest/gtest.h>

TEST(PhoneFrameShape, FollowsTheFullyOpaquePixels)
{
    // 4 x 3, alpha by row: opaque runs at the row ends, inside and nowhere.
    const int alpha[3][4] = {{255, 255, 254, 255}, {0, 255, 255, 0}, {128, 0, 0, 1}};
    QImage picture(4, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            picture.setPixel(x, y, qRgba(10, 20, 30, alpha[y][x]));
    const QRegion shape = windowShape(picture);
    QRegion expected;
    expected += QRect(0, 0, 2, 1);
    expected += QRect(3, 0, 1, 1);
    expected += QRect(1, 1, 2, 1);
    EXPECT_TRUE((shape ^ expected).isEmpty());
    EXPECT_TRUE(shape.contains(QPoint(3, 0)));
    EXPECT_FALSE(shape.contains(QPoint(2, 0)));
}

TEST(PhoneFrameShape, WithoutTransparencyItIsTheRectangleShortOfItsLastRowAndColumn)
{
    QImage picture(50, 40, QImage::Format_RGB32);
    picture.fill(Qt::red);
    EXPECT_TRUE((windowShape(picture) ^ QRegion(0, 0, 49, 39)).isEmpty());
    EXPECT_TRUE((screenShape({240, 320}) ^ QRegion(0, 0, 239, 319)).isEmpty());
}

TEST(PhoneFrameShape, FramedScreenHasTheScreenAtItsPlaceAndNothingOutside)
{
    QImage picture(30, 40, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int y = 2; y < 38; ++y)
        for (int x = 3; x < 27; ++x)
            picture.setPixel(x, y, qRgba(90, 90, 90, 255));
    picture.setPixel(1, 1, qRgba(255, 0, 0, 200)); // half-transparent: outside the shape
    QImage screen(10, 12, QImage::Format_RGB32);
    screen.fill(QColor(1, 2, 3));
    const PhoneFrame frame =
        phoneFrame(picture, {QStringLiteral("m"), 10, 12, 5, 6, QStringLiteral("m.png")});
    const QImage shown = framedScreen(screen, frame);
    ASSERT_EQ(shown.size(), QSize(30, 40));
    EXPECT_EQ(shown.copy(5, 6, 10, 12).convertToFormat(QImage::Format_RGB32), screen);
    EXPECT_EQ(shown.pixel(4, 4), qRgba(90, 90, 90, 255));
    EXPECT_EQ(qAlpha(shown.pixel(1, 1)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
}
