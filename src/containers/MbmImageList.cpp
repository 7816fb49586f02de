#include "containers/MbmImageList.h"

#include "containers/PictureCodecs.h"
#include "containers/RunCaptured.h"
#include "core/SkinFile.h"
#include "platform/FileOps.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>

#include <algorithm>

namespace {

// The reason the converter gave on its last error line ("bmconv: <file>: <reason>"), without
// the scratch file it names; empty when it gave none.
QString converterReason(const QString &output)
{
    const QStringList lines = output.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (!line->startsWith(QStringLiteral("bmconv: ")))
            continue;
        QString reason = line->mid(8).trimmed();
        const qsizetype colon = reason.indexOf(QStringLiteral(": "));
        if (colon > 0 && (reason.left(colon).contains(u'/') ||
                          reason.left(colon).endsWith(QStringLiteral(".bmp"))))
            reason = reason.mid(colon + 2);
        return reason;
    }
    return {};
}

const QString kTempMbm = QStringLiteral("temp/temp.mbm");
// More bitmaps than any real file holds; a count above it is a broken file, not a reason to
// allocate.
constexpr int kMaxBitmaps = 65536;

const std::pair<const char *, const char *> kDepthFlags[] = {
    {"1 Bpp Monochrome", "/1"}, {"2 Bpp Monochrome", "/2"}, {"4 Bpp Monochrome", "/4"},
    {"8 Bpp Monochrome", "/8"}, {"4 Bpp Colour", "/c4"},    {"8 Bpp Colour", "/c8"},
    {"12 Bpp Colour", "/c12"},  {"16 Bpp Colour", "/c16"},  {"24 Bpp Colour", "/c24"},
    {"32 Bpp Colour", "/c32"},
};

QString bmpName(int k)
{
    return QStringLiteral("temp/%1.bmp").arg(k);
}

// "temp/temp.mbm is a File store containing 2 bitmaps" -> "2".
std::optional<QString> countText(const QString &line)
{
    for (const QString &kind : {QStringLiteral("File store"), QStringLiteral("ROM image")}) {
        const QString prefix =
            kTempMbm + QStringLiteral(" is a ") + kind + QStringLiteral(" containing");
        if (!line.startsWith(prefix))
            continue;
        const qsizetype start = prefix.size() + 1;
        const qsizetype bitmap = line.indexOf(QStringLiteral("bitmap"), start);
        return line.mid(start, bitmap < 0 ? -1 : bitmap - 1 - start);
    }
    return std::nullopt;
}

// picture·(765 − k) + background·k over 765, rounded to the nearest whole number. 765 is odd, so
// the quotient is never exactly half way and integer arithmetic rounds as the floating-point mix
// with its ties to even always did.
int blendComponent(int picture, int background, int k)
{
    const int n = picture * (765 - k) + background * k;
    const int q = n / 765;
    return q + (2 * (n - q * 765) > 765 ? 1 : 0);
}

} // namespace

QString DepthFlag(const QString &colourMode)
{
    for (const auto &[label, flag] : kDepthFlags) {
        if (colourMode == QLatin1String(label))
            return QString::fromLatin1(flag);
    }
    return {};
}

int MbmImageList::Width() const
{
    return m_items.isEmpty() ? 0 : m_items.first().Bitmap.width();
}

int MbmImageList::Height() const
{
    return m_items.isEmpty() ? 0 : m_items.first().Bitmap.height();
}

void MbmImageList::report(const QString &text) const
{
    if (OnProgress)
        OnProgress(text);
}

void MbmImageList::message(const QString &text) const
{
    if (OnMessage)
        OnMessage(QString(), text);
}

QString MbmImageList::tempPath(const QString &name) const
{
    return QDir(WorkFolder).filePath(name);
}

void MbmImageList::Add(const QImage &picture)
{
    report(QStringLiteral("Добавление картинки"));
    m_items.append(
        {picture.convertToFormat(QImage::Format_RGB32), QStringLiteral("16 Bpp Colour")});
}

void MbmImageList::AddItem(const MbmItem &item)
{
    report(QStringLiteral("Добавление картинки"));
    m_items.append({item.Bitmap.convertToFormat(QImage::Format_RGB32), item.ColourMode});
}

