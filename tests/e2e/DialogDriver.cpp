#include "DialogDriver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Set on a modal window once it has been answered, so it is not answered twice while it closes.
constexpr char kAnswered[] = "e2eAnswered";
// How long a command may keep modal windows coming before the driver gives up on it.
constexpr int kCommandLimitMs = 120000;

void closeModal(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}

QSet<QWidget *> visibleWindows()
{
    QSet<QWidget *> shown;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            shown.insert(window);
    }
    return shown;
}

QString plain(QString caption)
{
    return caption.remove(u'&');
}

} // namespace

DialogDriver::Outcome DialogDriver::choose(QAction *item, std::deque<Answer> answers,
                                           const QList<QWidget *> &keep)
{
    if (!item) {
        ADD_FAILURE() << "no such menu item";
        return {};
    }
    return run([item] { item->trigger(); }, std::move(answers), keep);
}

DialogDriver::DialogDriver()
{
    m_watcher.setInterval(10);
    QObject::connect(&m_watcher, &QTimer::timeout, [this] { watch(); });
    m_watcher.start();
}

void DialogDriver::watch()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal->property(kAnswered).toBool())
        return;
    const bool overdue = m_running && m_clock.elapsed() > kCommandLimitMs;
    // A progress window runs its course; the command closes it.
    if (m_running && qobject_cast<QProgressDialog *>(modal) && !overdue)
        return;
    modal->setProperty(kAnswered, true);
    Answer answer;
    if (!m_running) {
        ADD_FAILURE() << "a window came while nothing was chosen: "
                      << describe(modal).toStdString();
    } else if (!m_answers.empty() && !overdue) {
        answer = std::move(m_answers.front());
        m_answers.pop_front();
    } else {
        m_running->unexpected.append(describe(modal));
    }
    if (!answer)
        answer = [](QWidget *w) {
            closeModal(w);
        };
    // Answered from the event loop rather than inside this tick, so a window the answer opens
    // in turn (a question after a click) is seen by the next tick.
    QMetaObject::invokeMethod(
        modal, [modal, answer = std::move(answer)] { answer(modal); }, Qt::QueuedConnection);
}

DialogDriver::Outcome DialogDriver::run(const std::function<void()> &step,
                                        std::deque<Answer> answers, const QList<QWidget *> &keep)
{
    Outcome outcome;
    const QSet<QWidget *> before = visibleWindows();
    m_answers = std::move(answers);
    m_running = &outcome;
    m_clock.start();
    QEventLoop loop;
    QMetaObject::invokeMethod(
        &loop,
        [&] {
            step();
            outcome.endedProgram = !loop.isRunning();
            loop.exit(0);
        },
        Qt::QueuedConnection);
    loop.exec();
    m_running = nullptr;
    outcome.unanswered = int(m_answers.size());
    m_answers.clear();
    if (outcome.endedProgram)
        return outcome;
    // Windows the command opened without blocking (the about box, the history list) close again.
    QApplication::processEvents();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !before.contains(window) && !keep.contains(window) &&
            !qobject_cast<QMenu *>(window))
            window->close();
    }
    return outcome;
}

QAction *DialogDriver::item(QMenu *menu, const QStringList &path)
{
    for (const QString &caption : path) {
        QAction *found = nullptr;
        for (QAction *action : menu ? menu->actions() : QList<QAction *>()) {
            if (!action->isSeparator() && plain(action->text()) == caption) {
                found = action;
                break;
            }
        }
        if (!found)
            return nullptr;
        if (&caption == &path.last())
            return found;
        menu = found->menu();
    }
    return nullptr;
}

QList<QAction *> DialogDriver::allItems(QMenu *menu)
{
    QList<QAction *> items;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        if (QMenu *submenu = action->menu())
            items += allItems(submenu);
        else
            items.append(action);
    }
    return items;
}

DialogDriver::Answer DialogDriver::typeFileName(const QString &path)
{
    return [path](QWidget *modal) {
        QPointer<QFileDialog> dialog = qobject_cast<QFileDialog *>(modal);
        QPointer<QLineEdit> field =
            dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!field) {
            ADD_FAILURE() << "expected a file dialog, got " << describe(modal).toStdString();
            closeModal(modal);
            return;
        }
        // Typed as a user types: into the field of the active dialog. The dialog follows the
        // typing by selecting what the text names so far, and drops those selections only
        // while the field has the focus; typed into a dialog not yet active, a folder named
        // on the way would stay selected and be what the dialog takes.
        dialog->activateWindow();
        field->setFocus();
        if (!waitFor([&] { return !field || field->hasFocus(); }, 10000) || !field) {
            ADD_FAILURE() << "the file dialog's name field never got the focus";
            closeModal(modal);
            return;
        }
        QStringList taken;
        QObject::connect(dialog, &QFileDialog::filesSelected,
                         [&taken](const QStringList &files) { taken = files; });
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, path);
        // The name field completes from the folder's contents as they arrive from another
        // thread; a completion list that opens just then takes the Enter for itself, as it
        // would from a user, who would press Enter again.
        const auto open = [&dialog] {
            return dialog && dialog->isVisible();
        };
        for (int attempt = 0; attempt < 5 && open(); ++attempt) {
            if (QCompleter *completer = field->completer(); completer && completer->popup())
                completer->popup()->hide();
            // The completion may have taken the dialog to the file's folder, leaving only the
            // name in the field: that is the same file. Anything else is typed again.
            const QString shown = QFileInfo(dialog->directory(), field->text()).absoluteFilePath();
            if (field->text() != path && shown != QFileInfo(path).absoluteFilePath()) {
                QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(field, path);
            }
            QTest::keyClick(field, Qt::Key_Return);
            waitFor([&open] { return !open(); }, 2000);
        }
        if (open()) {
            ADD_FAILURE() << "the file dialog did not take " << path.toStdString();
            dialog->reject();
        } else if (taken.size() != 1 || QFileInfo(taken.first()).absoluteFilePath() !=
                                            QFileInfo(path).absoluteFilePath()) {
            ADD_FAILURE() << "typed " << path.toStdString() << ", the file dialog took "
                          << taken.join(u", ").toStdString();
        }
    };
}

DialogDriver::Answer DialogDriver::cancel()
{
    return [](QWidget *modal) {
        closeModal(modal);
    };
}

DialogDriver::Answer DialogDriver::pressMessageButton(int role)
{
    return [role](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QAbstractButton *pressed = nullptr;
        for (QAbstractButton *button : box ? box->buttons() : QList<QAbstractButton *>()) {
            if (box->buttonRole(button) == QMessageBox::ButtonRole(role))
                pressed = button;
        }
        if (!pressed) {
            ADD_FAILURE() << "expected a question, got " << describe(modal).toStdString();
            closeModal(modal);
            return;
        }
        QTest::mouseClick(pressed, Qt::LeftButton);
    };
}

bool DialogDriver::waitFor(const std::function<bool()> &done, int milliseconds)
{
    return QTest::qWaitFor(done, milliseconds);
}

QString DialogDriver::describe(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        return QStringLiteral("message box \"%1\": %2 %3")
            .arg(box->windowTitle(), box->text(), box->informativeText());
    }
    return QStringLiteral("%1 \"%2\"")
        .arg(QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle());
}
