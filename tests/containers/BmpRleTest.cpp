#include "containers/PictureCodecs.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 kRle8 = 1;
constexpr quint32 kRle4 = 2;

// Sixteen colours that differ in every entry; index 0 is what the stream leaves unwritten.
QList<QRgb> palette16()
{
    QList<QRgb> colours;
    for (int i = 0; i < 16; ++i)
        colours.append(qRgb(i * 16 + 1, 250 - i * 13, (i * 37) % 256));
    return colours;
}

struct RleFile
{
    int width = 0;
    int height = 0;
    quint32 compression = kRle8;
    QByteArray stream;
    // The header's data size; -1 gives the stream's length.
    int imageSize = -1;
    int bpp = 0; // 0: the depth that goes with the compression
};

// A Windows bitmap with a 40-byte info header, a sixteen-entry palette and the stream as its
// pixel data.
QByteArray assemble(const RleFile &f)
{
    const QList<QRgb> palette = palette16();
    const int offset = 14 + 40 + 4 * int(palette.size());
    QByteArray out(offset, '\0');
    auto *p = reinterpret_cast<uchar *>(out.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(offset + f.stream.size()), p + 2);
    qToLittleEndian<quint32>(quint32(offset), p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(f.width, p + 18);
    qToLittleEndian<qint32>(f.height, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    const int bpp = f.bpp != 0 ? f.bpp : f.compression == kRle8 ? 8 : 4;
    qToLittleEndian<quint16>(quint16(bpp), p + 28);
    qToLittleEndian<quint32>(f.compression, p + 30);
    qToLittleEndian<quint32>(quint32(f.imageSize < 0 ? f.stream.size() : f.imageSize), p + 34);
    qToLittleEndian<quint32>(quint32(palette.size()), p + 46);
    for (int i = 0; i < palette.size(); ++i) {
        p[54 + 4 * i] = uchar(qBlue(palette[i]));
        p[54 + 4 * i + 1] = uchar(qGreen(palette[i]));
        p[54 + 4 * i + 2] = uchar(qRed(palette[i]));
    }
    return out + f.stream;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(uchar(v)));
    return out;
}

// The decoded picture as palette indexes, one hex digit a pixel, top row first; '?' for a colour
// not in the palette.
QStringList indexRows(const QImage &image)
{
    const QList<QRgb> palette = palette16();
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QString row;
        for (int x = 0; x < image.width(); ++x) {
            const qsizetype index = palette.indexOf(image.pixel(x, y));
            row += index < 0 ? u"?"_s : QString::number(index, 16).toUpper();
        }
        rows.append(row);
    }
    return rows;
}

void expectPicture(const RleFile &file, const QStringList &rows)
{
    const auto image = decodeBmp(assemble(file), QStringLiteral("rle.bmp"));
    ASSERT_TRUE(image) << image.error().message.toStdString();
    EXPECT_EQ(indexRows(*image).join(u'/').toStdString(), rows.join(u'/').toStdString());
}

} // namespace

TEST(BmpRle, Rle8EncodedAndAbsoluteRunsFillTheRowsBottomUp)
{
    RleFile f{5, 3, kRle8, {}};
    f.stream = bytes({0x03, 0x01, 0x02, 0x02, 0x00, 0x00,             // 11122, end of row
                      0x00, 0x03, 0x04, 0x05, 0x06, 0x00, 0x02, 0x07, // 456 (padded), 77
                      0x00, 0x00,                                     // end of row
                      0x00, 0x05, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x00, // ABCDE (padded)
                      0x00, 0x01});                                   // end of bitmap
    expectPicture(f, {u"ABCDE"_s, u"45677"_s, u"11122"_s});

    // An even absolute run has no padding: the byte after it is the next command.
    f = RleFile{4, 1, kRle8, bytes({0x00, 0x04, 0x01, 0x02, 0x03, 0x04, 0x00, 0x01})};
    expectPicture(f, {u"1234"_s});
}

TEST(BmpRle, Rle4RunsAlternateNibblesAndPadAbsoluteRunsToWords)
{
    RleFile f{8, 2, kRle4, {}};
    f.stream = bytes({0x05, 0x12, 0x01, 0x30, 0x00, 0x00, // 12121 then 3, end of row
                      0x00, 0x05, 0x45, 0x67, 0x10, 0x00, // 45671: three bytes, one of padding
                      0x00, 0x03, 0x23, 0x40,             // 234: two bytes, no padding
                      0x00, 0x01});
    expectPicture(f, {u"45671234"_s, u"12121300"_s});
}

