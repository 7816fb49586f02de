#pragma once

#include <QCoreApplication>

class QTranslator;

// Qt's own dialogs (file, colour, font, message boxes) in Russian, like the rest of the window.
// Installs Qt's Russian translations into app and returns them (owned by app); null when they
// are not installed on this system, in which case those dialogs stay in English.
QTranslator *installRussianQtTranslations(QCoreApplication &app);