Result<void> MbmImageList::run(const QStringList &arguments, QString &output)
{
    auto ran = RunCaptured(ToolName, arguments, WorkFolder, output);
    if (!ran && OnMessage)
        OnMessage(QStringLiteral("RunCaptured Error"), ran.error().message);
    return ran;
}

std::unexpected<Error> MbmImageList::failLoad(const QString &text)
{
    m_items.clear();
    message(text);
    return fail(Error::corrupt(text));
}

Result<int> MbmImageList::readInformation()
{
    report(QStringLiteral("Получение информации о файле:\r\nExecuteFile(%1 /v %2);")
               .arg(ToolName, kTempMbm));
    QString output;
    (void)run({QStringLiteral("/v"), kTempMbm}, output);
    report(output);
    int count = 0;
    int k = 1;
    while (!output.isEmpty()) {
        const QString line = NextLine(output);
        if (const auto text = countText(line)) {
            bool ok = false;
            count = text->toInt(&ok);
            if (!ok || count < 0 || count > kMaxBitmaps) {
                return fail(Error::corrupt(
                    QCoreApplication::translate("Mbm", "%1: the converter reported \"%2\" bitmaps")
                        .arg(kTempMbm, *text)));
            }
            m_items.resize(count);
        } else if (line == u"Problem reading number of bitmaps ") {
            return failLoad(
                QStringLiteral("Ошибка чтения файла %1. Битый файл.\r\nЗагрузка файла прекращена")
                    .arg(kTempMbm));
        } else if (line == QStringLiteral("Bitmap %1 information:").arg(k)) {
            NextLine(output);
            NextLine(output);
            const QString mode = NextLine(output);
            NextLine(output);
            if (k <= m_items.size())
                m_items[k - 1].ColourMode = mode;
            ++k;
        }
    }
    return count;
}

Result<void> MbmImageList::unpack(int count)
{
    QStringList arguments = {QStringLiteral("/u"), kTempMbm};
    for (int k = 1; k <= count; ++k)
        arguments.append(bmpName(k));
    QString output;
    (void)run(arguments, output);
    report(QStringLiteral("Извлечение файлов:\r\nExecuteFile(%1 /u %2%3);")
               .arg(ToolName, kTempMbm, count ? u' ' + arguments.mid(2).join(u' ') : QString()));
    report(output);
    const QStringList lines = capturedLines(output);
    if (lines.contains(QStringLiteral("Number of sources/targets mismatch."))) {
        return failLoad(QStringLiteral("Ошибка чтения файла %1. Число битмапов некорректно. "
                                       "Опрерация завершена")
                            .arg(kTempMbm));
    }
    if (lines.isEmpty() || lines.last() != u"Success.") {
        return failLoad(QStringLiteral("Программа не смогла корректно проанализировать данные "
                                       "командной строки\r\nОперация прекращена"));
    }
    return {};
}

Result<void> MbmImageList::LoadFromMBM(const QString &path)
{
    const QString copy = tempPath(kTempMbm);
    report(QStringLiteral("Создание копии файла \"%1\": \"%2\"").arg(path, copy));
    // An old copy must never stand in for a file that could not be copied.
    QFile::remove(copy);
    QFile::copy(path, copy);
    for (MbmItem &item : m_items)
        item.Bitmap = QImage();

    auto count = readInformation();
    if (!count) {
        m_items.clear();
        return fail(count.error());
    }
    VELMORA_TRY(unpack(*count));
    for (int k = 1; k <= *count; ++k) {
        report(QStringLiteral("Загрузка файла \"%1\"...").arg(bmpName(k)));
        const auto bytes = readWholeFile(tempPath(bmpName(k)));
        auto image = bytes ? decodeBmp(*bytes, bmpName(k)) : fail(bytes.error());
        if (!image)
            return failLoad(image.error().message);
        m_items[k - 1].Bitmap = image->convertToFormat(QImage::Format_RGB32);
    }
    return {};
}

