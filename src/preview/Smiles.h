#pragma once

#include "containers/MbmImageList.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One smiley: the texts that stand for it.
struct TSmile
{
    QStringList codes;
};

// The smiley set: one smiley per line of the client's smiley list, then the three message
// direction codes and the 37 x-status codes. Smiley k is icon 2k of the image list.
class TSmiles
{
public:
    // Builds the set from the list file's bytes (code page 1251).
    explicit TSmiles(const QByteArray &iniBytes = {});

    static constexpr int kDirectionSmileys = 3;
    static constexpr int kXStatusSmileys = 37;

    const QList<TSmile> &smileys() const { return m_smileys; }
    int Count() const { return int(m_smileys.size()); }
    // The smileys read from the list file; the built-in ones follow them.
    int fileSmileyCount() const { return Count() - kDirectionSmileys - kXStatusSmileys; }

    MbmImageList images;

private:
    QList<TSmile> m_smileys;
};
