#include "core/Palette.h"

// The palette readers as "Импортировать → палитру…" runs them, by the name's ending, and the
// writers over what they read.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &name : {QStringLiteral("p.gpl"), QStringLiteral("p.json")}) {
        const auto palette = readPalette(bytes, name);
        if (!palette)
            continue;
        std::array<TColor, kSlotCount> colours{};
        for (int slot = 0; slot < kSlotCount; ++slot)
            colours[std::size_t(slot)] = (*palette)[std::size_t(slot)].value_or(0);
        (void)readGplPalette(paletteGpl(colours, name), name);
        (void)paletteCss(colours);
    }
    return 0;
}
