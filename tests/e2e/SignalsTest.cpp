// The real program asked to end by a signal, as a logout or Ctrl+C asks it.
#include "DesignerFixture.h"

#include "document/SkinDocument.h"
#include "platform/FileOps.h"
#include "startup/WorkJournal.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>

namespace {

// The private folders a started program gets, inside the test's own.
struct ChildPlaces
{
    QString runtime, data, config;
};

QStringList scratchFolders(const QString &runtime)
{
    return QDir(runtime).entryList({QStringLiteral("velmora-*")},
                                   QDir::Dirs | QDir::NoDotAndDotDot);
}

} // namespace

TEST_F(Designer, ASignalEndsTheWindowAsACrashWouldButCleanly)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        const QString root = work(QStringLiteral("child-%1").arg(signal));
        const ChildPlaces places{root + QStringLiteral("/runtime"), root + QStringLiteral("/data"),
                                 root + QStringLiteral("/config")};
        for (const QString &folder : {places.runtime, places.data, places.config})
            ASSERT_TRUE(QDir().mkpath(folder));
        QFile::setPermissions(places.runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        QProcess designer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), places.runtime);
        env.insert(QStringLiteral("XDG_DATA_HOME"), places.data);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), places.config);
        designer.setProcessEnvironment(env);
        designer.setProcessChannelMode(QProcess::ForwardedChannels);
        designer.start(programFolder() + QStringLiteral("velmora"), {});
        ASSERT_TRUE(designer.waitForStarted(30000));
        // Running once its journal holds the lock: start-up is over.
        const QString lock = places.data + QStringLiteral("/velmora/history.lock");
        ASSERT_TRUE(DialogDriver::waitFor([&] { return QFileInfo::exists(lock); }, 60000))
            << "the designer did not start";
        ASSERT_EQ(scratchFolders(places.runtime).size(), 1);
        const QString settings = programFolder() + QStringLiteral("Settings.cfg");
        const QByteArray settingsBefore = readWholeFile(settings).value_or(QByteArray());

        ASSERT_EQ(::kill(pid_t(designer.processId()), signal), 0);
        ASSERT_TRUE(designer.waitForFinished(60000));
        EXPECT_EQ(designer.exitStatus(), QProcess::CrashExit) << "ended by the signal";
        EXPECT_TRUE(scratchFolders(places.runtime).isEmpty()) << "the scratch folder went";
        EXPECT_FALSE(QFileInfo::exists(lock)) << "the journal's lock was released";
        EXPECT_EQ(readWholeFile(settings).value_or(QByteArray()), settingsBefore)
            << "the settings were not written";
        // The journal was left open, as after a crash: the next start would offer its work.
        SkinDocument document;
        WorkJournal journal(document.history(), places.data + QStringLiteral("/velmora"));
        ASSERT_TRUE(journal.usable());
        const auto previous = journal.previous();
        ASSERT_TRUE(previous.has_value());
        EXPECT_FALSE(previous->closed);
    }
}
