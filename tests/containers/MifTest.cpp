#include "TestFiles.h"
#include "TestPictures.h"

#include "containers/MifImageList.h"
#include "core/Cp1251.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

#include <limits>

namespace {

QByteArray le32(std::initializer_list<qint32> values)
{
    QByteArray bytes;
    for (qint32 v : values) {
        char le[4];
        qToLittleEndian(v, le);
        bytes.append(le, 4);
    }
    return bytes;
}

const QByteArray kB = "<svg>background pictures</svg>"; // 30 bytes
const QByteArray kC = "<svg>cursor</svg>";              // 17 bytes
const QByteArray kBitmap;                               // stands for a bitmap picture

MifImageList listOf(const QList<QByteArray> &pictures)
{
    MifImageList list;
    for (const QByteArray &p : pictures)
        EXPECT_TRUE(p.isEmpty() ? list.AddBitmapEntry(filled(3, 2, 0)) : list.AddSvgEntry(p));
    return list;
}

// A folder to run the real converter in.
class MifFolder : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"temp"_s)); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    MifImageList makeList(const QString &tool = QStringLiteral(VELMORA_BMCONV))
    {
        MifImageList list;
        list.ToolName = tool;
        list.WorkFolder = m_dir.path();
        list.OnMessage = [this](const QString &, const QString &text) {
            messages.append(text);
        };
        return list;
    }
    QTemporaryDir m_dir;
    QStringList messages;
};

} // namespace

TEST(MifLayout, OffsetsAndSizesOfEveryMixReadBackUnchanged)
{
    using Row = std::pair<qint32, qint32>;
    const struct
    {
        QList<QByteArray> pictures;
        QList<Row> rows;
        qint64 fileSize;
    } layouts[] = {
        {{kC}, {{32, 49}, {32, 49}}, 16 + 16 + 32 + 17},
        {{kB, kC}, {{48, 62}, {48, 62}, {110, 49}, {110, 49}}, 48 + 64 + 30 + 17},
        {{kBitmap, kC}, {{-1, 0}, {-1, 0}, {48, 49}, {48, 49}}, 48 + 32 + 17},
        {{kB, kBitmap}, {{48, 62}, {48, 62}, {-1, 0}, {-1, 0}}, 48 + 32 + 30},
        {{kBitmap, kBitmap}, {{-1, 0}, {-1, 0}, {-2, 0}, {-2, 0}}, 48},
        {{kB, kBitmap, kC}, {{64, 62}, {64, 62}, {-1, 0}, {-1, 0}, {126, 49}, {126, 49}}, 175},
    };
    for (const auto &layout : layouts) {
        const MifImageList list = listOf(layout.pictures);
        const auto bytes = writeMif(list.entries());
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->size(), layout.fileSize);
        const auto back = readMif(*bytes, u"x.mif"_s);
        ASSERT_TRUE(back);
        QList<Row> rows, readRows;
        for (int i = 0; i < list.Count(); ++i) {
            rows.append({list.GetEntry(i).Offset, list.GetEntry(i).Length});
            readRows.append({back->entries.value(i).Offset, back->entries.value(i).Length});
            EXPECT_EQ(back->entries.value(i).Data, list.GetEntry(i).Data);
            EXPECT_EQ(back->entries.value(i).IsBitmap, list.GetEntry(i).IsBitmap);
        }
        EXPECT_EQ(rows, layout.rows);
        EXPECT_EQ(readRows, layout.rows);
    }
    EXPECT_EQ(writeMif(listOf({kB, kC}).entries()).value(),
              le32({0x34232342, 2, 16, 4, 48, 62, 48, 62, 110, 49, 110, 49}) +
                  le32({0x34232343, 1, 32, 30, 1, 8, 0, 0}) + kB +
                  le32({0x34232343, 1, 32, 17, 1, 8, 0, 0}) + kC);
}

