#include "CliRun.h"
#include "ProgramFolderFixture.h"
#include "TestFiles.h"
#include "cli/Cli.h"
#include "containers/PictureCodecs.h"
#include "export/ScreenShots.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QStringList kScreens = {QStringLiteral("contacts"),     QStringLiteral("contacts-groups"),
                              QStringLiteral("chat"),         QStringLiteral("settings"),
                              QStringLiteral("menu-left"),    QStringLiteral("menu-right"),
                              QStringLiteral("chat-menu"),    QStringLiteral("popup"),
                              QStringLiteral("notifications")};

// A program folder with two phone models of different sizes, one with a phone picture.
class ShotsCli : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_error = ProgramFolderFixture::create(s_dir->path());
        QImage phone(200, 260, QImage::Format_ARGB32);
        phone.fill(qRgba(60, 60, 70, 255));
        testfiles::write(s_dir->filePath(QStringLiteral("mobiles/small.png")), *encodePng(phone));
        testfiles::write(s_dir->filePath(QStringLiteral("mobiles/base.txt")),
                         "phone = Small One (176*208)\r\n176*208\r\n12,20\r\nsmall.png\r\n"
                         "phone = Wide\r\n320*240\r\n0,0\r\nwide.png\r\n");
        setCliProgramFolder(s_dir->path() + u'/');
    }
    static void TearDownTestSuite()
    {
        setCliProgramFolder(QString());
        delete s_dir;
    }
    void SetUp() override { ASSERT_TRUE(s_error.isEmpty()) << s_error.toStdString(); }

    QImage picture(const QString &relative) const
    {
        const auto image = decodePng(testfiles::read(m_out.filePath(relative)), relative);
        return image ? *image : QImage();
    }

    static inline QTemporaryDir *s_dir = nullptr;
    static inline QString s_error;
    QTemporaryDir m_out;
};

} // namespace

TEST(ModelSlug, IsTheNameInLowerCaseWithOneDashForEveryOtherRun)
{
    EXPECT_EQ(modelSlug(QStringLiteral("Nokia 6120 (240*320)")),
              QStringLiteral("nokia-6120-240-320"));
    EXPECT_EQ(modelSlug(QStringLiteral("  --E71__Wide!! ")), QStringLiteral("e71-wide"));
    EXPECT_EQ(modelSlug(QStringLiteral("Своё")), QString());
}

TEST_F(ShotsCli, WritesEveryScreenForEveryModelWithAnIndexAndASheet)
{
    const CliRun run =
        runCommandLine({QStringLiteral("shots"), QStringLiteral("-o"), m_out.path()});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("18 screens written to %1\n").arg(m_out.path()));
    const QString html =
        QString::fromUtf8(testfiles::read(m_out.filePath(QStringLiteral("index.html"))));
    for (const auto &[slug, size] :
         {std::pair{QStringLiteral("small-one-176-208"), QSize(176, 208)},
          std::pair{QStringLiteral("wide"), QSize(320, 240)}}) {
        for (const QString &screen : kScreens) {
            const QString file = slug + u'/' + screen + QStringLiteral(".png");
            EXPECT_EQ(picture(file).size(), size) << file.toStdString();
            EXPECT_TRUE(html.contains(QStringLiteral("src=\"%1\"").arg(file)))
                << file.toStdString();
        }
    }
    // The states differ from the plain list where they should.
    EXPECT_NE(picture(QStringLiteral("wide/chat-menu.png")),
              picture(QStringLiteral("wide/chat.png")));
    EXPECT_NE(picture(QStringLiteral("wide/menu-left.png")),
              picture(QStringLiteral("wide/menu-right.png")));
    EXPECT_NE(picture(QStringLiteral("wide/popup.png")),
              picture(QStringLiteral("wide/contacts.png")));
    const QImage sheet = picture(QStringLiteral("sheet.png"));
    EXPECT_GE(sheet.width(), 9 * 320);
    EXPECT_GE(sheet.height(), 208 + 240);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
}

TEST_F(ShotsCli, ChosenModelsFramedAndMistakesRefused)
{
    const CliRun framed = runCommandLine(
        {QStringLiteral("shots"), QStringLiteral("-o"), m_out.path(), QStringLiteral("--models"),
         QStringLiteral("Small One (176*208)"), QStringLiteral("--frame")});
    ASSERT_EQ(framed.code, 0) << framed.err.toStdString();
    EXPECT_EQ(picture(QStringLiteral("small-one-176-208/chat.png")).size(), QSize(200, 260));
    EXPECT_FALSE(QDir(m_out.filePath(QStringLiteral("wide"))).exists());

    const CliRun unknown =
        runCommandLine({QStringLiteral("shots"), QStringLiteral("-o"), m_out.path(),
                        QStringLiteral("--models"), QStringLiteral("Nokia 9999")});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("there is no model \"Nokia 9999\"")));
    EXPECT_EQ(
        runCommandLine({QStringLiteral("shots"), QStringLiteral("--models"), QStringLiteral("all")})
            .code,
        2);
    EXPECT_EQ(runCommandLine({QStringLiteral("shots"), QStringLiteral("-o"), m_out.path(),
                              QStringLiteral("--frmae")})
                  .code,
              2);
}
