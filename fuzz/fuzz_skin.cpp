#include "core/SkinFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (auto skin = readSkin(bytes, QStringLiteral("fuzz.skin")))
        (void)writeSkin(*skin);
    return 0;
}
