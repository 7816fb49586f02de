#include "MbmPacker.h"

#include "Painting.h"

#include "containers/PictureCodecs.h"
#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

Result<void> writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(Error::io(QStringLiteral("%1: %2").arg(path, file.errorString())));
    return {};
}

Result<QString> runConverter(const QString &bmconv, const QStringList &arguments,
                             const QString &folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(bmconv, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(-1))
        return fail(Error::io(QStringLiteral("%1: %2").arg(bmconv, process.errorString())));
    const QString output = QString::fromLocal8Bit(process.readAll());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return fail(Error::invalid(QStringLiteral("%1 failed (exit code %2):\n%3")
                                       .arg(bmconv)
                                       .arg(process.exitCode())
                                       .arg(output)));
    return output;
}

} // namespace

Result<void> packIconList(const IconList &list, const QString &bmconv, const QString &scratch,
                          const QString &target)
{
    const QDir dir(scratch);
    const QString packed = QStringLiteral("packed.mbm");
    QStringList arguments{packed};
    for (int i = 0; i < list.icons.size(); ++i) {
        const QImage &icon = list.icons[i].image;
        const QString picture = QStringLiteral("icon%1.bmp").arg(2 * i);
        const QString mask = QStringLiteral("mask%1.bmp").arg(2 * i + 1);
        if (auto written = writeFile(dir.filePath(picture), encodeBmp24(iconPicture(icon)));
            !written)
            return written;
        if (auto written = writeFile(dir.filePath(mask), encodeBmp24(iconMask(icon))); !written)
            return written;
        arguments << QStringLiteral("/c24") + picture << QStringLiteral("/8") + mask;
    }
    QFile::remove(dir.filePath(packed));

    const auto built = runConverter(bmconv, arguments, scratch);
    if (!built)
        return fail(built.error());
    if (!built->trimmed().endsWith(QStringLiteral("Success.")))
        return fail(Error::invalid(
            QStringLiteral("%1: the converter did not finish:\n%2").arg(list.file, *built)));

    // Read the count back, so a file the converter silently cut short is never installed.
    const auto info = runConverter(bmconv, {QStringLiteral("/v"), packed}, scratch);
    if (!info)
        return fail(info.error());
    static const QRegularExpression countLine(QStringLiteral("containing (\\d+) bitmaps"));
    const auto match = countLine.match(*info);
    const int expected = int(list.icons.size()) * 2;
    if (!match.hasMatch() || match.captured(1).toInt() != expected)
        return fail(Error::corrupt(QStringLiteral("%1: the converter wrote a file that does not "
                                                  "hold %2 bitmaps:\n%3")
                                       .arg(list.file)
                                       .arg(expected)
                                       .arg(*info)));

    const auto bytes = readWholeFile(dir.filePath(packed));
    if (!bytes)
        return fail(bytes.error());
    QDir().mkpath(QFileInfo(target).absolutePath());
    return writeFile(target, *bytes);
}
