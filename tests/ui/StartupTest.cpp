#include "ProgramFolderFixture.h"
#include "TestFiles.h"
#include "preview/mainTolvoPreview.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A throw-away program folder holding just the files a test asks for.
class ProgramFolderTest : public ::testing::Test
{
protected:
    QString folder() const { return m_dir.path() + u'/'; }
    void installDefaults(ProgramFolderFixture::Skip skip = ProgramFolderFixture::Skip::Nothing)
    {
        const QString error = ProgramFolderFixture::create(m_dir.path(), skip);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    }
    void writeFile(const QString &name, const QByteArray &bytes)
    {
        ASSERT_TRUE(testfiles::write(folder() + name, bytes));
    }
    QTemporaryDir m_dir;
};

QByteArray skinBytes(quint8 firstRed)
{
    QByteArray bytes(60, '\0');
    bytes[0] = static_cast<char>(firstRed);
    bytes.append(QByteArray("\x01\x00m\x00", 4));
    return bytes;
}

} // namespace

TEST_F(ProgramFolderTest, StartsWithTheDefaultPicturesAndReleasesTheStartupWindow)
{
    installDefaults();
    TForm1 form(folder(), QString());
    EXPECT_FALSE(form.startupFailed());
    EXPECT_TRUE(form.startupComplete());
    EXPECT_EQ(form.startupWindow(), nullptr);
    EXPECT_EQ(form.pictures().BackgroundSource.size(), QSize(240, 320));
    EXPECT_EQ(form.pictures().CursorPicture.size(), QSize(120, 18));
    EXPECT_EQ(form.previewWindow()->shownScreen().size(), QSize(240, 320));
    ASSERT_NE(form.preview(), nullptr);
    EXPECT_FALSE(form.preview()->Busy);
    EXPECT_EQ(form.preview()->colour(1), defaultSlotColour(0));
    EXPECT_EQ(form.preview()->colour(0), kFixedWhite);
    EXPECT_EQ(form.preview()->resources().StatusIcons.Count(), 64);
    EXPECT_EQ(form.previewWindow()->windowOpacity(), 1.0);
    EXPECT_FALSE(form.isVisible()) << "the main window is shown only when the option asks for it";
    EXPECT_EQ(form.scheme().slotColour(0), defaultSlotColour(0));
}

TEST_F(ProgramFolderTest, MissingBackgroundStopsBeforeTheCursorIsLookedFor)
{
    TForm1 form(folder(), QString());
    ASSERT_TRUE(form.startupFailed());
    EXPECT_EQ(form.startupWindow()->message(),
              QStringLiteral("Ошибка!\nФайл \"default_back.jpg\" не найден"));
    EXPECT_FALSE(form.startupWindow()->history().contains(
        QStringLiteral("Загрузка курсора по умолчанию...")));
    EXPECT_FALSE(form.startupComplete());
    EXPECT_EQ(form.previewWindow()->windowOpacity(), 0.0);
}

TEST_F(ProgramFolderTest, MissingCursorIsReportedByName)
{
    installDefaults(ProgramFolderFixture::Skip::Cursor);
    TForm1 form(folder(), QString());
    ASSERT_TRUE(form.startupFailed());
    EXPECT_EQ(form.startupWindow()->message(),
              QStringLiteral("Ошибка!\nФайл \"default_cursor.jpg\" не найден"));
}

TEST_F(ProgramFolderTest, UndecodableDefaultPictureIsAStartupErrorNotACrash)
{
    installDefaults();
    writeFile(QStringLiteral("default_back.jpg"), QByteArray("\xFF\xD8\xFF garbage", 12));
    TForm1 form(folder(), QString());
    ASSERT_TRUE(form.startupFailed());
    EXPECT_TRUE(form.startupWindow()->message().contains(QStringLiteral("default_back.jpg")));
}

