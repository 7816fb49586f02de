// The two pairs of interface modes: expert or simplified, and the screen in its own window
// (new interface) or inside this one (old interface).
#include "ui/MainWindow.h"

#include "ui/PreviewControl.h"
#include "ui/PreviewWindow.h"
#include "ui/SaveDialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTabWidget>

void MainWindow::expertModeToggled()
{
    const bool expert = m_expertModeCheck->isChecked();
    if (!expert && m_optionTabs->isVisible())
        m_expertSize = size();
    m_optionTabs->setVisible(expert);
    if (expert) {
        m_optionTabs->setTabVisible(0, true);
        m_optionTabs->setTabVisible(1, true);
    }
    placeMiscPanel(expert);
    for (QWidget *advanced :
         std::initializer_list<QWidget *>{m_svgGroup, m_settingsAtStartCheck, m_oldInterfaceCheck,
                                          m_opacityGroup, m_selectionGroup})
        advanced->setVisible(expert);
    menuBar()->setVisible(expert);
    for (QAction *item : {m_commands->main(Command::ExportSkin),
                          m_commands->main(Command::ExportMif), m_exportSeparator})
        item->setVisible(expert);
    m_previewWindow->setExpertMenus(expert);
    if (m_saveDialog)
        m_saveDialog->setExpertLayout(expert);
    if (expert && m_expertSize.isValid()) {
        resize(m_expertSize);
    } else if (!expert) {
        // The layouts learn of the hidden controls only when they next run, inner ones first:
        // run them now, or the old minimum height keeps the window from shrinking to the strip.
        for (QWidget *holder : {m_miscPanel, centralWidget(), static_cast<QWidget *>(this)})
            holder->layout()->activate();
        resize(minimumSizeHint());
    }
    oldInterfaceToggled();
}

void MainWindow::placeMiscPanel(bool inTab)
{
    QBoxLayout *target = inTab ? m_miscPageLayout : m_columnLayout;
    if (target->indexOf(m_miscPanel) >= 0)
        return;
    target->addWidget(m_miscPanel);
    m_miscPanel->show();
}

void MainWindow::oldInterfaceToggled()
{
    // A phone around the screen has no place in this window; the handler of the model list
    // decides again below whether the preview window can have one.
    m_phoneFrameCheck->setEnabled(false);
    m_oldInterface = m_oldInterfaceCheck->isChecked();
    if (m_oldInterface) {
        lendPreviewControl();
        {
            // No frame here; the model's handler below sizes the screen once.
            const QSignalBlocker blocker(m_phoneFrameCheck);
            m_phoneFrameCheck->setChecked(false);
        }
        modelChosen();
        m_settingsAtStartCheck->setChecked(true);
        m_settingsAtStartCheck->setEnabled(false);
        // Turning the expert mode on runs its handler, which comes back here once.
        m_expertModeCheck->setChecked(true);
        m_expertModeCheck->setEnabled(false);
        addActions({m_previewWindow->showContactListAction(), m_previewWindow->contactListAction(),
                    m_previewWindow->chatAction(), m_previewWindow->settingsScreenAction()});
        m_previewWindow->setOldInterface(true);
        if (m_startupComplete)
            show();
        return;
    }
    const bool wasLent = !m_previewWindow->hostsControl();
    m_previewWindow->setOldInterface(false);
    m_previewWindow->hostControl();
    modelChosen();
    m_settingsAtStartCheck->setEnabled(true);
    if (m_startupComplete)
        m_previewWindow->setWindowOpacity(1.0);
    m_expertModeCheck->setEnabled(true);
    for (QAction *item :
         {m_previewWindow->showContactListAction(), m_previewWindow->contactListAction(),
          m_previewWindow->chatAction(), m_previewWindow->settingsScreenAction()})
        removeAction(item);
    if (wasLent && m_sizeBeforeLending.isValid())
        resize(m_sizeBeforeLending);
    if (m_startupComplete)
        m_previewWindow->show();
}

// The screen control stands to the right of the tabs, at the top.
void MainWindow::lendPreviewControl()
{
    PreviewControl *control = m_previewWindow->previewControl();
    if (m_rowLayout->indexOf(control) >= 0)
        return;
    m_sizeBeforeLending = size();
    control->setOwnMouse(true);
    m_rowLayout->addWidget(control, 0, Qt::AlignTop);
    control->fitToPicture();
    control->show();
    connect(control, &PreviewControl::slotClicked, this, &MainWindow::openColourWindow,
            Qt::UniqueConnection);
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event)
{
    // The old interface gives this window the preview window's menu.
    if (m_oldInterface)
        m_previewWindow->contextMenu()->popup(event->globalPos());
    else
        QMainWindow::contextMenuEvent(event);
}
