#pragma once

#include "containers/MifFile.h"
#include "containers/Progress.h"
#include "containers/SkinPictures.h"
#include "platform/Error.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

// The skin's background and cursor: importing picture files into the two copies of each,
// the scaled copies the preview shows, the bitmap exports, and taking the pictures out of a
// skin's .mif when a skin is opened.

// The picture files LoadSkinImages last took out of a .mif: WorkFolder/temp/1 and
// WorkFolder/temp/2 with ".jpg", ".png" or ".bmp". Empty until a skin has been opened.
struct SkinImageFiles
{
    QString BackgroundFile;
    QString CursorFile;
};

// What taking pictures out of a .mif needs from the program.
struct SkinImagesSetup
{
    // The running program's private scratch folder, with a trailing separator. The pictures
    // and the converter's working files go to its temp/ subfolder, and nowhere else.
    QString WorkFolder;
    // The converter: a name looked up in WorkFolder and on the PATH, or an absolute path.
    QString ToolName = QStringLiteral("bmconv");
    // The console log.
    ProgressCallback OnProgress;
    // The converter's own message boxes.
    MessageCallback OnMessage;
};

// A message box for the user: the program's text, and the reason behind it for the details.
struct SkinImagesFailure
{
    QString text;
    Error reason;
    // The skin's pictures could not be read at all, so the pictures shown were left as they
    // were rather than replaced by whatever an earlier skin left behind.
    bool picturesKept = false;
};

// A skin's .mif: background, its virtual copy, cursor, its virtual copy. The copies are the ones
// read, as the client does.
inline constexpr int kSkinMifEntries = 4;
inline constexpr int kBackgroundEntry = 1;
inline constexpr int kCursorEntry = 3;

// An entry's picture as it is stored: the embedded JPEG or PNG of an SVG entry (".jpg" for
// "image/jpeg", ".png" otherwise), or a bitmap entry's picture as a 24-bit Windows bitmap
// (".bmp"). A bitmap entry whose picture the companion .mbm did not deliver is an error.
struct StoredPicture
{
    QString extension;
    QByteArray bytes;
};
Result<StoredPicture> storedPicture(const MifEntry &entry, int index, const QString &mifPath);

// Reads the .mif and writes its background (entry 1) and cursor (entry 3) as they are stored:
// the embedded JPEG/PNG of an SVG entry, or the bitmap of a bitmap entry as a .bmp. On failure
// nothing is written and files keep their old paths; the text is
// "Число картинок в файле *.mif не корректно" for a .mif with other than four entries, and
// "Ошибка при загрузке файла \r\n" + mifPath for everything else.
std::expected<void, SkinImagesFailure>
LoadSkinImages(const QString &mifPath, const SkinImagesSetup &setup, SkinImageFiles &files);

// Import a picture file by the lower-cased last three characters of its name: "bmp", "jpg" or
// "png" (a PNG is flattened onto white). Both copies become the picture and the result is true;
// any other ending (".jpeg" too) changes nothing and gives false. A file that does not decode
// changes nothing and gives the decoder's error, which names the file.
Result<bool> ImportBackground(SkinPictures &pictures, const QString &path);
Result<bool> ImportCursor(SkinPictures &pictures, const QString &path);

// The preview's pictures, made from the working copies by dropping or repeating pixel rows and
// columns (no smoothing): the background at the simulated screen's size, the cursor at 120 × 18.
// An empty working copy gives a white picture.
inline constexpr QSize kPreviewCursorSize(120, 18);
QImage stretchWithoutSmoothing(const QImage &source, QSize size);
QImage PreviewBackground(const SkinPictures &pictures, QSize screenSize);
QImage PreviewCursor(const SkinPictures &pictures);

// The "Фон"/"Курсор" exports: writes picture at its own size as a 24-bit Windows bitmap at
// chosenPath, with ".bmp" appended unless the path already ends in exactly ".bmp" (case
// matters), and returns the path written. An existing file is replaced only by a complete one.
QString bmpExportPath(const QString &chosenPath);
Result<QString> ExportPicture(const QImage &picture, const QString &chosenPath);

// The picture half of opening a skin ("Открыть" and the command line): LoadSkinImages on mifName
// in the skin file's folder, then both imports of whatever BackgroundFile and CursorFile name
// then. Returns the message boxes to show, in order; a failed step keeps what it would have
// replaced, and the steps after it still run.
QList<SkinImagesFailure> OpenSkinImages(const QString &skinPath, const QString &mifName,
                                        const SkinImagesSetup &setup, SkinImageFiles &files,
                                        SkinPictures &pictures);
