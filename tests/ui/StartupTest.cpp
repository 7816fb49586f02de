#include "ProgramFolderFixture.h"
#include "TestFiles.h"
#include "containers/MifImageList.h"
#include "containers/PictureCodecs.h"
#include "containers/SvgWrap.h"
#include "preview/PhonePreview.h"
#include "ui/MainWindow.h"
#include "ui/PreviewWindow.h"
#include "ui/StartupWindow.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTranslator>

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
    // Message boxes would wait for a click; the tests read them instead.
    MainWindow::MessageSink sink()
    {
        return [this](const QString &, const QString &text, const QString &) {
            messages.append(text);
        };
    }
    QTemporaryDir m_dir;
    QStringList messages;
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
    MainWindow form(folder(), QString(), sink());
    EXPECT_FALSE(form.startupFailed());
    EXPECT_TRUE(form.startupComplete());
    EXPECT_EQ(form.startupWindow(), nullptr);
    EXPECT_EQ(form.document().pictures().BackgroundSource.size(), QSize(240, 320));
    EXPECT_EQ(form.document().pictures().CursorPicture.size(), QSize(120, 18));
    EXPECT_EQ(form.previewWindow()->shownScreen().size(), QSize(240, 320));
    ASSERT_NE(form.preview(), nullptr);
    EXPECT_FALSE(form.preview()->busy());
    EXPECT_EQ(form.preview()->colour(1), defaultSlotColour(0));
    EXPECT_EQ(form.preview()->colour(0), kFixedWhite);
    EXPECT_EQ(form.preview()->resources().StatusIcons.Count(), 64);
    EXPECT_EQ(form.previewWindow()->windowOpacity(), 1.0);
    EXPECT_FALSE(form.isVisible()) << "the main window is shown only when the option asks for it";
    EXPECT_EQ(form.document().scheme().slotColour(0), defaultSlotColour(0));
}

TEST_F(ProgramFolderTest, MissingBackgroundStopsBeforeTheCursorIsLookedFor)
{
    MainWindow form(folder(), QString(), sink());
    ASSERT_TRUE(form.startupFailed());
    EXPECT_EQ(form.startupWindow()->message(),
              QStringLiteral("Ошибка!\nФайл \"default_back.jpg\" не найден"));
    EXPECT_FALSE(form.startupWindow()->history().contains(
        QStringLiteral("Загрузка курсора по умолчанию...")));
    EXPECT_FALSE(form.startupComplete());
    EXPECT_EQ(form.previewWindow()->windowOpacity(), 0.0);
    EXPECT_EQ(form.startupWindow()->windowTitle(), QStringLiteral("Velmora for TolvoICQ"))
        << "one product name throughout";
}

TEST_F(ProgramFolderTest, MissingCursorIsReportedByName)
{
    installDefaults(ProgramFolderFixture::Skip::Cursor);
    MainWindow form(folder(), QString(), sink());
    ASSERT_TRUE(form.startupFailed());
    EXPECT_EQ(form.startupWindow()->message(),
              QStringLiteral("Ошибка!\nФайл \"default_cursor.jpg\" не найден"));
}

TEST_F(ProgramFolderTest, UndecodableDefaultPictureIsAStartupErrorNotACrash)
{
    installDefaults();
    writeFile(QStringLiteral("default_back.jpg"), QByteArray("\xFF\xD8\xFF garbage", 12));
    MainWindow form(folder(), QString(), sink());
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
        MainWindow form(dir.path() + u'/', QString(), sink());
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
    MainWindow form(folder(), folder() + QStringLiteral("colours.dat"), sink());
    EXPECT_EQ(colorRed(form.document().scheme().slotColour(0)), 77);
    EXPECT_EQ(colorRed(form.preview()->colour(1)), 77);
    EXPECT_FALSE(form.preview()->busy());
    EXPECT_EQ(form.document().texts().mifName, QStringLiteral("m"));
    EXPECT_EQ(form.document().texts().skinFileName, QStringLiteral("colours.dat"));
}

