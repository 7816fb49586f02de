#include "core/ColourScheme.h"

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
