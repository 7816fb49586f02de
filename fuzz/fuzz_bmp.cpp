#include "Check.h"

#include "bmconv/Bmp.h"
#include "bmconv/Mbm.h"

#include <array>

using namespace bmconv;

namespace {

// Every mode the converter stores.
constexpr std::array<BitmapMode, 11> kModes = {{
    {1, Greyscale},
    {2, Greyscale},
    {4, Greyscale},
    {8, Greyscale},
    {4, Colour},
    {8, Colour},
    {12, Colour},
    {16, Colour},
    {24, Colour},
    {32, Colour},
    {32, ColourAlpha},
}};

// Stores `raw` as the converter does, in both kinds of file, and reads it back: what the phone
// would show must be what was stored.
void checkStored(const BitmapHeader &header, const Bytes &raw, int width, int height)
{
    const RgbImage shown = decodePixels(raw, width, height, header.mode());
    const EncodedBitmap encoded = encodeBitmap(header, raw, true);
    for (const Bytes &file : {writeFileStore({encoded}), writeRomImage({encoded})}) {
        const auto directory = readMbmDirectory(file);
        fuzzCheck(directory && directory->offsets.size() == 1, "a written file lists its bitmap");
        const auto record = readBitmapRecord(file, *directory, 0);
        fuzzCheck(record.has_value(), "a written bitmap's header reads",
                  record ? std::string() : record.error().detail);
        const auto decoded = decodeBitmapData(*record);
        fuzzCheck(decoded.has_value(), "a written bitmap decodes",
                  decoded ? std::string() : decoded.error().detail);
        fuzzCheck(record->header.width == width && record->header.height == height &&
                      record->header.mode() == header.mode(),
                  "a written bitmap keeps its size and mode");
        const RgbImage back = decodePixels(*decoded, width, height, header.mode());
        fuzzCheck(back.bgr == shown.bgr, "a written bitmap shows what was stored");
        if (header.mode() == BitmapMode{32, ColourAlpha})
            fuzzCheck(extractAlpha(*decoded, width, height) == extractAlpha(raw, width, height),
                      "a written bitmap keeps its alpha");
    }
}

} // namespace

// bmconv's BMP reader, and what the converter does with a picture it read: the 24-bit writer
// must give the same picture back, and every storable mode must survive being stored in an MBM
// (compressed where the converter would) and read back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto bmp = readBmp(ByteView(data, size));
    if (!bmp)
        return 0;
    const RgbImage &picture = bmp->picture;
    fuzzCheck(picture.bgr.size() == std::size_t(picture.width) * picture.height * 3,
              "three bytes per pixel");

    // Large pictures only cost time; the loops are the same.
    if (std::int64_t(picture.width) * picture.height > 4096)
        return 0;
    const auto again = readBmp(writeBmp24(picture));
    fuzzCheck(again.has_value(), "the 24-bit writer's file reads");
    fuzzCheck(again->picture.width == picture.width && again->picture.height == picture.height &&
                  again->picture.bgr == picture.bgr,
              "the 24-bit writer keeps the picture");

    // The alpha plane of 32-bit alpha bitmaps comes from a grey picture; any bytes will do.
    Bytes alpha(std::size_t(picture.width) * picture.height);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = picture.bgr[3 * i + 1];
    for (const BitmapMode mode : kModes) {
        BitmapHeader header;
        header.width = picture.width;
        header.height = picture.height;
        header.bitsPerPixel = mode.bitsPerPixel;
        header.colour = mode.colour;
        const Bytes raw = encodePixels(picture, mode, alpha.data(), defaultColour256Table());
        fuzzCheck(std::int64_t(raw.size()) == header.rawSize(), "encoded pixels fill the bitmap");
        checkStored(header, raw, picture.width, picture.height);
    }
    return 0;
}
