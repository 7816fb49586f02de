#include "JournalDigest.h"
#include "document/SkinDocument.h"
#include "startup/WorkJournal.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

// The kill runs; VELMORA_KILL_RUNS asks for more (scripts/journal-soak.sh).
int runCount()
{
    bool ok = false;
    const int runs = qEnvironmentVariableIntValue("VELMORA_KILL_RUNS", &ok);
    return ok && runs > 0 ? runs : 100;
}

struct Printed
{
    QByteArray lastDone;
    QByteArray lastWill;
    int done = 0;
};

// Reads the editor's lines until the moment comes, then kills it with SIGKILL.
Printed runAndKill(const QString &folder, unsigned seed, int killAfterMs)
{
    QProcess editor;
    editor.start(QStringLiteral(VELMORA_JOURNAL_EDITOR), {folder, QString::number(seed)});
    Printed printed;
    if (!editor.waitForStarted(10000))
        return printed;
    QElapsedTimer clock;
    clock.start();
    QByteArray pending;
    const auto take = [&] {
        pending += editor.readAllStandardOutput();
        qsizetype end = 0;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            if (line.startsWith("DONE ")) {
                printed.lastDone = line.mid(5);
                printed.lastWill.clear();
                ++printed.done;
            } else if (line.startsWith("WILL ")) {
                printed.lastWill = line.mid(5);
            }
        }
    };
    while (clock.elapsed() < killAfterMs && editor.state() == QProcess::Running) {
        editor.waitForReadyRead(5);
        take();
    }
    editor.kill();
    editor.waitForFinished(10000);
    take();
    return printed;
}

} // namespace

TEST(JournalKills, EveryRestartRecoversAStateTheEditorHadCompleted)
{
    QTemporaryDir dir;
    std::mt19937 random(20261208);
    const int runs = runCount();
    int recovered = 0;
    for (int run = 0; run < runs; ++run) {
        const int killAfter = 20 + int(random() % 400);
        const Printed printed = runAndKill(dir.path(), random(), killAfter);
        SkinDocument document;
        WorkJournal journal(document.history(), dir.path());
        ASSERT_TRUE(journal.usable()) << "the killed editor's lock is stale";
        const auto previous = journal.previous();
        if (printed.done == 0) {
            // Killed before the journal was first written: nothing, or an untouched start.
            continue;
        }
        ASSERT_TRUE(previous.has_value()) << "run " << run;
        const QByteArray digest = stateDigest(previous->current());
        EXPECT_TRUE(digest == printed.lastDone || digest == printed.lastWill)
            << "run " << run << " after " << printed.done << " edits: got " << digest.constData()
            << ", last done " << printed.lastDone.constData() << ", under way "
            << printed.lastWill.constData();
        ++recovered;
    }
    EXPECT_GT(recovered, runs * 3 / 4) << "most runs got far enough to journal something";
}
