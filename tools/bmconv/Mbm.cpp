#include "bmconv/Mbm.h"

#include "bmconv/Bmp.h"
#include "bmconv/Rle.h"

#include <array>
#include <string>

namespace bmconv {

namespace {

// Raw pixel buffers above this are refused whatever the header claims.
constexpr std::int64_t kMaxRawSize = std::int64_t(1) << 28;

std::string bitmapLabel(std::size_t index)
{
    return "bitmap " + std::to_string(index) + ": ";
}

BitmapHeader parseHeader(const std::uint8_t *p)
{
    BitmapHeader h;
    h.bitmapSize = loadI32(p);
    h.structSize = loadI32(p + 4);
    h.width = loadI32(p + 8);
    h.height = loadI32(p + 12);
    h.twipsWidth = loadI32(p + 16);
    h.twipsHeight = loadI32(p + 20);
    h.bitsPerPixel = loadI32(p + 24);
    h.colour = loadU32(p + 28);
    h.paletteEntries = loadI32(p + 32);
    h.compression = loadU32(p + 36);
    return h;
}

void appendHeader(Bytes &out, const BitmapHeader &h)
{
    appendI32(out, h.bitmapSize);
    appendI32(out, h.structSize);
    appendI32(out, h.width);
    appendI32(out, h.height);
    appendI32(out, h.twipsWidth);
    appendI32(out, h.twipsHeight);
    appendI32(out, h.bitsPerPixel);
    appendU32(out, h.colour);
    appendI32(out, h.paletteEntries);
    appendU32(out, h.compression);
}

} // namespace

std::uint16_t crc16Xmodem(ByteView bytes)
{
    static const std::array<std::uint16_t, 256> table = [] {
        std::array<std::uint16_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned crc = i << 8;
            for (int bit = 0; bit < 8; ++bit)
                crc = crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1;
            t[i] = static_cast<std::uint16_t>(crc);
        }
        return t;
    }();
    std::uint16_t crc = 0;
    for (std::uint8_t byte : bytes)
        crc = static_cast<std::uint16_t>(crc << 8 ^ table[(crc >> 8 ^ byte) & 0xFF]);
    return crc;
}

std::uint32_t uidChecksum(std::uint32_t uid1, std::uint32_t uid2, std::uint32_t uid3)
{
    Bytes uids;
    appendU32(uids, uid1);
    appendU32(uids, uid2);
    appendU32(uids, uid3);
    std::uint8_t even[6], odd[6];
    for (int i = 0; i < 6; ++i) {
        even[i] = uids[2 * i];
        odd[i] = uids[2 * i + 1];
    }
    return std::uint32_t(crc16Xmodem(odd)) << 16 | crc16Xmodem(even);
}

std::int64_t BitmapHeader::rawSize() const
{
    return rowStride(bitsPerPixel, width) * height;
}

Result<MbmDirectory> readMbmDirectory(ByteView file)
{
    const std::size_t size = file.size();
    const std::uint8_t *d = file.data();
    MbmDirectory directory;
    std::uint64_t tableStart = 0;
    std::uint32_t count = 0;

    if (size >= 8 && loadU32(d) == kRomImageUid) {
        directory.kind = StoreKind::RomImage;
        count = loadU32(d + 4);
        tableStart = 8;
    } else {
        static const std::uint32_t checksum = uidChecksum(kFileStoreUid, kMultiBitmapUid, 0);
        if (size < 20 || loadU32(d) != kFileStoreUid || loadU32(d + 4) != kMultiBitmapUid ||
            loadU32(d + 8) != 0 || loadU32(d + 12) != checksum)
            return fail(Status::BadSourceFile, "not a multi-bitmap file");
        const std::uint32_t rootOffset = loadU32(d + 16);
        if (!fitsIn(rootOffset, 4, size))
            return fail(Status::BadSourceFile, "the bitmap list lies past the end of the file");
        count = loadU32(d + rootOffset);
        tableStart = std::uint64_t(rootOffset) + 4;
    }
    if (!fitsIn(tableStart, std::uint64_t(count) * 4, size))
        return fail(Status::BadSourceFile,
                    "the file cannot hold the " + std::to_string(count) + " bitmaps it lists");

    directory.offsets.resize(count);
    for (std::uint32_t i = 0; i < count; ++i)
        directory.offsets[i] = loadU32(d + tableStart + 4 * i);
    return directory;
}