TEST(MifFile, ReportsEveryValueItReads)
{
    const QByteArray svg = cp1251::encode(u"<svg id=\"Слой_1\"/>"_s);
    QStringList seen;
    ASSERT_TRUE(readMif(writeMif(listOf({svg, kBitmap}).entries()).value(), u"a"_s,
                        [&](const QString &text) { seen.append(text); }));
    // Three in the header, seven in each of the two SVG entries' block header.
    EXPECT_EQ(seen.filter(u"Неизвестное число: "_s).size(), 3 + 2 * 7);
    EXPECT_EQ(seen.count(u"=================F=I=L=E====================="_s), 4);
    for (const QString &line :
         {u"Число картинок: 4"_s, u"Позиция ячейки файла: 48"_s, u"Длина ячейки файла: 50"_s,
          u"Длина файла: 18"_s, u"<svg id=\"Слой_1\"/>"_s,
          u"Содержимое: \r\nФормат MBM, номер картинки 1"_s})
        EXPECT_TRUE(seen.contains(line)) << line.toStdString();
}

TEST(MifFile, BrokenFilesAreErrorsThatNameTheFileAndTheDefect)
{
    const std::pair<const char *, const char *> cases[] = {
        {"mif_truncated_header.mif", "16-byte header"},
        {"mif_table_past_end.mif", "table of 4 entries"},
        {"mif_negative_count.mif", "count -1"},
        {"mif_absurd_count.mif", "count 2147483647"},
        {"mif_entry_past_end.mif", "entry 1 points past the end"},
        {"mif_block_shorter_than_text.mif", "claims 500 bytes"},
        {"mif_negative_text_length.mif", "claims -5 bytes"},
        {"mif_entry_inside_table.mif", "entry 0 points into"},
    };
    for (const auto &[file, says] : cases) {
        const QString path = QStringLiteral(VELMORA_TEST_DATA "/containers/") + QLatin1String(file);
        const auto contents = readMif(testfiles::read(path), path);
        ASSERT_FALSE(contents) << file;
        EXPECT_TRUE(contents.error().message.startsWith(path + u": "_s));
        EXPECT_TRUE(contents.error().message.contains(QLatin1String(says)))
            << contents.error().message.toStdString();
    }
    // Values at the ends of the 32-bit range neither overflow nor wrap a bounds check.
    constexpr qint32 lowest = std::numeric_limits<qint32>::min();
    constexpr qint32 highest = std::numeric_limits<qint32>::max();
    const auto far = readMif(le32({kMifMagic, 2, 16, 1, lowest, 0}), u"m"_s);
    ASSERT_TRUE(far);
    EXPECT_EQ(mifBitmapNumber(far->entries[0]), 2147483648LL);
    EXPECT_FALSE(readMif(le32({kMifMagic, 2, 16, 1, highest - 8, 40}), u"m"_s));
    EXPECT_FALSE(readMif(le32({kMifMagic, 2, 16, 1, 24, 40, kMifBlockMagic, 1, 32, highest}) +
                             le32({1, 8, 0, 0}),
                         u"m"_s));
}

