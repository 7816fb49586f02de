#include "platform/FileOps.h"
#include "platform/FontAliases.h"
#include "platform/WritablePlaces.h"
#include "startup/Startup.h"
#include "ui/Application.h"
#include "ui/Translations.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"

#include <QDir>
#include <QLocale>

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
    QApplication::setApplicationName(QStringLiteral("Velmora for TolvoICQ"));
    // The window speaks Russian, Qt's own dialogs and their dates included.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    installRussianQtTranslations(app);
    // The preview window decides when the program ends, not the last visible window.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString programFolder =
        QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/';
    // Without them the screens fall back to the desktop's wide sans; the preview still works.
    if (auto fonts = platform::loadFontAliases(programFolder + QStringLiteral("fonts.conf"));
        !fonts)
        std::fprintf(stderr, "velmora: %s\n", qPrintable(fonts.error().message));
    // The detail lines under the window's messages; velmora-cli keeps them in English.
    installProgramTranslation(app, programFolder);
    try {
        TForm1 form1(programFolder, commandLineFile(QCoreApplication::arguments()));
        if (!form1.startupFailed()) {
            form1.previewWindow()->show();
            // After the window shows, so that the question about lost work has a place.
            form1.startJournal(platform::dataFolder());
        }
        return QApplication::exec();
    } catch (const std::bad_alloc &) {
        // Only the start-up can get here: events are guarded by the application object.
        VelmoraApplication::reportOutOfMemory();
        return 1;
    }
}