TEST(BmpRle, DeltaAndEarlyEndsLeaveIndexZero)
{
    // (0,0) = 1; delta right 3 and up 1; (3,1) = 2; end of row; (0,2), (1,2) = 3; end.
    const QByteArray stream =
        bytes({0x01, 0x01, 0x00, 0x02, 0x02, 0x01, 0x01, 0x02, 0x00, 0x00, 0x02, 0x03, 0x00, 0x01});
    const QStringList rows = {u"0000"_s, u"3300"_s, u"0002"_s, u"1000"_s};
    expectPicture(RleFile{4, 4, kRle8, stream}, rows);
    // Without its end code the stream is read to the end of the file.
    expectPicture(RleFile{4, 4, kRle8, stream.chopped(2)}, rows);
    // The header's data size ends the stream even with bytes after it in the file.
    RleFile sized{4, 4, kRle8, stream};
    sized.imageSize = 2;
    expectPicture(sized, {u"0000"_s, u"0000"_s, u"0000"_s, u"1000"_s});
    // A header with no data size reads to the end of the file.
    sized.imageSize = 0;
    expectPicture(sized, rows);
    // An absolute run cut short by the end of the file keeps the pixels that are there.
    expectPicture(RleFile{4, 1, kRle8, bytes({0x00, 0x04, 0x05, 0x06})}, {u"5600"_s});
    expectPicture(RleFile{4, 1, kRle4, bytes({0x00, 0x04, 0x56})}, {u"5600"_s});
    // No stream at all is a picture of index 0.
    expectPicture(RleFile{2, 2, kRle4, {}}, {u"00"_s, u"00"_s});
}

TEST(BmpRle, RunsAndDeltasPastTheRowOrThePictureAreDropped)
{
    // A run of 255 into a row of three, then the next row.
    expectPicture(RleFile{3, 2, kRle8, bytes({0xFF, 0x01, 0x00, 0x00, 0x01, 0x02})},
                  {u"200"_s, u"111"_s});
    expectPicture(RleFile{3, 2, kRle4, bytes({0xFF, 0x12, 0x00, 0x00, 0x01, 0x30})},
                  {u"300"_s, u"121"_s});
    // An absolute run past the row end; what follows in the same row is past it too.
    expectPicture(RleFile{3, 2, kRle8,
                          bytes({0x00, 0x05, 0x01, 0x02, 0x03, 0x04, 0x05, 0x00, 0x01, 0x06, 0x00,
                                 0x00, 0x01, 0x07})},
                  {u"700"_s, u"123"_s});
    // A delta out of the row drops the run after it; a delta above the top ends the picture.
    expectPicture(RleFile{3, 2, kRle8,
                          bytes({0x00, 0x02, 0xFF, 0x00, 0x01, 0x05, 0x00, 0x00, 0x01, 0x04, 0x00,
                                 0x02, 0x00, 0xFF, 0x03, 0x09})},
                  {u"400"_s, u"000"_s});
    // More row ends than rows.
    expectPicture(RleFile{2, 1, kRle8, bytes({0x02, 0x03, 0x00, 0x00, 0x00, 0x00, 0x02, 0x04})},
                  {u"33"_s});
    // Commands cut short: half a pair, a delta without its offsets.
    expectPicture(RleFile{2, 1, kRle8, bytes({0x02, 0x03, 0x00})}, {u"33"_s});
    expectPicture(RleFile{2, 1, kRle8, bytes({0x01, 0x03, 0x00, 0x02, 0x01})}, {u"30"_s});
}

TEST(BmpRle, BrokenHeadersAreErrorsThatNameTheFile)
{
    const QByteArray stream = bytes({0x02, 0x01, 0x00, 0x01});
    RleFile topDown{2, -2, kRle8, stream};
    RleFile wrongDepth{2, 2, kRle8, stream};
    wrongDepth.bpp = 4;
    RleFile rle4At8{2, 2, kRle4, stream};
    rle4At8.bpp = 8;
    // Tiny files naming an enormous picture must not allocate it.
    RleFile huge{32768, 32768, kRle8, stream};
    QByteArray pastEnd = assemble(RleFile{2, 2, kRle8, stream});
    qToLittleEndian<quint32>(quint32(pastEnd.size() + 1), pastEnd.data() + 10);
    for (const QByteArray &file :
         {assemble(topDown), assemble(wrongDepth), assemble(rle4At8), assemble(huge), pastEnd}) {
        const auto image = decodeBmp(file, QStringLiteral("evil.bmp"));
        ASSERT_FALSE(image);
        EXPECT_TRUE(image.error().message.startsWith(QStringLiteral("evil.bmp: ")))
            << image.error().message.toStdString();
    }
}

TEST(BmpRle, AnyStreamUnderAGoodHeaderDecodesToTheDeclaredSize)
{
    // Random bytes as the stream, biased towards the escape codes so that deltas, absolute runs
    // and row ends come often, under ASan: nothing may be read or written out of bounds.
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> small(0, 4);
    for (int round = 0; round < 2000; ++round) {
        RleFile f;
        f.width = 1 + small(random) * 3;
        f.height = 1 + small(random);
        f.compression = round % 2 == 0 ? kRle8 : kRle4;
        const int length = byte(random) / 4;
        for (int i = 0; i < length; ++i)
            f.stream.append(char(small(random) == 0 ? small(random) : byte(random)));
        const auto image = decodeBmp(assemble(f), QStringLiteral("random.bmp"));
        ASSERT_TRUE(image) << round << ": " << image.error().message.toStdString();
        EXPECT_EQ(image->size(), QSize(f.width, f.height)) << round;
    }
}
