#pragma once

#include <QColor>
#include <QString>

// Lays out a throw-away program folder: the converter, the default pictures and a small,
// synthetic set of the client's resource files whose icons are plain coloured squares (icon N of
// a list is filled with iconColour(list, N)), so tests can recognise what was drawn where. Its
// Settings.cfg is empty, so windows start from the options' initial states.
struct ProgramFolderFixture
{
    enum class Skip {
        Nothing,
        Bmconv,
        StatusMbm,
        SmiliesMbm,
        SmiliesIni,
        TextOfChat,
        Back,
        Cursor
    };

    // Returns an empty string on success, else what went wrong.
    static QString create(const QString &folder, Skip skip = Skip::Nothing);

    // The colour of icon N in a list ("Status", "XStatus", "Clients", "pricons", "PStatus").
    static QColor iconColour(const QString &list, int icon);

    // The sample chat header the fixture writes.
    static QByteArray chatText();
};
