#include "containers/PictureCodecs.h"

#include <QCoreApplication>
#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
// jerror.h needs jpeglib.h first.
#include <jerror.h>

namespace {

// libjpeg reports fatal errors through error_exit, which by default calls exit(); we jump back
// to the call site instead and turn the library's message into an Error.
struct JpegErrorManager
{
    jpeg_error_mgr base{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
    bool truncated = false;
};

void jpegErrorExit(j_common_ptr info)
{
    auto *manager = reinterpret_cast<JpegErrorManager *>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void jpegSilentOutput(j_common_ptr) {}

// A file that ends early is only a warning to libjpeg (it pads with grey); for us it is an error.
void jpegEmitMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        reinterpret_cast<JpegErrorManager *>(info->err)->truncated = true;
        jpegErrorExit(info);
    }
}

void installErrorManager(jpeg_common_struct *info, JpegErrorManager &manager)
{
    info->err = jpeg_std_error(&manager.base);
    manager.base.error_exit = jpegErrorExit;
    manager.base.output_message = jpegSilentOutput;
    manager.base.emit_message = jpegEmitMessage;
}

struct Decompressor
{
    jpeg_decompress_struct info{};
    Decompressor() { jpeg_create_decompress(&info); }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
};

struct Compressor
{
    jpeg_compress_struct info{};
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    Compressor() { jpeg_create_compress(&info); }
    ~Compressor()
    {
        jpeg_destroy_compress(&info);
        std::free(buffer);
    }
};

// The reader's failure, once libjpeg has jumped back: cut short or unreadable.
Error readFailure(const JpegErrorManager &errors, const QString &what)
{
    const QString reason = QString::fromLocal8Bit(errors.message);
    if (errors.truncated)
        return Error::truncated(
            QCoreApplication::translate("Jpeg", "%1: the JPEG picture is cut short (%2)")
                .arg(what, reason));
    return Error::corrupt(
        QCoreApplication::translate("Jpeg", "%1: not a readable JPEG picture (%2)")
            .arg(what, reason));
}

Error emptyFile(const QString &what)
{
    return Error::truncated(QCoreApplication::translate("Jpeg", "%1: the file is empty").arg(what));
}

} // namespace

Result<QImage> decodeJpeg(const QByteArray &bytes, const QString &what)
{
    if (bytes.isEmpty())
        return fail(emptyFile(what));
    Decompressor d;
    JpegErrorManager errors;
    installErrorManager(reinterpret_cast<jpeg_common_struct *>(&d.info), errors);
    // The image lives outside the jump so that a longjmp never skips its destructor.
    QImage image;
    if (setjmp(errors.jump))
        return fail(readFailure(errors, what));
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.info, TRUE);
    // Straight into QImage's RGB32 memory layout (B, G, R, X on little-endian machines).
    d.info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&d.info);
    if (qint64(d.info.output_width) * d.info.output_height > kMaxPicturePixels)
        return fail(Error::unsupported(
            QCoreApplication::translate("Jpeg", "%1: the JPEG picture is too large").arg(what)));
    image = QImage(int(d.info.output_width), int(d.info.output_height), QImage::Format_RGB32);
    if (image.isNull())
        return fail(Error::unsupported(
            QCoreApplication::translate("Jpeg", "%1: the JPEG picture is too large").arg(what)));
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = image.scanLine(int(d.info.output_scanline));
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    return image;
}

Result<QSize> jpegSize(const QByteArray &bytes, const QString &what)
{
    if (bytes.isEmpty())
        return fail(emptyFile(what));
    Decompressor d;
    JpegErrorManager errors;
    installErrorManager(reinterpret_cast<jpeg_common_struct *>(&d.info), errors);
    if (setjmp(errors.jump))
        return fail(readFailure(errors, what));
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.info, TRUE);
    return QSize(int(d.info.image_width), int(d.info.image_height));
}

Result<QByteArray> encodeJpeg(const QImage &source, int quality)
{
    if (source.isNull())
        return fail(
            Error::invalid(QCoreApplication::translate("Jpeg", "There is no picture to encode")));
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    Compressor c;
    JpegErrorManager errors;
    installErrorManager(reinterpret_cast<jpeg_common_struct *>(&c.info), errors);
    if (setjmp(errors.jump)) {
        return fail(Error::io(QCoreApplication::translate("Jpeg", "JPEG encoding failed (%1)")
                                  .arg(QString::fromLocal8Bit(errors.message))));
    }
    jpeg_mem_dest(&c.info, &c.buffer, &c.size);
    c.info.image_width = JDIMENSION(image.width());
    c.info.image_height = JDIMENSION(image.height());
    c.info.input_components = 4;
    c.info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, qBound(1, quality, 100), TRUE);
    jpeg_start_compress(&c.info, TRUE);
    while (c.info.next_scanline < c.info.image_height) {
        auto row = const_cast<JSAMPROW>(image.constScanLine(int(c.info.next_scanline)));
        jpeg_write_scanlines(&c.info, &row, 1);
    }
    jpeg_finish_compress(&c.info);
    return QByteArray(reinterpret_cast<const char *>(c.buffer), qsizetype(c.size));
}
