#pragma once

#include <QString>

namespace platform {

// Deletes every file directly inside folder. Entries that cannot be deleted, and subfolders,
// are left alone: emptying scratch space must never stop the program from quitting.
void deleteFolderFiles(const QString &folder);

// A file name under folder (created if missing) that no other file has yet, e.g.
// "capture-1a2B.txt".
QString uniqueFilePath(const QString &folder, const QString &prefix, const QString &suffix);

} // namespace platform
