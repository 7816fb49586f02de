#include "ui/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

QImage paintProgramIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal c = size / 2.0;
    const qreal petal = size * 0.2;
    // Eight petals around a centre, in the violet-and-teal of the default background.
    for (int i = 0; i < 8; ++i) {
        const qreal angle = i * std::numbers::pi / 4;
        const QPointF centre(c + std::cos(angle) * size * 0.28, c + std::sin(angle) * size * 0.28);
        p.setPen(QPen(QColor(40, 30, 90), size / 48.0));
        p.setBrush(i % 2 ? QColor(96, 180, 190) : QColor(140, 110, 220));
        p.drawEllipse(centre, petal, petal);
    }
    p.setBrush(QColor(250, 210, 80));
    p.drawEllipse(QPointF(c, c), size * 0.17, size * 0.17);
    return image;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(paintProgramIcon(size)));
    return icon;
}
