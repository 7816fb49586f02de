#include "platform/FileOps.h"
#include "startup/Startup.h"
#include "ui/Application.h"
#include "ui/Designer.h"
#include "ui/Unit1.h"

#include <QDir>

#include <cstdio>
#include <cstring>
#include <new>

int main(int argc, char *argv[])
{
    // Answered before any window system is needed, so it works over ssh and in scripts.
    if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-v") == 0)) {
        std::printf("Velmora for TolvoICQ %s\n", VELMORA_VERSION);
        return 0;
    }
    platform::ensureRuntimeFolder();
    VelmoraApplication app(argc, argv);
    const QString programFolder =
        QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/';
    prepareDesigner(app, programFolder);
    try {
        const auto window =
            startDesigner(programFolder, commandLineFile(QCoreApplication::arguments()));
        return QApplication::exec();
    } catch (const std::bad_alloc &) {
        // Only the start-up can get here: events are guarded by the application object.
        VelmoraApplication::reportOutOfMemory();
        return 1;
    }
}