TEST_F(ProgramFolderTest, OpeningASkinBringsItsColoursAndBothPictures)
{
    installDefaults();
    // A skin folder elsewhere: a JPEG background wrapped as SVG, a bitmap cursor in the .mbm.
    QTemporaryDir skinDir;
    QImage background(200, 300, QImage::Format_RGB32);
    background.fill(QColor(200, 30, 30));
    QImage cursor(60, 10, QImage::Format_RGB32);
    cursor.fill(QColor(20, 220, 20));
    MifImageList mif;
    mif.WorkFolder = folder();
    const QByteArray jpeg = encodeJpeg(background, 95).value();
    ASSERT_TRUE(mif.AddSvgEntry(svgDocument(jpeg, "image/jpeg", 200, 300)));
    ASSERT_TRUE(mif.AddBitmapEntry(cursor));
    ASSERT_TRUE(mif.SaveToFile(skinDir.filePath(QStringLiteral("mine.mif"))));
    SkinData skin;
    skin.colours.fill(makeColor(1, 2, 3));
    skin.mifName = QStringLiteral("mine.mif");
    ASSERT_TRUE(
        testfiles::write(skinDir.filePath(QStringLiteral("mine.skin")), writeSkin(skin).value()));

    MainWindow form(folder(), QString(), sink());
    form.openSkin(skinDir.filePath(QStringLiteral("mine.skin")));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    EXPECT_EQ(form.preview()->colour(5), makeColor(1, 2, 3));
    EXPECT_EQ(form.document().pictures().BackgroundPicture.size(), QSize(200, 300));
    EXPECT_EQ(form.document().pictures().CursorPicture.size(), QSize(60, 10));
    EXPECT_TRUE(form.document().imageFiles().BackgroundFile.endsWith(QStringLiteral("temp/1.jpg")));
    EXPECT_TRUE(form.document().imageFiles().CursorFile.endsWith(QStringLiteral("temp/2.bmp")));
    // The screen shows the red background stretched to its size; the picture files stay in temp/.
    const QRgb corner = form.preview()->picture().pixel(0, 0);
    EXPECT_NEAR(qRed(corner), 200, 8);
    EXPECT_NEAR(qGreen(corner), 30, 8);
    EXPECT_TRUE(QFile::exists(form.document().imageFiles().CursorFile));
    EXPECT_FALSE(form.preview()->busy());
}

TEST_F(ProgramFolderTest, CommandLineArgumentThatIsNotAFileIsIgnored)
{
    installDefaults();
    QDir(folder()).mkdir(QStringLiteral("folder.skin"));
    for (const QString &arg : {folder() + QStringLiteral("folder.skin"),
                               folder() + QStringLiteral("missing.skin"), QStringLiteral("-x")}) {
        MainWindow form(folder(), arg, sink());
        EXPECT_FALSE(form.startupFailed());
        EXPECT_EQ(form.document().scheme().slotColour(0), defaultSlotColour(0));
        EXPECT_EQ(form.document().texts().skinFileName, QStringLiteral("default.skin"));
    }
}

TEST_F(ProgramFolderTest, BrokenSkinShowsTheMessageAndKeepsWhatWasRead)
{
    installDefaults();
    writeFile(QStringLiteral("cut.skin"), skinBytes(200).left(5));
    MainWindow form(folder(), QString(), sink());
    form.openSkin(folder() + QStringLiteral("cut.skin"));
    // The opening goes on to the pictures, whose .mif is missing too.
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], QStringLiteral("Ошибка при загрузке скина!"));
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("Ошибка при загрузке файла")));
    EXPECT_EQ(colorRed(form.document().scheme().slotColour(0)), 200);
    EXPECT_EQ(colorRed(form.preview()->colour(1)), 200);
    EXPECT_EQ(form.document().scheme().slotColour(1), defaultSlotColour(1));
    EXPECT_FALSE(form.preview()->busy());
}

