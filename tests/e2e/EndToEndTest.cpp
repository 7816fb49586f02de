// The designer as a user runs it: started by the same functions as its main(), with every
// dialog the real one, driven by typing and clicking. run_e2e.sh gives each test a virtual X
// display, a private home and a throw-away copy of the program folder.
#include "DesignerFixture.h"

#include "containers/PictureCodecs.h"
#include "document/SkinDocument.h"
#include "platform/FileOps.h"
#include "platform/WritablePlaces.h"
#include "preview/PhonePreview.h"
#include "ui/Application.h"
#include "ui/ColourControls.h"
#include "ui/Designer.h"
#include "ui/PreviewWindow.h"
#include "ui/RecentSkins.h"
#include "ui/SaveDialog.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

TEST_F(Designer, HasEveryServiceOfTheRealProgram)
{
    EXPECT_TRUE(form->unsetSeams().isEmpty()) << form->unsetSeams().join(u", ").toStdString();
}

TEST_F(Designer, OpenTakesATypedPathInTheRealFileDialog)
{
    const QString aurora = programFolder() + QStringLiteral("skins/aurora.skin");
    const QString birch = programFolder() + QStringLiteral("skins/birch.skin");
    const Colours auroraColours = coloursOfFile(aurora);
    const Colours birchColours = coloursOfFile(birch);
    ASSERT_NE(auroraColours, birchColours);

    openThroughDialog(aurora);
    EXPECT_EQ(coloursOf(form->document()), auroraColours);
    const int slot = form->document().selectedSlot();
    EXPECT_EQ(form->colourControls()->sliderColour(), auroraColours[std::size_t(slot)])
        << "the colour tab shows the opened skin's colour";

    expectQuiet(driver.choose(mainItem(QStringLiteral("Файл"), {QStringLiteral("Открыть")}),
                              {DialogDriver::typeFileName(birch)}),
                QStringLiteral("Файл → Открыть"));
    EXPECT_EQ(coloursOf(form->document()), birchColours);
}

TEST_F(Designer, CtrlOOpensTheFileDialog)
{
    const QString meadow = programFolder() + QStringLiteral("skins/meadow.skin");
    activatePreview();
    PreviewWindow *window = form->previewWindow();
    expectQuiet(driver.run([&] { QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier); },
                           {DialogDriver::typeFileName(meadow)}),
                QStringLiteral("Ctrl+O"));
    EXPECT_EQ(coloursOf(form->document()), coloursOfFile(meadow));
}

TEST_F(Designer, ImportedBackgroundAndCursorComeFromTheRealDialog)
{
    const QColor green(20, 200, 60), violet(120, 30, 200);
    ASSERT_TRUE(solidPicture(QSize(50, 40), green).save(work(QStringLiteral("back.png"))));
    ASSERT_TRUE(solidPicture(QSize(30, 10), violet).save(work(QStringLiteral("cursor.png"))));

    expectQuiet(driver.choose(previewItem({QStringLiteral("Импортировать"),
                                           QStringLiteral("фоновый рисунок")}),
                              {DialogDriver::typeFileName(work(QStringLiteral("back.png")))}),
                QStringLiteral("Импортировать → фоновый рисунок"));
    const QImage &background = form->document().pictures().BackgroundSource;
    EXPECT_EQ(background.size(), QSize(50, 40));
    EXPECT_EQ(background.pixel(10, 10), green.rgb());

    expectQuiet(driver.choose(mainItem(QStringLiteral("Файл"),
                                       {QStringLiteral("Импортировать"), QStringLiteral("курсор")}),
                              {DialogDriver::typeFileName(work(QStringLiteral("cursor.png")))}),
                QStringLiteral("Файл → Импортировать → курсор"));
    const QImage &cursor = form->document().pictures().CursorSource;
    EXPECT_EQ(cursor.size(), QSize(30, 10));
    EXPECT_EQ(cursor.pixel(5, 5), violet.rgb());
}

