#include "startup/Startup.h"
#include "ProgramFolderFixture.h"
#include "TestFiles.h"
#include "platform/WritablePlaces.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Where the chat window's conversation starts.
constexpr int kLeft = 3;
constexpr int kTop = 22;

class Start : public ::testing::Test
{
protected:
    void install(ProgramFolderFixture::Skip skip = ProgramFolderFixture::Skip::Nothing)
    {
        const QString error = ProgramFolderFixture::create(m_dir.path(), skip);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    }
    StartupSetup setup()
    {
        StartupSetup s;
        s.programFolder = m_dir.path() + u'/';
        s.scratchFolder = m_scratch.path();
        s.random = &m_random;
        return s;
    }
    StartupReporter reporter()
    {
        return {[this](const QString &text) { progress.append(text); },
                [this](const QString &text) {
                    errors.append(text);
                }};
    }
    QTemporaryDir m_dir;
    platform::ScratchFolder m_scratch;
    std::mt19937 m_random{1};
    QStringList progress;
    QStringList errors;
    SkinDocument document;
};

} // namespace

TEST_F(Start, LoadsEverythingInTheWindowsOrder)
{
    install();
    ASSERT_TRUE(m_scratch.isValid());
    auto resources = startProgram(setup(), reporter(), document);
    ASSERT_TRUE(resources) << errors.join(u' ').toStdString();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(progress, (QStringList{
                            QStringLiteral("Загрузка фона по умолчанию..."),
                            QStringLiteral("Загрузка курсора по умолчанию..."),
                            QStringLiteral("Загрузка иконок x-статусов..."),
                            QStringLiteral("Загрузка иконок статусов..."),
                            QStringLiteral("Загрузка иконок клиентов..."),
                            QStringLiteral("Загрузка иконок приватных статусов..."),
                            QStringLiteral("Загрузка иконок меню..."),
                            QStringLiteral("Загрузка иконок смайлов..."),
                        }));
    EXPECT_EQ(document.pictures().BackgroundSource.size(), QSize(240, 320));
    EXPECT_EQ(document.pictures().CursorPicture.size(), QSize(120, 18));
    EXPECT_EQ(document.slotColour(0), defaultSlotColour(0));
    EXPECT_EQ(resources->StatusIcons.Count(), 64);
    EXPECT_FALSE(QDir(m_dir.filePath(QStringLiteral("temp"))).exists())
        << "the program folder is never written";
    EXPECT_FALSE(QDir(m_scratch.path() + QStringLiteral("temp")).isEmpty());
}

TEST_F(Start, StopsAtTheFirstMissingFileWithItsMessage)
{
    install(ProgramFolderFixture::Skip::Cursor);
    EXPECT_FALSE(startProgram(setup(), reporter(), document));
    EXPECT_EQ(errors,
              QStringList{QStringLiteral("Ошибка!\nФайл \"default_cursor.jpg\" не найден")});
    EXPECT_EQ(progress.last(), QStringLiteral("Загрузка курсора по умолчанию..."));

    errors.clear();
    QTemporaryDir other;
    ASSERT_EQ(ProgramFolderFixture::create(other.path(), ProgramFolderFixture::Skip::Bmconv),
              QString());
    StartupSetup s = setup();
    s.programFolder = other.path() + u'/';
    EXPECT_FALSE(startProgram(s, reporter(), document));
    EXPECT_EQ(errors, QStringList{QStringLiteral("Ошибка!\nФайл \"bmconv\" не найден")});
}

TEST_F(Start, AnUnreadableDefaultPictureIsAnErrorNotACrash)
{
    install();
    ASSERT_TRUE(testfiles::write(m_dir.filePath(QStringLiteral("default_back.jpg")), "no jpeg"));
    EXPECT_FALSE(startProgram(setup(), reporter(), document));
    EXPECT_EQ(errors, QStringList{QStringLiteral(
                          "Ошибка!\nФайл \"default_back.jpg\" не удалось прочитать")});
}

