#include "WindowFixture.h"
#include "preview/PhonePreview.h"
#include "ui/ColourControls.h"
#include "ui/ColourWindow.h"
#include "ui/MainWindow.h"
#include "ui/PreviewControl.h"
#include "ui/PreviewWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QUndoStack>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class Editing : public WindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(startWindow());
        preview = form->preview();
        preview->stopBlinking();
        preview->setClock([] { return QTime(10, 0); });
        window = form->previewWindow();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }

    // The centre of the first region registered for a slot.
    QPoint centreOf(int slot) const
    {
        const auto &regions = preview->regions().regions(slot + 1);
        return regions.isEmpty() ? QPoint(-1, -1) : regions.first().boundingRect().center();
    }

    void pressEnter(QLineEdit *edit, const QString &text)
    {
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    PhonePreview *preview = nullptr;
    PreviewWindow *window = nullptr;
};

} // namespace

TEST_F(Editing, HoverHighlightsAndAClickOpensTheColourWindow)
{
    const QPoint clock = centreOf(2);
    const QImage before = preview->picture();
    QTest::mouseMove(window, clock);
    EXPECT_EQ(preview->HoverSlot(), 3);
    EXPECT_FALSE(preview->HighlightHidden());
    EXPECT_NE(preview->picture().pixel(clock), before.pixel(clock)) << "the clock is inverted";

    QTest::mousePress(window, Qt::LeftButton, {}, clock);
    QTest::mouseRelease(window, Qt::LeftButton, {}, clock);
    ColourWindow *colour = form->colourWindow();
    EXPECT_TRUE(colour->isVisible());
    EXPECT_EQ(colour->windowTitle(), slotCaption(2));
    EXPECT_EQ(colour->caption(), slotCaption(2));
    // Beside the clock, never over it.
    const int scale = window->pixelScale();
    const QRect clockOnScreen(window->mapToGlobal(window->previewControl()->pos() + clock * scale),
                              QSize(scale, scale));
    EXPECT_FALSE(colour->frameGeometry().intersects(clockOnScreen));
    EXPECT_EQ(form->document().scheme().selectedSlot(), 2);
    EXPECT_TRUE(preview->HighlightHidden());
    EXPECT_EQ(colour->controls()->sliderColour(), form->document().scheme().slotColour(2));
}

TEST_F(Editing, AMoveBetweenPressAndReleaseOnlyDrags)
{
    const QPoint clock = centreOf(2);
    QTest::mouseMove(window, clock);
    const QPoint start = window->pos();
    QTest::mousePress(window, Qt::LeftButton, {}, clock);
    QTest::mouseMove(window, clock + QPoint(1, 0));
    QTest::mouseRelease(window, Qt::LeftButton, {}, clock + QPoint(1, 0));
    EXPECT_FALSE(form->colourWindow()->isVisible());
    EXPECT_NE(window->pos(), start);
}

TEST_F(Editing, RightClickNeverOpensTheColourWindow)
{
    const QPoint clock = centreOf(2);
    QTest::mouseMove(window, clock);
    QTest::mousePress(window, Qt::RightButton, {}, clock);
    QTest::mouseRelease(window, Qt::RightButton, {}, clock);
    EXPECT_FALSE(form->colourWindow()->isVisible());
}

TEST_F(Editing, AClickWhereNothingIsHighlightedDoesNothing)
{
    // A point of the background away from every element (the sample list is random, so look;
    // not at 0,0, which QTest takes for "the middle of the widget").
    QPoint empty(-1, -1);
    for (int y = 2; y < 320 && empty.x() < 0; y += 3) {
        for (int x = 2; x < 240 && empty.x() < 0; x += 3) {
            preview->hitTest(x, y);
            if (preview->HighlightHidden())
                empty = QPoint(x, y);
        }
    }
    ASSERT_GE(empty.x(), 0);
    QTest::mouseMove(window, empty);
    ASSERT_TRUE(preview->HighlightHidden());
    QTest::mousePress(window, Qt::LeftButton, {}, empty);
    QTest::mouseRelease(window, Qt::LeftButton, {}, empty);
    EXPECT_FALSE(form->colourWindow()->isVisible());
}

