#include "CliRun.h"
#include "TestFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The user's desktop folders point into a temporary folder for the test's lifetime.
class AssociationCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_data = qgetenv("XDG_DATA_HOME");
        m_config = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
        setCliProgramFolder(m_dir.filePath(QStringLiteral("program/")));
    }
    void TearDown() override
    {
        setCliProgramFolder(QString());
        restore("XDG_DATA_HOME", m_data);
        restore("XDG_CONFIG_HOME", m_config);
    }
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QJsonObject show()
    {
        const CliRun run = runCommandLine(
            {QStringLiteral("association"), QStringLiteral("show"), QStringLiteral("--json")});
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    }

    QTemporaryDir m_dir;
    QByteArray m_data;
    QByteArray m_config;
};

} // namespace

TEST_F(AssociationCli, SetShowAndRemoveWorkOnTheUsersDesktopFiles)
{
    ASSERT_TRUE(testfiles::write(m_dir.filePath(QStringLiteral("config/mimeapps.list")),
                                 "[Default Applications]\n"
                                 "application/x-tolvoicq-skin=other.desktop;\n"));
    ASSERT_TRUE(testfiles::write(m_dir.filePath(QStringLiteral("data/applications/other.desktop")),
                                 "[Desktop Entry]\nType=Application\nName=Other\n"));
    QJsonObject state = show();
    EXPECT_FALSE(state.value(u"associated").toBool());
    EXPECT_EQ(state.value(u"handler").toString(), QStringLiteral("other.desktop"));
    EXPECT_EQ(state.value(u"source").toString(),
              m_dir.filePath(QStringLiteral("config/mimeapps.list")));
    EXPECT_TRUE(state.value(u"backup").isNull());

    const CliRun set = runCommandLine({QStringLiteral("association"), QStringLiteral("set")});
    ASSERT_EQ(set.code, 0) << set.err.toStdString();
    EXPECT_TRUE(set.out.contains(QStringLiteral("associated: yes")));
    EXPECT_TRUE(set.out.contains(QStringLiteral("backup: other.desktop")));
    const QByteArray entry = testfiles::read(
        m_dir.filePath(QStringLiteral("data/applications/velmora-open-skin.desktop")));
    EXPECT_TRUE(entry.contains(QStringLiteral("Exec=%1 %f")
                                   .arg(m_dir.filePath(QStringLiteral("program/velmora")))
                                   .toUtf8()))
        << "the designer opens skins, not velmora-cli";

    const CliRun removed =
        runCommandLine({QStringLiteral("association"), QStringLiteral("remove")});
    ASSERT_EQ(removed.code, 0) << removed.err.toStdString();
    state = show();
    EXPECT_FALSE(state.value(u"associated").toBool());
    EXPECT_EQ(state.value(u"handler").toString(), QStringLiteral("other.desktop"));
}

TEST_F(AssociationCli, WrongUseShowsTheUsageAndFailuresNameTheFile)
{
    EXPECT_EQ(runCommandLine({QStringLiteral("association")}).code, 2);
    EXPECT_EQ(runCommandLine({QStringLiteral("association"), QStringLiteral("toggle")}).code, 2);
    ASSERT_TRUE(testfiles::write(m_dir.filePath(QStringLiteral("config")), "not a folder"));
    const CliRun set = runCommandLine({QStringLiteral("association"), QStringLiteral("set")});
    EXPECT_EQ(set.code, 1);
    EXPECT_TRUE(set.err.contains(m_dir.filePath(QStringLiteral("config"))))
        << set.err.toStdString();
}
