// How the window behaves between the commands: keys, the slot that is edited, what it shows.
#include "DesignerFixture.h"

#include "document/SkinDocument.h"
#include "preview/PhonePreview.h"
#include "ui/ColourControls.h"
#include "ui/PreviewControl.h"
#include "ui/PreviewWindow.h"
#include "ui/SaveDialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include <QMimeData>
#include <QTest>
#include <QUndoStack>
#include <QUrl>

TEST_F(Designer, F1ShowsTheContactListInBothModes)
{
    activatePreview();
    PreviewWindow *window = form->previewWindow();
    for (const bool expert : {true, false}) {
        SCOPED_TRACE(expert ? "expert mode" : "simplified mode");
        if (!expert)
            expectQuiet(driver.choose(window->simplifiedModeAction()),
                        QStringLiteral("simplified mode"));
        activatePreview();
        QTest::keyClick(window, Qt::Key_F2);
        ASSERT_EQ(form->preview()->state().activeScreen, PreviewScreen::Chat);
        QTest::keyClick(window, Qt::Key_F1);
        EXPECT_TRUE(showsContactList(form->preview()->state().activeScreen));
    }
}

// A click in the preview picks the element's slot for both editors: the slot list marks it and
// the main window's editor changes it, never the slot the list marked before.
TEST_F(Designer, APickInThePreviewIsWhatTheSlotListMarksAndTheEditorChanges)
{
    ASSERT_NO_FATAL_FAILURE(pickSlotInList(Slot::MenuBackground));
    const TColor menuBackground = form->document().slotColour(Slot::MenuBackground);
    clickElement(Slot::RightSoftkey);
    ASSERT_EQ(form->document().selectedSlot(), Slot::RightSoftkey);
    EXPECT_EQ(form->slotButtons()->checkedId(), Slot::RightSoftkey);
    const TColor softkey = form->document().slotColour(Slot::RightSoftkey);
    EXPECT_EQ(form->colourControls()->sliderColour(), softkey);

    QLineEdit *green = form->colourControls()->hexEdit(1);
    const int newGreen = (qGreen(toQColor(softkey).rgb()) + 0x40) % 256;
    green->setFocus();
    QTest::keyClick(green, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(green, QString::number(newGreen, 16));
    QTest::keyClick(green, Qt::Key_Return);
    ASSERT_TRUE(DialogDriver::waitFor(
        [&] { return form->document().slotColour(Slot::RightSoftkey) != softkey; }));
    EXPECT_EQ(toQColor(form->document().slotColour(Slot::RightSoftkey)).green(), newGreen);
    EXPECT_EQ(form->document().slotColour(Slot::MenuBackground), menuBackground);
}

// An opened skin proposes its own names, which the save accepts; a fresh start proposes the
// names the client keeps for itself, which the save refuses.
TEST_F(Designer, TheSaveDialogProposesTheOpenedSkinsNames)
{
    SaveDialog *save = form->saveWindow();
    expectQuiet(driver.choose(form->commands().preview(Command::Save), {}, {save}),
                QStringLiteral("Сохранить"));
    EXPECT_EQ(save->skinNameEdit()->text(), QStringLiteral("default.skin"));
    save->hide();

    openThroughDialog(programFolder() + QStringLiteral("skins/aurora.skin"));
    expectQuiet(driver.choose(form->commands().preview(Command::Save), {}, {save}),
                QStringLiteral("Сохранить"));
    EXPECT_EQ(save->skinNameEdit()->text(), QStringLiteral("aurora.skin"));
    EXPECT_EQ(save->mifNameEdit()->text(), QStringLiteral("aurora.mif"));
    save->folderEdit()->setFocus();
    QTest::keyClick(save->folderEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(save->folderEdit(), work(QString()));
    expectQuiet(driver.run([&] { QTest::mouseClick(save->saveButton(), Qt::LeftButton); }),
                QStringLiteral("Сохранение"));
    EXPECT_TRUE(QFileInfo::exists(work(QStringLiteral("aurora.sis"))));
}

// The window says which skin is open and that it changed; saving over a file asks first and
// says where the files went; leaving with unsaved changes asks whether to save them.
TEST_F(Designer, TheOpenSkinItsChangesAndItsSavesAreShownAndAskedAbout)
{
    const QString folder = work(QStringLiteral("skins"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char *name : {"aurora.skin", "aurora.mif"})
        ASSERT_TRUE(QFile::copy(programFolder() + QStringLiteral("skins/") + QLatin1String(name),
                                folder + u'/' + QLatin1String(name)));
    openThroughDialog(folder + QStringLiteral("/aurora.skin"));
    auto *status = form->statusBar()->findChild<QLabel *>();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), QStringLiteral("aurora.skin"));
    EXPECT_EQ(form->commands().preview(Command::Save)->text(),
              QStringLiteral("Сохранить «aurora.skin»"));
    nudgeRed(Slot::MenuText, 4);
    EXPECT_EQ(status->text(), QStringLiteral("aurora.skin — изменён"));

    // Saved as files over the skin's own: the dialog asks about each.
    SaveDialog *save = form->saveWindow();
    expectQuiet(driver.choose(form->commands().preview(Command::Save), {}, {save}),
                QStringLiteral("Сохранить"));
    save->outputKindCombo()->setFocus();
    QTest::keyClick(save->outputKindCombo(), Qt::Key_Home);
    QTest::keyClick(save->outputKindCombo(), Qt::Key_Down);
    save->folderEdit()->setFocus();
    QTest::keyClick(save->folderEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(save->folderEdit(), folder);
    QStringList asked;
    const auto yes = [&asked](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            asked.append(box->text());
        DialogDriver::pressMessageButton(QMessageBox::YesRole)(modal);
    };
    expectQuiet(
        driver.run([&] { QTest::mouseClick(save->saveButton(), Qt::LeftButton); }, {yes, yes}),
        QStringLiteral("Сохранение поверх файлов"));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].contains(QStringLiteral("aurora.skin")));
    EXPECT_TRUE(asked[1].contains(QStringLiteral("aurora.mif")));
    EXPECT_EQ(status->text(), QStringLiteral("aurora.skin"));
    EXPECT_TRUE(form->statusBar()->currentMessage().contains(QStringLiteral("aurora.mif")));
    EXPECT_EQ(coloursOfFile(folder + QStringLiteral("/aurora.skin")), coloursOf(form->document()));

    // Changed again, and left: "Выход" asks; "Отмена" stays, "Нет" leaves.
    nudgeRed(Slot::MenuText, 2);
    QAction *exit = previewItem({QStringLiteral("Выход")});
    expectQuiet(driver.choose(exit, {DialogDriver::pressMessageButton(QMessageBox::RejectRole)}),
                QStringLiteral("Выход, Отмена"));
    EXPECT_TRUE(form->previewWindow()->isVisible());
    EXPECT_TRUE(
        driver.choose(exit, {DialogDriver::pressMessageButton(QMessageBox::NoRole)}).endedProgram);
}

