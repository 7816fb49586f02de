#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QString>

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Writes bytes to path through a temporary file in the same folder, renamed into place: a
// failed write leaves the old file as it was.
Result<void> writeFileAtomically(const QString &path, const QByteArray &bytes);
// The same for a file made piece by piece: produce passes each piece to the writer, which
// answers false when it could not be written; produce then returns false too.
using PieceSink = std::function<bool(QByteArrayView)>;
Result<void> writeFileInPieces(const QString &path,
                               const std::function<bool(const PieceSink &)> &produce);

// Files that must change together (a .skin and the .mif it names): each is written whole beside
// its target first, and only when every one is written are they renamed into place, in the
// order they were added. Dropped uncommitted, every new file goes and every target stays as it
// was. Two renames are never one step: only a kill between them can mix old and new.
class FileBatch
{
public:
    FileBatch();
    ~FileBatch();
    FileBatch(const FileBatch &) = delete;
    FileBatch &operator=(const FileBatch &) = delete;

    // The new contents of target: a copy of the file at source, read a piece at a time.
    Result<void> addCopyOf(const QString &source, const QString &target);
    // Renames every file into place; stops at the first that cannot be.
    Result<void> commit();

private:
    struct Pending;
    std::vector<std::unique_ptr<Pending>> m_files;
};

// Makes the folder, and with parents the folders above it that are missing; a folder that
// exists already is fine. A failure names the folder and gives the system's reason.
Result<void> makeFolder(const QString &path, bool parents = true);

// Past this size a file is not what any reader of ours expects, and reading it whole would only
// exhaust memory.
inline constexpr qint64 kMaxReadSize = qint64(256) << 20;

// Reads a whole file, with the system's error text on failure and a clear error for a file
// larger than limit or one that is not a regular file.
Result<QByteArray> readWholeFile(const QString &path, qint64 limit = kMaxReadSize);

// Refuses at once what no reader of ours can take: a folder, a device, a FIFO or a socket
// (opening a FIFO would wait for a writer forever; a device may never end). A missing path
// passes, so that opening it reports the system's reason.
Result<void> requireRegularFile(const QString &path);

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

// Skins made on a case-insensitive system may name a file in another case than it has on disk
// ("UP.MIF" for up.mif, an .mbm as UP.MBM beside UP.MIF). Returns path when it exists; otherwise
// the file in the same folder whose name equals path's name ignoring case (an exact match
// first, then the first in sorted order when several do); otherwise path unchanged, so that the
// caller reports the name it was given as missing. Only the file name is matched, not the
// folders above it.
QString findFileIgnoringCase(const QString &path);

} // namespace platform
