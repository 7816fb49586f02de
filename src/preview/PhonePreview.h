#pragma once

#include "core/ColourScheme.h"
#include "document/SkinDocument.h"
#include "preview/PhoneFont.h"
#include "preview/Render.h"

#include <QImage>
#include <QObject>
#include <QTime>
#include <QTimer>

#include <functional>

// The window's simulated phone screen: the options it shows, and the last frame render() drew
// for them from the skin document, with the element under the mouse highlighted. Every setter
// and every change of the document draws a new frame, unless a RenderBatch holds them back.
class PhonePreview : public QObject
{
    Q_OBJECT
public:
    // The document must outlive the preview.
    PhonePreview(PreviewResources resources, SkinDocument &document, QObject *parent = nullptr);

    // --- state -----------------------------------------------------------------------------
    // True while a RenderBatch holds the renders back.
    bool busy() const { return m_busy; }
    const PreviewState &state() const { return m_state; }
    SkinDocument &document() const { return m_document; }
    TColor colour(int index) const { return m_document.tableColour(index); }
    QSize screenSize() const { return m_state.screenSize; }
    const PreviewResources &resources() const { return m_res; }
    // The background at the screen's size and the cursor at its fixed size, as drawn.
    const QImage &shownBackground() const { return m_shown.background; }
    const QImage &shownCursor() const { return m_shown.cursor; }
    // What render() needs besides the state and the skin, as this preview draws: its clock,
    // its pictures at its screen size and its shaped texts. Valid until the next change.
    RenderContext renderContext();

    // --- setters: store, then Render --------------------------------------------------------
    // All options at once, with one render.
    void setState(const PreviewState &state);
    void setActiveScreen(PreviewScreen screen);
    // Writes into the document's colour table: index n is slot n - 1; index 0 stays white.
    void setColour(int index, TColor colour);
    // One on/off option (&PreviewState::showGroups, …) or one of the three fonts.
    void setOption(bool PreviewState::*option, bool on);
    void setFont(PhoneFont PreviewState::*font, const PhoneFont &value);
    void setColumns(int columns);
    void setScreenSize(QSize size);
    void setSelection(SelectionMode mode);
    // The pictures as drawn, replaced as they are. Normally they are made from the document's
    // pictures at every change of those or of the screen size; this is for drawing a picture
    // of another size, as the benchmarks and tests do.
    void setBackground(const QImage &picture);
    void setCursor(const QImage &picture);

    // The clock the contact list shows; tests and the command line pin it.
    void setClock(std::function<QTime()> clock) { m_clock = std::move(clock); }
    void stopBlinking() { m_blinkTimer.stop(); }
    void startBlinking() { m_blinkTimer.start(); }

    // --- drawing ----------------------------------------------------------------------------
    void Render();
    // Told about every layer and text of the renders that follow; null stops it. The observer
    // must outlive its use.
    void setObserver(RenderObserver *observer) { m_observer = observer; }
    const QImage &picture() const { return m_picture; }
    TSelRects &regions() { return m_regions; }
    const TSelRects &regions() const { return m_regions; }
    // Hit-tests an image point; true when the element under it changed.
    bool hitTest(int x, int y) { return m_regions.hitTest(x, y); }
    int HoverSlot() const { return m_regions.HoverSlot; }
    bool HighlightHidden() const { return m_regions.HighlightHidden; }
    void setHighlightHidden(bool hidden) { m_regions.HighlightHidden = hidden; }
    // "HH:MM" as the clock shows it now.
    QString clockText() const { return ::clockText(m_clock()); }

signals:
    void rendered();

private:
    friend class RenderBatch;
    template<typename T>
    void store(T &field, const T &value)
    {
        field = value;
        Render();
    }
    void blinkTick();
    // The shown copies follow the document's pictures and the screen size.
    void scalePictures();

    PreviewResources m_res;
    SkinDocument &m_document;
    RenderObserver *m_observer = nullptr;
    bool m_busy = false;
    PreviewState m_state;
    ShownPictures m_shown;
    TextShapes m_shapes;
    QImage m_picture;
    TSelRects m_regions;
    QTimer m_blinkTimer;
    std::function<QTime()> m_clock = [] {
        return QTime::currentTime();
    };
};

// Applies a batch of changes to the preview without drawing in between; the outermost batch
// renders once when it ends, however its scope is left. A null preview is allowed (start-up may
// have stopped before the preview was built).
class RenderBatch
{
public:
    explicit RenderBatch(PhonePreview *preview);
    ~RenderBatch();
    RenderBatch(const RenderBatch &) = delete;
    RenderBatch &operator=(const RenderBatch &) = delete;

private:
    PhonePreview *m_preview;
    bool m_wasBusy = false;
};
