#include "SampleTexts.h"

#include "core/Cp1251.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// Colour markers name a colour table index: the scheme slot plus one.
QString colour(int index)
{
    return QStringLiteral("<~~<color%1>~~>").arg(index, 2, 10, QLatin1Char('0'));
}

QString xStatus(int number)
{
    return QStringLiteral("<~~<xstatus%1>~~>").arg(number, 2, 10, QLatin1Char('0'));
}

// Slots of the chat window's conversation, as colour table indexes.
constexpr int kPartnerNick = 14;
constexpr int kOwnNick = 15;
constexpr int kMessage = 16;
constexpr int kXStatusMessage = 17;

const QString kIn = QStringLiteral("[cover_in]");
const QString kOut = QStringLiteral("[cover_out]");
const QString kOutViewed = QStringLiteral("[cover_out_v]");

} // namespace

QString smileyList(const QList<Smiley> &set)
{
    QStringList lines;
    for (const Smiley &smiley : set)
        lines << smiley.codes.join(u',');
    return lines.join(kLineEnd);
}

QString chatSample()
{
    const QString partner = QStringLiteral("Маша");
    const QString me = QStringLiteral("Андрей");
    auto said = [](const QString &direction, const QString &nick, const QString &time, int slot) {
        return colour(slot) + direction + nick + QStringLiteral(" (") + time + QStringLiteral("):");
    };
    auto text = [](const QString &message) {
        return colour(kMessage) + message;
    };

    // Status 7 (online), x-status icon 18 (coffee), client icon 6: icon numbers as drawn.
    const QStringList lines{
        QStringLiteral("7,18,6,") + partner,
        colour(kXStatusMessage) + xStatus(10) + QStringLiteral(" Кофе: утро без кофе — не утро"),
        said(kIn, partner, QStringLiteral("09:41:12"), kPartnerNick),
        text(QStringLiteral("Привет! Ты уже проснулся? :-)")),
        said(kOutViewed, me, QStringLiteral("09:42:03"), kOwnNick),
        text(QStringLiteral("Привет! Давно уже, сижу на работе ;-)")),
        said(kIn, partner, QStringLiteral("09:42:40"), kPartnerNick),
        text(QStringLiteral("А я только встала :-D Вечером в кино идём?")),
        said(kOutViewed, me, QStringLiteral("09:43:15"), kOwnNick),
        text(QStringLiteral("Конечно! Билеты на 19:30 уже купил 8-)")),
        said(kIn, partner, QStringLiteral("09:44:02"), kPartnerNick),
        text(QStringLiteral("Ура! Ты лучший :-*")),
        said(kOut, me, QStringLiteral("09:44:30"), kOwnNick),
        text(QStringLiteral("Тогда до вечера! @}->--")),
    };
    return lines.join(kLineEnd);
}

QString contactListSample()
{
    const QStringList lines{
        QStringLiteral("# Пример списка контактов для окна предпросмотра."),
        QStringLiteral("# Сохраните его как CList.txt рядом с программой, и предпросмотр покажет"),
        QStringLiteral("# этот список вместо случайного."),
        QStringLiteral("#"),
        QStringLiteral("# Группа: {group = Название}"),
        QStringLiteral("# Контакт: ник,статус,x-статус,клиент,курсор,мигание"),
        QStringLiteral(
            "#   статус: 0 новое сообщение, 7 в сети, 8 отошёл, 9 злой, 10 на телефоне,"),
        QStringLiteral("#     11 депрессия, 12 на работе, 13 обедает, 14 занят, 15 не беспокоить,"),
        QStringLiteral("#     16 недоступен, 17 дома, 18 готов болтать, 19 не в сети,"),
        QStringLiteral("#     1 подключается, 2 с мобильного, 3 невидимый, 4 невидим для всех,"),
        QStringLiteral("#     5 ждёт авторизации, 6 не авторизован, 20 день рождения,"),
        QStringLiteral("#     21 игнорируется"),
        QStringLiteral("#   x-статус: 0..36, клиент: 0..42; 255 - без картинки"),
        QStringLiteral("#   курсор, мигание: 1 - да, 0 - нет"),
        QString(),
        QStringLiteral("{group = Друзья}"),
        QStringLiteral("Маша,7,9,3,0,0"),
        QStringLiteral("Лёша,18,15,0,1,0"),
        QStringLiteral("Катя,0,24,5,0,0"),
        QStringLiteral("Дима,8,19,12,0,0"),
        QStringLiteral("Оля,13,6,3,0,0"),
        QStringLiteral("Серёга,19,255,255,0,0"),
        QStringLiteral("Настя,19,255,255,0,0"),
        QString(),
        QStringLiteral("{group = Работа}"),
        QStringLiteral("Игорь Петрович,14,11,7,0,0"),
        QStringLiteral("Светлана,12,22,1,0,0"),
        QStringLiteral("Техподдержка,7,21,20,0,1"),
        QStringLiteral("Бухгалтерия,16,255,7,0,0"),
        QStringLiteral("Виктор,19,255,255,0,0"),
        QString(),
        QStringLiteral("{group = Семья}"),
        QStringLiteral("Мама,17,30,4,0,0"),
        QStringLiteral("Папа,2,7,4,0,0"),
        QStringLiteral("Бабушка,19,255,255,0,0"),
        QString(),
        QStringLiteral("{group = Учёба}"),
        QStringLiteral("Группа 301,10,16,9,0,0"),
        QStringLiteral("Антон,11,18,2,0,0"),
        QStringLiteral("Лена,19,255,255,0,0"),
    };
    return lines.join(kLineEnd);
}

Result<void> writeCp1251(const QString &path, const QString &text)
{
    for (QChar ch : text)
        if (!cp1251::isEncodable(ch))
            return fail(Error::invalid(QStringLiteral("%1: U+%2 has no code page 1251 byte")
                                           .arg(path)
                                           .arg(ch.unicode(), 4, 16, QLatin1Char('0'))));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray bytes = cp1251::encode(text);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(Error::io(QStringLiteral("%1: %2").arg(path, file.errorString())));
    return {};
}
