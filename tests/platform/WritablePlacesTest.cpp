#include "platform/WritablePlaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::ScratchFolder;

namespace {

// Sets an environment variable for one test and puts the old value (or its absence) back.
class EnvironmentVariable
{
public:
    explicit EnvironmentVariable(const char *name)
        : m_name(name)
        , m_wasSet(qEnvironmentVariableIsSet(name))
        , m_oldValue(qgetenv(name))
    {}
    ~EnvironmentVariable()
    {
        if (m_wasSet)
            qputenv(m_name, m_oldValue);
        else
            qunsetenv(m_name);
    }
    void set(const QString &value) { qputenv(m_name, QFile::encodeName(value)); }
    void unset() { qunsetenv(m_name); }

private:
    const char *m_name;
    bool m_wasSet;
    QByteArray m_oldValue;
};

bool makeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

int modeOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// The id of a process that has exited and been reaped, so kill(pid, 0) reports ESRCH.
pid_t deadPid()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

// Every test runs with all the folders the module looks at pointed into its own temporary
// folder, so nothing touches the real home folder.
class WritablePlaces : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_home.set(sub(QStringLiteral("home")));
        m_runtime.set(made(QStringLiteral("runtime")));
        m_cache.set(sub(QStringLiteral("cache")));
        m_config.set(sub(QStringLiteral("config")));
        m_data.set(sub(QStringLiteral("data")));
        m_tmpdir.set(made(QStringLiteral("systemp")));
        ASSERT_TRUE(makeFile(sub(QStringLiteral("afile"))));
        // A fault that resolves an empty or relative path lands in the current folder; make that
        // a folder of ours, with a marker file that must survive.
        m_oldCurrent = QDir::currentPath();
        ASSERT_TRUE(makeFile(made(QStringLiteral("cwd")) + QStringLiteral("/marker")));
        ASSERT_TRUE(QDir::setCurrent(sub(QStringLiteral("cwd"))));
    }

    void TearDown() override
    {
        QDir::setCurrent(m_oldCurrent);
        EXPECT_EQ(QDir(sub(QStringLiteral("cwd")))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("marker")})
            << "something was created or removed relative to the current folder";
    }

    QString sub(const QString &name) const { return m_tmp.path() + u'/' + name; }
    QString made(const QString &name) const
    {
        QDir().mkpath(sub(name));
        return sub(name);
    }
    // A folder that can never be created, whoever runs the test: its parent is a regular file.
    QString impossible(const QString &name) const { return sub(QStringLiteral("afile/")) + name; }

    // Whether mode 0500 on a folder keeps this process from creating files in it (not so for
    // root).
    bool permissionBitsStopWrites()
    {
        const QString folder = made(QStringLiteral("probe-readonly"));
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const bool created = makeFile(folder + QStringLiteral("/f"));
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        QDir(folder).removeRecursively();
        return !created;
    }

    QTemporaryDir m_tmp;
    QString m_oldCurrent;
    EnvironmentVariable m_home{"HOME"};
    EnvironmentVariable m_runtime{"XDG_RUNTIME_DIR"};
    EnvironmentVariable m_cache{"XDG_CACHE_HOME"};
    EnvironmentVariable m_config{"XDG_CONFIG_HOME"};
    EnvironmentVariable m_data{"XDG_DATA_HOME"};
    EnvironmentVariable m_tmpdir{"TMPDIR"};
};

// ---- ScratchFolder ----

