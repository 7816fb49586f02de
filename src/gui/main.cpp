#include "platform/FileOps.h"
#include "platform/TerminationSignals.h"
#include "startup/Startup.h"
#include "ui/Application.h"
#include "ui/Designer.h"
#include "ui/MainWindow.h"

#include <QDir>

#include <csignal>
#include <cstdio>
#include <new>

int main(int argc, char *argv[])
{
    // Past `ulimit -f` a write fails with "File too large" and is reported, instead of the
    // signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const DesignerArguments given = designerArguments(arguments);
    // Answered before any window system is needed, so they work over ssh and in scripts.
    if (given.help) {
        std::fputs(qPrintable(designerUsage()), stdout);
        return 0;
    }
    if (given.version) {
        std::printf("Velmora for TolvoICQ %s\n", VELMORA_VERSION);
        return 0;
    }
    for (const QString &ignored : given.ignored)
        std::fprintf(stderr, "velmora: ignoring \"%s\"\n", ignored.toLocal8Bit().constData());
    platform::ensureRuntimeFolder();
    VelmoraApplication app(argc, argv);
    const QString programFolder =
        QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/';
    prepareDesigner(app, programFolder);
    // Asked to end (a logout, Ctrl+C, kill): the window goes as after a crash, without saving
    // the settings or closing the journal, so the next start offers the work back; its scratch
    // folder and the journal's lock go with it.
    int endingSignal = 0;
    platform::watchTerminationSignals(&app, [&endingSignal](int signal) {
        endingSignal = signal;
        QCoreApplication::exit(128 + signal);
    });
    int code = 1;
    try {
        const auto window = startDesigner(programFolder, given.skin);
        code = QApplication::exec();
    } catch (const std::bad_alloc &) {
        // Only the start-up can get here: events are guarded by the application object.
        VelmoraApplication::reportOutOfMemory();
        return 1;
    }
    if (endingSignal != 0)
        platform::endBySignal(endingSignal);
    return code;
}
