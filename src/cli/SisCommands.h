#pragma once

#include <QStringList>
#include <QTextStream>

// velmora-cli sis show FILE.sis [--json]
// velmora-cli sis verify FILE.sis [CERT]
// velmora-cli sis extract FILE.sis -o DIR
// `args` are the words after "sis". Returns the exit code: 0 success, 1 a package that fails to
// read or verify, 2 a usage error.
int runSisCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// The same, printing to stdout and stderr.
int runSisCommand(const QStringList &args);
