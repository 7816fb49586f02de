#include "core/SettingsFile.h"
#include "core/WindowPlacement.h"

// The settings reader over the defaults, as the program starts; the window places itself from
// the positions it read, as on a small and a large screen; the writer writes what was read and
// the reader reads that back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    SettingsValues values;
    (void)readSettings(bytes, values);
    const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(-320, 0, 320, 240)};
    for (const QPoint at : {values.setupFormPosition, values.previewFormPosition}) {
        (void)reachablePlace(at, QSize(800, 600), screens);
        (void)reachablePlace(at, QSize(240, 320), screens);
    }
    SettingsValues again;
    (void)readSettings(writeSettings(values), again);
    return 0;
}
