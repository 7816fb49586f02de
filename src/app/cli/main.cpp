#include "app/cli/Cli.h"
#include "platform/FileOps.h"
#include "platform/FontAliases.h"
#include "platform/TerminationSignals.h"

#include <QDir>
#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <new>

int main(int argc, char *argv[])
{
    // Past `ulimit -f` a write fails with "File too large" and is reported, instead of the
    // signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    // Drawing needs fonts, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::ensureRuntimeFolder();
    // Killed or interrupted, a command leaves no scratch folder behind.
    platform::removeScratchOnTerminationSignals();
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // The phone fonts' stand-ins, as the window draws with them.
    const QString programFolder = QDir(QCoreApplication::applicationDirPath()).absolutePath();
    if (auto fonts = platform::loadFontAliases(programFolder + QStringLiteral("/fonts.conf"));
        !fonts)
        err << QStringLiteral("velmora-cli: warning: %1\n").arg(fonts.error().message);
    int code = 1;
    try {
        code = runCli(QCoreApplication::arguments().mid(1), out, err);
    } catch (const std::bad_alloc &) {
        out.flush();
        std::fputs("velmora-cli: out of memory\n", stderr);
        return 1;
    }
    out.flush();
    err.flush();
    return code;
}
