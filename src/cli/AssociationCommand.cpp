#include "cli/Cli.h"

#include "platform/Association.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char16_t kAssociationUsage[] =
    u"Usage: velmora-cli association show|set|remove [--json]\n"
    u"Whether opening a .skin file starts the designer (velmora beside this program).\n"
    u"  show     prints whether it does, the handler .skin files open with now and the\n"
    u"           handler saved when the association was made\n"
    u"  set      makes the designer the handler, saving the previous one\n"
    u"  remove   gives .skin files back to the saved handler\n"
    u"  --json   show prints {\"associated\", \"handler\", \"source\", \"backup\"} (backup null\n"
    u"           when none)\n"
    u"The handler is the one the desktop takes: the first installed entry of the first default\n"
    u"in the user's and the system's mimeapps.list files, else the first installed program\n"
    u"that takes the type; source says which file decided.\n";

// The designer, not this command-line program, is what opens a skin.
QString designerPath()
{
#ifdef Q_OS_WIN
    return cliProgramFolder() + QStringLiteral("velmora.exe");
#else
    return cliProgramFolder() + QStringLiteral("velmora");
#endif
}

void printState(const platform::AssociationState &state, bool json, QTextStream &out)
{
    if (json) {
        const QJsonObject object{{QStringLiteral("associated"), state.associated},
                                 {QStringLiteral("handler"), state.currentHandler},
                                 {QStringLiteral("source"), state.handlerSource},
                                 {QStringLiteral("backup"), state.backup
                                                                ? QJsonValue(*state.backup)
                                                                : QJsonValue(QJsonValue::Null)}};
        out << QString::fromUtf8(QJsonDocument(object).toJson()) << Qt::flush;
        return;
    }
    out << QStringLiteral("associated: %1\n").arg(state.associated ? u"yes" : u"no")
        << QStringLiteral("handler: %1\n")
               .arg(state.currentHandler.isEmpty()
                        ? QStringLiteral("(none)")
                        : QStringLiteral("%1 (from %2)")
                              .arg(state.currentHandler,
                                   QDir::toNativeSeparators(state.handlerSource)))
        << QStringLiteral("backup: %1\n")
               .arg(!state.backup             ? QStringLiteral("(none saved)")
                    : state.backup->isEmpty() ? QStringLiteral("(no handler)")
                                              : *state.backup);
}

} // namespace

int runAssociationCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << QString::fromUtf16(kAssociationUsage);
        return 0;
    }
    const QString action = args.value(0);
    const QStringList rest = args.mid(1);
    const bool json = rest == QStringList{QStringLiteral("--json")};
    if ((action != u"show" && action != u"set" && action != u"remove") ||
        (!rest.isEmpty() && !json)) {
        err << QString::fromUtf16(kAssociationUsage);
        return 2;
    }
    const auto store = platform::makeAssociationStore(designerPath());
    if (action != u"show") {
        const auto done = action == u"set" ? store->Associate() : store->Unassociate();
        if (!done) {
            err << QStringLiteral("velmora-cli association: %1\n").arg(done.error().message);
            return 1;
        }
    }
    printState(store->state(), json, out);
    return 0;
}