TEST_F(MifFolder, BitmapsTravelThroughTheCompanionMbm)
{
    QImage background = filled(8, 6, qRgb(16, 132, 248));
    background.setPixel(7, 5, qRgb(255, 0, 0));
    MifImageList list = makeList();
    ASSERT_TRUE(list.AddBitmapEntry(background));
    ASSERT_TRUE(list.AddBitmapEntry(filled(12, 3, qRgb(64, 200, 0))));
    ASSERT_TRUE(list.SaveToFile(path(u"both.mif"_s)));
    EXPECT_EQ(testfiles::read(path(u"both.mif"_s)),
              le32({kMifMagic, 2, 16, 4, -1, 0, -1, 0, -2, 0, -2, 0}));

    MifImageList back = makeList();
    ASSERT_TRUE(back.LoadFromFile(path(u"both.mif"_s)));
    EXPECT_TRUE(back.HasBitmaps);
    // Bitmap 1 is the background, for the picture and its copy alike.
    for (int i : {0, 1})
        EXPECT_EQ(as565(back.GetEntry(i).Bitmap.pixel(7, 5)), qRgb(248, 0, 0));
    EXPECT_EQ(back.GetEntry(3).Bitmap.size(), QSize(12, 3));
    EXPECT_EQ(as565(back.GetEntry(3).Bitmap.pixel(11, 2)), as565(qRgb(64, 200, 0)));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

TEST_F(MifFolder, TheCompanionMbmIsFoundInAnyCase)
{
    MifImageList list = makeList();
    ASSERT_TRUE(list.AddBitmapEntry(filled(5, 4, qRgb(248, 0, 0))));
    ASSERT_TRUE(list.SaveToFile(path(u"UP.MIF"_s)));
    // Saving writes UP.mbm; a skin made on Windows may carry it as UP.MBM.
    ASSERT_TRUE(QFileInfo::exists(path(u"UP.mbm"_s)));
    ASSERT_TRUE(QFile::rename(path(u"UP.mbm"_s), path(u"UP.MBM"_s)));
    EXPECT_EQ(findCompanionMbm(path(u"UP.MIF"_s)), path(u"UP.MBM"_s));

    MifImageList back = makeList();
    ASSERT_TRUE(back.LoadFromFile(path(u"UP.MIF"_s)));
    EXPECT_EQ(back.GetEntry(1).Bitmap.size(), QSize(5, 4));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();

    // Without any .mbm the name asked for is the one reported missing.
    ASSERT_TRUE(QFile::remove(path(u"UP.MBM"_s)));
    EXPECT_EQ(findCompanionMbm(path(u"UP.MIF"_s)), path(u"UP.mbm"_s));
}

TEST_F(MifFolder, FailuresKeepWhatWasThere)
{
    // The converter fails: the old .mif stays and no .mbm appears.
    ASSERT_TRUE(testfiles::write(path(u"broken-tool"_s), "#!/bin/sh\necho 'Bad file'\n"));
    QFile(path(u"broken-tool"_s)).setPermissions(QFileDevice::ExeOwner | QFileDevice::ReadOwner);
    ASSERT_TRUE(testfiles::write(path(u"skin.mif"_s), "old"));
    MifImageList failing = makeList(u"broken-tool"_s);
    ASSERT_TRUE(failing.AddBitmapEntry(filled(2, 2, 0)));
    EXPECT_FALSE(failing.SaveToFile(path(u"skin.mif"_s)));
    EXPECT_EQ(testfiles::read(path(u"skin.mif"_s)), QByteArray("old"));
    EXPECT_FALSE(QFileInfo::exists(path(u"skin.mbm"_s)));
    EXPECT_TRUE(messages.isEmpty()) << "the failure is the error's to tell, once";

    // A file that cannot be read leaves the list as it was.
    MifImageList list = makeList();
    ASSERT_TRUE(list.AddSvgEntry(kB));
    for (const QString &bad : {path(u"skin.mif"_s), path(u"none.mif"_s)}) {
        ASSERT_FALSE(list.LoadFromFile(bad));
        EXPECT_EQ(list.GetEntry(1).Data, kB);
    }

    // Bitmap numbers the .mbm lacks (0, and 2 of a one-bitmap file) load without a picture, and
    // such a list is not saved: the table would be paired with the wrong bitmaps.
    MifImageList one = makeList();
    ASSERT_TRUE(one.AddBitmapEntry(filled(2, 2, 0)));
    ASSERT_TRUE(one.SaveToFile(path(u"one.mif"_s)));
    ASSERT_TRUE(
        testfiles::write(path(u"odd.mif"_s), le32({kMifMagic, 2, 16, 3, -1, 0, 0, 0, -2, 0})));
    QFile::copy(path(u"one.mbm"_s), path(u"odd.mbm"_s));
    ASSERT_TRUE(list.LoadFromFile(path(u"odd.mif"_s)));
    EXPECT_FALSE(list.GetEntry(0).Bitmap.isNull());
    EXPECT_TRUE(list.GetEntry(1).Bitmap.isNull());
    EXPECT_TRUE(list.GetEntry(2).Bitmap.isNull());
    EXPECT_FALSE(list.SaveToFile(path(u"resaved.mif"_s)));
    EXPECT_FALSE(QFileInfo::exists(path(u"resaved.mif"_s)));
}
