#include "containers/SvgWrap.h"

#include "containers/PictureCodecs.h"
#include "core/SkinFile.h"
#include "platform/FileOps.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>
#include <string_view>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr quint8 kPad = 64;

// Character -> six-bit value; kPad for "=", 63 for every character outside the alphabet.
constexpr std::array<quint8, 256> kValues = [] {
    std::array<quint8, 256> values{};
    values.fill(63);
    for (int i = 0; i < 64; ++i)
        values[static_cast<unsigned char>(kAlphabet[i])] = quint8(i);
    values['='] = kPad;
    return values;
}();

// The six-bit value of a character already moved to its place in a group's 24 bits, one table per
// place; "=" sets bit 31 instead and takes the group the slow way.
constexpr quint32 kNotData = 0x80000000u;
using PlacedValues = std::array<quint32, 256>;
constexpr PlacedValues placedValues(int shift)
{
    PlacedValues table{};
    for (int c = 0; c < 256; ++c) {
        const quint8 value = kValues[std::size_t(c)];
        table[std::size_t(c)] = value == kPad ? kNotData : quint32(value) << shift;
    }
    return table;
}
constexpr PlacedValues kPlaced0 = placedValues(18);
constexpr PlacedValues kPlaced1 = placedValues(12);
constexpr PlacedValues kPlaced2 = placedValues(6);
constexpr PlacedValues kPlaced3 = placedValues(0);

// Encodes the first n (0..3) bytes at in into four characters at out: the bytes beyond n are
// taken as zero and the last 3 - n characters become "=".
inline void encodeInto(const quint8 *in, int n, char *out)
{
    const quint32 bits = quint32(n > 0 ? in[0] : 0) << 16 | quint32(n > 1 ? in[1] : 0) << 8 |
                         quint32(n > 2 ? in[2] : 0);
    out[0] = kAlphabet[bits >> 18 & 63];
    out[1] = n > 0 ? kAlphabet[bits >> 12 & 63] : '=';
    out[2] = n > 1 ? kAlphabet[bits >> 6 & 63] : '=';
    out[3] = n > 2 ? kAlphabet[bits & 63] : '=';
}

// The standard base64 of n bytes, written to out ((n + 2) / 3 * 4 characters).
void encodeRun(const quint8 *in, qsizetype n, char *out)
{
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3, out += 4) {
        const quint32 bits = quint32(in[i]) << 16 | quint32(in[i + 1]) << 8 | in[i + 2];
        out[0] = kAlphabet[bits >> 18];
        out[1] = kAlphabet[bits >> 12 & 63];
        out[2] = kAlphabet[bits >> 6 & 63];
        out[3] = kAlphabet[bits & 63];
    }
    if (i < n)
        encodeInto(in + i, int(n - i), out);
}

// Decodes four characters into out; returns the count.
inline int decodeInto(const char *in, quint8 *out)
{
    const quint8 v[4] = {
        kValues[static_cast<unsigned char>(in[0])], kValues[static_cast<unsigned char>(in[1])],
        kValues[static_cast<unsigned char>(in[2])], kValues[static_cast<unsigned char>(in[3])]};
    quint32 bits = 0;
    for (quint8 value : v)
        bits = bits << 6 | (value == kPad ? 0 : value);
    // Byte k takes its last bit from character k + 1.
    int count = 0;
    for (int k = 0; k < 3; ++k) {
        const bool valid = v[k + 1] != kPad;
        out[k] = valid ? quint8(bits >> (16 - 8 * k)) : 0;
        if (valid)
            count = k + 1;
    }
    return count;
}

QByteArray svgHead(QByteArrayView mimeType, quint16 width, quint16 height)
{
    const QByteArray w = QByteArray::number(width);
    const QByteArray h = QByteArray::number(height);
    QByteArray head;
    head.reserve(700);
    head += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
            "<!-- Creator: Velmora for TolvoICQ (v.0.6) -->\r\n"
            "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
            "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\" [\r\n"
            "\t<!ENTITY ns_svg \"http://www.w3.org/2000/svg\">\r\n"
            "\t<!ENTITY ns_xlink \"http://www.w3.org/1999/xlink\">\r\n"
            "]>\r\n"
            // "Слой_1" in cp1251, whatever the declaration above says.
            "<svg version=\"1.1\" id=\"\xD1\xEB\xEE\xE9_1\" xmlns=\"&ns_svg;\" "
            "xmlns:xlink=\"&ns_xlink;\" width=\"";
    head += w + "pt\" height=\"" + h + "pt\" viewBox=\"0 0 " + w + ' ' + h + "\"\r\n";
    head += "\t overflow=\"visible\" enable-background=\"0 0 " + w + ' ' + h +
            "\" xml:space=\"preserve\">\r\n";
    head += "<rect fill=\"#FF00E0\" width=\"" + w + "\" height=\"" + h + "\"/>\r\n";
    head += "<image x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h +
            "\" xlink:href=\"data:" + mimeType.toByteArray() + ";base64,";
    return head;
}

