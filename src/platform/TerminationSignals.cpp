#include "platform/TerminationSignals.h"

#include <QObject>
#include <QSocketNotifier>

#include <algorithm>
#include <array>
#include <atomic>
#include <csignal>
#include <cstring>

#ifdef __linux__
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

constexpr std::array kSignals = {SIGTERM, SIGINT, SIGHUP};

// The remembered folders. A slot is written once and never reused, so the handler, which may
// run on any thread at any moment, never reads a path while it is being written; a path is
// published by its flag only once it is complete.
constexpr int kSlots = 64;
constexpr std::size_t kPathBytes = 1024;
struct Slot
{
    std::atomic<bool> live{false};
    char path[kPathBytes] = {};
};
std::array<Slot, kSlots> g_slots;
std::atomic<int> g_nextSlot{0};

#ifdef __linux__

// Removes everything in the folder dirFd names, with system calls only: the handler may not
// allocate, lock or call anything that might.
// One pass over the folder's entries; true when it removed any.
bool removeEntries(int dirFd, int depth);

void removeContents(int dirFd, int depth)
{
    // Removing entries while reading may make a read skip some: read again while a pass still
    // removes something.
    for (int pass = 0; pass < 8 && removeEntries(dirFd, depth); ++pass)
        lseek(dirFd, 0, SEEK_SET);
}

bool removeEntries(int dirFd, int depth)
{
    bool removed = false;
    alignas(8) char buffer[4096];
    for (;;) {
        const long read = syscall(SYS_getdents64, dirFd, buffer, sizeof buffer);
        if (read <= 0)
            return removed;
        for (long offset = 0; offset < read;) {
            const auto *entry = reinterpret_cast<const dirent64 *>(buffer + offset);
            offset += entry->d_reclen;
            const char *name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            if (unlinkat(dirFd, name, 0) == 0) {
                removed = true;
                continue;
            }
            const int child = openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child < 0)
                continue;
            if (depth < 32)
                removeContents(child, depth + 1);
            close(child);
            removed = unlinkat(dirFd, name, AT_REMOVEDIR) == 0 || removed;
        }
    }
}

// The program's other threads, and the converter runs they started, may still be writing into
// the folder: it is removed again until it is gone, for a fifth of a second at most.
void removeTree(const char *path)
{
    for (int attempt = 0; attempt < 40; ++attempt) {
        const int dir = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (dir < 0)
            return;
        removeContents(dir, 0);
        close(dir);
        if (rmdir(path) == 0)
            return;
        const timespec pause{0, 5'000'000};
        nanosleep(&pause, nullptr);
    }
}

void removeRememberedFolders()
{
    const int count = std::min(g_nextSlot.load(std::memory_order_acquire), kSlots);
    for (int i = 0; i < count; ++i) {
        if (g_slots[std::size_t(i)].live.load(std::memory_order_acquire))
            removeTree(g_slots[std::size_t(i)].path);
    }
}

// The program's other threads keep running while the handler does: one of them may make a
// folder again (a converter run's working folder) right after it was removed. So a child
// process, which has only this thread, waits for the program to die and then removes the
// folders; the program dies at once.
extern "C" void removeScratchAndEnd(int signal)
{
    const pid_t program = getpid();
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
    // _Fork, unlike fork, runs no handlers of the program's libraries: safe in a handler.
    const pid_t cleaner = _Fork();
#else
    const pid_t cleaner = -1;
#endif
    if (cleaner == 0) {
        const timespec pause{0, 1'000'000};
        for (int waited = 0; getppid() == program && waited < 10'000; ++waited)
            nanosleep(&pause, nullptr);
        removeRememberedFolders();
        _exit(0);
    }
    if (cleaner < 0)
        removeRememberedFolders();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

int g_wakePipe[2] = {-1, -1};

extern "C" void wakeEventLoop(int signal)
{
    const char number = char(signal);
    [[maybe_unused]] const auto written = write(g_wakePipe[1], &number, 1);
}

void installHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) {
        // A signal the user's shell set to be ignored (nohup) stays ignored.
        struct sigaction previous = {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
    }
}

#endif

} // namespace

void rememberScratchFolder(const QString &path)
{
    const QByteArray bytes = path.toLocal8Bit();
    if (bytes.isEmpty() || std::size_t(bytes.size()) >= kPathBytes)
        return;
    const int slot = g_nextSlot.fetch_add(1, std::memory_order_acq_rel);
    if (slot >= kSlots)
        return;
    std::memcpy(g_slots[std::size_t(slot)].path, bytes.constData(), std::size_t(bytes.size()));
    g_slots[std::size_t(slot)].live.store(true, std::memory_order_release);
}

void forgetScratchFolder(const QString &path)
{
    const QByteArray bytes = path.toLocal8Bit();
    const int count = std::min(g_nextSlot.load(std::memory_order_acquire), kSlots);
    for (int i = 0; i < count; ++i) {
        Slot &slot = g_slots[std::size_t(i)];
        if (slot.live.load(std::memory_order_acquire) && bytes == slot.path)
            slot.live.store(false, std::memory_order_release);
    }
}

void removeScratchOnTerminationSignals()
{
#ifdef __linux__
    installHandler(removeScratchAndEnd);
#endif
}

bool watchTerminationSignals(QObject *context, std::function<void(int)> onSignal)
{
#ifdef __linux__
    if (g_wakePipe[0] < 0 && pipe2(g_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    auto *notifier = new QSocketNotifier(g_wakePipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context,
                     [onSignal = std::move(onSignal)] {
                         char number = 0;
                         while (read(g_wakePipe[0], &number, 1) == 1)
                             onSignal(number);
                     });
    installHandler(wakeEventLoop);
    return true;
#else
    Q_UNUSED(context);
    Q_UNUSED(onSignal);
    return false;
#endif
}

void endBySignal(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    // Not reached for the three signals; should one be blocked, end as a shell would report it.
    std::_Exit(128 + signal);
}

} // namespace platform
