#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

// Base64 as the client's designer has always coded it, and the SVG document that carries a skin
// picture inside a .mif.
//
// Decoding is deliberately forgiving, because that is how existing files were read: a character
// outside the alphabet counts as 63, "=" counts as zero bits, and a byte is valid only when the
// character that supplied its last bit was not "=".

// Up to three bytes and how many of them are data (0..3).
struct Base64Group
{
    std::array<quint8, 3> bytes{};
    int count = 0;

    friend bool operator==(const Base64Group &, const Base64Group &) = default;
};

// Four characters. Bytes beyond count are taken as zero; a count of 2 ends in one "=", 1 in two.
QByteArray EncodeGroup(const Base64Group &group);
// The first four characters of text; missing ones are taken as "=". The count is the number of
// the last byte whose last bit came from a character other than "=" (so "A===" gives none).
Base64Group DecodeGroup(QByteArrayView text);

// Group by group under the rules above: the standard base64 of bytes, and its inverse that
// writes each group's count bytes. A short trailing group is padded with "=".
QByteArray encodeBase64(QByteArrayView bytes);
QByteArray decodeBase64(QByteArrayView text);

// --- the SVG wrapper --------------------------------------------------------------------------
//
// A cp1251 text with CR LF line ends (no line end after the last line); → is a TAB:
//   <?xml version="1.0" encoding="UTF-8"?>
//   <!-- Creator: Velmora for TolvoICQ (v.0.6) -->
//   <!DOCTYPE svg PUBLIC "-//W3C//DTD SVG 1.1//EN"
//   "http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd" [ →<!ENTITY ns_svg
//   "http://www.w3.org/2000/svg"> →<!ENTITY ns_xlink "http://www.w3.org/1999/xlink">
//   ]>
//   <svg version="1.1" id="Слой_1" xmlns="&ns_svg;" xmlns:xlink="&ns_xlink;" width="{W}pt"
//   height="{H}pt" viewBox="0 0 {W} {H}" → overflow="visible" enable-background="0 0 {W} {H}"
//   xml:space="preserve"> <rect fill="#FF00E0" width="{W}" height="{H}"/> <image x="0" y="0"
//   width="{W}" height="{H}" xlink:href="data:{MIME};base64,{DATA}"/>
//   </svg>
// "Слой" is written as its cp1251 bytes D1 EB EE E9. {DATA} is the picture file's bytes in base64
// on one unbroken line: the reader below takes everything up to `"/>` CR LF `</svg>` as data.

inline constexpr QByteArrayView kJpegMime = "image/jpeg";
inline constexpr QByteArrayView kPngMime = "image/png";

// The whole document for picture bytes as they are on disk.
QByteArray svgDocument(QByteArrayView picture, QByteArrayView mimeType, quint16 width,
                       quint16 height);

// Wraps a picture file. With svgFile given, the document is written there (an existing file is
// replaced only by a complete new one) and svgText is left alone; with svgFile empty, the
// document replaces svgText. A picture file that cannot be read changes nothing.
Result<void> SavetoSVG(const QString &pictureFile, const QString &svgFile, QByteArrayView mimeType,
                       quint16 width, quint16 height, QByteArray &svgText);

// The picture cut out of an SVG document the way the client's designer reads it back. No marker
// is required: a document without them gives bytes that will not decode as a picture, and
// markersFound says so for callers that would rather refuse it.
struct SvgPicture
{
    QByteArray mimeType;
    // ".jpg" for exactly "image/jpeg", ".png" for anything else.
    QString extension;
    QByteArray bytes;
    bool markersFound = false;
};
SvgPicture svgPicture(QByteArrayView svgText);

// Writes the embedded picture to targetBase + ".jpg" or ".png" (replacing the file) and returns
// that path.
Result<QString> ExtractSvgPicture(QByteArrayView svgText, const QString &targetBase);

// "image/jpeg" or "image/png" by the lower-cased last three characters of a file name ("jpg",
// "png"); empty for anything else, ".jpeg" included.
QByteArrayView pictureMimeType(const QString &path);

// The "JPG,PNG=>SVG" conversion: reads the picture's size from the picture itself and writes its
// SVG wrapper to svgPath, by default the picture's path with ".svg" appended. Returns the path
// written, or an empty string when the name ends in neither "jpg" nor "png" (nothing is done).
Result<QString> ConvertPictureToSvg(const QString &picturePath, const QString &svgPath = QString());
