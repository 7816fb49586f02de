#include "TestFiles.h"
#include "WindowFixture.h"
#include "core/SettingsFile.h"
#include "preview/PhonePreview.h"
#include "ui/ArrowSpinBox.h"
#include "ui/ColourWindow.h"
#include "ui/CommandActions.h"
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

} // namespace

TEST_F(Options, EveryToggleAgreesBetweenTabMenuAndPreviewFromBothSides)
{
    int plain = 0;
    for (const PreviewToggle &option : kPreviewToggles) {
        if (!option.control || option.otherSideItem)
            continue;
        ++plain;
        SCOPED_TRACE(option.control);
        QCheckBox *box = form->toggleCheck(option.id);
        QAction *item = window->toggleAction(option.id);
        ASSERT_NE(box, nullptr);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(box->text(), QString::fromUtf8(option.control));
        EXPECT_EQ(item->text(), QString::fromUtf8(option.menuItem));
        const bool start = box->isChecked();
        ASSERT_EQ(item->isChecked(), start);
        ASSERT_EQ(preview->state().*option.state, start);

        box->click();
        EXPECT_EQ(item->isChecked(), !start);
        EXPECT_EQ(preview->state().*option.state, !start);

        item->trigger();
        EXPECT_EQ(box->isChecked(), start);
        EXPECT_EQ(item->isChecked(), start);
        EXPECT_EQ(preview->state().*option.state, start);
    }
    // Pop-up, offline, menu, groups, client icons, mini clock, notifications.
    EXPECT_EQ(plain, 7);
}

TEST_F(Options, ChoiceItemsAgreeWithSortingAndInfoSide)
{
    form->sortButtons()->button(1)->click();
    EXPECT_FALSE(preview->state().sortByStatus);
    EXPECT_TRUE(window->sortByNameAction()->isChecked());
    EXPECT_FALSE(window->sortByStatusAction()->isChecked());
    window->sortByStatusAction()->trigger();
    EXPECT_TRUE(preview->state().sortByStatus);
    EXPECT_TRUE(form->sortButtons()->button(0)->isChecked());
    // Choosing the item already chosen must not take its check mark away.
    window->sortByStatusAction()->trigger();
    EXPECT_TRUE(window->sortByStatusAction()->isChecked());
    EXPECT_FALSE(window->sortByNameAction()->isChecked());

    form->toggleCheck(Toggle::Notifications)->setChecked(true);
    window->toggleAction(Toggle::NotificationsLeft)->trigger();
    EXPECT_TRUE(form->toggleCheck(Toggle::NotificationsLeft)->isChecked());
    EXPECT_TRUE(preview->state().infoWindowsLeft);
    EXPECT_TRUE(window->toggleAction(Toggle::NotificationsLeft)->isChecked());
    EXPECT_FALSE(window->otherSideAction(Toggle::NotificationsLeft)->isChecked());
    window->otherSideAction(Toggle::NotificationsLeft)->trigger();
    EXPECT_FALSE(form->toggleCheck(Toggle::NotificationsLeft)->isChecked());
    EXPECT_FALSE(preview->state().infoWindowsLeft);
    EXPECT_TRUE(window->otherSideAction(Toggle::NotificationsLeft)->isChecked());
}

TEST_F(Options, SubItemsAreEnabledOnlyWhileTheirOptionIsOnAndKeepTheirState)
{
    form->toggleCheck(Toggle::Notifications)->setChecked(true);
    form->toggleCheck(Toggle::NotificationsLeft)->setChecked(true);
    form->toggleCheck(Toggle::Notifications)->setChecked(false);
    EXPECT_FALSE(form->toggleCheck(Toggle::NotificationsLeft)->isEnabled());
    EXPECT_FALSE(window->toggleAction(Toggle::NotificationsLeft)->isEnabled());
    EXPECT_FALSE(window->otherSideAction(Toggle::NotificationsLeft)->isEnabled());
    EXPECT_TRUE(form->toggleCheck(Toggle::NotificationsLeft)->isChecked());
    EXPECT_TRUE(window->toggleAction(Toggle::NotificationsLeft)->isChecked());
    form->toggleCheck(Toggle::Notifications)->setChecked(true);
    EXPECT_TRUE(form->toggleCheck(Toggle::NotificationsLeft)->isEnabled());
    EXPECT_TRUE(preview->state().infoWindowsLeft);

    EXPECT_FALSE(window->toggleAction(Toggle::MenuLeft)->isEnabled());
    EXPECT_FALSE(window->otherSideAction(Toggle::MenuLeft)->isEnabled());
    form->toggleCheck(Toggle::Menu)->setChecked(true);
    ASSERT_TRUE(window->toggleAction(Toggle::MenuLeft)->isEnabled());
    window->toggleAction(Toggle::MenuLeft)->trigger();
    EXPECT_TRUE(preview->state().menuLeft);
    EXPECT_TRUE(window->toggleAction(Toggle::MenuLeft)->isChecked());
    EXPECT_FALSE(window->otherSideAction(Toggle::MenuLeft)->isChecked());
    form->toggleCheck(Toggle::Menu)->setChecked(false);
    EXPECT_FALSE(window->toggleAction(Toggle::MenuLeft)->isEnabled());
    EXPECT_TRUE(window->toggleAction(Toggle::MenuLeft)->isChecked());
}

