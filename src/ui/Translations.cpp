#include "ui/Translations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QTranslator *installRussianQtTranslations(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                          QStringLiteral("_"), folder)) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

QTranslator *installProgramTranslation(QCoreApplication &app, const QString &programFolder)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(programFolder + QStringLiteral("translations/velmora_ru.qm"))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}
