#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <array>

// A preview font as the settings file keeps it: a face, a style code and a size in points.
struct SettingsFont
{
    QString name = QStringLiteral("Nokia Hindi S60");
    // 0 regular, 1 bold, 2 italic, 3 bold and italic.
    int style = 1;
    int size = 8;

    bool operator==(const SettingsFont &) const = default;
};

// The style code of a font; anything the code cannot say (underline, strike-out) writes 0.
int settingsFontStyle(bool bold, bool italic, bool underline, bool strikeOut);

// Everything the settings file holds. The defaults are the controls' states before any file is
// read: keys that can only tick a box rely on them, so an option saved as off stays off.
struct SettingsValues
{
    // "{ PreviewDesktop }": the size fields' texts, the phone frame, the model's name.
    QString screenWidth = QStringLiteral("240");
    QString screenHeight = QStringLiteral("320");
    bool phoneFrame = false;
    QString modelName;
    QPoint setupFormPosition; // the main window's left and top
    int colourWindowAlpha = 255;
    bool setupFormShow = false;
    QPoint previewFormPosition; // the preview window's left and top
    // Picture formats: 1 PNG, 0 JPG, 2 MBM; JPEG quality 1..100.
    int backgroundFormat = 0;
    int backgroundQuality = 80;
    int cursorFormat = 0;
    int cursorQuality = 80;
    bool showWindow = false;
    bool showSettings = false;
    int sortIndex = 0;    // 0 by status, 1 by name
    int selectRegion = 1; // 0 one element, 1 every element of a colour
    bool showOffline = false;
    bool showGroup = false;
    bool expert = true;
    bool showMenu = false;
    bool menuLeft = false;
    bool showInfoWindows = false;
    bool infoWindowsLeft = false;
    bool miniClock = false;
    bool oldInterface = false;
    QString lastShellPath;
    bool showClients = false;
    // Contact list, chat window, settings and menus.
    std::array<SettingsFont, 3> fonts;
    int columns = 2;
    int symbianIndex = 1; // 0 "Symbian OS 9.1", 1 "Symbian OS 9.2 и выше"

    bool operator==(const SettingsValues &) const = default;
};

// Settings files larger than this are not settings files: they are not read.
inline constexpr qint64 kMaxSettingsFileSize = 1024 * 1024;

// The text a fresh installation starts from, byte for byte: its own key order, no "{ Expert }",
// one value line under "{ PreviewShowMenu }" and no line end after the last line.
QByteArray defaultSettingsText(const QString &desktopFolder);

// Reads a settings file over values, key by key as the file gives them. A key line swallowed as
// a value of an earlier key still counts when it comes later in the reader's order. Returns one
// line for each key whose numbers did not read; such a key changes nothing.
QStringList readSettings(const QByteArray &bytes, SettingsValues &values);

// The file the writer makes: every key in its fixed order, CR LF after each line, cp1251. A text
// the code page cannot hold is written as an empty line.
QByteArray writeSettings(const SettingsValues &values);
