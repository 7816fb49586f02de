#pragma once

#include "containers/Progress.h"
#include "containers/SkinImages.h"
#include "core/PhoneModels.h"
#include "document/SkinDocument.h"
#include "preview/PhonePreview.h"

#include <functional>
#include <memory>
#include <optional>
#include <random>

// Where start-up shows its progress and its fatal error: the start-up window, or stderr.
struct StartupReporter
{
    std::function<void(const QString &)> progress;
    std::function<void(const QString &)> error;
};

// What start-up needs to know about the running program.
struct StartupSetup
{
    // The program's own folder, read-only as far as we are concerned; with a trailing '/'.
    QString programFolder;
    // The running program's private scratch folder, with a trailing '/': the converter's
    // working files go to its temp/ subfolder.
    QString scratchFolder;
    // Draws the sample contact list when there is no CList.txt.
    std::mt19937 *random = nullptr;
    // The converter's complaints.
    MessageCallback messages;
};

// The converter beside the program, by absolute path, so it runs from any working folder.
QString converterPath(const StartupSetup &setup);

// Taking pictures out of a .mif the same way everywhere: the converter beside the program,
// working files in the scratch folder.
SkinImagesSetup skinImagesSetup(const StartupSetup &setup, ProgressCallback progress = {});

// The start-up's icon files, loading in the background from the moment this is made, so that the
// window can build itself meanwhile. Start-up takes them in the client's order, with progress
// texts, errors and messages exactly where they would come had they loaded only then. Made with
// the setup start-up is given.
class IconPreload
{
public:
    explicit IconPreload(const StartupSetup &setup);
    ~IconPreload();
    IconPreload(const IconPreload &) = delete;
    IconPreload &operator=(const IconPreload &) = delete;

    // What start-up takes from it.
    struct Loading;
    Loading &loading() { return *m_loading; }
    // Whether every icon file has ended loading, taken or not.
    bool finished() const;

private:
    std::unique_ptr<Loading> m_loading;
};

// The seed of the sample contact list that the quality checks and the command line's
// screenshots measure by default.
constexpr unsigned kMeasuredSampleSeed = 1;

// The contact list the quality checks measure: CList.txt of the program folder when it has one,
// else the sample of kMeasuredSampleSeed. Whether a list is long enough to scroll decides
// which slots the contact list paints, so the window measures this one rather than its own
// random sample, and says what velmora-cli audit and usage say.
CL measuredContactList(const QString &programFolder);

// Loads the icon lists, smileys, sample chat and contact list in the client's order, with the
// progress texts of the start-up window. A missing file is reported through reporter.error and
// ends loading (nullopt). The icon files come from preload when one is given.
std::optional<PreviewResources> loadPreviewResources(const StartupSetup &setup,
                                                     const StartupReporter &reporter,
                                                     IconPreload *preload = nullptr);

// The default background and cursor from the program folder into both copies of the
// document's pictures, with the start-up window's progress texts; false after reporting the
// first one that is missing or does not decode.
bool loadDefaultPictures(const StartupSetup &setup, const StartupReporter &reporter,
                         SkinDocument &document);

// The one start-up of both programs: the default background and cursor into the document, the
// default colours, then the preview's resources, in this order and with these progress texts.
// The first missing or unreadable file is reported and ends it (nullopt).
std::optional<PreviewResources> startProgram(const StartupSetup &setup,
                                             const StartupReporter &reporter,
                                             SkinDocument &document,
                                             IconPreload *preload = nullptr);

// The file named by the program's first argument, made absolute against the current folder now,
// because start-up later makes the program folder the current one; empty when there is none.
QString commandLineFile(const QStringList &arguments);

// The designer's command line (arguments[0] is the program): --help and --version print and
// end the program; the first argument, when it names a file, is the skin to open; every other
// argument is ignored, and named so the user knows.
struct DesignerArguments
{
    bool help = false;
    bool version = false;
    QString skin;
    QStringList ignored;
};
DesignerArguments designerArguments(const QStringList &arguments);
// What `velmora --help` prints.
QString designerUsage();

// A model's phone picture from programFolder/mobiles/: a name ending in exactly "png" is read
// as PNG with its transparency, anything else by its ending (.bmp, .jpg). An error names the
// file.
Result<QImage> loadPhonePicture(const QString &programFolder, const PhoneModel &model);
