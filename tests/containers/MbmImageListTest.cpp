#include "containers/MbmImageList.h"
#include "containers/PictureCodecs.h"
#include "containers/RunCaptured.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace {

// A work folder with a temp/ subfolder and a stand-in converter script, so the parsing of the
// converter's output can be driven line by line.
class WorkFolder : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("temp"))); }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        ASSERT_TRUE(testfiles::write(path(name), bytes));
    }

    QByteArray readFile(const QString &name) const { return testfiles::read(path(name)); }

    void writeTool(const QByteArray &script)
    {
        writeFile(QStringLiteral("faketool"), "#!/bin/sh\n" + script);
        QFile(path(QStringLiteral("faketool")))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
    }

    MbmImageList makeList()
    {
        MbmImageList list;
        list.ToolName = QStringLiteral("faketool");
        list.WorkFolder = m_dir.path();
        list.OnProgress = [this](const QString &text) {
            progress.append(text);
        };
        list.OnMessage = [this](const QString &caption, const QString &text) {
            messages.append(caption + u'|' + text);
        };
        return list;
    }

    // A converter that describes `info` for /v and, for /u, copies src/N.bmp to the targets.
    void writeUnpackingTool(const QByteArray &info, const QByteArray &unpackTail = "echo Success.")
    {
        writeFile(QStringLiteral("info.txt"), info);
        writeTool("if [ \"$1\" = /v ]; then cat info.txt; exit 0; fi\n"
                  "shift 2; n=1\n"
                  "for target in \"$@\"; do cp src/$n.bmp \"$target\"; n=$((n+1)); done\n" +
                  unpackTail + "\n");
        QDir(m_dir.path()).mkdir(QStringLiteral("src"));
    }

    void writeSourceBitmap(int n, const QImage &image)
    {
        writeFile(QStringLiteral("src/%1.bmp").arg(n), encodeBmp24(image));
    }

    QTemporaryDir m_dir;
    QStringList progress;
    QStringList messages;
};

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray infoFor(const QList<QByteArray> &modes)
{
    QByteArray text = "\r\n\r\nBMCONV version 119.\r\ntemp/temp.mbm is a File store containing " +
                      QByteArray::number(modes.size()) + " bitmaps\r\n";
    for (int k = 1; k <= modes.size(); ++k) {
        text += "Bitmap " + QByteArray::number(k) + " information:\r\n";
        text +=
            "Pixel size 4 x 2\r\nTwips size 0 x 0\r\n" + modes[k - 1] + "\r\nNo compression\r\n";
    }
    return text;
}

} // namespace

TEST(NextLine, SplitsAtCrLfOnly)
{
    QString text = QStringLiteral("one\r\ntwo\nstill two\r\n\r\nlast");
    EXPECT_EQ(NextLine(text), QStringLiteral("one"));
    EXPECT_EQ(NextLine(text), QStringLiteral("two\nstill two"));
    EXPECT_EQ(NextLine(text), QString());
    EXPECT_EQ(NextLine(text), QStringLiteral("last"));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(NextLine(text), QString());
}

TEST_F(WorkFolder, RunCapturedAppendsCrLfLinesAndCleansUp)
{
    writeTool("printf 'alpha\\nbeta\\r\\ngamma'\n");
    QString output = QStringLiteral("before");
    ASSERT_TRUE(RunCaptured(QStringLiteral("faketool"), {}, m_dir.path(), output));
    EXPECT_EQ(output, QStringLiteral("before\r\nalpha\r\nbeta\r\ngamma\r\n"));
    EXPECT_TRUE(QDir(path(QStringLiteral("temp"))).entryList(QDir::Files).isEmpty())
        << "the capture file is left behind";
}

TEST_F(WorkFolder, RunCapturedRunsAtIdlePriorityInTheWorkFolder)
{
    writeTool("nice; pwd\n");
    QString output;
    ASSERT_TRUE(RunCaptured(QStringLiteral("faketool"), {}, m_dir.path(), output));
    const QStringList lines = capturedLines(output);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1], QStringLiteral("19"));
    EXPECT_EQ(QDir(lines[2]).canonicalPath(), QDir(m_dir.path()).canonicalPath());
}

