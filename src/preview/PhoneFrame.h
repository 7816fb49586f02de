#pragma once

#include "core/PhoneModels.h"

#include <QImage>
#include <QPoint>
#include <QRegion>

// The phone picture around the simulated screen and the window shape it gives.

// The shape of a window showing picture: the union of its fully opaque pixels when it has an
// alpha channel, else the rectangle (0, 0) to (width - 1, height - 1), right and bottom edges
// excluded.
QRegion windowShape(const QImage &picture);
// The shape of a window showing only the screen: the same rectangle rule.
QRegion screenShape(QSize screen);

struct PhoneFrame
{
    QImage picture;
    QRegion shape;
    // Where the screen's top-left pixel sits in the picture.
    QPoint screenAt;
};

// A model's phone picture (decoded with its transparency) with its shape and screen position.
PhoneFrame phoneFrame(const QImage &picture, const PhoneModel &model);

// The screen inside its phone, as the preview window shows it: the picture with the screen
// drawn at screenAt, every pixel outside the shape fully transparent.
QImage framedScreen(const QImage &screen, const PhoneFrame &frame);
