#pragma once

#include <QString>

#include <functional>

class QObject;

// What the programs do when asked to end by SIGTERM, SIGINT or SIGHUP (a logout, Ctrl+C, kill):
// their scratch folders go, and nothing of the user's work is given up for lost.
namespace platform {

// For a program without an event loop (velmora-cli): the signal handler itself removes every
// live scratch folder, then the signal ends the program as it would have.
void removeScratchOnTerminationSignals();

// For a program with an event loop (the window): such a signal calls onSignal with its number
// in that loop, where the program ends in good order. False when the signals cannot be watched.
bool watchTerminationSignals(QObject *context, std::function<void(int)> onSignal);

// Ends the program by that signal, as if it had never been caught, so that whoever started it
// sees how it ended.
[[noreturn]] void endBySignal(int signal);

// The scratch folders the handler removes; ScratchFolder keeps them up to date. A folder that
// no longer belongs to the program must be forgotten before it could be reused.
void rememberScratchFolder(const QString &path);
void forgetScratchFolder(const QString &path);

} // namespace platform
