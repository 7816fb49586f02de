#pragma once

// Pictures shared by the picture-container tests.

#include <QImage>

// A picture whose pixels differ, so that a swapped or shifted row shows.
inline QImage pattern(int w, int h, int seed = 0)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) % 256, (y * 13 + seed) % 256, (x ^ y) % 256));
    return image;
}

inline QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// What the converter's 16-bit colour keeps of a pixel.
inline QRgb as565(QRgb p)
{
    return qRgb(qRed(p) & 0xF8, qGreen(p) & 0xFC, qBlue(p) & 0xF8);
}
