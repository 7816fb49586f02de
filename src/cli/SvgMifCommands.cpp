#include "cli/Cli.h"

#include "containers/MbmImageList.h"
#include "containers/MifImageList.h"
#include "containers/PictureCodecs.h"
#include "containers/SkinImages.h"
#include "containers/SvgWrap.h"
#include "core/SkinFile.h"
#include "platform/FileOps.h"
#include "platform/ProcessRunner.h"
#include "platform/WritablePlaces.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <optional>

namespace {

const char16_t kSvgUsage[] =
    u"Usage:\n"
    u"  velmora-cli svg wrap PICTURE.jpg|png [-o OUT.svg]\n"
    u"      Wraps a JPEG or PNG picture, bytes unchanged, in the SVG document a skin's .mif\n"
    u"      carries. The default output is the picture's path with \".svg\" appended.\n"
    u"  velmora-cli svg extract IN.svg -o BASE\n"
    u"      Writes the picture embedded in an SVG wrapper to BASE.jpg (image/jpeg) or\n"
    u"      BASE.png (anything else).\n";

const char16_t kMifUsage[] =
    u"Usage:\n"
    u"  velmora-cli mif show FILE.mif [--json]\n"
    u"      Prints the header, the entry table and each entry's kind, MIME type and picture\n"
    u"      size. Bitmap entries are measured in the companion .mbm with the bitmap converter.\n"
    u"  velmora-cli mif extract FILE.mif -o DIR\n"
    u"      Writes a skin's background and cursor as they are stored: DIR/background and\n"
    u"      DIR/cursor with .jpg or .png for embedded pictures, .bmp for bitmap entries.\n";

struct Paths
{
    QString input;
    QString output;
    bool json = false;
};

// FILE [-o OUT] [--json]; the output is required when outputRequired.
Result<Paths> parsePaths(const QStringList &args, bool allowJson, bool allowOutput,
                         bool outputRequired)
{
    Paths paths;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (optionsEnded) {
            if (!paths.input.isEmpty())
                return fail(Error::invalid(
                    QStringLiteral("unexpected argument \"%1\"").arg(terminalSafe(arg))));
            paths.input = arg;
        } else if (arg == u"--") {
            // Whatever follows is the file, even a name that starts with '-'.
            optionsEnded = true;
        } else if (allowJson && arg == u"--json") {
            paths.json = true;
        } else if (allowOutput && arg == u"-o") {
            if (i + 1 >= args.size() || !paths.output.isEmpty())
                return fail(Error::invalid(QStringLiteral("-o needs exactly one path")));
            paths.output = args[++i];
        } else if (arg.startsWith(u'-') && arg != u"-") {
            return fail(
                Error::invalid(QStringLiteral("unknown option \"%1\"").arg(terminalSafe(arg))));
        } else if (!paths.input.isEmpty()) {
            return fail(Error::invalid(
                QStringLiteral("unexpected argument \"%1\"").arg(terminalSafe(arg))));
        } else {
            paths.input = arg;
        }
    }
    if (paths.input.isEmpty())
        return fail(Error::invalid(QStringLiteral("an input file is required")));
    if (outputRequired && paths.output.isEmpty())
        return fail(Error::invalid(QStringLiteral("-o is required")));
    return paths;
}

int usageError(QTextStream &err, const QString &command, const Error &error, const char16_t *usage)
{
    err << QStringLiteral("velmora-cli %1: %2\n").arg(command, terminalSafe(error.message))
        << QString::fromUtf16(usage);
    return 2;
}

int failure(QTextStream &err, const QString &command, const QString &message)
{
    err << QStringLiteral("velmora-cli %1: %2\n").arg(command, terminalSafe(message));
    return 1;
}

bool hasBitmapEntries(const QList<MifEntry> &entries)
{
    return std::any_of(entries.cbegin(), entries.cend(),
                       [](const MifEntry &e) { return e.IsBitmap; });
}

int wrap(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const auto paths = parsePaths(args, false, true, false);
    if (!paths)
        return usageError(err, QStringLiteral("svg wrap"), paths.error(), kSvgUsage);
    const auto written = ConvertPictureToSvg(paths->input, paths->output);
    if (!written)
        return failure(err, QStringLiteral("svg wrap"), written.error().message);
    if (written->isEmpty()) {
        return failure(err, QStringLiteral("svg wrap"),
                       QStringLiteral("%1: only pictures whose names end in jpg or png can be "
                                      "wrapped")
                           .arg(paths->input));
    }
    out << terminalSafe(*written) << '\n';
    return 0;
}

