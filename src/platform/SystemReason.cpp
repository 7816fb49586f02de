#include "platform/SystemReason.h"

#include <QCoreApplication>

namespace platform {

namespace {

// Qt's own wording and glibc's, for the failures a user actually meets when a file is opened,
// read, written or renamed, or a tool is started. Matched exactly: these are the texts as the
// system gives them, not patterns.
constexpr const char *kReasons[] = {
    QT_TRANSLATE_NOOP("SystemError", "No such file or directory"),
    QT_TRANSLATE_NOOP("SystemError", "Permission denied"),
    QT_TRANSLATE_NOOP("SystemError", "No space left on device"),
    QT_TRANSLATE_NOOP("SystemError", "Is a directory"),
    QT_TRANSLATE_NOOP("SystemError", "file to open is a directory"),
    QT_TRANSLATE_NOOP("SystemError", "Not a directory"),
    QT_TRANSLATE_NOOP("SystemError", "Directory not empty"),
    QT_TRANSLATE_NOOP("SystemError", "Read-only file system"),
    QT_TRANSLATE_NOOP("SystemError", "File name too long"),
    QT_TRANSLATE_NOOP("SystemError", "Too many open files"),
    QT_TRANSLATE_NOOP("SystemError", "Too many levels of symbolic links"),
    QT_TRANSLATE_NOOP("SystemError", "Input/output error"),
    QT_TRANSLATE_NOOP("SystemError", "File exists"),
    QT_TRANSLATE_NOOP("SystemError", "Disk quota exceeded"),
    QT_TRANSLATE_NOOP("SystemError", "Operation not permitted"),
    QT_TRANSLATE_NOOP("SystemError", "Device or resource busy"),
    QT_TRANSLATE_NOOP("SystemError", "Text file busy"),
    QT_TRANSLATE_NOOP("SystemError", "Exec format error"),
    QT_TRANSLATE_NOOP("SystemError", "Cannot allocate memory"),
    QT_TRANSLATE_NOOP("SystemError", "File too large"),
    QT_TRANSLATE_NOOP("SystemError", "Unknown error"),
    // The program's own refusals to replace a file, worded like the system's.
    QT_TRANSLATE_NOOP("SystemError", "the file is read-only"),
    QT_TRANSLATE_NOOP("SystemError", "is a folder, not a file"),
    QT_TRANSLATE_NOOP("SystemError", "not a regular file"),
};

QString translated(const char *reason)
{
    return QCoreApplication::translate("SystemError", reason);
}

} // namespace

QString readableReason(const QString &systemText)
{
    for (const char *reason : kReasons) {
        if (systemText == QLatin1String(reason))
            return translated(reason);
    }
    // Qt puts its own words in front of the system's for some failures ("Process failed to
    // start: Permission denied"); those words may have a Qt translation, the reason has not.
    for (const char *reason : kReasons) {
        const QLatin1String tail(reason);
        if (systemText.size() > tail.size() + 2 && systemText.endsWith(tail) &&
            QStringView(systemText).chopped(tail.size()).endsWith(u": "))
            return systemText.chopped(tail.size()) + translated(reason);
    }
    return systemText;
}

} // namespace platform