TEST_F(Designer, SaveWritesAVerifiedPackageAndSkinFilesThatOpenAgain)
{
    nudgeRed(3, 5);
    const Colours edited = coloursOf(form->document());
    const QImage background = form->document().pictures().BackgroundPicture;
    const QImage cursor = form->document().pictures().CursorPicture;
    const QString folder = work(QStringLiteral("saved"));
    ASSERT_TRUE(QDir().mkpath(folder));

    SaveDialog *save = form->saveWindow();
    expectQuiet(driver.choose(form->commands().preview(Command::Save), {}, {save}),
                QStringLiteral("Сохранить"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(save));
    ASSERT_EQ(save->windowTitle(), QStringLiteral("Сохранение"));
    const auto type = [](QWidget *field, const QString &text) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    };
    type(save->skinNameEdit(), QStringLiteral("e2e.skin"));
    type(save->mifNameEdit(), QStringLiteral("e2e.mif"));
    type(save->folderEdit(), folder);
    type(save->copyrightEdit(), QStringLiteral("(c) end to end"));
    // Pictures without loss, so that they come back exactly.
    QTest::mouseClick(save->backgroundFormat().png, Qt::LeftButton);
    QTest::mouseClick(save->cursorFormat().png, Qt::LeftButton);
    expectQuiet(driver.run([&] { QTest::mouseClick(save->saveButton(), Qt::LeftButton); }),
                QStringLiteral("Сохранение: скин (*.sis)"));
    const QString package = folder + QStringLiteral("/e2e.sis");
    ASSERT_TRUE(QFileInfo(package).isFile()) << QDir(folder).entryList().join(u' ').toStdString();

    QProcess verify;
    verify.start(programFolder() + QStringLiteral("velmora-cli"),
                 {QStringLiteral("sis"), QStringLiteral("verify"), package,
                  programFolder() + QStringLiteral("cert/Velmora.cer")});
    ASSERT_TRUE(verify.waitForFinished(60000));
    EXPECT_EQ(verify.exitCode(), 0) << verify.readAllStandardOutput().toStdString()
                                    << verify.readAllStandardError().toStdString();

    // The same dialog again, now for the skin and its pictures as files.
    expectQuiet(driver.choose(form->commands().preview(Command::Save), {}, {save}),
                QStringLiteral("Сохранить"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(save));
    save->outputKindCombo()->setFocus();
    QTest::keyClick(save->outputKindCombo(), Qt::Key_Home);
    QTest::keyClick(save->outputKindCombo(), Qt::Key_Down);
    ASSERT_EQ(save->outputKindCombo()->currentText(), QStringLiteral("скин (*.skin+*.mif)"));
    expectQuiet(driver.run([&] { QTest::mouseClick(save->saveButton(), Qt::LeftButton); }),
                QStringLiteral("Сохранение: скин (*.skin+*.mif)"));
    const QString skin = folder + QStringLiteral("/e2e.skin");
    ASSERT_TRUE(QFileInfo(skin).isFile());
    ASSERT_TRUE(QFileInfo(folder + QStringLiteral("/e2e.mif")).isFile());

    openThroughDialog(programFolder() + QStringLiteral("skins/graphite.skin"));
    ASSERT_NE(coloursOf(form->document()), edited);
    openThroughDialog(skin);
    EXPECT_EQ(coloursOf(form->document()), edited);
    EXPECT_EQ(form->document().texts().copyright, QStringLiteral("(c) end to end"));
    EXPECT_EQ(form->document().pictures().BackgroundPicture.convertToFormat(QImage::Format_RGB32),
              background.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(form->document().pictures().CursorPicture.convertToFormat(QImage::Format_RGB32),
              cursor.convertToFormat(QImage::Format_RGB32));

    // And the package, opened through the same dialog, is the same skin.
    openThroughDialog(programFolder() + QStringLiteral("skins/graphite.skin"));
    openThroughDialog(package);
    EXPECT_EQ(coloursOf(form->document()), edited);
}

TEST_F(Designer, PalettesGoOutAndComeBackThroughTheRealDialogs)
{
    openThroughDialog(programFolder() + QStringLiteral("skins/aurora.skin"));
    const Colours aurora = coloursOf(form->document());
    for (const QString &name : {QStringLiteral("colours.gpl"), QStringLiteral("colours.json")}) {
        expectQuiet(driver.choose(
                        previewItem({QStringLiteral("Экспортировать"), QStringLiteral("палитру…")}),
                        {DialogDriver::typeFileName(work(name))}),
                    QStringLiteral("Экспортировать → палитру… ") + name);
        ASSERT_TRUE(QFileInfo(work(name)).isFile()) << name.toStdString();
        openThroughDialog(programFolder() + QStringLiteral("skins/birch.skin"));
        ASSERT_NE(coloursOf(form->document()), aurora);
        expectQuiet(driver.choose(mainItem(QStringLiteral("Файл"), {QStringLiteral("Импортировать"),
                                                                    QStringLiteral("палитру…")}),
                                  {DialogDriver::typeFileName(work(name))}),
                    QStringLiteral("Импортировать → палитру… ") + name);
        EXPECT_EQ(coloursOf(form->document()), aurora) << name.toStdString();
    }
}

TEST_F(Designer, ScreenshotAndAllScreensWriteTheirFiles)
{
    expectQuiet(driver.choose(previewItem({QStringLiteral("Экспортировать"),
                                           QStringLiteral("Скриншот экрана")}),
                              {DialogDriver::typeFileName(work(QStringLiteral("shot.bmp")))}),
                QStringLiteral("Скриншот экрана"));
    const auto shot = decodePictureFile(work(QStringLiteral("shot.bmp")));
    ASSERT_TRUE(shot.has_value());
    EXPECT_EQ(shot->size(), form->preview()->picture().size());

    const QString folder = work(QStringLiteral("screens"));
    ASSERT_TRUE(QDir().mkpath(folder));
    expectQuiet(driver.choose(mainItem(QStringLiteral("Файл"), {QStringLiteral("Экспортировать"),
                                                                QStringLiteral("Все экраны…")}),
                              {DialogDriver::typeFileName(folder)}),
                QStringLiteral("Все экраны…"));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/index.html")).isFile());
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/sheet.png")).isFile());
    const QStringList models = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(models.size(), form->phoneModels().entries.size());
    for (const QString &model : models) {
        EXPECT_EQ(QDir(folder + u'/' + model).entryList({QStringLiteral("*.png")}).size(), 9)
            << model.toStdString();
    }
}

TEST_F(Designer, SvgButtonWrapsAPictureChosenInTheRealDialog)
{
    ASSERT_TRUE(solidPicture(QSize(16, 12), Qt::red).save(work(QStringLiteral("photo.jpg"))));
    form->show();
    form->optionTabs()->setCurrentWidget(form->miscPanel()->parentWidget());
    auto *button = form->svgGroup()->findChild<QPushButton *>();
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    expectQuiet(driver.run([&] { QTest::mouseClick(button, Qt::LeftButton); },
                           {DialogDriver::typeFileName(work(QStringLiteral("photo.jpg")))}),
                QStringLiteral("JPG,PNG=>SVG"));
    const auto svg = readWholeFile(work(QStringLiteral("photo.jpg.svg")));
    ASSERT_TRUE(svg.has_value());
    EXPECT_TRUE(svg->contains("image/jpeg"));
}

// Every item of both menus, chosen once with whatever dialog it opens closed again: the program
// keeps running, and only "Выход" ends it.
TEST_F(Designer, EveryMenuItemKeepsTheProgramRunningAndOnlyExitEndsIt)
{
    // A change first, so that undo and redo have something to do.
    nudgeRed(0, 3);
    QList<QAction *> items = DialogDriver::allItems(previewMenu());
    for (const QString &menu :
         {QStringLiteral("Файл"), QStringLiteral("Правка"), QStringLiteral("Помощь")}) {
        ASSERT_NE(mainMenu(menu), nullptr) << menu.toStdString();
        items += DialogDriver::allItems(mainMenu(menu));
    }
    const QList<QWidget *> keep = {form.get(), form->previewWindow()};
    QList<QAction *> exits;
    QStringList skipped;
    int chosen = 0;
    bool undone = false;
    for (QAction *item : items) {
        if (item->text() == QStringLiteral("Выход")) {
            exits.append(item);
            continue;
        }
        if (!item->isEnabled()) {
            skipped.append(item->text());
            continue;
        }
        undone = undone || item->text().startsWith(QStringLiteral("Отменить"));
        const DialogDriver::Outcome outcome = driver.choose(item, {}, keep);
        ++chosen;
        EXPECT_FALSE(outcome.endedProgram) << item->text().toStdString() << " ended the program";
        for (const QString &shown : outcome.unexpected) {
            EXPECT_FALSE(shown.startsWith(QStringLiteral("message box")))
                << item->text().toStdString() << " reported " << shown.toStdString();
        }
        ASSERT_TRUE(form->previewWindow()->isVisible() || form->oldInterface())
            << item->text().toStdString();
    }
    EXPECT_GT(chosen, 50) << "left out as disabled: " << skipped.join(u", ").toStdString();
    EXPECT_TRUE(undone) << "no undo item was enabled after a change";
    ASSERT_EQ(exits.size(), 2) << "one \"Выход\" in each menu";
    // The colour changed at the start is not saved: "Выход" asks, and "Нет" leaves it.
    EXPECT_TRUE(
        driver.choose(exits.first(), {DialogDriver::pressMessageButton(QMessageBox::NoRole)})
            .endedProgram);
}

int main(int argc, char **argv)
{
    platform::ensureRuntimeFolder();
    VelmoraApplication app(argc, argv);
    const QString folder = programFolder();
    if (!folder.isEmpty())
        prepareDesigner(app, folder);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// "Недавние" remembers the skins opened, in the user's data folder, and opens them again.
TEST_F(Designer, RecentSkinsOpenAgainAndAreKeptInTheDataFolder)
{
    const QString aurora = programFolder() + QStringLiteral("skins/aurora.skin");
    const QString birch = programFolder() + QStringLiteral("skins/birch.skin");
    openThroughDialog(aurora);
    openThroughDialog(birch);
    const Colours auroraColours = coloursOfFile(aurora);
    QMenu *recent = form->recentSkins().menu();
    emit recent->aboutToShow();
    // Newest first: birch, then aurora.
    QAction *auroraItem = recent->actions().value(1);
    ASSERT_NE(auroraItem, nullptr);
    EXPECT_TRUE(auroraItem->text().endsWith(QStringLiteral("aurora.skin")));
    expectQuiet(driver.choose(auroraItem), QStringLiteral("Недавние → aurora.skin"));
    EXPECT_EQ(coloursOf(form->document()), auroraColours);
    QFile kept(platform::dataFolder() + QStringLiteral("recent-skins.txt"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(kept.readAll()).startsWith(QFileInfo(aurora).absoluteFilePath()));
}