// The icon files load two at a time, but what the user sees must stay one file after another: a
// broken file's message boxes come after its own progress text and before the next one, and the
// files after it still load. A missing file later on ends start-up at its place.
TEST_F(Start, IconFilesReportInOrderThoughTheyLoadTogether)
{
    install();
    // The second file, so that its quick failure comes while the first is still loading.
    ASSERT_TRUE(testfiles::write(m_dir.filePath(QStringLiteral("ICQ/Status.mbm")), "broken"));
    QStringList seen;
    StartupSetup s = setup();
    s.messages = [&seen](const QString &, const QString &text) {
        seen.append(QStringLiteral("message"));
        EXPECT_FALSE(text.isEmpty());
    };
    StartupReporter r{[&seen](const QString &text) { seen.append(text); },
                      [&seen](const QString &text) {
                          seen.append(text);
                      }};
    const auto res = loadPreviewResources(s, r);
    ASSERT_TRUE(res);
    const qsizetype broken = seen.indexOf(QStringLiteral("Загрузка иконок статусов..."));
    const qsizetype next = seen.indexOf(QStringLiteral("Загрузка иконок клиентов..."));
    ASSERT_GE(broken, 0);
    ASSERT_EQ(seen.count(QStringLiteral("message")), next - broken - 1);
    EXPECT_GT(next - broken - 1, 0) << seen.join(u'|').toStdString();
    EXPECT_EQ(res->StatusIcons.Count(), 0);
    EXPECT_EQ(res->ClientIcons.Count(), 86);
    EXPECT_EQ(res->PrivateStatusIcons.Count(), 6);

    seen.clear();
    ASSERT_TRUE(QFile::remove(m_dir.filePath(QStringLiteral("ICQ/PStatus.mbm"))));
    EXPECT_FALSE(loadPreviewResources(s, r));
    EXPECT_EQ(seen.mid(seen.size() - 2),
              (QStringList{QStringLiteral("Загрузка иконок меню..."),
                           QStringLiteral("Ошибка!\nФайл \"ICQ/PStatus.mbm\" не найден")}));
}

// The window starts the icon files before it builds itself; however long before start-up takes
// them, a broken file's messages wait for their place after its progress text.
TEST_F(Start, APreloadReportsAsIfTheFilesLoadedWhenTaken)
{
    install();
    ASSERT_TRUE(testfiles::write(m_dir.filePath(QStringLiteral("ICQ/XStatus.mbm")), "broken"));
    QStringList seen;
    StartupSetup s = setup();
    s.messages = [&seen](const QString &, const QString &) {
        seen.append(QStringLiteral("message"));
    };
    IconPreload preload(s);
    // Every file, the broken one included, has had its say before start-up takes them.
    QElapsedTimer clock;
    clock.start();
    while (!preload.finished() && clock.elapsed() < 60000)
        QThread::msleep(2);
    ASSERT_TRUE(preload.finished());
    EXPECT_TRUE(seen.isEmpty()) << "nothing is shown before start-up takes it";
    StartupReporter r{[&seen](const QString &text) { seen.append(text); },
                      [&seen](const QString &text) {
                          seen.append(text);
                      }};
    const auto res = loadPreviewResources(s, r, &preload);
    ASSERT_TRUE(res);
    ASSERT_GE(seen.size(), 3);
    EXPECT_EQ(seen.first(), QStringLiteral("Загрузка иконок x-статусов..."));
    const qsizetype next = seen.indexOf(QStringLiteral("Загрузка иконок статусов..."));
    EXPECT_GT(next, 1);
    EXPECT_EQ(seen.count(QStringLiteral("message")), next - 1) << seen.join(u'|').toStdString();
    EXPECT_EQ(res->XStatusIcons.Count(), 0);
    EXPECT_EQ(res->StatusIcons.Count(), 64);
    EXPECT_GT(res->smiles.images.Count(), 0);
}

TEST_F(Start, TheSampleContactListFollowsTheSeedUnlessThereIsAFile)
{
    install();
    std::mt19937 again{1};
    StartupSetup second = setup();
    second.random = &again;
    const auto a = loadPreviewResources(setup(), reporter());
    const auto b = loadPreviewResources(second, reporter());
    ASSERT_TRUE(a && b);
    ASSERT_FALSE(a->loadedList.Groups.isEmpty());
    ASSERT_EQ(a->loadedList.Groups.size(), b->loadedList.Groups.size());
    for (qsizetype g = 0; g < a->loadedList.Groups.size(); ++g) {
        const auto &one = a->loadedList.Groups[g].Contacts;
        const auto &other = b->loadedList.Groups[g].Contacts;
        ASSERT_EQ(one.size(), other.size());
        for (qsizetype c = 0; c < one.size(); ++c)
            EXPECT_EQ(one[c].Nick, other[c].Nick);
    }
}

