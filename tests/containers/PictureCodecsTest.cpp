#include "containers/PictureCodecs.h"
#include "TestFiles.h"
#include "platform/FileOps.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/resource.h>

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(VELMORA_TEST_DATA "/containers/") + QString::fromLatin1(name);
}

QImage gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 128));
    return image;
}

int maxChannelDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

} // namespace

TEST(Jpeg, RoundTripKeepsSizeAndColours)
{
    const QImage image = gradient(240, 320);
    const auto bytes = encodeJpeg(image, 95);
    ASSERT_TRUE(bytes);
    const auto back = decodeJpeg(*bytes, QStringLiteral("g.jpg"));
    ASSERT_TRUE(back) << back.error().message.toStdString();
    EXPECT_EQ(back->size(), image.size());
    EXPECT_LE(maxChannelDifference(image, *back), 12);
}

TEST(Jpeg, QualityChangesTheSizeAndIsClamped)
{
    const QImage image = gradient(120, 90);
    const auto low = encodeJpeg(image, 5);
    const auto high = encodeJpeg(image, 100);
    const auto belowRange = encodeJpeg(image, 0);
    ASSERT_TRUE(low && high && belowRange);
    EXPECT_LT(low->size(), high->size());
    EXPECT_EQ(*belowRange, *encodeJpeg(image, 1));
}

TEST(Jpeg, BrokenInputIsATypedError)
{
    const QByteArray good = encodeJpeg(gradient(64, 64), 90).value();
    const struct
    {
        QByteArray bytes;
        Error::Kind kind;
    } cases[] = {{QByteArray(), Error::Kind::Truncated},
                 {QByteArray("not a jpeg at all"), Error::Kind::Corrupt},
                 {good.left(good.size() / 2), Error::Kind::Truncated},
                 {good.left(20), Error::Kind::Truncated}};
    for (const auto &c : cases) {
        const auto image = decodeJpeg(c.bytes, QStringLiteral("bad.jpg"));
        ASSERT_FALSE(image) << c.bytes.size();
        EXPECT_EQ(image.error().kind, c.kind) << image.error().message.toStdString();
        EXPECT_TRUE(image.error().message.startsWith(QStringLiteral("bad.jpg: ")));
    }
}

// A kilobyte of header may claim four gigabytes of pixels; the claim is refused before any of
// that memory is asked for.
TEST(Jpeg, AnEnormousClaimedSizeIsRefusedBeforeDecoding)
{
    // The fuzz entry's first byte picks the decoder; the picture follows it.
    const QByteArray claim =
        testfiles::read(
            QStringLiteral(VELMORA_TEST_DATA "/../../fuzz/seeds/picture_jpeg_32639x32639"))
            .mid(1);
    ASSERT_FALSE(claim.isEmpty());
    const auto image = decodeJpeg(claim, QStringLiteral("huge.jpg"));
    ASSERT_FALSE(image);
    EXPECT_EQ(image.error().kind, Error::Kind::Unsupported);
    EXPECT_EQ(image.error().message, QStringLiteral("huge.jpg: the JPEG picture is too large"));
}

TEST(Png, RoundTripIsExactWithAndWithoutAlpha)
{
    const QImage opaque = gradient(33, 17);
    const auto back = decodePng(encodePng(opaque).value(), QStringLiteral("o.png"));
    ASSERT_TRUE(back);
    EXPECT_FALSE(back->hasAlphaChannel());
    EXPECT_EQ(back->convertToFormat(QImage::Format_RGB32), opaque);

    QImage alpha(5, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            alpha.setPixel(x, y, qRgba(x * 50, y * 60, 7, x * 60 + y));
    const auto backAlpha = decodePng(encodePng(alpha).value(), QStringLiteral("a.png"));
    ASSERT_TRUE(backAlpha);
    EXPECT_EQ(backAlpha->format(), QImage::Format_ARGB32);
    EXPECT_EQ(*backAlpha, alpha);

    // The fast packing only trades bytes for time: the same pixels come back.
    for (const QImage &picture : {opaque, alpha}) {
        const QByteArray fast = encodePng(picture, PngPacking::Fast).value();
        const auto again = decodePng(fast, QStringLiteral("f.png"));
        ASSERT_TRUE(again);
        EXPECT_EQ(again->convertToFormat(picture.format()), picture);
        EXPECT_NE(fast, encodePng(picture).value());
    }
}

TEST(Png, DecodesTransparentPaletteGreyAndAlphaFiles)
{
    const auto palette = decodePng(readWholeFile(fixture("palette_transparent.png")).value(),
                                   QStringLiteral("p.png"));
    ASSERT_TRUE(palette);
    EXPECT_TRUE(palette->hasAlphaChannel());
    EXPECT_EQ(qAlpha(palette->pixel(0, 0)), 0);
    EXPECT_EQ(palette->pixel(1, 1), qRgba(0, 0, 255, 255));

    const auto grey =
        decodePng(readWholeFile(fixture("grey.png")).value(), QStringLiteral("g.png"));
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->size(), QSize(5, 2));
    EXPECT_EQ(grey->pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(grey->pixel(4, 1), qRgb(0, 0, 0));

    const auto half =
        decodePng(readWholeFile(fixture("half_alpha.png")).value(), QStringLiteral("h.png"));
    ASSERT_TRUE(half);
    EXPECT_EQ(qRed(half->pixel(2, 1)), 255);
    EXPECT_NEAR(qAlpha(half->pixel(2, 1)), 128, 1);
}

// Found by fuzzing: 200 bytes whose text chunk claims two gigabytes made libpng take them.
TEST(Png, AChunkClaimingGigabytesTakesNoneOfThem)
{
    const QByteArray claim =
        testfiles::read(
            QStringLiteral(VELMORA_TEST_DATA "/../../fuzz/seeds/picture_png_text_claims_2gb"))
            .mid(1);
    ASSERT_FALSE(claim.isEmpty());
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    EXPECT_FALSE(decodePng(claim, QStringLiteral("text.png")));
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 256 * 1024) << "kilobytes more at the peak";
}

