#pragma once

#include "core/PhoneModels.h"
#include "platform/Error.h"
#include "preview/PhoneFrame.h"
#include "preview/PreviewState.h"
#include "preview/ScreenStates.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

struct PreviewResources;
struct SkinState;
class QTime;

// The full screenshot set of a skin: every screen state for every chosen phone model, written
// as FOLDER/<model slug>/<screen>.png with FOLDER/index.html and FOLDER/sheet.png showing them
// all, one picture per namedScreens() entry. The window and velmora-cli write the same set.

// One row of a contact sheet: a title over pictures, each with its caption above it.
struct SheetRow
{
    QString title;
    QList<QImage> pictures;
    QStringList captions;
};
// The rows on white, one under the other, the pictures of a row side by side.
QImage composeSheet(const QList<SheetRow> &rows);

// A phone model's name as a folder name: lower case, every run of characters other than a-z and
// 0-9 one "-", none at either end ("Nokia 6120 (240*320)" gives "nokia-6120-240-320").
QString modelSlug(const QString &name);

struct ShotModel
{
    PhoneModel model;
    // The phone picture around each screen, when wanted.
    std::optional<PhoneFrame> frame;
};

// Told after each picture written (done of total); answering false stops the set there.
using ShotProgress = std::function<bool(int done, int total)>;

// Renders the set from the skin with the resources, the clock showing clock. Each screen starts
// from base (fonts, columns, sorting and the other list options) on the
// plain contact list: no menu, pop-up, notifications or groups but those the screen adds.
// Returns the number of pictures written; a stop leaves what was written and returns the count
// so far without the index and the sheet.
Result<int> writeScreenShots(const SkinState &skin, const PreviewResources &resources,
                             const PreviewState &base, QTime clock, const QList<ShotModel> &models,
                             const QString &folder, const ShotProgress &progress = {});
