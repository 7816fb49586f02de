#include "platform/ProcessLock.h"

#include "platform/SystemReason.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

// Designers before this lock wrote their process number as the file's first line and held no
// system lock: such a designer still running must not lose its history to this one.
bool olderDesignerRunning(const QByteArray &content)
{
    bool ok = false;
    const qint64 pid = content.split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || pid <= 0 || pid == qint64(::getpid()))
        return false;
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith("velmora");
}

QByteArray contentOf(int fd)
{
    QByteArray content(256, '\0');
    const ssize_t n = ::pread(fd, content.data(), size_t(content.size()), 0);
    content.resize(n > 0 ? qsizetype(n) : 0);
    return content;
}

} // namespace

ProcessLock::ProcessLock(QString path)
    : m_path(std::move(path))
{}

ProcessLock::~ProcessLock()
{
    unlock();
}

ProcessLock::Outcome ProcessLock::tryLock()
{
    if (m_fd >= 0)
        return Outcome::Taken;
    const int fd =
        ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_detail = QStringLiteral("%1: %2").arg(
            m_path, readableReason(QString::fromLocal8Bit(std::strerror(errno))));
        return Outcome::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        m_detail =
            QCoreApplication::translate("Journal", "%1: a running designer holds it").arg(m_path);
        return Outcome::Held;
    }
    const QByteArray left = contentOf(fd);
    if (olderDesignerRunning(left)) {
        ::close(fd);
        m_detail =
            QCoreApplication::translate("Journal", "%1: a running designer holds it").arg(m_path);
        return Outcome::Held;
    }
    const QByteArray mine = QByteArray::number(qint64(::getpid())) + "\nvelmora\n";
    const bool written = ::ftruncate(fd, 0) == 0 &&
                         ::pwrite(fd, mine.constData(), size_t(mine.size()), 0) == mine.size();
    Q_UNUSED(written) // the system's lock is what counts; the name is for people
    m_fd = fd;
    if (left.trimmed().isEmpty())
        return Outcome::Taken;
    m_detail = QCoreApplication::translate(
                   "Journal", "%1: taken over from a designer that is no longer running")
                   .arg(m_path);
    return Outcome::TakenOver;
}

void ProcessLock::unlock()
{
    if (m_fd < 0)
        return;
    // Removed while still held, so no other program can take the old file for a live lock.
    QFile::remove(m_path);
    ::close(m_fd);
    m_fd = -1;
}

} // namespace platform
