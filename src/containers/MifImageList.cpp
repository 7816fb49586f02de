#include "containers/MifImageList.h"

#include "containers/MbmImageList.h"
#include "containers/PictureCodecs.h"
#include "core/Cp1251.h"
#include "core/SkinFile.h"
#include "platform/FileOps.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <limits>
#include <map>

namespace {

constexpr qint64 kMaxPosition = std::numeric_limits<qint32>::max();

// Every block moves one table row (8 bytes) further into the file; false when a position would
// leave the 32-bit range.
bool shiftBlocks(QList<MifEntry> &entries)
{
    for (MifEntry &entry : entries) {
        if (entry.Offset <= 0)
            continue;
        if (entry.Offset + qint64(kMifRowSize) > kMaxPosition)
            return false;
        entry.Offset += kMifRowSize;
    }
    return true;
}

std::unexpected<Error> tooLarge()
{
    return fail(Error::invalid(
        QCoreApplication::translate("Mif", "the pictures do not fit in a .mif (2 GB)")));
}

} // namespace

QString companionMbmPath(const QString &mifPath)
{
    return mifPath.left(std::max<qsizetype>(mifPath.size() - 3, 0)) + QStringLiteral("mbm");
}

QString findCompanionMbm(const QString &mifPath)
{
    return platform::findFileIgnoringCase(companionMbmPath(mifPath));
}

std::optional<QString> missingCompanionMbm(const QString &mifPath)
{
    if (QFileInfo(findCompanionMbm(mifPath)).isFile())
        return std::nullopt;
    return QCoreApplication::translate("Mif", "%1: not found next to %2")
        .arg(companionMbmPath(mifPath), mifPath);
}

void MifImageList::report(const QString &text) const
{
    if (OnProgress)
        OnProgress(text);
}

MifEntry MifImageList::GetEntry(int i) const
{
    return i >= 0 && i < Count() ? m_entries[i] : MifEntry();
}

Result<void> MifImageList::AddSvgEntry(const QByteArray &svgText)
{
    QList<MifEntry> entries = m_entries;
    entries.append(MifEntry());
    if (!shiftBlocks(entries))
        return tooLarge();
    // The new block goes after the last block there is, or at the start of the data area.
    qint64 free = kMifHeaderSize + qint64(kMifRowSize) * entries.size();
    for (const MifEntry &entry : entries) {
        if (free <= entry.Offset)
            free = qint64(entry.Offset) + entry.Length;
    }
    const qint64 length = svgText.size() + qint64(kMifBlockHeaderSize);
    // Room for the copy's row too, which moves this block by one more row.
    if (free + kMifRowSize + length > kMaxPosition)
        return tooLarge();
    MifEntry &added = entries.last();
    added.Offset = qint32(free);
    added.DataLength = qint32(svgText.size());
    added.Length = qint32(length);
    added.Data = svgText;
    entries.append(MifEntry());
    if (!shiftBlocks(entries))
        return tooLarge();
    entries.last() = entries[entries.size() - 2];
    m_entries = std::move(entries);
    report(QStringLiteral("Добавлен элемент:"));
    if (OnProgress)
        OnProgress(cp1251::decode(svgText));
    return {};
}

Result<void> MifImageList::AddBitmapEntry(const QImage &picture)
{
    // The bitmap converter takes no more; refused here, before a bitmap the size of the
    // picture is made for it.
    if (qint64(picture.width()) * picture.height() > kMaxBitmapPixels)
        return fail(Error::invalid(QCoreApplication::translate(
                                       "Mif", "a picture of %1 × %2 pixels is too large for a "
                                              "bitmap (at most %3 pixels); store it as JPEG or PNG")
                                       .arg(picture.width())
                                       .arg(picture.height())
                                       .arg(kMaxBitmapPixels)));
    QList<MifEntry> entries = m_entries;
    entries.append(MifEntry());
    if (!shiftBlocks(entries))
        return tooLarge();
    qint64 lowest = 0;
    for (const MifEntry &entry : entries)
        lowest = std::min<qint64>(lowest, entry.Offset);
    if (lowest - 1 < std::numeric_limits<qint32>::min())
        return tooLarge();
    MifEntry &added = entries.last();
    added.Offset = qint32(lowest - 1);
    added.IsBitmap = true;
    added.Bitmap = picture; // shared until either side changes it
    entries.append(MifEntry());
    if (!shiftBlocks(entries))
        return tooLarge();
    entries.last() = entries[entries.size() - 2];
    entries.last().Bitmap = picture.copy();
    m_entries = std::move(entries);
    HasBitmaps = true;
    report(QStringLiteral("Добавлены элементы:"));
    report(QStringLiteral("Bitmap %1 и его виртуальная копия").arg(m_entries.last().Offset));
    return {};
}

