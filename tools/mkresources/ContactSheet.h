#pragma once

#include "IconSets.h"

#include <QImage>
#include <QList>

// One picture showing every icon of every list with its number, each on a light and on a dark
// ground, for reviewing the set the way a skin author will see it. `statusTable` maps the
// client's status numbers to the icon each one draws (codes below 24 are badges over icon 24,
// 253 is the incoming-message picture of the program icons).
QImage contactSheet(const QList<IconList> &lists, const QList<int> &statusTable);
