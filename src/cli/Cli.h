#pragma once

#include "core/PhoneModels.h"
#include "core/SkinFile.h"
#include "document/SkinDocument.h"
#include "platform/Error.h"
#include "platform/WritablePlaces.h"
#include "preview/PhoneFrame.h"
#include "preview/Render.h"

#include <QStringList>
#include <QTextStream>

#include <memory>
#include <optional>

// The command-line front end, callable in-process: args excludes the program name.
int runCli(const QStringList &args, QTextStream &out, QTextStream &err);

int runSkinCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runRenderCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runSvgCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runMifCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runModelsCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runAssociationCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runShotsCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runAuditCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runUsageCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// A skin described as JSON ({"colors": [...], "mif": ..., "copyright": ...}); missing keys take
// the defaults.
Result<SkinData> readSkinJsonFile(const QString &path);

// A --background or --cursor picture into the document as the designer imports it; a name
// without a picture ending is an error. An empty path changes nothing.
Result<void> importPictureOption(SkinDocument &document, const QString &path, bool background);
// A --skin into the document: a .skin, or the .skin inside a .sis/.sisx package (checked and
// taken out into a private folder first), with its own background and cursor from its .mif,
// as "Открыть" takes them. The pictures go through scratchFolder (with a trailing '/') and the
// converter of programFolder. A .mif that is missing or cannot be read leaves the pictures as
// they were: its colours still count, and the reason is added to warnings.
Result<void> loadSkinOption(SkinDocument &document, const QString &path,
                            const QString &programFolder, const QString &scratchFolder,
                            QStringList &warnings);
// The --skin, --background and --cursor of a command, as given.
struct SkinInputs
{
    QString skin;
    QString background;
    QString cursor;

    // Keeps the value when name is one of the three; false for any other option.
    bool take(const QString &name, const QString &value);
};
// The inputs into the document, in that order; empty ones change nothing. What the skin's .mif
// could not give is added to warnings.
Result<void> applySkinOptions(SkinDocument &document, const SkinInputs &inputs,
                              const QString &programFolder, const QString &scratchFolder,
                              QStringList &warnings);

// Each warning as one line on err: "velmora-cli COMMAND: warning: TEXT".
void printWarnings(const QString &command, const QStringList &warnings, QTextStream &err);

// The model of the list named exactly so (the last of that name), or an error listing the names.
Result<PhoneModel> namedModel(const PhoneModelList &models, const QString &name);
// "WxH" with both between 16 and 4096, as --size takes it.
std::optional<QSize> parseScreenSize(const QString &text);
// The model's phone picture as the frame around its screen.
Result<PhoneFrame> loadPhoneFrame(const QString &folder, const PhoneModel &model);

// A command's arguments split into options (anything starting with '-' but "-" itself) and
// operands (files). "--" ends the options: everything after it is an operand, so a file named
// "-x.skin" can be given. Options may stand before or after the operands ("FILE --json").
struct Arguments
{
    QStringList options;
    QStringList operands;

    // An error naming the first option not in known; nothing when all are known.
    std::optional<Error> unknownOption(const QStringList &known) const;
};
Arguments splitArguments(const QStringList &args);

// text as it may go to a terminal: control characters (escape sequences among them), C1
// controls and the marks that reverse the direction of text are written as \xHH or \uHHHH,
// so a file's contents can never move the cursor, recolour or retitle the user's terminal.
// Line feeds stay when keepLineFeeds is set.
QString terminalSafe(const QString &text, bool keepLineFeeds = false);

// The program started as the window starts it, without a window: the resources read from the
// program folder (through a scratch folder of its own) and an empty document, ready for
// render(). seed fixes the sample contact list; clist, when given, replaces it.
struct CliPreview
{
    platform::ScratchFolder scratch;
    SkinDocument document;
    PreviewResources resources;
};
Result<std::unique_ptr<CliPreview>>
startCliPreview(const QString &folder, std::optional<unsigned> seed, const QString &clist = {});

// The folder holding the program's data and tools, with a trailing '/': the executable's folder
// unless a test points it elsewhere.
QString cliProgramFolder();
void setCliProgramFolder(const QString &folder);
