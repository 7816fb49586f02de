#include "ui/SaveDialog.h"
#include "TestFiles.h"
#include "WindowFixture.h"
#include "core/SettingsFile.h"
#include "core/SkinFile.h"
#include "ui/MainWindow.h"
#include "ui/PreviewWindow.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

class TheSaveDialog : public WindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(target.isValid());
        ASSERT_NO_FATAL_FAILURE(startWindow());
        dialog = form->saveWindow();
        ASSERT_NE(dialog, nullptr);
    }

    // Which controls the user may touch, in a fixed order for readable failures.
    struct Enabled
    {
        bool skinName, mifName, memo, formats;
        bool operator==(const Enabled &) const = default;
    };
    Enabled enabled() const
    {
        const bool formats =
            dialog->formatLabel()->isEnabled() && dialog->backgroundFormat().group->isEnabled() &&
            dialog->backgroundFormat().jpg->isEnabled() &&
            dialog->backgroundFormat().quality->isEnabled() &&
            dialog->cursorFormat().group->isEnabled() && dialog->cursorFormat().mbm->isEnabled();
        const bool anyFormat =
            dialog->formatLabel()->isEnabled() || dialog->backgroundFormat().group->isEnabled() ||
            dialog->backgroundFormat().quality->isEnabled() ||
            dialog->cursorFormat().group->isEnabled() || dialog->cursorFormat().png->isEnabled();
        EXPECT_EQ(formats, anyFormat) << "the format controls are enabled together";
        return {dialog->skinNameEdit()->isEnabled() && dialog->skinNameGroup()->isEnabled(),
                dialog->mifNameEdit()->isEnabled() && dialog->mifNameGroup()->isEnabled(),
                dialog->copyrightEdit()->isEnabled(), formats};
    }

    QStringList filesIn(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot);
    }

    QTemporaryDir target;
    SaveDialog *dialog = nullptr;
};

constexpr bool kOn = true, kOff = false;

} // namespace

TEST_F(TheSaveDialog, EachMenuCommandOpensTheDialogForItsOutput)
{
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Сохранение"));
    EXPECT_FALSE(dialog->isVisible());

    struct Case
    {
        QAction *item;
        int kind;
        Enabled states;
    };
    const Enabled all{kOn, kOn, kOn, kOn};
    const Enabled skinOnly{kOn, kOn, kOn, kOff};
    const Enabled mifOnly{kOff, kOn, kOff, kOn};
    // Each step comes from a different output than its own, so stale states would show.
    const Case cases[] = {
        {form->commands().main(Command::ExportMif), 3, mifOnly},
        {form->commands().main(Command::Save), 0, all},
        {form->commands().main(Command::ExportSkin), 2, skinOnly},
        {form->commands().preview(Command::ExportMif), 3, mifOnly},
        {form->commands().preview(Command::Save), 0, all},
        {form->commands().preview(Command::ExportSkin), 2, skinOnly},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item->text().toStdString() + " -> " + std::to_string(c.kind));
        ASSERT_TRUE(c.item->isEnabled());
        dialog->hide();
        c.item->trigger();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->outputKindCombo()->currentIndex(), c.kind);
        EXPECT_EQ(enabled(), c.states);
    }
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    EXPECT_EQ(dialog->height(), 396);
    const QRect area = dialog->screen()->availableGeometry();
    EXPECT_LE((dialog->frameGeometry().center() - area.center()).manhattanLength(), 1)
        << "shown in the middle of the screen";

    // The list itself sets the same states as the menus.
    dialog->outputKindCombo()->setCurrentIndex(3);
    EXPECT_EQ(enabled(), mifOnly);
    dialog->outputKindCombo()->setCurrentIndex(1);
    EXPECT_EQ(enabled(), all);
    dialog->outputKindCombo()->setCurrentIndex(2);
    EXPECT_EQ(enabled(), skinOnly);

    QPointer<SaveDialog> kept(dialog);
    dialog->cancelButton()->click();
    EXPECT_FALSE(dialog->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(kept.isNull()) << "Отмена only hides the dialog";
}

