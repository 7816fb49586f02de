#include "export/SaveSkin.h"

#include "containers/MifImageList.h"
#include "containers/PictureCodecs.h"
#include "containers/SvgWrap.h"
#include "core/Cp1251.h"
#include "core/SkinFile.h"
#include "platform/FileOps.h"
#include "platform/ProcessRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString kPackageName = QStringLiteral("SkinForTolvoICQ");
const QString kInstallTextName = QStringLiteral("Text(0-0).txt");
const QString kPhoneSkinFolder = QStringLiteral("!:\\System\\Apps\\tolvoICQ\\skins\\");
const QString kKeyPassword = QStringLiteral("kite408");

QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// Only the letters a..z are raised: the phone shows the rest as they are.
QString asciiUpper(QString text)
{
    for (QChar &c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return text;
}

bool isRussianLetter(QChar c)
{
    return (c >= QChar(0x0410) && c <= QChar(0x044F)) || c == QChar(0x0401) || c == QChar(0x0451);
}

// A text box gives its lines ended by LF; the phone and the skin file expect CR LF.
QString withCrLf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

bool hasBitmap(const SaveRequest &request)
{
    return request.background.format == PictureFormat::Mbm ||
           request.cursor.format == PictureFormat::Mbm;
}

QString mbmName(const QString &mifName)
{
    return mifName.chopped(3) + QStringLiteral("mbm");
}

QByteArray utf16Text(const QStringList &lines)
{
    const QString text = lines.join(QStringLiteral("\r\n"));
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

// A picture as the .mif stores it: an SVG wrapper around its JPEG or PNG bytes, or a bitmap.
// The bytes of the file it was opened from when it is unchanged and keeps its format.
Result<void> addPicture(MifImageList &list, const QImage &picture, const PictureChoice &choice,
                        const QString &openedFile)
{
    if (choice.format == PictureFormat::Mbm)
        return list.AddBitmapEntry(picture);
    const bool jpeg = choice.format == PictureFormat::Jpg;
    VELMORA_TRY_ASSIGN(const QByteArray encoded,
                       openedFormat(picture, openedFile) == choice.format
                           ? readWholeFile(openedFile)
                       : jpeg ? encodeJpeg(picture, qBound(1, choice.quality, 100))
                              : encodePng(picture));
    const QByteArray svg = svgDocument(encoded, jpeg ? "image/jpeg" : "image/png",
                                       quint16(picture.width()), quint16(picture.height()));
    return list.AddSvgEntry(svg);
}

Result<void> ensureFolder(const QString &folder)
{
    return makeFolder(folder, false);
}

// The ".mif" the client needs, appended by a case-sensitive test, as the dialog's field shows.
void completeMifName(SaveRequest &request)
{
    if (!request.mifName.endsWith(QStringLiteral(".mif"), Qt::CaseSensitive))
        request.mifName += QStringLiteral(".mif");
}

// The tools' own words for the user, when one of them failed.
QString toolFailure(const platform::ProcessRun &run, const QString &tool)
{
    QString text = run.started ? cp1251::decode(run.output).trimmed() : run.errorText;
    if (text.isEmpty())
        text = QCoreApplication::translate("SaveSkin", "%1 ended with code %2")
                   .arg(tool)
                   .arg(run.exitCode);
    return text;
}

Result<void> writePackageTexts(const SaveRequest &request, const QString &stagedFolder,
                               const QString &work, const QString &programFolder)
{
    VELMORA_TRY(writeFileAtomically(work + kInstallTextName,
                                    installText(request, readMakerLines(programFolder))));
    return writeFileAtomically(work + kPackageName + QStringLiteral(".pkg"),
                               packageDescription(request, stagedFolder));
}

Result<void> runPackageTools(const QString &work, const SaveEnvironment &env)
{
    const QString cert = env.programFolder + QStringLiteral("cert/");
    const QString sis = kPackageName + QStringLiteral(".sis");
    const QString sisx = kPackageName + QStringLiteral(".sisx");
    const auto failure = [](const QString &why) {
        return fail(
            Error::io(QStringLiteral("Не удалось собрать пакет установки.\r\n%1").arg(why)));
    };
    const platform::ProcessRun made = platform::runAndCollect(
        cert + QStringLiteral("makesis"), {kPackageName + QStringLiteral(".pkg")}, work);
    if (!QFileInfo::exists(work + sis))
        return failure(toolFailure(made, QStringLiteral("makesis")));
    const platform::ProcessRun signedRun = platform::runAndCollect(
        cert + QStringLiteral("signsis"),
        {QStringLiteral("-s"), sis, sisx, cert + QStringLiteral("Velmora.cer"),
         cert + QStringLiteral("Velmora.key"), kKeyPassword},
        work);
    if (!QFileInfo::exists(work + sisx))
        return failure(toolFailure(signedRun, QStringLiteral("signsis")));
    return {};
}

// A private folder below the scratch folder, removed with everything in it when done.
std::unique_ptr<QTemporaryDir> scratchSubfolder(const SaveEnvironment &env, const QString &what)
{
    QDir().mkpath(env.scratchFolder);
    auto dir =
        std::make_unique<QTemporaryDir>(env.scratchFolder + what + QStringLiteral("-XXXXXX"));
    if (!dir->isValid())
        return nullptr;
    return dir;
}

Result<void> savePackage(const SkinDocument &document, SaveRequest &request,
                         const SaveEnvironment &env, SaveResult &result)
{
    const auto staged = scratchSubfolder(env, QStringLiteral("stage"));
    if (!staged)
        return fail(Error::io(
            QCoreApplication::translate("SaveSkin", "%1: no folder to prepare the package in")
                .arg(env.scratchFolder)));
    const QString folder = withSlash(staged->path());
    completeMifName(request);
    VELMORA_TRY(writeSkin(document, request, folder));
    VELMORA_TRY(ExportMif(document.pictures(), request, folder, env, document.imageFiles()));
    // Like the .skin writer, the package's folder is made when it is one level short.
    VELMORA_TRY(ensureFolder(withSlash(request.folder)));
    const QString target = withSlash(request.folder) + packageFileName(request.skinName);
    VELMORA_TRY_ASSIGN(const QString package, BuildInstallPackage(request, folder, target, env));
    result.written.append(package);
    return {};
}

// The .skin and the .mif (with its .mbm) are made in a scratch folder and put in the chosen
// folder only when all are complete: a full disk, a failing converter or a bad name leaves the
// old pair as it was. The .skin goes in last, so it never names a .mif that is not there yet.
Result<void> saveTogether(const SkinDocument &document, SaveRequest &request,
                          const SaveEnvironment &env, bool withSkin, SaveResult &result)
{
    const auto staged = scratchSubfolder(env, QStringLiteral("save"));
    if (!staged)
        return fail(Error::io(
            QCoreApplication::translate("SaveSkin", "%1: no folder to prepare the files in")
                .arg(env.scratchFolder)));
    const QString stage = withSlash(staged->path());
    const QString folder = withSlash(request.folder);
    // A file made in the scratch folder is named as the file it was to become.
    const auto failedAs = [&](Error error) {
        error.message.replace(stage, folder);
        return fail(std::move(error));
    };
    QStringList made;
    QString skin;
    if (withSkin) {
        const auto written = writeSkin(document, request, stage);
        if (!written)
            return failedAs(written.error());
        skin = *written;
    }
    const auto mif = ExportMif(document.pictures(), request, stage, env, document.imageFiles());
    if (!mif)
        return failedAs(mif.error());
    if (hasBitmap(request))
        made.append(companionMbmPath(*mif));
    made.append(*mif);
    if (withSkin)
        made.append(skin);
    VELMORA_TRY(ensureFolder(folder));
    FileBatch batch;
    for (const QString &file : made)
        VELMORA_TRY(batch.addCopyOf(file, folder + QFileInfo(file).fileName()));
    VELMORA_TRY(batch.commit());
    // The order the dialog has always listed them in: .skin, .mif, .mbm.
    if (withSkin)
        result.written.append(folder + QFileInfo(skin).fileName());
    result.written.append(folder + QFileInfo(*mif).fileName());
    if (hasBitmap(request))
        result.written.append(folder + QFileInfo(companionMbmPath(*mif)).fileName());
    return {};
}

} // namespace

namespace {

bool refusedCharacter(QChar c)
{
    // Control characters (C0, DEL, C1) and what the phone's file system cannot hold.
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == u'<' || u == u'>' || u == u'"' ||
           u == u'/' || u == u'|' || u == u'\\' || u == u':' || u == u'*' || u == u'?' ||
           isRussianLetter(c);
}

QString characterShown(QChar c)
{
    if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
        return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("«%1»").arg(c);
}

// What the client's rules refuse in name, as the message's last line; empty when it is fine.
QString nameProblem(const QString &name)
{
    const QString lower = name.toLower();
    if (lower == u"default" || lower == u"default.skin" || lower == u"default.mif")
        return QStringLiteral("Недопустимое название: %1").arg(name);
    for (const QChar c : name) {
        if (refusedCharacter(c))
            return QStringLiteral("Недопустимый символ: %1").arg(characterShown(c));
    }
    // ".", ".." or "..skin": nothing a phone can install.
    QString base = name;
    for (const QString &ending : {QStringLiteral(".skin"), QStringLiteral(".mif")}) {
        if (base.endsWith(ending, Qt::CaseInsensitive)) {
            base.chop(ending.size());
            break;
        }
    }
    if (!name.isEmpty() && (base.isEmpty() || base.count(u'.') == base.size()))
        return QStringLiteral("Имя не может состоять из одних точек: %1").arg(name);
    return {};
}

} // namespace

bool IsValidSkinName(const QString &name)
{
    return nameProblem(name).isEmpty();
}

QString invalidNameMessage(const QString &name)
{
    return QStringLiteral("Введите корректное имя!\r\n"
                          "(Недопустимые символы: <>\"/| и символы кириллицы\r\n"
                          "Недопустимое названия: default.skin default.mif)\r\n") +
           nameProblem(name);
}

QString packageFileName(const QString &skinName)
{
    return skinName.chopped(qMin<qsizetype>(4, skinName.size())) + QStringLiteral("sis");
}

QStringList saveTargets(const SaveRequest &request)
{
    SaveRequest named = request;
    completeMifName(named);
    if (!named.skinName.endsWith(QStringLiteral(".skin"), Qt::CaseSensitive))
        named.skinName += QStringLiteral(".skin");
    const QString folder = withSlash(named.folder);
    QStringList targets;
    const bool skin = named.kind == OutputKind::SkinAndMif || named.kind == OutputKind::SkinOnly;
    const bool mif = named.kind == OutputKind::SkinAndMif || named.kind == OutputKind::MifOnly;
    if (named.kind == OutputKind::Package)
        targets.append(folder + packageFileName(named.skinName));
    if (skin)
        targets.append(folder + named.skinName);
    if (mif) {
        targets.append(folder + named.mifName);
        if (hasBitmap(named))
            targets.append(folder + mbmName(named.mifName));
    }
    return targets;
}

Result<QString> writeSkin(const SkinDocument &document, SaveRequest &request, const QString &folder)
{
    SkinTexts texts = document.texts();
    texts.skinFileName = request.skinName;
    texts.mifName = request.mifName;
    texts.copyright = withCrLf(request.copyright);
    auto written = saveSkinFile(folder, document.scheme(), texts);
    request.skinName = texts.skinFileName;
    return written;
}

std::optional<PictureFormat> openedFormat(const QImage &picture, const QString &file)
{
    const QString ending = QFileInfo(file).suffix().toLower();
    const std::optional<PictureFormat> format =
        ending == u"jpg"   ? std::optional(PictureFormat::Jpg)
        : ending == u"png" ? std::optional(PictureFormat::Png)
        : ending == u"bmp" ? std::optional(PictureFormat::Mbm)
                           : std::nullopt;
    if (!format || picture.isNull())
        return std::nullopt;
    // The pictures were made from the file as the imports make them: decoded, without alpha.
    const auto decoded = decodePictureFile(file);
    if (!decoded || decoded->convertToFormat(QImage::Format_RGB32) !=
                        picture.convertToFormat(QImage::Format_RGB32))
        return std::nullopt;
    return format;
}

Result<QString> ExportMif(const SkinPictures &pictures, SaveRequest &request, const QString &folder,
                          const SaveEnvironment &env, const SkinImageFiles &opened)
{
    const QString out = withSlash(folder);
    VELMORA_TRY(ensureFolder(out));
    MifImageList list;
    list.ToolName = env.programFolder + QStringLiteral("bmconv");
    list.WorkFolder = env.scratchFolder;
    list.OnProgress = env.progress;
    list.OnMessage = env.messages;
    VELMORA_TRY(
        addPicture(list, pictures.BackgroundPicture, request.background, opened.BackgroundFile));
    VELMORA_TRY(addPicture(list, pictures.CursorPicture, request.cursor, opened.CursorFile));
    completeMifName(request);
    const QString path = out + request.mifName;
    VELMORA_TRY(list.SaveToFile(path));
    return path;
}

Result<QString> BuildInstallPackage(const SaveRequest &request, const QString &stagedFolder,
                                    const QString &target, const SaveEnvironment &env)
{
    const auto work = scratchSubfolder(env, QStringLiteral("package"));
    if (!work)
        return fail(Error::io(
            QCoreApplication::translate("SaveSkin", "%1: no folder to build the package in")
                .arg(env.scratchFolder)));
    const QString folder = withSlash(work->path());
    VELMORA_TRY(writePackageTexts(request, withSlash(stagedFolder), folder, env.programFolder));
    VELMORA_TRY(runPackageTools(folder, env));
    VELMORA_TRY_ASSIGN(const QByteArray package,
                       readWholeFile(folder + kPackageName + QStringLiteral(".sisx")));
    VELMORA_TRY(writeFileAtomically(target, package));
    return target;
}

QByteArray installText(const SaveRequest &request, const QStringList &makerLines)
{
    const QString skinBase =
        asciiUpper(request.skinName.chopped(qMin<qsizetype>(5, request.skinName.size())));
    QStringList lines = {
        QStringLiteral("Вы устанавливаете скин \"%1\" для программы TolvoICQ").arg(skinBase),
        QStringLiteral("---"),
    };
    if (!request.copyright.isEmpty()) {
        lines << QStringLiteral("Copyrights:") << withCrLf(request.copyright)
              << QStringLiteral("---");
    }
    lines << QStringLiteral("Created by program \"Velmora for tolvoICQ\"") << makerLines;
    return utf16Text(lines);
}

QByteArray packageDescription(const SaveRequest &request, const QString &stagedFolder)
{
    const QString out = withSlash(stagedFolder);
    const QString mifBase =
        asciiUpper(request.mifName.chopped(qMin<qsizetype>(4, request.mifName.size())));
    const auto install = [&](const QString &name) {
        return QStringLiteral("\"%1%2\"-\"%3%2\"").arg(out, name, kPhoneSkinFolder);
    };
    QStringList lines = {
        QStringLiteral("&EN"),
        QStringLiteral("#{\"Tolvo %1\"}, (0xEB7A0591), 0, 6, 5, TYPE=SP").arg(mifBase),
        QStringLiteral("[0x101F7961], 0, 0, 0, {\"Series60ProductID\"}"),
        QStringLiteral("%{\"quenard\"}"),
        QStringLiteral(":\"quenard\""),
        QStringLiteral("\"%1\"-\"\", FT, TC").arg(kInstallTextName),
        install(request.mifName),
        install(request.skinName),
    };
    if (hasBitmap(request))
        lines << install(mbmName(request.mifName));
    return utf16Text(lines);
}

namespace {

// The lines of about.txt that are not comments or empty.
QStringList aboutLines(const QString &programFolder)
{
    QStringList lines;
    if (const auto bytes = readWholeFile(programFolder + QStringLiteral("about.txt"), 64 * 1024)) {
        const QStringList all = cp1251::decode(*bytes).split(u'\n');
        for (QString line : all) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (!line.isEmpty() && !line.startsWith(u'#'))
                lines << line;
        }
    }
    return lines;
}

} // namespace

