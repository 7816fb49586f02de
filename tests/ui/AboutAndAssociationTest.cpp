#include "TestFiles.h"
#include "WindowFixture.h"
#include "platform/Association.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"
#include "ui/PreviewWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class OutwardFacing : public WindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(startWindow());
        form->setUrlOpener([this](const QUrl &url) {
            opened.append(url);
            return opens;
        });
    }

    QList<QUrl> opened;
    // Whether the desktop has a program for what is opened.
    bool opens = true;
};

// A registry in memory that refuses every write once told to.
class RefusingRegistry : public platform::MemoryRegistry
{
public:
    Result<void> setValue(const QString &key, const QString &name, const QString &data) override
    {
        if (refuse)
            return fail(Error::io(QStringLiteral("HKEY_CLASSES_ROOT\\%1: refused").arg(key)));
        return MemoryRegistry::setValue(key, name, data);
    }
    bool refuse = false;
};

} // namespace

TEST_F(OutwardFacing, HelpOpensTheProgramsHelpFileAndAMissingOneDoesNothing)
{
    const QString help = s_dir->filePath(QStringLiteral("Help.html"));
    QFile::remove(help);
    form->commands().preview(Command::Help)->trigger();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    ASSERT_TRUE(testfiles::write(help, "<html></html>"));
    form->commands().preview(Command::Help)->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(help));
}

// A desktop without a program for HTML files opens nothing: the user is told, with the file to
// open by hand.
TEST_F(OutwardFacing, HelpThatCannotBeOpenedIsReportedWithItsFile)
{
    const QString help = s_dir->filePath(QStringLiteral("Help.html"));
    ASSERT_TRUE(testfiles::write(help, "<html></html>"));
    opens = false;
    form->commands().preview(Command::Help)->trigger();
    ASSERT_EQ(opened.size(), 1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Не удалось открыть справку."));
    EXPECT_TRUE(details[0].contains(QDir::toNativeSeparators(help))) << details[0].toStdString();
}

TEST_F(OutwardFacing, TheAboutBoxOpensWithoutBlockingAndItsLinksOpenTheirAddresses)
{
    ASSERT_TRUE(testfiles::write(s_dir->filePath(QStringLiteral("about.txt")),
                                 "Makers, 2026\r\nE-Mail: a@b.c\r\nhttps://forum.example/u/1\r\n"
                                 "https://site.example\r\n"));
    // The box reads about.txt when it is made: start again over the new file.
    ASSERT_NO_FATAL_FAILURE(startWindow());
    form->setUrlOpener([this](const QUrl &url) {
        opened.append(url);
        return true;
    });
    form->commands().preview(Command::About)->trigger();
    AboutBox *about = form->aboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("О программе..."));
    EXPECT_EQ(about->size(), QSize(345, 210));
    EXPECT_TRUE(about->siteLink()->text().contains(QStringLiteral("site.example")));
    EXPECT_TRUE(about->buildDate()->text().startsWith(QStringLiteral("Дата компиляции: ")));
    EXPECT_TRUE(about->buildDate()->text().endsWith(QStringLiteral(" г.")));
    // An empty line between the thanks and the date, and everything inside the box.
    QLabel *thanks = nullptr;
    for (QLabel *label : about->findChildren<QLabel *>()) {
        if (label->text().startsWith(QStringLiteral("Спасибо")))
            thanks = label;
    }
    ASSERT_NE(thanks, nullptr);
    EXPECT_GE(about->buildDate()->geometry().top() - thanks->geometry().bottom(),
              thanks->fontMetrics().lineSpacing());
    EXPECT_LE(about->siteLink()->geometry().bottom(), about->rect().bottom());
    emit about->forumLink()->linkActivated(QStringLiteral("https://forum.example/u/1"));
    emit about->siteLink()->linkActivated(QStringLiteral("https://site.example"));
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1], QUrl(QStringLiteral("https://site.example")));
    about->close();
    QFile::remove(s_dir->filePath(QStringLiteral("about.txt")));
}

TEST(BuildDate, IsARealRussianDate)
{
    // "8 декабря 2026 г.": day, month in the genitive, year; an unreadable compiler date would
    // leave only " г.".
    const QString text = buildDateText();
    static const QRegularExpression form(QStringLiteral("^\\d{1,2} [а-я]+ \\d{4} г\\.$"));
    EXPECT_TRUE(form.match(text).hasMatch()) << text.toStdString();
}

