#include "startup/Startup.h"

#include "containers/PictureCodecs.h"
#include "platform/FileOps.h"
#include "startup/IconLoads.h"

#include <QFileInfo>

#include <functional>
#include <vector>

namespace {

QString missing(const QString &file)
{
    return QStringLiteral("Ошибка!\nФайл \"%1\" не найден").arg(file);
}

class ResourceLoader
{
public:
    explicit ResourceLoader(const StartupReporter &reporter)
        : m_reporter(reporter)
    {}

    void progress(const QString &text) const
    {
        if (m_reporter.progress)
            m_reporter.progress(text);
    }

    bool fail(const QString &file) const
    {
        if (m_reporter.error)
            m_reporter.error(missing(file));
        return false;
    }

private:
    const StartupReporter &m_reporter;
};

// The converter beside the program, working files in the scratch folder, complaints to the
// program's messages.
void prepareList(MbmImageList &list, const StartupSetup &setup)
{
    list.ToolName = converterPath(setup);
    list.WorkFolder = setup.scratchFolder;
    list.OnMessage = setup.messages;
}

// Copies icon/mask pairs with their colour modes, so that they draw as they do in their own
// list. Items the source lacks go in empty, so that every later pair keeps its place.
void addPairs(MbmImageList &to, const MbmImageList &from, int first, int count)
{
    for (int i = first; i < first + count; ++i) {
        if (i < from.Count())
            to.AddItem(from.Get(i));
        else
            to.Add(QImage());
    }
}

// A default picture into both copies; false when it is missing or does not decode.
bool loadDefaultPicture(const QString &folder, const QString &file, const QString &progress,
                        const StartupReporter &reporter, QImage &source, QImage &picture)
{
    if (reporter.progress)
        reporter.progress(progress);
    const QString path = folder + file;
    if (!QFileInfo::exists(path)) {
        if (reporter.error)
            reporter.error(missing(file));
        return false;
    }
    const auto bytes = readWholeFile(path);
    const auto image = bytes ? decodeJpeg(*bytes, file) : fail(bytes.error());
    if (!image) {
        if (reporter.error)
            reporter.error(QStringLiteral("Ошибка!\nФайл \"%1\" не удалось прочитать").arg(file));
        return false;
    }
    source = *image;
    picture = *image;
    return true;
}

struct IconFile
{
    QString progress; // shown before the file is taken; none for the first
    QString file;
    MbmImageList *list;
    bool found = false; // when loading started
};

} // namespace

// The lists being filled, the files in the client's order and the loads under way. The loads are
// the last member, so they stop and are waited for before the lists go.
struct IconPreload::Loading
{
    explicit Loading(const StartupSetup &setup)
        : files{
              {{}, QStringLiteral("ICQ/XStatus.mbm"), &res.XStatusIcons},
              {QStringLiteral("Загрузка иконок статусов..."), QStringLiteral("ICQ/Status.mbm"),
               &res.StatusIcons},
              {QStringLiteral("Загрузка иконок клиентов..."), QStringLiteral("ICQ/Clients.mbm"),
               &res.ClientIcons},
              {QStringLiteral("Загрузка иконок приватных статусов..."),
               QStringLiteral("Icons/pricons.mbm"), &res.ProgramIcons},
              {QStringLiteral("Загрузка иконок меню..."), QStringLiteral("ICQ/PStatus.mbm"),
               &res.PrivateStatusIcons},
              {QStringLiteral("Загрузка иконок смайлов..."), QStringLiteral("Smilies/default.mbm"),
               &smileyPictures},
          }
    {
        std::vector<IconLoads::Request> requests;
        for (IconFile &icons : files) {
            prepareList(*icons.list, setup);
            const QString path = setup.programFolder + icons.file;
            icons.found = QFileInfo::exists(path);
            requests.push_back({icons.list, icons.found ? path : QString()});
        }
        loads.emplace(requests, setup.scratchFolder + QStringLiteral("temp/"));
    }

    PreviewResources res;
    MbmImageList smileyPictures;
    std::vector<IconFile> files;
    std::optional<IconLoads> loads;
};

IconPreload::IconPreload(const StartupSetup &setup)
    : m_loading(std::make_unique<Loading>(setup))
{}

IconPreload::~IconPreload() = default;

bool IconPreload::finished() const
{
    return m_loading->loads->allFinished();
}

namespace {

// The icon files in the client's order, loaded two at a time but reported one after another:
// each file's progress text, then its missing-file error or the messages of its load.
bool takeIconFiles(const ResourceLoader &load, IconPreload::Loading &loading,
                   const std::function<bool()> &beforeLast)
{
    const auto &files = loading.files;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].progress.isEmpty())
            load.progress(files[i].progress);
        if (i + 1 == files.size() && !beforeLast())
            return false;
        if (!files[i].found)
            return load.fail(files[i].file);
        loading.loads->take(i);
    }
    return true;
}

} // namespace

QString converterPath(const StartupSetup &setup)
{
    return setup.programFolder + QStringLiteral("bmconv");
}

SkinImagesSetup skinImagesSetup(const StartupSetup &setup, ProgressCallback progress)
{
    SkinImagesSetup images;
    images.WorkFolder = setup.scratchFolder;
    images.ToolName = converterPath(setup);
    images.OnProgress = std::move(progress);
    images.OnMessage = setup.messages;
    return images;
}

