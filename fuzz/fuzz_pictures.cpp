#include "containers/PictureCodecs.h"

// The first byte picks the decoder, so one corpus exercises all three.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString what = QStringLiteral("fuzz");
    switch (data[0] % 3) {
    case 0:
        (void)decodeBmp(bytes, what);
        break;
    case 1:
        (void)decodePng(bytes, what);
        break;
    default:
        (void)decodeJpeg(bytes, what);
        break;
    }
    return 0;
}
