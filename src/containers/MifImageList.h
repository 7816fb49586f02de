#pragma once

#include "containers/MifFile.h"
#include "containers/Progress.h"
#include "platform/Error.h"

#include <QImage>

// The most pixels the bitmap converter takes in one bitmap.
inline constexpr qint64 kMaxBitmapPixels = qint64(1) << 26;
#include <QList>
#include <QString>

#include <optional>

// The entries of a skin's .mif, filled picture by picture and written out, or read from a file.
// Bitmap entries travel in the companion .mbm, which the bitmap converter packs and unpacks.
// A list lives for one save or load.
class MifImageList
{
public:
    ProgressCallback OnProgress;
    // The converter's message boxes.
    MessageCallback OnMessage;
    // Set when a bitmap entry is added or read; LoadFromFile starts it afresh.
    bool HasBitmaps = false;
    QString ToolName = QStringLiteral("bmconv");
    // Where the converter runs; its temp/ subfolder holds the working files (a private scratch
    // folder of the running program).
    QString WorkFolder;

    int Count() const { return int(m_entries.size()); }
    // A copy of entry i (0-based); an index outside the list gives an empty SVG entry.
    MifEntry GetEntry(int i) const;
    const QList<MifEntry> &entries() const { return m_entries; }

    // Appends an SVG picture as two entries, the second its virtual copy. Fails, changing
    // nothing, only when the file would outgrow its 32-bit positions.
    Result<void> AddSvgEntry(const QByteArray &svgText);
    // Appends a bitmap picture as two entries with the next bitmap number, each with its own
    // copy of the picture.
    Result<void> AddBitmapEntry(const QImage &picture);

    // Writes the .mif at path and, when there are bitmap entries, the companion .mbm (the path
    // with its last three characters replaced by "mbm"). The .mbm is packed first, so a
    // converter failure leaves both old files as they were.
    Result<void> SaveToFile(const QString &path);
    // Replaces the entries with those of the file; bitmap entries get their pictures from the
    // companion .mbm (findCompanionMbm). A .mif that cannot be read leaves the list as it was. A
    // picture the .mbm does not deliver (converter failure, number out of range) leaves that
    // entry's Bitmap null; the converter's failures have gone to OnMessage. A missing .mbm is not
    // handed to the converter at all: its complaint would name its scratch copy, not the user's
    // file, so the entries are simply left without pictures.
    Result<void> LoadFromFile(const QString &path);

private:
    void report(const QString &text) const;

    QList<MifEntry> m_entries;
};

// The .mbm that goes with a .mif: the same path with "mbm" for its last three characters. This
// is the name a .mbm is written under.
QString companionMbmPath(const QString &mifPath);
// The companion .mbm to read: companionMbmPath, or when that is missing the file of the same
// name in another case in the .mif's folder (UP.MBM beside UP.MIF); companionMbmPath when there
// is neither.
QString findCompanionMbm(const QString &mifPath);
// "X.mbm: not found next to X.mif" when the .mif's companion .mbm is not there as a file, in any
// case; nothing when it is.
std::optional<QString> missingCompanionMbm(const QString &mifPath);