TEST_F(OutwardFacing, TheCheckBoxAssociatesAndGivesBack)
{
    RefusingRegistry registry;
    ASSERT_TRUE(registry.setValue(QStringLiteral(".skin"), QString(), QStringLiteral("Other")));
    form->setAssociationStore(
        platform::makeRegistryAssociation(registry, QStringLiteral("C:\\velmora.exe")));
    EXPECT_FALSE(form->associationCheck()->isChecked());
    form->associationCheck()->setChecked(true);
    EXPECT_TRUE(form->associationStore()->IsAssociated());
    form->associationCheck()->setChecked(false);
    EXPECT_FALSE(form->associationStore()->IsAssociated());
    EXPECT_EQ(registry.value(QStringLiteral(".skin"), QString()), QStringLiteral("Other"));

    // A store that will not take the change: the user hears why and the box tells the truth.
    registry.refuse = true;
    form->associationCheck()->setChecked(true);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_FALSE(form->associationCheck()->isChecked());

    // Already associated when the box is set: nothing is written.
    registry.refuse = false;
    auto store = platform::makeRegistryAssociation(registry, QStringLiteral("C:\\velmora.exe"));
    ASSERT_TRUE(store->Associate());
    registry.refuse = true;
    form->setAssociationStore(std::move(store));
    EXPECT_TRUE(form->associationCheck()->isChecked());
    form->associationCheck()->setChecked(false);
    form->associationCheck()->setChecked(true);
    EXPECT_EQ(messages.size(), 2) << "only the removal was refused";
}

TEST_F(OutwardFacing, EveryFileDialogStartsWhereTheLastOneWasLeft)
{
    QStringList folders;
    QString answer;
    form->setFileAsker([&](bool, const QString &folder, const QString &) {
        folders.append(folder);
        return answer;
    });
    // No sample skins in this program folder: the first dialog starts at home.
    form->openSkinAsked();
    ASSERT_EQ(folders.size(), 1);
    EXPECT_EQ(folders[0], QDir::homePath());

    QTemporaryDir elsewhere;
    answer = elsewhere.filePath(QStringLiteral("pictures/back.png"));
    form->importBackgroundAsked(); // the background import: the file does not exist, it is only
                                   // reported
    answer.clear();
    form->screenshotAsked(); // the screenshot, cancelled
    form->importColourSchemeAsked();
    ASSERT_EQ(folders.size(), 4);
    EXPECT_EQ(folders[2], elsewhere.filePath(QStringLiteral("pictures")));
    EXPECT_EQ(folders[3], elsewhere.filePath(QStringLiteral("pictures")))
        << "a cancelled dialog keeps the folder";
}

TEST_F(OutwardFacing, TheFirstDialogStartsInTheSampleSkins)
{
    ASSERT_TRUE(QDir(s_dir->path()).mkpath(QStringLiteral("skins")));
    ASSERT_NO_FATAL_FAILURE(startWindow());
    QString started;
    form->setFileAsker([&](bool, const QString &folder, const QString &) {
        started = folder;
        return QString();
    });
    form->openSkinAsked();
    EXPECT_EQ(QDir(started), QDir(s_dir->filePath(QStringLiteral("skins"))));
    QDir(s_dir->filePath(QStringLiteral("skins"))).removeRecursively();
}

// The program only ever reports failures, so its boxes carry the warning sign, and the reason
// sits under the message where the user looks for it.
TEST(MessageBoxes, AreWarningsWithTheReasonUnderTheText)
{
    const auto box = MainWindow::messageBox(QString(), QStringLiteral("Ошибка при загрузке скина!"),
                                            QStringLiteral("a.skin: cut short"), nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Velmora for TolvoICQ"));
    EXPECT_EQ(box->text(), QStringLiteral("Ошибка при загрузке скина!"));
    EXPECT_EQ(box->informativeText(), QStringLiteral("a.skin: cut short"));
    EXPECT_EQ(
        MainWindow::messageBox(QStringLiteral("RunCaptured Error"), QString(), QString(), nullptr)
            ->windowTitle(),
        QStringLiteral("RunCaptured Error"));
}
