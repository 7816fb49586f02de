#include "WindowFixture.h"
#include "preview/PhonePreview.h"
#include "preview/ScreenStates.h"
#include "preview/SlotUsage.h"
#include "ui/MainWindow.h"
#include "ui/PreviewWindow.h"
#include "ui/QualityChecks.h"
#include "ui/QualityWidgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class QualityPanels : public WindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(startWindow());
        form->preview()->stopBlinking();
        form->qualityChecks()->refresh();
    }

    QStringList stripScreens() const
    {
        QStringList names;
        const QListWidget *list = form->usageStrip()->list();
        for (int i = 0; i < list->count(); ++i)
            names.append(list->item(i)->data(Qt::UserRole).toString());
        return names;
    }

    QTreeWidgetItem *auditRow(int slot) const
    {
        const QTreeWidget *list = form->legibilityPanel()->list();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (list->topLevelItem(i)->data(0, Qt::UserRole).toInt() == slot)
                return list->topLevelItem(i);
        }
        return nullptr;
    }

    void clickStrip(const QString &screen)
    {
        QListWidget *list = form->usageStrip()->list();
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->data(Qt::UserRole).toString() == screen)
                emit list->itemClicked(list->item(i));
        }
    }
};

} // namespace

// Start-up paints its progress through the event loop; a full audit there would hold back the
// window. The checks wait for the start-up to end, then run by themselves.
TEST_F(WindowFixture, TheChecksWaitForTheWindowThenRunByThemselves)
{
    ASSERT_NO_FATAL_FAILURE(startWindow());
    EXPECT_EQ(form->qualityChecks()->usageSlot(), -1) << "nothing ran during start-up";
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->qualityChecks()->usageSlot() != -1; }, 5000));
    EXPECT_EQ(form->qualityChecks()->usageSlot(), form->document().selectedSlot());
}

TEST_F(QualityPanels, TheAuditFollowsEveryColourChange)
{
    SkinDocument &document = form->document();
    EXPECT_EQ(auditRow(Slot::MenuText), nullptr) << "the default menu text reads well";
    // Menu text in the menu background's colour cannot be read anywhere in a menu.
    document.setSlotColour(Slot::MenuText, document.slotColour(Slot::MenuBackground));
    form->qualityChecks()->refresh();
    QTreeWidgetItem *row = auditRow(Slot::MenuText);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(2), QStringLiteral("нечитаемо"));
    EXPECT_EQ(row->text(1), QLocale().toString(1.0, 'f', 2) + QStringLiteral(":1"));
    EXPECT_FALSE(row->icon(4).isNull()) << "the worst place is shown";
    // Worst first.
    EXPECT_EQ(form->legibilityPanel()->list()->topLevelItem(0), row);
    // Put back, it leaves the list again.
    document.setSlotColour(Slot::MenuText, defaultSlotColour(Slot::MenuText));
    form->qualityChecks()->refresh();
    EXPECT_EQ(auditRow(Slot::MenuText), nullptr);
}

TEST_F(QualityPanels, TheChecksRunOnTheirOwnAndLeaveTheShownScreenAlone)
{
    PhonePreview &shown = *form->preview();
    const PreviewState before = shown.state();
    const QImage picture = shown.picture();
    form->document().setSlotColour(Slot::ChatTheirNick, makeColor(1, 2, 3));
    // The change is picked up at the next turn of the event loop, without a call.
    QCoreApplication::processEvents();
    const auto &audit = form->qualityChecks()->audit();
    const auto chat = std::ranges::find(audit, Slot::ChatTheirNick, &SlotLegibility::slot);
    ASSERT_NE(chat, audit.end());
    EXPECT_EQ(chat->screen, QStringLiteral("chat"));
    EXPECT_EQ(shown.state(), before);
    EXPECT_EQ(shown.picture().size(), picture.size());
}