// The colour typed as text in the real window, the slot list's swatch that follows it, and the
// name of what the mouse points at.
TEST_F(Designer, ATypedColourReachesTheSwatchAndPointingNamesTheElement)
{
    ASSERT_NO_FATAL_FAILURE(pickSlotInList(Slot::Clock));
    QLineEdit *field = form->colourControls()->colourEdit();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, QStringLiteral("#3a7"));
    QTest::keyClick(field, Qt::Key_Return);
    const TColor typed = makeColor(0x33, 0xAA, 0x77);
    ASSERT_TRUE(
        DialogDriver::waitFor([&] { return form->document().slotColour(Slot::Clock) == typed; }));
    const QImage swatch = form->slotButtons()->button(Slot::Clock)->icon().pixmap(16).toImage();
    EXPECT_EQ(swatch.pixelColor(swatch.rect().center()), toQColor(typed));

    PreviewWindow *window = form->previewWindow();
    const QList<QRegion> &clock = form->preview()->regions().regions(Slot::Clock + 1);
    ASSERT_FALSE(clock.isEmpty());
    const int scale = window->pixelScale();
    const QPoint at = window->previewControl()->pos() + clock.first().begin()->center() * scale;
    QTest::mouseMove(window, at);
    ASSERT_TRUE(
        DialogDriver::waitFor([&] { return !form->statusBar()->currentMessage().isEmpty(); }));
    EXPECT_EQ(form->statusBar()->currentMessage(),
              QStringLiteral("%1 — #33AA77").arg(slotCaption(Slot::Clock)));
}

// A picture dropped from a file manager onto the phone becomes the background as one step.
TEST_F(Designer, APictureDroppedOnThePhoneBecomesTheBackground)
{
    const QString picture = work(QStringLiteral("dropped.png"));
    QImage orange(48, 64, QImage::Format_RGB32);
    orange.fill(qRgb(250, 140, 20));
    ASSERT_TRUE(orange.save(picture));
    PreviewWindow *window = form->previewWindow();
    const QList<QRegion> &nicks = form->preview()->regions().regions(Slot::ContactNick + 1);
    ASSERT_FALSE(nicks.isEmpty());
    const QPointF at =
        window->previewControl()->pos() + nicks.first().begin()->center() * window->pixelScale();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(picture)});
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(window, &enter);
    ASSERT_TRUE(enter.isAccepted());
    const int steps = form->document().history().stack().count();
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(window, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(form->document().pictures().BackgroundSource.pixel(3, 3), qRgb(250, 140, 20));
    EXPECT_EQ(form->document().history().stack().count(), steps + 1);
}