Result<void> MifImageList::SaveToFile(const QString &path)
{
    report(QStringLiteral("Загрузка файла: %1...").arg(path));
    const auto bytes = writeMif(m_entries);
    if (!bytes)
        return fail(Error::invalid(QStringLiteral("%1: %2").arg(path, bytes.error().message)));
    report(QStringLiteral("Число картинок: %1").arg(Count()));

    // Bitmap number k is the k-th bitmap of the .mbm, whatever order the entries name them in.
    std::map<qint64, int> firstEntryOf;
    for (int i = 0; i < Count(); ++i) {
        if (m_entries[i].IsBitmap)
            firstEntryOf.try_emplace(mifBitmapNumber(m_entries[i]), i);
    }
    if (!firstEntryOf.empty()) {
        report(QStringLiteral("Есть картинки в MBM, сохраняем..."));
        MbmImageList list;
        list.ToolName = ToolName;
        list.OnProgress = OnProgress;
        list.OnMessage = OnMessage;
        list.WorkFolder = WorkFolder;
        const QString companion = companionMbmPath(path);
        report(companion);
        qint64 expected = 1;
        for (const auto &[number, index] : firstEntryOf) {
            if (number != expected || m_entries[index].Bitmap.isNull()) {
                return fail(Error::invalid(
                    QCoreApplication::translate(
                        "Mif", "%1: entry %2 (bitmap %3) has no picture to pack as bitmap %4")
                        .arg(path)
                        .arg(index)
                        .arg(number)
                        .arg(expected)));
            }
            list.Add(m_entries[index].Bitmap);
            ++expected;
        }
        QDir(WorkFolder).mkpath(QStringLiteral("temp"));
        VELMORA_TRY(list.SaveToMBM(companion));
    }
    return writeFileAtomically(path, *bytes);
}

Result<void> MifImageList::LoadFromFile(const QString &path)
{
    report(QStringLiteral("Загрузка файла: %1...").arg(path));
    VELMORA_TRY_ASSIGN(const QByteArray bytes, readWholeFile(path));
    VELMORA_TRY_ASSIGN(auto contents, readMif(bytes, path, OnProgress));
    QList<MifEntry> &entries = contents.entries;
    const bool bitmaps =
        std::any_of(entries.cbegin(), entries.cend(), [](const MifEntry &e) { return e.IsBitmap; });
    if (bitmaps && !missingCompanionMbm(path)) {
        report(QStringLiteral("Есть картинки в MBM, загружаем..."));
        MbmImageList list;
        list.ToolName = ToolName;
        list.OnProgress = OnProgress;
        list.OnMessage = OnMessage;
        list.WorkFolder = WorkFolder;
        QDir(WorkFolder).mkpath(QStringLiteral("temp"));
        const QString companion = findCompanionMbm(path);
        // A failure has been shown through OnMessage and leaves the list empty: the entries
        // then simply get no pictures.
        (void)list.LoadFromMBM(companion);
        report(companion);
        for (MifEntry &entry : entries) {
            if (!entry.IsBitmap)
                continue;
            const qint64 k = mifBitmapNumber(entry);
            report(QStringLiteral("Картинка №%1 загружается").arg(k));
            if (k >= 1 && k <= list.Count())
                entry.Bitmap = list.Get(int(k - 1)).Bitmap.copy();
        }
    }
    m_entries = std::move(entries);
    HasBitmaps = bitmaps;
    return {};
}