TEST(CommandLine, AFileNamedRelativeToTheStartingFolderBecomesAbsolute)
{
    EXPECT_EQ(commandLineFile({QStringLiteral("velmora")}), QString());
    EXPECT_EQ(commandLineFile({QStringLiteral("velmora"), QStringLiteral("/x/a.skin")}),
              QStringLiteral("/x/a.skin"));
    const QString here = QDir::currentPath();
    EXPECT_EQ(commandLineFile({QStringLiteral("velmora"), QStringLiteral("my skin.skin"),
                               QStringLiteral("ignored")}),
              here + QStringLiteral("/my skin.skin"));
}

TEST(CommandLine, HelpAndVersionPrintAndTheFirstFileIsTheSkin)
{
    const QString here = QDir::currentPath();
    QTemporaryDir dir;
    const QString skin = dir.filePath(QStringLiteral("a.skin"));
    ASSERT_TRUE(testfiles::write(skin, "x"));
    const DesignerArguments plain =
        designerArguments({QStringLiteral("velmora"), skin, QStringLiteral("extra")});
    EXPECT_EQ(plain.skin, skin);
    EXPECT_FALSE(plain.help || plain.version);
    EXPECT_EQ(plain.ignored, QStringList{QStringLiteral("extra")});

    const DesignerArguments help =
        designerArguments({QStringLiteral("velmora"), QStringLiteral("--help")});
    EXPECT_TRUE(help.help);
    EXPECT_TRUE(help.ignored.isEmpty()) << "--help is no file to ignore";
    EXPECT_TRUE(designerArguments({QStringLiteral("velmora"), QStringLiteral("-v")}).version);

    // A first argument that is no file is not opened, and is named.
    const DesignerArguments missing =
        designerArguments({QStringLiteral("velmora"), QStringLiteral("nowhere.skin")});
    EXPECT_TRUE(missing.skin.isEmpty());
    EXPECT_EQ(missing.ignored, QStringList{QStringLiteral("nowhere.skin")});
    EXPECT_TRUE(designerUsage().startsWith(QStringLiteral("Usage: velmora")));
}

// As start-up builds the smiley pictures from files: the x-status and direction pictures are
// copies whose masks must still show them, and a picture file with fewer pairs than the list has
// lines must not shift them onto other smileys.
TEST_F(Start, BuiltInSmileysKeepTheirPicturesAndMasks)
{
    install();
    ASSERT_TRUE(testfiles::write(m_dir.filePath(QStringLiteral("Smilies/default.ini")),
                                 ":)\r\n;)\r\n:(\r\n*4*\r\n*5*\r\n")); // five lines, three pairs
    auto res = loadPreviewResources(setup(), reporter());
    ASSERT_TRUE(res);
    res->chat.ChatText = QStringLiteral("<~~<xstatus05>~~>[cover_in]*4*");
    PhonePreview preview(std::move(*res), document);
    preview.stopBlinking();
    preview.setSelection(SelectionMode::SingleElement);
    preview.setFont(&PreviewState::chatFont,
                    {QStringLiteral("Nokia Hindi S60"), -11, false, false});
    preview.setActiveScreen(PreviewScreen::Chat);
    const auto colour = [](const char *list, int icon) {
        return ProgramFolderFixture::iconColour(QString::fromLatin1(list), icon).rgb();
    };
    // Two 16-pixel pictures side by side in an 18-pixel line.
    EXPECT_EQ(preview.picture().pixel(kLeft + 1 + 8, kTop + 1 + 8), colour("XStatus", 8));
    EXPECT_EQ(preview.picture().pixel(kLeft + 18 + 1 + 8, kTop + 1 + 8), colour("pricons", 90));
    EXPECT_EQ(preview.regions().regions(1).size(), 2) << "the title's status row and \"*4*\"";
}

int main(int argc, char **argv)
{
    // Drawing needs fonts, so a GUI application object, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
