#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// One picture of an icon list; its icon number in the file is twice its position.
struct Icon
{
    QString name;
    QImage image; // 16 × 16, ARGB32 with straight alpha
};

// One .mbm file of the resource set: the icons in file order, each followed by its mask.
struct IconList
{
    QString file; // relative to the program folder, with '/' separators
    QList<Icon> icons;
};

// The client's status pictures: the online flower, the overlay badges drawn over it, the other
// statuses and a few event pictures.
IconList statusIcons();
// The 37 x-status (mood and activity) pictures.
IconList xStatusIcons();
// The 43 client and platform badges.
IconList clientIcons();
// Menu, status-bar and message-direction pictures.
IconList programIcons();
// The private-status (visibility) pictures.
IconList privateStatusIcons();

// The smileys: one picture per line of the smiley list, in the same order.
struct Smiley
{
    QStringList codes;
    Icon icon;
};
QList<Smiley> smileys();
IconList smileyIcons(const QList<Smiley> &set);

// Fills a fixed-size list in which each icon's number is chosen by the client, so a missing or
// doubled number is caught while the set is built rather than on the phone screen.
class NumberedIcons
{
public:
    NumberedIcons(QString file, int iconCount);
    // Sets icon `number` (even) to the picture.
    void set(int number, const QString &name, const QImage &image);
    // The finished list; aborts with a message if any icon is missing.
    IconList take();

private:
    IconList m_list;
    QList<bool> m_filled;
};
