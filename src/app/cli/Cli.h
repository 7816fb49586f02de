#pragma once

#include <QStringList>
#include <QTextStream>

// The command-line front end, callable in-process: args excludes the program name.
int runCli(const QStringList &args, QTextStream &out, QTextStream &err);

int runSkinCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runRenderCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runSvgCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runMifCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// The folder holding the program's data and tools; the executable's folder unless a test
// points it elsewhere.
QString cliProgramFolder();
void setCliProgramFolder(const QString &folder);
