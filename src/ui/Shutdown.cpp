#include "ui/Shutdown.h"

#include "platform/FileOps.h"

namespace shutdown {

void close(const QString &programFolder)
{
    platform::deleteFolderFiles(programFolder + QStringLiteral("temp/"));
}

} // namespace shutdown
