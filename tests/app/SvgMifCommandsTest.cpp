#include "../containers/TestPictures.h"
#include "TestFiles.h"

#include "CliRun.h"
#include "containers/MifImageList.h"
#include "containers/PictureCodecs.h"
#include "containers/SvgWrap.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A program folder holding the converter, which the mif commands look for there.
class SvgMifCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORA_BMCONV), path(u"bmconv"_s)));
        setCliProgramFolder(m_dir.path() + u'/');
    }
    void TearDown() override { setCliProgramFolder(QString()); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    CliRun run(const QStringList &args) { return runCommandLine(args); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SvgMifCli, SvgWrapAndExtractKeepEveryByte)
{
    const QByteArray jpeg = encodeJpeg(pattern(17, 9), 85).value();
    ASSERT_TRUE(testfiles::write(path(u"a.jpg"_s), jpeg));
    ASSERT_TRUE(testfiles::write(path(u"plain.svg"_s), "<svg/>"));
    const CliRun wrapped = run({u"svg"_s, u"wrap"_s, path(u"a.jpg"_s)});
    ASSERT_EQ(wrapped.code, 0) << wrapped.err.toStdString();
    EXPECT_EQ(wrapped.out, path(u"a.jpg.svg"_s) + u'\n');
    EXPECT_EQ(testfiles::read(path(u"a.jpg.svg"_s)), svgDocument(jpeg, kJpegMime, 17, 9));
    EXPECT_EQ(run({u"svg"_s, u"extract"_s, path(u"a.jpg.svg"_s), u"-o"_s, path(u"back"_s)}).code,
              0);
    EXPECT_EQ(testfiles::read(path(u"back.jpg"_s)), jpeg);

    const CliRun foreign =
        run({u"svg"_s, u"extract"_s, path(u"plain.svg"_s), u"-o"_s, path(u"x"_s)});
    EXPECT_EQ(foreign.code, 1);
    EXPECT_TRUE(foreign.err.contains(u"no embedded picture"_s));
    EXPECT_FALSE(QFileInfo::exists(path(u"x.png"_s)));
    EXPECT_EQ(run({u"svg"_s, u"extract"_s, path(u"plain.svg"_s)}).code, 2);
}

TEST_F(SvgMifCli, MifShowAndExtractDescribeAndWriteThePictures)
{
    const QByteArray jpeg = encodeJpeg(pattern(24, 32), 90).value();
    QTemporaryDir packing;
    QDir(packing.path()).mkpath(u"temp"_s);
    MifImageList list;
    list.ToolName = QStringLiteral(VELMORA_BMCONV);
    list.WorkFolder = packing.path();
    ASSERT_TRUE(list.AddSvgEntry(svgDocument(jpeg, kJpegMime, 24, 32)));
    ASSERT_TRUE(list.AddBitmapEntry(pattern(40, 10)));
    const QString mif = path(u"skin.mif"_s);
    ASSERT_TRUE(list.SaveToFile(mif));

    const CliRun shown = run({u"mif"_s, u"show"_s, mif});
    ASSERT_EQ(shown.code, 0) << shown.err.toStdString();
    const QString svg = u"length %1: svg image/jpeg, 24 x 32"_s.arg(list.GetEntry(0).Length);
    EXPECT_EQ(shown.out, u"%1: %2 bytes\n"_s.arg(mif).arg(QFileInfo(mif).size()) +
                             QStringLiteral("magic 0x34232342, version 2, table at 16, 4 entries\n"
                                            "entry 0: position 48, %1\n"
                                            "entry 1: position 48, %1, copy of entry 0\n"
                                            "entry 2: position -1, length 0: bitmap 1, 40 x 10\n"
                                            "entry 3: position -1, length 0: bitmap 1, 40 x 10, "
                                            "copy of entry 2\n")
                                 .arg(svg));
    // The converter worked in a private folder that is gone again.
    EXPECT_TRUE(QDir(path(u"temp"_s)).isEmpty());
    const CliRun json = run({u"mif"_s, u"show"_s, mif, u"--json"_s});
    const QJsonValue entries = QJsonDocument::fromJson(json.out.toUtf8())[u"entries"];
    EXPECT_EQ(entries[1][u"copyOf"].toInt(-1), 0);
    EXPECT_EQ(entries[2][u"height"].toInt(), 10);

    ASSERT_EQ(run({u"mif"_s, u"extract"_s, mif, u"-o"_s, path(u"out/pictures"_s)}).code, 0);
    EXPECT_EQ(testfiles::read(path(u"out/pictures/background.jpg"_s)), jpeg);
    EXPECT_EQ(decodeBmp(testfiles::read(path(u"out/pictures/cursor.bmp"_s)), QString())->size(),
              QSize(40, 10));

    // The .mbm in another case than the .mif's name, as a skin made on Windows may have it.
    ASSERT_TRUE(QFile::rename(path(u"skin.mbm"_s), path(u"SKIN.MBM"_s)));
    const CliRun upper = run({u"mif"_s, u"show"_s, mif});
    EXPECT_EQ(upper.code, 0) << upper.err.toStdString();
    EXPECT_TRUE(upper.out.contains(u"entry 2: position -1, length 0: bitmap 1, 40 x 10\n"_s))
        << upper.out.toStdString();
    EXPECT_TRUE(upper.err.isEmpty()) << upper.err.toStdString();

    // Without the .mbm the table is still shown; the line on stderr names the user's files, not
    // the converter's working copy.
    ASSERT_TRUE(QFile::remove(path(u"SKIN.MBM"_s)));
    const QString missing = u"%1: not found next to %2\n"_s.arg(path(u"skin.mbm"_s), mif);
    const CliRun noMbm = run({u"mif"_s, u"show"_s, mif});
    EXPECT_EQ(noMbm.code, 0);
    EXPECT_TRUE(noMbm.out.contains(u"bitmap 1, not in the companion .mbm"_s));
    EXPECT_EQ(noMbm.err, u"velmora-cli mif show: "_s + missing) << noMbm.err.toStdString();
    // For extract it is an error, and nothing is written.
    const CliRun noMbmExtract = run({u"mif"_s, u"extract"_s, mif, u"-o"_s, path(u"out/again"_s)});
    EXPECT_EQ(noMbmExtract.code, 1);
    EXPECT_EQ(noMbmExtract.err, u"velmora-cli mif extract: "_s + missing)
        << noMbmExtract.err.toStdString();
    EXPECT_EQ(noMbmExtract.out, QString());
    EXPECT_FALSE(QFileInfo::exists(path(u"out/again"_s)));
}

TEST_F(SvgMifCli, BrokenOrForeignMifFilesAreErrors)
{
    const QString broken = QStringLiteral(VELMORA_TEST_DATA "/containers/mif_entry_past_end.mif");
    const CliRun shown = run({u"mif"_s, u"show"_s, broken});
    EXPECT_EQ(shown.code, 1);
    EXPECT_TRUE(shown.err.contains(broken + u": entry 1 points past the end"_s));
    MifImageList one;
    ASSERT_TRUE(one.AddSvgEntry(svgDocument("x", kPngMime, 1, 1)));
    ASSERT_TRUE(one.SaveToFile(path(u"one.mif"_s)));
    for (const QString &mif : {broken, path(u"one.mif"_s)}) {
        const CliRun extracted = run({u"mif"_s, u"extract"_s, mif, u"-o"_s, path(u"o"_s)});
        EXPECT_EQ(extracted.code, 1);
        EXPECT_TRUE(extracted.err.contains(mif)) << extracted.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path(u"o"_s)));
}