TEST_F(ProgramFolderTest, MissingResourcesStopTheStartupInOrder)
{
    using Skip = ProgramFolderFixture::Skip;
    const struct
    {
        Skip skip;
        QString message;
        QString lastProgress;
    } cases[] = {
        {Skip::Bmconv, QStringLiteral("Ошибка!\nФайл \"bmconv\" не найден"),
         QStringLiteral("Загрузка иконок x-статусов...")},
        {Skip::StatusMbm, QStringLiteral("Ошибка!\nФайл \"ICQ/Status.mbm\" не найден"),
         QStringLiteral("Загрузка иконок статусов...")},
        {Skip::SmiliesIni, QStringLiteral("Ошибка!\nФайл \"Smilies/default.ini\" не найден"),
         QStringLiteral("Загрузка иконок смайлов...")},
        {Skip::SmiliesMbm, QStringLiteral("Ошибка!\nФайл \"Smilies/default.mbm\" не найден"),
         QStringLiteral("Загрузка иконок смайлов...")},
        {Skip::TextOfChat, QStringLiteral("Ошибка!\nФайл \"TextOfChat.txt\" не найден"),
         QStringLiteral("Загрузка иконок смайлов...")},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(ProgramFolderFixture::create(dir.path(), c.skip).isEmpty());
        TForm1 form(dir.path() + u'/', QString());
        ASSERT_TRUE(form.startupFailed()) << c.message.toStdString();
        EXPECT_EQ(form.startupWindow()->message(), c.message);
        const QStringList history = form.startupWindow()->history();
        ASSERT_GE(history.size(), 2);
        EXPECT_EQ(history[history.size() - 2], c.lastProgress);
        EXPECT_EQ(form.preview(), nullptr);
        EXPECT_EQ(form.previewWindow()->windowOpacity(), 0.0);
    }
}

TEST_F(ProgramFolderTest, CommandLineSkinIsOpenedWhateverItsName)
{
    installDefaults();
    writeFile(QStringLiteral("colours.dat"), skinBytes(77));
    TForm1 form(folder(), folder() + QStringLiteral("colours.dat"));
    EXPECT_EQ(colorRed(form.scheme().slotColour(0)), 77);
    EXPECT_EQ(colorRed(form.preview()->colour(1)), 77);
    EXPECT_FALSE(form.preview()->Busy);
    EXPECT_EQ(form.skinTexts().mifName, QStringLiteral("m"));
    EXPECT_EQ(form.skinTexts().skinFileName, QStringLiteral("colours.dat"));
}

TEST_F(ProgramFolderTest, CommandLineArgumentThatIsNotAFileIsIgnored)
{
    installDefaults();
    QDir(folder()).mkdir(QStringLiteral("folder.skin"));
    for (const QString &arg : {folder() + QStringLiteral("folder.skin"),
                               folder() + QStringLiteral("missing.skin"), QStringLiteral("-x")}) {
        TForm1 form(folder(), arg);
        EXPECT_FALSE(form.startupFailed());
        EXPECT_EQ(form.scheme().slotColour(0), defaultSlotColour(0));
        EXPECT_EQ(form.skinTexts().skinFileName, QStringLiteral("default.skin"));
    }
}

TEST_F(ProgramFolderTest, BrokenSkinShowsTheMessageAndKeepsWhatWasRead)
{
    installDefaults();
    writeFile(QStringLiteral("cut.skin"), skinBytes(200).left(5));
    TForm1 form(folder(), QString());
    QStringList messages;
    form.setMessageSink(
        [&](const QString &, const QString &text, const QString &) { messages.append(text); });
    form.openSkin(folder() + QStringLiteral("cut.skin"));
    EXPECT_EQ(messages, QStringList{QStringLiteral("Ошибка при загрузке скина!")});
    EXPECT_EQ(colorRed(form.scheme().slotColour(0)), 200);
    EXPECT_EQ(colorRed(form.preview()->colour(1)), 200);
    EXPECT_EQ(form.scheme().slotColour(1), defaultSlotColour(1));
    EXPECT_FALSE(form.preview()->Busy);
}

TEST_F(ProgramFolderTest, QuitEmptiesTempButKeepsItsFolders)
{
    installDefaults();
    TForm1 form(folder(), QString());
    QDir(folder()).mkpath(QStringLiteral("temp/sub"));
    writeFile(QStringLiteral("temp/1.bmp"), "x");
    writeFile(QStringLiteral("temp/.hidden"), "x");
    writeFile(QStringLiteral("temp/sub/keep.txt"), "x");
    form.quit();
    EXPECT_TRUE(QDir(folder() + QStringLiteral("temp")).exists());
    EXPECT_EQ(QDir(folder() + QStringLiteral("temp")).entryList(QDir::Files | QDir::Hidden).size(),
              0);
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("temp/sub/keep.txt")));
}

TEST_F(ProgramFolderTest, ClosingTheMainWindowOnlyHidesIt)
{
    installDefaults();
    TForm1 form(folder(), QString());
    form.previewWindow()->show();
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.previewWindow()->isVisible());
}

TEST_F(ProgramFolderTest, ClosingThePreviewWindowEndsWithoutCleaningUp)
{
    installDefaults();
    TForm1 form(folder(), QString());
    QDir(folder()).mkdir(QStringLiteral("temp"));
    writeFile(QStringLiteral("temp/1.bmp"), "x");
    form.previewWindow()->show();
    bool ended = false;
    QObject::connect(form.previewWindow(), &TForm3::closedByUser, [&] { ended = true; });
    form.previewWindow()->close();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("temp/1.bmp")));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
