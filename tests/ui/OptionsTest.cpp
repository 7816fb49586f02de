#include "TestFiles.h"
#include "WindowFixture.h"
#include "core/SettingsFile.h"
#include "preview/PhonePreview.h"
#include "ui/ArrowSpinBox.h"
#include "ui/ColourWindow.h"
#include "ui/MainWindow.h"
#include "ui/PreviewControl.h"
#include "ui/PreviewWindow.h"
#include "ui/SaveDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class Options : public WindowFixture
{
protected:
    // One phone without a picture: enough for "Телефон" to be offered.
    static void SetUpTestSuite()
    {
        WindowFixture::SetUpTestSuite();
        if (s_error.isEmpty() &&
            !testfiles::write(s_dir->path() + QStringLiteral("/mobiles/base.txt"),
                              "phone = Alpha\r\n176*208\r\n0,0\r\nalpha.png\r\n"))
            s_error = QStringLiteral("cannot write base.txt");
    }

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(startWindow());
        preview = form->preview();
        preview->stopBlinking();
        window = form->previewWindow();
    }

    PhonePreview *preview = nullptr;
    PreviewWindow *window = nullptr;
};

// One option: its check box, its preview-menu item and the preview state it drives.
struct ToggleOption
{
    const char *name;
    QCheckBox *MainWindow::*box;
    QAction *PreviewWindow::*item;
    bool (PhonePreview::*state)() const;
};

const ToggleOption kToggles[] = {
    {"popup", &MainWindow::CheckBox2, &PreviewWindow::N33, &PhonePreview::ShowPopup},
    {"offline", &MainWindow::CheckBox3, &PreviewWindow::N21, &PhonePreview::ShowOffline},
    {"menu", &MainWindow::CheckBox12, &PreviewWindow::N44, &PhonePreview::ShowMenu},
    {"groups", &MainWindow::CheckBox4, &PreviewWindow::N20, &PhonePreview::ShowGroups},
    {"clients", &MainWindow::CheckBox6, &PreviewWindow::N32, &PhonePreview::ShowClients},
    {"mini clock", &MainWindow::CheckBox7, &PreviewWindow::N28, &PhonePreview::MiniClock},
    {"info windows", &MainWindow::CheckBox9, &PreviewWindow::N36, &PhonePreview::ShowInfoWindows},
};

} // namespace

TEST_F(Options, EveryToggleAgreesBetweenTabMenuAndPreviewFromBothSides)
{
    for (const ToggleOption &option : kToggles) {
        SCOPED_TRACE(option.name);
        QCheckBox *box = form.get()->*option.box;
        QAction *item = window->*option.item;
        const bool start = box->isChecked();
        ASSERT_EQ(item->isChecked(), start);
        ASSERT_EQ((preview->*option.state)(), start);

        box->click();
        EXPECT_EQ(item->isChecked(), !start);
        EXPECT_EQ((preview->*option.state)(), !start);

        item->trigger();
        EXPECT_EQ(box->isChecked(), start);
        EXPECT_EQ(item->isChecked(), start);
        EXPECT_EQ((preview->*option.state)(), start);
    }
}

TEST_F(Options, ChoiceItemsAgreeWithSortingAndInfoSide)
{
    form->RadioGroup1->button(1)->click();
    EXPECT_FALSE(preview->SortByStatus());
    EXPECT_TRUE(window->N25->isChecked());
    EXPECT_FALSE(window->N24->isChecked());
    window->N24->trigger();
    EXPECT_TRUE(preview->SortByStatus());
    EXPECT_TRUE(form->RadioGroup1->button(0)->isChecked());
    // Choosing the item already chosen must not take its check mark away.
    window->N24->trigger();
    EXPECT_TRUE(window->N24->isChecked());
    EXPECT_FALSE(window->N25->isChecked());

    form->CheckBox9->setChecked(true);
    window->N34->trigger();
    EXPECT_TRUE(form->CheckBox10->isChecked());
    EXPECT_TRUE(preview->InfoWindowsLeft());
    EXPECT_TRUE(window->N34->isChecked());
    EXPECT_FALSE(window->N35->isChecked());
    window->N35->trigger();
    EXPECT_FALSE(form->CheckBox10->isChecked());
    EXPECT_FALSE(preview->InfoWindowsLeft());
    EXPECT_TRUE(window->N35->isChecked());
}

