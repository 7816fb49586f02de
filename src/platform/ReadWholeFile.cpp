#include "platform/FileOps.h"

#include "platform/BoundedRead.h"
#include "platform/SystemReason.h"

#include <QCoreApplication>
#include <QFile>

namespace {

using velmora::boundedread::ReadFailure;

// The messages as the program has always given them: Qt's wording of the system's reason
// (qt_error_string, what QFile reports), and our own for what is refused.
Error readError(const QString &path, const ReadFailure &failure, qint64 limit)
{
    switch (failure.kind) {
    case ReadFailure::Kind::Folder:
        return Error::io(
            QCoreApplication::translate("FileOps", "%1: is a folder, not a file").arg(path));
    case ReadFailure::Kind::NotRegular:
        return Error::io(
            QCoreApplication::translate("FileOps", "%1: not a regular file").arg(path));
    case ReadFailure::Kind::TooLarge:
        return Error::unsupported(
            QCoreApplication::translate("FileOps", "%1: the file is larger than %2 bytes")
                .arg(path)
                .arg(limit));
    case ReadFailure::Kind::Missing:
    case ReadFailure::Kind::Shrank:
    case ReadFailure::Kind::Unreadable:
        break;
    }
    return Error::io(QStringLiteral("%1: %2").arg(
        path, platform::readableReason(qt_error_string(failure.error))));
}

} // namespace

Result<void> requireRegularFile(const QString &path)
{
    if (auto regular =
            velmora::boundedread::requireRegularFile(QFile::encodeName(path).toStdString());
        !regular)
        return fail(readError(path, regular.error(), 0));
    return {};
}

Result<QByteArray> readWholeFile(const QString &path, qint64 limit)
{
    // An empty name names no file; refused in the words QFile has for it, as the other
    // failures keep the words QFile gives them.
    if (path.isEmpty())
        return fail(Error::io(QStringLiteral(": No file name specified")));
    auto bytes = velmora::boundedread::readBounded<QByteArray>(
        QFile::encodeName(path).toStdString(), static_cast<std::uint64_t>(qMax(limit, qint64(0))));
    if (!bytes)
        return fail(readError(path, bytes.error(), limit));
    return std::move(*bytes);
}
