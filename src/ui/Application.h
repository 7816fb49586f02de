#pragma once

#include <QApplication>

#include <functional>

// The designer's application object. An allocation that fails inside an event handler (a
// picture far too large, a hostile file) is reported and the event dropped, instead of the
// exception tearing through Qt's event loop and ending the program with the user's work.
class VelmoraApplication : public QApplication
{
public:
    VelmoraApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Runs deliver; when it runs out of memory, tells the user through report and answers
    // false, as for an event nobody took.
    static bool guarded(const std::function<bool()> &deliver, const std::function<void()> &report);

    // The message shown when memory ran out.
    static void reportOutOfMemory();
};
