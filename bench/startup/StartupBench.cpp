// The start-up both programs run, from the program folder to the first rendered frame,
// offscreen: default pictures, the six icon lists through the converter, smileys, samples,
// and one render.
#include "platform/WritablePlaces.h"
#include "preview/mainTolvoPreview.h"
#include "startup/Startup.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <random>

namespace {

void BM_StartupToFirstFrame(benchmark::State &state)
{
    for (auto _ : state) {
        platform::ScratchFolder scratch;
        if (!scratch.isValid()) {
            state.SkipWithError("no scratch folder");
            break;
        }
        std::mt19937 random(1);
        StartupSetup setup;
        setup.programFolder = QStringLiteral(VELMORA_PROGRAM_DIR "/");
        setup.scratchFolder = scratch.path();
        setup.random = &random;
        QString error;
        StartupReporter reporter{{}, [&error](const QString &text) {
                                     error = text;
                                 }};
        SkinDocument document;
        auto resources = startProgram(setup, reporter, document);
        if (!resources) {
            state.SkipWithError(error.toStdString().c_str());
            break;
        }
        TTolvoPreview preview(std::move(*resources), document);
        preview.stopBlinking();
        benchmark::DoNotOptimize(preview.picture().constBits());
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