TEST_F(Options, PickingASlotLeavesTheOptionsAndTheirMarks)
{
    ASSERT_FALSE(form->toggleCheck(Toggle::Menu)->isChecked());
    form->slotButtonChosen(Slot::MenuText);
    EXPECT_TRUE(preview->state().showMenu) << "the slot is shown in an open menu";
    EXPECT_FALSE(form->toggleCheck(Toggle::Menu)->isChecked());
    EXPECT_FALSE(window->toggleAction(Toggle::Menu)->isChecked());

    form->toggleCheck(Toggle::Menu)->setChecked(true);
    form->slotButtonChosen(0);
    EXPECT_FALSE(preview->state().showMenu);
    EXPECT_TRUE(window->toggleAction(Toggle::Menu)->isChecked());
}

TEST_F(Options, TypedColumnsCountOnlyOnceAnArrowIsUsed)
{
    ASSERT_EQ(preview->state().columns, 2);
    form->columnCountSpin()->selectAll();
    QTest::keyClicks(form->columnCountSpin(), QStringLiteral("4"));
    ASSERT_EQ(form->columnCountSpin()->text(), QStringLiteral("4"));
    QTest::keyClick(form->columnCountSpin(), Qt::Key_Return);
    EXPECT_EQ(preview->state().columns, 2);
    EXPECT_EQ(form->columnCount(), 2);
    EXPECT_TRUE(window->twoColumnsAction()->isChecked());

    form->columnCountSpin()->stepBy(-1);
    EXPECT_EQ(preview->state().columns, 3) << "the arrow steps from the typed 4";
    EXPECT_TRUE(window->threeColumnsAction()->isChecked());

    window->fiveColumnsAction()->trigger();
    EXPECT_EQ(form->columnCountSpin()->value(), 5);
    EXPECT_EQ(preview->state().columns, 5);
    form->columnCountSpin()->stepBy(1);
    EXPECT_EQ(preview->state().columns, 5) << "the field stops at five";
}

// The phone's font is drawn here by a stand-in face; taking the dialog's start as it is
// must keep the phone's font, on the screen and in the settings file.
TEST_F(Options, OkWithoutAChangeKeepsThePhoneFontsName)
{
    const PhoneFont before = preview->state().contactListFont;
    ASSERT_EQ(before.family, QStringLiteral("Nokia Hindi S60"));
    ASSERT_FALSE(QFontDatabase::hasFamily(before.family)) << "the phone's font is installed";
    QFont offered;
    form->setFontAsker([&](const QFont &current) -> std::optional<QFont> {
        offered = current;
        return current;
    });
    form->contactListFontButton()->click();
    EXPECT_NE(offered.family(), before.family) << "the dialog starts from the stand-in";
    EXPECT_EQ(preview->state().contactListFont.family, before.family);
    EXPECT_EQ(form->currentSettings().fonts[0].name, before.family);
}

TEST_F(Options, EachFontButtonChangesOnlyItsScreenAndCancelChangesNothing)
{
    const PhoneFont chat = preview->state().chatFont;
    const PhoneFont settings = preview->state().settingsFont;
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
    form->contactListFontButton()->click();
    // The phone's face when installed, else the one drawn in its place.
    EXPECT_TRUE(QFontDatabase::hasFamily(offered.family())) << offered.family().toStdString();
    EXPECT_EQ(offered.pointSize(), 8);
    EXPECT_TRUE(offered.bold());
    const PhoneFont list = preview->state().contactListFont;
    EXPECT_EQ(list.family, family);
    EXPECT_EQ(list.points(), 12);
    EXPECT_TRUE(list.italic);
    EXPECT_FALSE(list.bold);
    EXPECT_TRUE(list.underline);
    EXPECT_EQ(preview->state().chatFont, chat);
    EXPECT_EQ(preview->state().settingsFont, settings);

    form->setFontAsker([&](const QFont &current) -> std::optional<QFont> {
        offered = current;
        return std::nullopt;
    });
    form->chatFontButton()->click();
    EXPECT_EQ(offered.pointSize(), chat.points());
    EXPECT_EQ(preview->state().chatFont, chat);
    EXPECT_EQ(preview->state().contactListFont, list);
    // The next dialog starts from the font chosen before.
    form->contactListFontButton()->click();
    EXPECT_EQ(offered.family(), family);
    EXPECT_EQ(offered.pointSize(), 12);
    EXPECT_TRUE(offered.underline());
}

