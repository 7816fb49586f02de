#pragma once

#include <QString>
#include <QStringList>

#include <QElapsedTimer>
#include <QTimer>

#include <deque>
#include <functional>

class QAction;
class QMenu;
class QWidget;

// Drives the program's real dialogs the way a user would: a command is chosen, and whatever
// modal window it opens is answered by the next queued answer (typing, clicking its buttons).
// A modal window nobody expected is noted and closed, so a test never hangs on one; one that
// comes while no command is being driven (from a timer, a background signal) fails the test.
class DialogDriver
{
public:
    DialogDriver();

    using Answer = std::function<void(QWidget *modal)>;

    struct Outcome
    {
        // The command ended the program (QCoreApplication::exit was called).
        bool endedProgram = false;
        // Modal windows that came without an answer waiting for them: their titles and texts.
        QStringList unexpected;
        // Answers still queued when the command returned: the dialog they were for never came.
        int unanswered = 0;
    };

    // Chooses the menu item (as a click on it does) and answers the modal windows it opens in
    // order, then closes any other window that opened and is not one of keep.
    Outcome choose(QAction *item, std::deque<Answer> answers = {},
                   const QList<QWidget *> &keep = {});
    // Runs a step (a click, a key) the same way.
    Outcome run(const std::function<void()> &step, std::deque<Answer> answers = {},
                const QList<QWidget *> &keep = {});

    // The item reached by following the captions from menu ("Импортировать", "курсор"); null
    // when there is none. Captions are compared without their '&' markers.
    static QAction *item(QMenu *menu, const QStringList &path);
    // Every item of menu and its submenus in menu order, the submenus' own items excluded.
    static QList<QAction *> allItems(QMenu *menu);

    // Answers for the common dialogs.
    // Types path into a file dialog's name field and presses Enter.
    static Answer typeFileName(const QString &path);
    // Cancels whatever dialog it is.
    static Answer cancel();
    // Presses a message box's button of that role (QMessageBox::YesRole, …).
    static Answer pressMessageButton(int role);

    // Waits, turning the event loop, until done() is true or the time is up.
    static bool waitFor(const std::function<bool()> &done, int milliseconds = 30000);
    // What a modal window says, for a failure message.
    static QString describe(QWidget *modal);

private:
    void watch();

    QTimer m_watcher;
    QElapsedTimer m_clock;
    // While a command runs: the answers still waiting and what it has come to.
    std::deque<Answer> m_answers;
    Outcome *m_running = nullptr;
};
