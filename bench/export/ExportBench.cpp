// Speed of saving a skin: the signed package from the button to the finished file (both package
// tools included), and the plain .skin/.mif kinds.
#include "export/SaveSkin.h"
#include "platform/WritablePlaces.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A photo-like picture, so the JPEG encoder has real work to do.
QImage picture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7 + y) & 255, (x * y) & 255, (x + y * 3) & 255));
    return image;
}

void save(benchmark::State &state, OutputKind kind)
{
    SkinDocument document;
    SkinPictures pictures;
    pictures.BackgroundPicture = picture({240, 320});
    pictures.CursorPicture = picture({120, 18});
    document.setPictures(pictures);
    platform::ScratchFolder scratch;
    QTemporaryDir out;
    const SaveEnvironment env{QStringLiteral(VELMORA_PROGRAM_DIR "/"), scratch.path(), {}, {}};
    for (auto _ : state) {
        SaveRequest request;
        request.kind = kind;
        request.skinName = QStringLiteral("bench.skin");
        request.mifName = QStringLiteral("bench.mif");
        request.folder = out.path();
        if (!saveSkin(document, request, env))
            state.SkipWithError("the save failed");
    }
}

void BM_SavePackageTwoJpegs(benchmark::State &state)
{
    save(state, OutputKind::Package);
}
BENCHMARK(BM_SavePackageTwoJpegs)->Unit(benchmark::kMillisecond);

void BM_SaveSkinAndMifTwoJpegs(benchmark::State &state)
{
    save(state, OutputKind::SkinAndMif);
}
BENCHMARK(BM_SaveSkinAndMifTwoJpegs)->Unit(benchmark::kMillisecond);

void BM_SaveSkinOnly(benchmark::State &state)
{
    save(state, OutputKind::SkinOnly);
}
BENCHMARK(BM_SaveSkinOnly)->Unit(benchmark::kMillisecond);

void BM_SaveMifOnlyTwoJpegs(benchmark::State &state)
{
    save(state, OutputKind::MifOnly);
}
BENCHMARK(BM_SaveMifOnlyTwoJpegs)->Unit(benchmark::kMillisecond);

} // namespace
