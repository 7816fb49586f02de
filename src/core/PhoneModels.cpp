#include "core/PhoneModels.h"

#include "core/Cp1251.h"
#include "platform/FileOps.h"

#include <QCoreApplication>

namespace {

const QString kPhonePrefix = QStringLiteral("phone = ");

bool isDataLine(const QString &line)
{
    return !line.isEmpty() && !line.startsWith(u'#');
}

// Two decimal numbers split at the first separator.
bool splitPair(const QString &line, QChar separator, int &first, int &second)
{
    const qsizetype at = line.indexOf(separator);
    if (at < 0)
        return false;
    bool ok1 = false;
    bool ok2 = false;
    first = line.left(at).trimmed().toInt(&ok1, 10);
    second = line.mid(at + 1).trimmed().toInt(&ok2, 10);
    return ok1 && ok2;
}

// The reason a model's data lines are refused, or an empty text.
QString checkData(const QStringList &data, PhoneModel &model)
{
    if (!splitPair(data[0], u'*', model.width, model.height))
        return QCoreApplication::translate("PhoneModels", "the size \"%1\" is not WIDTH*HEIGHT")
            .arg(data[0]);
    if (!splitPair(data[1], u',', model.x, model.y))
        return QCoreApplication::translate("PhoneModels", "the position \"%1\" is not X,Y")
            .arg(data[1]);
    const auto inRange = [](int side) {
        return side >= kMinScreenSide && side <= kMaxScreenSide;
    };
    if (!inRange(model.width) || !inRange(model.height))
        return QCoreApplication::translate("PhoneModels", "the size %1*%2 is outside %3..%4")
            .arg(model.width)
            .arg(model.height)
            .arg(kMinScreenSide)
            .arg(kMaxScreenSide);
    model.picture = data[2];
    return {};
}

} // namespace

PhoneModelList readPhoneModels(const QByteArray &bytes, const QString &fileName)
{
    QStringList lines = cp1251::decode(bytes).split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    PhoneModelList models;
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(kPhonePrefix))
            continue;
        const int start = i;
        PhoneModel model;
        model.name = lines[i].mid(kPhonePrefix.size());
        QStringList data;
        while (data.size() < 3 && i + 1 < lines.size()) {
            if (isDataLine(lines[++i]))
                data.append(lines[i]);
        }
        if (data.size() < 3) {
            // Cut off by the end of the file: the record stays, the list does not show it.
            models.records.append(model);
            break;
        }
        if (const QString why = checkData(data, model); !why.isEmpty()) {
            models.problems.append(
                QCoreApplication::translate("PhoneModels", "%1:%2: model \"%3\" left out: %4")
                    .arg(fileName)
                    .arg(start + 1)
                    .arg(model.name, why));
            continue;
        }
        models.records.append(model);
        models.entries.append(model.name);
    }
    return models;
}

Result<PhoneModelList> loadPhoneModels(const QString &programFolder)
{
    const QString path = programFolder + QStringLiteral("mobiles/base.txt");
    VELMORA_TRY_ASSIGN(const QByteArray bytes, readWholeFile(path));
    return readPhoneModels(bytes, path);
}

int findModel(const PhoneModelList &models, const QString &name)
{
    for (qsizetype i = models.records.size() - 1; i >= 0; --i) {
        if (models.records[i].name == name)
            return int(i);
    }
    return -1;
}
