#pragma once

#include "platform/Error.h"

#include <QString>
#include <QStringList>

// Runs a converter-style tool at idle priority in workFolder, its standard output captured
// through a uniquely named file under workFolder/temp/. On success appends CR LF and then the
// captured text, every line ending in CR LF, to output. A tool that cannot be started leaves
// output as it was and returns the system's reason.
Result<void> RunCaptured(const QString &program, const QStringList &arguments,
                         const QString &workFolder, QString &output);

// Removes and returns the first line of text (without its CR LF); a text with no CR LF is
// returned whole and text becomes empty.
QString NextLine(QString &text);

// The captured lines, CR LF endings dropped; convenient for matching.
QStringList capturedLines(QString text);
