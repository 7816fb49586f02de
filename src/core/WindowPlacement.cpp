#include "core/WindowPlacement.h"

#include <algorithm>

namespace {

// The left or top edge that keeps a length whole inside [start, start + room), as far as it fits.
int whole(int wanted, int length, int start, int room)
{
    return std::max(start, std::min(wanted, start + room - length));
}

QPoint wholeIn(QPoint wanted, QSize size, const QRect &area)
{
    return {whole(wanted.x(), size.width(), area.left(), area.width()),
            whole(wanted.y(), size.height(), area.top(), area.height())};
}

// The length of [a, a + n) inside [b, b + m), in 64 bits: a damaged settings file may hold
// numbers at the ends of the range.
qint64 overlap(qint64 a, qint64 n, qint64 b, qint64 m)
{
    return std::max<qint64>(0, std::min(a + n, b + m) - std::max(a, b));
}

} // namespace

QPoint reachablePlace(QPoint stored, QSize frame, const QList<QRect> &areas)
{
    for (const QRect &area : areas) {
        if (overlap(stored.x(), frame.width(), area.x(), area.width()) >=
                std::min(kReachablePixels, frame.width()) &&
            overlap(stored.y(), frame.height(), area.y(), area.height()) >=
                std::min(kReachablePixels, frame.height()))
            return stored;
    }
    if (areas.isEmpty())
        return stored;
    const QRect &first = areas.first();
    return wholeIn(QPoint(first.x() + (first.width() - frame.width()) / 2,
                          first.y() + (first.height() - frame.height()) / 2),
                   frame, first);
}

std::pair<QPoint, QPoint> sideBySide(QSize preview, QSize main, const QRect &area)
{
    const int across = preview.width() + main.width();
    if (across <= area.width()) {
        const int left = area.left() + (area.width() - across) / 2;
        const auto middle = [&](QSize size) {
            return whole(area.top() + (area.height() - size.height()) / 2, size.height(),
                         area.top(), area.height());
        };
        return {QPoint(left, middle(preview)), QPoint(left + preview.width(), middle(main))};
    }
    return {wholeIn(QPoint(area.right() + 1 - preview.width(), area.top()), preview, area),
            wholeIn(area.topLeft(), main, area)};
}
