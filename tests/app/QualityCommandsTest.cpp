#include "CliRun.h"
#include "ProgramFolderFixture.h"
#include "TestFiles.h"
#include "cli/Cli.h"
#include "containers/PictureCodecs.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A program folder with one phone model, and files for a grey skin over a grey background.
class QualityCli : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_error = ProgramFolderFixture::create(s_dir->path());
        testfiles::write(s_dir->filePath(QStringLiteral("mobiles/base.txt")),
                         "phone = Small One (176*208)\r\n176*208\r\n12,20\r\nsmall.png\r\n");
        setCliProgramFolder(s_dir->path() + u'/');
    }
    static void TearDownTestSuite()
    {
        setCliProgramFolder(QString());
        delete s_dir;
    }
    void SetUp() override { ASSERT_TRUE(s_error.isEmpty()) << s_error.toStdString(); }

    // Every colour one step from the background's grey: nothing can be read.
    QStringList greySkinOptions()
    {
        QImage grey(240, 320, QImage::Format_RGB32);
        grey.fill(qRgb(128, 128, 128));
        const QString background = m_out.filePath(QStringLiteral("grey.png"));
        testfiles::write(background, *encodePng(grey));
        QJsonArray colours;
        for (int slot = 0; slot < 20; ++slot)
            colours.append(QStringLiteral("#808081"));
        const QString json = m_out.filePath(QStringLiteral("grey.json"));
        testfiles::write(json,
                         QJsonDocument(QJsonObject{{QStringLiteral("colors"), colours}}).toJson());
        const QString skin = m_out.filePath(QStringLiteral("grey.skin"));
        const CliRun written = runCommandLine({QStringLiteral("skin"), QStringLiteral("write"),
                                               skin, QStringLiteral("--json"), json});
        EXPECT_EQ(written.code, 0) << written.err.toStdString();
        return {QStringLiteral("--skin"), skin, QStringLiteral("--background"), background};
    }

    static QJsonObject jsonOf(const CliRun &run)
    {
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    }

    static inline QTemporaryDir *s_dir = nullptr;
    static inline QString s_error;
    QTemporaryDir m_out;
};

} // namespace