QStringList readMakerLines(const QString &programFolder)
{
    const QStringList lines = aboutLines(programFolder);
    if (lines.size() < 2)
        return {QStringLiteral("The Velmora for TolvoICQ developers"), QStringLiteral("E-Mail: ")};
    return lines.mid(0, 2);
}

AboutLinks readAboutLinks(const QString &programFolder)
{
    const QStringList lines = aboutLines(programFolder);
    AboutLinks links;
    links.makers = readMakerLines(programFolder).value(0);
    links.forum = lines.value(2);
    links.site = lines.value(3);
    return links;
}

Result<SaveResult> saveSkin(const SkinDocument &document, SaveRequest &request,
                            const SaveEnvironment &env)
{
    for (const QString &name : {request.mifName, request.skinName}) {
        if (!IsValidSkinName(name))
            return fail(Error::invalid(invalidNameMessage(name)));
    }
    if (request.folder.trimmed().isEmpty())
        return fail(Error::invalid(QStringLiteral("Выберите папку для сохранения")));
    SaveResult result;
    const auto keep = [&](const Result<QString> &written) -> Result<void> {
        VELMORA_TRY_ASSIGN(const QString &file, written);
        result.written.append(file);
        return {};
    };
    const QString folder = withSlash(request.folder);
    Result<void> done;
    switch (request.kind) {
    case OutputKind::Package:
        done = savePackage(document, request, env, result);
        break;
    case OutputKind::SkinAndMif:
        // The .skin must name the .mif that is written next to it.
        completeMifName(request);
        done = saveTogether(document, request, env, true, result);
        break;
    case OutputKind::SkinOnly:
        done = keep(writeSkin(document, request, folder));
        break;
    case OutputKind::MifOnly:
        done = saveTogether(document, request, env, false, result);
        break;
    }
    VELMORA_TRY(done);
    return result;
}
