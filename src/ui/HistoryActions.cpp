#include "ui/HistoryActions.h"

#include <QAction>
#include <QUndoStack>
#include <QUndoView>
#include <QVBoxLayout>
#include <QWidget>

HistoryActions::HistoryActions(QUndoStack &stack, QObject *parent)
    : QObject(parent)
    , m_stack(stack)
    , m_undo(new QAction(this))
    , m_redo(new QAction(this))
    , m_history(new QAction(QStringLiteral("История…"), this))
{
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(m_undo, &QAction::triggered, &m_stack, &QUndoStack::undo);
    connect(m_redo, &QAction::triggered, &m_stack, &QUndoStack::redo);
    connect(m_history, &QAction::triggered, this, [this] {
        QWidget *window = historyWindow();
        window->show();
        window->raise();
        window->activateWindow();
    });
    connect(&m_stack, &QUndoStack::indexChanged, this, &HistoryActions::update);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &HistoryActions::update);
    update();
}

HistoryActions::~HistoryActions()
{
    delete m_window;
}

void HistoryActions::update()
{
    const bool canUndo = m_stack.canUndo();
    const bool canRedo = m_stack.canRedo();
    m_undo->setEnabled(canUndo);
    m_redo->setEnabled(canRedo);
    m_undo->setText(canUndo ? QStringLiteral("Отменить: %1").arg(m_stack.undoText())
                            : QStringLiteral("Отменить"));
    m_redo->setText(canRedo ? QStringLiteral("Повторить: %1").arg(m_stack.redoText())
                            : QStringLiteral("Повторить"));
}

QWidget *HistoryActions::historyWindow()
{
    if (!m_window) {
        m_window = new QWidget(nullptr, Qt::Tool);
        m_window->setWindowTitle(QStringLiteral("История"));
        auto *layout = new QVBoxLayout(m_window);
        layout->setContentsMargins(4, 4, 4, 4);
        m_view = new QUndoView(&m_stack, m_window);
        // The first row is where undoing everything leads.
        m_view->setEmptyLabel(QStringLiteral("Начало"));
        layout->addWidget(m_view);
        m_window->resize(320, 400);
    }
    return m_window;
}

QUndoView *HistoryActions::historyView()
{
    historyWindow();
    return m_view;
}
