// The start-up both programs run, from the program folder to the first rendered frame,
// offscreen: default pictures, the six icon lists through the converter, smileys, samples,
// and one render.
#include "platform/WritablePlaces.h"
#include "preview/PhonePreview.h"
#include "startup/Startup.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

void BM_StartupToFirstFrame(benchmark::State &state)
{
    // Every run's scratch folder is kept to the end. The program makes its folder before
    // start-up and removes it when it ends, so neither is start-up; and on a file system that
    // steps around recently deleted inodes (ext4 without a journal does, for half a minute),
    // removing four hundred files between runs would make each run slower than the last, which
    // no user starting the program sees.
    std::vector<std::unique_ptr<platform::ScratchFolder>> kept;
    for (auto _ : state) {
        state.PauseTiming();
        auto &scratch = kept.emplace_back(std::make_unique<platform::ScratchFolder>());
        state.ResumeTiming();
        if (!scratch->isValid()) {
            state.SkipWithError("no scratch folder");
            break;
        }
        std::mt19937 random(1);
        StartupSetup setup;
        setup.programFolder = QStringLiteral(VELMORA_PROGRAM_DIR "/");
        setup.scratchFolder = scratch->path();
        setup.random = &random;
        QString error;
        StartupReporter reporter{{}, [&error](const QString &text) {
                                     error = text;
                                 }};
        auto document = std::make_unique<SkinDocument>();
        auto resources = startProgram(setup, reporter, *document);
        if (!resources) {
            state.SkipWithError(error.toStdString().c_str());
            break;
        }
        auto preview = std::make_unique<PhonePreview>(std::move(*resources), *document);
        preview->stopBlinking();
        benchmark::DoNotOptimize(preview->picture().constBits());
        state.PauseTiming();
        preview.reset();
        document.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