TEST_F(Editing, HexFieldsFollowTheirRules)
{
    ColourControls *controls = form->colourControls();
    QLineEdit *red = controls->hexEdit(0);
    pressEnter(red, QStringLiteral("7"));
    EXPECT_EQ(controls->slider(0)->value(), 112);
    EXPECT_EQ(red->text(), QStringLiteral("70"));
    pressEnter(red, QStringLiteral("Ff"));
    EXPECT_EQ(controls->slider(0)->value(), 255);
    EXPECT_EQ(red->text(), QStringLiteral("FF"));
    pressEnter(red, QStringLiteral("zz"));
    EXPECT_EQ(controls->slider(0)->value(), 0);
    EXPECT_EQ(red->text(), QStringLiteral("00"));
    // Same value as the slider: nothing changes, not even the text.
    pressEnter(red, QStringLiteral("0x"));
    EXPECT_EQ(red->text(), QStringLiteral("0x"));
    // Other keys are ordinary editing.
    red->setText(QString());
    QTest::keyClicks(red, QStringLiteral("a"));
    EXPECT_EQ(red->text(), QStringLiteral("a"));
    EXPECT_EQ(controls->slider(0)->value(), 0);
}

TEST_F(Editing, SliderMovesAreAppliedByTheTimerAndResetRestores)
{
    ColourControls *controls = form->colourControls();
    form->slotButtonChosen(13);
    // The timer's tick, however late a loaded machine lets it come.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controls->applyPending(); }, 5000));
    const TColor picked = form->document().scheme().slotColour(13);
    controls->slider(1)->setValue(10);
    controls->slider(2)->setValue(20);
    EXPECT_EQ(form->document().scheme().slotColour(13), picked)
        << "nothing is stored before the tick";
    EXPECT_EQ(controls->hexEdit(1)->text(), QStringLiteral("0A"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controls->applyPending(); }, 5000));
    EXPECT_EQ(form->document().scheme().slotColour(13), makeColor(colorRed(picked), 10, 20));
    EXPECT_EQ(preview->colour(14), makeColor(colorRed(picked), 10, 20));
    EXPECT_FALSE(controls->applyPending());

    controls->resetButton()->click();
    EXPECT_EQ(form->document().scheme().slotColour(13), picked);
    EXPECT_EQ(preview->colour(14), picked);
}

TEST_F(Editing, PickingASlotShowsAScreenWhereItIsSeen)
{
    form->slotButtonChosen(8);
    EXPECT_EQ(preview->state().activeScreen, PreviewScreen::ContactList);
    EXPECT_TRUE(preview->state().showMenu);
    form->settingsScreenCheck()->click();
    EXPECT_EQ(preview->state().activeScreen, PreviewScreen::Settings);
    EXPECT_FALSE(preview->state().showMenu);
    form->settingsScreenCheck()->click();
    EXPECT_EQ(preview->state().activeScreen, PreviewScreen::ContactList);
    EXPECT_TRUE(preview->state().showMenu);

    form->slotButtonChosen(14);
    EXPECT_EQ(preview->state().activeScreen, PreviewScreen::Chat);
    form->slotButtonChosen(12);
    EXPECT_EQ(preview->state().activeScreen, PreviewScreen::Chat)
        << "reserved slots leave the screen alone";
    form->slotButtonChosen(3);
    EXPECT_EQ(preview->state().activeScreen, PreviewScreen::ContactListPicked);
    EXPECT_EQ(form->colourControls()->hexEdit(2)->text(), hexText(colorBlue(defaultSlotColour(3))));
}

TEST_F(Editing, ColourWindowEditsTheSlotAndResets)
{
    ColourWindow *colour = form->colourWindow();
    colour->openForSlot(0, QPoint(10, 10));
    colour->controls()->slider(0)->setValue(200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !colour->controls()->applyPending(); }, 5000));
    EXPECT_EQ(colorRed(form->document().scheme().slotColour(0)), 200);
    EXPECT_EQ(colorRed(preview->colour(1)), 200);
    colour->controls()->resetButton()->click();
    EXPECT_EQ(form->document().scheme().slotColour(0), defaultSlotColour(0));
    EXPECT_EQ(preview->colour(1), defaultSlotColour(0));
}

