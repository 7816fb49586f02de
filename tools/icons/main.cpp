// velmora-icons: writes the program's icon as PNG files for the desktop's icon theme, painted by
// the same code the window uses, so the menu entry and the window show the same flower.
//
//   velmora-icons OUTPUT_FOLDER SIZE...
//
// writes OUTPUT_FOLDER/<SIZE>x<SIZE>/apps/velmora.png for each size.

#include "ui/ProgramIcon.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "Usage: velmora-icons OUTPUT_FOLDER SIZE...\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "velmora-icons: '%s' is not an icon size (1..1024)\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(output).arg(size);
        if (!QDir().mkpath(folder)) {
            std::fprintf(stderr, "velmora-icons: cannot create %s\n", qPrintable(folder));
            return 1;
        }
        const QString file = folder + QStringLiteral("/velmora.png");
        const QImage icon = paintProgramIcon(size);
        // Icon themes expect straight alpha; the painter's premultiplied pixels are converted.
        if (icon.size() != QSize(size, size) ||
            !icon.convertToFormat(QImage::Format_ARGB32).save(file, "PNG")) {
            std::fprintf(stderr, "velmora-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
