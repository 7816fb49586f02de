#include "containers/PictureCodecs.h"

#include "platform/FileOps.h"

#include <QCoreApplication>
#include <QPainter>

Result<QImage> decodePictureFile(const QString &path)
{
    const QString kind = path.right(3).toLower();
    if (kind != u"bmp" && kind != u"jpg" && kind != u"png") {
        return fail(Error::unsupported(
            QCoreApplication::translate("PictureFile",
                                        "%1: only .bmp, .jpg and .png pictures can be used")
                .arg(path)));
    }
    VELMORA_TRY_ASSIGN(const QByteArray bytes, readWholeFile(path));
    if (kind == u"bmp")
        return decodeBmp(bytes, path);
    if (kind == u"jpg")
        return decodeJpeg(bytes, path);
    auto png = decodePng(bytes, path);
    if (!png || !png->hasAlphaChannel())
        return png;
    QImage flat(png->size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, *png);
    return flat;
}
