#pragma once

#include <QImage>

// The skin's two pictures, each held twice in its own size: the working copy the preview is made
// from, and the copy that exports write out.
struct SkinPictures
{
    QImage BackgroundSource;
    QImage BackgroundPicture;
    QImage CursorSource;
    QImage CursorPicture;
};
