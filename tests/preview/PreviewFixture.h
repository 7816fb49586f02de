#pragma once

#include "core/Cp1251.h"
#include "preview/PhonePreview.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

namespace previewtest {

enum List { XStatus = 1, Status, Program, Smileys };

// Icon N of a synthetic list is a solid square of iconColour(list, N); its mask shows all of it
// (masks added to a list key on white).
inline QRgb iconColour(int list, int icon)
{
    return QColor::fromHsv((list * 67 + icon * 7) % 360, 220, 60 + (icon * 13) % 190).rgb();
}

inline void fillIcons(MbmImageList &list, int listId, int items, QSize size = {16, 16})
{
    QImage icon(size, QImage::Format_RGB32);
    for (int i = 0; i < items; ++i) {
        icon.fill(i % 2 ? QColor(Qt::black) : QColor(iconColour(listId, i)));
        list.Add(icon);
    }
}

inline PreviewResources iconResources()
{
    PreviewResources res;
    fillIcons(res.XStatusIcons, XStatus, 74);
    fillIcons(res.StatusIcons, Status, 64);
    fillIcons(res.ClientIcons, 0, 86);
    fillIcons(res.ProgramIcons, Program, 96);
    fillIcons(res.PrivateStatusIcons, 0, 6);
    return res;
}

inline PhoneFont pixelFont(int height)
{
    return {QStringLiteral("Nokia Hindi S60"), -height, false, false};
}

inline int textWidth(int fontHeight, const QString &text)
{
    return QFontMetrics(pixelFont(fontHeight).toQFont()).horizontalAdvance(text);
}

// The screens these tests measure list offline contacts with their client icons, and highlight
// single elements.
inline PreviewState listedState()
{
    PreviewState state;
    state.showOffline = true;
    state.showClients = true;
    state.selection = SelectionMode::SingleElement;
    return state;
}

class ScreenFixture : public ::testing::Test
{
protected:
    // Every slot gets a colour of its own, so framed boxes register rings and fills.
    void make(PreviewResources res, QSize size = {240, 320}, int settingsFont = 11)
    {
        preview = std::make_unique<PhonePreview>(std::move(res), document);
        preview->stopBlinking();
        {
            RenderBatch batch(preview.get());
            preview->setState(listedState());
            for (int slot = 0; slot < 20; ++slot)
                preview->setColour(slot + 1,
                                   makeColor(10 + slot * 12, 200 - slot * 9, 40 + slot * 7));
            preview->setScreenSize(size);
            preview->setFont(&PreviewState::settingsFont, pixelFont(settingsFont));
        }
    }

    // Bounding boxes of a slot's non-empty regions starting at or below top, in drawing order.
    QList<QRect> boxes(int slot, int top = INT_MIN) const
    {
        QList<QRect> result;
        for (const QRegion &r : preview->regions().regions(slot + 1)) {
            if (!r.isEmpty() && r.boundingRect().top() >= top)
                result.append(r.boundingRect());
        }
        return result;
    }

    // The slot whose region holds the point, or -1.
    int slotAt(int x, int y)
    {
        preview->hitTest(x, y);
        return preview->HighlightHidden() ? -1 : preview->HoverSlot() - 1;
    }

    QRgb pixel(int x, int y) const { return preview->picture().pixel(x, y); }

    SkinDocument document;
    std::unique_ptr<PhonePreview> preview;
};

} // namespace previewtest