TEST_F(Options, OpacityAndSelectionModeReachTheirWindows)
{
    EXPECT_EQ(form->opacitySlider()->minimum(), 100);
    EXPECT_EQ(form->opacitySlider()->value(), 255);
    form->opacitySlider()->setValue(100);
    EXPECT_NEAR(form->colourWindow()->windowOpacity(), 100 / 255.0, 0.01);

    EXPECT_EQ(preview->state().selection, SelectionMode::WholeSlot);
    form->selectionStyleButtons()->button(0)->click();
    EXPECT_EQ(preview->state().selection, SelectionMode::SingleElement);
    form->selectionStyleButtons()->button(1)->click();
    EXPECT_EQ(preview->state().selection, SelectionMode::WholeSlot);
}

TEST_F(Options, SimplifiedModeLeavesTheStripAndTheBasicCommands)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->optionTabs()->setCurrentIndex(2);
    window->simplifiedModeAction()->trigger();
    ASSERT_FALSE(form->expertModeCheck()->isChecked());
    EXPECT_TRUE(form->optionTabs()->isHidden());
    EXPECT_TRUE(form->menuBar()->isHidden());
    for (QWidget *hidden : std::initializer_list<QWidget *>{
             form->svgGroup(), form->settingsAtStartCheck(), form->oldInterfaceCheck(),
             form->opacityGroup(), form->selectionGroup()})
        EXPECT_FALSE(hidden->isVisibleTo(form.get()));
    EXPECT_TRUE(form->expertModeCheck()->isVisibleTo(form.get()));
    EXPECT_TRUE(form->associationCheck()->isVisibleTo(form.get()));
    EXPECT_FALSE(form->commands().main(Command::ExportSkin)->isVisible());
    EXPECT_FALSE(form->exportSeparator()->isVisible());

    for (QAction *shown :
         {form->commands().preview(Command::Open), form->commands().preview(Command::Save),
          window->contactListAction(), window->chatAction(), window->settingsScreenAction(),
          form->commands().preview(Command::ExportBackground),
          form->commands().preview(Command::ExportCursor),
          form->commands().preview(Command::Screenshot), form->commands().preview(Command::Quit),
          window->settingsAction()})
        EXPECT_TRUE(shown->isVisible()) << shown->text().toStdString();
    for (QAction *hidden :
         {window->contactListMenu()->menuAction(), window->phoneMenusMenu()->menuAction(),
          window->toggleAction(Toggle::Popup), window->notificationsMenu()->menuAction(),
          window->importSeparator(), form->commands().preview(Command::ExportMif),
          form->commands().preview(Command::ExportSkin), window->exportSeparator()})
        EXPECT_FALSE(hidden->isVisible()) << hidden->text().toStdString();
    EXPECT_EQ(window->simplifiedModeAction()->text(),
              QStringLiteral("Переключиться в \"режим эксперта\""));
    EXPECT_FALSE(form->saveWindow()->expertLayout());

    EXPECT_TRUE(QTest::qWaitFor([&] { return form->height() < 120; }))
        << "only the strip shows: " << form->height();

    window->simplifiedModeAction()->trigger();
    EXPECT_TRUE(form->expertModeCheck()->isChecked());
    EXPECT_FALSE(form->optionTabs()->isHidden());
    EXPECT_TRUE(window->contactListMenu()->menuAction()->isVisible());
    EXPECT_FALSE(window->contactListAction()->isVisible());
    EXPECT_EQ(window->simplifiedModeAction()->text(),
              QStringLiteral("Переключиться в \"упрощённый режим\""));
    EXPECT_TRUE(form->saveWindow()->expertLayout());
    EXPECT_GT(form->height(), 300);
}

TEST_F(Options, OldInterfaceForcesExpertModeAndLendsTheScreenToTheMainWindow)
{
    form->expertModeCheck()->setChecked(false);
    form->oldInterfaceCheck()->setChecked(true);
    EXPECT_TRUE(form->expertModeCheck()->isChecked());
    EXPECT_FALSE(form->expertModeCheck()->isEnabled());
    EXPECT_TRUE(form->settingsAtStartCheck()->isChecked());
    EXPECT_FALSE(form->settingsAtStartCheck()->isEnabled());
    EXPECT_FALSE(form->phoneFrameCheck()->isEnabled());
    EXPECT_FALSE(form->optionTabs()->isHidden());
    EXPECT_EQ(window->previewControl()->window(), form.get());
    EXPECT_FALSE(window->hostsControl());
    EXPECT_FALSE(window->simplifiedModeAction()->isVisible());
    EXPECT_TRUE(window->isHidden());

    form->oldInterfaceCheck()->setChecked(false);
    EXPECT_TRUE(window->hostsControl());
    EXPECT_TRUE(form->expertModeCheck()->isEnabled());
    EXPECT_TRUE(form->settingsAtStartCheck()->isEnabled());
    EXPECT_TRUE(form->settingsAtStartCheck()->isChecked()) << "only unlocked";
    EXPECT_TRUE(window->simplifiedModeAction()->isVisible());
    // Back in its own window the screen can have its phone again.
    EXPECT_TRUE(form->phoneFrameCheck()->isEnabled());
    form->expertModeCheck()->setChecked(false);
    EXPECT_TRUE(form->optionTabs()->isHidden());
}

