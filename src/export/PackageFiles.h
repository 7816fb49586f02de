#pragma once

#include "platform/Error.h"

#include <QString>
#include <QStringList>

namespace velmora::sis {
struct PackageReport;
}

// The files inside an install package, for opening a skin that exists only as a .sis and for
// `velmora-cli sis extract`.

// Everything that makes a package untrustworthy: checksums, file hashes, signature chains.
QStringList packageProblems(const velmora::sis::PackageReport &report);

// A target as a path under a folder: the drive dropped, backslashes as separators. A target
// without a drive, with an empty, "." or ".." component, or with a character a file name cannot
// hold is refused, naming it.
Result<QString> extractedPath(const QString &target);

// Writes the package's files under folder by their target names and returns the paths written.
// The package is checked first (structure, checksums, every file's hash and every signature) and
// must keep within the limits of export/sis/Limits.h: how many files, how large each, how large
// together, all judged from the sizes it declares before anything is inflated. Two targets that
// name one file (letter case aside) are refused too.
//
// Nothing is ever written outside folder: every folder below it is made and opened one step at a
// time without following a symbolic link, and a link on the way, or at a file's own name, is
// refused naming it. It is all or nothing: every file is written to a temporary beside its place
// and flushed, and only when all are complete do they take their names; a failure removes the
// temporaries and the folders this extraction made. folder itself is made when missing.
Result<QStringList> extractPackage(const QString &path, const QString &folder);

// A skin package opened for editing: its files taken out under folder as extractPackage does,
// and the .skin among them. A package without a .skin is refused before anything is written.
Result<QString> extractSkinPackage(const QString &path, const QString &folder);

// A name the designer opens as a package rather than a .skin: .sis or .sisx, in any case.
bool isPackageName(const QString &path);
