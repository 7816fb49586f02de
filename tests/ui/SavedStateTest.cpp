// Which skin is open and whether it is saved: the status bar, the menus, replacing files and
// leaving with unsaved changes.
#include "TestFiles.h"
#include "WindowFixture.h"
#include "core/SkinFile.h"
#include "export/SaveSkin.h"
#include "ui/PreviewWindow.h"
#include "ui/RecentSkins.h"
#include "ui/SaveDialog.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

class SavedState : public WindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_NO_FATAL_FAILURE(startWindow());
        // Shown as the program shows it: "Выход" closes it.
        form->previewWindow()->show();
        dialog = form->saveWindow();
        dialog->setReplaceAsker([this](const QString &text) {
            replaceQuestions.append(text);
            return replace;
        });
        form->setSaveAsker([this](const QString &text) {
            saveQuestions.append(text);
            return saveAnswer;
        });
    }

    QString skinFile(const QString &name)
    {
        SkinData data;
        for (int slot = 0; slot < kSlotCount; ++slot)
            data.colours[std::size_t(slot)] = defaultSlotColour(slot);
        data.mifName = QStringLiteral("none.mif");
        const QString path = folder.filePath(name);
        EXPECT_TRUE(testfiles::write(path, *writeSkin(data)));
        return path;
    }

    // Saves through the dialog as its button does.
    void save(OutputKind kind, const QString &name)
    {
        form->openSaveWindow(kind);
        dialog->skinNameEdit()->setText(name + QStringLiteral(".skin"));
        dialog->mifNameEdit()->setText(name + QStringLiteral(".mif"));
        dialog->folderEdit()->setText(folder.path());
        dialog->saveButton()->click();
    }

    QTemporaryDir folder;
    SaveDialog *dialog = nullptr;
    QStringList replaceQuestions, saveQuestions;
    bool replace = true;
    MainWindow::SaveAnswer saveAnswer = MainWindow::SaveAnswer::Cancel;
};

} // namespace

TEST_F(SavedState, TheStatusAndTheSaveItemsNameTheSkinAndSayWhenItChanged)
{
    EXPECT_EQ(form->skinStatusText(), QString());
    EXPECT_EQ(form->commands().preview(Command::Save)->text(), QStringLiteral("Сохранить"));
    form->openSkin(skinFile(QStringLiteral("blue.skin")));
    ASSERT_TRUE(messages.filter(QStringLiteral("скин")).isEmpty())
        << messages.join(u'\n').toStdString();
    EXPECT_FALSE(form->skinModified());
    EXPECT_EQ(form->skinStatusText(), QStringLiteral("blue.skin"));
    EXPECT_EQ(form->commands().preview(Command::Save)->text(),
              QStringLiteral("Сохранить «blue.skin»"));
    EXPECT_EQ(form->commands().main(Command::Save)->text(),
              QStringLiteral("Сохранить «blue.skin»"));

    form->document().setSlotColour(Slot::MenuText, makeColor(1, 2, 3));
    EXPECT_EQ(form->skinStatusText(), QStringLiteral("blue.skin — изменён"));
    form->document().history().stack().undo();
    EXPECT_EQ(form->skinStatusText(), QStringLiteral("blue.skin")) << "undone back to the file";
    form->document().history().stack().redo();

    // A .mif alone does not hold the colours; the .skin does.
    save(OutputKind::MifOnly, QStringLiteral("green"));
    EXPECT_TRUE(form->skinModified());
    save(OutputKind::SkinOnly, QStringLiteral("green"));
    EXPECT_FALSE(form->skinModified());
    EXPECT_EQ(form->skinStatusText(), QStringLiteral("green.skin"));
}

TEST_F(SavedState, AFileThatExistsIsReplacedOnlyWhenTheUserSaysSo)
{
    const QString skin = folder.filePath(QStringLiteral("red.skin"));
    ASSERT_TRUE(testfiles::write(skin, "old"));
    replace = false;
    save(OutputKind::SkinAndMif, QStringLiteral("red"));
    ASSERT_EQ(replaceQuestions.size(), 1);
    EXPECT_EQ(
        replaceQuestions[0],
        QStringLiteral("Файл %1 уже существует. Заменить?").arg(QDir::toNativeSeparators(skin)));
    EXPECT_EQ(testfiles::read(skin), "old");
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("red.mif"))))
        << "nothing of a declined save is written";
    EXPECT_TRUE(dialog->isVisible()) << "the dialog stays for another name";

    replace = true;
    dialog->saveButton()->click();
    EXPECT_EQ(replaceQuestions.size(), 2);
    EXPECT_NE(testfiles::read(skin), "old");
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("red.mif"))));
    EXPECT_TRUE(form->statusBar()->currentMessage().contains(QDir::toNativeSeparators(skin)))
        << form->statusBar()->currentMessage().toStdString();
}

TEST_F(SavedState, ExitWithoutChangesAsksNothing)
{
    form->quit();
    EXPECT_TRUE(saveQuestions.isEmpty());
    EXPECT_FALSE(form->previewWindow()->isVisible());
}