int extractSvg(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const auto paths = parsePaths(args, false, true, true);
    if (!paths)
        return usageError(err, QStringLiteral("svg extract"), paths.error(), kSvgUsage);
    const auto text = readWholeFile(paths->input);
    if (!text)
        return failure(err, QStringLiteral("svg extract"), text.error().message);
    // The program's own reader takes any text; here a document that is not a wrapper is refused
    // rather than turned into a picture file that will not open.
    if (!svgPicture(*text).markersFound) {
        return failure(err, QStringLiteral("svg extract"),
                       QStringLiteral("%1: no embedded picture (the xlink:href=\"data:…;base64,\" "
                                      "data and the closing \"/></svg> lines are not all there)")
                           .arg(paths->input));
    }
    const auto written = ExtractSvgPicture(*text, paths->output);
    if (!written)
        return failure(err, QStringLiteral("svg extract"), written.error().message);
    out << terminalSafe(*written) << '\n';
    return 0;
}

// A private work folder for the converter, so nothing another run of either program works on is
// ever touched, and the program folder may be read-only.
struct ConverterSetup
{
    std::unique_ptr<platform::ScratchFolder> work;
    QString tool;
};

Result<ConverterSetup> converterSetup()
{
    const QString folder = cliProgramFolder();
    ConverterSetup setup;
    setup.tool = platform::findProgram(QStringLiteral("bmconv"), folder);
    if (setup.tool.isEmpty()) {
        return fail(Error::io(
            QStringLiteral("the bitmap converter bmconv was not found in %1").arg(folder)));
    }
    setup.work = std::make_unique<platform::ScratchFolder>();
    if (!setup.work->isValid())
        return fail(Error::io(setup.work->errorText()));
    VELMORA_TRY(makeFolder(setup.work->path() + QStringLiteral("temp")));
    return setup;
}

MessageCallback converterMessages(QTextStream &err, const QString &command)
{
    return [&err, command](const QString &caption, const QString &text) {
        QString line = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
        err << QStringLiteral("velmora-cli %1: %2\n")
                   .arg(command,
                        terminalSafe(line.replace(QStringLiteral("\r\n"), QStringLiteral(" "))));
    };
}

// What show says about one entry.
struct EntryFacts
{
    QString kind;
    QString mime;
    std::optional<QSize> size;
    qint64 bitmap = 0;
    int copyOf = -1;
    QString problem;
};

QList<EntryFacts> describe(const QList<MifEntry> &entries, const MbmImageList *bitmaps)
{
    QList<EntryFacts> facts;
    // A virtual copy repeats the row of the first entry at its position.
    QHash<qint32, int> firstAt;
    for (int i = 0; i < entries.size(); ++i) {
        const MifEntry &entry = entries[i];
        if (const auto first = firstAt.constFind(entry.Offset); first != firstAt.cend()) {
            EntryFacts copy = facts[*first];
            copy.copyOf = *first;
            facts.append(copy);
            continue;
        }
        firstAt.insert(entry.Offset, i);
        EntryFacts f;
        if (entry.IsBitmap) {
            f.kind = QStringLiteral("bitmap");
            f.bitmap = mifBitmapNumber(entry);
            if (bitmaps && f.bitmap >= 1 && f.bitmap <= bitmaps->Count() &&
                !bitmaps->Get(int(f.bitmap - 1)).Bitmap.isNull())
                f.size = bitmaps->Get(int(f.bitmap - 1)).Bitmap.size();
            else if (bitmaps)
                f.problem = QStringLiteral("not in the companion .mbm");
        } else {
            f.kind = QStringLiteral("svg");
            const SvgPicture picture = svgPicture(entry.Data);
            f.mime = QString::fromLatin1(picture.mimeType);
            if (!picture.markersFound) {
                f.problem = QStringLiteral("no embedded picture");
            } else {
                const auto image = picture.extension == u".jpg"
                                       ? decodeJpeg(picture.bytes, QStringLiteral("picture"))
                                       : decodePng(picture.bytes, QStringLiteral("picture"));
                if (image)
                    f.size = image->size();
                else
                    f.problem = image.error().message;
            }
        }
        facts.append(f);
    }
    return facts;
}