TEST_F(QualityPanels, TheStripShowsWhereTheSelectedSlotPaints)
{
    form->slotButtonChosen(Slot::BlinkingNick);
    QCoreApplication::processEvents();
    EXPECT_EQ(stripScreens(),
              (QStringList{QStringLiteral("contacts"), QStringLiteral("contacts-groups")}));
    EXPECT_EQ(form->usageStrip()->list()->item(1)->text(),
              QStringLiteral("Контакт-лист с группами"));
    form->slotButtonChosen(Slot::ChatTheirNick);
    QCoreApplication::processEvents();
    EXPECT_EQ(stripScreens(), QStringList{QStringLiteral("chat")});
    // A reserved slot paints nothing, and the strip says so.
    form->slotButtonChosen(Slot::Reserve2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(stripScreens().isEmpty());
}

TEST_F(QualityPanels, AThumbnailShowsItsScreenWithTheOptionsTicked)
{
    PhonePreview &shown = *form->preview();
    PreviewWindow &menu = *form->previewWindow();
    form->slotButtonChosen(Slot::MenuText);
    QCoreApplication::processEvents();
    clickStrip(QStringLiteral("chat-menu"));
    EXPECT_EQ(shown.state().activeScreen, PreviewScreen::Chat);
    EXPECT_TRUE(shown.state().showMenu);
    EXPECT_TRUE(shown.state().menuLeft);
    EXPECT_TRUE(form->toggleCheck(Toggle::Menu)->isChecked());
    EXPECT_TRUE(menu.toggleAction(Toggle::Menu)->isChecked());
    clickStrip(QStringLiteral("popup"));
    EXPECT_TRUE(showsContactList(shown.state().activeScreen));
    EXPECT_TRUE(shown.state().showPopup);
    EXPECT_FALSE(shown.state().showMenu);
    EXPECT_TRUE(form->toggleCheck(Toggle::Popup)->isChecked());
    EXPECT_TRUE(menu.toggleAction(Toggle::Popup)->isChecked());
    EXPECT_FALSE(form->toggleCheck(Toggle::Menu)->isChecked());
    clickStrip(QStringLiteral("notifications"));
    EXPECT_TRUE(shown.state().showInfoWindows);
    EXPECT_FALSE(shown.state().showPopup);
    EXPECT_TRUE(form->toggleCheck(Toggle::Notifications)->isChecked());
}

TEST_F(QualityPanels, ARowPicksItsSlotAndShowsItsWorstScreen)
{
    SkinDocument &document = form->document();
    document.setSlotColour(Slot::ChatTheirNick, document.slotColour(Slot::MenuBackground));
    form->qualityChecks()->refresh();
    QTreeWidgetItem *row = auditRow(Slot::ChatTheirNick);
    ASSERT_NE(row, nullptr);
    emit form->legibilityPanel()->list()->itemClicked(row, 0);
    EXPECT_EQ(form->slotButtons()->checkedId(), Slot::ChatTheirNick);
    EXPECT_EQ(document.selectedSlot(), Slot::ChatTheirNick);
    EXPECT_EQ(form->preview()->state().activeScreen, PreviewScreen::Chat);
    EXPECT_FALSE(form->preview()->state().showMenu);
}

// Whether the sample contact list is long enough to scroll decides whether the contact list
// paints the scroll bar's slots; the window draws a random sample, the command line a fixed
// one. The checks measure the fixed one, so every window says what velmora-cli says.
TEST_F(WindowFixture, TheChecksMeasureTheSameContactsWhateverTheWindowDraws)
{
    std::optional<QStringList> first;
    bool scrolled = false, unscrolled = false;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        form = std::make_unique<MainWindow>(
            s_dir->path() + u'/', QString(),
            [](const QString &, const QString &, const QString &) {}, nullptr, seed);
        ASSERT_FALSE(form->startupFailed());
        // One column: long enough for some samples to scroll and others not.
        form->setColumnCount(1);
        // Whether this window's own list scrolls: its thumb is in the menu background's colour.
        form->preview()->setState(
            namedScreenState(form->preview()->state(), namedScreens().first()));
        const bool scrolls =
            !form->preview()->regions().regions(Slot::MenuBackground + 1).isEmpty();
        (scrolls ? scrolled : unscrolled) = true;
        form->document().selectSlot(Slot::MenuBackground);
        form->qualityChecks()->refresh();
        QStringList screens;
        for (const ScreenUsage &usage : form->qualityChecks()->usage())
            screens.append(usage.screen);
        if (!first)
            first = screens;
        EXPECT_EQ(screens, *first) << "seed " << seed;
    }
    EXPECT_TRUE(scrolled && unscrolled) << "the seeds do not give both kinds of list";
}
