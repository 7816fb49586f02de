#pragma once

#include "containers/Progress.h"
#include "containers/mainMBM.h"
#include "core/ColourScheme.h"
#include "preview/ChatSample.h"
#include "preview/ContactList.h"
#include "preview/PhoneFont.h"
#include "preview/SelectionRegions.h"
#include "preview/Smiles.h"

#include <QImage>
#include <QObject>
#include <QTime>
#include <QTimer>

#include <array>
#include <functional>
#include <optional>
#include <random>

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
    TMBMconvImageList XStatusIcons;
    TMBMconvImageList StatusIcons;
    TMBMconvImageList ClientIcons;
    TMBMconvImageList ProgramIcons;
    TMBMconvImageList PrivateStatusIcons;
    TSmiles smiles;
    ChatSample chat;
    CL loadedList;
};

// Where resource loading shows its progress and its fatal error (the start-up window).
struct StartupReporter
{
    std::function<void(const QString &)> progress;
    std::function<void(const QString &)> error;
};

// Loads the icon lists, smileys, sample chat and contact list in the client's order. A missing
// file is reported through reporter.error and ends loading (nullopt). The sample contact list
// comes from random when there is no CList.txt. messages receives the converter's complaints.
std::optional<PreviewResources> loadPreviewResources(const QString &programFolder,
                                                     const StartupReporter &reporter,
                                                     std::mt19937 &random,
                                                     const MessageCallback &messages = {});

// The simulated phone screen: its state, and Render, which draws the active screen with its
// layers into a picture and rebuilds the selection regions. Every setter renders.
class TTolvoPreview : public QObject
{
    Q_OBJECT
public:
    // Pixels of this colour are transparent when the picture is shown over a phone frame.
    static constexpr QRgb kTransparentColour = 0xFFE809F0; // RGB(232, 9, 240)
    // The status icon table: status number -> status code of a contact row.
    static constexpr std::array<quint8, 22> kStatusCodes = {
        253, 30, 48, 32, 34, 38, 36, 24, 0, 18, 20, 16, 14, 10, 6, 8, 2, 12, 4, 26, 52, 28};
    // ActiveScreen values; 1 shows the contact list as well.
    static constexpr int kContactListScreen = 0;
    static constexpr int kChatScreen = 2;
    static constexpr int kSettingsScreen = 3;
    // The nick the pop-up window announces a message from.
    static QString popupNick() { return QStringLiteral("Катя"); }

    explicit TTolvoPreview(PreviewResources resources, QObject *parent = nullptr);

    // --- state -----------------------------------------------------------------------------
    bool Busy = false;
    int ActiveScreen() const { return m_activeScreen; }
    TColor colour(int index) const { return m_colours.at(index); }
    bool ShowMenu() const { return m_showMenu; }
    bool ShowPopup() const { return m_showPopup; }
    int Columns() const { return m_columns; }
    bool SortByStatus() const { return m_sortByStatus; }
    bool ShowOffline() const { return m_showOffline; }
    bool ShowGroups() const { return m_showGroups; }
    bool MiniClock() const { return m_miniClock; }
    bool ShowInfoWindows() const { return m_showInfoWindows; }
    bool InfoWindowsLeft() const { return m_infoWindowsLeft; }
    bool ShowClients() const { return m_showClients; }
    bool MenuLeft() const { return m_menuLeft; }
    bool BlinkPhase() const { return m_blinkPhase; }
    const PhoneFont &ContactListFont() const { return m_contactListFont; }
    const PhoneFont &ChatFont() const { return m_chatFont; }
    const PhoneFont &SettingsFont() const { return m_settingsFont; }
    QSize screenSize() const { return m_size; }
    const PreviewResources &resources() const { return m_res; }

    // --- setters: store, then Render --------------------------------------------------------
    void setActiveScreen(int screen);
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
    void setBackground(const QImage &picture);
    void setCursor(const QImage &picture);
    void setBlinkPhase(bool on);

    // The clock the contact list shows; tests and the command line pin it.
    void setClock(std::function<QTime()> clock) { m_clock = std::move(clock); }
    void stopBlinking() { m_blinkTimer.stop(); }
    void startBlinking() { m_blinkTimer.start(); }

    // --- drawing ----------------------------------------------------------------------------
    void Render();
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
    void setCanvasFont(QPainter &p, const PhoneFont &font);
    void drawSoftkeys(QPainter &p, const QString &left, const QString &right);
    int menuRowHeight(int fontHeight) const;
    QColor slotColour(int slot) const { return toQColor(m_colours.at(slot + 1)); }
    template<typename T>
    void store(T &field, const T &value)
    {
        field = value;
        Render();
    }
    void blinkTick();

    PreviewResources m_res;
    int m_activeScreen = 0;
    std::array<TColor, kColourTableSize> m_colours{};
    bool m_showMenu = false;
    bool m_showPopup = false;
    // Until the settings say otherwise, the options of a fresh installation.
    int m_columns = 2;
    bool m_sortByStatus = true;
    bool m_showOffline = true;
    bool m_showGroups = false;
    bool m_miniClock = false;
    bool m_showInfoWindows = false;
    bool m_infoWindowsLeft = false;
    bool m_showClients = true;
    bool m_menuLeft = false;
    bool m_blinkPhase = false;
    PhoneFont m_contactListFont;
    PhoneFont m_chatFont;
    PhoneFont m_settingsFont;
    QSize m_size{240, 320};
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