std::optional<PreviewResources> loadPreviewResources(const StartupSetup &setup,
                                                     const StartupReporter &reporter,
                                                     IconPreload *preload)
{
    ResourceLoader load(reporter);
    std::optional<IconPreload> own;
    if (!preload)
        preload = &own.emplace(setup);
    IconPreload::Loading &loading = preload->loading();
    load.progress(QStringLiteral("Загрузка иконок x-статусов..."));
    if (!QFileInfo(converterPath(setup)).isExecutable()) {
        load.fail(QStringLiteral("bmconv"));
        return std::nullopt;
    }
    const QString &folder = setup.programFolder;
    // The smiley list is read before the smiley pictures are taken, as the client does.
    const auto readSmileyList = [&] {
        const auto ini = readWholeFile(folder + QStringLiteral("Smilies/default.ini"));
        if (!ini)
            return load.fail(QStringLiteral("Smilies/default.ini"));
        loading.res.smiles = TSmiles(*ini);
        return true;
    };
    if (!takeIconFiles(load, loading, readSmileyList))
        return std::nullopt;
    loading.loads.reset();
    PreviewResources res = std::move(loading.res);
    const MbmImageList &smileyPictures = loading.smileyPictures;
    // One picture pair per line of the list, however many the picture file holds, then the
    // message direction pictures and the x-status pictures, which double as smileys.
    prepareList(res.smiles.images, setup);
    addPairs(res.smiles.images, smileyPictures, 0, 2 * res.smiles.fileSmileyCount());
    addPairs(res.smiles.images, res.ProgramIcons, 90, 4);
    addPairs(res.smiles.images, res.ProgramIcons, 88, 2);
    addPairs(res.smiles.images, res.XStatusIcons, 0, 2 * TSmiles::kXStatusSmileys);

    const auto chat = readWholeFile(folder + QStringLiteral("TextOfChat.txt"));
    if (!chat) {
        load.fail(QStringLiteral("TextOfChat.txt"));
        return std::nullopt;
    }
    res.chat = readChatSample(*chat);
    if (const auto clist = readWholeFile(folder + QStringLiteral("CList.txt")))
        res.loadedList = readCList(*clist);
    else if (setup.random)
        res.loadedList = sampleContactList(*setup.random);
    else {
        std::mt19937 random(std::random_device{}());
        res.loadedList = sampleContactList(random);
    }
    return res;
}

CL measuredContactList(const QString &programFolder)
{
    if (const auto clist = readWholeFile(programFolder + QStringLiteral("CList.txt")))
        return readCList(*clist);
    std::mt19937 random(kMeasuredSampleSeed);
    return sampleContactList(random);
}

bool loadDefaultPictures(const StartupSetup &setup, const StartupReporter &reporter,
                         SkinDocument &document)
{
    SkinPictures pictures;
    if (!loadDefaultPicture(setup.programFolder, QStringLiteral("default_back.jpg"),
                            QStringLiteral("Загрузка фона по умолчанию..."), reporter,
                            pictures.BackgroundSource, pictures.BackgroundPicture))
        return false;
    if (!loadDefaultPicture(setup.programFolder, QStringLiteral("default_cursor.jpg"),
                            QStringLiteral("Загрузка курсора по умолчанию..."), reporter,
                            pictures.CursorSource, pictures.CursorPicture))
        return false;
    document.setPictures(pictures);
    return true;
}

std::optional<PreviewResources> startProgram(const StartupSetup &setup,
                                             const StartupReporter &reporter,
                                             SkinDocument &document, IconPreload *preload)
{
    if (!loadDefaultPictures(setup, reporter, document))
        return std::nullopt;
    document.setDefaultColours();
    return loadPreviewResources(setup, reporter, preload);
}

QString commandLineFile(const QStringList &arguments)
{
    const QString first = arguments.value(1);
    return first.isEmpty() ? first : QFileInfo(first).absoluteFilePath();
}

DesignerArguments designerArguments(const QStringList &arguments)
{
    DesignerArguments result;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--help" || argument == u"-h")
            result.help = true;
        else if (argument == u"--version" || argument == u"-v")
            result.version = true;
        else if (i == 1 && QFileInfo(argument).isFile())
            result.skin = commandLineFile(arguments);
        else
            result.ignored.append(argument);
    }
    return result;
}

QString designerUsage()
{
    return QStringLiteral(
        "Usage: velmora [FILE.skin]\n"
        "The skin designer for TolvoICQ: opens FILE.skin (or its .sis package) when given.\n"
        "  -h, --help      print this help and exit\n"
        "  -v, --version   print the version and exit\n"
        "velmora-cli works on the same files without a window (velmora-cli --help).\n");
}

Result<QImage> loadPhonePicture(const QString &programFolder, const PhoneModel &model)
{
    const QString path = programFolder + QStringLiteral("mobiles/") + model.picture;
    if (!model.picture.endsWith(QStringLiteral("png")))
        return decodePictureFile(path);
    VELMORA_TRY_ASSIGN(const QByteArray bytes, readWholeFile(path));
    return decodePng(bytes, path);
}
