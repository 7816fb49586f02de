#pragma once

#include <QString>

namespace platform {

// A lock file that only a live program can hold: it is taken with the system's file lock,
// which the system gives up when the program ends, however it ends. A lock left behind by a
// program that was killed, or a lock file holding anything at all, never stands in the way;
// one held by a running program always does. The file names the program holding it.
class ProcessLock
{
public:
    enum class Outcome {
        Taken,     // the lock is ours
        TakenOver, // ours, from a program that is no longer running
        Held,      // a running program holds it
        Failed     // the lock file could not be made or opened
    };

    explicit ProcessLock(QString path);
    ~ProcessLock();
    ProcessLock(const ProcessLock &) = delete;
    ProcessLock &operator=(const ProcessLock &) = delete;

    Outcome tryLock();
    bool isLocked() const { return m_fd >= 0; }
    // Why tryLock failed, or what it took over from.
    QString detail() const { return m_detail; }
    // Gives the lock up and removes the file.
    void unlock();

private:
    QString m_path;
    QString m_detail;
    int m_fd = -1;
};

} // namespace platform
