#include "core/Cp1251.h"

#include <array>

namespace cp1251 {
namespace {

// Code points of bytes 0x80..0xBF; 0xC0..0xFF are the contiguous Cyrillic letters А..я.
constexpr std::array<char16_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
};

int byteOf(char16_t unicode)
{
    if (unicode < 0x80)
        return unicode;
    if (unicode >= 0x0410 && unicode <= 0x044F)
        return unicode - 0x0410 + 0xC0;
    for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
        if (kHighHalf[i] == unicode)
            return int(0x80 + i);
    }
    return -1;
}

} // namespace

QChar toUnicode(unsigned char byte)
{
    if (byte < 0x80)
        return QChar(char16_t(byte));
    if (byte >= 0xC0)
        return QChar(char16_t(0x0410 + byte - 0xC0));
    return QChar(kHighHalf[byte - 0x80]);
}

bool isEncodable(QChar ch)
{
    return byteOf(ch.unicode()) >= 0;
}

unsigned char fromUnicode(QChar ch)
{
    const int byte = byteOf(ch.unicode());
    return byte >= 0 ? static_cast<unsigned char>(byte) : '?';
}

QString decode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char byte : bytes)
        text.append(toUnicode(static_cast<unsigned char>(byte)));
    return text;
}

QByteArray encode(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar ch : text)
        bytes.append(static_cast<char>(fromUnicode(ch)));
    return bytes;
}

} // namespace cp1251
