#include "containers/MifFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)readMif(bytes, QStringLiteral("fuzz.mif"));
    return 0;
}
