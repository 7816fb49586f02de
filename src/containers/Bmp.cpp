#include "containers/PictureCodecs.h"

#include <QCoreApplication>
#include <QPainter>
#include <QtEndian>

#include <array>
#include <bit>

// Windows bitmap layout:
//   0  "BM", u32 file size, u32 reserved, u32 offset of the pixel data
//   14 DIB header: u32 size (12 = OS/2 core, 40 = info, 52/56 = info + masks, 108 = V4, 124 = V5)
//      core: u16 width, u16 height, u16 planes, u16 bpp
//      info: i32 width, i32 height (negative = top-down), u16 planes, u16 bpp, u32 compression,
//            u32 image size, i32 x/y resolution, u32 colours used, u32 important;
//            V4/V5 (and 52/56) carry red, green, blue (alpha) masks at offset 40
//   then the colour table (3 bytes per entry for core, 4 otherwise; masks come first for an
//   info header with BI_BITFIELDS), then rows padded to 4 bytes, bottom row first.
//
// Run-length bitmaps (BI_RLE8 with 8 bpp, BI_RLE4 with 4 bpp) are always bottom-up; their data is
// a stream of byte pairs (count, value):
//   count > 0   an encoded run: count pixels of index value (RLE4: the high and the low nibble
//               of value, alternating, high first)
//   0, 0        end of the row: on to the start of the next row up
//   0, 1        end of the bitmap
//   0, 2, dx, dy  move dx pixels right and dy rows up
//   0, n >= 3   an absolute run: the next n pixels stored as they are (RLE4: two to a byte),
//               padded to an even number of bytes

namespace {

constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiRle8 = 1;
constexpr quint32 kBiRle4 = 2;
constexpr quint32 kBiBitfields = 3;
constexpr qint64 kMaxSide = 1 << 15;
// A few bytes of run-length data can name a picture of any size, so the file's length does not
// bound the memory as it does for plain rows. No skin picture comes near this (256 MB decoded).
constexpr qint64 kMaxRlePixels = qint64(1) << 26;

struct BmpHeader
{
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bpp = 0;
    quint32 compression = kBiRgb;
    // The size of the pixel data as the header gives it; only run-length data needs it.
    quint32 imageSize = 0;
    quint32 coloursUsed = 0;
    std::array<quint32, 3> masks{};
    qint64 paletteOffset = 0;
    int paletteEntrySize = 4;
    qint64 dataOffset = 0;
};

class ByteView
{
public:
    explicit ByteView(const QByteArray &bytes)
        : m_bytes(bytes)
    {}
    bool has(qint64 offset, qint64 count) const
    {
        return offset >= 0 && count >= 0 && offset <= m_bytes.size() - count;
    }
    quint16 u16(qint64 at) const { return qFromLittleEndian<quint16>(ptr(at)); }
    quint32 u32(qint64 at) const { return qFromLittleEndian<quint32>(ptr(at)); }
    qint32 i32(qint64 at) const { return qFromLittleEndian<qint32>(ptr(at)); }
    const uchar *ptr(qint64 at) const
    {
        return reinterpret_cast<const uchar *>(m_bytes.constData()) + at;
    }
    qint64 size() const { return m_bytes.size(); }

private:
    const QByteArray &m_bytes;
};

std::array<quint32, 3> defaultMasks(int bpp)
{
    if (bpp == 16)
        return {0x7C00, 0x03E0, 0x001F};
    return {0x00FF0000, 0x0000FF00, 0x000000FF};
}

Result<BmpHeader> parseHeader(const ByteView &v, const QString &what)
{
    if (!v.has(0, 18) || v.u16(0) != 0x4D42)
        return fail(Error::corrupt(
            QCoreApplication::translate("Bitmap", "%1: not a Windows bitmap").arg(what)));
    BmpHeader h;
    const quint32 dibSize = v.u32(14);
    if (dibSize != 12 && dibSize < 40)
        return fail(Error::unsupported(
            QCoreApplication::translate("Bitmap", "%1: unknown bitmap header size %2")
                .arg(what)
                .arg(dibSize)));
    if (!v.has(14, dibSize))
        return fail(Error::truncated(
            QCoreApplication::translate("Bitmap", "%1: the bitmap header is cut short").arg(what)));
    h.paletteOffset = 14 + qint64(dibSize);
    if (dibSize == 12) {
        h.width = v.u16(18);
        h.height = v.u16(20);
        h.bpp = v.u16(24);
        h.paletteEntrySize = 3;
    } else {
        h.width = v.i32(18);
        const qint64 height = v.i32(22);
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        h.bpp = v.u16(28);
        h.compression = v.u32(30);
        h.imageSize = v.u32(34);
        h.coloursUsed = v.u32(46);
    }
    h.masks = defaultMasks(h.bpp);
    if (h.compression == kBiBitfields) {
        if (dibSize >= 52) {
            h.masks = {v.u32(54), v.u32(58), v.u32(62)};
        } else {
            if (!v.has(h.paletteOffset, 12))
                return fail(Error::truncated(
                    QCoreApplication::translate("Bitmap", "%1: the colour masks are missing")
                        .arg(what)));
            h.masks = {v.u32(h.paletteOffset), v.u32(h.paletteOffset + 4),
                       v.u32(h.paletteOffset + 8)};
            h.paletteOffset += 12;
        }
    }
    h.dataOffset = v.u32(10);
    return h;
}

Result<void> checkHeader(const BmpHeader &h, const ByteView &v, const QString &what)
{
    static constexpr std::array<int, 7> kDepths = {1, 2, 4, 8, 16, 24, 32};
    if (std::find(kDepths.begin(), kDepths.end(), h.bpp) == kDepths.end())
        return fail(Error::unsupported(
            QCoreApplication::translate("Bitmap", "%1: %2 bits per pixel is not a bitmap depth")
                .arg(what)
                .arg(h.bpp)));
    const bool bitfields = h.compression == kBiBitfields && (h.bpp == 16 || h.bpp == 32);
    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
    if (h.compression != kBiRgb && !bitfields && !rle)
        return fail(
            Error::unsupported(QCoreApplication::translate(
                                   "Bitmap", "%1: compressed bitmaps (type %2) are not supported")
                                   .arg(what)
                                   .arg(h.compression)));
    if (rle) {
        const int depth = h.compression == kBiRle8 ? 8 : 4;
        if (h.bpp != depth)
            return fail(Error::corrupt(
                QCoreApplication::translate(
                    "Bitmap", "%1: RLE%2 compression with %3 bits per pixel instead of %2")
                    .arg(what)
                    .arg(depth)
                    .arg(h.bpp)));
        if (h.topDown)
            return fail(Error::corrupt(
                QCoreApplication::translate(
                    "Bitmap", "%1: a run-length compressed bitmap cannot be stored top-down")
                    .arg(what)));
    }
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxSide || h.height > kMaxSide)
        return fail(Error::corrupt(
            QCoreApplication::translate("Bitmap", "%1: impossible bitmap size %2 x %3")
                .arg(what)
                .arg(h.width)
                .arg(h.height)));
    if (rle) {
        if (h.width * h.height > kMaxRlePixels)
            return fail(Error::unsupported(
                QCoreApplication::translate("Bitmap", "%1: the bitmap is too large (%2 x %3)")
                    .arg(what)
                    .arg(h.width)
                    .arg(h.height)));
        // The stream may stop short of its end code; it only has to start inside the file.
        if (!v.has(h.dataOffset, 0))
            return fail(
                Error::truncated(QCoreApplication::translate(
                                     "Bitmap", "%1: the pixel data starts past the end of the file")
                                     .arg(what)));
        return {};
    }
    const qint64 stride = (h.width * h.bpp + 31) / 32 * 4;
    if (!v.has(h.dataOffset, stride * h.height))
        return fail(
            Error::truncated(QCoreApplication::translate(
                                 "Bitmap", "%1: the pixel data runs past the end of the file")
                                 .arg(what)));
    return {};
}