Result<void> MbmImageList::SaveToMBM(const QString &path)
{
    QStringList arguments = {kTempMbm};
    QString flag;
    for (int i = 1; i <= Count(); ++i) {
        const QString name = bmpName(i);
        VELMORA_TRY(writeFileAtomically(tempPath(name), encodeBmp24(m_items[i - 1].Bitmap)));
        if (const QString itemFlag = DepthFlag(m_items[i - 1].ColourMode); !itemFlag.isEmpty())
            flag = itemFlag;
        arguments.append(flag + name);
    }
    report(QStringLiteral("Сохранение bmp файлов в mbm:\r\nExecuteFile(%1 %2);")
               .arg(ToolName, arguments.join(u' ')));
    // Without this a failed pack would hand on whatever an earlier run left behind.
    QFile::remove(tempPath(kTempMbm));
    QString output;
    VELMORA_TRY(run(arguments, output));
    report(output);
    report(QStringLiteral("Создание копии файла \"%1\": \"%2\"").arg(tempPath(kTempMbm), path));
    const auto packed = readWholeFile(tempPath(kTempMbm));
    if (!packed) {
        // Said once, by whoever called: in the converter's own words when it gave a reason.
        const QString reason = converterReason(output);
        return fail(Error::io(
            reason.isEmpty()
                ? QCoreApplication::translate("Mbm", "%1: the bitmap converter wrote no file")
                      .arg(path)
                : QStringLiteral("%1: %2").arg(path, reason)));
    }
    return writeFileAtomically(path, *packed);
}

void MbmImageList::DrawMasked(QImage &canvas, int x, int y, int i) const
{
    QPainter painter(&canvas);
    DrawMasked(painter, x, y, i);
}

void MbmImageList::DrawMasked(QPainter &painter, int x, int y, int i) const
{
    if (i < 0 || i >= Count() || m_items[i].Bitmap.isNull())
        return;
    const auto *canvas = dynamic_cast<const QImage *>(painter.device());
    if (!canvas)
        return;
    const QImage &icon = m_items[i].Bitmap;
    QImage scratch =
        canvas->copy(x, y, icon.width(), icon.height()).convertToFormat(QImage::Format_RGB32);
    if (i + 1 < Count() && !m_items[i + 1].Bitmap.isNull()) {
        const MbmItem &mask = m_items[i + 1];
        const QRgb key =
            mask.ColourMode == u"8 Bpp Monochrome" ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        BlendWithMask(icon, scratch, mask.Bitmap, key);
    } else {
        scratch = icon;
    }
    painter.drawImage(x, y, scratch);
}

void BlendWithMask(const QImage &picture, QImage &background, const QImage &mask, QRgb key)
{
    if (picture.width() < background.width() || picture.height() < background.height())
        return;
    const QImage pic = picture.convertToFormat(QImage::Format_RGB32);
    const QImage msk = mask.convertToFormat(QImage::Format_RGB32);
    if (background.format() != QImage::Format_RGB32)
        background = background.convertToFormat(QImage::Format_RGB32);
    const bool whiteKey = qRed(key) == 255;
    // Pixels beyond a smaller mask show the picture itself.
    const QRgb beyond = whiteKey ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    const int width = background.width();
    const int maskWidth = std::min(width, msk.width());
    for (int y = 0; y < background.height(); ++y) {
        auto *out = reinterpret_cast<QRgb *>(background.scanLine(y));
        const auto *in = reinterpret_cast<const QRgb *>(pic.constScanLine(y));
        const auto *weights =
            y < msk.height() ? reinterpret_cast<const QRgb *>(msk.constScanLine(y)) : nullptr;
        for (int x = 0; x < width; ++x) {
            const QRgb m = weights && x < maskWidth ? weights[x] : beyond;
            if (((m ^ key) & 0xFFFFFF) == 0)
                continue;
            const int s = qRed(m) + qGreen(m) + qBlue(m);
            // The background's weight, in 765ths.
            const int k = whiteKey ? s : 765 - s;
            const QRgb b = out[x];
            out[x] = qRgb(blendComponent(qRed(in[x]), qRed(b), k),
                          blendComponent(qGreen(in[x]), qGreen(b), k),
                          blendComponent(qBlue(in[x]), qBlue(b), k));
        }
    }
}
