#include "ProgramFolderFixture.h"
#include "TestFiles.h"
#include "core/SettingsFile.h"
#include "preview/PhonePreview.h"
#include "ui/ArrowSpinBox.h"
#include "ui/ColourWindow.h"
#include "ui/MainWindow.h"
#include "ui/PreviewWindow.h"
#include "ui/SaveDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A program folder of its own for every test: the settings file is what each test is about.
class SettingsFileInUse : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString error = ProgramFolderFixture::create(m_dir.path());
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        ASSERT_TRUE(testfiles::write(m_dir.filePath(QStringLiteral("mobiles/base.txt")),
                                     "phone = Alpha\r\n176*208\r\n0,0\r\nalpha.png\r\n"
                                     "phone = Bravo\r\n208*208\r\n0,0\r\nbravo.png\r\n"));
    }

    QString settingsFile() const { return m_dir.filePath(QStringLiteral("Settings.cfg")); }
    void writeSettingsFile(const QByteArray &bytes)
    {
        ASSERT_TRUE(testfiles::write(settingsFile(), bytes));
    }

    std::unique_ptr<MainWindow> start()
    {
        testing::internal::CaptureStderr();
        auto form = std::make_unique<MainWindow>(
            m_dir.path() + u'/', QString(),
            [this](const QString &, const QString &text, const QString &detail) {
                messages.append(text + u'|' + detail);
            });
        stderrText = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_FALSE(form->startupFailed());
        return form;
    }

    QTemporaryDir m_dir;
    QStringList messages;
    QString stderrText;
};

} // namespace

