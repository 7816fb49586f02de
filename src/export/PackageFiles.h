#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace velmora::sis {
struct PackageReport;
}

// The files inside an install package, for opening a skin that exists only as a .sis and for
// `velmora-cli sis extract`.

// Everything that makes a package untrustworthy: checksums, file hashes, signature chains.
QStringList packageProblems(const velmora::sis::PackageReport &report);

struct PackagedFile
{
    QString target;   // as the package names it: "!:\resource\skins\blue.skin"
    QString relative; // where it goes under a folder: "resource/skins/blue.skin"
    QByteArray contents;
};

// A target as a path under a folder: the drive dropped, backslashes as separators. A target
// without a drive, with an empty, "." or ".." component, or with a character a file name cannot
// hold is refused, naming it.
Result<QString> extractedPath(const QString &target);

// Reads and checks the package (structure, checksums, every file's hash and every signature)
// and gives the files of its install block; a package that does not check out is refused with
// the reader's words.
Result<QList<PackagedFile>> readPackageFiles(const QString &path);

// Writes the package's files under folder by their target names, never outside it, each through
// a temporary file. Returns the paths written.
Result<QStringList> extractPackage(const QString &path, const QString &folder);

// A skin package opened for editing: its files taken out under folder, and the .skin among them.
Result<QString> extractSkinPackage(const QString &path, const QString &folder);

// A name the designer opens as a package rather than a .skin: .sis or .sisx, in any case.
bool isPackageName(const QString &path);
