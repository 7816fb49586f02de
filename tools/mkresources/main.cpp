// mkresources: paints the client's resource set and writes it into a program data folder.
//
//   mkresources --bmconv <converter> --data <folder>   icon files, smileys, sample chat and list
//   mkresources --sheet <file.png>                       one review picture of every icon
//   mkresources --phones <folder>                        only the phone pictures and model list
//   mkresources --skins <folder>                         the sample skins' pictures and colours,
//                                                        for velmora-cli export to make the skins
//
// Any of them may be given together; --data writes the phone pictures as well. Everything is
// painted here; nothing is read from disk.

#include "ContactSheet.h"
#include "IconSets.h"
#include "MbmPacker.h"
#include "PhonePictures.h"
#include "SampleSkins.h"
#include "SampleTexts.h"

#include "containers/PictureCodecs.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

struct Options
{
    QString bmconv;
    QString data;
    QString sheet;
    QString phones;
    QString skins;
};

// The icon each status number is drawn with: below 24 a badge over the online flower, 253 the
// incoming-message picture of the program icons.
const QList<int> kStatusTable{253, 30, 48, 32, 34, 38, 36, 24, 0,  18, 20,
                              16,  14, 10, 6,  8,  2,  12, 4,  26, 52, 28};

void printUsage()
{
    std::fputs("usage: mkresources [--bmconv <converter> --data <folder>] [--sheet <file.png>]\n"
               "                  [--phones <folder>] [--skins <folder>]\n",
               stderr);
}

Result<Options> parseOptions(const QStringList &arguments)
{
    Options options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &name = arguments[i];
        QString *target = name == u"--bmconv"   ? &options.bmconv
                          : name == u"--data"   ? &options.data
                          : name == u"--sheet"  ? &options.sheet
                          : name == u"--phones" ? &options.phones
                          : name == u"--skins"  ? &options.skins
                                                : nullptr;
        if (!target)
            return fail(Error::invalid(QStringLiteral("unknown option %1").arg(name)));
        if (i + 1 >= arguments.size())
            return fail(Error::invalid(QStringLiteral("%1 needs a value").arg(name)));
        *target = arguments[++i];
    }
    if (options.data.isEmpty() != options.bmconv.isEmpty())
        return fail(Error::invalid(QStringLiteral("--data and --bmconv go together")));
    if (options.data.isEmpty() && options.sheet.isEmpty() && options.phones.isEmpty() &&
        options.skins.isEmpty())
        return fail(Error::invalid(QStringLiteral("nothing to do")));
    return options;
}

void report(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

Result<void> writeData(const Options &options, const QList<IconList> &lists,
                       const QList<Smiley> &smileySet)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fail(Error::io(QStringLiteral("no scratch folder: %1").arg(scratch.errorString())));
    const QDir data(options.data);
    for (const IconList &list : lists) {
        const QString folder = scratch.filePath(QString(list.file).replace(u'/', u'_'));
        QDir().mkpath(folder);
        if (auto packed = packIconList(list, options.bmconv, folder, data.filePath(list.file));
            !packed)
            return packed;
        report(QStringLiteral("%1: %2 icons").arg(list.file).arg(list.icons.size()));
    }
    const struct
    {
        QString file;
        QString text;
    } texts[] = {
        {QStringLiteral("Smilies/default.ini"), smileyList(smileySet)},
        {QStringLiteral("TextOfChat.txt"), chatSample()},
        {QStringLiteral("CList.example.txt"), contactListSample()},
    };
    for (const auto &[file, text] : texts) {
        if (auto written = writeCp1251(data.filePath(file), text); !written)
            return written;
        report(file);
    }
    return writePhoneSet(options.data, report);
}

Result<void> writeSheet(const QString &path, const QList<IconList> &lists)
{
    const auto png = encodePng(contactSheet(lists, kStatusTable));
    if (!png)
        return fail(png.error());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*png) != png->size() || !file.commit())
        return fail(Error::io(QStringLiteral("%1: %2").arg(path, file.errorString())));
    report(path);
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto options = parseOptions(app.arguments());
    if (!options) {
        std::fprintf(stderr, "mkresources: %s\n", qPrintable(options.error().message));
        printUsage();
        return 2;
    }

    const QList<Smiley> smileySet = smileys();
    const QList<IconList> lists{xStatusIcons(), statusIcons(),        clientIcons(),
                                programIcons(), privateStatusIcons(), smileyIcons(smileySet)};

    if (!options->data.isEmpty())
        if (auto written = writeData(*options, lists, smileySet); !written) {
            std::fprintf(stderr, "mkresources: %s\n", qPrintable(written.error().message));
            return 1;
        }
    if (!options->phones.isEmpty())
        if (auto written = writePhoneSet(options->phones, report); !written) {
            std::fprintf(stderr, "mkresources: %s\n", qPrintable(written.error().message));
            return 1;
        }
    if (!options->skins.isEmpty())
        if (auto written = writeSampleSkins(options->skins, report); !written) {
            std::fprintf(stderr, "mkresources: %s\n", qPrintable(written.error().message));
            return 1;
        }
    if (!options->sheet.isEmpty())
        if (auto written = writeSheet(options->sheet, lists); !written) {
            std::fprintf(stderr, "mkresources: %s\n", qPrintable(written.error().message));
            return 1;
        }
    return 0;
}
