#pragma once

#include "containers/Progress.h"
#include "platform/Error.h"

#include <QImage>
#include <QList>
#include <QString>

class QPainter;

// One bitmap of a Symbian multi-bitmap file with the colour mode the converter reported for it
// ("16 Bpp Colour", "8 Bpp Monochrome", ...).
struct MbmItem
{
    QImage Bitmap;
    QString ColourMode;
};

// The converter's depth switch for a colour-mode label ("/c16"), or an empty string.
QString DepthFlag(const QString &colourMode);

// A list of bitmaps filled from, or packed into, an .mbm file by running the bitmap converter.
// Icon lists keep each icon at item N and its mask at item N + 1.
class MbmImageList
{
public:
    ProgressCallback OnProgress;
    // Message boxes; the caption is empty for the program's own title.
    MessageCallback OnMessage;
    QString ToolName = QStringLiteral("bmconv");
    // The folder every converter run starts in; its temp/ subfolder holds the working files.
    QString WorkFolder;

    int Count() const { return int(m_items.size()); }
    const MbmItem &Get(int i) const { return m_items.at(i); }
    int Width() const;
    int Height() const;

    // Appends a 24-bit copy of picture, to be packed as 16-bit colour.
    void Add(const QImage &picture);
    // Appends a copy of another list's item with its colour mode, so that a copied mask keeps
    // meaning what it meant there (an 8-bit mask shows the icon where it is white).
    void AddItem(const MbmItem &item);
    // Replaces the items by the bitmaps of the file. On failure the user has been told why, and
    // the list is left empty.
    Result<void> LoadFromMBM(const QString &path);
    // Packs all items, in order, into path; the old file is replaced only by a complete new one.
    Result<void> SaveToMBM(const QString &path);

    // Draws item i at (x, y) through item i + 1 as its mask. Parts of the icon that the mask
    // does not cover are drawn opaque; an index outside the list draws nothing.
    void DrawMasked(QImage &canvas, int x, int y, int i) const;
    // The same onto the image a painter is painting on (the painter's device must be a QImage).
    void DrawMasked(QPainter &painter, int x, int y, int i) const;

private:
    void report(const QString &text) const;
    void message(const QString &text) const;
    QString tempPath(const QString &name) const;
    Result<int> readInformation();
    Result<void> unpack(int count);
    Result<void> run(const QStringList &arguments, QString &output);
    std::unexpected<Error> failLoad(const QString &text);

    QList<MbmItem> m_items;
};

// Mixes picture into background through mask, pixel by pixel. Mask pixels equal to key leave
// the background; otherwise the mask's brightness is the background's weight (white key) or the
// picture's weight (black key). A picture smaller than the background changes nothing.
void BlendWithMask(const QImage &picture, QImage &background, const QImage &mask, QRgb key);
