#include "platform/ProcessRunner.h"

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

ProcessRun runAndWait(const QString &program, const QStringList &arguments,
                      const QString &workFolder, const QString &outputFile, Priority priority)
{
    ProcessRun run;
    const QString path = findProgram(program, workFolder);
    if (path.isEmpty()) {
        run.errorText = QStringLiteral("%1: the program was not found").arg(program);
        return run;
    }
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setWorkingDirectory(workFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardOutputFile(outputFile.isEmpty() ? QProcess::nullDevice() : outputFile);
    if (priority == Priority::Idle) {
        // Runs in the child between fork and exec: converters should never slow the desktop.
        process.setChildProcessModifier([] { [[maybe_unused]] int ignored = ::nice(19); });
    }
    process.start();
    if (!process.waitForStarted(-1)) {
        run.errorText = QStringLiteral("%1: %2").arg(program, process.errorString());
        return run;
    }
    run.started = true;
    process.waitForFinished(-1);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

ProcessRun runAndCollect(const QString &program, const QStringList &arguments,
                         const QString &workFolder)
{
    ProcessRun run;
    const QString path = findProgram(program, workFolder);
    if (path.isEmpty()) {
        run.errorText = QStringLiteral("%1: the program was not found").arg(program);
        return run;
    }
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setWorkingDirectory(workFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    if (!process.waitForStarted(-1)) {
        run.errorText = QStringLiteral("%1: %2").arg(program, process.errorString());
        return run;
    }
    run.started = true;
    process.waitForFinished(-1);
    run.output = process.readAll();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

} // namespace platform
