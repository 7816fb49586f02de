#pragma once

#include "core/ColourScheme.h"
#include "platform/Error.h"

#include <QByteArray>
#include <QString>

#include <array>

// What a .skin file carries: the twenty slot colours and two texts.
struct SkinData
{
    std::array<TColor, kSlotCount> colours{};
    QString mifName;
    QString copyright;
};

// A read that failed part-way: the client's own reader keeps what it got before the failure,
// so callers need to know how far it came.
struct SkinReadFailure
{
    Error error;
    SkinData partial;
    int coloursRead = 0;
    bool mifNameRead = false;
};

// Text field code units <-> cp1251 bytes, the client's own mapping (not plain UTF-16).
quint16 skinCodeUnitFromByte(unsigned char byte);
unsigned char skinByteFromCodeUnit(quint16 unit);

std::expected<SkinData, SkinReadFailure> readSkin(const QByteArray &bytes, const QString &fileName);
Result<QByteArray> writeSkin(const SkinData &skin);

// The save dialog's texts that travel with the scheme.
struct SkinTexts
{
    QString skinFileName = QStringLiteral("default.skin");
    QString baseName = QStringLiteral("default");
    QString mifName = QStringLiteral("default.mif");
    QString copyright;

    bool operator==(const SkinTexts &) const = default;
};

// The part of a .skin file any reader looks at: the colours and two text fields of the longest
// length a field can have. Whatever follows is not read, whatever the file's size, so every
// command and the window treat the same file alike.
Result<QByteArray> readSkinBytes(const QString &path);

// Reads a .skin file into the scheme and texts the way the client's designer always has: the
// name fields are set from the path first, then colours and texts as far as the file goes. On
// failure what was read stays applied.
Result<void> loadSkinFile(const QString &path, ColourScheme &scheme, SkinTexts &texts);

// Writes the scheme as folder/skinFileName, appending ".skin" to the name field when it does not
// already end in exactly that; creates the folder's last level if needed. The old file is
// replaced only by a complete new one. Returns the full path written.
Result<QString> saveSkinFile(const QString &folder, const ColourScheme &scheme, SkinTexts &texts);
