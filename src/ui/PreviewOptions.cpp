// The preview options of "Внешний вид" and "Разное", and the preview menu's items that run
// them: each handler sets the preview, then the menu's check marks follow the options.
#include "ui/MainWindow.h"

#include "preview/PhonePreview.h"
#include "ui/ArrowSpinBox.h"
#include "ui/ColourWindow.h"
#include "ui/PreviewWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QSlider>

void MainWindow::updateMenuChecks()
{
    PreviewWindow &menu = *m_previewWindow;
    menu.popupAction->setChecked(popupCheck->isChecked());
    menu.sortByStatusAction->setChecked(sortButtons->checkedId() == 0);
    menu.sortByNameAction->setChecked(sortButtons->checkedId() == 1);
    menu.showOfflineAction->setChecked(offlineCheck->isChecked());
    menu.showGroupsAction->setChecked(groupsCheck->isChecked());
    menu.showClientIconsAction->setChecked(clientIconsCheck->isChecked());
    menu.miniClockAction->setChecked(miniClockCheck->isChecked());
    // The menu side has no control of its own: the preview holds it.
    const bool menuLeft = m_preview && m_preview->MenuLeft();
    menu.showMenuAction->setChecked(menuCheck->isChecked());
    menu.leftMenuAction->setChecked(menuLeft);
    menu.rightMenuAction->setChecked(!menuLeft);
    menu.leftMenuAction->setEnabled(menuCheck->isChecked());
    menu.rightMenuAction->setEnabled(menuCheck->isChecked());
    const bool info = notificationsCheck->isChecked();
    menu.showNotificationsAction->setChecked(info);
    menu.notificationsLeftAction->setChecked(notificationsLeftCheck->isChecked());
    menu.notificationsRightAction->setChecked(!notificationsLeftCheck->isChecked());
    notificationsLeftCheck->setEnabled(info);
    menu.notificationsLeftAction->setEnabled(info);
    menu.notificationsRightAction->setEnabled(info);
}

// Every option handler: the preview takes the option's state, the menu's marks follow.
void MainWindow::setPreviewOption(void (PhonePreview::*set)(bool), bool on)
{
    if (m_preview)
        (m_preview->*set)(on);
    updateMenuChecks();
}

void MainWindow::popupToggled()
{
    setPreviewOption(&PhonePreview::setShowPopup, popupCheck->isChecked());
}

void MainWindow::sortChosen(int index)
{
    setPreviewOption(&PhonePreview::setSortByStatus, index != 1);
}

void MainWindow::offlineToggled()
{
    setPreviewOption(&PhonePreview::setShowOffline, offlineCheck->isChecked());
}

void MainWindow::menuToggled()
{
    setPreviewOption(&PhonePreview::setShowMenu, menuCheck->isChecked());
}

void MainWindow::groupsToggled()
{
    setPreviewOption(&PhonePreview::setShowGroups, groupsCheck->isChecked());
}

void MainWindow::clientIconsToggled()
{
    setPreviewOption(&PhonePreview::setShowClients, clientIconsCheck->isChecked());
}

void MainWindow::miniClockToggled()
{
    setPreviewOption(&PhonePreview::setMiniClock, miniClockCheck->isChecked());
}

void MainWindow::notificationsToggled()
{
    // "слева" keeps its state while disabled; the preview draws no windows to place meanwhile.
    RenderBatch batch(m_preview);
    if (m_preview)
        m_preview->setShowInfoWindows(notificationsCheck->isChecked());
    notificationsLeftToggled();
}

void MainWindow::notificationsLeftToggled()
{
    setPreviewOption(&PhonePreview::setInfoWindowsLeft, notificationsLeftCheck->isChecked());
}

void MainWindow::columnArrowClicked(int position)
{
    m_columnCount = position;
    m_previewWindow->checkColumnItem();
}

void MainWindow::setColumnCount(int columns)
{
    columnCountSpin->setValue(columns);
    columnArrowClicked(columnCountSpin->value());
}

