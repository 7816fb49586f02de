#pragma once

#include "containers/Progress.h"
#include "platform/Error.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// One entry of a .mif file. Every picture is two entries: the picture and its "virtual copy",
// which has the same position and length and no data block of its own.
struct MifEntry
{
    // Above 0: where the entry's data block starts in the .mif. 0 or below: a bitmap entry, and
    // -Offset is its bitmap's number in the companion .mbm, counted from 1.
    qint32 Offset = 0;
    // The data block's length (32 header bytes plus the SVG text); 0 for a bitmap entry.
    qint32 Length = 0;
    // The SVG text's length; 0 for a bitmap entry.
    qint32 DataLength = 0;
    // The SVG document, cp1251 bytes exactly as stored.
    QByteArray Data;
    bool IsBitmap = false;
    // A bitmap entry's own copy of its picture; null for SVG entries and for a bitmap the
    // companion .mbm did not deliver.
    QImage Bitmap;
};

struct MifHeader
{
    qint32 magic = 0;
    qint32 version = 0;
    qint32 tablePosition = 0;
};

struct MifContents
{
    MifHeader header;
    QList<MifEntry> entries;
};

inline constexpr qint32 kMifMagic = 0x34232342;      // "B##4"
inline constexpr qint32 kMifBlockMagic = 0x34232343; // "C##4"
inline constexpr int kMifHeaderSize = 16;
inline constexpr int kMifRowSize = 8;
inline constexpr int kMifBlockHeaderSize = 32;

// The bitmap number of a bitmap entry (-Offset), safe for every Offset a file can hold.
inline qint64 mifBitmapNumber(const MifEntry &entry)
{
    return -qint64(entry.Offset);
}

// Parses a .mif. Every value read is reported through progress in the wording of the designer's
// console. Magic numbers and versions are not checked (the client does not check them either);
// every count, position and length is checked against the bytes there are.
Result<MifContents> readMif(const QByteArray &bytes, const QString &fileName,
                            const ProgressCallback &progress = {});

// Lays out entries as a .mif: the header, the table, and one block per distinct SVG picture in
// entry order. The offsets must describe exactly that layout, as MifImageList builds them.
Result<QByteArray> writeMif(const QList<MifEntry> &entries);
