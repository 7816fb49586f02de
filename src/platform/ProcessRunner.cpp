#include "platform/ProcessRunner.h"

#include "platform/SystemReason.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace platform {

QString findProgram(const QString &program, const QString &workFolder)
{
    const QFileInfo direct(QDir(workFolder).filePath(program));
    if (direct.isFile() && direct.isExecutable())
        return direct.absoluteFilePath();
    if (program.contains(u'/'))
        return {};
    return QStandardPaths::findExecutable(program);
}

namespace {

// Prepares process for a run of program in workFolder; false, with run's error text set, when
// there is no such program.
bool prepare(QProcess &process, ProcessRun &run, const QString &program,
             const QStringList &arguments, const QString &workFolder)
{
    const QString path = findProgram(program, workFolder);
    if (path.isEmpty()) {
        run.errorText =
            QCoreApplication::translate("Process", "%1: the program was not found").arg(program);
        return false;
    }
    process.setProgram(path);
    process.setArguments(arguments);
    process.setWorkingDirectory(workFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    return true;
}

// Starts the prepared process and waits for its end, without a time limit.
void startAndWait(QProcess &process, ProcessRun &run, const QString &program)
{
    process.start();
    if (!process.waitForStarted(-1)) {
        run.errorText =
            QStringLiteral("%1: %2").arg(program, readableReason(process.errorString()));
        return;
    }
    run.started = true;
    process.waitForFinished(-1);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

ProcessRun runAndWait(const QString &program, const QStringList &arguments,
                      const QString &workFolder, const QString &outputFile, Priority priority)
{
    ProcessRun run;
    QProcess process;
    if (!prepare(process, run, program, arguments, workFolder))
        return run;
    if (outputFile.isEmpty()) {
        process.setStandardErrorFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
    } else {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(outputFile);
    }
    if (priority == Priority::Idle) {
        // Runs in the child between fork and exec: converters should never slow the desktop.
        process.setChildProcessModifier([] { [[maybe_unused]] int ignored = ::nice(19); });
    }
    startAndWait(process, run, program);
    return run;
}

ProcessRun runAndCollect(const QString &program, const QStringList &arguments,
                         const QString &workFolder)
{
    ProcessRun run;
    QProcess process;
    if (!prepare(process, run, program, arguments, workFolder))
        return run;
    process.setProcessChannelMode(QProcess::MergedChannels);
    startAndWait(process, run, program);
    if (run.started)
        run.output = process.readAll();
    return run;
}

} // namespace platform
