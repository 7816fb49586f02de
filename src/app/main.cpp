#include "platform/FileOps.h"
#include "startup/Startup.h"
#include "ui/Translations.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"

#include <QApplication>
#include <QDir>
#include <QLocale>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    // Answered before any window system is needed, so it works over ssh and in scripts.
    if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-v") == 0)) {
        std::printf("Velmora for TolvoICQ %s\n", VELMORA_VERSION);
        return 0;
    }
    platform::ensureRuntimeFolder();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora for TolvoICQ"));
    // The window speaks Russian, Qt's own dialogs and their dates included.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    installRussianQtTranslations(app);
    // The preview window decides when the program ends, not the last visible window.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString programFolder =
        QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/';
    TForm1 form1(programFolder, commandLineFile(QCoreApplication::arguments()));
    if (!form1.startupFailed())
        form1.previewWindow()->show();
    return QApplication::exec();
}