Result<BitmapRecord> readBitmapRecord(ByteView file, const MbmDirectory &directory,
                                      std::size_t index)
{
    const std::size_t size = file.size();
    const std::uint64_t offset = directory.offsets.at(index);
    std::uint64_t headerAt = offset;
    std::uint64_t dataAt = offset + kBitmapHeaderSize;

    if (directory.kind == StoreKind::RomImage) {
        if (!fitsIn(offset, kRomRecordHeaderSize, size))
            return fail(Status::BadSourceFile, bitmapLabel(index) + "record lies past the end");
        if (loadU32(file.data() + offset) != kRomBitmapUid)
            return fail(Status::BadSourceFile, bitmapLabel(index) + "not a ROM bitmap record");
        headerAt = offset + 20;
        const std::uint32_t dataOffset = loadU32(file.data() + offset + 64);
        if (dataOffset < kRomRecordHeaderSize)
            return fail(Status::BadSourceFile, bitmapLabel(index) + "data offset inside header");
        dataAt = offset + dataOffset;
    } else if (!fitsIn(offset, kBitmapHeaderSize, size)) {
        return fail(Status::BadSourceFile, bitmapLabel(index) + "header lies past the end");
    }

    BitmapRecord record;
    BitmapHeader &h = record.header;
    h = parseHeader(file.data() + headerAt);
    if (h.structSize != static_cast<std::int32_t>(kBitmapHeaderSize))
        return fail(Status::BadSourceFile, bitmapLabel(index) + "header size is not 40");
    if (h.bitmapSize < h.structSize)
        return fail(Status::BadSourceFile, bitmapLabel(index) + "record size is too small");
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxBitmapSide || h.height > kMaxBitmapSide ||
        std::int64_t(h.width) * h.height > kMaxBitmapPixels)
        return fail(Status::BadSourceFile, bitmapLabel(index) + "unsupported size " +
                                               std::to_string(h.width) + " x " +
                                               std::to_string(h.height));
    if (!isKnownDepth(h.bitsPerPixel))
        return fail(Status::BadSourceFile, bitmapLabel(index) + std::to_string(h.bitsPerPixel) +
                                               " bits per pixel is not a depth");
    if (h.rawSize() > kMaxRawSize)
        return fail(Status::BadSourceFile, bitmapLabel(index) + "bitmap is too large");

    const std::uint64_t dataSize = static_cast<std::uint64_t>(h.bitmapSize) - kBitmapHeaderSize;
    if (!fitsIn(dataAt, dataSize, size))
        return fail(Status::BadSourceFile, bitmapLabel(index) + "data lies past the end");
    record.data =
        file.subspan(static_cast<std::size_t>(dataAt), static_cast<std::size_t>(dataSize));
    return record;
}

Result<Bytes> decodeBitmapData(const BitmapRecord &record)
{
    return decompress(record.header.compression, record.data,
                      static_cast<std::size_t>(record.header.rawSize()));
}

EncodedBitmap encodeBitmap(BitmapHeader header, Bytes raw, bool tryCompression)
{
    EncodedBitmap encoded;
    encoded.header = header;
    encoded.header.structSize = static_cast<std::int32_t>(kBitmapHeaderSize);
    encoded.header.paletteEntries = 0;
    encoded.header.compression = NoCompression;
    if (tryCompression) {
        const Compression scheme = compressionForMode(header.mode());
        if (auto stream = compress(scheme, raw)) {
            encoded.header.compression = scheme;
            encoded.data = std::move(*stream);
        }
    }
    if (encoded.header.compression == NoCompression)
        encoded.data = std::move(raw);
    encoded.header.bitmapSize = static_cast<std::int32_t>(kBitmapHeaderSize + encoded.data.size());
    return encoded;
}

Bytes writeFileStore(const std::vector<EncodedBitmap> &bitmaps)
{
    constexpr std::uint32_t firstRecord = 20;
    std::size_t total = firstRecord + 4 + 4 * bitmaps.size();
    for (const EncodedBitmap &b : bitmaps)
        total += static_cast<std::size_t>(b.header.bitmapSize);

    Bytes out;
    out.reserve(total);
    appendU32(out, kFileStoreUid);
    appendU32(out, kMultiBitmapUid);
    appendU32(out, 0);
    appendU32(out, uidChecksum(kFileStoreUid, kMultiBitmapUid, 0));
    appendU32(out, 0); // root stream offset, known once the records are written

    std::vector<std::uint32_t> offsets;
    for (const EncodedBitmap &b : bitmaps) {
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        appendHeader(out, b.header);
        out.insert(out.end(), b.data.begin(), b.data.end());
    }
    storeU32(out.data() + 16, static_cast<std::uint32_t>(out.size()));
    appendU32(out, static_cast<std::uint32_t>(bitmaps.size()));
    for (std::uint32_t offset : offsets)
        appendU32(out, offset);
    return out;
}

Bytes writeRomImage(const std::vector<EncodedBitmap> &bitmaps)
{
    Bytes out;
    appendU32(out, kRomImageUid);
    appendU32(out, static_cast<std::uint32_t>(bitmaps.size()));
    const std::size_t tableAt = out.size();
    out.resize(out.size() + 4 * bitmaps.size(), 0);

    for (std::size_t i = 0; i < bitmaps.size(); ++i) {
        const EncodedBitmap &b = bitmaps[i];
        storeU32(out.data() + tableAt + 4 * i, static_cast<std::uint32_t>(out.size()));
        appendU32(out, kRomBitmapUid);
        appendU32(out, displayModeNumber(b.header.mode()));
        appendU32(out, 0);
        appendU32(out, 0);
        appendU32(out,
                  static_cast<std::uint32_t>(rowStride(b.header.bitsPerPixel, b.header.width)));
        appendHeader(out, b.header);
        appendU32(out, 0xFFFFFFFF);
        appendU32(out, static_cast<std::uint32_t>(kRomRecordHeaderSize));
        out.insert(out.end(), b.data.begin(), b.data.end());
        out.resize((out.size() + 3) & ~std::size_t(3), 0);
    }
    return out;
}

std::uint32_t displayModeNumber(BitmapMode mode)
{
    const bool colour = mode.colour != Greyscale;
    switch (mode.bitsPerPixel) {
    case 1:
        return 1;
    case 2:
        return 2;
    case 4:
        return colour ? 5 : 3;
    case 8:
        return colour ? 6 : 4;
    case 12:
        return 10;
    case 16:
        return 7;
    case 24:
        return 8;
    case 32:
        return mode.colour == ColourAlpha ? 12 : 11;
    default:
        return 0;
    }
}

} // namespace bmconv
