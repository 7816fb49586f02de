#include "platform/FileOps.h"

#include <QSaveFile>

Result<void> writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(Error::io(QStringLiteral("%1: %2").arg(path, file.errorString())));
    if (file.write(bytes) != bytes.size() || !file.commit())
        return fail(Error::io(QStringLiteral("%1: %2").arg(path, file.errorString())));
    return {};
}