TEST_F(WritablePlaces, TwoScratchFoldersAreSeparateAndEachRemovesOnlyItsOwn)
{
    const QString base = made(QStringLiteral("base"));
    auto first = std::make_optional<ScratchFolder>(base);
    auto second = std::make_optional<ScratchFolder>(base);
    ASSERT_TRUE(first->isValid()) << first->errorText().toStdString();
    ASSERT_TRUE(second->isValid()) << second->errorText().toStdString();
    EXPECT_TRUE(first->errorText().isEmpty());

    const QRegularExpression name(QStringLiteral("^%1/velmora-%2-[A-Za-z0-9]{6}/$")
                                      .arg(QRegularExpression::escape(base))
                                      .arg(::getpid()));
    for (const QString &path : {first->path(), second->path()}) {
        EXPECT_TRUE(name.match(path).hasMatch()) << path.toStdString();
        EXPECT_TRUE(QFileInfo(path).isDir()) << path.toStdString();
    }
    EXPECT_NE(first->path(), second->path());

    const QString firstPath = first->path();
    const QString secondPath = second->path();
    ASSERT_TRUE(QDir().mkpath(firstPath + QStringLiteral("nested")));
    ASSERT_TRUE(makeFile(firstPath + QStringLiteral("nested/tool-output.txt")));
    ASSERT_TRUE(makeFile(secondPath + QStringLiteral("picture.bmp")));

    first.reset();
    EXPECT_FALSE(QFileInfo::exists(firstPath));
    EXPECT_TRUE(QFileInfo::exists(secondPath + QStringLiteral("picture.bmp")));
    second.reset();
    EXPECT_FALSE(QFileInfo::exists(secondPath));
    EXPECT_TRUE(QFileInfo(base).isDir());
}

TEST_F(WritablePlaces, ScratchFolderIsPrivateAndWritableWhateverTheUmask)
{
    const QString base = made(QStringLiteral("base"));
    ScratchFolder usual(base);
    EXPECT_EQ(modeOf(usual.path()), 0700);

    const mode_t oldMask = ::umask(0277);
    ScratchFolder strict(base);
    ::umask(oldMask);
    ASSERT_TRUE(strict.isValid());
    EXPECT_EQ(modeOf(strict.path()), 0700);
}

TEST_F(WritablePlaces, ScratchFolderInUnusableBaseReportsTheBase)
{
    for (const QString &base : {impossible(QStringLiteral("base")), sub(QStringLiteral("none"))}) {
        ScratchFolder scratch(base);
        EXPECT_FALSE(scratch.isValid()) << base.toStdString();
        EXPECT_TRUE(scratch.path().isEmpty());
        EXPECT_TRUE(scratch.errorText().contains(base)) << scratch.errorText().toStdString();
    }
    EXPECT_FALSE(ScratchFolder(QString()).isValid());
}

TEST_F(WritablePlaces, ScratchFolderPrefersTheRuntimeFolder)
{
    ScratchFolder scratch;
    ASSERT_TRUE(scratch.isValid()) << scratch.errorText().toStdString();
    EXPECT_TRUE(scratch.path().startsWith(sub(QStringLiteral("runtime/velmora-"))))
        << scratch.path().toStdString();
}

TEST_F(WritablePlaces, ScratchFolderFallsBackToTheCacheFolder)
{
    const QString cacheBase = sub(QStringLiteral("cache/velmora/velmora-"));
    const std::vector<std::optional<QString>> runtimes = {
        std::nullopt, QStringLiteral("relative/run"), impossible(QStringLiteral("run")),
        sub(QStringLiteral("missing-run"))};
    for (const auto &runtime : runtimes) {
        if (runtime)
            m_runtime.set(*runtime);
        else
            m_runtime.unset();
        ScratchFolder scratch;
        ASSERT_TRUE(scratch.isValid()) << scratch.errorText().toStdString();
        EXPECT_TRUE(scratch.path().startsWith(cacheBase))
            << runtime.value_or(QStringLiteral("<unset>")).toStdString() << " -> "
            << scratch.path().toStdString();
    }
    // Nothing was created in place of the missing runtime folder (nor, see TearDown, relative
    // to the current folder).
    EXPECT_FALSE(QFileInfo::exists(sub(QStringLiteral("missing-run"))));

    m_runtime.unset();
    m_cache.unset();
    ScratchFolder underHome;
    EXPECT_TRUE(underHome.path().startsWith(sub(QStringLiteral("home/.cache/velmora/velmora-"))))
        << underHome.path().toStdString();
}

