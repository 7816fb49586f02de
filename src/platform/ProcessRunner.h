#pragma once

#include <QString>
#include <QStringList>

namespace platform {

struct ProcessRun
{
    bool started = false;
    // The system's reason when the program could not be started.
    QString errorText;
    int exitCode = -1;
    // What the program printed, standard output and standard error together (runAndCollect).
    QByteArray output;
};

enum class Priority { Normal, Idle };

// Runs a program to its end with no time limit, without a window and without standard input.
// Standard output, with standard error after it line by line, goes to outputFile when one is
// given (a failing tool's reason is its last words on standard error); otherwise both are
// discarded.
// The program is looked for in workFolder first, then on the PATH.
ProcessRun runAndWait(const QString &program, const QStringList &arguments,
                      const QString &workFolder, const QString &outputFile, Priority priority);

// Runs a program to its end at normal priority, as runAndWait does, keeping everything it prints
// (standard output and standard error merged) for the caller to show when it failed.
ProcessRun runAndCollect(const QString &program, const QStringList &arguments,
                         const QString &workFolder);

// The path a program name resolves to for runAndWait, or an empty string.
QString findProgram(const QString &program, const QString &workFolder);

} // namespace platform
