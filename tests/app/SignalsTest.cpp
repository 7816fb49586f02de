// velmora-cli killed or interrupted in the middle of its work leaves no scratch folder.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QStringList scratchFolders(const QString &runtime)
{
    return QDir(runtime).entryList({QStringLiteral("velmora-*")},
                                   QDir::Dirs | QDir::NoDotAndDotDot);
}

// A scratch folder the command has begun to work in (made, and known to be its own).
bool atWork(const QString &runtime)
{
    const QStringList folders = scratchFolders(runtime);
    return !folders.isEmpty() &&
           !QDir(runtime + u'/' + folders.first()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot);
}

} // namespace

TEST(CliSignals, AKilledCommandRemovesItsScratchFolder)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QTemporaryDir dir;
        const QString runtime = dir.filePath(QStringLiteral("runtime"));
        ASSERT_TRUE(QDir().mkpath(runtime));
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        cli.setProcessEnvironment(env);
        // Every screen of every model: long enough to be caught at work.
        cli.start(
            QStringLiteral(VELMORA_PROGRAM_DIR "/velmora-cli"),
            {QStringLiteral("shots"), QStringLiteral("-o"), dir.filePath(QStringLiteral("out"))});
        ASSERT_TRUE(cli.waitForStarted(30000));
        QElapsedTimer clock;
        clock.start();
        while (!atWork(runtime) && cli.state() == QProcess::Running && clock.elapsed() < 60000)
            QThread::msleep(1);
        // Held still while its scratch folder exists, so the signal lands in the middle.
        ASSERT_EQ(::kill(pid_t(cli.processId()), SIGSTOP), 0);
        ASSERT_EQ(scratchFolders(runtime).size(), 1) << "the command never made its folder";
        ASSERT_EQ(::kill(pid_t(cli.processId()), signal), 0);
        ASSERT_EQ(::kill(pid_t(cli.processId()), SIGCONT), 0);
        ASSERT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitStatus(), QProcess::CrashExit);
        // The folder goes once the command is gone.
        EXPECT_TRUE(QTest::qWaitFor([&] { return scratchFolders(runtime).isEmpty(); }, 20000))
            << scratchFolders(runtime).join(u' ').toStdString();
    }
}
