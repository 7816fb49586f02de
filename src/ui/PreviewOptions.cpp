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

bool MainWindow::toggleValue(Toggle id) const
{
    if (const QCheckBox *box = toggleCheck(id))
        return box->isChecked();
    return m_preview && m_preview->state().*previewToggle(id).state;
}

void MainWindow::updateMenuChecks()
{
    PreviewWindow &menu = *m_previewWindow;
    menu.sortByStatusAction()->setChecked(m_sortButtons->checkedId() == 0);
    menu.sortByNameAction()->setChecked(m_sortButtons->checkedId() == 1);
    for (const PreviewToggle &toggle : kPreviewToggles) {
        const bool on = toggleValue(toggle.id);
        // A side matters only while its windows show; it keeps its state meanwhile.
        const bool matters = !toggle.needs || toggleValue(*toggle.needs);
        if (QAction *item = menu.toggleAction(toggle.id)) {
            item->setChecked(on);
            item->setEnabled(matters);
        }
        if (QAction *other = menu.otherSideAction(toggle.id)) {
            other->setChecked(!on);
            other->setEnabled(matters);
        }
        if (QCheckBox *box = toggleCheck(toggle.id); box && toggle.needs)
            box->setEnabled(matters);
    }
}

// Every option's change: the preview takes the option's state, the menu's marks follow.
void MainWindow::toggleChanged(Toggle id)
{
    if (m_preview)
        m_preview->setOption(previewToggle(id).state, toggleValue(id));
    updateMenuChecks();
}

void MainWindow::sortChosen(int index)
{
    if (m_preview)
        m_preview->setOption(&PreviewState::sortByStatus, index != 1);
    updateMenuChecks();
}

void MainWindow::columnArrowClicked(int position)
{
    m_columnCount = position;
    m_previewWindow->checkColumnItem();
}

void MainWindow::setColumnCount(int columns)
{
    m_columnCountSpin->setValue(columns);
    columnArrowClicked(m_columnCountSpin->value());
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

void MainWindow::chooseFont(PhoneFont PreviewState::*font)
{
    if (!m_preview)
        return;
    const PhoneFont current = m_preview->state().*font;
    QFont start = current.toDialogFont();
    // The phone's font is seldom installed; the dialog then starts from the face the preview
    // draws with, whose bold it can show, instead of a bare alias without one.
    const bool standIn = !QFontDatabase::hasFamily(start.family());
    if (standIn)
        start.setFamily(QFontInfo(start).family());
    const auto chosen = m_askFont(start);
    if (!chosen || !m_preview)
        return;
    PhoneFont picked = PhoneFont::fromDialogFont(*chosen);
    // Keeping the stand-in face keeps the phone's font: the skin is drawn on the phone with
    // that, and the settings file must go on naming it.
    if (standIn && chosen->family() == start.family())
        picked.family = current.family;
    m_preview->setFont(font, picked);
}

void MainWindow::chooseContactListFont()
{
    chooseFont(&PreviewState::contactListFont);
}

void MainWindow::chooseChatFont()
{
    chooseFont(&PreviewState::chatFont);
}

void MainWindow::chooseSettingsFont()
{
    chooseFont(&PreviewState::settingsFont);
}

// The menu's option items act on the options; a menu item toggled its own check mark already,
// so the marks are set again from the options even when nothing changed.
void MainWindow::connectOptionItems()
{
    PreviewWindow &menu = *m_previewWindow;
    // A plain option's item flips its box; a side's two items set it, or, without a box (the
    // menu's side), the preview itself.
    const auto setSide = [this](Toggle id, bool on) {
        if (QCheckBox *box = toggleCheck(id)) {
            box->setChecked(on);
        } else if (m_preview) {
            m_preview->setOption(previewToggle(id).state, on);
        }
        updateMenuChecks();
    };
    for (const PreviewToggle &toggle : kPreviewToggles) {
        const Toggle id = toggle.id;
        if (QAction *other = menu.otherSideAction(id)) {
            connect(menu.toggleAction(id), &QAction::triggered, this,
                    [setSide, id] { setSide(id, true); });
            connect(other, &QAction::triggered, this, [setSide, id] { setSide(id, false); });
        } else if (QAction *item = menu.toggleAction(id)) {
            connect(item, &QAction::triggered, this, [this, id] {
                QCheckBox *box = toggleCheck(id);
                box->setChecked(!box->isChecked());
                updateMenuChecks();
            });
        }
    }
    const auto sort = [this](QAction *item, int index) {
        connect(item, &QAction::triggered, this, [this, index] {
            m_sortButtons->button(index)->setChecked(true);
            updateMenuChecks();
        });
    };
    sort(menu.sortByStatusAction(), 0);
    sort(menu.sortByNameAction(), 1);
    const QList<QAction *> columns = menu.columnItems();
    for (int n = 1; n <= int(columns.size()); ++n)
        connect(columns[n - 1], &QAction::triggered, this, [this, n] { setColumnCount(n); });
    connect(menu.simplifiedModeAction(), &QAction::triggered, this,
            [this] { m_expertModeCheck->setChecked(!m_expertModeCheck->isChecked()); });
    m_previewWindow->columnCountSource = [this] {
        return m_columnCount;
    };
}
