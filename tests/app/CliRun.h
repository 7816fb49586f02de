#pragma once

#include "cli/Cli.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// One in-process run of velmora-cli with what it printed.
struct CliRun
{
    int code = 0;
    QString out;
    QString err;
};

inline CliRun runCommandLine(const QStringList &args)
{
    CliRun result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.code = runCli(args, out, err);
    out.flush();
    err.flush();
    return result;
}
