#include "platform/FontAliases.h"

#include <QFile>
#include <QFileInfo>

#if VELMORA_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace platform {

Result<void> loadFontAliases(const QString &configFile)
{
    if (!QFileInfo(configFile).isFile())
        return fail(Error::io(QStringLiteral("%1: the font rules are missing").arg(configFile)));
#if VELMORA_HAVE_FONTCONFIG
    if (!FcInit())
        return fail(Error::io(QStringLiteral("%1: fontconfig cannot start").arg(configFile)));
    const QByteArray name = QFile::encodeName(configFile);
    // The rules go into the configuration Qt matches with, after the system's own.
    if (!FcConfigParseAndLoad(FcConfigGetCurrent(),
                              reinterpret_cast<const FcChar8 *>(name.constData()), FcTrue)) {
        return fail(Error::corrupt(
            QStringLiteral("%1: fontconfig cannot read the font rules").arg(configFile)));
    }
#endif
    return {};
}

} // namespace platform
