// A stream of edits under a journal, for the kill tests: before each edit it prints the
// fingerprint of the state the edit will lead to ("WILL"), after it, once the journal has it on
// disk, "DONE". Killed at any moment, the journal must give back the last DONE state or the
// state of the edit under way, nothing else.
#include "JournalDigest.h"
#include "document/SkinDocument.h"
#include "startup/WorkJournal.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

namespace {

void say(const char *what, const SkinState &state)
{
    std::printf("%s %s\n", what, stateDigest(state).constData());
    std::fflush(stdout);
}

// The state an undo-stack move leads to.
SkinState stateAt(const SkinHistory &history, int index)
{
    return index == 0 ? history.origin() : history.step(index - 1)->after();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    SkinDocument document;
    SkinHistory &history = document.history();
    history.clear();
    history.setRecording(true);
    WorkJournal journal(history, QString::fromLocal8Bit(argv[1]));
    if (!journal.usable() || !journal.start())
        return 1;
    QObject::connect(&journal, &WorkJournal::failed, [](const QString &message) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::exit(1);
    });
    std::mt19937 random(unsigned(std::strtoul(argv[2], nullptr, 10)));
    const auto below = [&](int n) {
        return int(random() % unsigned(n));
    };
    say("DONE", document.state());
    for (;;) {
        const int kind = below(20);
        SkinState target = document.state();
        QUndoStack &stack = history.stack();
        if (kind < 13) {
            const int slot = below(kSlotCount);
            const TColor colour = makeColor(below(256), below(256), below(256));
            target.colours[std::size_t(slot)] = colour;
            say("WILL", target);
            document.setSlotColour(slot, colour);
        } else if (kind < 15) {
            QImage picture(16 + below(8), 16, QImage::Format_RGB32);
            picture.fill(qRgb(below(256), below(256), below(256)));
            target.pictures.BackgroundSource = target.pictures.BackgroundPicture = picture;
            say("WILL", target);
            document.setPictures(target.pictures);
        } else if (kind < 18 && stack.canUndo()) {
            say("WILL", stateAt(history, stack.index() - 1));
            stack.undo();
        } else if (kind < 19 && stack.canRedo()) {
            say("WILL", stateAt(history, stack.index() + 1));
            stack.redo();
        } else {
            const int index = below(stack.count() + 1);
            say("WILL", stateAt(history, index));
            stack.setIndex(index);
        }
        say("DONE", document.state());
        // A user rests between edits: kills must land there too, not only inside the writes
        // that take most of the editor's time.
        if (below(2) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1 + below(3)));
    }
}
