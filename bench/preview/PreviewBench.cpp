// Render and hit-test speed of the simulated screens with a full set of 16 x 16 icons.
#include "containers/PictureCodecs.h"
#include "preview/ColourVision.h"
#include "preview/Legibility.h"
#include "preview/PhoneFrame.h"
#include "preview/PhonePreview.h"
#include "preview/SlotUsage.h"

#include <QFile>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// Icons over round masks, so that drawing blends pixels as real icons do.
void fill(MbmImageList &list, int items)
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

std::unique_ptr<PhonePreview> makePreview(QSize size, int columns)
{
    // Every preview of the run draws the default colours and these pictures.
    static SkinDocument document;
    SkinPictures pictures;
    pictures.BackgroundSource = QImage(size, QImage::Format_RGB32);
    pictures.BackgroundSource.fill(QColor(220, 230, 245));
    pictures.CursorSource = QImage(120, 18, QImage::Format_RGB32);
    pictures.CursorSource.fill(QColor(250, 200, 90));
    document.setPictures(pictures);
    auto preview = std::make_unique<PhonePreview>(resources(), document);
    preview->stopBlinking();
    RenderBatch batch(preview.get());
    // The busiest list: offline contacts with their client icons.
    PreviewState state;
    state.showOffline = true;
    state.showClients = true;
    state.selection = SelectionMode::SingleElement;
    state.screenSize = size;
    state.columns = columns;
    preview->setState(state);
    preview->setClock([] { return QTime(12, 34); });
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
    preview->setOption(&PreviewState::showGroups, true);
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
    {
        RenderBatch batch(preview.get());
        preview->setOption(&PreviewState::showMenu, true);
        preview->setOption(&PreviewState::menuLeft, false);
        preview->setOption(&PreviewState::showInfoWindows, true);
        preview->setOption(&PreviewState::showPopup, true);
    }
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

// A phone-shaped picture: an opaque rounded body on a transparent ground, soft at its edge.
QImage phonePicture(QSize size, QRect screen)
{
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 42, 48));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(picture.rect()).adjusted(2, 2, -2, -2), 40, 40);
    p.fillRect(screen, Qt::black);
    return picture;
}

void BM_WindowShape500x1000(benchmark::State &state)
{
    const QImage picture = phonePicture({500, 1000}, {70, 180, 360, 640});
    for (auto _ : state)
        benchmark::DoNotOptimize(windowShape(picture));
}
BENCHMARK(BM_WindowShape500x1000)->Unit(benchmark::kMillisecond);

// What choosing a framed 640 x 360 model costs: the picture decoded, its shape, the new size
// with the background stretched to it, the render and the framed window picture.
void BM_ModelChange640x360Framed(benchmark::State &state)
{
    auto preview = makePreview({240, 320}, 2);
    const PhoneModel model{QStringLiteral("N97"), 640, 360, 70, 40, QStringLiteral("n97.png")};
    const QByteArray png = *encodePng(phonePicture({780, 440}, {70, 40, 640, 360}));
    bool wide = false;
    for (auto _ : state) {
        const auto picture = decodePng(png, model.picture);
        const PhoneFrame frame = phoneFrame(*picture, model);
        // Alternate with a near size, so every round is a real change at about this size.
        preview->setScreenSize(wide ? QSize(636, 360) : QSize(model.width, model.height));
        wide = !wide;
        benchmark::DoNotOptimize(framedScreen(preview->picture(), frame));
    }
}
BENCHMARK(BM_ModelChange640x360Framed)->Unit(benchmark::kMillisecond);

// The colour-vision filter over a rendered 640 x 360 contact list, as the window paints it.
void BM_ColourVision640x360(benchmark::State &state)
{
    auto preview = makePreview({640, 360}, 5);
    preview->setOption(&PreviewState::showGroups, true);
    preview->Render();
    const QImage screen = preview->picture();
    for (auto _ : state)
        benchmark::DoNotOptimize(simulateColourVision(screen, ColourVision::Deuteranopia));
}
BENCHMARK(BM_ColourVision640x360)->Unit(benchmark::kMillisecond);

// Each screen at the sizes phones have, and a large one: contact list (0), chat (1), settings (2)
// at width x height.
void BM_RenderScreen(benchmark::State &state)
{
    const QSize size(int(state.range(1)), int(state.range(2)));
    auto preview = makePreview(size, size.width() >= 640 ? 5 : 2);
    const PreviewScreen screens[] = {PreviewScreen::ContactList, PreviewScreen::Chat,
                                     PreviewScreen::Settings};
    preview->setActiveScreen(screens[state.range(0)]);
    for (auto _ : state) {
        preview->Render();
        benchmark::DoNotOptimize(preview->picture().constBits());
    }
}
BENCHMARK(BM_RenderScreen)
    ->ArgNames({"screen", "w", "h"})
    ->ArgsProduct({{0, 1, 2}, {176}, {208}})
    ->ArgsProduct({{0, 1, 2}, {240}, {320}})
    ->ArgsProduct({{0, 1, 2}, {352}, {416}})
    ->ArgsProduct({{0, 1, 2}, {640}, {360}})
    ->ArgsProduct({{0, 1, 2}, {1500}, {1500}})
    ->Unit(benchmark::kMillisecond);

// The legibility audit of every screen as the window makes it after each edit, crops included.
void BM_LegibilityAudit240x320(benchmark::State &state)
{
    auto preview = makePreview({240, 320}, 2);
    const PreviewState base = preview->state();
    for (auto _ : state)
        benchmark::DoNotOptimize(auditLegibility(preview->document().state(), preview->resources(),
                                                 base, true, preview->renderContext()));
}
BENCHMARK(BM_LegibilityAudit240x320)->Unit(benchmark::kMillisecond);

// The menu-text slot's usage strip: the slot paints on most screens.
void BM_SlotUsage240x320(benchmark::State &state)
{
    auto preview = makePreview({240, 320}, 2);
    const PreviewState base = preview->state();
    for (auto _ : state)
        benchmark::DoNotOptimize(slotUsage(preview->document().state(), preview->resources(), base,
                                           7, true, preview->renderContext()));
}
BENCHMARK(BM_SlotUsage240x320)->Unit(benchmark::kMillisecond);

} // namespace