TEST_F(SvgMifCli, ExtractRefusesAnEntryWithoutAPictureAndWritesNothing)
{
    const QByteArray png = encodePng(pattern(4, 4)).value();
    MifImageList list;
    // The background's wrapper lost its picture (the skin reads the copy, entry 1); the cursor
    // is fine.
    ASSERT_TRUE(list.AddSvgEntry("<svg><image href=\"elsewhere.png\"/></svg>"));
    ASSERT_TRUE(list.AddSvgEntry(svgDocument(png, kPngMime, 4, 4)));
    const QString mif = path(u"hollow.mif"_s);
    ASSERT_TRUE(list.SaveToFile(mif));
    const CliRun extracted = run({u"mif"_s, u"extract"_s, mif, u"-o"_s, path(u"h"_s)});
    EXPECT_EQ(extracted.code, 1);
    EXPECT_TRUE(extracted.err.contains(mif + u": entry 1 holds no picture"_s))
        << extracted.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path(u"h"_s)));
    // The table still describes it, without a type it does not have.
    const CliRun shown = run({u"mif"_s, u"show"_s, mif});
    EXPECT_EQ(shown.code, 0);
    EXPECT_FALSE(shown.out.contains(u"svg ,"_s)) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains(u": svg,"_s)) << shown.out.toStdString();
}

