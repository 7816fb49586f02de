#include "platform/FileOps.h"

#include <QFile>

namespace {

std::unexpected<Error> tooLarge(const QString &path, qint64 limit)
{
    return fail(Error::unsupported(
        QStringLiteral("%1: the file is larger than %2 bytes").arg(path).arg(limit)));
}

// A pipe or device has no size to check up front: read it in pieces and stop past the limit.
Result<QByteArray> readSequential(QFile &file, const QString &path, qint64 limit)
{
    QByteArray bytes;
    while (!file.atEnd() || file.waitForReadyRead(0)) {
        const QByteArray piece = file.read(64 * 1024);
        if (piece.isEmpty())
            break;
        bytes += piece;
        if (bytes.size() > limit)
            return tooLarge(path, limit);
    }
    return bytes;
}

} // namespace

Result<QByteArray> readWholeFile(const QString &path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(Error::io(QStringLiteral("%1: %2").arg(path, file.errorString())));
    Result<QByteArray> bytes;
    if (file.isSequential()) {
        bytes = readSequential(file, path, limit);
    } else {
        if (file.size() > limit)
            return tooLarge(path, limit);
        // readAll sizes its buffer from the file; read(limit) would reserve the whole limit.
        bytes = file.readAll();
    }
    if (file.error() != QFileDevice::NoError)
        return fail(Error::io(QStringLiteral("%1: %2").arg(path, file.errorString())));
    if (bytes && bytes->size() > limit)
        return tooLarge(path, limit);
    return bytes;
}
