#include "containers/RunCaptured.h"

#include "core/Cp1251.h"
#include "platform/FileOps.h"
#include "platform/ProcessRunner.h"
#include "platform/SystemReason.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

QString withCrLfLines(const QString &text)
{
    QString result;
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        result += line + QStringLiteral("\r\n");
    }
    return result;
}

} // namespace

Result<void> RunCaptured(const QString &program, const QStringList &arguments,
                         const QString &workFolder, QString &output)
{
    const QString captureFile =
        platform::uniqueFilePath(QDir(workFolder).filePath(QStringLiteral("temp")),
                                 QStringLiteral("capture-"), QStringLiteral(".tmp"));
    if (captureFile.isEmpty()) {
        return fail(
            Error::io(QCoreApplication::translate(
                          "Converter", "%1: cannot create a capture file in the temp folder")
                          .arg(QDir(workFolder).filePath(QStringLiteral("temp")))));
    }
    const platform::ProcessRun run =
        platform::runAndWait(program, arguments, workFolder, captureFile, platform::Priority::Idle);
    if (!run.started) {
        QFile::remove(captureFile);
        return fail(Error::io(run.errorText));
    }
    QFile file(captureFile);
    if (!file.open(QIODevice::ReadOnly)) {
        const QString reason = platform::readableReason(file.errorString());
        QFile::remove(captureFile);
        return fail(Error::io(QStringLiteral("%1: %2").arg(captureFile, reason)));
    }
    const QByteArray captured = file.readAll();
    file.close();
    QFile::remove(captureFile);
    output += QStringLiteral("\r\n") + withCrLfLines(cp1251::decode(captured));
    return {};
}

QString NextLine(QString &text)
{
    const qsizetype end = text.indexOf(QStringLiteral("\r\n"));
    if (end < 0) {
        QString line = text;
        text.clear();
        return line;
    }
    QString line = text.left(end);
    text.remove(0, end + 2);
    return line;
}

QStringList capturedLines(QString text)
{
    QStringList lines;
    while (!text.isEmpty())
        lines.append(NextLine(text));
    return lines;
}
