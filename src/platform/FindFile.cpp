#include "platform/FileOps.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace platform {

QString findFileIgnoringCase(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (name.isEmpty() || info.exists())
        return path;
    // Sorted by code units rather than by QDir's sorting, so the choice among several matches
    // does not depend on the locale.
    QStringList entries = info.dir().entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    std::sort(entries.begin(), entries.end());
    QString found;
    for (const QString &entry : std::as_const(entries)) {
        if (entry == name)
            return path;
        if (found.isEmpty() && entry.compare(name, Qt::CaseInsensitive) == 0)
            found = entry;
    }
    if (found.isEmpty())
        return path;
    // The folder part stays as the caller spelt it.
    if (path.endsWith(name))
        return path.left(path.size() - name.size()) + found;
    return info.dir().filePath(found);
}

} // namespace platform
