#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

#include <algorithm>
#include <cstdlib>

// How far two decoded pictures are apart, pixel by pixel and channel by channel (alpha too).
// Pictures drawn through Qt's raster engine with anti-aliasing, gradients or translucency may
// differ in the last bit from one CPU to another: tests of such pictures allow a stated number
// of levels in a stated number of pixels instead of comparing bytes.
struct PictureDifference
{
    bool sameSize = true;
    // Pixels where any channel differs at all.
    qsizetype pixels = 0;
    // The largest difference of one channel, and where it is.
    int worstLevel = 0;
    QPoint worstAt;

    bool within(int levels, qsizetype pixelLimit) const
    {
        return sameSize && worstLevel <= levels && pixels <= pixelLimit;
    }
    QString describe() const
    {
        if (!sameSize)
            return QStringLiteral("the sizes differ");
        return QStringLiteral("%1 pixels differ, by up to %2 levels (at %3,%4)")
            .arg(pixels)
            .arg(worstLevel)
            .arg(worstAt.x())
            .arg(worstAt.y());
    }
};

inline PictureDifference pictureDifference(const QImage &a, const QImage &b)
{
    PictureDifference result;
    if (a.size() != b.size()) {
        result.sameSize = false;
        return result;
    }
    const QImage left = a.convertToFormat(QImage::Format_ARGB32);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < left.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(left.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(right.constScanLine(y));
        for (int x = 0; x < left.width(); ++x) {
            if (p[x] == q[x])
                continue;
            ++result.pixels;
            const int level = std::max(
                {std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                 std::abs(qBlue(p[x]) - qBlue(q[x])), std::abs(qAlpha(p[x]) - qAlpha(q[x]))});
            if (level > result.worstLevel) {
                result.worstLevel = level;
                result.worstAt = QPoint(x, y);
            }
        }
    }
    return result;
}
