#pragma once

#include "core/PhoneModels.h"
#include "platform/Error.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

// The phone pictures of mobiles/ that the preview window wraps round the simulated screen, and
// the model list naming them. The window takes the shape of a picture's fully opaque pixels and
// draws the screen over the opening, so each picture is transparent outside the phone, opaque
// inside its soft edge, and its opening is one flat opaque colour of exactly the screen's size.

enum class PhoneBody {
    Keypad,         // candybar: softkeys, navigation key and a number pad below the screen
    Qwerty,         // a landscape screen above the navigation keys and a thumb keyboard
    Communicator,   // opened: the wide screen on the lid, a full keyboard on the base
    Touch,          // touch phone held upright: a glass front with three keys below the screen
    TouchLandscape, // the same phone turned a quarter to the left
};

struct PhoneShape
{
    QString file; // relative to mobiles/
    PhoneBody body = PhoneBody::Keypad;
    QSize screen;
};

struct PhoneLayout
{
    QSize picture;
    QRect screen; // the opening, in picture pixels
};

// Where everything goes follows from the body and the screen size alone, so the model list and
// the pictures cannot disagree.
PhoneLayout phoneLayout(const PhoneShape &shape);

// ARGB32 with straight alpha.
QImage paintPhone(const PhoneShape &shape);

// Every picture, once; models of the same size and body share one.
QList<PhoneShape> phoneShapes();
// The models offered, in list order, with their screens placed by phoneLayout.
QList<PhoneModel> shippedPhoneModels();
// mobiles/base.txt: comment lines telling a user how to add a model, then every model; CR LF.
QString phoneModelText(const QList<PhoneModel> &models);

// Writes base.txt and the pictures into dataFolder/mobiles/, each file replaced only by a
// complete new one; report is told every file written.
Result<void> writePhoneSet(const QString &dataFolder,
                           const std::function<void(const QString &)> &report);
