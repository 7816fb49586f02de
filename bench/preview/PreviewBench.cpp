// Render and hit-test speed of the simulated screens with a full set of 16 x 16 icons.
#include "preview/mainTolvoPreview.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// Icons over round masks, so that drawing blends pixels as real icons do.
void fill(TMBMconvImageList &list, int items)
{
    QImage mask(16, 16, QImage::Format_RGB32);
    mask.fill(Qt::white);
    {
        QPainter p(&mask);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(1, 1, 14, 14);
    }
    QImage icon(16, 16, QImage::Format_RGB32);
    for (int i = 0; i < items; ++i) {
        icon.fill(QColor::fromHsv(i * 7 % 360, 200, 200));
        list.Add(i % 2 ? mask : icon);
    }
}

QByteArray dataFile(const char *name)
{
    QFile file(QStringLiteral(VELMORA_SOURCE_DATA "/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    // The conversation and smiley list the program ships, with a picture for every smiley.
    res.smiles = TSmiles(dataFile("Smilies/default.ini"));
    fill(res.smiles.images, 2 * res.smiles.Count());
    res.chat = readChatSample(dataFile("TextOfChat.txt"));
    return res;
}

std::unique_ptr<TTolvoPreview> makePreview(QSize size, int columns)
{
    // Every preview of the run draws the default colours and these pictures.
    static SkinDocument document;
    SkinPictures pictures;
    pictures.BackgroundSource = QImage(size, QImage::Format_RGB32);
    pictures.BackgroundSource.fill(QColor(220, 230, 245));
    pictures.CursorSource = QImage(120, 18, QImage::Format_RGB32);
    pictures.CursorSource.fill(QColor(250, 200, 90));
    document.setPictures(pictures);
    auto preview = std::make_unique<TTolvoPreview>(resources(), document);
    preview->stopBlinking();
    preview->Busy = true;
    // The busiest list: offline contacts with their client icons.
    PreviewState state;
    state.showOffline = true;
    state.showClients = true;
    state.selection = SelectionMode::SingleElement;
    state.screenSize = size;
    state.columns = columns;
    preview->setState(state);
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

void BM_RenderChat240x320(benchmark::State &state)
{
    auto preview = makePreview({240, 320}, 2);
    if (preview->resources().chat.ChatText.isEmpty())
        state.SkipWithError("data/TextOfChat.txt is missing");
    preview->setActiveScreen(PreviewScreen::Chat);
    for (auto _ : state) {
        preview->Render();
        benchmark::DoNotOptimize(preview->picture().constBits());
    }
}
BENCHMARK(BM_RenderChat240x320)->Unit(benchmark::kMillisecond);

void BM_RenderContactListWithAllLayers240x320(benchmark::State &state)
{
    auto preview = makePreview({240, 320}, 2);
    preview->Busy = true;
    preview->setShowMenu(true);
    preview->setMenuLeft(false);
    preview->setShowInfoWindows(true);
    preview->setShowPopup(true);
    preview->Busy = false;
    for (auto _ : state) {
        preview->Render();
        benchmark::DoNotOptimize(preview->picture().constBits());
    }
}
BENCHMARK(BM_RenderContactListWithAllLayers240x320)->Unit(benchmark::kMillisecond);

void BM_RenderSettings240x320(benchmark::State &state)
{
    auto preview = makePreview({240, 320}, 2);
    preview->setActiveScreen(PreviewScreen::Settings);
    for (auto _ : state) {
        preview->Render();
        benchmark::DoNotOptimize(preview->picture().constBits());
    }
}
BENCHMARK(BM_RenderSettings240x320)->Unit(benchmark::kMillisecond);

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