TEST_F(QualityCli, AuditPrintsALinePerTextSlotAndTheSameAsJson)
{
    const CliRun run = runCommandLine({QStringLiteral("audit")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    static const QRegularExpression line(QStringLiteral(
        "^ ?(\\d+) {2,}(\\d+\\.\\d\\d) {2}(ok|weak|unreadable) {2,}([a-z-]+) {2,}(\\S.*)$"));
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 8);
    QList<int> seen;
    for (const QString &text : lines) {
        const auto match = line.match(text);
        ASSERT_TRUE(match.hasMatch()) << text.toStdString();
        seen.append(match.captured(1).toInt());
        const double ratio = match.captured(2).toDouble();
        EXPECT_GE(ratio, 1.0);
        EXPECT_LE(ratio, 21.0);
    }
    EXPECT_TRUE(std::ranges::is_sorted(seen));
    // The softkeys and the menus are on every program folder's screens.
    for (int slot : {4, 5, 7, 10})
        EXPECT_TRUE(seen.contains(slot)) << slot;

    const CliRun json = runCommandLine({QStringLiteral("audit"), QStringLiteral("--json")});
    ASSERT_EQ(json.code, 0);
    const QJsonArray entries = jsonOf(json).value(u"slots").toArray();
    ASSERT_EQ(entries.size(), lines.size());
    for (const QJsonValue &value : entries) {
        const QJsonObject entry = value.toObject();
        for (const char *key : {"slot", "caption", "contrast", "grade", "screen", "box"})
            EXPECT_TRUE(entry.contains(QLatin1String(key))) << key;
        const QJsonArray box = entry.value(u"box").toArray();
        ASSERT_EQ(box.size(), 4);
        EXPECT_LT(box[0].toInt(), box[2].toInt());
        EXPECT_LT(box[1].toInt(), box[3].toInt());
        EXPECT_LE(box[2].toInt(), 240);
        EXPECT_LE(box[3].toInt(), 320);
    }
}

TEST_F(QualityCli, StrictFailsWithThreeWhenASlotCannotBeRead)
{
    const QStringList grey = greySkinOptions();
    const CliRun relaxed = runCommandLine(QStringList{QStringLiteral("audit")} + grey);
    ASSERT_EQ(relaxed.code, 0) << relaxed.err.toStdString();
    EXPECT_TRUE(relaxed.out.contains(QStringLiteral(" 1.00  unreadable")));
    const CliRun strict =
        runCommandLine(QStringList{QStringLiteral("audit"), QStringLiteral("--strict")} + grey);
    EXPECT_EQ(strict.code, 3);
    EXPECT_EQ(strict.out, relaxed.out) << "the report is printed all the same";
    // The default skin has no unreadable slot, so --strict passes.
    const CliRun plain = runCommandLine({QStringLiteral("audit"), QStringLiteral("--strict")});
    EXPECT_FALSE(plain.out.contains(QStringLiteral("unreadable")));
    EXPECT_EQ(plain.code, 0);
}

TEST_F(QualityCli, AuditMeasuresTheChosenScreenSize)
{
    for (const QStringList &size :
         {QStringList{QStringLiteral("--size"), QStringLiteral("176x208")},
          QStringList{QStringLiteral("--model"), QStringLiteral("Small One (176*208)")}}) {
        const CliRun run =
            runCommandLine(QStringList{QStringLiteral("audit"), QStringLiteral("--json")} + size);
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        for (const QJsonValue &value : jsonOf(run).value(u"slots").toArray()) {
            const QJsonArray box = value.toObject().value(u"box").toArray();
            EXPECT_LE(box[2].toInt(), 176);
            EXPECT_LE(box[3].toInt(), 208);
        }
    }
    for (const QStringList &wrong :
         {QStringList{QStringLiteral("--size"), QStringLiteral("10x10")},
          QStringList{QStringLiteral("--size"), QStringLiteral("240x320"),
                      QStringLiteral("--model"), QStringLiteral("Small One (176*208)")},
          QStringList{QStringLiteral("--strcit")}, QStringList{QStringLiteral("extra.skin")}})
        EXPECT_EQ(runCommandLine(QStringList{QStringLiteral("audit")} + wrong).code, 2)
            << wrong.join(u' ').toStdString();
    const CliRun unknownModel = runCommandLine(
        {QStringLiteral("audit"), QStringLiteral("--model"), QStringLiteral("Nokia 9999")});
    EXPECT_EQ(unknownModel.code, 1);
}

TEST_F(QualityCli, UsageListsTheScreensAndDrawsThemSideBySide)
{
    const CliRun blinking =
        runCommandLine({QStringLiteral("usage"), QStringLiteral("17"), QStringLiteral("--json")});
    ASSERT_EQ(blinking.code, 0) << blinking.err.toStdString();
    const QJsonObject listed = jsonOf(blinking);
    EXPECT_EQ(listed.value(u"slot").toInt(), 17);
    QStringList screens;
    for (const QJsonValue &value : listed.value(u"screens").toArray()) {
        screens.append(value.toObject().value(u"screen").toString());
        const QJsonArray rects = value.toObject().value(u"rects").toArray();
        EXPECT_FALSE(rects.isEmpty());
        for (const QJsonValue &rect : rects)
            EXPECT_EQ(rect.toArray().size(), 4);
    }
    EXPECT_EQ(screens,
              (QStringList{QStringLiteral("contacts"), QStringLiteral("contacts-groups")}));

    const QString out = m_out.filePath(QStringLiteral("menu-text.png"));
    const CliRun menu =
        runCommandLine({QStringLiteral("usage"), QStringLiteral("7"), QStringLiteral("-o"), out});
    ASSERT_EQ(menu.code, 0) << menu.err.toStdString();
    const auto picture = decodePng(testfiles::read(out), out);
    ASSERT_TRUE(picture.has_value());
    // Six screens or more of 240 x 320 side by side, under a title and captions.
    EXPECT_GE(picture->width(), 6 * 240);
    EXPECT_GT(picture->height(), 320);
}

TEST_F(QualityCli, UsageRefusesBadSlotsAndAMissingOutput)
{
    for (const QStringList &wrong :
         {QStringList{QStringLiteral("20"), QStringLiteral("--json")},
          QStringList{QStringLiteral("x"), QStringLiteral("--json")},
          QStringList{QStringLiteral("--json")},
          QStringList{QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("--json")},
          QStringList{QStringLiteral("3")}}) {
        const CliRun run = runCommandLine(QStringList{QStringLiteral("usage")} + wrong);
        EXPECT_EQ(run.code, 2) << wrong.join(u' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}
