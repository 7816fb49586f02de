#include "platform/Association.h"

#include "platform/FileOps.h"
#include "platform/ProcessRunner.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace platform {

namespace {

const QString kDefaultGroup = QStringLiteral("[Default Applications]");

QByteArray mimePackage()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"application/x-tolvoicq-skin\">\n"
           "    <comment>TolvoICQ skin</comment>\n"
           "    <comment xml:lang=\"ru\">Скин TolvoICQ</comment>\n"
           "    <glob pattern=\"*.skin\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

// A program path as a desktop entry's Exec wants it. A plain path goes as it is: simple
// launchers (xdg-open without a desktop) take the first word literally. A path with a reserved
// character is quoted, with the characters desktop entries reserve inside quotes escaped,
// and the backslash escaped once more because the value is itself a string.
QString execArgument(const QString &path)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`%");
    const bool plain =
        std::none_of(path.begin(), path.end(), [](QChar ch) { return reserved.contains(ch); });
    if (plain)
        return path;
    QString quoted;
    for (const QChar ch : path) {
        if (ch == u'"' || ch == u'`' || ch == u'$' || ch == u'\\')
            quoted += u'\\';
        quoted += ch;
    }
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    // A literal percent sign must not read as a field code.
    quoted.replace(u'%', QStringLiteral("%%"));
    return u'"' + quoted + u'"';
}

QStringList readLines(const QString &path)
{
    const auto bytes = readWholeFile(path, 1024 * 1024);
    if (!bytes)
        return {};
    QStringList lines = QString::fromUtf8(*bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

Result<void> writeLines(const QString &path, const QStringList &lines)
{
    QDir().mkpath(QFileInfo(path).path());
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + '\n';
    return writeFileAtomically(path, bytes);
}

Result<void> removeFile(const QString &path)
{
    if (QFileInfo::exists(path) && !QFile::remove(path))
        return fail(Error::io(
            QCoreApplication::translate("Association", "%1: cannot remove the file").arg(path)));
    return {};
}

// Where the type's line sits in the default group of mimeapps.list, or -1; the group's header
// line, or -1.
struct DefaultLine
{
    qsizetype group = -1;
    qsizetype line = -1;
};

// The value of key in group of lines, or nothing.
std::optional<QString> groupValue(const QStringList &lines, const QString &group,
                                  const QString &key)
{
    bool inGroup = false;
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'['))
            inGroup = trimmed == group;
        else if (inGroup && trimmed.startsWith(key + u'='))
            return trimmed.section(u'=', 1);
    }
    return std::nullopt;
}

QStringList entriesOf(const QString &value)
{
    QStringList entries;
    for (const QString &entry : value.split(u';', Qt::SkipEmptyParts)) {
        if (!entry.trimmed().isEmpty())
            entries.append(entry.trimmed());
    }
    return entries;
}

DefaultLine findDefaultLine(const QStringList &lines)
{
    DefaultLine found;
    const QString key = kSkinMimeType + u'=';
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines[i].trimmed();
        if (trimmed.startsWith(u'[')) {
            if (found.group >= 0)
                break;
            if (trimmed == kDefaultGroup)
                found.group = i;
        } else if (found.group >= 0 && trimmed.startsWith(key)) {
            found.line = i;
        }
    }
    return found;
}

class FreedesktopAssociation : public AssociationStore
{
public:
    FreedesktopAssociation(const FreedesktopPlaces &places, const QString &programPath)
        : m_places(places)
        , m_programPath(programPath)
    {}

    bool IsAssociated() const override
    {
        if (currentHandler() != kOpenSkinEntry)
            return false;
        return readLines(entryPath()).contains(execLine());
    }

