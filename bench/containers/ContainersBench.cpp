// Speed of the SVG wrapper (base64 both ways) and of opening a skin's pictures end to end.
#include "containers/MifImageList.h"
#include "containers/PictureCodecs.h"
#include "containers/SkinImages.h"
#include "containers/SvgWrap.h"
#include "core/SkinFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kMegabyte = 1 << 20;

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(11);
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void BM_SavetoSVG1MB(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("big.jpg"));
    writeFile(picture, randomBytes(kMegabyte));
    QByteArray svg;
    for (auto _ : state) {
        if (!SavetoSVG(picture, QString(), kJpegMime, 1024, 768, svg))
            state.SkipWithError("SavetoSVG failed");
        benchmark::DoNotOptimize(svg.constData());
    }
    state.SetBytesProcessed(state.iterations() * kMegabyte);
}
BENCHMARK(BM_SavetoSVG1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExtractSvgPicture1MB(benchmark::State &state)
{
    QTemporaryDir dir;
    const QByteArray svg = svgDocument(randomBytes(kMegabyte), kJpegMime, 1024, 768);
    const QString target = dir.filePath(QStringLiteral("1"));
    for (auto _ : state) {
        if (!ExtractSvgPicture(svg, target))
            state.SkipWithError("ExtractSvgPicture failed");
    }
    state.SetBytesProcessed(state.iterations() * kMegabyte);
}
BENCHMARK(BM_ExtractSvgPicture1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The decoding alone, without the file write.
void BM_DecodeSvgPicture1MB(benchmark::State &state)
{
    const QByteArray svg = svgDocument(randomBytes(kMegabyte), kJpegMime, 1024, 768);
    for (auto _ : state)
        benchmark::DoNotOptimize(svgPicture(svg).bytes.constData());
    state.SetBytesProcessed(state.iterations() * kMegabyte);
}
BENCHMARK(BM_DecodeSvgPicture1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// "JPG,PNG=>SVG" of a 20 MB JPEG: the size from the header, the wrapper written and flushed.
void BM_ConvertPictureToSvg20MB(benchmark::State &state)
{
    QTemporaryDir dir;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    // A real header and scan, then padding to 20 MB as a big photo's body would be.
    QByteArray jpeg = *encodeJpeg(picture, 90);
    jpeg.insert(jpeg.size() - 2, randomBytes(20 * kMegabyte - jpeg.size()));
    const QString path = dir.filePath(QStringLiteral("big.jpg"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size())
        state.SkipWithError("cannot write the picture");
    file.close();
    for (auto _ : state) {
        if (!ConvertPictureToSvg(path, dir.filePath(QStringLiteral("big.svg"))))
            state.SkipWithError("ConvertPictureToSvg failed");
    }
    state.SetBytesProcessed(state.iterations() * 20 * kMegabyte);
}
BENCHMARK(BM_ConvertPictureToSvg20MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The decoding of a 20 MB picture's wrapper, without the file write.
void BM_DecodeSvgPicture20MB(benchmark::State &state)
{
    const QByteArray svg = svgDocument(randomBytes(20 * kMegabyte), kJpegMime, 1024, 768);
    for (auto _ : state)
        benchmark::DoNotOptimize(svgPicture(svg).bytes.constData());
    state.SetBytesProcessed(state.iterations() * 20 * kMegabyte);
}
BENCHMARK(BM_DecodeSvgPicture20MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// A program folder with a skin: .skin plus a .mif holding the default pictures, either as SVG
// documents or as bitmaps in the companion .mbm.
struct SkinFolder
{
    explicit SkinFolder(bool bitmaps)
    {
        QDir(dir.path()).mkpath(QStringLiteral("temp"));
        QDir(dir.path()).mkpath(QStringLiteral("skin"));
        const QString data = QStringLiteral(VELMORA_SOURCE_DATA "/");
        MifImageList list;
        list.ToolName = QStringLiteral(VELMORA_BMCONV);
        list.WorkFolder = dir.path();
        for (const char *name : {"default_back.jpg", "default_cursor.jpg"}) {
            const QString path = data + QString::fromLatin1(name);
            const auto image = decodePictureFile(path);
            if (!image)
                qFatal("%s", qPrintable(image.error().message));
            if (bitmaps) {
                (void)list.AddBitmapEntry(*image);
            } else {
                QByteArray svg;
                (void)SavetoSVG(path, QString(), kJpegMime, quint16(image->width()),
                                quint16(image->height()), svg);
                (void)list.AddSvgEntry(svg);
            }
        }
        if (!list.SaveToFile(dir.filePath(QStringLiteral("skin/bench.mif"))))
            qFatal("cannot write the skin's .mif");
        SkinData skin;
        skin.mifName = QStringLiteral("bench.mif");
        writeFile(dir.filePath(QStringLiteral("skin/bench.skin")), writeSkin(skin).value());
        setup.WorkFolder = dir.path() + u'/';
        setup.ToolName = QStringLiteral(VELMORA_BMCONV);
    }

    // What "Открыть" does after the file dialog, short of drawing the preview.
    void open()
    {
        ColourScheme scheme;
        SkinTexts texts;
        const QString skinPath = dir.filePath(QStringLiteral("skin/bench.skin"));
        if (!loadSkinFile(skinPath, scheme, texts))
            qFatal("cannot read the skin");
        SkinPictures pictures;
        SkinImageFiles files;
        if (!OpenSkinImages(skinPath, texts.mifName, setup, files, pictures).isEmpty())
            qFatal("opening the skin's pictures failed");
        benchmark::DoNotOptimize(PreviewBackground(pictures, QSize(240, 320)).constBits());
        benchmark::DoNotOptimize(PreviewCursor(pictures).constBits());
    }

    QTemporaryDir dir;
    SkinImagesSetup setup;
};

void BM_OpenSkinWithJpegPictures(benchmark::State &state)
{
    SkinFolder folder(false);
    for (auto _ : state)
        folder.open();
}
BENCHMARK(BM_OpenSkinWithJpegPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenSkinWithMbmPictures(benchmark::State &state)
{
    SkinFolder folder(true);
    for (auto _ : state)
        folder.open();
}
BENCHMARK(BM_OpenSkinWithMbmPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
