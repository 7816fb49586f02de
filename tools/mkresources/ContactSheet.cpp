#include "ContactSheet.h"

#include "PixelFont.h"

namespace {

constexpr int kColumns = 16;
constexpr int kCellWidth = 40;
constexpr int kCellHeight = 28;
constexpr int kMargin = 6;
constexpr int kTitleHeight = 12;

const QColor kSheet(0x8a, 0x8f, 0x98);
const QColor kLight(0xe6, 0xee, 0xf8);
const QColor kDark(0x1c, 0x26, 0x34);
const QColor kLabel(0xff, 0xff, 0xff);

int rowsFor(int count)
{
    return (count + kColumns - 1) / kColumns;
}

// Two swatches with the icon drawn on each, the number below.
void drawCell(QPainter &p, int x, int y, const QList<QImage> &layers, const QString &label)
{
    p.fillRect(x + 1, y + 1, 18, 18, kLight);
    p.fillRect(x + 20, y + 1, 18, 18, kDark);
    for (const QImage &layer : layers) {
        p.drawImage(x + 2, y + 2, layer);
        p.drawImage(x + 21, y + 2, layer);
    }
    drawPixelText(p, PixelFont::Small, label,
                  x + (kCellWidth - textWidth(PixelFont::Small, label)) / 2, y + 21, kLabel);
}

const QImage *iconOf(const QList<IconList> &lists, const QString &file, int number)
{
    for (const IconList &list : lists)
        if (list.file == file && number / 2 < list.icons.size())
            return &list.icons[number / 2].image;
    return nullptr;
}

} // namespace

QImage contactSheet(const QList<IconList> &lists, const QList<int> &statusTable)
{
    int height = kMargin;
    for (const IconList &list : lists)
        height += kTitleHeight + rowsFor(int(list.icons.size())) * kCellHeight + kMargin;
    if (!statusTable.isEmpty())
        height += kTitleHeight + rowsFor(int(statusTable.size())) * kCellHeight + kMargin;

    QImage sheet(kMargin * 2 + kColumns * kCellWidth, height, QImage::Format_RGB32);
    sheet.fill(kSheet);
    QPainter p(&sheet);
    int y = kMargin;

    for (const IconList &list : lists) {
        drawPixelText(p, PixelFont::Small, list.file.toUpper(), kMargin, y + 3, kLabel);
        y += kTitleHeight;
        for (int i = 0; i < list.icons.size(); ++i)
            drawCell(p, kMargin + (i % kColumns) * kCellWidth, y + (i / kColumns) * kCellHeight,
                     {list.icons[i].image}, QString::number(2 * i));
        y += rowsFor(int(list.icons.size())) * kCellHeight + kMargin;
    }

    if (!statusTable.isEmpty()) {
        drawPixelText(p, PixelFont::Small, QStringLiteral("STATUS NUMBERS 0-21 AS DRAWN"), kMargin,
                      y + 3, kLabel);
        y += kTitleHeight;
        const QString statusFile = QStringLiteral("ICQ/Status.mbm");
        for (int s = 0; s < statusTable.size(); ++s) {
            const int code = statusTable[s];
            QList<QImage> layers;
            if (code == 253) {
                if (const QImage *icon = iconOf(lists, QStringLiteral("Icons/pricons.mbm"), 90))
                    layers << *icon;
            } else {
                if (code < 24)
                    if (const QImage *base = iconOf(lists, statusFile, 24))
                        layers << *base;
                if (const QImage *icon = iconOf(lists, statusFile, code))
                    layers << *icon;
            }
            drawCell(p, kMargin + (s % kColumns) * kCellWidth, y + (s / kColumns) * kCellHeight,
                     layers, QString::number(s));
        }
    }
    return sheet;
}
