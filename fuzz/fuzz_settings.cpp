#include "core/SettingsFile.h"

// The settings reader over the defaults, as the program starts; the window places itself from
// the positions it read, as on a small and a large screen; the writer writes what was read and
// the reader reads that back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    SettingsValues values;
    (void)readSettings(bytes, values);
    for (const QPoint at : {values.setupFormPosition, values.previewFormPosition}) {
        (void)placedLeft(at.x(), 800, 1920);
        (void)placedTop(at.y(), 600, 1080);
        (void)placedLeft(at.x(), 240, 320);
        (void)placedTop(at.y(), 320, 240);
    }
    SettingsValues again;
    (void)readSettings(writeSettings(values), again);
    return 0;
}