TEST_F(SavedState, ExitWithUnsavedChangesAsksToSaveThemFirst)
{
    form->document().setSlotColour(Slot::MenuText, makeColor(1, 2, 3));
    saveAnswer = MainWindow::SaveAnswer::Cancel;
    form->quit();
    ASSERT_EQ(saveQuestions.size(), 1);
    EXPECT_EQ(saveQuestions[0], QStringLiteral("Скин изменён. Сохранить изменения?"));
    EXPECT_TRUE(form->previewWindow()->isVisible()) << "Отмена stays";

    // Да: the save dialog, and the end once it has saved.
    saveAnswer = MainWindow::SaveAnswer::Save;
    form->quit();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_TRUE(form->previewWindow()->isVisible());
    dialog->skinNameEdit()->setText(QStringLiteral("kept.skin"));
    dialog->mifNameEdit()->setText(QStringLiteral("kept.mif"));
    dialog->folderEdit()->setText(folder.path());
    dialog->outputKindCombo()->setCurrentIndex(int(OutputKind::SkinOnly));
    dialog->saveButton()->click();
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("kept.skin"))));
    EXPECT_FALSE(form->previewWindow()->isVisible()) << "the program ended after the save";
    EXPECT_EQ(saveQuestions.size(), 2);
}

TEST_F(SavedState, NoLeavesWithoutSaving)
{
    form->document().setSlotColour(Slot::MenuText, makeColor(1, 2, 3));
    saveAnswer = MainWindow::SaveAnswer::Discard;
    form->quit();
    EXPECT_EQ(saveQuestions.size(), 1);
    EXPECT_FALSE(form->previewWindow()->isVisible());
    EXPECT_FALSE(dialog->isVisible());
}

// "Недавние": skins opened and saved, newest first, each once, at most eight; a skin whose file
// is gone is shown disabled; the list comes back from its file, and choosing an entry opens it.
TEST_F(SavedState, RecentSkinsKeepTheLastEightOpenedOrSaved)
{
    RecentSkins &recent = form->recentSkins();
    const QString kept = folder.filePath(QStringLiteral("recent.txt"));
    recent.keepIn(kept);
    EXPECT_FALSE(recent.menu()->isEnabled()) << "nothing opened yet";

    form->openSkin(skinFile(QStringLiteral("blue.skin")));
    save(OutputKind::SkinAndMif, QStringLiteral("green"));
    ASSERT_EQ(recent.paths().size(), 2);
    EXPECT_EQ(QFileInfo(recent.paths()[0]).fileName(), QStringLiteral("green.skin"));
    EXPECT_EQ(QFileInfo(recent.paths()[1]).fileName(), QStringLiteral("blue.skin"));
    form->openSkin(folder.filePath(QStringLiteral("blue.skin")));
    EXPECT_EQ(QFileInfo(recent.paths()[0]).fileName(), QStringLiteral("blue.skin"));
    EXPECT_EQ(recent.paths().size(), 2) << "each skin once";

    for (int n = 0; n < 9; ++n)
        recent.add(folder.filePath(QStringLiteral("gone%1.skin").arg(n)));
    ASSERT_EQ(recent.paths().size(), RecentSkins::kMaxEntries);
    EXPECT_TRUE(recent.paths().first().endsWith(QStringLiteral("gone8.skin")));
    form->openSkin(folder.filePath(QStringLiteral("green.skin")));
    emit recent.menu()->aboutToShow();
    const QList<QAction *> items = recent.menu()->actions();
    ASSERT_EQ(items.size(), RecentSkins::kMaxEntries);
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_FALSE(items[1]->isEnabled()) << "a skin whose file is gone";

    // Both menus carry the one list.
    EXPECT_TRUE(
        form->previewWindow()->contextMenu()->actions().contains(recent.menu()->menuAction()));
    RecentSkins again(nullptr);
    again.keepIn(kept);
    EXPECT_EQ(again.paths(), recent.paths());
    // A skin opened before the list is read (named on the command line) stays the newest.
    RecentSkins atStart(nullptr);
    atStart.add(folder.filePath(QStringLiteral("blue.skin")));
    atStart.keepIn(kept);
    ASSERT_EQ(atStart.paths().size(), RecentSkins::kMaxEntries);
    EXPECT_EQ(QFileInfo(atStart.paths()[0]).fileName(), QStringLiteral("blue.skin"));
    EXPECT_EQ(QFileInfo(atStart.paths()[1]).fileName(), QStringLiteral("green.skin"));

    form->openSkin(folder.filePath(QStringLiteral("blue.skin")));
    ASSERT_EQ(QFileInfo(form->skinPath()).fileName(), QStringLiteral("blue.skin"));
    emit recent.menu()->aboutToShow();
    QAction *green = recent.menu()->actions().value(1);
    ASSERT_NE(green, nullptr);
    ASSERT_TRUE(green->text().endsWith(QStringLiteral("green.skin")));
    green->trigger();
    EXPECT_EQ(QFileInfo(form->skinPath()).fileName(), QStringLiteral("green.skin"));
}