TEST_F(Options, TheTypedSizeLeavesThePhoneDisabledAfterEitherSwitch)
{
    form->modelCombo()->setCurrentIndex(form->modelCombo()->count() - 1);
    form->oldInterfaceCheck()->setChecked(true);
    EXPECT_FALSE(form->phoneFrameCheck()->isEnabled());
    form->oldInterfaceCheck()->setChecked(false);
    EXPECT_FALSE(form->phoneFrameCheck()->isEnabled());
}

TEST_F(Options, ClickingTheLentScreenOpensTheColourWindow)
{
    form->oldInterfaceCheck()->setChecked(true);
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
    QTest::mouseMove(form->optionTabs(), QPoint(5, 5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->HighlightHidden(); }, 1000));
}

// The colour-vision items change what the screen shows, one at a time, and nothing else: the
// preview's own picture and regions keep the skin's colours.
TEST_F(Options, ColourVisionItemsFilterOnlyTheShownScreen)
{
    PreviewControl *control = window->previewControl();
    ASSERT_EQ(window->visionItems().size(), 5);
    EXPECT_EQ(window->visionMenu()->title(), QStringLiteral("Цветовое зрение"));
    EXPECT_TRUE(window->visionItems()[0]->isChecked());
    const QImage own = preview->picture();
    EXPECT_EQ(control->shownPicture(), own);

    window->visionItems()[3]->trigger();
    EXPECT_EQ(control->colourVision(), ColourVision::Tritanopia);
    EXPECT_FALSE(window->visionItems()[0]->isChecked());
    EXPECT_EQ(control->shownPicture(), simulateColourVision(own, ColourVision::Tritanopia));
    EXPECT_NE(control->shownPicture(), own);
    EXPECT_EQ(preview->picture(), own);

    window->visionItems()[0]->trigger();
    EXPECT_EQ(control->shownPicture(), own);
}

TEST_F(Options, CheckMarksMatchTheOptionsAfterStartUp)
{
    for (const PreviewToggle &option : kPreviewToggles) {
        const bool on = form->toggleValue(option.id);
        EXPECT_EQ(window->toggleAction(option.id)->isChecked(), on) << option.menuItem;
        EXPECT_EQ(preview->state().*option.state, on) << option.menuItem;
    }
    EXPECT_TRUE(window->sortByStatusAction()->isChecked());
    EXPECT_TRUE(window->twoColumnsAction()->isChecked());
    EXPECT_TRUE(window->otherSideAction(Toggle::NotificationsLeft)->isChecked());
    EXPECT_FALSE(window->toggleAction(Toggle::NotificationsLeft)->isEnabled());
}

// Both menus carry the same action for a command they show alike, so its shortcut, caption
// and visibility cannot drift apart; "О программе" and "Выход" differ as the menus always had.
TEST_F(Options, BothMenusShareTheirCommandsWhereTheyAgree)
{
    const CommandActions &commands = form->commands();
    QList<QAction *> inPreviewMenu;
    QList<QMenu *> menus = {window->contextMenu()};
    while (!menus.isEmpty()) {
        for (QAction *item : menus.takeFirst()->actions()) {
            inPreviewMenu.append(item);
            if (item->menu())
                menus.append(item->menu());
        }
    }
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        const auto id = Command(i);
        SCOPED_TRACE(commands.main(id)->text().toStdString());
        EXPECT_TRUE(inPreviewMenu.contains(commands.preview(id)));
        const bool differs = id == Command::About || id == Command::Quit;
        EXPECT_EQ(commands.main(id) == commands.preview(id), !differs);
    }
    EXPECT_EQ(commands.main(Command::About)->text(), QStringLiteral("О программе..."));
    EXPECT_EQ(commands.preview(Command::About)->text(), QStringLiteral("О программе"));
    EXPECT_EQ(commands.main(Command::Quit)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    EXPECT_TRUE(commands.preview(Command::Quit)->shortcut().isEmpty());
    EXPECT_EQ(commands.preview(Command::Open)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
}