int showMif(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString command = QStringLiteral("mif show");
    const auto paths = parsePaths(args, true, false, false);
    if (!paths)
        return usageError(err, command, paths.error(), kMifUsage);
    const auto bytes = readWholeFile(paths->input);
    if (!bytes)
        return failure(err, command, bytes.error().message);
    const auto contents = readMif(*bytes, paths->input);
    if (!contents)
        return failure(err, command, contents.error().message);

    // Bitmap sizes need the converter; without it the table is still worth showing.
    std::optional<MbmImageList> bitmaps;
    ConverterSetup converter;
    const bool anyBitmap = hasBitmapEntries(contents->entries);
    const auto missing = anyBitmap ? missingCompanionMbm(paths->input) : std::nullopt;
    if (missing) {
        // Nothing to unpack: every bitmap entry is simply missing from it.
        err << QStringLiteral("velmora-cli %1: %2\n").arg(command, terminalSafe(*missing));
        bitmaps.emplace();
    } else if (anyBitmap) {
        auto setup = converterSetup();
        if (!setup) {
            err << QStringLiteral("velmora-cli %1: bitmap sizes unknown: %2\n")
                       .arg(command, terminalSafe(setup.error().message));
        } else {
            converter = std::move(*setup);
            bitmaps.emplace();
            bitmaps->ToolName = converter.tool;
            bitmaps->WorkFolder = converter.work->path();
            bitmaps->OnMessage = converterMessages(err, command);
            (void)bitmaps->LoadFromMBM(findCompanionMbm(paths->input));
        }
    }
    const QList<EntryFacts> facts = describe(contents->entries, bitmaps ? &*bitmaps : nullptr);
    const MifHeader &h = contents->header;

    if (paths->json) {
        QJsonArray entries;
        for (int i = 0; i < facts.size(); ++i) {
            const EntryFacts &f = facts[i];
            QJsonObject entry{
                {QStringLiteral("index"), i},
                {QStringLiteral("position"), contents->entries[i].Offset},
                {QStringLiteral("length"), contents->entries[i].Length},
                {QStringLiteral("kind"), f.kind},
                {QStringLiteral("copyOf"), f.copyOf >= 0 ? QJsonValue(f.copyOf) : QJsonValue()},
                {QStringLiteral("width"), f.size ? QJsonValue(f.size->width()) : QJsonValue()},
                {QStringLiteral("height"), f.size ? QJsonValue(f.size->height()) : QJsonValue()}};
            if (f.kind == u"svg") {
                entry.insert(QStringLiteral("mime"), f.mime);
                entry.insert(QStringLiteral("textLength"), contents->entries[i].DataLength);
            } else {
                entry.insert(QStringLiteral("bitmap"), f.bitmap);
            }
            if (!f.problem.isEmpty())
                entry.insert(QStringLiteral("problem"), f.problem);
            entries.append(entry);
        }
        const QJsonObject document{{QStringLiteral("file"), paths->input},
                                   {QStringLiteral("size"), bytes->size()},
                                   {QStringLiteral("magic"), h.magic},
                                   {QStringLiteral("version"), h.version},
                                   {QStringLiteral("tablePosition"), h.tablePosition},
                                   {QStringLiteral("count"), facts.size()},
                                   {QStringLiteral("entries"), entries}};
        out << QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
        return 0;
    }

    out << QStringLiteral("%1: %2 bytes\n").arg(terminalSafe(paths->input)).arg(bytes->size());
    out << QStringLiteral("magic 0x%1, version %2, table at %3, %4 entries\n")
               .arg(quint32(h.magic), 8, 16, QLatin1Char('0'))
               .arg(h.version)
               .arg(h.tablePosition)
               .arg(facts.size());
    for (int i = 0; i < facts.size(); ++i) {
        const EntryFacts &f = facts[i];
        QString line = QStringLiteral("entry %1: position %2, length %3: ")
                           .arg(i)
                           .arg(contents->entries[i].Offset)
                           .arg(contents->entries[i].Length);
        // An SVG entry without a picture has no type to name.
        line += f.kind == u"svg" ? QStringLiteral("svg %1").arg(f.mime).trimmed()
                                 : QStringLiteral("bitmap %1").arg(f.bitmap);
        if (f.size)
            line += QStringLiteral(", %1 x %2").arg(f.size->width()).arg(f.size->height());
        if (!f.problem.isEmpty())
            line += QStringLiteral(", %1").arg(f.problem);
        if (f.copyOf >= 0)
            line += QStringLiteral(", copy of entry %1").arg(f.copyOf);
        out << terminalSafe(line) << '\n';
    }
    return 0;
}

