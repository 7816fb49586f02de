#pragma once

#include "containers/MbmImageList.h"
#include "document/SkinState.h"
#include "preview/ChatSample.h"
#include "preview/ContactList.h"
#include "preview/PreviewState.h"
#include "preview/ScreenStates.h"
#include "preview/SelectionRegions.h"
#include "preview/Smiles.h"

#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QTime>

#include <array>

// Drawing the simulated phone screen is one function of values: the options, the skin and the
// client's resources go in, a picture and the regions of its elements come out. Nothing is
// kept between two renders but what the caller hands in again (a cache of shaped texts, the
// pictures at the screen's size), so any number of callers, on any thread each, draw what they
// need without sharing a preview.

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

// What the phone client shows, whatever the skin: its menus, status table and sample nick.
struct PhoneScreen
{
    // Pixels of this colour are transparent when the picture is shown over a phone frame.
    static constexpr QRgb kTransparentColour = 0xFFE809F0; // RGB(232, 9, 240)
    // The status icon table: status number -> status code of a contact row.
    static constexpr std::array<quint8, 22> kStatusCodes = {
        253, 30, 48, 32, 34, 38, 36, 24, 0, 18, 20, 16, 14, 10, 6, 8, 2, 12, 4, 26, 52, 28};
    // The nick the pop-up window announces a message from.
    static QString popupNick() { return QStringLiteral("Катя"); }
    // The three softkey menus, row by row.
    static const QList<MenuRow> &mainMenu();
    static const QList<MenuRow> &functionsMenu();
    static const QList<MenuRow> &chatMenu();
    // The status code a status number draws with; 255 (no icon) outside the table.
    static int statusCode(int status);
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
    // Called before the layer's first element; the screen layer starts every render. regions
    // holds the elements registered so far.
    virtual void layerStarted(RenderLayer layer, const TSelRects &regions) = 0;
    // box is the text's box as far as it shows (inside its clip and the canvas), never empty.
    virtual void textAbout(int colourSlot, const QRect &box, const QImage &canvas) = 0;
};

// "HH:MM" as the contact list's clock shows the time.
QString clockText(QTime time);

// The skin's pictures as a screen of this size draws them: the background stretched to the
// screen, the cursor at its fixed size.
struct ShownPictures
{
    QImage background;
    QImage cursor;
};
ShownPictures shownPictures(const SkinPictures &pictures, QSize screenSize);

// Texts shaped once for a font and kept: labels, nicks and chat pieces repeat from render to
// render. Not for two threads at once.
class TextShapes
{
public:
    // A text's advance and its glyphs placed from the line's top.
    struct Shape
    {
        int width = 0;
        qreal lineAscent = 0;
        QList<QGlyphRun> glyphs;
    };
    const Shape &shape(const QFont &font, const QString &text);

private:
    QHash<QString, Shape> m_shapes;
    QFont m_keyedFont;
    QString m_fontKey;
};

// What a render needs besides the options and the skin. Left empty, the pictures are made from
// the skin and texts are shaped afresh; a caller drawing again and again hands in its own.
struct RenderContext
{
    // The time the contact list's clock shows.
    QTime clock{12, 0};
    // The skin's pictures at the state's screen size (shownPictures), or another picture drawn
    // as they would be.
    const ShownPictures *pictures = nullptr;
    TextShapes *shapes = nullptr;
};

// One drawn screen: the picture (kTransparentColour where nothing is drawn) and the regions of
// its elements, without a hover highlight.
struct Frame
{
    QImage picture;
    TSelRects regions;
};

// The state as it can be drawn: one to five columns, a screen of at least one pixel.
PreviewState drawableState(PreviewState state);

// Draws the active screen of state with its layers (menu, notifications, pop-up) in the skin's
// colours. observer, when given, is told about every layer and text as it is drawn.
Frame render(const PreviewState &state, const SkinState &skin, const PreviewResources &resources,
             RenderObserver *observer = nullptr, const RenderContext &context = {});
