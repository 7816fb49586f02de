#include "ui/Designer.h"

#include "platform/FontAliases.h"
#include "platform/WritablePlaces.h"
#include "ui/MainWindow.h"
#include "ui/PreviewWindow.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>

void prepareDesigner(QApplication &app, const QString &programFolder)
{
    QApplication::setApplicationName(QStringLiteral("Velmora for TolvoICQ"));
    // The window speaks Russian, Qt's own dialogs and their dates included.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    installRussianQtTranslations(app);
    QApplication::setQuitOnLastWindowClosed(false);
    // Without them the screens fall back to the desktop's wide sans; the preview still works.
    if (auto fonts = platform::loadFontAliases(programFolder + QStringLiteral("fonts.conf"));
        !fonts)
        std::fprintf(stderr, "velmora: %s\n", qPrintable(fonts.error().message));
    // The detail lines under the window's messages; velmora-cli keeps them in English.
    installProgramTranslation(app, programFolder);
}

std::unique_ptr<MainWindow> startDesigner(const QString &programFolder,
                                          const QString &commandLineSkin)
{
    auto form = std::make_unique<MainWindow>(programFolder, commandLineSkin);
    if (!form->startupFailed()) {
        form->previewWindow()->show();
        // After the window shows, so that the question about lost work has a place.
        form->startJournal(platform::dataFolder());
        form->recentSkins().keepIn(platform::dataFolder() + QStringLiteral("recent-skins.txt"));
    }
    return form;
}