TEST_F(Options, SubItemsAreEnabledOnlyWhileTheirOptionIsOnAndKeepTheirState)
{
    form->CheckBox9->setChecked(true);
    form->CheckBox10->setChecked(true);
    form->CheckBox9->setChecked(false);
    EXPECT_FALSE(form->CheckBox10->isEnabled());
    EXPECT_FALSE(window->N34->isEnabled());
    EXPECT_FALSE(window->N35->isEnabled());
    EXPECT_TRUE(form->CheckBox10->isChecked());
    EXPECT_TRUE(window->N34->isChecked());
    form->CheckBox9->setChecked(true);
    EXPECT_TRUE(form->CheckBox10->isEnabled());
    EXPECT_TRUE(preview->InfoWindowsLeft());

    EXPECT_FALSE(window->N38->isEnabled());
    EXPECT_FALSE(window->N39->isEnabled());
    form->CheckBox12->setChecked(true);
    ASSERT_TRUE(window->N38->isEnabled());
    window->N38->trigger();
    EXPECT_TRUE(preview->MenuLeft());
    EXPECT_TRUE(window->N38->isChecked());
    EXPECT_FALSE(window->N39->isChecked());
    form->CheckBox12->setChecked(false);
    EXPECT_FALSE(window->N38->isEnabled());
    EXPECT_TRUE(window->N38->isChecked());
}

TEST_F(Options, PickingASlotLeavesTheOptionsAndTheirMarks)
{
    ASSERT_FALSE(form->CheckBox12->isChecked());
    form->RadioGroup2Click(Slot::MenuText);
    EXPECT_TRUE(preview->ShowMenu()) << "the slot is shown in an open menu";
    EXPECT_FALSE(form->CheckBox12->isChecked());
    EXPECT_FALSE(window->N44->isChecked());

    form->CheckBox12->setChecked(true);
    form->RadioGroup2Click(0);
    EXPECT_FALSE(preview->ShowMenu());
    EXPECT_TRUE(window->N44->isChecked());
}

TEST_F(Options, TypedColumnsCountOnlyOnceAnArrowIsUsed)
{
    ASSERT_EQ(preview->Columns(), 2);
    form->Edit9->selectAll();
    QTest::keyClicks(form->Edit9, QStringLiteral("4"));
    ASSERT_EQ(form->Edit9->text(), QStringLiteral("4"));
    QTest::keyClick(form->Edit9, Qt::Key_Return);
    EXPECT_EQ(preview->Columns(), 2);
    EXPECT_EQ(form->columnCount(), 2);
    EXPECT_TRUE(window->N27->isChecked());

    form->Edit9->stepBy(-1);
    EXPECT_EQ(preview->Columns(), 3) << "the arrow steps from the typed 4";
    EXPECT_TRUE(window->N31->isChecked());

    window->N51->trigger();
    EXPECT_EQ(form->Edit9->value(), 5);
    EXPECT_EQ(preview->Columns(), 5);
    form->Edit9->stepBy(1);
    EXPECT_EQ(preview->Columns(), 5) << "the field stops at five";
}

// The phone's font is drawn here by a stand-in face; taking the dialog's start as it is
// must keep the phone's font, on the screen and in the settings file.
TEST_F(Options, OkWithoutAChangeKeepsThePhoneFontsName)
{
    const PhoneFont before = preview->ContactListFont();
    ASSERT_EQ(before.family, QStringLiteral("Nokia Hindi S60"));
    ASSERT_FALSE(QFontDatabase::hasFamily(before.family)) << "the phone's font is installed";
    QFont offered;
    form->setFontAsker([&](const QFont &current) -> std::optional<QFont> {
        offered = current;
        return current;
    });
    form->Button1->click();
    EXPECT_NE(offered.family(), before.family) << "the dialog starts from the stand-in";
    EXPECT_EQ(preview->ContactListFont().family, before.family);
    EXPECT_EQ(form->currentSettings().fonts[0].name, before.family);
}

