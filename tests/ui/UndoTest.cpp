#include "TestFiles.h"
#include "WindowFixture.h"
#include "export/SaveSkin.h"
#include "platform/WritablePlaces.h"
#include "ui/ColourControls.h"
#include "ui/HistoryActions.h"
#include "ui/MainWindow.h"
#include "ui/PreviewWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoView>

#include <gtest/gtest.h>

namespace {

class Undo : public WindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(startWindow());
        controls = form->findChild<ColourControls *>();
        ASSERT_NE(controls, nullptr);
        actions = form->historyActions();
    }
    QUndoStack &stack() { return form->document().history().stack(); }

    // Holds the red slider, moves it through values with the batching timer firing in between,
    // and lets go.
    void drag(const QList<int> &reds)
    {
        QSlider *red = controls->slider(0);
        emit red->sliderPressed();
        for (int value : reds) {
            red->setValue(value);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !controls->applyPending(); }, 5000));
        }
        red->setValue(reds.last() ^ 1);
        // Released before the timer fired: the last move still counts, inside the step.
        emit red->sliderReleased();
    }

    ColourControls *controls = nullptr;
    HistoryActions *actions = nullptr;
};

} // namespace

TEST_F(Undo, ASliderDragIsOneStepAndTheEditorFollowsUndo)
{
    form->slotButtonChosen(Slot::ChatMessage);
    const TColor before = form->document().slotColour(Slot::ChatMessage);
    drag({10, 60, 120});
    EXPECT_EQ(colorRed(form->document().slotColour(Slot::ChatMessage)), 120 ^ 1);
    ASSERT_EQ(stack().count(), 1);
    EXPECT_EQ(actions->undo()->text(),
              QStringLiteral("Отменить: ") + SkinDocument::colourStepName(Slot::ChatMessage));
    EXPECT_FALSE(actions->redo()->isEnabled());
    actions->undo()->trigger();
    EXPECT_EQ(form->document().slotColour(Slot::ChatMessage), before);
    EXPECT_EQ(controls->sliderColour(), before) << "the sliders show the colour undone to";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controls->applyPending(); }, 5000));
    EXPECT_EQ(stack().count(), 1) << "showing the colour again is no new step";
    EXPECT_TRUE(actions->redo()->isEnabled());
    actions->redo()->trigger();
    EXPECT_EQ(colorRed(form->document().slotColour(Slot::ChatMessage)), 120 ^ 1);
}

TEST_F(Undo, ResetAndOpeningASkinAreStepsWithTheirNames)
{
    form->slotButtonChosen(Slot::MenuText);
    const TColor original = form->document().slotColour(Slot::MenuText);
    form->applyColour(makeColor(1, 2, 3));
    controls->resetButton()->click();
    EXPECT_EQ(form->document().slotColour(Slot::MenuText), original);
    EXPECT_EQ(actions->undo()->text(), QStringLiteral("Отменить: Сброс цвета"));

    const QString skin = s_dir->filePath(QStringLiteral("undo-me.skin"));
    QByteArray bytes(60, '\0');
    bytes[0] = char(222);
    testfiles::write(skin, bytes + QByteArray("\x01\x00m\x00", 4));
    const SkinState beforeOpen = form->document().state();
    form->openSkin(skin);
    EXPECT_EQ(actions->undo()->text(), QStringLiteral("Отменить: открытие скина «undo-me.skin»"));
    EXPECT_EQ(stack().count(), 3);
    actions->undo()->trigger();
    EXPECT_EQ(form->document().state(), beforeOpen) << "colours, texts and pictures";
    actions->undo()->trigger();
    EXPECT_EQ(form->document().slotColour(Slot::MenuText), makeColor(1, 2, 3));
}

