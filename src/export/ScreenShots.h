#pragma once

#include "core/PhoneModels.h"
#include "platform/Error.h"
#include "preview/PhoneFrame.h"
#include "preview/PreviewState.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class TTolvoPreview;

// The full screenshot set of a skin: every screen state for every chosen phone model, written
// as FOLDER/<model slug>/<screen>.png with FOLDER/index.html and FOLDER/sheet.png showing them
// all. The window and velmora-cli write the same set.

// One screen of the set: its file name and how it changes the plain contact list.
struct ShotScreen
{
    QString name;
    std::function<void(PreviewState &)> set;
};
// contacts, contacts-groups, chat, settings, menu-left, menu-right, chat-menu, popup,
// notifications.
const QList<ShotScreen> &shotScreens();

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

// Renders the set with preview, changing only its state, and restores that state at the end.
// Each screen starts from base (fonts, columns, sorting and the other list options) on the
// plain contact list: no menu, pop-up, notifications or groups but those the screen adds.
// Returns the number of pictures written; a stop leaves what was written and returns the count
// so far without the index and the sheet.
Result<int> writeScreenShots(TTolvoPreview &preview, const PreviewState &base,
                             const QList<ShotModel> &models, const QString &folder,
                             const ShotProgress &progress = {});
