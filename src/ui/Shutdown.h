#pragma once

#include <QString>

namespace shutdown {

// The save-and-clean step of quitting: empties the temp/ folder of this run's scratch folder
// (files only) and saves the settings. The window that asked for it then closes the program.
void close(const QString &scratchFolder);

} // namespace shutdown
