#pragma once

#include "containers/MbmImageList.h"
#include "core/ColourScheme.h"
#include "document/SkinDocument.h"
#include "preview/ChatSample.h"
#include "preview/ContactList.h"
#include "preview/PhoneFont.h"
#include "preview/PreviewState.h"
#include "preview/ScreenStates.h"
#include "preview/SelectionRegions.h"
#include "preview/Smiles.h"

#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QTime>
#include <QTimer>

#include <array>
#include <functional>

class QPainter;

// Where a menu row's icon comes from.
enum class MenuIconSource {
    Program,       // ProgramIcons
    StatusCode,    // a status code drawn as contact rows draw it
    XStatus,       // XStatusIcons
    PrivateStatus, // PrivateStatusIcons
};

// One line of a softkey menu.
struct MenuRow
{
    QString label;
    MenuIconSource source;
    int icon;
    int textSlot;
};

// Everything the simulated screen draws with, read from the client's files beside the program.
struct PreviewResources
{
    MbmImageList XStatusIcons;
    MbmImageList StatusIcons;
    MbmImageList ClientIcons;
    MbmImageList ProgramIcons;
    MbmImageList PrivateStatusIcons;
    TSmiles smiles;
    ChatSample chat;
    CL loadedList;
};

// Watches a render from the inside, for the quality checks: which layer is being drawn, and
// every text just before it is drawn, with the canvas holding exactly the layers under it.
class RenderObserver
{
public:
    virtual ~RenderObserver() = default;
    // Called before the layer's first element; the screen layer starts every render.
    virtual void layerStarted(RenderLayer layer) = 0;
    // box is the text's box as far as it shows (inside its clip and the canvas), never empty.
    virtual void textAbout(int colourSlot, const QRect &box, const QImage &canvas) = 0;
};

// The simulated phone screen: its options, and Render, which draws the active screen with its
// layers from the skin document into a picture and rebuilds the selection regions. Every setter
// renders, and so does every change of the document.
class PhonePreview : public QObject
{
    Q_OBJECT
public:
    // Pixels of this colour are transparent when the picture is shown over a phone frame.
    static constexpr QRgb kTransparentColour = 0xFFE809F0; // RGB(232, 9, 240)
    // The status icon table: status number -> status code of a contact row.
    static constexpr std::array<quint8, 22> kStatusCodes = {
        253, 30, 48, 32, 34, 38, 36, 24, 0, 18, 20, 16, 14, 10, 6, 8, 2, 12, 4, 26, 52, 28};
    // The nick the pop-up window announces a message from.
    static QString popupNick() { return QStringLiteral("Катя"); }

    // The document must outlive the preview.
    PhonePreview(PreviewResources resources, SkinDocument &document, QObject *parent = nullptr);

    // --- state -----------------------------------------------------------------------------
    // Set while a batch of changes is applied, so that nothing is drawn half-way; RenderBatch
    // sets and clears it.
    bool Busy = false;
    const PreviewState &state() const { return m_state; }
    SkinDocument &document() const { return m_document; }
    PreviewScreen ActiveScreen() const { return m_state.activeScreen; }
    TColor colour(int index) const { return m_document.tableColour(index); }
    bool ShowMenu() const { return m_state.showMenu; }
    bool ShowPopup() const { return m_state.showPopup; }
    int Columns() const { return m_state.columns; }
    bool SortByStatus() const { return m_state.sortByStatus; }
    bool ShowOffline() const { return m_state.showOffline; }
    bool ShowGroups() const { return m_state.showGroups; }
    bool MiniClock() const { return m_state.miniClock; }
    bool ShowInfoWindows() const { return m_state.showInfoWindows; }
    bool InfoWindowsLeft() const { return m_state.infoWindowsLeft; }
    bool ShowClients() const { return m_state.showClients; }
    bool MenuLeft() const { return m_state.menuLeft; }
    bool BlinkPhase() const { return m_state.blinkPhase; }
    SelectionMode Selection() const { return m_state.selection; }
    const PhoneFont &ContactListFont() const { return m_state.contactListFont; }
    const PhoneFont &ChatFont() const { return m_state.chatFont; }
    const PhoneFont &SettingsFont() const { return m_state.settingsFont; }
    QSize screenSize() const { return m_state.screenSize; }
    const PreviewResources &resources() const { return m_res; }
    // The background at the screen's size and the cursor at its fixed size, as drawn.
    const QImage &shownBackground() const { return m_background; }
    const QImage &shownCursor() const { return m_cursor; }

