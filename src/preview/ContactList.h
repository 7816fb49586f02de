#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <random>

struct Buddy
{
    QString Nick;
    quint8 Status = 0;        // 0..21, 19 offline
    quint8 XStatusIcon = 255; // an x-status icon number, 255 = none
    quint8 ClientIcon = 255;  // a client icon number, 255 = none
    bool Cursor = false;
    bool Blinking = false;
};

struct Group
{
    QString Name;
    QList<Buddy> Contacts;
    // Drawn as a centred caption between two lines ("В сети"/"Не в сети").
    bool Separator = false;
};

struct CL
{
    QList<Group> Groups;
};

constexpr quint8 kOfflineStatus = 19;

// Reads the client's contact list text (code page 1251): "{group = Name}" lines open groups,
// other lines are "nick,status,x-status,client,cursor,blink"; empty and "#" lines are skipped.
CL readCList(const QByteArray &bytes);

// Four groups of sixteen contacts, a random few online, the cursor on the first offline contact
// of group 0.
CL sampleContactList(std::mt19937 &random);

// What the contact list screen shows: groups as loaded, or everyone under "В сети"/"Не в сети";
// offline contacts dropped from the end of each status-sorted group unless shown.
CL buildDisplayList(const CL &loaded, bool showGroups, bool showOffline, bool sortByStatus);
