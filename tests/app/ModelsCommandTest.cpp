#include "CliRun.h"
#include "ProgramFolderFixture.h"
#include "TestFiles.h"
#include "containers/PictureCodecs.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A program folder with two models: one framed by a 200 x 260 phone whose screen opening
// (176 x 208 at 12, 20) is opaque, and one whose picture is missing.
class ModelsCli : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_error = ProgramFolderFixture::create(s_dir->path());
        QImage phone(200, 260, QImage::Format_ARGB32);
        phone.fill(Qt::transparent);
        for (int y = 5; y < 255; ++y)
            for (int x = 4; x < 196; ++x)
                phone.setPixel(x, y, qRgba(60, 60, 70, 255));
        const auto png = encodePng(phone);
        testfiles::write(s_dir->filePath(QStringLiteral("mobiles/small.png")), *png);
        testfiles::write(s_dir->filePath(QStringLiteral("mobiles/base.txt")),
                         "# models\r\nphone = Small One\r\n176*208\r\n12,20\r\nsmall.png\r\n"
                         "phone = Lost\r\n240*320\r\n0,0\r\nlost.png\r\n"
                         "phone = Broken\r\n240-320\r\n0,0\r\nx.png\r\n");
        setCliProgramFolder(s_dir->path() + u'/');
    }
    static void TearDownTestSuite()
    {
        setCliProgramFolder(QString());
        delete s_dir;
    }
    void SetUp() override { ASSERT_TRUE(s_error.isEmpty()) << s_error.toStdString(); }

    QImage render(const QStringList &options)
    {
        const QString out = m_out.filePath(QStringLiteral("r.png"));
        QFile::remove(out);
        last = runCommandLine(QStringList{QStringLiteral("render"), QStringLiteral("-o"), out,
                                          QStringLiteral("--seed"), QStringLiteral("2"),
                                          QStringLiteral("--time"), QStringLiteral("8:00")} +
                              options);
        const auto image = decodePng(testfiles::read(out), out);
        return image ? *image : QImage();
    }

    static inline QTemporaryDir *s_dir = nullptr;
    static inline QString s_error;
    QTemporaryDir m_out;
    CliRun last;
};

} // namespace

TEST_F(ModelsCli, ListsTheModelsAndSaysWhatItLeftOut)
{
    const CliRun json = runCommandLine({QStringLiteral("models"), QStringLiteral("--json")});
    ASSERT_EQ(json.code, 0);
    const QJsonArray models = QJsonDocument::fromJson(json.out.toUtf8())[u"models"].toArray();
    ASSERT_EQ(models.size(), 2);
    EXPECT_EQ(models[0].toObject(),
              (QJsonObject{{QStringLiteral("name"), QStringLiteral("Small One")},
                           {QStringLiteral("width"), 176},
                           {QStringLiteral("height"), 208},
                           {QStringLiteral("x"), 12},
                           {QStringLiteral("y"), 20},
                           {QStringLiteral("picture"), QStringLiteral("small.png")}}));
    EXPECT_TRUE(json.err.contains(QStringLiteral("\"Broken\""))) << json.err.toStdString();
    const CliRun plain = runCommandLine({QStringLiteral("models")});
    EXPECT_TRUE(plain.out.startsWith(QStringLiteral("Small One\t176x208\tscreen at 12,20")));
}

TEST_F(ModelsCli, AFramedRenderHasThePlainScreenInsideAndTransparencyOutside)
{
    const QImage plain = render({QStringLiteral("--model"), QStringLiteral("Small One")});
    ASSERT_EQ(plain.size(), QSize(176, 208)) << last.err.toStdString();
    const QImage framed =
        render({QStringLiteral("--model"), QStringLiteral("Small One"), QStringLiteral("--frame")});
    ASSERT_EQ(framed.size(), QSize(200, 260)) << last.err.toStdString();
    EXPECT_TRUE(framed.hasAlphaChannel());
    EXPECT_EQ(framed.copy(12, 20, 176, 208).convertToFormat(QImage::Format_RGB32),
              plain.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(qAlpha(framed.pixel(1, 1)), 0);
    EXPECT_EQ(framed.pixel(6, 6), qRgba(60, 60, 70, 255));
}

TEST_F(ModelsCli, UnknownModelsAndMissingPicturesAreErrors)
{
    render({QStringLiteral("--model"), QStringLiteral("Nokia 1100")});
    EXPECT_EQ(last.code, 1);
    EXPECT_TRUE(last.err.contains(QStringLiteral("Small One, Lost"))) << last.err.toStdString();
    render({QStringLiteral("--model"), QStringLiteral("Lost"), QStringLiteral("--frame")});
    EXPECT_EQ(last.code, 1);
    EXPECT_TRUE(last.err.contains(QStringLiteral("lost.png")));
    render({QStringLiteral("--frame")});
    EXPECT_EQ(last.code, 2);
}
