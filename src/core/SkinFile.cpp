#include "core/SkinFile.h"

#include "core/Cp1251.h"
#include "platform/FileOps.h"
#include "platform/SystemReason.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

// .skin layout (little-endian, no header):
//   0   60 bytes  twenty R,G,B triples, slot 0 first
//   60  u16 N, N code units   MIF file name
//   ..  u16 M, M code units   copyright text (may be missing altogether)
// Anything after the copyright is ignored.

namespace {

constexpr int kColourBytes = kSlotCount * 3;
// Two full text fields are the most a reader ever looks at.
constexpr qint64 kMaxSkinBytes = kColourBytes + 2 * (2 + 2 * 0xFFFF);

// One whole sentence per part of the file, rather than the part's name put into one sentence:
// another language may need the name in another form or the words in another order.
struct FieldTexts
{
    const char *endedInside; // %1 the file, %2 its length in bytes
    const char *tooLong;     // %1 the length in characters
};

constexpr FieldTexts kColourRecords = {
    QT_TRANSLATE_NOOP("SkinFile", "%1: the file ends inside the colour records (at byte %2)"),
    nullptr};
constexpr FieldTexts kMifName = {
    QT_TRANSLATE_NOOP("SkinFile", "%1: the file ends inside the MIF file name (at byte %2)"),
    QT_TRANSLATE_NOOP("SkinFile",
                      "The MIF file name is too long for a .skin file (%1 characters, at most "
                      "65535)")};
constexpr FieldTexts kCopyright = {
    QT_TRANSLATE_NOOP("SkinFile", "%1: the file ends inside the copyright text (at byte %2)"),
    QT_TRANSLATE_NOOP("SkinFile",
                      "The copyright text is too long for a .skin file (%1 characters, at most "
                      "65535)")};

class SkinReader
{
public:
    SkinReader(const QByteArray &bytes, const QString &fileName)
        : m_bytes(bytes)
        , m_fileName(fileName)
    {}

    bool atEnd() const { return m_pos >= m_bytes.size(); }

    std::expected<quint8, Error> byte(const FieldTexts &what)
    {
        if (m_pos >= m_bytes.size())
            return fail(endedInside(what));
        return static_cast<quint8>(m_bytes[m_pos++]);
    }

    std::expected<QString, Error> textField(const FieldTexts &what)
    {
        if (m_pos + 2 > m_bytes.size())
            return fail(endedInside(what));
        const int count = unit(m_pos);
        m_pos += 2;
        if (m_pos + 2 * qsizetype(count) > m_bytes.size())
            return fail(endedInside(what));
        QString text;
        text.reserve(count);
        for (int i = 0; i < count; ++i, m_pos += 2)
            text.append(cp1251::toUnicode(skinByteFromCodeUnit(unit(m_pos))));
        return text;
    }

private:
    quint16 unit(qsizetype at) const
    {
        return quint16(quint8(m_bytes[at]) | quint8(m_bytes[at + 1]) << 8);
    }

    Error endedInside(const FieldTexts &what) const
    {
        return Error::truncated(QCoreApplication::translate("SkinFile", what.endedInside)
                                    .arg(m_fileName, QString::number(m_bytes.size())));
    }

    const QByteArray &m_bytes;
    QString m_fileName;
    qsizetype m_pos = 0;
};

void appendUnit(QByteArray &out, quint16 unit)
{
    out.append(static_cast<char>(unit & 0xFF));
    out.append(static_cast<char>(unit >> 8));
}

Result<void> appendTextField(QByteArray &out, const QString &text, const FieldTexts &what)
{
    if (text.size() > 0xFFFF) {
        return fail(
            Error::invalid(QCoreApplication::translate("SkinFile", what.tooLong).arg(text.size())));
    }
    appendUnit(out, quint16(text.size()));
    for (QChar ch : text)
        appendUnit(out, skinCodeUnitFromByte(cp1251::fromUnicode(ch)));
    return {};
}

} // namespace

quint16 skinCodeUnitFromByte(unsigned char byte)
{
    if (byte == 0xB8)
        return 0x0451;
    if (byte >= 0x84)
        return quint16(byte + 0x0350);
    return byte;
}

