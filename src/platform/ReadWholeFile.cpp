#include "platform/FileOps.h"

#include "platform/SystemReason.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

std::unexpected<Error> tooLarge(const QString &path, qint64 limit)
{
    return fail(Error::unsupported(
        QCoreApplication::translate("FileOps", "%1: the file is larger than %2 bytes")
            .arg(path)
            .arg(limit)));
}

} // namespace

Result<void> requireRegularFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return fail(Error::io(
            QCoreApplication::translate("FileOps", "%1: is a folder, not a file").arg(path)));
    if (info.exists() && !info.isFile())
        return fail(
            Error::io(QCoreApplication::translate("FileOps", "%1: not a regular file").arg(path)));
    return {};
}

Result<QByteArray> readWholeFile(const QString &path, qint64 limit)
{
    if (auto regular = requireRegularFile(path); !regular)
        return fail(regular.error());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(Error::io(
            QStringLiteral("%1: %2").arg(path, platform::readableReason(file.errorString()))));
    if (file.size() > limit)
        return tooLarge(path, limit);
    // Read one byte past the limit, never more, in case the file grew after its size was taken.
    const QByteArray bytes = file.read(qMin(file.size(), limit) + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(Error::io(
            QStringLiteral("%1: %2").arg(path, platform::readableReason(file.errorString()))));
    if (bytes.size() > limit)
        return tooLarge(path, limit);
    return bytes;
}
