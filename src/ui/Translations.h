#pragma once

#include <QCoreApplication>

class QTranslator;

// Qt's own dialogs (file, colour, font, message boxes) in Russian, like the rest of the window.
// Installs Qt's Russian translations into app and returns them (owned by app); null when they
// are not installed on this system, in which case those dialogs stay in English.
QTranslator *installRussianQtTranslations(QCoreApplication &app);

// The program's own translation of the messages its lower layers write in English (file and
// picture errors, the system's reasons): programFolder + "translations/velmora_ru.qm", installed
// into app and returned (owned by app); null when the file is missing or unreadable. Only the
// window installs it; velmora-cli keeps those messages in English.
QTranslator *installProgramTranslation(QCoreApplication &app, const QString &programFolder);