TEST_F(Editing, ColumnItemsAndMenuSide)
{
    window->threeColumnsAction()->trigger();
    EXPECT_EQ(preview->state().columns, 3);
    EXPECT_EQ(form->columnCount(), 3);
    EXPECT_TRUE(window->threeColumnsAction()->isChecked());
    EXPECT_FALSE(window->twoColumnsAction()->isChecked());
    // The side items wait for the menu to be shown.
    window->toggleAction(Toggle::MenuLeft)->trigger();
    EXPECT_FALSE(preview->state().menuLeft);
    window->toggleAction(Toggle::Menu)->trigger();
    window->toggleAction(Toggle::MenuLeft)->trigger();
    EXPECT_TRUE(preview->state().menuLeft);
    EXPECT_TRUE(window->toggleAction(Toggle::MenuLeft)->isChecked());
    EXPECT_FALSE(window->otherSideAction(Toggle::MenuLeft)->isChecked());
    window->chatAction()->trigger();
    EXPECT_EQ(preview->state().activeScreen, PreviewScreen::Chat);
    window->showContactListAction()->trigger();
    EXPECT_EQ(preview->state().activeScreen, PreviewScreen::ContactListPicked);
}

TEST_F(Editing, ScreenshotIsTakenWithBlinkingNicksLit)
{
    preview->setOption(&PreviewState::blinkPhase, false);
    const QString path = s_dir->filePath(QStringLiteral("shot.bmp"));
    ASSERT_EQ(window->saveScreenshot(path), QString());
    EXPECT_TRUE(preview->state().blinkPhase);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));
    EXPECT_EQ(file.size(), 54 + 240 * 3 * 320);
}

TEST_F(Editing, PopupTurnedOnFromThePreviewMenuSurvivesPickingSlots)
{
    window->toggleAction(Toggle::Popup)->trigger();
    EXPECT_TRUE(preview->state().showPopup);
    EXPECT_TRUE(form->toggleCheck(Toggle::Popup)->isChecked());
    for (int slot : {7, 0, 14, 12}) {
        form->slotButtonChosen(slot);
        EXPECT_TRUE(preview->state().showPopup) << "slot " << slot;
        EXPECT_TRUE(window->toggleAction(Toggle::Popup)->isChecked()) << "slot " << slot;
    }
    window->toggleAction(Toggle::Popup)->trigger();
    form->slotButtonChosen(7);
    EXPECT_FALSE(preview->state().showPopup);
    EXPECT_FALSE(window->toggleAction(Toggle::Popup)->isChecked());
}

// The list's slot is the one the swatch edits; a click in the preview since then must not make
// the option show another slot's screen.
// The list follows a pick in the preview (so that what it marks is what the editors change),
// and the settings-screen option shows the marked slot again on the screen it chose.
TEST_F(Editing, SettingsScreenOptionReshowsTheSlotOfTheList)
{
    form->slotButtons()->button(Slot::MenuFrame)->click();
    form->colourWindow()->openForSlot(Slot::MenuCursor, QPoint(10, 10));
    form->colourWindow()->hide();
    EXPECT_EQ(form->slotButtons()->checkedId(), Slot::MenuCursor);
    form->settingsScreenCheck()->click();
    EXPECT_EQ(preview->state().activeScreen, PreviewScreen::Settings);
    EXPECT_EQ(form->document().selectedSlot(), Slot::MenuCursor);
    EXPECT_EQ(form->colourControls()->sliderColour(),
              form->document().slotColour(Slot::MenuCursor));
}

TEST_F(Editing, HoveringANickHighlightsEveryElementOfItsSlot)
{
    EXPECT_EQ(preview->state().selection, SelectionMode::WholeSlot);
    const auto &nicks = preview->regions().regions(Slot::ContactNick + 1);
    ASSERT_FALSE(nicks.isEmpty());
    const QRegion all = nicks.first();
    ASSERT_GT(all.rectCount(), 1) << "one region holds every nick of the slot";
    const QImage before = preview->picture();
    const QPoint at = (*all.begin()).center();
    ASSERT_TRUE(preview->hitTest(at.x(), at.y()));
    preview->Render();
    const QRect last = (*(all.end() - 1));
    EXPECT_NE(preview->picture().copy(last), before.copy(last))
        << "a nick other than the one under the mouse is inverted too";
}

