// How the window behaves between the commands: keys, the slot that is edited, what it shows.
#include "DesignerFixture.h"

#include "document/SkinDocument.h"
#include "preview/mainTolvoPreview.h"
#include "ui/ColourControls.h"
#include "ui/Unit3.h"
#include "ui/Unit6.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include <QTest>

TEST_F(Designer, F1ShowsTheContactListInBothModes)
{
    activatePreview();
    TForm3 *window = form->previewWindow();
    for (const bool expert : {true, false}) {
        SCOPED_TRACE(expert ? "expert mode" : "simplified mode");
        if (!expert)
            expectQuiet(driver.choose(window->N46), QStringLiteral("simplified mode"));
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
    EXPECT_EQ(form->RadioGroup2->checkedId(), Slot::RightSoftkey);
    const TColor softkey = form->document().slotColour(Slot::RightSoftkey);
    EXPECT_EQ(form->colourControls()->sliderColour(), softkey);

    QLineEdit *green = form->colourControls()->Edits[1];
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
    TForm6 *save = form->saveWindow();
    expectQuiet(driver.choose(previewItem({QStringLiteral("Сохранить")}), {}, {save}),
                QStringLiteral("Сохранить"));
    EXPECT_EQ(save->Edit2->text(), QStringLiteral("default.skin"));
    save->hide();

    openThroughDialog(programFolder() + QStringLiteral("skins/aurora.skin"));
    expectQuiet(driver.choose(previewItem({QStringLiteral("Сохранить")}), {}, {save}),
                QStringLiteral("Сохранить"));
    EXPECT_EQ(save->Edit2->text(), QStringLiteral("aurora.skin"));
    EXPECT_EQ(save->Edit3->text(), QStringLiteral("aurora.mif"));
    save->Edit4->setFocus();
    QTest::keyClick(save->Edit4, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(save->Edit4, work(QString()));
    expectQuiet(driver.run([&] { QTest::mouseClick(save->Button2, Qt::LeftButton); }),
                QStringLiteral("Сохранение"));
    EXPECT_TRUE(QFileInfo::exists(work(QStringLiteral("aurora.sis"))));
}
