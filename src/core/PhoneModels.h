#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A phone the simulated screen can take the size of, from mobiles/base.txt.
struct PhoneModel
{
    QString name;
    int width = 0;
    int height = 0;
    // Where the screen sits in the phone picture.
    int x = 0;
    int y = 0;
    // The phone picture, relative to the mobiles/ folder.
    QString picture;

    bool operator==(const PhoneModel &) const = default;
};

// The last entry of the model list: a size the user types.
inline const QString kCustomSizeEntry = QStringLiteral("Своё...");

// Screen sizes the size fields and the model file accept.
inline constexpr int kMinScreenSide = 128;
inline constexpr int kMaxScreenSide = 1500;

struct PhoneModelList
{
    // In file order. Record i is list entry i; a last block cut off by the end of the file keeps
    // its record but has no entry.
    QList<PhoneModel> records;
    // The names of the complete models, in file order ("Своё..." is not among them).
    QStringList entries;
    // One line per model left out, naming the file and the line: a size without "*", a position
    // without ",", a number that is not decimal, a size outside 128..1500.
    QStringList problems;
};

// Reads the model file's text (cp1251). A line starting exactly with "phone = " opens a model;
// its next three lines that are neither empty nor start with "#" are the size (W*H), the
// screen's position in the picture (X,Y) and the picture's file name. Everything else is skipped.
PhoneModelList readPhoneModels(const QByteArray &bytes, const QString &fileName);

// Reads programFolder/mobiles/base.txt; a missing or unreadable file is an error naming it.
Result<PhoneModelList> loadPhoneModels(const QString &programFolder);

// The index of the last record named exactly so, or -1.
int findModel(const PhoneModelList &models, const QString &name);