TEST_F(WorkFolder, ToolThatCannotStartLeavesOutputAlone)
{
    QString output = QStringLiteral("kept");
    const auto ran = RunCaptured(QStringLiteral("no-such-tool"), {}, m_dir.path(), output);
    ASSERT_FALSE(ran);
    EXPECT_TRUE(ran.error().message.contains(QStringLiteral("no-such-tool")));
    EXPECT_EQ(output, QStringLiteral("kept"));

    MbmImageList list = makeList();
    list.ToolName = QStringLiteral("no-such-tool");
    writeFile(QStringLiteral("a.mbm"), "x");
    EXPECT_FALSE(list.LoadFromMBM(path(QStringLiteral("a.mbm"))));
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.first().startsWith(QStringLiteral("RunCaptured Error|")));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(WorkFolder, LoadsBitmapsWithTheirColourModes)
{
    writeUnpackingTool(infoFor({"16 Bpp Colour", "8 Bpp Monochrome"}));
    writeSourceBitmap(1, filled(4, 2, qRgb(255, 0, 0)));
    writeSourceBitmap(2, filled(3, 5, qRgb(9, 9, 9)));
    writeFile(QStringLiteral("icons.mbm"), "whatever");
    MbmImageList list = makeList();
    ASSERT_TRUE(list.LoadFromMBM(path(QStringLiteral("icons.mbm"))))
        << messages.join(u'\n').toStdString();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(0).ColourMode, QStringLiteral("16 Bpp Colour"));
    EXPECT_EQ(list.Get(1).ColourMode, QStringLiteral("8 Bpp Monochrome"));
    EXPECT_EQ(list.Get(0).Bitmap.pixel(0, 0), qRgb(255, 0, 0));
    // The icon size is item 0's, whatever the others measure.
    EXPECT_EQ(list.Width(), 4);
    EXPECT_EQ(list.Height(), 2);
    EXPECT_EQ(readFile(QStringLiteral("temp/temp.mbm")), QByteArray("whatever"));
    EXPECT_TRUE(progress.contains(QStringLiteral("Загрузка файла \"temp/2.bmp\"...")));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WorkFolder, InformationHeadersCountOnlyInOrder)
{
    QByteArray info = "temp/temp.mbm is a ROM image containing 2 bitmaps\r\n"
                      "Bitmap 2 information:\r\na\r\nb\r\nWRONG\r\nd\r\n"
                      "Bitmap 1 information:\r\na\r\nb\r\n4 Bpp Colour\r\nd\r\n"
                      "Bitmap 2 information:\r\na\r\nb\r\n24 Bpp Colour\r\nd\r\n";
    writeUnpackingTool(info);
    writeSourceBitmap(1, filled(2, 2, 0));
    writeSourceBitmap(2, filled(2, 2, 0));
    writeFile(QStringLiteral("x.mbm"), "x");
    MbmImageList list = makeList();
    ASSERT_TRUE(list.LoadFromMBM(path(QStringLiteral("x.mbm"))));
    EXPECT_EQ(list.Get(0).ColourMode, QStringLiteral("4 Bpp Colour"));
    EXPECT_EQ(list.Get(1).ColourMode, QStringLiteral("24 Bpp Colour"));
}

TEST_F(WorkFolder, ZeroBitmapsGiveAnEmptyList)
{
    writeUnpackingTool(infoFor({}), "echo \"targets:$#\"; echo Success.");
    writeFile(QStringLiteral("empty.mbm"), "x");
    MbmImageList list = makeList();
    list.Add(filled(1, 1, 0));
    ASSERT_TRUE(list.LoadFromMBM(path(QStringLiteral("empty.mbm"))));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(progress.filter(QStringLiteral("targets:0")).size() == 1);
}

TEST_F(WorkFolder, ConverterComplaintsEndTheLoadWithTheirMessages)
{
    const struct
    {
        QByteArray script;
        QString message;
    } cases[] = {
        {"echo 'Problem reading number of bitmaps '",
         QStringLiteral(
             "Ошибка чтения файла temp/temp.mbm. Битый файл.\r\nЗагрузка файла прекращена")},
        {"if [ \"$1\" = /v ]; then echo 'temp/temp.mbm is a File store containing 1 bitmaps'; "
         "else echo 'Number of sources/targets mismatch.'; echo Success.; fi",
         QStringLiteral("Ошибка чтения файла temp/temp.mbm. Число битмапов некорректно. "
                        "Опрерация завершена")},
        {"if [ \"$1\" = /v ]; then echo 'temp/temp.mbm is a File store containing 1 bitmaps'; "
         "else echo 'Success.'; echo 'Trailing'; fi",
         QStringLiteral("Программа не смогла корректно проанализировать данные командной "
                        "строки\r\nОперация прекращена")},
    };
    writeFile(QStringLiteral("a.mbm"), "x");
    for (const auto &c : cases) {
        writeTool(c.script + "\n");
        messages.clear();
        MbmImageList list = makeList();
        list.Add(filled(2, 2, 0));
        EXPECT_FALSE(list.LoadFromMBM(path(QStringLiteral("a.mbm"))));
        EXPECT_EQ(messages, QStringList{u'|' + c.message});
        EXPECT_EQ(list.Count(), 0) << "a failed list must behave as empty";
        QImage canvas = filled(4, 4, qRgb(1, 2, 3));
        list.DrawMasked(canvas, 0, 0, 0);
        EXPECT_EQ(canvas, filled(4, 4, qRgb(1, 2, 3)));
    }
}

