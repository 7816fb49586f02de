#include "IconSets.h"
#include "Motifs.h"

// Private statuses: who may see that the user is online. All are the same eye, open for
// "seen", closed for "seen by nobody", with a badge naming who.

namespace {

const QRectF kEye(0.5, 1.0, 14.0, 8.5);
const QPointF kCorner(11.9, 11.9);
constexpr qreal kCornerSize = 7.4;

QImage eyeWith(void (*sign)(QPainter &, QPointF, qreal))
{
    return paintIcon([&](QPainter &p) {
        motif::eye(p, kEye, pal::green);
        if (sign)
            sign(p, kCorner, kCornerSize);
    });
}

// A list: seen only by the people on the contact list.
void contactListBadge(QPainter &p, QPointF c, qreal d)
{
    motif::badge(p, c, d, pal::blue);
    for (qreal dy : {-1.6, 0.0, 1.6})
        draw::line(p, c + QPointF(-1.8, dy), c + QPointF(1.8, dy), pal::white, 0.9);
}

} // namespace

IconList privateStatusIcons()
{
    NumberedIcons list(QStringLiteral("ICQ/PStatus.mbm"), 5);
    list.set(0, QStringLiteral("visible to all"), eyeWith(nullptr));
    list.set(2, QStringLiteral("visible to the visible list"), eyeWith(motif::checkBadge));
    list.set(4, QStringLiteral("visible to the contact list"), eyeWith(contactListBadge));
    list.set(6, QStringLiteral("visible to all but the invisible list"),
             eyeWith(motif::minusBadge));
    list.set(8, QStringLiteral("invisible to all"), paintIcon([](QPainter &p) {
                 motif::eye(p, QRectF(0.5, 2.5, 15.0, 11.0), pal::grey, false);
             }));
    return list.take();
}
