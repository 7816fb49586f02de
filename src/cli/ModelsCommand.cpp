#include "cli/Cli.h"

#include "core/PhoneModels.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char16_t kModelsUsage[] =
    u"Usage: velmora-cli models [--json]\n"
    u"Lists the phone models of mobiles/base.txt in file order: name, screen size, the\n"
    u"screen's position in the phone picture and the picture. With --json one object\n"
    u"{\"models\": [{\"name\", \"width\", \"height\", \"x\", \"y\", \"picture\"}, ...]}.\n";

QJsonObject modelToJson(const PhoneModel &model)
{
    return {{QStringLiteral("name"), model.name},     {QStringLiteral("width"), model.width},
            {QStringLiteral("height"), model.height}, {QStringLiteral("x"), model.x},
            {QStringLiteral("y"), model.y},           {QStringLiteral("picture"), model.picture}};
}

} // namespace

int runModelsCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << QString::fromUtf16(kModelsUsage);
        return 0;
    }
    const bool json = args == QStringList{QStringLiteral("--json")};
    if (!args.isEmpty() && !json) {
        err << QString::fromUtf16(kModelsUsage);
        return 2;
    }
    const QString folder = cliProgramFolder();
    const auto models = loadPhoneModels(folder);
    if (!models) {
        err << QStringLiteral("velmora-cli models: %1\n").arg(models.error().message);
        return 1;
    }
    for (const QString &problem : models->problems)
        err << QStringLiteral("velmora-cli models: %1\n").arg(problem);
    // List entries only: a block cut off by the end of the file is no model to choose.
    const QList<PhoneModel> listed = models->records.mid(0, models->entries.size());
    if (json) {
        QJsonArray array;
        for (const PhoneModel &model : listed)
            array.append(modelToJson(model));
        out << QString::fromUtf8(
                   QJsonDocument(QJsonObject{{QStringLiteral("models"), array}}).toJson())
            << Qt::flush;
        return 0;
    }
    for (const PhoneModel &model : listed)
        out << QStringLiteral("%1\t%2x%3\tscreen at %4,%5\t%6\n")
                   .arg(model.name)
                   .arg(model.width)
                   .arg(model.height)
                   .arg(model.x)
                   .arg(model.y)
                   .arg(model.picture);
    return 0;
}
