#include "preview/ContactList.h"

#include "core/Cp1251.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

bool isTrimmed(QChar ch)
{
    return ch.unicode() <= 0x20;
}

QString trimmedField(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// The text up to the next comma, which is consumed; with no comma left the field is empty and
// nothing is consumed.
QString takeField(QString &rest)
{
    const qsizetype comma = rest.indexOf(u',');
    if (comma < 0)
        return {};
    const QString field = trimmedField(rest.left(comma));
    rest.remove(0, comma + 1);
    return field;
}

std::optional<int> decimal(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?[0-9]{1,9}$"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    return text.toInt();
}

quint8 iconNumber(int value)
{
    return value == 255 ? quint8(255) : quint8(2 * value);
}

struct GroupCounts
{
    int online = 0;
    int total = 0;
};

std::optional<Buddy> parseContact(const QString &line, GroupCounts &counts)
{
    QString rest = line;
    Buddy buddy;
    buddy.Nick = takeField(rest);
    const QString statusText = takeField(rest);
    const auto status = decimal(statusText);
    const auto xstatus = decimal(takeField(rest));
    const auto client = decimal(takeField(rest));
    if (!status || !xstatus || !client)
        return std::nullopt;
    buddy.Status = quint8(*status);
    buddy.XStatusIcon = iconNumber(*xstatus);
    buddy.ClientIcon = iconNumber(*client);
    buddy.Cursor = takeField(rest) != u"0";
    buddy.Blinking = rest != u"0";
    ++counts.total;
    if (statusText != u"19")
        ++counts.online;
    return buddy;
}

void completeCaption(Group &group, const GroupCounts &counts)
{
    group.Name += QStringLiteral(" - %1/%2").arg(counts.online).arg(counts.total);
}

void bubbleSort(QList<Buddy> &contacts, bool byStatus)
{
    QList<QByteArray> keys;
    if (!byStatus) {
        for (const Buddy &b : contacts)
            keys.append(cp1251::encode(b.Nick));
    }
    // Byte order of the code page, unsigned, as the client compares nicks.
    const auto greater = [&](qsizetype a, qsizetype b) {
        if (byStatus)
            return contacts[a].Status > contacts[b].Status;
        return std::lexicographical_compare(keys[b].begin(), keys[b].end(), keys[a].begin(),
                                            keys[a].end(),
                                            [](char l, char r) { return quint8(l) < quint8(r); });
    };
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (qsizetype i = 0; i + 1 < contacts.size(); ++i) {
            if (greater(i, i + 1)) {
                contacts.swapItemsAt(i, i + 1);
                if (!keys.isEmpty())
                    keys.swapItemsAt(i, i + 1);
                swapped = true;
            }
        }
    }
}

void sortAll(CL &list, bool byStatus)
{
    for (Group &group : list.Groups)
        bubbleSort(group.Contacts, byStatus);
}

CL onlineOfflineGroups(const CL &loaded)
{
    Group online;
    Group offline;
    online.Separator = offline.Separator = true;
    for (const Group &group : loaded.Groups) {
        for (const Buddy &buddy : group.Contacts)
            (buddy.Status == kOfflineStatus ? offline : online).Contacts.append(buddy);
    }
    const qsizetype total = online.Contacts.size() + offline.Contacts.size();
    online.Name = QStringLiteral("В сети %1/%2").arg(online.Contacts.size()).arg(total);
    offline.Name = QStringLiteral("Не в сети %1/%2").arg(offline.Contacts.size()).arg(total);
    return {{online, offline}};
}

} // namespace

CL readCList(const QByteArray &bytes)
{
    CL list;
    GroupCounts counts;
    const QStringList lines =
        cp1251::decode(bytes).split(QRegularExpression(QStringLiteral("\r?\n")));
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(QStringLiteral("{group = "))) {
            if (!list.Groups.isEmpty())
                completeCaption(list.Groups.last(), counts);
            counts = {};
            list.Groups.append({line.mid(9, line.size() - 10), {}, false});
            continue;
        }
        // Contacts before the first group have nowhere to go.
        if (list.Groups.isEmpty())
            continue;
        if (auto buddy = parseContact(line, counts))
            list.Groups.last().Contacts.append(*buddy);
    }
    if (!list.Groups.isEmpty())
        completeCaption(list.Groups.last(), counts);
    return list;
}

CL sampleContactList(std::mt19937 &random)
{
    const auto between = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    CL list;
    for (int g = 0; g < 4; ++g) {
        Group group;
        group.Name = QStringLiteral("Группа #%1").arg(g);
        const int online = between(1, 7);
        for (int j = 0; j < 16; ++j) {
            Buddy buddy;
            buddy.Nick = QStringLiteral("%1Контакт #%2").arg(g).arg(j);
            if (j < online) {
                buddy.Status = quint8(between(7, 17));
                buddy.XStatusIcon = quint8(2 * between(0, 36));
                buddy.ClientIcon = quint8(2 * between(0, 42));
                buddy.Blinking = between(1, 4) == 1;
            } else {
                buddy.Status = kOfflineStatus;
                buddy.Cursor = g == 0 && j == online;
            }
            group.Contacts.append(buddy);
        }
        list.Groups.append(group);
    }
    return list;
}

CL buildDisplayList(const CL &loaded, bool showGroups, bool showOffline, bool sortByStatus)
{
    CL display = showGroups ? loaded : onlineOfflineGroups(loaded);
    if (!showGroups && !showOffline)
        display.Groups.removeLast();
    if (showOffline) {
        sortAll(display, sortByStatus);
        return display;
    }
    sortAll(display, true);
    for (Group &group : display.Groups) {
        while (!group.Contacts.isEmpty() && group.Contacts.last().Status == kOfflineStatus)
            group.Contacts.removeLast();
    }
    sortAll(display, sortByStatus);
    return display;
}