Result<void> decodableStoredPicture(const StoredPicture &picture, int index, const QString &mif)
{
    const QString what = QStringLiteral("%1: entry %2").arg(mif).arg(index);
    const auto decoded = picture.extension == u".jpg"   ? decodeJpeg(picture.bytes, what)
                         : picture.extension == u".bmp" ? decodeBmp(picture.bytes, what)
                                                        : decodePng(picture.bytes, what);
    if (!decoded)
        return fail(Error::corrupt(QStringLiteral("%1 holds no picture that can be opened (%2)")
                                       .arg(what, decoded.error().message)));
    return {};
}

int extractMif(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString command = QStringLiteral("mif extract");
    const auto paths = parsePaths(args, false, true, true);
    if (!paths)
        return usageError(err, command, paths.error(), kMifUsage);
    MifImageList list;
    ConverterSetup converter;
    // The converter is looked for only when the file turns out to need it.
    const auto bytes = readWholeFile(paths->input);
    if (!bytes)
        return failure(err, command, bytes.error().message);
    const auto contents = readMif(*bytes, paths->input);
    if (!contents)
        return failure(err, command, contents.error().message);
    if (hasBitmapEntries(contents->entries)) {
        if (const auto missing = missingCompanionMbm(paths->input))
            return failure(err, command, *missing);
        auto setup = converterSetup();
        if (!setup)
            return failure(err, command, setup.error().message);
        converter = std::move(*setup);
        list.ToolName = converter.tool;
        list.WorkFolder = converter.work->path();
    }
    list.OnMessage = converterMessages(err, command);
    if (auto loaded = list.LoadFromFile(paths->input); !loaded)
        return failure(err, command, loaded.error().message);
    if (list.Count() != kSkinMifEntries) {
        return failure(err, command,
                       QStringLiteral("%1: %2 entries; a skin's .mif has 4")
                           .arg(paths->input)
                           .arg(list.Count()));
    }
    const auto background =
        storedPicture(list.GetEntry(kBackgroundEntry), kBackgroundEntry, paths->input);
    const auto cursor = storedPicture(list.GetEntry(kCursorEntry), kCursorEntry, paths->input);
    if (!background)
        return failure(err, command, background.error().message);
    if (!cursor)
        return failure(err, command, cursor.error().message);
    // Nothing is written unless both are pictures that open: a wrapper without its picture
    // would otherwise leave a few bytes of junk under a picture's name.
    for (const auto &[index, picture] :
         {std::pair{kBackgroundEntry, &*background}, std::pair{kCursorEntry, &*cursor}}) {
        if (auto checked = decodableStoredPicture(*picture, index, paths->input); !checked)
            return failure(err, command, checked.error().message);
    }
    const QDir dir(paths->output);
    if (auto made = makeFolder(paths->output); !made)
        return failure(err, command, made.error().message);
    for (const auto &[name, picture] : {std::pair{QStringLiteral("background"), &*background},
                                        std::pair{QStringLiteral("cursor"), &*cursor}}) {
        const QString path = dir.filePath(name + picture->extension);
        if (auto written = writeFileAtomically(path, picture->bytes); !written)
            return failure(err, command, written.error().message);
        out << terminalSafe(path) << '\n';
    }
    return 0;
}

int dispatch(
    const QStringList &args, QTextStream &out, QTextStream &err, const char16_t *usage,
    const std::initializer_list<
        std::pair<const char16_t *, int (*)(const QStringList &, QTextStream &, QTextStream &)>>
        &verbs)
{
    const QString verb = args.value(0);
    if (verb == u"--help" || verb == u"-h" || args.contains(QStringLiteral("--help"))) {
        out << QString::fromUtf16(usage);
        return 0;
    }
    for (const auto &[name, run] : verbs) {
        if (verb == QStringView(name))
            return run(args.mid(1), out, err);
    }
    err << QString::fromUtf16(usage);
    return 2;
}

} // namespace

int runSvgCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return dispatch(args, out, err, kSvgUsage, {{u"wrap", wrap}, {u"extract", extractSvg}});
}

int runMifCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return dispatch(args, out, err, kMifUsage, {{u"show", showMif}, {u"extract", extractMif}});
}
