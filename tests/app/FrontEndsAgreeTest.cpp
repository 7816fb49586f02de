// The window and the command line start the same way and draw the same screen.
#include "CliRun.h"
#include "ProgramFolderFixture.h"
#include "TestFiles.h"
#include "containers/PictureCodecs.h"
#include "core/SettingsFile.h"
#include "preview/PhonePreview.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FrontEnds : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString error = ProgramFolderFixture::create(m_folder.path());
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        setCliProgramFolder(folder());
    }
    void TearDown() override { setCliProgramFolder(QString()); }
    QString folder() const { return m_folder.path() + u'/'; }

    QImage cliRender(const QStringList &options)
    {
        const QString out = m_out.filePath(QStringLiteral("cli.png"));
        const CliRun run = runCommandLine(
            QStringList{QStringLiteral("render"), QStringLiteral("-o"), out} + options);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        auto picture = decodePng(testfiles::read(out), out);
        return picture ? picture->convertToFormat(QImage::Format_RGB32) : QImage();
    }

    // The window with a fixed sample list, its clock at 9:30 and no blinking.
    std::unique_ptr<MainWindow> startWindow(unsigned seed)
    {
        auto form = std::make_unique<MainWindow>(
            folder(), QString(), [](const QString &, const QString &, const QString &) {}, nullptr,
            seed);
        if (PhonePreview *preview = form->preview()) {
            preview->stopBlinking();
            preview->setClock([] { return QTime(9, 30); });
        }
        return form;
    }

    QTemporaryDir m_folder;
    QTemporaryDir m_out;
};

} // namespace

TEST_F(FrontEnds, TheCommandLineDrawsTheWindowsFirstFrame)
{
    auto form = startWindow(7);
    ASSERT_FALSE(form->startupFailed());
    PhonePreview *preview = form->preview();
    preview->Render();
    const QImage cli = cliRender({QStringLiteral("--seed"), QStringLiteral("7"),
                                  QStringLiteral("--time"), QStringLiteral("9:30")});
    ASSERT_EQ(cli.size(), preview->picture().size());
    EXPECT_TRUE(cli == preview->picture().convertToFormat(QImage::Format_RGB32));
}

TEST_F(FrontEnds, WithTheSameSettingsFileBothDrawTheSameScreen)
{
    SettingsValues settings;
    settings.showOffline = true;
    settings.showClients = true;
    settings.showMenu = true;
    settings.menuLeft = true;
    settings.columns = 3;
    settings.sortIndex = 1;
    settings.screenWidth = QStringLiteral("320");
    settings.screenHeight = QStringLiteral("240");
    settings.fonts[0] = SettingsFont{QStringLiteral("Nokia Hindi S60"), 2, 10};
    const QString file = folder() + QStringLiteral("Settings.cfg");
    ASSERT_TRUE(testfiles::write(file, writeSettings(settings)));
    auto form = startWindow(7);
    ASSERT_FALSE(form->startupFailed());
    PhonePreview *preview = form->preview();
    ASSERT_EQ(preview->state().columns, 3);
    preview->Render();

    const QStringList base = {QStringLiteral("--seed"), QStringLiteral("7"),
                              QStringLiteral("--time"), QStringLiteral("9:30")};
    const QImage cli = cliRender(base + QStringList{QStringLiteral("--settings"), file});
    ASSERT_EQ(cli.size(), QSize(320, 240));
    EXPECT_TRUE(cli == preview->picture().convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(cliRender(base) == cli) << "the options change the picture";
    // The command line's own options come after the file's.
    const QImage twoColumns =
        cliRender(base + QStringList{QStringLiteral("--columns"), QStringLiteral("2"),
                                     QStringLiteral("--settings"), file});
    EXPECT_FALSE(twoColumns == cli);
}

TEST_F(FrontEnds, HoverInTheCommandLineHighlightsTheWholeSlotLikeTheWindow)
{
    const QStringList base = {QStringLiteral("--seed"), QStringLiteral("3"),
                              QStringLiteral("--time"), QStringLiteral("9:30")};
    auto form = startWindow(3);
    ASSERT_FALSE(form->startupFailed());
    PhonePreview *preview = form->preview();
    preview->setState(PreviewState{});
    const QRegion nicks = preview->regions().regions(Slot::ContactNick + 1).value(0);
    ASSERT_GT(nicks.rectCount(), 1);
    const QPoint at = (*nicks.begin()).center();
    ASSERT_TRUE(preview->hitTest(at.x(), at.y()));
    preview->Render();
    const QString hover = QStringLiteral("%1,%2").arg(at.x()).arg(at.y());
    const QImage slot = cliRender(base + QStringList{QStringLiteral("--hover"), hover});
    EXPECT_TRUE(slot == preview->picture().convertToFormat(QImage::Format_RGB32));
    const QImage element =
        cliRender(base + QStringList{QStringLiteral("--hover"), hover, QStringLiteral("--select"),
                                     QStringLiteral("element")});
    const QRect other = (*(nicks.end() - 1));
    EXPECT_FALSE(slot.copy(other) == element.copy(other))
        << "only the whole-slot mode inverts the other nicks";
}

// Two renders at once, from a program folder nobody writes into: each has a scratch folder of
// its own, and neither leaves anything behind.
TEST_F(FrontEnds, TwoCommandLinesAtOnceNeverShareScratchFiles)
{
    const QString cli = QStringLiteral(VELMORA_PROGRAM_DIR "/velmora-cli");
    const QString program = QStringLiteral(VELMORA_PROGRAM_DIR "/");
    const QStringList before = QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QProcess a;
    QProcess b;
    a.start(cli, {QStringLiteral("render"), QStringLiteral("-o"),
                  m_out.filePath(QStringLiteral("a.png")), QStringLiteral("--seed"),
                  QStringLiteral("1")});
    b.start(cli, {QStringLiteral("render"), QStringLiteral("-o"),
                  m_out.filePath(QStringLiteral("b.png")), QStringLiteral("--seed"),
                  QStringLiteral("1")});
    ASSERT_TRUE(a.waitForFinished(120000));
    ASSERT_TRUE(b.waitForFinished(120000));
    EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
    EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
    EXPECT_EQ(QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