constexpr QByteArrayView kTail = "\"/>\r\n</svg>";

// Where the picture lies in a wrapper: its MIME type and its base64 text, both views into it.
struct SvgSpan
{
    QByteArrayView mimeType;
    QByteArrayView data;
    bool markersFound = false;
};
SvgSpan findSvgPicture(QByteArrayView svgText);
QString extensionFor(QByteArrayView mimeType);
constexpr QByteArrayView kHref = "xlink:href=\"data:";
constexpr QByteArrayView kBase64Marker = ";base64,";

} // namespace

QByteArray EncodeGroup(const Base64Group &group)
{
    QByteArray text(4, Qt::Uninitialized);
    encodeInto(group.bytes.data(), std::clamp(group.count, 0, 3), text.data());
    return text;
}

Base64Group DecodeGroup(QByteArrayView text)
{
    char chars[4] = {'=', '=', '=', '='};
    for (qsizetype i = 0; i < std::min<qsizetype>(text.size(), 4); ++i)
        chars[i] = text[i];
    Base64Group group;
    group.count = decodeInto(chars, group.bytes.data());
    return group;
}

QByteArray encodeBase64(QByteArrayView bytes)
{
    QByteArray text((bytes.size() + 2) / 3 * 4, Qt::Uninitialized);
    encodeRun(reinterpret_cast<const quint8 *>(bytes.data()), bytes.size(), text.data());
    return text;
}

QByteArray decodeBase64(QByteArrayView text)
{
    const qsizetype n = text.size();
    QByteArray bytes((n + 3) / 4 * 3, Qt::Uninitialized);
    auto *out = reinterpret_cast<quint8 *>(bytes.data());
    const char *in = text.data();
    qsizetype written = 0;
    qsizetype i = 0;
    for (; i + 4 <= n; i += 4) {
        const auto *group = reinterpret_cast<const unsigned char *>(in + i);
        const quint32 bits =
            kPlaced0[group[0]] | kPlaced1[group[1]] | kPlaced2[group[2]] | kPlaced3[group[3]];
        if ((bits & kNotData) == 0) {
            out[written] = quint8(bits >> 16);
            out[written + 1] = quint8(bits >> 8);
            out[written + 2] = quint8(bits);
            written += 3;
        } else {
            written += decodeInto(in + i, out + written);
        }
    }
    if (i < n) {
        const Base64Group last = DecodeGroup(text.sliced(i));
        for (int k = 0; k < last.count; ++k)
            out[written++] = last.bytes[k];
    }
    bytes.truncate(written);
    return bytes;
}

QByteArray svgDocument(QByteArrayView picture, QByteArrayView mimeType, quint16 width,
                       quint16 height)
{
    QByteArray document = svgHead(mimeType, width, height);
    const qsizetype head = document.size();
    const qsizetype data = (picture.size() + 2) / 3 * 4;
    document.resize(head + data + kTail.size());
    // Encoded straight into the document: a picture-sized text is never copied.
    encodeRun(reinterpret_cast<const quint8 *>(picture.data()), picture.size(),
              document.data() + head);
    std::copy(kTail.begin(), kTail.end(), document.data() + head + data);
    return document;
}

namespace {

// The document svgDocument makes, written to path with the picture encoded a piece at a time
// straight into the file, so a picture-sized text is never held whole.
Result<void> writeSvgDocument(const QString &path, QByteArrayView picture, QByteArrayView mimeType,
                              quint16 width, quint16 height)
{
    constexpr qsizetype kPiece = qsizetype(3) << 18;
    const auto produce = [&](const PieceSink &write) {
        if (!write(svgHead(mimeType, width, height)))
            return false;
        QByteArray text;
        for (qsizetype at = 0; at < picture.size(); at += kPiece) {
            const qsizetype n = std::min(kPiece, picture.size() - at);
            text.resize((n + 2) / 3 * 4);
            encodeRun(reinterpret_cast<const quint8 *>(picture.data() + at), n, text.data());
            if (!write(text))
                return false;
        }
        return write(kTail);
    };
    return writeFileInPieces(path, produce);
}

} // namespace

