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
    menu.N33->setChecked(CheckBox2->isChecked());
    menu.N24->setChecked(RadioGroup1->checkedId() == 0);
    menu.N25->setChecked(RadioGroup1->checkedId() == 1);
    menu.N21->setChecked(CheckBox3->isChecked());
    menu.N20->setChecked(CheckBox4->isChecked());
    menu.N32->setChecked(CheckBox6->isChecked());
    menu.N28->setChecked(CheckBox7->isChecked());
    // The menu side has no control of its own: the preview holds it.
    const bool menuLeft = m_preview && m_preview->MenuLeft();
    menu.N44->setChecked(CheckBox12->isChecked());
    menu.N38->setChecked(menuLeft);
    menu.N39->setChecked(!menuLeft);
    menu.N38->setEnabled(CheckBox12->isChecked());
    menu.N39->setEnabled(CheckBox12->isChecked());
    const bool info = CheckBox9->isChecked();
    menu.N36->setChecked(info);
    menu.N34->setChecked(CheckBox10->isChecked());
    menu.N35->setChecked(!CheckBox10->isChecked());
    CheckBox10->setEnabled(info);
    menu.N34->setEnabled(info);
    menu.N35->setEnabled(info);
}

// Every option handler: the preview takes the option's state, the menu's marks follow.
void MainWindow::setPreviewOption(void (PhonePreview::*set)(bool), bool on)
{
    if (m_preview)
        (m_preview->*set)(on);
    updateMenuChecks();
}

void MainWindow::CheckBox2Click()
{
    setPreviewOption(&PhonePreview::setShowPopup, CheckBox2->isChecked());
}

void MainWindow::RadioGroup1Click(int index)
{
    setPreviewOption(&PhonePreview::setSortByStatus, index != 1);
}

void MainWindow::CheckBox3Click()
{
    setPreviewOption(&PhonePreview::setShowOffline, CheckBox3->isChecked());
}

void MainWindow::CheckBox12Click()
{
    setPreviewOption(&PhonePreview::setShowMenu, CheckBox12->isChecked());
}

void MainWindow::CheckBox4Click()
{
    setPreviewOption(&PhonePreview::setShowGroups, CheckBox4->isChecked());
}

void MainWindow::CheckBox6Click()
{
    setPreviewOption(&PhonePreview::setShowClients, CheckBox6->isChecked());
}

void MainWindow::CheckBox7Click()
{
    setPreviewOption(&PhonePreview::setMiniClock, CheckBox7->isChecked());
}

void MainWindow::CheckBox9Click()
{
    // "слева" keeps its state while disabled; the preview draws no windows to place meanwhile.
    RenderBatch batch(m_preview);
    if (m_preview)
        m_preview->setShowInfoWindows(CheckBox9->isChecked());
    CheckBox10Click();
}

void MainWindow::CheckBox10Click()
{
    setPreviewOption(&PhonePreview::setInfoWindowsLeft, CheckBox10->isChecked());
}

void MainWindow::UpDown5Click(int position)
{
    m_columnCount = position;
    m_previewWindow->columnscheck();
}

void MainWindow::setColumnCount(int columns)
{
    Edit9->setValue(columns);
    UpDown5Click(Edit9->value());
}

void MainWindow::TrackBar4Change(int position)
{
    m_colourWindow->setWindowOpacity(position / 255.0);
}

void MainWindow::RadioGroup3Click(int index)
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

void MainWindow::Button1Click()
{
    if (m_preview)
        chooseFont(m_preview->ContactListFont(), &PhonePreview::setContactListFont);
}

void MainWindow::Button3Click()
{
    if (m_preview)
        chooseFont(m_preview->ChatFont(), &PhonePreview::setChatFont);
}

void MainWindow::Button5Click()
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
    toggle(menu.N33, CheckBox2);
    toggle(menu.N21, CheckBox3);
    toggle(menu.N44, CheckBox12);
    toggle(menu.N20, CheckBox4);
    toggle(menu.N32, CheckBox6);
    toggle(menu.N28, CheckBox7);
    toggle(menu.N36, CheckBox9);
    const auto choose = [this](QAction *item, QCheckBox *box, bool on) {
        connect(item, &QAction::triggered, this, [this, box, on] {
            box->setChecked(on);
            updateMenuChecks();
        });
    };
    choose(menu.N34, CheckBox10, true);
    choose(menu.N35, CheckBox10, false);
    const auto sort = [this](QAction *item, int index) {
        connect(item, &QAction::triggered, this, [this, index] {
            RadioGroup1->button(index)->setChecked(true);
            updateMenuChecks();
        });
    };
    sort(menu.N24, 0);
    sort(menu.N25, 1);
    const auto side = [this](QAction *item, bool left) {
        connect(item, &QAction::triggered, this, [this, left] {
            if (m_preview)
                m_preview->setMenuLeft(left);
            CheckBox12Click();
        });
    };
    side(menu.N38, true);
    side(menu.N39, false);
    const QList<QAction *> columns = menu.columnItems();
    for (int n = 1; n <= int(columns.size()); ++n)
        connect(columns[n - 1], &QAction::triggered, this, [this, n] { setColumnCount(n); });
    connect(menu.N46, &QAction::triggered, this,
            [this] { CheckBox14->setChecked(!CheckBox14->isChecked()); });
    m_previewWindow->ColumnCountSource = [this] {
        return m_columnCount;
    };
}
