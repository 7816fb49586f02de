#pragma once

#include <QString>

// Where a running program may write. The program folder can be read-only (an installed copy,
// another user's copy) and the window and the command line can run at the same time, so nothing
// that one run produces for itself may land in the program folder or in a place another run
// also uses.
namespace platform {

// A private folder for one run's scratch files (converter bitmaps, captured tool output,
// package assembly), removed with everything in it when the object goes away.
class ScratchFolder
{
public:
    // Creates the folder under the first base that works: $XDG_RUNTIME_DIR (if set, absolute
    // and writable), then $XDG_CACHE_HOME/velmora (default ~/.cache/velmora, created if
    // missing), then the system temp folder.
    ScratchFolder();
    // Creates the folder directly in baseFolder, which must exist; no other base is tried.
    explicit ScratchFolder(const QString &baseFolder);
    ~ScratchFolder();

    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    ScratchFolder(ScratchFolder &&other) noexcept;
    ScratchFolder &operator=(ScratchFolder &&other) noexcept;

    // True while the folder exists and belongs to this object.
    bool isValid() const { return m_owned; }
    // The absolute folder path with a trailing '/'; empty when the folder could not be created
    // (check isValid() first, or files end up relative to the current folder).
    QString path() const { return m_path; }
    // Why the folder could not be created, naming every base tried; empty when it was.
    QString errorText() const { return m_errorText; }
    // Removes the folder and its contents now; later calls, and the destructor, do nothing.
    void remove();

private:
    QString m_path;
    QString m_errorText;
    bool m_owned = false;
};

// The folder for the settings file, with a trailing '/': programFolder when this run can create
// files in it, else $XDG_CONFIG_HOME/velmora/ (default ~/.config/velmora/), created if missing.
QString settingsFolder(const QString &programFolder);

// The folder for this user's lasting data (journals, history), with a trailing '/':
// $XDG_DATA_HOME/velmora/ (default ~/.local/share/velmora/), created if missing.
QString dataFolder();

} // namespace platform
