#pragma once

#include <QString>

#include <memory>

class QApplication;
class MainWindow;

// What the designer's main() does around its window, in one place: the end-to-end tests start
// the program through these very functions, so what they drive is what a user runs.

// Names the application, sets the window's language (Russian, Qt's own dialogs too), loads the
// phone fonts' stand-ins and the program's translation, and keeps the program running when the
// last visible window closes (the preview window decides when it ends). programFolder ends in
// '/'. A problem with the font rules is printed on stderr; the program still starts.
void prepareDesigner(QApplication &app, const QString &programFolder);

// Creates the main window, which runs the whole start-up; when that succeeded, shows the
// preview window and starts the work journal in the user's data folder (offering back work a
// crashed session left). commandLineSkin is an absolute path or empty.
std::unique_ptr<MainWindow> startDesigner(const QString &programFolder,
                                          const QString &commandLineSkin);
