#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <unistd.h>

namespace platform {

void deleteFolderFiles(const QString &folder)
{
    QDir dir(folder);
    const auto entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries)
        QFile::remove(entry.absoluteFilePath());
}

QString uniqueFilePath(const QString &folder, const QString &prefix, const QString &suffix)
{
    QDir().mkpath(folder);
    // QTemporaryFile creates the file exclusively, so the name is ours even with other runs
    // sharing the folder; we keep the empty file as the reservation.
    QTemporaryFile file(QDir(folder).filePath(prefix + QStringLiteral("XXXXXX") + suffix));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    return file.fileName();
}

void ensureRuntimeFolder()
{
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        return;
    const QString folder = QDir::tempPath() + QStringLiteral("/velmora-runtime-%1").arg(getuid());
    QDir().mkpath(folder);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

} // namespace platform
