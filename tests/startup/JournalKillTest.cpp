#include "JournalDigest.h"
#include "document/SkinDocument.h"
#include "startup/WorkJournal.h"

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
    // The editor got to the kill point before it was killed.
    bool reached = false;
};

// How long the editor may take to print its next line before the run counts as hung.
constexpr int kLineLimitMs = 60000;

// Where a run is killed: after the editor has reported `edits` finished edits, either at once
// (the next edit is usually under way, in the middle of its write) or once it has announced the
// next edit. Counting edits, not milliseconds, makes every run reach its kill however slow or
// loaded the machine is.
struct KillPoint
{
    int edits = 1;
    bool afterAnnouncement = false;
};

// Reads the editor's lines until the kill point, then kills it with SIGKILL.
Printed runAndKill(const QString &folder, unsigned seed, KillPoint point)
{
    QProcess editor;
    editor.start(QStringLiteral(VELMORA_JOURNAL_EDITOR), {folder, QString::number(seed)});
    Printed printed;
    if (!editor.waitForStarted(kLineLimitMs))
        return printed;
    QByteArray pending;
    const auto reached = [&] {
        return printed.done > point.edits ||
               (printed.done == point.edits &&
                (!point.afterAnnouncement || !printed.lastWill.isEmpty()));
    };
    // One line at a time, so the kill comes right after the line that reaches the point.
    const auto takeLine = [&] {
        const qsizetype end = pending.indexOf('\n');
        if (end < 0)
            return false;
        const QByteArray line = pending.left(end);
        pending.remove(0, end + 1);
        if (line.startsWith("DONE ")) {
            printed.lastDone = line.mid(5);
            printed.lastWill.clear();
            ++printed.done;
        } else if (line.startsWith("WILL ")) {
            printed.lastWill = line.mid(5);
        }
        return true;
    };
    while (!reached()) {
        if (takeLine())
            continue;
        if (editor.state() != QProcess::Running || !editor.waitForReadyRead(kLineLimitMs))
            break;
        pending += editor.readAllStandardOutput();
    }
    editor.kill();
    editor.waitForFinished(kLineLimitMs);
    // What the editor printed before it died counts too: it may have got further.
    pending += editor.readAllStandardOutput();
    while (takeLine()) {
    }
    printed.reached = reached();
    return printed;
}

} // namespace

TEST(JournalKills, EveryRestartRecoversAStateTheEditorHadCompleted)
{
    QTemporaryDir dir;
    std::mt19937 random(20261208);
    const int runs = runCount();
    for (int run = 0; run < runs; ++run) {
        const KillPoint point{1 + int(random() % 40), random() % 2 == 0};
        const Printed printed = runAndKill(dir.path(), random(), point);
        ASSERT_TRUE(printed.reached)
            << "run " << run << ": the editor stopped after " << printed.done << " edits";
        SkinDocument document;
        WorkJournal journal(document.history(), dir.path());
        ASSERT_TRUE(journal.usable()) << "the killed editor's lock is stale";
        const auto previous = journal.previous();
        ASSERT_TRUE(previous.has_value()) << "run " << run;
        const QByteArray digest = stateDigest(previous->current());
        EXPECT_TRUE(digest == printed.lastDone || digest == printed.lastWill)
            << "run " << run << " after " << printed.done << " edits: got " << digest.constData()
            << ", last done " << printed.lastDone.constData() << ", under way "
            << printed.lastWill.constData();
    }
}
