#include "app/cli/Cli.h"

#include <QDir>
#include <QGuiApplication>

#include <unistd.h>

namespace {

// Qt warns on every run when the session has no runtime folder (a plain ssh or cron
// session); a private one in the temp folder keeps the command's output clean.
void ensureRuntimeFolder()
{
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        return;
    const QString folder = QDir::tempPath() + QStringLiteral("/velmora-runtime-%1").arg(getuid());
    QDir().mkpath(folder);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing needs fonts, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ensureRuntimeFolder();
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = runCli(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return code;
}