TEST(ColourWindowPlace, StaysAtTheMouseButWhollyOnTheScreen)
{
    const QRect area(0, 0, 1280, 1024);
    const QSize size(300, 200);
    EXPECT_EQ(keptOnScreen(QPoint(100, 100), size, area), QPoint(100, 100));
    EXPECT_EQ(keptOnScreen(QPoint(1270, 1010), size, area), QPoint(980, 824));
    EXPECT_EQ(keptOnScreen(QPoint(-50, -5), size, area), QPoint(0, 0));
    // A second screen to the right, its area starting at 1280.
    EXPECT_EQ(keptOnScreen(QPoint(2500, 40), size, QRect(1280, 0, 1280, 1024)), QPoint(2260, 40));
    // Larger than the area: the top-left corner stays visible.
    EXPECT_EQ(keptOnScreen(QPoint(50, 50), QSize(2000, 2000), area), QPoint(0, 0));
}

TEST(ColourWindowPlace, BesideTheElementWhereverItFits)
{
    const QRect area(0, 0, 1000, 800);
    const QSize size(300, 200);
    // Right of it when there is room, top edges level.
    EXPECT_EQ(besideElement(QRect(100, 100, 50, 20), size, area), QPoint(156, 100));
    // At the right edge: to its left.
    EXPECT_EQ(besideElement(QRect(800, 100, 50, 20), size, area), QPoint(494, 100));
    // Near the bottom: slid up along the side, still beside it.
    EXPECT_EQ(besideElement(QRect(100, 750, 50, 20), size, area), QPoint(156, 600));
    // An element as wide as the area: below it.
    EXPECT_EQ(besideElement(QRect(0, 100, 1000, 20), size, area), QPoint(0, 126));
    for (const QRect &element :
         {QRect(100, 100, 50, 20), QRect(800, 100, 50, 20), QRect(100, 750, 50, 20),
          QRect(0, 100, 1000, 20), QRect(0, 700, 1000, 90)}) {
        const QRect placed(besideElement(element, size, area), size);
        EXPECT_TRUE(area.contains(placed));
        EXPECT_FALSE(placed.intersects(element));
    }
}

TEST_F(Editing, AClickNearTheScreensCornerOpensTheColourWindowWhollyOnIt)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ColourWindow *colour = form->colourWindow();
    colour->openForSlot(2, area.bottomRight() - QPoint(3, 3));
    EXPECT_TRUE(area.contains(colour->frameGeometry()))
        << "window at " << colour->x() << "," << colour->y();
    colour->hide();
}

// The whole colour typed or pasted as text: one undo step when it is a colour, a mark and no
// change when it is not, in the main window and in the colour window alike.
TEST_F(Editing, TheColourFieldTakesATypedColourAsOneStep)
{
    SkinDocument &document = form->document();
    QUndoStack &steps = document.history().stack();
    ColourControls *controls = form->colourControls();
    form->slotButtonChosen(5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controls->applyPending(); }, 5000));
    const TColor before = document.slotColour(5);
    EXPECT_EQ(controls->colourEdit()->text(), colorToHex(before));
    const int stepsBefore = steps.count();

    pressEnter(controls->colourEdit(), QStringLiteral("#F80"));
    EXPECT_EQ(document.slotColour(5), makeColor(0xFF, 0x88, 0x00));
    EXPECT_EQ(steps.count(), stepsBefore + 1);
    EXPECT_EQ(controls->colourEdit()->text(), QStringLiteral("#FF8800"));
    EXPECT_EQ(controls->slider(1)->value(), 0x88);

    pressEnter(controls->colourEdit(), QStringLiteral("#12G"));
    EXPECT_TRUE(controls->colourEntryInvalid());
    EXPECT_EQ(document.slotColour(5), makeColor(0xFF, 0x88, 0x00));
    EXPECT_EQ(steps.count(), stepsBefore + 1);
    QTest::keyClick(controls->colourEdit(), Qt::Key_Backspace);
    EXPECT_FALSE(controls->colourEntryInvalid()) << "editing takes the mark away";
    steps.undo();
    EXPECT_EQ(document.slotColour(5), before);

    // Leaving the field enters what was typed, as Enter does.
    ColourWindow *colour = form->colourWindow();
    colour->openForSlot(0, QPoint(10, 10));
    QLineEdit *field = colour->controls()->colourEdit();
    field->clear();
    QTest::keyClicks(field, QStringLiteral("00ff7f"));
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &leaving);
    EXPECT_EQ(document.slotColour(0), makeColor(0x00, 0xFF, 0x7F));
    EXPECT_EQ(preview->colour(1), makeColor(0x00, 0xFF, 0x7F));
}

