#include "containers/SkinImages.h"

#include "containers/MifImageList.h"
#include "containers/PictureCodecs.h"
#include "containers/SvgWrap.h"
#include "core/SkinFile.h"
#include "platform/FileOps.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

Result<bool> importInto(QImage &source, QImage &picture, const QString &path)
{
    const QString ending = path.right(3).toLower();
    if (ending != u"bmp" && ending != u"jpg" && ending != u"png")
        return false;
    // Decoded in full before either copy is touched: a broken file replaces nothing.
    VELMORA_TRY_ASSIGN(const QImage image, decodePictureFile(path));
    source = image.convertToFormat(QImage::Format_RGB32);
    picture = source;
    return true;
}

} // namespace

Result<StoredPicture> storedPicture(const MifEntry &entry, int index, const QString &mifPath)
{
    if (!entry.IsBitmap) {
        const SvgPicture picture = svgPicture(entry.Data);
        return StoredPicture{picture.extension, picture.bytes};
    }
    if (entry.Bitmap.isNull()) {
        if (const auto missing = missingCompanionMbm(mifPath))
            return fail(Error::io(*missing));
        return fail(
            Error::corrupt(QCoreApplication::translate(
                               "SkinImages", "%1: entry %2 is bitmap %3, which %4 does not deliver")
                               .arg(mifPath)
                               .arg(index)
                               .arg(mifBitmapNumber(entry))
                               .arg(companionMbmPath(mifPath))));
    }
    return StoredPicture{QStringLiteral(".bmp"), encodeBmp24(entry.Bitmap)};
}

std::expected<void, SkinImagesFailure>
LoadSkinImages(const QString &mifPath, const SkinImagesSetup &setup, SkinImageFiles &files)
{
    const QString loadFailed = QStringLiteral("Ошибка при загрузке файла \r\n") + mifPath;
    const auto failure = [&](const QString &text, Error reason) {
        return std::unexpected(SkinImagesFailure{text, std::move(reason)});
    };
    MifImageList list;
    list.ToolName = setup.ToolName;
    list.OnProgress = setup.OnProgress;
    list.OnMessage = setup.OnMessage;
    list.WorkFolder = setup.WorkFolder;
    if (auto loaded = list.LoadFromFile(mifPath); !loaded)
        return failure(loadFailed, loaded.error());
    if (list.Count() != kSkinMifEntries) {
        return failure(QStringLiteral("Число картинок в файле *.mif не корректно"),
                       Error::corrupt(QCoreApplication::translate(
                                          "SkinImages", "%1: %2 entries; a skin's .mif has 4")
                                          .arg(mifPath)
                                          .arg(list.Count())));
    }
    // Both pictures are had before either file is written, so a broken cursor cannot leave a
    // new background beside the old cursor.
    const auto background =
        storedPicture(list.GetEntry(kBackgroundEntry), kBackgroundEntry, mifPath);
    if (!background)
        return failure(loadFailed, background.error());
    const auto cursor = storedPicture(list.GetEntry(kCursorEntry), kCursorEntry, mifPath);
    if (!cursor)
        return failure(loadFailed, cursor.error());

    const QDir temp(QDir(setup.WorkFolder).filePath(QStringLiteral("temp")));
    if (auto made = makeFolder(temp.path()); !made)
        return failure(loadFailed, made.error());
    const QString backgroundFile = temp.filePath(QStringLiteral("1") + background->extension);
    const QString cursorFile = temp.filePath(QStringLiteral("2") + cursor->extension);
    if (auto written = writeFileAtomically(backgroundFile, background->bytes); !written)
        return failure(loadFailed, written.error());
    if (auto written = writeFileAtomically(cursorFile, cursor->bytes); !written)
        return failure(loadFailed, written.error());
    files.BackgroundFile = backgroundFile;
    files.CursorFile = cursorFile;
    return {};
}

Result<bool> ImportBackground(SkinPictures &pictures, const QString &path)
{
    return importInto(pictures.BackgroundSource, pictures.BackgroundPicture, path);
}

Result<bool> ImportCursor(SkinPictures &pictures, const QString &path)
{
    return importInto(pictures.CursorSource, pictures.CursorPicture, path);
}

QImage stretchWithoutSmoothing(const QImage &source, QSize size)
{
    if (size.isEmpty())
        return QImage();
    if (source.isNull()) {
        QImage blank(size, QImage::Format_RGB32);
        blank.fill(Qt::white);
        return blank;
    }
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

QImage PreviewBackground(const SkinPictures &pictures, QSize screenSize)
{
    return stretchWithoutSmoothing(pictures.BackgroundSource, screenSize);
}

QImage PreviewCursor(const SkinPictures &pictures)
{
    return stretchWithoutSmoothing(pictures.CursorSource, kPreviewCursorSize);
}

QString bmpExportPath(const QString &chosenPath)
{
    return chosenPath.endsWith(QStringLiteral(".bmp"), Qt::CaseSensitive)
               ? chosenPath
               : chosenPath + QStringLiteral(".bmp");
}

Result<QString> ExportPicture(const QImage &picture, const QString &chosenPath)
{
    const QString path = bmpExportPath(chosenPath);
    if (picture.isNull())
        return fail(Error::invalid(
            QCoreApplication::translate("SkinImages", "%1: there is no picture to export")
                .arg(path)));
    VELMORA_TRY(writeFileAtomically(path, encodeBmp24(picture)));
    return path;
}

QList<SkinImagesFailure> OpenSkinImages(const QString &skinPath, const QString &mifName,
                                        const SkinImagesSetup &setup, SkinImageFiles &files,
                                        SkinPictures &pictures)
{
    QList<SkinImagesFailure> messages;
    // A skin made on a case-insensitive system may name its .mif in another case.
    const QString mifPath =
        platform::findFileIgnoringCase(QFileInfo(skinPath).dir().filePath(mifName));
    if (auto loaded = LoadSkinImages(mifPath, setup, files); !loaded) {
        // The picture files still name an earlier skin's pictures: importing them would throw
        // away what the user sees, perhaps pictures imported by hand.
        SkinImagesFailure failure = loaded.error();
        failure.picturesKept = true;
        messages.append(failure);
        return messages;
    }
    if (auto imported = ImportBackground(pictures, files.BackgroundFile); !imported)
        messages.append({imported.error().message, imported.error()});
    if (auto imported = ImportCursor(pictures, files.CursorFile); !imported)
        messages.append({imported.error().message, imported.error()});
    return messages;
}
