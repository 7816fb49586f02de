#pragma once

#include "core/SkinFile.h"
#include "platform/Error.h"

class SkinDocument;

#include <QStringList>
#include <QTextStream>

// The command-line front end, callable in-process: args excludes the program name.
int runCli(const QStringList &args, QTextStream &out, QTextStream &err);

int runSkinCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runRenderCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runSvgCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runMifCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runModelsCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runAssociationCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// A skin described as JSON ({"colors": [...], "mif": ..., "copyright": ...}); missing keys take
// the defaults.
Result<SkinData> readSkinJsonFile(const QString &path);

// A --background or --cursor picture into the document as the designer imports it; a name
// without a picture ending is an error. An empty path changes nothing.
Result<void> importPictureOption(SkinDocument &document, const QString &path, bool background);

// The folder holding the program's data and tools, with a trailing '/': the executable's folder
// unless a test points it elsewhere.
QString cliProgramFolder();
void setCliProgramFolder(const QString &folder);
