#include "ui/Shutdown.h"

#include "platform/FileOps.h"

namespace shutdown {

void close(const QString &scratchFolder)
{
    // No scratch folder, nothing to empty: never a relative "temp/" of whatever folder is current.
    if (!scratchFolder.isEmpty())
        platform::deleteFolderFiles(scratchFolder + QStringLiteral("temp/"));
}

} // namespace shutdown