TEST_F(TheSaveDialog, SimplifiedLayoutAsksForABaseNameAndTheSystemVersion)
{
    ASSERT_FALSE(dialog->isVisible());
    EXPECT_TRUE(dialog->baseNameGroup()->isHidden());
    EXPECT_TRUE(dialog->systemVersionCombo()->isHidden());
    EXPECT_EQ(dialog->systemVersionCombo()->currentIndex(), 1);
    // The version list is the simplified layout's: in the expert layout it changes nothing.
    dialog->systemVersionCombo()->setCurrentIndex(0);
    EXPECT_TRUE(dialog->backgroundFormat().jpg->isChecked());
    EXPECT_TRUE(dialog->cursorFormat().jpg->isChecked());

    dialog->outputKindCombo()->setCurrentIndex(3);
    dialog->setExpertLayout(false);
    const QList<QWidget *> expertOnly = {
        dialog->skinNameGroup(),     dialog->mifNameGroup(), dialog->outputKindCombo(),
        dialog->kindLabel(),         dialog->formatLabel(),  dialog->backgroundFormat().group,
        dialog->cursorFormat().group};
    for (QWidget *hidden : expertOnly)
        EXPECT_TRUE(hidden->isHidden()) << hidden->metaObject()->className();
    EXPECT_FALSE(dialog->baseNameGroup()->isHidden());
    EXPECT_FALSE(dialog->systemVersionCombo()->isHidden());
    EXPECT_EQ(dialog->outputKindCombo()->currentIndex(), 0);
    EXPECT_TRUE(dialog->backgroundFormat().mbm->isChecked()) << "Symbian OS 9.1 was chosen above";
    EXPECT_TRUE(dialog->cursorFormat().mbm->isChecked());
    EXPECT_EQ(dialog->height(), 340);
    EXPECT_EQ(dialog->formatPanel()->height(), 36);
    EXPECT_EQ(dialog->buttonPanel()->height(), 36);

    // Choosing the version while the dialog is put away still applies it.
    dialog->outputKindCombo()->setCurrentIndex(2);
    dialog->systemVersionCombo()->setCurrentIndex(1);
    EXPECT_TRUE(dialog->backgroundFormat().jpg->isChecked());
    EXPECT_TRUE(dialog->cursorFormat().jpg->isChecked());
    EXPECT_EQ(dialog->outputKindCombo()->currentIndex(), 0);

    dialog->setExpertLayout(true);
    EXPECT_FALSE(dialog->skinNameGroup()->isHidden());
    EXPECT_FALSE(dialog->backgroundFormat().group->isHidden());
    EXPECT_TRUE(dialog->baseNameGroup()->isHidden());
    EXPECT_TRUE(dialog->systemVersionCombo()->isHidden());
    EXPECT_EQ(dialog->height(), 396);
    EXPECT_EQ(dialog->formatPanel()->height(), 95);
    EXPECT_EQ(dialog->buttonPanel()->height(), 95);
}

TEST_F(TheSaveDialog, RefusedNameAndMissingFolderKeepTheDialogOpenAndWriteNothing)
{
    const SkinTexts before = form->document().texts();
    form->commands().main(Command::ExportSkin)->trigger();
    dialog->folderEdit()->setText(target.path());
    dialog->saveButton()->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().startsWith(invalidNameMessage({})))
        << messages.first().toStdString();
    EXPECT_EQ(messages.first().split(QStringLiteral("\r\n")).size(), 4);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(filesIn(target.path()).isEmpty());
    EXPECT_EQ(dialog->skinNameEdit()->text(), QStringLiteral("default.skin"));

    messages.clear();
    dialog->skinNameEdit()->setText(QStringLiteral("myskin"));
    dialog->mifNameEdit()->setText(QStringLiteral("myskin"));
    dialog->folderEdit()->clear();
    dialog->saveButton()->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_FALSE(messages.first().isEmpty());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->skinNameEdit()->text(), QStringLiteral("myskin"));
    EXPECT_TRUE(filesIn(s_dir->path()).filter(QStringLiteral("myskin")).isEmpty());
    EXPECT_EQ(form->document().texts().skinFileName, before.skinFileName);
    EXPECT_EQ(form->document().texts().mifName, before.mifName);
}