    Result<void> Associate() override
    {
        // The whole list the user's default names, fallbacks included, as it stands; without
        // one, the handler the desktop would take now, from the system's settings or the
        // installed programs.
        if (currentHandler() != kOpenSkinEntry) {
            QString previous = currentValue();
            if (previous.trimmed().isEmpty()) {
                const QString effective = effectiveHandler().entry;
                previous = effective.isEmpty() || effective == kOpenSkinEntry ? QString()
                                                                              : effective + u';';
            }
            QDir().mkpath(QFileInfo(backupPath()).path());
            VELMORA_TRY(writeFileAtomically(backupPath(), previous.toUtf8()));
        }
        QDir().mkpath(QFileInfo(packagePath()).path());
        VELMORA_TRY(writeFileAtomically(packagePath(), mimePackage()));
        VELMORA_TRY(writeLines(entryPath(), entryLines()));
        VELMORA_TRY(setDefaultValue(kOpenSkinEntry + u';'));
        refreshDatabases();
        return {};
    }

    Result<void> Unassociate() override
    {
        const auto backup = savedValue();
        VELMORA_TRY(setDefaultValue(backup.value_or(QString())));
        // Without a backup the type itself goes too, as if it had never been made.
        if (!backup) {
            VELMORA_TRY(removeFile(packagePath()));
        }
        VELMORA_TRY(removeFile(entryPath()));
        refreshDatabases();
        return {};
    }

    AssociationState state() const override
    {
        const Effective effective = effectiveHandler();
        return {IsAssociated(), effective.entry, effective.source, savedBackup()};
    }

private:
    QString packagePath() const
    {
        return m_places.dataHome + QStringLiteral("/mime/packages/velmora-skin.xml");
    }
    QString entryPath() const
    {
        return m_places.dataHome + QStringLiteral("/applications/") + kOpenSkinEntry;
    }
    QString mimeappsPath() const { return m_places.configHome + QStringLiteral("/mimeapps.list"); }
    QString backupPath() const
    {
        return m_places.configHome + QStringLiteral("/velmora/skin-handler-backup");
    }
    QString execLine() const
    {
        return QStringLiteral("Exec=%1 %f").arg(execArgument(m_programPath));
    }

    QStringList entryLines() const
    {
        return {QStringLiteral("[Desktop Entry]"),
                QStringLiteral("Type=Application"),
                QStringLiteral("Name=Velmora for TolvoICQ"),
                QStringLiteral("Comment=Open a TolvoICQ skin in the skin designer"),
                QStringLiteral("Comment[ru]=Открыть скин TolvoICQ в редакторе скинов"),
                execLine(),
                QStringLiteral("Icon=velmora"),
                QStringLiteral("MimeType=%1;").arg(kSkinMimeType),
                QStringLiteral("NoDisplay=true"),
                QStringLiteral("Terminal=false")};
    }

    // The value of the type's line in the user's default group, exactly as written (a list of
    // desktop entries, the first preferred, the rest fallbacks), or "".
    QString currentValue() const
    {
        const QStringList lines = readLines(mimeappsPath());
        const DefaultLine found = findDefaultLine(lines);
        return found.line < 0 ? QString() : lines[found.line].section(u'=', 1);
    }

    struct Effective
    {
        QString entry;
        QString source;
    };

    QStringList applicationFolders() const
    {
        QStringList folders = {m_places.dataHome + QStringLiteral("/applications")};
        for (const QString &dir : m_places.dataDirs)
            folders.append(dir + QStringLiteral("/applications"));
        return folders;
    }

    // The entry's file where the desktop would find it, or "".
    QString installedEntry(const QString &entry) const
    {
        for (const QString &folder : applicationFolders()) {
            const QString path = folder + u'/' + entry;
            if (QFileInfo(path).isFile())
                return path;
        }
        return {};
    }