Result<QVector<QRgb>> readPalette(const BmpHeader &h, const ByteView &v, const QString &what)
{
    QVector<QRgb> palette;
    if (h.bpp > 8)
        return palette;
    const qint64 maxEntries = qint64(1) << h.bpp;
    const qint64 entries =
        h.coloursUsed == 0 ? maxEntries : qMin<qint64>(h.coloursUsed, maxEntries);
    if (!v.has(h.paletteOffset, entries * h.paletteEntrySize))
        return fail(Error::truncated(
            QCoreApplication::translate("Bitmap", "%1: the colour table is cut short").arg(what)));
    for (qint64 i = 0; i < entries; ++i) {
        const uchar *p = v.ptr(h.paletteOffset + i * h.paletteEntrySize);
        palette.append(qRgb(p[2], p[1], p[0]));
    }
    // Indexes past a short table show black rather than reading out of bounds.
    palette.resize(int(maxEntries), qRgb(0, 0, 0));
    return palette;
}

int maskedComponent(quint32 pixel, quint32 mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const quint32 max = mask >> shift;
    return int(((pixel & mask) >> shift) * 255 / max);
}

QRgb pixelAt(const uchar *row, qint64 x, const BmpHeader &h, const QVector<QRgb> &palette)
{
    switch (h.bpp) {
    case 1:
    case 2:
    case 4:
    case 8: {
        const qint64 bit = x * h.bpp;
        const int shift = 8 - h.bpp - int(bit % 8);
        return palette[(row[bit / 8] >> shift) & ((1 << h.bpp) - 1)];
    }
    case 16: {
        const quint32 p = quint32(row[2 * x] | row[2 * x + 1] << 8);
        return qRgb(maskedComponent(p, h.masks[0]), maskedComponent(p, h.masks[1]),
                    maskedComponent(p, h.masks[2]));
    }
    case 24:
        return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: {
        const quint32 p = qFromLittleEndian<quint32>(row + 4 * x);
        return qRgb(maskedComponent(p, h.masks[0]), maskedComponent(p, h.masks[1]),
                    maskedComponent(p, h.masks[2]));
    }
    }
}

