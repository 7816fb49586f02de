#pragma once

#include <QStringList>
#include <QTextStream>

// The command-line front end, callable in-process: args excludes the program name.
int runCli(const QStringList &args, QTextStream &out, QTextStream &err);

int runSkinCommand(const QStringList &args, QTextStream &out, QTextStream &err);