unsigned char skinByteFromCodeUnit(quint16 unit)
{
    if (unit == 0x0451)
        return 0xB8;
    if (unit >= 0x03D0 && unit <= 0x044F)
        return static_cast<unsigned char>(unit - 0x0350);
    return static_cast<unsigned char>(unit & 0xFF);
}

std::expected<SkinData, SkinReadFailure> readSkin(const QByteArray &bytes, const QString &fileName)
{
    SkinReader reader(bytes, fileName);
    SkinReadFailure failure;
    SkinData &skin = failure.partial;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        std::array<quint8, 3> rgb{};
        for (quint8 &component : rgb) {
            auto value = reader.byte(kColourRecords);
            if (!value) {
                failure.error = value.error();
                return std::unexpected(failure);
            }
            component = *value;
        }
        skin.colours[slot] = makeColor(rgb[0], rgb[1], rgb[2]);
        failure.coloursRead = slot + 1;
    }
    auto mifName = reader.textField(kMifName);
    if (!mifName) {
        failure.error = mifName.error();
        return std::unexpected(failure);
    }
    skin.mifName = *mifName;
    failure.mifNameRead = true;
    if (!reader.atEnd()) {
        auto copyright = reader.textField(kCopyright);
        if (!copyright) {
            failure.error = copyright.error();
            return std::unexpected(failure);
        }
        skin.copyright = *copyright;
    }
    return skin;
}

Result<QByteArray> writeSkin(const SkinData &skin)
{
    QByteArray out;
    out.reserve(kColourBytes + 4 + 2 * (skin.mifName.size() + skin.copyright.size()));
    for (TColor colour : skin.colours) {
        out.append(static_cast<char>(colorRed(colour)));
        out.append(static_cast<char>(colorGreen(colour)));
        out.append(static_cast<char>(colorBlue(colour)));
    }
    VELMORA_TRY(appendTextField(out, skin.mifName, kMifName));
    VELMORA_TRY(appendTextField(out, skin.copyright, kCopyright));
    return out;
}

Result<QByteArray> readSkinBytes(const QString &path)
{
    VELMORA_TRY(requireRegularFile(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(Error::io(
            QStringLiteral("%1: %2").arg(path, platform::readableReason(file.errorString()))));
    QByteArray bytes = file.read(kMaxSkinBytes);
    if (file.error() != QFileDevice::NoError)
        return fail(Error::io(
            QStringLiteral("%1: %2").arg(path, platform::readableReason(file.errorString()))));
    return bytes;
}

Result<void> loadSkinFile(const QString &path, ColourScheme &scheme, SkinTexts &texts)
{
    const QString name = QFileInfo(path).fileName();
    texts.skinFileName = name;
    texts.baseName = name.left(qMax(qsizetype(0), name.size() - 5));

    VELMORA_TRY_ASSIGN(const QByteArray bytes, readSkinBytes(path));
    auto skin = readSkin(bytes, path);
    const SkinData &data = skin ? *skin : skin.error().partial;
    const int coloursRead = skin ? kSlotCount : skin.error().coloursRead;
    for (int slot = 0; slot < coloursRead; ++slot)
        scheme.setSlotColour(slot, data.colours[slot]);
    if (skin || skin.error().mifNameRead)
        texts.mifName = data.mifName;
    if (!skin)
        return fail(skin.error().error);
    texts.copyright = data.copyright;
    return {};
}

Result<QString> saveSkinFile(const QString &folder, const ColourScheme &scheme, SkinTexts &texts)
{
    QString dir = folder;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    VELMORA_TRY(makeFolder(dir, false));
    if (!texts.skinFileName.endsWith(QStringLiteral(".skin"), Qt::CaseSensitive))
        texts.skinFileName += QStringLiteral(".skin");

    SkinData skin;
    for (int slot = 0; slot < kSlotCount; ++slot)
        skin.colours[slot] = scheme.slotColour(slot);
    skin.mifName = texts.mifName;
    skin.copyright = texts.copyright;
    VELMORA_TRY_ASSIGN(const QByteArray bytes, writeSkin(skin));
    const QString path = dir + texts.skinFileName;
    VELMORA_TRY(writeFileAtomically(path, bytes));
    return path;
}
