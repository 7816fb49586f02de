#include "app/cli/Cli.h"
#include "platform/FileOps.h"

#include <QGuiApplication>

int main(int argc, char *argv[])
{
    // Drawing needs fonts, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::ensureRuntimeFolder();
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = runCli(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return code;
}
