// Render and hit-test speed of the simulated contact list with a full set of 16 x 16 icons.
#include "preview/mainTolvoPreview.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

void fill(TMBMconvImageList &list, int items)
{
    QImage icon(16, 16, QImage::Format_RGB32);
    for (int i = 0; i < items; ++i) {
        icon.fill(i % 2 ? Qt::white : QColor::fromHsv(i * 7 % 360, 200, 200));
        list.Add(icon);
    }
}

PreviewResources resources()
{
    PreviewResources res;
    fill(res.XStatusIcons, 74);
    fill(res.StatusIcons, 64);
    fill(res.ClientIcons, 86);
    fill(res.ProgramIcons, 96);
    fill(res.PrivateStatusIcons, 6);
    std::mt19937 random(7);
    res.loadedList = sampleContactList(random);
    return res;
}

std::unique_ptr<TTolvoPreview> makePreview(QSize size, int columns)
{
    auto preview = std::make_unique<TTolvoPreview>(resources());
    preview->stopBlinking();
    preview->Busy = true;
    ColourScheme scheme;
    for (int i = 0; i < kColourTableSize; ++i)
        preview->setColour(i, scheme.table()[i]);
    QImage back(size, QImage::Format_RGB32);
    back.fill(QColor(220, 230, 245));
    preview->setBackground(back);
    QImage cursor(120, 18, QImage::Format_RGB32);
    cursor.fill(QColor(250, 200, 90));
    preview->setCursor(cursor);
    preview->setScreenSize(size);
    preview->setColumns(columns);
    preview->setClock([] { return QTime(12, 34); });
    preview->Busy = false;
    return preview;
}

void BM_RenderContactList240x320TwoColumns(benchmark::State &state)
{
    auto preview = makePreview({240, 320}, 2);
    for (auto _ : state) {
        preview->Render();
        benchmark::DoNotOptimize(preview->picture().constBits());
    }
}
BENCHMARK(BM_RenderContactList240x320TwoColumns)->Unit(benchmark::kMillisecond);

void BM_RenderContactList640x360FiveColumnsGroups(benchmark::State &state)
{
    auto preview = makePreview({640, 360}, 5);
    preview->setShowGroups(true);
    for (auto _ : state) {
        preview->Render();
        benchmark::DoNotOptimize(preview->picture().constBits());
    }
}
BENCHMARK(BM_RenderContactList640x360FiveColumnsGroups)->Unit(benchmark::kMillisecond);

void BM_HitTest(benchmark::State &state)
{
    auto preview = makePreview({240, 320}, 2);
    preview->Render();
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(preview->hitTest((i * 37) % 240, (i * 53) % 320));
        ++i;
    }
}
BENCHMARK(BM_HitTest)->Unit(benchmark::kMicrosecond);

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
