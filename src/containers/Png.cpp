#include "containers/PictureCodecs.h"

#include <QCoreApplication>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <png.h>
#include <zlib.h>

namespace {

struct PngErrorState
{
    QString message;
};

// libpng calls this and expects it not to return; we jump back to the setjmp of the caller.
void pngError(png_structp png, png_const_charp message)
{
    auto *state = static_cast<PngErrorState *>(png_get_error_ptr(png));
    // Our own complaint (readFromMemory) has a translation; libpng's come through as they are.
    state->message = QCoreApplication::translate("Png", message);
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

struct MemoryReader
{
    const QByteArray *bytes = nullptr;
    qsizetype pos = 0;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto *reader = static_cast<MemoryReader *>(png_get_io_ptr(png));
    if (qsizetype(length) > reader->bytes->size() - reader->pos)
        png_error(png, QT_TRANSLATE_NOOP("Png", "the file ends before the picture does"));
    std::memcpy(out, reader->bytes->constData() + reader->pos, length);
    reader->pos += qsizetype(length);
}

void writeToMemory(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char *>(data), qsizetype(length));
}

void flushMemory(png_structp) {}

struct PngReadHandles
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReadHandles() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

struct PngWriteHandles
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriteHandles() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

constexpr png_uint_32 kMaxSide = 1 << 15;
// The most memory libpng may take at once. Its own buffers are a few rows or one chunk; a
// chunk's header may claim two gigabytes in four bytes, and libpng would take (and clear) them
// before reading a byte of the chunk. The picture itself is ours, not libpng's.
constexpr png_alloc_size_t kMaxLibpngBlock = png_alloc_size_t(16) << 20;

png_voidp boundedMalloc(png_structp, png_alloc_size_t size)
{
    return size > kMaxLibpngBlock ? nullptr : std::malloc(size);
}

void boundedFree(png_structp, png_voidp block)
{
    std::free(block);
}

// Every PNG colour type is expanded to 8-bit RGBA, which maps directly onto QImage's ARGB32
// once red and blue trade places.
void requestRgba(png_structp png, png_infop info)
{
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

} // namespace

Result<QImage> decodePng(const QByteArray &bytes, const QString &what)
{
    if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.constData()), 0, 8))
        return fail(
            Error::corrupt(QCoreApplication::translate("Png", "%1: not a PNG picture").arg(what)));
    PngErrorState errors;
    PngReadHandles h;
    h.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &errors, pngError, pngWarning, nullptr,
                                     boundedMalloc, boundedFree);
    if (!h.png)
        return fail(Error::io(QCoreApplication::translate("Png", "%1: out of memory").arg(what)));
    h.info = png_create_info_struct(h.png);
    MemoryReader reader{&bytes, 0};
    QImage image;
    std::vector<png_bytep> rows;
    bool hasAlpha = false;
    if (setjmp(png_jmpbuf(h.png))) {
        return fail(
            Error::corrupt(QCoreApplication::translate("Png", "%1: not a readable PNG picture (%2)")
                               .arg(what, errors.message)));
    }
    png_set_read_fn(h.png, &reader, readFromMemory);
    png_set_user_limits(h.png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(h.png, kMaxLibpngBlock);
    png_read_info(h.png, h.info);
    const int colourType = png_get_color_type(h.png, h.info);
    hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(h.png, h.info, PNG_INFO_tRNS);
    requestRgba(h.png, h.info);
    if (qint64(png_get_image_width(h.png, h.info)) * png_get_image_height(h.png, h.info) >
        kMaxPicturePixels)
        return fail(Error::unsupported(
            QCoreApplication::translate("Png", "%1: the PNG picture is too large").arg(what)));
    image =
        QImage(int(png_get_image_width(h.png, h.info)), int(png_get_image_height(h.png, h.info)),
               hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return fail(Error::unsupported(
            QCoreApplication::translate("Png", "%1: the PNG picture is too large").arg(what)));
    rows.resize(std::size_t(image.height()));
    for (int y = 0; y < image.height(); ++y)
        rows[std::size_t(y)] = image.scanLine(y);
    png_read_image(h.png, rows.data());
    png_read_end(h.png, nullptr);
    return image;
}

Result<QSize> pngSize(const QByteArray &bytes, const QString &what)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto be32 = [data](int at) {
        return quint32(data[at]) << 24 | quint32(data[at + 1]) << 16 | quint32(data[at + 2]) << 8 |
               data[at + 3];
    };
    // The signature, then IHDR with its 13 bytes and its CRC: a header that holds together.
    if (bytes.size() < 33 || png_sig_cmp(data, 0, 8) || be32(8) != 13 ||
        std::memcmp(data + 12, "IHDR", 4) != 0 ||
        quint32(crc32(crc32(0, nullptr, 0), data + 12, 17)) != be32(29))
        return fail(
            Error::corrupt(QCoreApplication::translate("Png", "%1: not a PNG picture").arg(what)));
    const quint32 width = be32(16);
    const quint32 height = be32(20);
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return fail(
            Error::corrupt(QCoreApplication::translate("Png", "%1: not a PNG picture").arg(what)));
    return QSize(int(width), int(height));
}

Result<QByteArray> encodePng(const QImage &source, PngPacking packing)
{
    if (source.isNull())
        return fail(
            Error::invalid(QCoreApplication::translate("Png", "There is no picture to encode")));
    const bool alpha = source.hasAlphaChannel();
    const QImage image =
        source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    PngErrorState errors;
    PngWriteHandles h;
    h.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, pngError, pngWarning);
    if (!h.png)
        return fail(
            Error::io(QCoreApplication::translate("Png", "PNG encoding failed: out of memory")));
    h.info = png_create_info_struct(h.png);
    QByteArray out;
    std::vector<png_bytep> rows(std::size_t(image.height()));
    if (setjmp(png_jmpbuf(h.png)))
        return fail(Error::io(
            QCoreApplication::translate("Png", "PNG encoding failed (%1)").arg(errors.message)));
    png_set_write_fn(h.png, &out, writeToMemory, flushMemory);
    if (packing == PngPacking::Fast) {
        png_set_compression_level(h.png, 1);
        png_set_filter(h.png, 0, PNG_FILTER_NONE);
    }
    png_set_IHDR(h.png, h.info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(h.png, h.info);
    png_set_bgr(h.png);
    // Without alpha the fourth byte of each RGB32 pixel is padding to skip.
    if (!alpha)
        png_set_filler(h.png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < image.height(); ++y)
        rows[std::size_t(y)] = const_cast<png_bytep>(image.constScanLine(y));
    png_write_image(h.png, rows.data());
    png_write_end(h.png, nullptr);
    return out;
}
