#pragma once

#include <QByteArray>
#include <QString>

// Windows code page 1251, the encoding of every text file the client and its tools exchange.
// The one byte the code page leaves undefined (0x98) maps to U+0098, so every byte survives a
// decode/encode round trip.
namespace cp1251 {

QChar toUnicode(unsigned char byte);
// Characters outside the code page become '?', as the Windows conversion does.
unsigned char fromUnicode(QChar ch);
bool isEncodable(QChar ch);

QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text);

} // namespace cp1251
