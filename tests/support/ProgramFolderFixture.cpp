#include "ProgramFolderFixture.h"

#include "TestFiles.h"

#include "containers/PictureCodecs.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>

namespace {

constexpr int kIconSize = 16;

struct ListSpec
{
    const char *name;
    const char *file;
    int items;
};

const ListSpec kLists[] = {
    {"XStatus", "ICQ/XStatus.mbm", 74}, {"Status", "ICQ/Status.mbm", 64},
    {"Clients", "ICQ/Clients.mbm", 86}, {"pricons", "Icons/pricons.mbm", 96},
    {"PStatus", "ICQ/PStatus.mbm", 6},  {"Smilies", "Smilies/default.mbm", 6}};

QImage solid(QColor colour)
{
    QImage image(kIconSize, kIconSize, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    return testfiles::write(path, bytes);
}

// Packs icon/mask pairs: every mask is white (the whole square is icon).
QString packList(const QString &folder, const ListSpec &list)
{
    QStringList arguments = {QDir(folder).filePath(QString::fromLatin1(list.file))};
    QDir(folder).mkpath(QStringLiteral("fixture"));
    for (int i = 0; i < list.items; ++i) {
        const bool mask = i % 2 == 1;
        const QString bmp = QDir(folder).filePath(
            QStringLiteral("fixture/%1-%2.bmp").arg(QString::fromLatin1(list.name)).arg(i));
        const QImage image =
            mask ? solid(Qt::white)
                 : solid(ProgramFolderFixture::iconColour(QString::fromLatin1(list.name), i));
        if (!writeFile(bmp, encodeBmp24(image)))
            return QStringLiteral("cannot write %1").arg(bmp);
        arguments.append((mask ? QStringLiteral("/8") : QStringLiteral("/c24")) + bmp);
    }
    QDir().mkpath(QFileInfo(arguments.first()).path());
    QProcess process;
    process.start(QStringLiteral(VELMORA_BMCONV), arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return QStringLiteral("bmconv failed for %1: %2")
            .arg(QString::fromLatin1(list.file),
                 QString::fromLocal8Bit(process.readAllStandardOutput()));
    return {};
}

} // namespace

QColor ProgramFolderFixture::iconColour(const QString &list, int icon)
{
    const int base = int(qHash(list) % 97);
    return QColor((base + icon * 37) % 200 + 20, (base * 3 + icon * 11) % 200 + 30,
                  (icon * 53) % 200 + 40);
}

QByteArray ProgramFolderFixture::chatText()
{
    return "7,4,6,Partner\r\n<~~<color14>~~>Partner 12:00\r\nHello :)";
}

QString ProgramFolderFixture::create(const QString &folder, Skip skip)
{
    const QString data = QStringLiteral(VELMORA_SOURCE_DATA "/");
    const auto copy = [&](const QString &from, const QString &to) {
        QFile::remove(to);
        return QFile::copy(from, to);
    };
    if (skip != Skip::Back && !copy(data + QStringLiteral("default_back.jpg"),
                                    folder + QStringLiteral("/default_back.jpg")))
        return QStringLiteral("cannot copy default_back.jpg");
    if (skip != Skip::Cursor && !copy(data + QStringLiteral("default_cursor.jpg"),
                                      folder + QStringLiteral("/default_cursor.jpg")))
        return QStringLiteral("cannot copy default_cursor.jpg");
    if (skip != Skip::Bmconv &&
        !copy(QStringLiteral(VELMORA_BMCONV), folder + QStringLiteral("/bmconv")))
        return QStringLiteral("cannot copy bmconv");
    for (const ListSpec &list : kLists) {
        const bool skipped =
            (skip == Skip::StatusMbm && QLatin1String(list.name) == QLatin1String("Status")) ||
            (skip == Skip::SmiliesMbm && QLatin1String(list.name) == QLatin1String("Smilies"));
        if (skipped)
            continue;
        if (QString error = packList(folder, list); !error.isEmpty())
            return error;
    }
    if (skip != Skip::SmiliesIni &&
        !writeFile(folder + QStringLiteral("/Smilies/default.ini"), ":-),:)\r\n;-)\r\n:-(\r\n"))
        return QStringLiteral("cannot write default.ini");
    if (skip != Skip::TextOfChat &&
        !writeFile(folder + QStringLiteral("/TextOfChat.txt"), chatText()))
        return QStringLiteral("cannot write TextOfChat.txt");
    // No settings at all: a window starts from the options' initial states, not from the look
    // of a fresh installation; tests of the settings file write their own.
    if (!writeFile(folder + QStringLiteral("/Settings.cfg"), QByteArray()))
        return QStringLiteral("cannot write Settings.cfg");
    QDir(folder + QStringLiteral("/fixture")).removeRecursively();
    return {};
}
