#pragma once

#include <QImage>

#include <array>

// The skin's two pictures, each held twice in its own size: the working copy the preview is made
// from, and the copy that exports write out.
struct SkinPictures
{
    QImage BackgroundSource;
    QImage BackgroundPicture;
    QImage CursorSource;
    QImage CursorPicture;

    // All four, for whatever treats them alike (comparing, storing, counting memory).
    std::array<const QImage *, 4> all() const
    {
        return {&BackgroundSource, &BackgroundPicture, &CursorSource, &CursorPicture};
    }
    std::array<QImage *, 4> all()
    {
        return {&BackgroundSource, &BackgroundPicture, &CursorSource, &CursorPicture};
    }
};