// What a file or a file name brings in reaches the terminal escaped: a picture type in a .mif,
// the paths written by mif extract.
TEST_F(SvgMifCli, TextsFromFilesAndNamesReachTheTerminalEscaped)
{
    const QByteArray jpeg = encodeJpeg(pattern(24, 32), 90).value();
    QTemporaryDir packing;
    QDir(packing.path()).mkpath(u"temp"_s);
    MifImageList list;
    list.ToolName = QStringLiteral(VELMORA_BMCONV);
    list.WorkFolder = packing.path();
    ASSERT_TRUE(list.AddSvgEntry(svgDocument(jpeg, "image/\x1b[31mjpeg\x9b", 24, 32)));
    const QString mif = path(u"skin.mif"_s);
    ASSERT_TRUE(list.SaveToFile(mif));
    const CliRun shown = run({u"mif"_s, u"show"_s, mif});
    EXPECT_FALSE(shown.out.contains(QChar(0x1b))) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains(u"image/\\x1b[31mjpeg"_s)) << shown.out.toStdString();

    MifImageList plain;
    plain.ToolName = list.ToolName;
    plain.WorkFolder = list.WorkFolder;
    ASSERT_TRUE(plain.AddSvgEntry(svgDocument(jpeg, kJpegMime, 24, 32)));
    ASSERT_TRUE(plain.AddSvgEntry(svgDocument(jpeg, kJpegMime, 24, 32)));
    ASSERT_TRUE(plain.SaveToFile(mif));
    const QString folder = path(u"out\x1b]0;title\x07"_s);
    const CliRun extracted = run({u"mif"_s, u"extract"_s, mif, u"-o"_s, folder});
    ASSERT_EQ(extracted.code, 0) << extracted.err.toStdString();
    EXPECT_FALSE(extracted.out.contains(QChar(0x1b)));
    EXPECT_FALSE(extracted.out.contains(QChar(0x07)));
    EXPECT_TRUE(extracted.out.contains(u"out\\x1b]0;title\\x07/"_s)) << extracted.out.toStdString();
}

// svg wrap takes exactly the pictures a skin can open: one cut short, or claiming a size its data
// does not have, is refused as the renderer refuses it.
TEST_F(SvgMifCli, SvgWrapRefusesPicturesTheRendererRefuses)
{
    const QByteArray png = encodePng(pattern(64, 64)).value();
    ASSERT_TRUE(testfiles::write(path(u"cut.png"_s), png.left(50)));
    QByteArray jpeg = encodeJpeg(pattern(16, 16), 90).value();
    // The frame header's height and width, claimed far larger than the data.
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    jpeg[sof + 5] = char(11000 >> 8);
    jpeg[sof + 6] = char(11000 & 0xFF);
    jpeg[sof + 7] = char(12000 >> 8);
    jpeg[sof + 8] = char(12000 & 0xFF);
    ASSERT_TRUE(testfiles::write(path(u"tall.jpg"_s), jpeg.chopped(8)));
    ASSERT_TRUE(testfiles::write(path(u"good.png"_s), png));
    for (const QString &name : {u"cut.png"_s, u"tall.jpg"_s, u"good.png"_s}) {
        const bool good = name == u"good.png"_s;
        QFile::remove(path(u"w.svg"_s));
        const CliRun wrapped = run({u"svg"_s, u"wrap"_s, path(name), u"-o"_s, path(u"w.svg"_s)});
        EXPECT_EQ(wrapped.code, good ? 0 : 1) << name.toStdString();
        EXPECT_EQ(wrapped.err.contains(path(name)), !good) << wrapped.err.toStdString();
        EXPECT_EQ(QFileInfo::exists(path(u"w.svg"_s)), good) << name.toStdString();
        setCliProgramFolder(QStringLiteral(VELMORA_PROGRAM_DIR "/"));
        const CliRun rendered =
            run({u"render"_s, u"-o"_s, path(u"r.png"_s), u"--background"_s, path(name)});
        setCliProgramFolder(m_dir.path() + u'/');
        EXPECT_EQ(rendered.code, wrapped.code)
            << "the renderer agrees: " << name.toStdString() << rendered.err.toStdString();
    }
}
