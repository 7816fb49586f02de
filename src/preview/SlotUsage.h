#pragma once

#include "preview/PreviewState.h"
#include "preview/Render.h"

#include <QImage>
#include <QList>
#include <QRegion>
#include <QString>

// Where one colour slot paints: the named screens whose own layer (the screen itself, a menu,
// the pop-up or the notifications) registers an element of that slot.
struct ScreenUsage
{
    QString screen; // the namedScreens() name
    // The slot's elements in that layer, as the renderer registered them (later elements cut
    // out of earlier ones, so only what shows).
    QRegion region;
    // The rendered screen with those elements inverted, as hovering shows them; when asked for.
    QImage picture;
};

// Every named screen of base (its size, fonts and list options) where slot 0..19 paints, in
// namedScreens() order. context's pictures, when given, must be at base's screen size.
QList<ScreenUsage> slotUsage(const SkinState &skin, const PreviewResources &resources,
                             const PreviewState &base, int slot, bool withPictures = false,
                             const RenderContext &context = {});
