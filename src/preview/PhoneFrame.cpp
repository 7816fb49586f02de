#include "preview/PhoneFrame.h"

#include <QPainter>

QRegion screenShape(QSize screen)
{
    return QRegion(0, 0, qMax(0, screen.width() - 1), qMax(0, screen.height() - 1));
}

// Row by row, runs of fully opaque pixels become rectangles; the window shows exactly them.
QRegion windowShape(const QImage &picture)
{
    if (!picture.hasAlphaChannel())
        return screenShape(picture.size());
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QRegion shape;
    QList<QRect> rects;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        int run = 0;
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) == 255) {
                ++run;
            } else if (run > 0) {
                rects.append(QRect(x - run, y, run, 1));
                run = 0;
            }
        }
        if (run > 0)
            rects.append(QRect(argb.width() - run, y, run, 1));
    }
    shape.setRects(rects.constData(), int(rects.size()));
    return shape;
}

PhoneFrame phoneFrame(const QImage &picture, const PhoneModel &model)
{
    return {picture, windowShape(picture), QPoint(model.x, model.y)};
}

QImage framedScreen(const QImage &screen, const PhoneFrame &frame)
{
    QImage shown(frame.picture.size(), QImage::Format_ARGB32);
    shown.fill(Qt::transparent);
    QPainter painter(&shown);
    painter.setClipRegion(frame.shape);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, frame.picture.convertToFormat(QImage::Format_ARGB32));
    painter.drawImage(frame.screenAt, screen);
    return shown;
}