TEST_F(WritablePlaces, ScratchFolderFallsBackFromAReadOnlyRuntimeFolder)
{
    if (!permissionBitsStopWrites())
        GTEST_SKIP() << "this user (root?) can write into a mode 0500 folder";
    const QString runtime = made(QStringLiteral("readonly-run"));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    m_runtime.set(runtime);
    ScratchFolder scratch;
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(scratch.isValid()) << scratch.errorText().toStdString();
    EXPECT_TRUE(scratch.path().startsWith(sub(QStringLiteral("cache/velmora/"))));
}

TEST_F(WritablePlaces, ScratchFolderFallsBackToTheTempFolderThenGivesUp)
{
    m_runtime.unset();
    m_cache.set(impossible(QStringLiteral("cache")));
    {
        ScratchFolder scratch;
        ASSERT_TRUE(scratch.isValid()) << scratch.errorText().toStdString();
        EXPECT_TRUE(scratch.path().startsWith(sub(QStringLiteral("systemp/velmora-"))))
            << scratch.path().toStdString();
    }

    m_runtime.set(impossible(QStringLiteral("run")));
    m_tmpdir.set(impossible(QStringLiteral("tmp")));
    ScratchFolder scratch;
    EXPECT_FALSE(scratch.isValid());
    EXPECT_TRUE(scratch.path().isEmpty());
    for (const QString &tried :
         {impossible(QStringLiteral("run")), impossible(QStringLiteral("cache/velmora")),
          QStringLiteral("TMPDIR")})
        EXPECT_TRUE(scratch.errorText().contains(tried))
            << tried.toStdString() << " not in: " << scratch.errorText().toStdString();
}

TEST_F(WritablePlaces, OnlyLeftoversOfDeadRunsAreRemoved)
{
    const QString base = made(QStringLiteral("base"));
    const QString dead = QString::number(deadPid());
    const QString live = QString::number(::getpid());
    const QString deadLeftover = made(QStringLiteral("base/velmora-%1-aB3dE9").arg(dead));
    ASSERT_TRUE(makeFile(deadLeftover + QStringLiteral("/left.bmp")));
    const QStringList kept = {
        made(QStringLiteral("base/velmora-%1-Zz9Yy8").arg(live)),
        // pid 1 always exists; unless we are root, kill() answers EPERM for it, not ESRCH.
        made(QStringLiteral("base/velmora-1-InIt01")),
        made(QStringLiteral("base/velmora-%1-short").arg(dead)),
        made(QStringLiteral("base/velmora-99999999999999-aB3dE9")),
        made(QStringLiteral("base/velmora-notes")),
        made(QStringLiteral("base/other-%1-aB3dE9").arg(dead)),
    };
    const QString deadNamedFile = sub(QStringLiteral("base/velmora-%1-fILe00").arg(dead));
    ASSERT_TRUE(makeFile(deadNamedFile));
    // A link with a leftover's name must not lead us into the folder it points at.
    const QString target = made(QStringLiteral("precious"));
    ASSERT_TRUE(makeFile(target + QStringLiteral("/keep.txt")));
    const QString link = sub(QStringLiteral("base/velmora-%1-LiNk00").arg(dead));
    ASSERT_TRUE(QFile::link(target, link));

    ScratchFolder scratch(base);
    ASSERT_TRUE(scratch.isValid());
    EXPECT_FALSE(QFileInfo::exists(deadLeftover));
    for (const QString &folder : kept)
        EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
    EXPECT_TRUE(QFileInfo(deadNamedFile).isFile());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(target + QStringLiteral("/keep.txt")));
}

