#include "Check.h"

#include "bmconv/Mbm.h"

#include <algorithm>

using namespace bmconv;

// bmconv's MBM reader as unpacking uses it: the bitmap list, each bitmap's header and data, the
// pixels and the alpha plane. A bitmap in a mode the converter stores must come back the same
// after the converter stores it again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ByteView file(data, size);
    const auto directory = readMbmDirectory(file);
    if (!directory)
        return 0;
    // A list of a million bitmaps at the same offset only repeats the same work.
    const std::size_t count = std::min<std::size_t>(directory->offsets.size(), 16);
    for (std::size_t index = 0; index < count; ++index) {
        const auto record = readBitmapRecord(file, *directory, index);
        if (!record)
            continue;
        const BitmapHeader &header = record->header;
        const auto raw = decodeBitmapData(*record);
        if (!raw)
            continue;
        fuzzCheck(std::int64_t(raw->size()) == header.rawSize(), "the pixels fill the bitmap");
        const RgbImage shown = decodePixels(*raw, header.width, header.height, header.mode());
        if (header.bitsPerPixel == 32)
            (void)extractAlpha(*raw, header.width, header.height);
        if (!isStorableMode(header.mode()) || std::int64_t(header.width) * header.height > 65536)
            continue;

        const EncodedBitmap stored = encodeBitmap(header, *raw, true);
        const Bytes again = writeFileStore({stored});
        const auto againDirectory = readMbmDirectory(again);
        fuzzCheck(againDirectory.has_value(), "a stored bitmap's file reads");
        const auto againRecord = readBitmapRecord(again, *againDirectory, 0);
        fuzzCheck(againRecord.has_value(), "a stored bitmap's header reads",
                  againRecord ? std::string() : againRecord.error().detail);
        const auto againRaw = decodeBitmapData(*againRecord);
        fuzzCheck(againRaw.has_value(), "a stored bitmap decodes",
                  againRaw ? std::string() : againRaw.error().detail);
        const RgbImage back = decodePixels(*againRaw, header.width, header.height, header.mode());
        fuzzCheck(back.bgr == shown.bgr, "a stored bitmap shows the same pixels");
        if (header.mode() == BitmapMode{32, ColourAlpha})
            fuzzCheck(extractAlpha(*againRaw, header.width, header.height) ==
                          extractAlpha(*raw, header.width, header.height),
                      "a stored bitmap keeps its alpha");
    }
    return 0;
}