TEST_F(Editing, TheSlotListShowsEachSlotsColourAndFollowsUndo)
{
    SkinDocument &document = form->document();
    const auto shown = [&](int slot) {
        const QImage swatch = form->slotButtons()->button(slot)->icon().pixmap(16).toImage();
        return swatch.pixelColor(swatch.rect().center()).rgb();
    };
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ(shown(slot), toQColor(document.slotColour(slot)).rgb()) << slot;
    const TColor before = document.slotColour(4);
    document.setSlotColour(4, makeColor(250, 10, 20));
    EXPECT_EQ(shown(4), qRgb(250, 10, 20));
    document.history().stack().undo();
    EXPECT_EQ(shown(4), toQColor(before).rgb());
}

// Pointing at an element names its slot and colour: in the tooltip over the preview and in the
// main window's status bar; pointing at nothing takes both away.
TEST_F(Editing, PointingAtAnElementNamesItsSlotAndColour)
{
    const QPoint clock = centreOf(Slot::Clock);
    QTest::mouseMove(window, clock);
    const QString named = QStringLiteral("%1 — %2").arg(
        slotCaption(Slot::Clock), colorToHex(form->document().slotColour(Slot::Clock)));
    EXPECT_EQ(window->previewControl()->hoverText(), named);
    EXPECT_EQ(form->statusBar()->currentMessage(), named);
    QHelpEvent tip(QEvent::ToolTip, clock, window->mapToGlobal(clock));
    QCoreApplication::sendEvent(window, &tip);
    EXPECT_EQ(QToolTip::text(), named);

    window->previewControl()->hideHighlight();
    EXPECT_TRUE(window->previewControl()->hoverText().isEmpty());
    EXPECT_TRUE(form->statusBar()->currentMessage().isEmpty());
}

// Files dragged from a file manager onto the phone: a picture becomes the background, or the
// cursor over the selection cursor's row, each one undo step; a palette is imported; anything
// else is refused at the door.
TEST_F(Editing, FilesDroppedOnThePhoneTakeTheirMenuCommandsPath)
{
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("drop.png"));
    QImage green(60, 40, QImage::Format_RGB32);
    green.fill(qRgb(10, 200, 30));
    ASSERT_TRUE(green.save(picture));
    const QString palette = folder.filePath(QStringLiteral("drop.gpl"));
    QString gpl = QStringLiteral("GIMP Palette\nName: drop\n");
    for (int slot = 0; slot < kSlotCount; ++slot)
        gpl += QStringLiteral("%1 %2 %3 slot\n").arg(slot * 10).arg(7).arg(255 - slot);
    {
        QFile out(palette);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(gpl.toUtf8());
    }
    const auto dropAt = [&](const QString &path, QPoint phone) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const int scale = window->pixelScale();
        const QPointF at = window->previewControl()->pos() + phone * scale;
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &drop);
        return drop.isAccepted();
    };
    SkinDocument &document = form->document();
    QUndoStack &steps = document.history().stack();
    const QImage cursorBefore = document.pictures().CursorSource;
    const int before = steps.count();
    ASSERT_TRUE(dropAt(picture, centreOf(Slot::ContactNick)));
    EXPECT_EQ(document.pictures().BackgroundSource.pixel(5, 5), qRgb(10, 200, 30));
    EXPECT_EQ(document.pictures().CursorSource, cursorBefore);
    EXPECT_EQ(steps.count(), before + 1);
    steps.undo();
    EXPECT_NE(document.pictures().BackgroundSource.pixel(5, 5), qRgb(10, 200, 30));

    // The plain list with the offline contacts, where the selected one is, nothing over it.
    form->showNamedScreen(QStringLiteral("contacts"));
    form->toggleCheck(Toggle::Offline)->setChecked(true);
    const QPoint cursorRow = centreOf(Slot::CursorNick);
    ASSERT_NE(cursorRow, QPoint(-1, -1)) << "the list shows a selected contact";
    ASSERT_TRUE(dropAt(picture, cursorRow));
    EXPECT_EQ(document.pictures().CursorSource.pixel(5, 5), qRgb(10, 200, 30));

    ASSERT_TRUE(dropAt(palette, centreOf(Slot::ContactNick)));
    EXPECT_EQ(document.slotColour(3), makeColor(30, 7, 252));

    const QString text = folder.filePath(QStringLiteral("notes.txt"));
    QFile(text).open(QIODevice::WriteOnly);
    EXPECT_FALSE(dropAt(text, centreOf(Slot::ContactNick)));
}
