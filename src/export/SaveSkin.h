#pragma once

#include "containers/Progress.h"
#include "document/SkinDocument.h"
#include "platform/Error.h"

#include <QString>
#include <QStringList>

// Saving a skin: the .skin, the .mif (with its .mbm when a picture is a bitmap) or a signed
// install package made of them. The save dialog and `velmora-cli export` both go through
// saveSkin, so the same inputs give the same files, byte for byte.

// What the save writes, in the order of the dialog's list.
enum class OutputKind : int { Package = 0, SkinAndMif = 1, SkinOnly = 2, MifOnly = 3 };

// How a picture is stored in the .mif.
enum class PictureFormat : int { Jpg, Png, Mbm };

struct PictureChoice
{
    PictureFormat format = PictureFormat::Jpg;
    int quality = 80; // JPEG quality 1..100
};

// The dialog's fields. The writers change the names as the dialog's fields change: ".skin" and
// ".mif" are appended when missing.
struct SaveRequest
{
    OutputKind kind = OutputKind::Package;
    QString skinName = QStringLiteral("default.skin");
    QString mifName = QStringLiteral("default.mif");
    QString copyright;
    PictureChoice background;
    PictureChoice cursor;
    // The chosen folder; the package goes there as <skin name>.sis.
    QString folder;
};

// What the save needs of the running program.
struct SaveEnvironment
{
    // With a trailing '/': cert/ holds makesis, signsis, the certificate and its key; about.txt
    // the makers' lines of the install text.
    QString programFolder;
    // This run's private scratch folder, with a trailing '/': converter files, the staged skin
    // files and the package assembly go below it.
    QString scratchFolder;
    ProgressCallback progress;
    MessageCallback messages;
};

// A name the client accepts for a skin's files: none of "default", "default.skin",
// "default.mif" (in any case); none of the characters < > " / | \\ : * ?, a control character
// or a Russian letter; and not made only of dots, with or without its ending (".", "..skin").
bool IsValidSkinName(const QString &name);
// The message box text for a refused name: the three lines the designer has always shown, and
// a fourth naming what in this name is refused; joined by CR LF.
QString invalidNameMessage(const QString &name);

// The files a save wrote, in the order written (scratch files not included).
struct SaveResult
{
    QStringList written;
};

// Checks both names (whatever the kind), then writes what the kind asks for. A refused name is
// an Error::invalid with invalidNameMessage() and writes nothing; an empty folder is an
// Error::invalid too. Every file goes through a temporary file and a rename.
Result<SaveResult> saveSkin(const SkinDocument &document, SaveRequest &request,
                            const SaveEnvironment &env);

// The files in the chosen folder that saving request would write or replace (the package; or
// the .skin, the .mif and, with a bitmap picture, its .mbm), named as the writers complete the
// names.
QStringList saveTargets(const SaveRequest &request);

// The steps, for the tests and the benchmarks. Each returns the path it wrote.
Result<QString> writeSkin(const SkinDocument &document, SaveRequest &request,
                          const QString &folder);
// Writes <folder>/<mif name> and, with a bitmap picture, its .mbm; ".mif" is appended to the
// name first (case-sensitive test), so a .skin written afterwards names the real file. A
// picture that is still the one a .mif gave it (opened names those files) and is to be stored
// in its own JPEG or PNG format keeps its bytes: no second compression, nothing lost.
Result<QString> ExportMif(const SkinPictures &pictures, SaveRequest &request, const QString &folder,
                          const SaveEnvironment &env, const SkinImageFiles &opened = {});

// The format a picture came in from a skin's .mif, when the picture is still, pixel for pixel,
// what that file holds; none for a picture imported or never opened from a .mif.
std::optional<PictureFormat> openedFormat(const QImage &picture, const QString &file);
// Builds the signed package from the skin files staged in stagedFolder and puts it at target,
// replacing an older file only when the new one is complete.
Result<QString> BuildInstallPackage(const SaveRequest &request, const QString &stagedFolder,
                                    const QString &target, const SaveEnvironment &env);

// The two texts of the package, as UTF-16LE bytes with the FF FE mark, lines ended by CR LF and
// none after the last. makerLines are the install text's last two lines (makers and year,
// "E-Mail: ...").
QByteArray installText(const SaveRequest &request, const QStringList &makerLines);
QByteArray packageDescription(const SaveRequest &request, const QString &stagedFolder);
// The makers' two lines from about.txt in the program folder (a fallback when it is missing).
QStringList readMakerLines(const QString &programFolder);

// What the about box shows from about.txt: the makers' line and the two addresses after the
// makers' lines (empty when the file has none).
struct AboutLinks
{
    QString makers;
    QString forum; // the makers' page on the client's forum
    QString site;  // the client's web site
};
AboutLinks readAboutLinks(const QString &programFolder);

// "myskin.skin" -> "myskin.sis": the package's name for a skin name that ends in ".skin".
QString packageFileName(const QString &skinName);