TEST_F(SettingsFileInUse, AFreshStartWritesTheDefaultTextAndLooksLikeIt)
{
    QFile::remove(settingsFile());
    auto form = start();
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    EXPECT_EQ(testfiles::read(settingsFile()), defaultSettingsText(desktop));
    EXPECT_TRUE(form->toggleCheck(Toggle::Menu)->isChecked());
    EXPECT_FALSE(form->preview()->state().menuLeft);
    EXPECT_TRUE(form->previewWindow()->otherSideAction(Toggle::MenuLeft)->isChecked());
    EXPECT_TRUE(form->toggleCheck(Toggle::Notifications)->isChecked());
    EXPECT_FALSE(form->toggleCheck(Toggle::NotificationsLeft)->isChecked());
    EXPECT_TRUE(form->toggleCheck(Toggle::Offline)->isChecked());
    EXPECT_TRUE(form->toggleCheck(Toggle::ClientIcons)->isChecked());
    EXPECT_TRUE(form->expertModeCheck()->isChecked());
    EXPECT_EQ(form->opacitySlider()->value(), 243);
    EXPECT_NEAR(form->colourWindow()->windowOpacity(), 243 / 255.0, 0.01);
    // No place stored yet: both windows whole on the screen, side by side where they fit.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect main(form->pos(), form->frameGeometry().size());
    const QRect preview(form->previewWindow()->pos(),
                        form->previewWindow()->frameGeometry().size());
    EXPECT_TRUE(area.contains(preview)) << "the phone whole on the screen";
    EXPECT_TRUE(area.contains(main.topLeft())) << "the main window's title bar on the screen";
    if (main.width() + preview.width() <= area.width()) {
        EXPECT_FALSE(main.intersects(preview)) << "neither covers the other";
    }
    // The default model is not among this folder's phones: the typed size it names applies.
    EXPECT_EQ(form->modelCombo()->currentText(), kCustomSizeEntry);
    EXPECT_EQ(form->preview()->screenSize(), QSize(240, 320));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

TEST_F(SettingsFileInUse, EverythingChangedComesBackAfterExitAndRestart)
{
    SettingsValues changed;
    {
        auto form = start();
        form->toggleCheck(Toggle::Offline)->setChecked(true);
        form->toggleCheck(Toggle::Groups)->setChecked(true);
        form->toggleCheck(Toggle::MiniClock)->setChecked(true);
        form->toggleCheck(Toggle::Menu)->setChecked(true);
        form->previewWindow()->toggleAction(Toggle::MenuLeft)->trigger();
        form->toggleCheck(Toggle::Notifications)->setChecked(true);
        form->toggleCheck(Toggle::NotificationsLeft)->setChecked(true);
        form->sortButtons()->button(1)->click();
        form->selectionStyleButtons()->button(0)->click();
        form->setColumnCount(4);
        form->opacitySlider()->setValue(150);
        form->selectModel(QStringLiteral("Bravo"));
        form->settingsAtStartCheck()->setChecked(true);
        form->settingsScreenCheck()->setChecked(true);
        form->setFontAsker([](const QFont &) -> std::optional<QFont> {
            QFont chosen(QStringLiteral("Nokia Hindi S60"));
            chosen.setPointSize(11);
            chosen.setItalic(true);
            return chosen;
        });
        form->chatFontButton()->click();
        form->saveWindow()->backgroundFormat().select(PictureFormat::Png);
        form->saveWindow()->cursorFormat().quality->setValue(42);
        form->saveWindow()->chooseFolder(m_dir.path());
        form->saveWindow()->systemVersionCombo()->setCurrentIndex(0);
        form->move(40, 50);
        form->previewWindow()->move(70, 90);
        changed = form->currentSettings();
        form->quit();
    }
    auto again = start();
    EXPECT_EQ(again->currentSettings(), changed);
    EXPECT_EQ(again->preview()->state().chatFont.points(), 11);
    EXPECT_TRUE(again->preview()->state().chatFont.italic);
    EXPECT_EQ(again->modelCombo()->currentText(), QStringLiteral("Bravo"));
    EXPECT_EQ(again->preview()->state().columns, 4);
    EXPECT_EQ(again->preview()->state().selection, SelectionMode::SingleElement);
    EXPECT_TRUE(again->previewWindow()->toggleAction(Toggle::MenuLeft)->isChecked());
}

TEST_F(SettingsFileInUse, AnOptionSavedOffStaysOffThoughTheDefaultsTickIt)
{
    QFile::remove(settingsFile());
    {
        auto form = start();
        ASSERT_TRUE(form->toggleCheck(Toggle::Offline)->isChecked());
        form->toggleCheck(Toggle::Offline)->setChecked(false);
        form->toggleCheck(Toggle::ClientIcons)->setChecked(false);
        form->quit();
    }
    auto again = start();
    EXPECT_FALSE(again->toggleCheck(Toggle::Offline)->isChecked());
    EXPECT_FALSE(again->toggleCheck(Toggle::ClientIcons)->isChecked());
    EXPECT_FALSE(again->preview()->state().showOffline);
}

TEST_F(SettingsFileInUse, ClosingThePreviewWindowDoesNotWriteTheFile)
{
    auto form = start();
    form->toggleCheck(Toggle::MiniClock)->setChecked(true);
    form->previewWindow()->close();
    EXPECT_EQ(testfiles::read(settingsFile()), QByteArray());
}

TEST_F(SettingsFileInUse, TheLastLineExpertClearsTheExpertMode)
{
    writeSettingsFile("{ PreviewColumns }\r\n3\r\n{ Expert }");
    auto form = start();
    EXPECT_FALSE(form->expertModeCheck()->isChecked());
    EXPECT_TRUE(form->optionTabs()->isHidden());
    EXPECT_FALSE(form->saveWindow()->expertLayout());
    EXPECT_EQ(form->preview()->state().columns, 3);
}

TEST_F(SettingsFileInUse, TheOldInterfaceStartsInTheMainWindowWithTheExpertModeLocked)
{
    writeSettingsFile("{ Expert }\r\n0\r\n{ OldInterface }\r\n1\r\n");
    auto form = start();
    EXPECT_TRUE(form->oldInterfaceCheck()->isChecked());
    EXPECT_TRUE(form->expertModeCheck()->isChecked());
    EXPECT_FALSE(form->expertModeCheck()->isEnabled());
    EXPECT_TRUE(form->isVisible()) << "the main window holds the screen";
    EXPECT_FALSE(form->previewWindow()->hostsControl());
    EXPECT_EQ(form->previewWindow()->windowOpacity(), 0.0);
}

TEST_F(SettingsFileInUse, BadNumbersAndHugeFilesAreReportedAndTheRestStartsNormally)
{
    writeSettingsFile("{ PreviewColumns }\r\nfour\r\n{ miniClock }\r\n1\r\n");
    {
        auto form = start();
        EXPECT_TRUE(stderrText.contains(QStringLiteral("{ PreviewColumns }")));
        EXPECT_EQ(form->preview()->state().columns, 2);
        EXPECT_TRUE(form->toggleCheck(Toggle::MiniClock)->isChecked());
    }
    QByteArray huge("{ miniClock }\r\n1\r\n");
    huge.append(QByteArray(kMaxSettingsFileSize, ' '));
    writeSettingsFile(huge);
    auto form = start();
    EXPECT_FALSE(form->toggleCheck(Toggle::MiniClock)->isChecked());
    EXPECT_TRUE(stderrText.contains(QStringLiteral("Settings not read")))
        << stderrText.toStdString();
}

TEST_F(SettingsFileInUse, AFailedWriteIsReportedOnceAndExitStillEnds)
{
    auto form = start();
    // A folder where the file should be: nothing can replace it.
    ASSERT_TRUE(QFile::remove(settingsFile()));
    ASSERT_TRUE(QDir().mkdir(settingsFile()));
    form->quit();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(settingsFile()));
    EXPECT_TRUE(QFileInfo(settingsFile()).isDir());
}