TEST_F(Options, EachFontButtonChangesOnlyItsScreenAndCancelChangesNothing)
{
    const PhoneFont chat = preview->ChatFont();
    const PhoneFont settings = preview->SettingsFont();
    QFont offered;
    const QString family = QFontDatabase::families().value(0);
    ASSERT_FALSE(family.isEmpty());
    form->setFontAsker([&](const QFont &current) -> std::optional<QFont> {
        offered = current;
        QFont chosen(family);
        chosen.setPointSize(12);
        chosen.setItalic(true);
        chosen.setUnderline(true);
        return chosen;
    });
    form->Button1->click();
    // The phone's face when installed, else the one drawn in its place.
    EXPECT_TRUE(QFontDatabase::hasFamily(offered.family())) << offered.family().toStdString();
    EXPECT_EQ(offered.pointSize(), 8);
    EXPECT_TRUE(offered.bold());
    const PhoneFont list = preview->ContactListFont();
    EXPECT_EQ(list.family, family);
    EXPECT_EQ(list.points(), 12);
    EXPECT_TRUE(list.italic);
    EXPECT_FALSE(list.bold);
    EXPECT_TRUE(list.underline);
    EXPECT_EQ(preview->ChatFont(), chat);
    EXPECT_EQ(preview->SettingsFont(), settings);

    form->setFontAsker([&](const QFont &current) -> std::optional<QFont> {
        offered = current;
        return std::nullopt;
    });
    form->Button3->click();
    EXPECT_EQ(offered.pointSize(), chat.points());
    EXPECT_EQ(preview->ChatFont(), chat);
    EXPECT_EQ(preview->ContactListFont(), list);
    // The next dialog starts from the font chosen before.
    form->Button1->click();
    EXPECT_EQ(offered.family(), family);
    EXPECT_EQ(offered.pointSize(), 12);
    EXPECT_TRUE(offered.underline());
}

TEST_F(Options, OpacityAndSelectionModeReachTheirWindows)
{
    EXPECT_EQ(form->TrackBar4->minimum(), 100);
    EXPECT_EQ(form->TrackBar4->value(), 255);
    form->TrackBar4->setValue(100);
    EXPECT_NEAR(form->colourWindow()->windowOpacity(), 100 / 255.0, 0.01);

    EXPECT_EQ(preview->Selection(), SelectionMode::WholeSlot);
    form->RadioGroup3->button(0)->click();
    EXPECT_EQ(preview->Selection(), SelectionMode::SingleElement);
    form->RadioGroup3->button(1)->click();
    EXPECT_EQ(preview->Selection(), SelectionMode::WholeSlot);
}

TEST_F(Options, SimplifiedModeLeavesTheStripAndTheBasicCommands)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->PageControl1->setCurrentIndex(2);
    window->N46->trigger();
    ASSERT_FALSE(form->CheckBox14->isChecked());
    EXPECT_TRUE(form->PageControl1->isHidden());
    EXPECT_TRUE(form->menuBar()->isHidden());
    for (QWidget *hidden :
         std::initializer_list<QWidget *>{form->SvgGroup, form->CheckBox8, form->CheckBox11,
                                          form->OpacityGroup, form->SelectionGroup})
        EXPECT_FALSE(hidden->isVisibleTo(form.get()));
    EXPECT_TRUE(form->CheckBox14->isVisibleTo(form.get()));
    EXPECT_TRUE(form->CheckBox13->isVisibleTo(form.get()));
    EXPECT_FALSE(form->skin1->isVisible());
    EXPECT_FALSE(form->exportSeparator->isVisible());

    for (QAction *shown : {window->N40, window->skinmif1, window->N45, window->N10, window->N11,
                           window->N48, window->N47, window->N1, window->N7, window->N6})
        EXPECT_TRUE(shown->isVisible()) << shown->text().toStdString();
    for (QAction *hidden :
         {window->N9->menuAction(), window->N5->menuAction(), window->N33,
          window->N12->menuAction(), window->N2, window->mif1, window->skin1, window->N17})
        EXPECT_FALSE(hidden->isVisible()) << hidden->text().toStdString();
    EXPECT_EQ(window->N46->text(), QStringLiteral("Переключиться в \"режим эксперта\""));
    EXPECT_FALSE(form->saveWindow()->expertLayout());

    EXPECT_TRUE(QTest::qWaitFor([&] { return form->height() < 120; }))
        << "only the strip shows: " << form->height();

    window->N46->trigger();
    EXPECT_TRUE(form->CheckBox14->isChecked());
    EXPECT_FALSE(form->PageControl1->isHidden());
    EXPECT_TRUE(window->N9->menuAction()->isVisible());
    EXPECT_FALSE(window->N45->isVisible());
    EXPECT_EQ(window->N46->text(), QStringLiteral("Переключиться в \"упрощённый режим\""));
    EXPECT_TRUE(form->saveWindow()->expertLayout());
    EXPECT_GT(form->height(), 300);
}

