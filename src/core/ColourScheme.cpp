#include "core/ColourScheme.h"

#include <algorithm>

namespace {

struct SlotInfo
{
    const char16_t *caption;
    TColor colour;
};

const SlotInfo kSlots[kSlotCount] = {
    {u"ник контакта", makeColor(0, 51, 255)},
    {u"ник контакта, выделенного курсором/полоска над часами", makeColor(0, 51, 255)},
    {u"часы/T9", makeColor(0, 51, 255)},
    {u"разделитель \"В сети/Не в сети\"/группы", makeColor(0, 51, 255)},
    {u"текст левого софта", makeColor(0, 0, 0)},
    {u"текст правого софта", makeColor(0, 0, 0)},
    {u"фон меню/настроек", makeColor(212, 208, 200)},
    {u"текст меню/настроек/всплывающих окон", makeColor(0, 0, 0)},
    {u"обводка курсора в меню/обводка меню", makeColor(0, 0, 0)},
    {u"фон курсора в меню/настройках", makeColor(182, 189, 210)},
    {u"текст пункта меню, выделенного курсором", makeColor(0, 0, 0)},
    {u"текст в редакторах", makeColor(0, 0, 255)},
    {u"резерв1", makeColor(0, 0, 0)},
    {u"ник контакта и время сообщения в чате", makeColor(255, 0, 0)},
    {u"ваш ник и время сообщения в чате", makeColor(0, 0, 255)},
    {u"текст сообщения в чате", makeColor(0, 0, 0)},
    {u"xTraz-сообщение в чате", makeColor(255, 0, 0)},
    {u"мигающий ник контакта при входе", makeColor(255, 0, 0)},
    {u"резерв2", makeColor(0, 0, 0)},
    {u"резерв3", makeColor(0, 0, 0)},
};

} // namespace

QString colorToHex(TColor c)
{
    return QStringLiteral("#%1%2%3")
        .arg(colorRed(c), 2, 16, QLatin1Char('0'))
        .arg(colorGreen(c), 2, 16, QLatin1Char('0'))
        .arg(colorBlue(c), 2, 16, QLatin1Char('0'))
        .toUpper();
}

std::optional<TColor> parseColourText(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u'#'))
        text = text.mid(1);
    if (text.size() != 3 && text.size() != 6)
        return std::nullopt;
    // toUInt would take a sign or a "0x" too; only the digits themselves make a colour.
    const auto hexDigit = [](QChar c) {
        const char16_t u = c.toLower().unicode();
        return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f');
    };
    if (!std::ranges::all_of(text, hexDigit))
        return std::nullopt;
    const uint value = text.toUInt(nullptr, 16);
    if (text.size() == 6)
        return makeColor(int(value >> 16) & 0xFF, int(value >> 8) & 0xFF, int(value) & 0xFF);
    // Each digit of the short form stands for itself twice: "#F80" is "#FF8800".
    const auto twice = [](uint digit) {
        return int(digit * 17);
    };
    return makeColor(twice((value >> 8) & 0xF), twice((value >> 4) & 0xF), twice(value & 0xF));
}

QString hexText(int component)
{
    return QStringLiteral("%1").arg(component & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

int parseHexComponent(const QString &text)
{
    const auto digit = [](QChar ch) {
        const char16_t c = ch.toLower().unicode();
        if (c >= u'0' && c <= u'9')
            return int(c - u'0');
        if (c >= u'a' && c <= u'f')
            return int(c - u'a' + 10);
        return 0;
    };
    const int high = text.size() > 0 ? digit(text[0]) : 0;
    const int low = text.size() > 1 ? digit(text[1]) : 0;
    return high * 16 + low;
}

QString slotCaption(int slot)
{
    return QString::fromUtf16(kSlots[slot].caption);
}

TColor defaultSlotColour(int slot)
{
    return kSlots[slot].colour;
}

void ColourScheme::setDefault()
{
    m_table[0] = kFixedWhite;
    for (int slot = 0; slot < kSlotCount; ++slot)
        setSlotColour(slot, defaultSlotColour(slot));
    m_selectedSlot = 0;
    m_resetColour = slotColour(0);
}

void ColourScheme::selectSlot(int slot)
{
    m_selectedSlot = slot;
    m_resetColour = slotColour(slot);
}