TEST_F(TheSaveDialog, SavingSkinAndMifWritesBothAndKeepsTheCompletedNames)
{
    form->commands().main(Command::Save)->trigger();
    dialog->outputKindCombo()->setCurrentIndex(1);
    dialog->skinNameEdit()->setText(QStringLiteral("myskin"));
    dialog->mifNameEdit()->setText(QStringLiteral("myskin"));
    dialog->copyrightEdit()->setPlainText(QStringLiteral("(c) Tester"));
    dialog->folderEdit()->setText(target.path());
    dialog->saveButton()->click();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    const QStringList written = filesIn(target.path());
    EXPECT_TRUE(written.contains(QStringLiteral("myskin.skin")))
        << written.join(u' ').toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("myskin.mif"))) << written.join(u' ').toStdString();
    EXPECT_EQ(dialog->skinNameEdit()->text(), QStringLiteral("myskin.skin"));
    EXPECT_EQ(dialog->mifNameEdit()->text(), QStringLiteral("myskin.mif"));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(form->document().texts().skinFileName, QStringLiteral("myskin.skin"));
    EXPECT_EQ(form->document().texts().mifName, QStringLiteral("myskin.mif"));
    EXPECT_EQ(form->document().texts().copyright, QStringLiteral("(c) Tester"));

    // The written .skin carries the dialog's texts.
    const auto skin = readSkin(testfiles::read(target.filePath(QStringLiteral("myskin.skin"))),
                               QStringLiteral("myskin.skin"));
    ASSERT_TRUE(skin.has_value());
    EXPECT_EQ(skin->mifName, QStringLiteral("myskin.mif"));
    EXPECT_EQ(skin->copyright, QStringLiteral("(c) Tester"));

    // The fields are still there the next time.
    form->commands().preview(Command::Save)->trigger();
    EXPECT_EQ(dialog->skinNameEdit()->text(), QStringLiteral("myskin.skin"));
    EXPECT_EQ(dialog->copyrightEdit()->toPlainText(), QStringLiteral("(c) Tester"));
    EXPECT_EQ(dialog->folderEdit()->text(), target.path());
}

TEST_F(TheSaveDialog, SimplifiedSaveNamesBothFilesAfterTheBaseName)
{
    dialog->setExpertLayout(false);
    dialog->systemVersionCombo()->setCurrentIndex(0);
    // The simplified layout writes packages; the two plain files show the names and formats
    // without the signing tools.
    dialog->outputKindCombo()->setCurrentIndex(1);
    dialog->baseNameEdit()->setText(QStringLiteral("simple"));
    dialog->folderEdit()->setText(target.path());
    dialog->saveButton()->click();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    EXPECT_EQ(dialog->skinNameEdit()->text(), QStringLiteral("simple.skin"));
    EXPECT_EQ(dialog->mifNameEdit()->text(), QStringLiteral("simple.mif"));
    const QStringList written = filesIn(target.path());
    EXPECT_TRUE(written.contains(QStringLiteral("simple.skin")))
        << written.join(u' ').toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("simple.mif")));
    EXPECT_TRUE(written.contains(QStringLiteral("simple.mbm"))) << "bitmaps for Symbian OS 9.1";
}

TEST_F(TheSaveDialog, OpeningASkinFillsTheMifNameAndCopyright)
{
    SkinData data;
    for (int slot = 0; slot < kSlotCount; ++slot)
        data.colours[slot] = defaultSlotColour(slot);
    data.mifName = QStringLiteral("opened.mif");
    data.copyright = QStringLiteral("(c) Someone");
    const auto bytes = writeSkin(data);
    ASSERT_TRUE(bytes.has_value());
    const QString path = target.filePath(QStringLiteral("opened.skin"));
    ASSERT_TRUE(testfiles::write(path, *bytes));
    form->openSkin(path);
    EXPECT_EQ(dialog->mifNameEdit()->text(), QStringLiteral("opened.mif"));
    EXPECT_EQ(dialog->copyrightEdit()->toPlainText(), QStringLiteral("(c) Someone"));
}

TEST_F(TheSaveDialog, TheTreeListsFoldersHiddenOnesTooAndFillsTheFolderField)
{
    const QString root = target.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("phone/skins")));
    ASSERT_TRUE(QDir(root).mkdir(QStringLiteral(".hidden")));
    ASSERT_TRUE(testfiles::write(target.filePath(QStringLiteral("note.txt")), "x"));
    QFileSystemModel *model = dialog->folderModel();
    model->setRootPath(root);
    const QModelIndex rootIndex = model->index(root);
    dialog->folderTree()->setRootIndex(rootIndex);
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(rootIndex) == 2; }))
        << model->rowCount(rootIndex);
    QStringList names;
    for (int row = 0; row < model->rowCount(rootIndex); ++row)
        names << model->fileName(model->index(row, 0, rootIndex));
    names.sort();
    EXPECT_EQ(names, QStringList({QStringLiteral(".hidden"), QStringLiteral("phone")}));

    dialog->folderTree()->setCurrentIndex(model->index(target.filePath(QStringLiteral("phone"))));
    EXPECT_EQ(dialog->folderEdit()->text(), target.filePath(QStringLiteral("phone")));
    dialog->folderTree()->setCurrentIndex(
        model->index(target.filePath(QStringLiteral("phone/skins"))));
    EXPECT_EQ(dialog->folderEdit()->text(), target.filePath(QStringLiteral("phone/skins")));
}

