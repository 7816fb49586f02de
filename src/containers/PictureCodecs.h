#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Picture codecs over bytes. Decoders return RGB32 images, or ARGB32 when the picture carries
// transparency; `what` names the source in error messages (usually the file name).

// The most pixels a decoder hands out: 512 MB as RGB32, far beyond any phone screen or photo a
// skin is made from. A header may claim any size in a few bytes; the limit is checked before
// the picture's memory is taken.
inline constexpr qint64 kMaxPicturePixels = qint64(1) << 27;

Result<QImage> decodeJpeg(const QByteArray &bytes, const QString &what);
// quality 1..100; transparency is dropped.
Result<QByteArray> encodeJpeg(const QImage &image, int quality);

Result<QImage> decodePng(const QByteArray &bytes, const QString &what);
// A picture's size from its header alone (JPEG: the frame header; PNG: IHDR), nothing decoded.
Result<QSize> jpegSize(const QByteArray &bytes, const QString &what);
Result<QSize> pngSize(const QByteArray &bytes, const QString &what);
// An alpha channel is kept when the image has one.
enum class PngPacking {
    // The library's default effort: the smallest file, for pictures the user keeps.
    Small,
    // Light compression without row filters: about 2.5 times faster for about 15% more bytes,
    // for many screens written at once.
    Fast,
};
Result<QByteArray> encodePng(const QImage &image, PngPacking packing = PngPacking::Small);

Result<QImage> decodeBmp(const QByteArray &bytes, const QString &what);
// Always a bottom-up 24-bit BI_RGB file.
QByteArray encodeBmp24(const QImage &image);

// Decodes a picture file by the lower-cased last three characters of its name (bmp, jpg, png);
// transparent PNG pixels are flattened onto white.
Result<QImage> decodePictureFile(const QString &path);
