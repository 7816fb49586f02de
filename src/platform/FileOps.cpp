#include "platform/FileOps.h"

#include "platform/SystemReason.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

Result<void> makeFolder(const QString &path, bool parents)
{
    const QString clean = QDir::cleanPath(path);
    QStringList missing;
    for (QString at = clean; !QFileInfo(at).isDir(); at = QFileInfo(at).path()) {
        missing.prepend(at);
        if (!parents || QFileInfo(at).path() == at)
            break;
    }
    for (const QString &folder : missing) {
        // A link to a folder yet to be made is made where it points: the name the user gave
        // (the link's target, read as bytes) is the folder wanted.
        QByteArray name = QFile::encodeName(folder);
        if (QFileInfo(folder).isSymLink()) {
            QByteArray target(4096, '\0');
            const ssize_t length = ::readlink(name.constData(), target.data(), target.size());
            if (length > 0 && length < target.size() && target.startsWith('/'))
                name = target.left(length);
        }
        if (::mkdir(name.constData(), 0777) == 0 || errno == EEXIST) {
            if (QFileInfo(folder).isDir())
                continue;
            errno = ENOTDIR;
        }
        const QString reason =
            platform::readableReason(QString::fromLocal8Bit(std::strerror(errno)));
        return fail(Error::io(
            QCoreApplication::translate("FileOps", "%1: the folder cannot be created (%2)")
                .arg(path, reason)));
    }
    return {};
}

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