// Unpacks run-length data into one palette index per pixel, rows bottom-up as in the file.
// Pixels the stream never writes (skipped by a delta, or left when a row or the whole stream
// ends early) keep index 0: that is the background Windows' own decoder leaves there in
// practice. Whatever would land right of the row or above the top row is dropped, and the
// stream is read only as far as the file (or the header's data size, when smaller) goes.
QByteArray unpackRle(const BmpHeader &h, const ByteView &v)
{
    const bool rle4 = h.compression == kBiRle4;
    QByteArray indexes(h.width * h.height, '\0');
    auto *out = reinterpret_cast<uchar *>(indexes.data());
    qint64 end = v.size();
    if (h.imageSize != 0)
        end = qMin(end, h.dataOffset + qint64(h.imageSize));
    qint64 at = h.dataOffset;
    qint64 x = 0;
    qint64 y = 0;
    const auto put = [&](qint64 column, uchar index) {
        if (column < h.width)
            out[y * h.width + column] = index;
    };
    while (y < h.height && at + 2 <= end) {
        const uchar count = *v.ptr(at);
        const uchar value = *v.ptr(at + 1);
        at += 2;
        if (count > 0) {
            // Only the part inside the row is written; x still moves on by the whole run.
            const qint64 shown = qBound<qint64>(0, h.width - x, count);
            for (qint64 i = 0; i < shown; ++i)
                put(x + i, rle4 ? uchar(i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            x += count;
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (at + 2 > end)
                break;
            x += *v.ptr(at);
            y += *v.ptr(at + 1);
            at += 2;
        } else {
            const qint64 bytes = rle4 ? (value + 1) / 2 : value;
            for (qint64 i = 0; i < value; ++i) {
                const qint64 byteAt = at + (rle4 ? i / 2 : i);
                if (byteAt >= end)
                    break;
                const uchar byte = *v.ptr(byteAt);
                put(x + i, rle4 ? uchar(i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
            }
            x += value;
            at += bytes + bytes % 2;
        }
    }
    return indexes;
}

} // namespace

Result<QImage> decodeBmp(const QByteArray &bytes, const QString &what)
{
    const ByteView v(bytes);
    VELMORA_TRY_ASSIGN(const BmpHeader h, parseHeader(v, what));
    VELMORA_TRY(checkHeader(h, v, what));
    VELMORA_TRY_ASSIGN(const QVector<QRgb> palette, readPalette(h, v, what));

    if (h.width * h.height > kMaxPicturePixels)
        return fail(Error::unsupported(
            QCoreApplication::translate("Bitmap", "%1: the bitmap is too large").arg(what)));
    QImage image(int(h.width), int(h.height), QImage::Format_RGB32);
    if (image.isNull())
        return fail(Error::unsupported(
            QCoreApplication::translate("Bitmap", "%1: the bitmap is too large").arg(what)));
    if (h.compression == kBiRle8 || h.compression == kBiRle4) {
        const QByteArray indexes = unpackRle(h, v);
        for (qint64 y = 0; y < h.height; ++y) {
            const auto *row =
                reinterpret_cast<const uchar *>(indexes.constData()) + (h.height - 1 - y) * h.width;
            auto *out = reinterpret_cast<QRgb *>(image.scanLine(int(y)));
            for (qint64 x = 0; x < h.width; ++x)
                out[x] = palette[row[x]];
        }
        return image;
    }
    const qint64 stride = (h.width * h.bpp + 31) / 32 * 4;
    for (qint64 y = 0; y < h.height; ++y) {
        const qint64 fileRow = h.topDown ? y : h.height - 1 - y;
        const uchar *row = v.ptr(h.dataOffset + fileRow * stride);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(int(y)));
        for (qint64 x = 0; x < h.width; ++x)
            out[x] = pixelAt(row, x, h, palette);
    }
    return image;
}

QByteArray encodeBmp24(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const qint64 stride = (qint64(image.width()) * 24 + 31) / 32 * 4;
    const qint64 dataSize = stride * image.height();
    QByteArray out(54 + dataSize, '\0');
    auto *p = reinterpret_cast<uchar *>(out.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(out.size()), p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(image.width(), p + 18);
    qToLittleEndian<qint32>(image.height(), p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    qToLittleEndian<quint32>(quint32(dataSize), p + 34);
    for (int y = 0; y < image.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        uchar *row = p + 54 + (image.height() - 1 - y) * stride;
        for (int x = 0; x < image.width(); ++x) {
            row[3 * x] = uchar(qBlue(in[x]));
            row[3 * x + 1] = uchar(qGreen(in[x]));
            row[3 * x + 2] = uchar(qRed(in[x]));
        }
    }
    return out;
}
