#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where the two windows go on the desktop. Plain geometry, so it is tested without windows.

// How much of a window must lie on some screen for its stored place to stand: enough to grab it.
constexpr int kReachablePixels = 32;

// A window's stored top-left (of its frame): kept when at least kReachablePixels of the window,
// across and down, lie on one of the screens' areas; otherwise the window is put whole in the
// middle of the first area.
QPoint reachablePlace(QPoint stored, QSize frame, const QList<QRect> &areas);

// The first placement, before any was stored: the preview and the main window side by side in
// the middle of the area when both fit across it, else each whole on it (the main window at the
// left edge, the preview at the right). Frame sizes include the title bars. Returns the preview's
// top-left, then the main window's.
std::pair<QPoint, QPoint> sideBySide(QSize preview, QSize main, const QRect &area);