// The settings file keeps the folder selected in the tree, not what was typed; a click on that
// folder puts it back into the field, and the save then goes there.
TEST_F(TheSaveDialog, TheTreesFolderIsKeptAndAClickOnItOverridesWhatWasTyped)
{
    const QString root = target.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("phone")));
    QFileSystemModel *model = dialog->folderModel();
    model->setRootPath(root);
    dialog->folderTree()->setRootIndex(model->index(root));
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    const QString phone = target.filePath(QStringLiteral("phone"));
    const QModelIndex index = model->index(phone);
    dialog->folderTree()->setCurrentIndex(index);
    dialog->folderEdit()->setText(target.filePath(QStringLiteral("typed")));
    EXPECT_EQ(dialog->chosenFolder(), phone);
    EXPECT_EQ(form->currentSettings().lastShellPath, phone);

    ASSERT_TRUE(QTest::qWaitFor([&] {
        return dialog->folderTree()->visualRect(index).isValid() &&
               !dialog->folderTree()->visualRect(index).isEmpty();
    }));
    QTest::mouseClick(dialog->folderTree()->viewport(), Qt::LeftButton, {},
                      dialog->folderTree()->visualRect(index).center());
    EXPECT_EQ(dialog->folderEdit()->text(), phone);
}

// A skin's pictures show their own formats, so saving it again keeps them; the formats the
// user chose stay theirs, in the settings file and for pictures not opened from a skin.
TEST_F(TheSaveDialog, AnOpenedSkinsPicturesShowTheirOwnFormatsAndTheUsersChoiceStays)
{
    const QString samples = QStringLiteral(VELMORA_TEST_DATA "/../../data/skins/");
    for (const char *name : {"aurora.skin", "aurora.mif"})
        ASSERT_TRUE(
            QFile::copy(samples + QLatin1String(name), target.filePath(QLatin1String(name))));
    dialog->backgroundFormat().prefer({PictureFormat::Mbm, 70});
    dialog->cursorFormat().prefer({PictureFormat::Jpg, 60});
    const SettingsValues before = form->currentSettings();
    form->openSkin(target.filePath(QStringLiteral("aurora.skin")));
    ASSERT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    EXPECT_EQ(dialog->backgroundFormat().choice().format, PictureFormat::Jpg);
    EXPECT_EQ(dialog->cursorFormat().choice().format, PictureFormat::Png);
    EXPECT_FALSE(dialog->cursorFormat().quality->isEnabled()) << "no JPEG quality for a PNG";
    EXPECT_TRUE(dialog->backgroundFormat().quality->isEnabled());
    const SettingsValues kept = form->currentSettings();
    EXPECT_EQ(kept.cursorFormat, before.cursorFormat);
    EXPECT_EQ(kept.cursorQuality, 60);
    EXPECT_EQ(kept.backgroundFormat, before.backgroundFormat);
    EXPECT_EQ(dialog->cursorFormat().preferred.format, PictureFormat::Jpg);
    EXPECT_EQ(dialog->cursorFormat().preferred.quality, 60);
    EXPECT_EQ(dialog->backgroundFormat().preferred.format, PictureFormat::Mbm);

    // A new cursor is saved as the user prefers.
    QImage picture(30, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(target.filePath(QStringLiteral("new.png"))));
    form->importCursor(target.filePath(QStringLiteral("new.png")));
    EXPECT_EQ(dialog->cursorFormat().choice().format, PictureFormat::Jpg);
    EXPECT_TRUE(dialog->cursorFormat().quality->isEnabled());
    // Undo brings the skin's own cursor back, and its format with it.
    form->document().history().stack().undo();
    EXPECT_EQ(dialog->cursorFormat().choice().format, PictureFormat::Png);
}
