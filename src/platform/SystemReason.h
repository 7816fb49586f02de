#pragma once

#include <QString>

namespace platform {

// The system's reason for a failed file or process operation (QFile::errorString(), strerror(),
// QProcess::errorString()) in the language of the translation the program installed. Qt and the
// C library hand these over in English whatever the window speaks, so the window translates the
// common ones itself: a text that is one of them, or ends in ": " and one of them, comes back
// translated; any other text comes back as it is.
QString readableReason(const QString &systemText);

} // namespace platform
