#include "platform/WritablePlaces.h"

#include "platform/Error.h"
#include "platform/SystemReason.h"
#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString systemError(int code)
{
    return readableReason(QString::fromLocal8Bit(std::strerror(code)));
}

// An XDG base folder from its variable, else its usual place under the home folder. A relative
// value is ignored, as the freedesktop.org base-folder convention asks: honouring it would
// resolve against the current folder, which may well be the program folder.
QString xdgBase(const char *variable, const QString &defaultUnderHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + u'/' + defaultUnderHome);
}

// Our own subfolder of an XDG base, created if missing. The path comes back even when it cannot
// be created: the caller's write then fails with an error that names the file, which tells the
// user more than an empty path would.
QString ownFolderUnder(const char *variable, const QString &defaultUnderHome)
{
    const QString folder = xdgBase(variable, defaultUnderHome) + QStringLiteral("/velmora");
    QDir().mkpath(folder);
    return folder + u'/';
}

// Whether no process with this id exists any more. kill(pid, 0) sends nothing and only checks;
// EPERM means the process exists under another user, so only ESRCH counts as gone.
bool processIsGone(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH;
}

// A run that crashed or was killed never ran its destructor, so its scratch folder stays
// behind. Only what is certainly such a leftover is removed: exactly the name we create, a real
// folder rather than a link (which could point anywhere), owned by this user, and a process id
// that no longer exists. A live id may be the other program of the pair working right now.
void removeLeftovers(const QString &baseFolder)
{
    static const QRegularExpression leftoverName(
        QStringLiteral("^velmora-([1-9][0-9]{0,9})-[A-Za-z0-9]{6}$"));
    const QDir base(baseFolder);
    const QStringList names =
        base.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = leftoverName.match(name);
        if (!match.hasMatch())
            continue;
        const qint64 pid = match.captured(1).toLongLong();
        if (pid > INT_MAX || !processIsGone(pid))
            continue;
        const QString folder = base.filePath(name);
        struct stat info;
        if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
            continue;
        if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
            continue;
        QDir(folder).removeRecursively();
    }
}

// Makes velmora-<pid>-XXXXXX in baseFolder. mkdtemp creates it exclusively, so two runs (or a
// hostile user in a shared temp folder) can never end up in the same folder; the pid in the
// name is what lets a later run recognise a crashed run's leftover.
Result<QString> makeScratchIn(const QString &baseFolder)
{
    if (baseFolder.isEmpty())
        return fail(
            Error::invalid(QCoreApplication::translate("ScratchFolder", "no base folder given")));
    const QString base = QDir(baseFolder).absolutePath();
    QByteArray name = QFile::encodeName(
        base + QStringLiteral("/velmora-%1-XXXXXX").arg(static_cast<qint64>(::getpid())));
    if (::mkdtemp(name.data()) == nullptr)
        return fail(Error::io(QStringLiteral("%1: %2").arg(base, systemError(errno))));
    // mkdtemp's 0700 is still filtered by the umask; a strict umask must not leave us a folder
    // we cannot write into.
    ::chmod(name.constData(), S_IRWXU);
    removeLeftovers(base);
    return withSlash(QFile::decodeName(name));
}

// Permission bits do not answer whether a file can be created: root writes past them, ACLs
// and read-only mounts override them. Creating and removing a file of our own is the only sure
// test, and the unique name cannot disturb another run doing the same.
bool canCreateFilesIn(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".velmora-probe-XXXXXX")));
    if (!probe.open())
        return false;
    probe.remove();
    return true;
}

} // namespace

// The runtime folder comes first: it is private to the user, usually in memory and emptied at
// logout, just right for files that live as long as one run. Sessions without one (ssh, cron)
// get the user's cache folder, still private; the shared temp folder is the last resort, and
// safe there only because the folder is created exclusively with mode 0700.
ScratchFolder::ScratchFolder()
{
    QStringList failures;
    const auto attempt = [&](const QString &base) {
        Result<QString> made = makeScratchIn(base);
        if (!made) {
            failures << made.error().message;
            return false;
        }
        m_path = *made;
        m_owned = true;
        rememberScratchFolder(m_path);
        return true;
    };

    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        if (!QDir::isAbsolutePath(runtime))
            failures << QCoreApplication::translate("ScratchFolder",
                                                    "XDG_RUNTIME_DIR is not an absolute path: %1")
                            .arg(runtime);
        else if (attempt(runtime))
            return;
    }

    const QString cache =
        xdgBase("XDG_CACHE_HOME", QStringLiteral(".cache")) + QStringLiteral("/velmora");
    QDir().mkpath(cache);
    if (attempt(cache))
        return;

    // Qt gives an empty temp path when TMPDIR names a missing folder; trying "" would mean the
    // current folder, which may be the program folder.
    const QString temp = QDir::tempPath();
    if (temp.isEmpty())
        failures << QCoreApplication::translate("ScratchFolder",
                                                "the system temp folder (TMPDIR) does not exist");
    else if (attempt(temp))
        return;

    m_errorText =
        QCoreApplication::translate("ScratchFolder", "Cannot create a scratch folder (tried %1)")
            .arg(failures.join(QStringLiteral("; ")));
}

ScratchFolder::ScratchFolder(const QString &baseFolder)
{
    Result<QString> made = makeScratchIn(baseFolder);
    if (!made) {
        m_errorText =
            QCoreApplication::translate("ScratchFolder", "Cannot create a scratch folder: %1")
                .arg(made.error().message);
        return;
    }
    m_path = *made;
    m_owned = true;
    rememberScratchFolder(m_path);
}

ScratchFolder::~ScratchFolder()
{
    remove();
}

ScratchFolder::ScratchFolder(ScratchFolder &&other) noexcept
    : m_path(std::exchange(other.m_path, QString()))
    , m_errorText(std::exchange(other.m_errorText, QString()))
    , m_owned(std::exchange(other.m_owned, false))
{}

ScratchFolder &ScratchFolder::operator=(ScratchFolder &&other) noexcept
{
    if (this != &other) {
        remove();
        m_path = std::exchange(other.m_path, QString());
        m_errorText = std::exchange(other.m_errorText, QString());
        m_owned = std::exchange(other.m_owned, false);
    }
    return *this;
}

// The path is kept after removal so that a late write fails loudly inside a missing folder
// instead of landing relative to the current folder. A path that is not absolute is never
// removed: QDir would take an empty one as the current folder, which may be the user's work.
void ScratchFolder::remove()
{
    if (!m_owned)
        return;
    m_owned = false;
    forgetScratchFolder(m_path);
    if (m_path.isEmpty() || !QDir::isAbsolutePath(m_path))
        return;
    QDir(m_path).removeRecursively();
}

// The settings file stays beside the program when it can, so a portable copy (on a stick, in
// an unpacked archive) carries its settings with it. An installed or read-only copy puts them in
// the user's config folder instead, where every run of that copy finds them again.
QString settingsFolder(const QString &programFolder)
{
    if (!programFolder.isEmpty() && canCreateFilesIn(programFolder))
        return withSlash(QDir(programFolder).absolutePath());
    return ownFolderUnder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

// Journals and history must outlive a run and survive a cache cleanup, and must not depend on
// whether the program folder is writable, so they always go to the user's data folder. The
// path is computed from the environment rather than QStandardPaths so that it does not change
// with the application name the window or the command line happens to set.
QString dataFolder()
{
    return ownFolderUnder("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

} // namespace platform