    // --- setters: store, then Render --------------------------------------------------------
    // All options at once, with one render.
    void setState(const PreviewState &state);
    void setActiveScreen(PreviewScreen screen);
    // Writes into the document's colour table: index n is slot n - 1; index 0 stays white.
    void setColour(int index, TColor colour);
    void setShowMenu(bool on);
    void setShowPopup(bool on);
    void setColumns(int columns);
    void setSortByStatus(bool on);
    void setShowOffline(bool on);
    void setShowGroups(bool on);
    void setMiniClock(bool on);
    void setShowInfoWindows(bool on);
    void setInfoWindowsLeft(bool on);
    void setShowClients(bool on);
    void setMenuLeft(bool on);
    void setContactListFont(const PhoneFont &font);
    void setChatFont(const PhoneFont &font);
    void setSettingsFont(const PhoneFont &font);
    void setScreenSize(QSize size);
    void setSelection(SelectionMode mode);
    void setBlinkPhase(bool on);
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

    // Shared drawing primitives; slots are scheme slots 0..19.
    void textLabel(QPainter &p, int colourSlot, const QString &text, int x, int y, int regionSlot);
    void clippedText(QPainter &p, int colourSlot, const QString &text, int x, int y,
                     const QRect &clip, int regionSlot);
    void framedBox(QPainter &p, int outlineSlot, int x1, int y1, int x2, int y2, int fillSlot);
    // The advance of a text in a font, as clippedText measures it; shaped once and kept.
    int textWidth(const QFont &font, const QString &text) { return textLayout(font, text).width; }
    // Registers the half-open rectangle (left, top, right, bottom) for a slot.
    void addRegion(int slot, int left, int top, int right, int bottom);

    void DrawContactList(QPainter &p);
    void DrawContactRow(QPainter &p, int x, int y, int width, int statusCode, int xstatusIcon,
                        int clientIcon, const QString &text, int textSlot, int regionSlot);
    void DrawChatWindow(QPainter &p);
    void DrawSettingsScreen(QPainter &p);
    // The menu of the active screen and softkey, if it has one.
    void DrawMenus(QPainter &p);
    void DrawMenuRow(QPainter &p, int x, int textSlot, const QString &label, int icon,
                     MenuIconSource source, int y);
    void DrawPopup(QPainter &p);
    void DrawInfoWindows(QPainter &p);
    // Draws chat markup (colour markers, smiley codes, CR LF) into the half-open rectangle with
    // the current canvas font, wrapping at spaces and stopping at the first piece that does not
    // fit. Every text piece is registered under its colour's slot.
    void DrawSmileyText(QPainter &p, int left, int top, int right, int bottom, const QString &text);

    // The three softkey menus, row by row.
    static const QList<MenuRow> &mainMenu();
    static const QList<MenuRow> &functionsMenu();
    static const QList<MenuRow> &chatMenu();

    // The status code a status number draws with; 255 (no icon) outside the table.
    static int statusCode(int status);
    // "HH:MM" as the clock shows it.
    QString clockText() const;

signals:
    void rendered();

private:
    // A text shaped once for a font: its advance and its glyphs placed from the line's top.
    struct TextLayout
    {
        int width = 0;
        qreal lineAscent = 0;
        QList<QGlyphRun> glyphs;
    };
    const TextLayout &textLayout(const QFont &font, const QString &text);
    void setCanvasFont(QPainter &p, const PhoneFont &font);
    void drawSoftkeys(QPainter &p, const QString &left, const QString &right);
    int menuRowHeight(int fontHeight) const;
    QColor slotColour(int slot) const { return toQColor(m_document.slotColour(slot)); }
    template<typename T>
    void store(T &field, const T &value)
    {
        field = value;
        Render();
    }
    void blinkTick();
    // The shown copies follow the document's pictures and the screen size.
    void scalePictures();

    void startLayer(RenderLayer layer)
    {
        if (m_observer)
            m_observer->layerStarted(layer);
    }

    PreviewResources m_res;
    SkinDocument &m_document;
    RenderObserver *m_observer = nullptr;
    // Shaped texts by font key and text.
    QHash<QString, TextLayout> m_textLayouts;
    QFont m_keyedFont;
    QString m_fontKey;
    PreviewState m_state;
    QImage m_background;
    QImage m_cursor;
    QImage m_picture;
    TSelRects m_regions;
    QTimer m_blinkTimer;
    std::function<QTime()> m_clock = [] {
        return QTime::currentTime();
    };
    PhoneFont m_canvasFont;
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