void MainWindow::opacityChanged(int position)
{
    m_colourWindow->setWindowOpacity(position / 255.0);
}

void MainWindow::selectionStyleChosen(int index)
{
    if (m_preview)
        m_preview->setSelection(index == 1 ? SelectionMode::WholeSlot
                                           : SelectionMode::SingleElement);
}

void MainWindow::chooseFont(const PhoneFont &current,
                            void (PhonePreview::*apply)(const PhoneFont &))
{
    QFont start = current.toDialogFont();
    // The phone's font is seldom installed; the dialog then starts from the face the preview
    // draws with, whose bold it can show, instead of a bare alias without one.
    const bool standIn = !QFontDatabase::hasFamily(start.family());
    if (standIn)
        start.setFamily(QFontInfo(start).family());
    const auto chosen = m_askFont(start);
    if (!chosen || !m_preview)
        return;
    PhoneFont font = PhoneFont::fromDialogFont(*chosen);
    // Keeping the stand-in face keeps the phone's font: the skin is drawn on the phone with
    // that, and the settings file must go on naming it.
    if (standIn && chosen->family() == start.family())
        font.family = current.family;
    (m_preview->*apply)(font);
}

void MainWindow::chooseContactListFont()
{
    if (m_preview)
        chooseFont(m_preview->ContactListFont(), &PhonePreview::setContactListFont);
}

void MainWindow::chooseChatFont()
{
    if (m_preview)
        chooseFont(m_preview->ChatFont(), &PhonePreview::setChatFont);
}

void MainWindow::chooseSettingsFont()
{
    if (m_preview)
        chooseFont(m_preview->SettingsFont(), &PhonePreview::setSettingsFont);
}

// The menu's option items act on the options; a menu item toggled its own check mark already,
// so the marks are set again from the options even when nothing changed.
void MainWindow::connectOptionItems()
{
    PreviewWindow &menu = *m_previewWindow;
    const auto toggle = [this](QAction *item, QCheckBox *box) {
        connect(item, &QAction::triggered, this, [this, box] {
            box->setChecked(!box->isChecked());
            updateMenuChecks();
        });
    };
    toggle(menu.popupAction, popupCheck);
    toggle(menu.showOfflineAction, offlineCheck);
    toggle(menu.showMenuAction, menuCheck);
    toggle(menu.showGroupsAction, groupsCheck);
    toggle(menu.showClientIconsAction, clientIconsCheck);
    toggle(menu.miniClockAction, miniClockCheck);
    toggle(menu.showNotificationsAction, notificationsCheck);
    const auto choose = [this](QAction *item, QCheckBox *box, bool on) {
        connect(item, &QAction::triggered, this, [this, box, on] {
            box->setChecked(on);
            updateMenuChecks();
        });
    };
    choose(menu.notificationsLeftAction, notificationsLeftCheck, true);
    choose(menu.notificationsRightAction, notificationsLeftCheck, false);
    const auto sort = [this](QAction *item, int index) {
        connect(item, &QAction::triggered, this, [this, index] {
            sortButtons->button(index)->setChecked(true);
            updateMenuChecks();
        });
    };
    sort(menu.sortByStatusAction, 0);
    sort(menu.sortByNameAction, 1);
    const auto side = [this](QAction *item, bool left) {
        connect(item, &QAction::triggered, this, [this, left] {
            if (m_preview)
                m_preview->setMenuLeft(left);
            menuToggled();
        });
    };
    side(menu.leftMenuAction, true);
    side(menu.rightMenuAction, false);
    const QList<QAction *> columns = menu.columnItems();
    for (int n = 1; n <= int(columns.size()); ++n)
        connect(columns[n - 1], &QAction::triggered, this, [this, n] { setColumnCount(n); });
    connect(menu.simplifiedModeAction, &QAction::triggered, this,
            [this] { expertModeCheck->setChecked(!expertModeCheck->isChecked()); });
    m_previewWindow->columnCountSource = [this] {
        return m_columnCount;
    };
}