Result<void> SavetoSVG(const QString &pictureFile, const QString &svgFile, QByteArrayView mimeType,
                       quint16 width, quint16 height, QByteArray &svgText)
{
    VELMORA_TRY_ASSIGN(const QByteArray picture, readWholeFile(pictureFile));
    if (svgFile.isEmpty()) {
        svgText = svgDocument(picture, mimeType, width, height);
        return {};
    }
    return writeSvgDocument(svgFile, picture, mimeType, width, height);
}

SvgPicture svgPicture(QByteArrayView svgText)
{
    const SvgSpan found = findSvgPicture(svgText);
    SvgPicture result;
    result.mimeType = found.mimeType.toByteArray();
    result.markersFound = found.markersFound;
    result.extension = extensionFor(found.mimeType);
    result.bytes = decodeBase64(found.data);
    return result;
}

namespace {

SvgSpan findSvgPicture(QByteArrayView svgText)
{
    SvgSpan result;
    QByteArrayView text = svgText;
    // The tail is searched as the C library searches: a megabyte of base64 lies before it.
    const std::string_view whole(svgText.data(), std::size_t(svgText.size()));
    const std::size_t found = whole.find(std::string_view(kTail.data(), std::size_t(kTail.size())));
    const qsizetype end = found == std::string_view::npos ? -1 : qsizetype(found);
    if (end >= 0)
        text = text.first(end);
    const qsizetype href = text.indexOf(kHref);
    if (href >= 0)
        text = text.sliced(href + kHref.size());
    const qsizetype marker = text.indexOf(kBase64Marker);
    if (marker >= 0) {
        result.mimeType = text.first(marker);
        text = text.sliced(marker + kBase64Marker.size());
    }
    result.markersFound = end >= 0 && href >= 0 && marker >= 0;
    result.data = text;
    return result;
}

QString extensionFor(QByteArrayView mimeType)
{
    return mimeType == kJpegMime ? QStringLiteral(".jpg") : QStringLiteral(".png");
}

} // namespace

Result<QString> ExtractSvgPicture(QByteArrayView svgText, const QString &targetBase)
{
    const SvgSpan found = findSvgPicture(svgText);
    const QString path = targetBase + extensionFor(found.mimeType);
    // Decoded a piece at a time straight into the file; groups of four characters never split.
    constexpr qsizetype kPiece = qsizetype(4) << 18;
    const auto produce = [&](const PieceSink &write) {
        for (qsizetype at = 0; at < found.data.size(); at += kPiece) {
            if (!write(
                    decodeBase64(found.data.sliced(at, std::min(kPiece, found.data.size() - at)))))
                return false;
        }
        return true;
    };
    VELMORA_TRY(writeFileInPieces(path, produce));
    return path;
}

QByteArrayView pictureMimeType(const QString &path)
{
    const QString ending = path.right(3).toLower();
    if (ending == u"jpg")
        return kJpegMime;
    if (ending == u"png")
        return kPngMime;
    return {};
}

Result<QString> ConvertPictureToSvg(const QString &picturePath, const QString &svgPath)
{
    const QByteArrayView mime = pictureMimeType(picturePath);
    if (mime.isEmpty())
        return QString();
    VELMORA_TRY_ASSIGN(const QByteArray bytes, readWholeFile(picturePath));
    // Decoded whole, as a skin opening it would: a picture cut short or claiming a size its
    // data does not have is refused here rather than wrapped for the phone to choke on.
    VELMORA_TRY_ASSIGN(const QImage decoded, mime == kJpegMime ? decodeJpeg(bytes, picturePath)
                                                               : decodePng(bytes, picturePath));
    const std::optional<QSize> image = decoded.size();
    constexpr int kMax = std::numeric_limits<quint16>::max();
    if (image->width() > kMax || image->height() > kMax) {
        return fail(Error::unsupported(
            QCoreApplication::translate("Svg",
                                        "%1: the picture is %2 × %3 pixels; an SVG wrapper holds "
                                        "at most %4 in each direction")
                .arg(picturePath)
                .arg(image->width())
                .arg(image->height())
                .arg(kMax)));
    }
    const QString target = svgPath.isEmpty() ? picturePath + QStringLiteral(".svg") : svgPath;
    // The bytes already read are wrapped, so the document matches the picture that was measured.
    VELMORA_TRY(
        writeSvgDocument(target, bytes, mime, quint16(image->width()), quint16(image->height())));
    return target;
}