TEST_F(WritablePlaces, LeftoverOfAnotherUserIsKept)
{
    const QString leftover =
        made(QStringLiteral("base/velmora-%1-OtHeR1").arg(QString::number(deadPid())));
    const uid_t other = ::geteuid() == 65534 ? 65533 : 65534;
    if (::chown(QFile::encodeName(leftover).constData(), other, other) != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    ScratchFolder scratch(sub(QStringLiteral("base")));
    ASSERT_TRUE(scratch.isValid());
    EXPECT_TRUE(QFileInfo(leftover).isDir());
}

TEST_F(WritablePlaces, MovingAScratchFolderHandsOverItsRemoval)
{
    const QString base = made(QStringLiteral("base"));
    auto source = std::make_unique<ScratchFolder>(base);
    const QString path = source->path();
    auto moved = std::make_unique<ScratchFolder>(std::move(*source));
    EXPECT_FALSE(source->isValid());
    EXPECT_TRUE(source->path().isEmpty());
    source.reset();
    EXPECT_TRUE(QFileInfo(path).isDir()) << "the moved-from object removed the folder";
    EXPECT_TRUE(moved->isValid());
    EXPECT_EQ(moved->path(), path);

    ScratchFolder target(base);
    const QString targetsOldPath = target.path();
    target = std::move(*moved);
    EXPECT_FALSE(QFileInfo::exists(targetsOldPath)) << "the replaced folder was not removed";
    EXPECT_EQ(target.path(), path);
    moved.reset();
    EXPECT_TRUE(QFileInfo(path).isDir());
    target.remove();
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(WritablePlaces, EarlyRemoveHappensOnce)
{
    const QString base = made(QStringLiteral("base"));
    QString path;
    {
        ScratchFolder scratch(base);
        path = scratch.path();
        scratch.remove();
        EXPECT_FALSE(scratch.isValid());
        EXPECT_FALSE(QFileInfo::exists(path));
        // Whatever appears at that path later is not ours any more.
        ASSERT_TRUE(QDir().mkpath(path));
        scratch.remove();
    }
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// ---- settingsFolder and dataFolder ----

TEST_F(WritablePlaces, SettingsStayInAProgramFolderWeCanWriteTo)
{
    const QString program = made(QStringLiteral("program"));
    EXPECT_EQ(platform::settingsFolder(program), program + u'/');
    EXPECT_EQ(platform::settingsFolder(program + u'/'), program + u'/');
    EXPECT_TRUE(
        QDir(program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
        << "the write test left a file behind";
    EXPECT_FALSE(QFileInfo::exists(sub(QStringLiteral("config"))));
}

TEST_F(WritablePlaces, SettingsGoToTheConfigFolderWhenTheProgramFolderIsUnusable)
{
    const QString config = sub(QStringLiteral("config/velmora/"));
    for (const QString &program :
         {impossible(QStringLiteral("program")), sub(QStringLiteral("afile")), QString()}) {
        EXPECT_EQ(platform::settingsFolder(program), config) << program.toStdString();
        EXPECT_TRUE(QFileInfo(config).isDir());
    }

    m_config.unset();
    EXPECT_EQ(platform::settingsFolder(QString()), sub(QStringLiteral("home/.config/velmora/")));
    m_config.set(QStringLiteral("relative"));
    EXPECT_EQ(platform::settingsFolder(QString()), sub(QStringLiteral("home/.config/velmora/")));
    EXPECT_TRUE(QFileInfo(sub(QStringLiteral("home/.config/velmora"))).isDir());
}

TEST_F(WritablePlaces, SettingsLeaveAReadOnlyProgramFolder)
{
    if (!permissionBitsStopWrites())
        GTEST_SKIP() << "this user (root?) can write into a mode 0500 folder";
    const QString program = made(QStringLiteral("program"));
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString folder = platform::settingsFolder(program);
    QFile::setPermissions(program,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(folder, sub(QStringLiteral("config/velmora/")));
}

TEST_F(WritablePlaces, DataFolderFollowsXdgDataHome)
{
    EXPECT_EQ(platform::dataFolder(), sub(QStringLiteral("data/velmora/")));
    EXPECT_TRUE(QFileInfo(sub(QStringLiteral("data/velmora"))).isDir());

    m_data.unset();
    EXPECT_EQ(platform::dataFolder(), sub(QStringLiteral("home/.local/share/velmora/")));
    EXPECT_TRUE(QFileInfo(sub(QStringLiteral("home/.local/share/velmora"))).isDir());
    m_data.set(QStringLiteral("relative"));
    EXPECT_EQ(platform::dataFolder(), sub(QStringLiteral("home/.local/share/velmora/")));
}

} // namespace