    // What opens a .skin file now, as the desktop looks it up: the first installed entry of the
    // first default list, going through the user's and the system's mimeapps.list files in
    // their order; else the first installed program that says it takes the type.
    Effective effectiveHandler() const
    {
        QStringList lists = {mimeappsPath()};
        for (const QString &dir : m_places.configDirs)
            lists.append(dir + QStringLiteral("/mimeapps.list"));
        for (const QString &folder : applicationFolders())
            lists.append(folder + QStringLiteral("/mimeapps.list"));
        for (const QString &list : lists) {
            const auto value = groupValue(readLines(list), kDefaultGroup, kSkinMimeType);
            for (const QString &entry : entriesOf(value.value_or(QString()))) {
                if (!installedEntry(entry).isEmpty())
                    return {entry, list};
            }
        }
        for (const QString &folder : applicationFolders()) {
            const QDir dir(folder);
            for (const QString &name :
                 dir.entryList({QStringLiteral("*.desktop")}, QDir::Files, QDir::Name)) {
                const auto types =
                    groupValue(readLines(dir.filePath(name)), QStringLiteral("[Desktop Entry]"),
                               QStringLiteral("MimeType"));
                if (entriesOf(types.value_or(QString())).contains(kSkinMimeType))
                    return {name, dir.filePath(name)};
            }
        }
        return {};
    }

    // The first desktop entry the user's default names for the type, or "".
    QString currentHandler() const
    {
        return currentValue().split(u';', Qt::SkipEmptyParts).value(0).trimmed();
    }

    // The value saved when the association was made, exactly as it stood; none when no
    // association was ever made.
    std::optional<QString> savedValue() const
    {
        if (!QFileInfo::exists(backupPath()))
            return std::nullopt;
        const auto bytes = readWholeFile(backupPath(), 64 * 1024);
        return bytes ? QString::fromUtf8(*bytes) : QString();
    }

    // The saved list as the user reads it: the entries without the list's closing ';'.
    std::optional<QString> savedBackup() const
    {
        std::optional<QString> value = savedValue();
        if (value) {
            *value = value->trimmed();
            while (value->endsWith(u';'))
                value->chop(1);
        }
        return value;
    }

    // Sets the value of the type's line, or removes the line for an empty value; every other
    // line of the file stays as it is.
    Result<void> setDefaultValue(const QString &value)
    {
        QStringList lines = readLines(mimeappsPath());
        const DefaultLine found = findDefaultLine(lines);
        const QString line = kSkinMimeType + u'=' + value;
        if (value.trimmed().isEmpty()) {
            if (found.line < 0)
                return {};
            lines.removeAt(found.line);
            // A default group left empty serves nothing, nor does a file left empty.
            if (!groupHasKeys(lines, found.group)) {
                lines.removeAt(found.group);
                if (std::all_of(lines.begin(), lines.end(),
                                [](const QString &line) { return line.trimmed().isEmpty(); }))
                    return removeFile(mimeappsPath());
            }
        } else if (found.line >= 0) {
            lines[found.line] = line;
        } else if (found.group >= 0) {
            lines.insert(found.group + 1, line);
        } else {
            lines << kDefaultGroup << line;
        }
        return writeLines(mimeappsPath(), lines);
    }

    static bool groupHasKeys(const QStringList &lines, qsizetype header)
    {
        for (qsizetype i = header + 1; i < lines.size(); ++i) {
            const QString trimmed = lines[i].trimmed();
            if (trimmed.startsWith(u'['))
                return false;
            if (!trimmed.isEmpty() && !trimmed.startsWith(u'#'))
                return true;
        }
        return false;
    }

    // The desktop's caches; without the tools the files still take effect at the next login.
    void refreshDatabases() const
    {
        const auto refresh = [](const QString &tool, const QString &folder) {
            if (QFileInfo(folder).isDir() && !findProgram(tool, QString()).isEmpty())
                runAndCollect(tool, {folder}, QString());
        };
        refresh(QStringLiteral("update-mime-database"),
                m_places.dataHome + QStringLiteral("/mime"));
        refresh(QStringLiteral("update-desktop-database"),
                m_places.dataHome + QStringLiteral("/applications"));
    }

    FreedesktopPlaces m_places;
    QString m_programPath;
};

} // namespace

std::unique_ptr<AssociationStore> makeFreedesktopAssociation(const FreedesktopPlaces &places,
                                                             const QString &programPath)
{
    return std::make_unique<FreedesktopAssociation>(places, programPath);
}

} // namespace platform
