#pragma once

#include <QIcon>
#include <QImage>

// The program's own flower icon, painted rather than shipped so it is sharp at any size.
QImage paintProgramIcon(int size);
QIcon programIcon();