TEST_F(Options, OldInterfaceForcesExpertModeAndLendsTheScreenToTheMainWindow)
{
    form->CheckBox14->setChecked(false);
    form->CheckBox11->setChecked(true);
    EXPECT_TRUE(form->CheckBox14->isChecked());
    EXPECT_FALSE(form->CheckBox14->isEnabled());
    EXPECT_TRUE(form->CheckBox8->isChecked());
    EXPECT_FALSE(form->CheckBox8->isEnabled());
    EXPECT_FALSE(form->CheckBox5->isEnabled());
    EXPECT_FALSE(form->PageControl1->isHidden());
    EXPECT_EQ(window->previewControl()->window(), form.get());
    EXPECT_FALSE(window->hostsControl());
    EXPECT_FALSE(window->N46->isVisible());
    EXPECT_TRUE(window->isHidden());

    form->CheckBox11->setChecked(false);
    EXPECT_TRUE(window->hostsControl());
    EXPECT_TRUE(form->CheckBox14->isEnabled());
    EXPECT_TRUE(form->CheckBox8->isEnabled());
    EXPECT_TRUE(form->CheckBox8->isChecked()) << "only unlocked";
    EXPECT_TRUE(window->N46->isVisible());
    // Back in its own window the screen can have its phone again.
    EXPECT_TRUE(form->CheckBox5->isEnabled());
    form->CheckBox14->setChecked(false);
    EXPECT_TRUE(form->PageControl1->isHidden());
}

TEST_F(Options, TheTypedSizeLeavesThePhoneDisabledAfterEitherSwitch)
{
    form->ComboBox1->setCurrentIndex(form->ComboBox1->count() - 1);
    form->CheckBox11->setChecked(true);
    EXPECT_FALSE(form->CheckBox5->isEnabled());
    form->CheckBox11->setChecked(false);
    EXPECT_FALSE(form->CheckBox5->isEnabled());
}

TEST_F(Options, ClickingTheLentScreenOpensTheColourWindow)
{
    form->CheckBox11->setChecked(true);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    PreviewControl *control = window->previewControl();
    const auto &clock = preview->regions().regions(Slot::Clock + 1);
    ASSERT_FALSE(clock.isEmpty());
    const QPoint at = clock.first().boundingRect().center() / control->pixelScale();
    QTest::mouseMove(control, at);
    // A real display delivers the pointer's move a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->HoverSlot() != 0; }, 1000));
    EXPECT_EQ(preview->HoverSlot(), Slot::Clock + 1);
    QTest::mousePress(control, Qt::LeftButton, {}, at);
    QTest::mouseRelease(control, Qt::LeftButton, {}, at);
    EXPECT_TRUE(form->colourWindow()->isVisible());
    EXPECT_EQ(form->document().selectedSlot(), Slot::Clock);
    form->colourWindow()->hide();

    // Leaving the screen puts the highlight away.
    QTest::mouseMove(control, at + QPoint(1, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !preview->HighlightHidden(); }, 1000));
    QTest::mouseMove(form->PageControl1, QPoint(5, 5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->HighlightHidden(); }, 1000));
}

// The colour-vision items change what the screen shows, one at a time, and nothing else: the
// preview's own picture and regions keep the skin's colours.
TEST_F(Options, ColourVisionItemsFilterOnlyTheShownScreen)
{
    PreviewControl *control = window->previewControl();
    ASSERT_EQ(window->VisionItems.size(), 5);
    EXPECT_EQ(window->VisionMenu->title(), QStringLiteral("Цветовое зрение"));
    EXPECT_TRUE(window->VisionItems[0]->isChecked());
    const QImage own = preview->picture();
    EXPECT_EQ(control->shownPicture(), own);

    window->VisionItems[3]->trigger();
    EXPECT_EQ(control->colourVision(), ColourVision::Tritanopia);
    EXPECT_FALSE(window->VisionItems[0]->isChecked());
    EXPECT_EQ(control->shownPicture(), simulateColourVision(own, ColourVision::Tritanopia));
    EXPECT_NE(control->shownPicture(), own);
    EXPECT_EQ(preview->picture(), own);

    window->VisionItems[0]->trigger();
    EXPECT_EQ(control->shownPicture(), own);
}

TEST_F(Options, CheckMarksMatchTheOptionsAfterStartUp)
{
    for (const ToggleOption &option : kToggles) {
        EXPECT_EQ((window->*option.item)->isChecked(), (form.get()->*option.box)->isChecked())
            << option.name;
        EXPECT_EQ((preview->*option.state)(), (form.get()->*option.box)->isChecked())
            << option.name;
    }
    EXPECT_TRUE(window->N24->isChecked());
    EXPECT_TRUE(window->N27->isChecked());
    EXPECT_TRUE(window->N35->isChecked());
    EXPECT_FALSE(window->N34->isEnabled());
}