TEST(Png, BrokenInputIsATypedError)
{
    const QByteArray good = encodePng(gradient(40, 40)).value();
    QByteArray badCrc = good;
    badCrc[30] = static_cast<char>(badCrc[30] ^ 0x55); // inside IHDR: its checksum no longer holds
    for (const QByteArray &bytes :
         {QByteArray(), QByteArray("GIF89a"), good.left(good.size() - 30), good.left(40), badCrc}) {
        const auto image = decodePng(bytes, QStringLiteral("bad.png"));
        ASSERT_FALSE(image) << bytes.size();
        EXPECT_TRUE(image.error().message.startsWith(QStringLiteral("bad.png: ")));
    }
}

namespace {

// A minimal BMP built by hand: info header, optional palette, rows padded to four bytes.
QByteArray makeBmp(int w, int h, int bpp, const QList<QRgb> &palette,
                   const std::function<void(QByteArray &row, int y)> &fillRow,
                   quint32 compression = 0, const QByteArray &masks = {})
{
    const int stride = (w * bpp + 31) / 32 * 4;
    const int paletteBytes = int(palette.size()) * 4;
    const int offset = 54 + int(masks.size()) + paletteBytes;
    QByteArray out(offset, '\0');
    auto *p = reinterpret_cast<uchar *>(out.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(offset + stride * std::abs(h)), p + 2);
    qToLittleEndian<quint32>(quint32(offset), p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(w, p + 18);
    qToLittleEndian<qint32>(h, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(quint16(bpp), p + 28);
    qToLittleEndian<quint32>(compression, p + 30);
    qToLittleEndian<quint32>(quint32(palette.size()), p + 46);
    out.replace(54, masks.size(), masks);
    for (int i = 0; i < palette.size(); ++i) {
        p[54 + masks.size() + 4 * i] = uchar(qBlue(palette[i]));
        p[54 + masks.size() + 4 * i + 1] = uchar(qGreen(palette[i]));
        p[54 + masks.size() + 4 * i + 2] = uchar(qRed(palette[i]));
    }
    for (int y = 0; y < std::abs(h); ++y) {
        QByteArray row(stride, '\0');
        fillRow(row, y);
        out.append(row);
    }
    return out;
}

} // namespace

TEST(Bmp, ReadsEveryPaletteDepth)
{
    const QList<QRgb> colours = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    // File row 0 is the bottom row: index pattern 1,2,3,0 there, 0 in the top row.
    struct Case
    {
        int bpp;
        QByteArray bottomRow;
    };
    const Case cases[] = {{1, QByteArray("\x80", 1)}, // indexes 1,0,0,0 in one byte
                          {2, QByteArray("\x6C", 1)}, // 01 10 11 00
                          {4, QByteArray("\x12\x30", 2)},
                          {8, QByteArray("\x01\x02\x03\x00", 4)}};
    for (const Case &c : cases) {
        const QList<QRgb> palette = colours.mid(0, c.bpp == 1 ? 2 : 4);
        const QByteArray bmp = makeBmp(4, 2, c.bpp, palette, [&](QByteArray &row, int y) {
            if (y == 0)
                row.replace(0, c.bottomRow.size(), c.bottomRow);
        });
        const auto image = decodeBmp(bmp, QStringLiteral("p.bmp"));
        ASSERT_TRUE(image) << c.bpp << ": " << image.error().message.toStdString();
        EXPECT_EQ(image->pixel(0, 1), colours[1]) << c.bpp;
        EXPECT_EQ(image->pixel(0, 0), colours[0]) << c.bpp;
        if (c.bpp > 1) {
            EXPECT_EQ(image->pixel(1, 1), colours[2]) << c.bpp;
            EXPECT_EQ(image->pixel(2, 1), colours[3]) << c.bpp;
            EXPECT_EQ(image->pixel(3, 1), colours[0]) << c.bpp;
        }
    }
}

TEST(Bmp, ReadsTrueColourDepthsAndTopDownFiles)
{
    const auto bgr = [](QByteArray &row, int) {
        row.replace(0, 3, QByteArray("\x10\x20\x30", 3));
    };
    const auto image24 = decodeBmp(makeBmp(2, 1, 24, {}, bgr), QStringLiteral("t.bmp"));
    ASSERT_TRUE(image24);
    EXPECT_EQ(image24->pixel(0, 0), qRgb(0x30, 0x20, 0x10));

    const auto image32 = decodeBmp(makeBmp(1, 1, 32, {}, bgr), QStringLiteral("t.bmp"));
    ASSERT_TRUE(image32);
    EXPECT_EQ(image32->pixel(0, 0), qRgb(0x30, 0x20, 0x10));

    // 16-bit 5-6-5 through BI_BITFIELDS: pure green is 0x07E0.
    QByteArray masks(12, '\0');
    qToLittleEndian<quint32>(0xF800, masks.data());
    qToLittleEndian<quint32>(0x07E0, masks.data() + 4);
    qToLittleEndian<quint32>(0x001F, masks.data() + 8);
    const auto green = [](QByteArray &row, int) {
        row.replace(0, 2, QByteArray("\xE0\x07", 2));
    };
    const auto image16 = decodeBmp(makeBmp(1, 1, 16, {}, green, 3, masks), QStringLiteral("t.bmp"));
    ASSERT_TRUE(image16);
    EXPECT_EQ(image16->pixel(0, 0), qRgb(0, 255, 0));

    // A negative height stores the top row first.
    const auto marked = [](QByteArray &row, int y) {
        if (y == 0)
            row.replace(0, 3, QByteArray("\xFF\x00\x00", 3));
    };
    const auto topDown = decodeBmp(makeBmp(1, -2, 24, {}, marked), QStringLiteral("t.bmp"));
    const auto bottomUp = decodeBmp(makeBmp(1, 2, 24, {}, marked), QStringLiteral("t.bmp"));
    ASSERT_TRUE(topDown && bottomUp);
    EXPECT_EQ(topDown->pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(bottomUp->pixel(0, 1), qRgb(0, 0, 255));
}

TEST(Bmp, WriteThenReadIsExact)
{
    for (const QSize size : {QSize(1, 1), QSize(3, 5), QSize(240, 320)}) {
        const QImage image = gradient(size.width(), size.height());
        const QByteArray bmp = encodeBmp24(image);
        EXPECT_EQ(quint8(bmp[28]), 24);
        EXPECT_EQ(bmp.size(), 54 + (size.width() * 3 + 3) / 4 * 4 * size.height());
        const auto back = decodeBmp(bmp, QStringLiteral("w.bmp"));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, image);
    }
}

TEST(Bmp, HostileHeadersAreRejected)
{
    const QByteArray good = encodeBmp24(gradient(8, 8));
    auto patched = [&](int offset, qint32 value) {
        QByteArray bytes = good;
        qToLittleEndian<qint32>(value, bytes.data() + offset);
        return bytes;
    };
    const QByteArray cases[] = {
        QByteArray(),
        good.left(30),              // header cut short
        good.left(good.size() - 1), // last row cut short
        patched(10, 0x7FFFFFF0),    // pixel data offset past the end
        patched(18, 1 << 20),       // absurd width
        patched(22, 0),             // zero height
        patched(14, 20),            // unknown header size
    };
    for (const QByteArray &bytes : cases) {
        const auto image = decodeBmp(bytes, QStringLiteral("evil.bmp"));
        ASSERT_FALSE(image) << bytes.size();
        EXPECT_TRUE(image.error().message.startsWith(QStringLiteral("evil.bmp: ")));
    }
    QByteArray wrongDepth = good;
    qToLittleEndian<quint16>(7, wrongDepth.data() + 28);
    EXPECT_EQ(decodeBmp(wrongDepth, QStringLiteral("x")).error().kind, Error::Kind::Unsupported);
}

TEST(PictureHeaders, GiveTheSizeWithoutDecodingAndRefuseWhatIsNoHeader)
{
    const QImage picture = gradient(37, 21);
    const QByteArray jpeg = encodeJpeg(picture, 80).value();
    const QByteArray png = encodePng(picture).value();
    EXPECT_EQ(jpegSize(jpeg, QStringLiteral("a.jpg")).value_or(QSize()), QSize(37, 21));
    EXPECT_EQ(pngSize(png, QStringLiteral("a.png")).value_or(QSize()), QSize(37, 21));
    // The header is all that is read: a JPEG whose picture data is cut still has its size.
    EXPECT_EQ(jpegSize(jpeg.left(jpeg.size() - 40), QStringLiteral("b.jpg")).value_or(QSize()),
              QSize(37, 21));
    // A PNG header that does not hold together is no PNG.
    QByteArray badCrc = png;
    badCrc[30] = char(badCrc[30] ^ 1);
    for (const QByteArray &bad : {badCrc, png.left(20), jpeg, QByteArray()}) {
        const auto size = pngSize(bad, QStringLiteral("c.png"));
        ASSERT_FALSE(size.has_value());
        EXPECT_TRUE(size.error().message.contains(QStringLiteral("c.png: not a PNG picture")));
    }
    for (const QByteArray &bad : {png, jpeg.left(10), QByteArray()})
        EXPECT_FALSE(jpegSize(bad, QStringLiteral("d.jpg")).has_value());
}
