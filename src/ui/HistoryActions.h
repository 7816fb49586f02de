#pragma once

#include <QObject>

class QAction;
class QUndoStack;
class QUndoView;
class QWidget;

// "Отменить", "Повторить" and "История" for one undo stack, shared by the main menu and the
// preview menu. The undo and redo items name the step they take back or do again
// ("Отменить: цвет «ник контакта»") and are disabled when there is none.
class HistoryActions : public QObject
{
    Q_OBJECT
public:
    HistoryActions(QUndoStack &stack, QObject *parent = nullptr);
    ~HistoryActions() override;

    QAction *undo() const { return m_undo; }
    QAction *redo() const { return m_redo; }
    QAction *history() const { return m_history; }
    // The window with the list of steps; made on first use.
    QWidget *historyWindow();
    QUndoView *historyView();

private:
    void update();

    QUndoStack &m_stack;
    QAction *m_undo;
    QAction *m_redo;
    QAction *m_history;
    QWidget *m_window = nullptr;
    QUndoView *m_view = nullptr;
};