TEST_F(ProgramFolderTest, QuitEmptiesTheScratchTempButKeepsItsFolders)
{
    installDefaults();
    MainWindow form(folder(), QString(), sink());
    const QString temp = form.scratchFolder() + QStringLiteral("temp/");
    ASSERT_FALSE(form.scratchFolder().isEmpty());
    ASSERT_TRUE(QDir().mkpath(temp + QStringLiteral("sub")));
    ASSERT_TRUE(testfiles::write(temp + QStringLiteral("1.bmp"), "x"));
    ASSERT_TRUE(testfiles::write(temp + QStringLiteral(".hidden"), "x"));
    ASSERT_TRUE(testfiles::write(temp + QStringLiteral("sub/keep.txt"), "x"));
    form.quit();
    EXPECT_TRUE(QDir(temp).exists());
    EXPECT_EQ(QDir(temp).entryList(QDir::Files | QDir::Hidden).size(), 0);
    EXPECT_TRUE(QFile::exists(temp + QStringLiteral("sub/keep.txt")));
}

// Start-up converts the client's icon files; none of that may land in the program folder, which
// may belong to another user or be installed read-only.
TEST_F(ProgramFolderTest, StartupAndOpeningASkinWriteNothingIntoTheProgramFolder)
{
    installDefaults();
    const QStringList before = QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QString scratch;
    {
        MainWindow form(folder(), QString(), sink());
        ASSERT_FALSE(form.startupFailed());
        scratch = form.scratchFolder();
        EXPECT_FALSE(scratch.startsWith(folder()));
        EXPECT_FALSE(QDir(scratch + QStringLiteral("temp")).isEmpty())
            << "the converter worked in the scratch folder";
    }
    EXPECT_EQ(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_FALSE(QFileInfo::exists(scratch)) << "the scratch folder goes with the window";
}

TEST_F(ProgramFolderTest, TwoWindowsAtOnceGetScratchFoldersOfTheirOwn)
{
    installDefaults();
    MainWindow first(folder(), QString(), sink());
    MainWindow second(folder(), QString(), sink());
    ASSERT_FALSE(first.startupFailed());
    ASSERT_FALSE(second.startupFailed());
    EXPECT_NE(first.scratchFolder(), second.scratchFolder());
    first.quit();
    EXPECT_FALSE(QDir(second.scratchFolder() + QStringLiteral("temp")).isEmpty())
        << "quitting one leaves the other's files alone";
}

TEST_F(ProgramFolderTest, ClosingTheMainWindowOnlyHidesIt)
{
    installDefaults();
    MainWindow form(folder(), QString(), sink());
    form.previewWindow()->show();
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.previewWindow()->isVisible());
}

TEST_F(ProgramFolderTest, ClosingThePreviewWindowEndsWithoutCleaningUp)
{
    installDefaults();
    MainWindow form(folder(), QString(), sink());
    const QString leftover = form.scratchFolder() + QStringLiteral("temp/1.bmp");
    ASSERT_TRUE(testfiles::write(leftover, "x"));
    form.previewWindow()->show();
    bool ended = false;
    QObject::connect(form.previewWindow(), &PreviewWindow::closedByUser, [&] { ended = true; });
    form.previewWindow()->close();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(QFile::exists(leftover));
}

TEST(QtDialogs, SpeakRussian)
{
    const QString english = QStringLiteral("Look in:");
    ASSERT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), english);
    QTranslator *russian = installRussianQtTranslations(*qApp);
    ASSERT_NE(russian, nullptr) << "Qt's Russian translations are not installed";
    const QString translated = QCoreApplication::translate("QFileDialog", "Look in:");
    QCoreApplication::removeTranslator(russian);
    delete russian;
    EXPECT_NE(translated, english);
    EXPECT_TRUE(translated.contains(QChar(0x0430)) || translated.contains(QChar(0x041F)))
        << translated.toStdString();
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