TEST_F(WorkFolder, CountThatIsNotANumberIsAnError)
{
    writeTool("echo 'temp/temp.mbm is a File store containing many bitmaps'\n");
    writeFile(QStringLiteral("a.mbm"), "x");
    MbmImageList list = makeList();
    const auto loaded = list.LoadFromMBM(path(QStringLiteral("a.mbm")));
    ASSERT_FALSE(loaded);
    EXPECT_TRUE(loaded.error().message.contains(QStringLiteral("many")));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(WorkFolder, MissingSourceNeverReadsAnOldCopy)
{
    writeFile(QStringLiteral("temp/temp.mbm"), "stale");
    writeTool("if [ -e temp/temp.mbm ]; then echo 'temp/temp.mbm is a File store containing 0 "
              "bitmaps'; echo Success.; else echo 'Problem reading number of bitmaps '; fi\n");
    MbmImageList list = makeList();
    EXPECT_FALSE(list.LoadFromMBM(path(QStringLiteral("missing.mbm"))));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains(QStringLiteral("Битый файл")));
}

TEST_F(WorkFolder, SavePassesDepthSwitchesAndReplacesTheTarget)
{
    writeTool("echo \"$@\" > args.txt; printf 'MBMDATA' > temp/temp.mbm; echo done\n");
    MbmImageList list = makeList();
    list.Add(filled(2, 2, qRgb(255, 0, 0)));
    list.Add(filled(2, 2, qRgb(0, 255, 0)));
    writeFile(QStringLiteral("out.mbm"), "old");
    ASSERT_TRUE(list.SaveToMBM(path(QStringLiteral("out.mbm"))));
    EXPECT_EQ(readFile(QStringLiteral("args.txt")),
              QByteArray("temp/temp.mbm /c16temp/1.bmp /c16temp/2.bmp\n"));
    EXPECT_EQ(readFile(QStringLiteral("out.mbm")), QByteArray("MBMDATA"));
    const auto first = decodeBmp(readFile(QStringLiteral("temp/1.bmp")), QStringLiteral("1.bmp"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->pixel(1, 1), qRgb(255, 0, 0));
}

TEST_F(WorkFolder, UnknownColourModeTakesThePreviousSwitch)
{
    writeUnpackingTool(infoFor({"Odd", "8 Bpp Monochrome", "Strange"}));
    for (int n = 1; n <= 3; ++n)
        writeSourceBitmap(n, filled(1, 1, 0));
    writeFile(QStringLiteral("in.mbm"), "x");
    MbmImageList list = makeList();
    ASSERT_TRUE(list.LoadFromMBM(path(QStringLiteral("in.mbm"))));
    writeTool("echo \"$@\" > args.txt; printf 'M' > temp/temp.mbm\n");
    ASSERT_TRUE(list.SaveToMBM(path(QStringLiteral("out.mbm"))));
    EXPECT_EQ(readFile(QStringLiteral("args.txt")),
              QByteArray("temp/temp.mbm temp/1.bmp /8temp/2.bmp /8temp/3.bmp\n"));
}

TEST_F(WorkFolder, FailedPackKeepsTheOldTarget)
{
    writeFile(QStringLiteral("temp/temp.mbm"), "stale");
    writeTool("echo 'Bad source file(s).'\n");
    MbmImageList list = makeList();
    list.Add(filled(2, 2, 0));
    writeFile(QStringLiteral("out.mbm"), "old");
    const auto saved = list.SaveToMBM(path(QStringLiteral("out.mbm")));
    ASSERT_FALSE(saved);
    EXPECT_TRUE(saved.error().message.contains(QStringLiteral("out.mbm")));
    EXPECT_EQ(readFile(QStringLiteral("out.mbm")), QByteArray("old"));
    EXPECT_TRUE(messages.isEmpty()) << "the failure is the error's to tell, once";
}

TEST(BlendWithMask, WhiteKeyShowsTheIconWhereTheMaskIsDark)
{
    QImage mask = filled(3, 1, qRgb(255, 255, 255));
    mask.setPixel(0, 0, qRgb(0, 0, 0));
    mask.setPixel(1, 0, qRgb(51, 51, 51)); // background weight 0.2
    QImage background = filled(3, 1, qRgb(100, 100, 100));
    BlendWithMask(filled(3, 1, qRgb(200, 0, 255)), background, mask, qRgb(255, 255, 255));
    EXPECT_EQ(background.pixel(0, 0), qRgb(200, 0, 255));
    EXPECT_EQ(background.pixel(1, 0), qRgb(180, 20, 224));
    EXPECT_EQ(background.pixel(2, 0), qRgb(100, 100, 100));
}

TEST(BlendWithMask, BlackKeyShowsTheIconWhereTheMaskIsBright)
{
    QImage mask = filled(3, 1, qRgb(0, 0, 0));
    mask.setPixel(0, 0, qRgb(255, 255, 255));
    mask.setPixel(1, 0, qRgb(204, 204, 204)); // background weight 0.2
    QImage background = filled(3, 1, qRgb(100, 100, 100));
    BlendWithMask(filled(3, 1, qRgb(200, 0, 255)), background, mask, qRgb(0, 0, 0));
    EXPECT_EQ(background.pixel(0, 0), qRgb(200, 0, 255));
    EXPECT_EQ(background.pixel(1, 0), qRgb(180, 20, 224));
    EXPECT_EQ(background.pixel(2, 0), qRgb(100, 100, 100));
}

TEST(BlendWithMask, RoundsToTheNearestValue)
{
    // Background weight 2/3 over a black background: 1 -> 0.33 -> 0, 2 -> 0.67 -> 1,
    // 254 -> 84.67 -> 85 (truncation would give 0, 0 and 84).
    QImage mask = filled(1, 1, qRgb(170, 170, 170));
    QImage background = filled(1, 1, qRgb(0, 0, 0));
    BlendWithMask(filled(1, 1, qRgb(1, 2, 254)), background, mask, qRgb(255, 255, 255));
    EXPECT_EQ(background.pixel(0, 0), qRgb(0, 1, 85));
}

TEST(BlendWithMask, EveryColourAndWeightMixesAsTheFloatingPointRuleDid)
{
    // Every picture byte against every background byte (x and y of a 256 x 256 square), under
    // every mask brightness sum 0..765 and both keys, compared with the mix the blend was first
    // written with: picture·(1 − w) + background·w in doubles, rounded half to even.
    QImage picture(256, 256, QImage::Format_RGB32);
    QImage start(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            picture.setPixel(x, y, qRgb(x, 255 - x, x));
            start.setPixel(x, y, qRgb(y, y, 255 - y));
        }
    }
    std::fesetround(FE_TONEAREST);
    const auto reference = [](int p, int b, double w) {
        return int(std::nearbyint(p * (1.0 - w) + b * w));
    };
    int wrong = 0;
    for (const QRgb key : {qRgb(255, 255, 255), qRgb(0, 0, 0)}) {
        const bool whiteKey = key == qRgb(255, 255, 255);
        for (int s = 0; s <= 765; ++s) {
            const QRgb m =
                qRgb(std::min(s, 255), std::clamp(s - 255, 0, 255), std::clamp(s - 510, 0, 255));
            if (m == key)
                continue;
            QImage mask(256, 256, QImage::Format_RGB32);
            mask.fill(m);
            QImage background = start;
            BlendWithMask(picture, background, mask, key);
            const double w = whiteKey ? s / 765.0 : (765 - s) / 765.0;
            for (int y = 0; y < 256 && wrong < 5; ++y) {
                const auto *out = reinterpret_cast<const QRgb *>(background.constScanLine(y));
                for (int x = 0; x < 256; ++x) {
                    const QRgb expected = qRgb(reference(x, y, w), reference(255 - x, y, w),
                                               reference(x, 255 - y, w));
                    if (out[x] != expected && ++wrong <= 5)
                        ADD_FAILURE() << "sum " << s << " at " << x << "," << y;
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(BlendWithMask, LargerBackgroundIsLeftAlone)
{
    for (const QSize size : {QSize(5, 3), QSize(3, 5)}) {
        QImage background = filled(size.width(), size.height(), qRgb(1, 2, 3));
        const QImage before = background;
        BlendWithMask(filled(4, 4, qRgb(200, 0, 0)), background, filled(4, 4, 0),
                      qRgb(255, 255, 255));
        EXPECT_EQ(background, before);
    }
}

TEST_F(WorkFolder, DrawMaskedPicksTheKeyFromTheMasksMode)
{
    writeUnpackingTool(
        infoFor({"16 Bpp Colour", "8 Bpp Monochrome", "24 Bpp Colour", "1 Bpp Monochrome"}));
    QImage halfMask = filled(2, 1, qRgb(255, 255, 255));
    halfMask.setPixel(1, 0, qRgb(0, 0, 0));
    writeSourceBitmap(1, filled(2, 1, qRgb(255, 0, 0)));
    writeSourceBitmap(2, halfMask);
    writeSourceBitmap(3, filled(2, 1, qRgb(0, 0, 255)));
    writeSourceBitmap(4, halfMask);
    writeFile(QStringLiteral("icons.mbm"), "x");
    MbmImageList list = makeList();
    ASSERT_TRUE(list.LoadFromMBM(path(QStringLiteral("icons.mbm"))));

    QImage canvas = filled(4, 2, qRgb(0, 255, 0));
    list.DrawMasked(canvas, 1, 0, 0); // 8-bit mask: white shows the icon
    list.DrawMasked(canvas, 1, 1, 2); // 1-bit mask: black shows the icon
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(2, 0), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_EQ(canvas.pixel(2, 1), qRgb(0, 0, 255));
    // Out of range draws nothing.
    const QImage before = canvas;
    list.DrawMasked(canvas, 0, 0, 7);
    EXPECT_EQ(canvas, before);

    // A copied icon keeps its mask's meaning; a plain Add treats the mask as a colour mask.
    MbmImageList copy;
    copy.AddItem(list.Get(0));
    copy.AddItem(list.Get(1));
    QImage copied = filled(2, 1, qRgb(0, 255, 0));
    copy.DrawMasked(copied, 0, 0, 0);
    EXPECT_EQ(copied.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(copied.pixel(1, 0), qRgb(0, 255, 0));
    MbmImageList added;
    added.Add(list.Get(0).Bitmap);
    added.Add(list.Get(1).Bitmap);
    QImage inverted = filled(2, 1, qRgb(0, 255, 0));
    added.DrawMasked(inverted, 0, 0, 0);
    EXPECT_EQ(inverted.pixel(0, 0), qRgb(0, 255, 0));
}

TEST_F(WorkFolder, RoundTripThroughTheRealConverter)
{
    QFile::copy(QStringLiteral(VELMORA_BMCONV), path(QStringLiteral("bmconv")));
    MbmImageList list = makeList();
    list.ToolName = QStringLiteral("bmconv");
    QImage icon = filled(16, 16, qRgb(0, 0, 0));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            icon.setPixel(x, y, qRgb(x * 16, y * 16, 255 - x * 8));
    list.Add(icon);
    list.Add(filled(5, 3, qRgb(255, 255, 255)));
    ASSERT_TRUE(list.SaveToMBM(path(QStringLiteral("out.mbm"))))
        << messages.join(u'\n').toStdString();

    MbmImageList back = makeList();
    back.ToolName = QStringLiteral("bmconv");
    ASSERT_TRUE(back.LoadFromMBM(path(QStringLiteral("out.mbm"))))
        << messages.join(u'\n').toStdString();
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Get(0).ColourMode, QStringLiteral("16 Bpp Colour"));
    EXPECT_EQ(back.Width(), 16);
    EXPECT_EQ(back.Get(1).Bitmap.size(), QSize(5, 3));
    // 16-bit colour keeps the top 5/6/5 bits of each component.
    const QRgb p = back.Get(0).Bitmap.pixel(5, 9);
    EXPECT_EQ(qRed(p) & 0xF8, 80);
    EXPECT_EQ(qGreen(p) & 0xFC, 144);
    EXPECT_EQ(qBlue(p) & 0xF8, (255 - 40) & 0xF8);
    EXPECT_TRUE(messages.isEmpty());
}
