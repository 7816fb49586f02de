#pragma once

#include "IconSets.h"

#include "platform/Error.h"

#include <QString>

// The text files of the resource set, with CR LF line ends. None ends with a line break: the
// client counts every line of the smiley list, an empty last one included, and a smiley too
// many would shift the pictures of the ones the program appends after the list.

// One line per smiley, its codes joined by commas.
QString smileyList(const QList<Smiley> &set);
// The chat window's sample: the partner's status, x-status icon, client icon and nick, then a
// conversation with colour markers, direction markers, smileys and an x-status picture.
QString chatSample();
// A sample contact list for skin authors to copy to CList.txt and adapt.
QString contactListSample();

// Writes text in code page 1251; the old file is replaced only by a complete new one.
Result<void> writeCp1251(const QString &path, const QString &text);