TEST_F(Undo, BothMenusCarryTheItemsWithTheirShortcuts)
{
    EXPECT_EQ(actions->undo()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_TRUE(actions->redo()->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    EXPECT_TRUE(
        actions->redo()->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    const QList<QAction *> previewMenu = form->previewWindow()->contextMenu()->actions();
    for (QAction *item : {actions->undo(), actions->redo(), actions->history()}) {
        EXPECT_TRUE(previewMenu.contains(item)) << item->text().toStdString();
        EXPECT_TRUE(form->previewWindow()->actions().contains(item))
            << "the shortcut works over the phone too";
    }
    EXPECT_FALSE(actions->undo()->isEnabled()) << "nothing to undo after start-up";
    EXPECT_EQ(actions->undo()->text(), QStringLiteral("Отменить"));
}

TEST_F(Undo, TheHistoryListJumpsToAStep)
{
    for (int i = 1; i <= 4; ++i)
        form->document().setSlotColour(Slot::ContactNick, makeColor(i, 0, 0));
    QUndoView *view = actions->historyView();
    // Row 0 is the start, row n the state after step n.
    EXPECT_EQ(view->model()->rowCount(), 5);
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QStringLiteral("Начало"));
    view->setCurrentIndex(view->model()->index(2, 0));
    EXPECT_EQ(stack().index(), 2);
    EXPECT_EQ(form->document().slotColour(Slot::ContactNick), makeColor(2, 0, 0));
    view->setCurrentIndex(view->model()->index(0, 0));
    EXPECT_EQ(form->document().slotColour(Slot::ContactNick), defaultSlotColour(Slot::ContactNick));
}

TEST_F(Undo, APackageOpensAsItsSkinInOneStep)
{
    // A package saved by the program itself, with the build's package tools.
    SkinDocument source;
    source.setSlotColour(Slot::ChatMessage, makeColor(12, 34, 56));
    QImage background(24, 32, QImage::Format_RGB32);
    background.fill(Qt::darkBlue);
    QImage cursor(12, 4, QImage::Format_RGB32);
    cursor.fill(Qt::yellow);
    source.setPictures({background, background, cursor, cursor});
    SkinTexts texts;
    texts.copyright = QStringLiteral("(c) package");
    source.setTexts(texts);
    QTemporaryDir out;
    SaveRequest request;
    request.skinName = QStringLiteral("packed.skin");
    request.mifName = QStringLiteral("packed.mif");
    request.copyright = texts.copyright;
    request.folder = out.path();
    platform::ScratchFolder scratch;
    SaveEnvironment env;
    env.programFolder = QStringLiteral(VELMORA_PROGRAM_DIR "/");
    env.scratchFolder = scratch.path();
    const auto saved = saveSkin(source, request, env);
    ASSERT_TRUE(saved.has_value()) << saved.error().message.toStdString();
    const QString package = out.filePath(QStringLiteral("packed.sis"));

    form->openSkin(package);
    EXPECT_TRUE(messages.isEmpty()) << details.join(u"|").toStdString();
    EXPECT_EQ(form->document().slotColour(Slot::ChatMessage), makeColor(12, 34, 56));
    EXPECT_EQ(form->document().texts().skinFileName, QStringLiteral("packed.skin"));
    EXPECT_EQ(form->document().texts().copyright, QStringLiteral("(c) package"));
    EXPECT_EQ(actions->undo()->text(), QStringLiteral("Отменить: открытие скина «packed.sis»"));
    actions->undo()->trigger();
    EXPECT_EQ(form->document().slotColour(Slot::ChatMessage), defaultSlotColour(Slot::ChatMessage));

    // A damaged package is refused with the reader's words and changes nothing.
    QByteArray bytes = testfiles::read(package);
    bytes[bytes.size() - 40] = char(bytes[bytes.size() - 40] ^ 0x5A);
    const QString broken = out.filePath(QStringLiteral("broken.sis"));
    testfiles::write(broken, bytes);
    const SkinState before = form->document().state();
    form->openSkin(broken);
    ASSERT_EQ(messages.size(), 1) << messages.join(u'|').toStdString();
    EXPECT_EQ(messages.first(), QStringLiteral("Не удалось открыть установочный пакет."));
    EXPECT_EQ(form->document().state(), before);
}
