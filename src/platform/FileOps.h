#pragma once

#include <QString>

namespace platform {

// Deletes every file directly inside folder. Entries that cannot be deleted, and subfolders,
// are left alone: emptying scratch space must never stop the program from quitting.
void deleteFolderFiles(const QString &folder);

// A file name under folder (created if missing) that no other file has yet, e.g.
// "capture-1a2B.txt".
QString uniqueFilePath(const QString &folder, const QString &prefix, const QString &suffix);

// Qt warns on every start when the session has no runtime folder (a plain ssh, cron or Xvfb
// session); a private one in the temp folder keeps the program's output clean.
void ensureRuntimeFolder();

} // namespace platform
