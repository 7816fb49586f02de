#include "preview/ChatSample.h"

#include "core/Cp1251.h"

#include <QStringList>

namespace {

QString takeUntilComma(QString &rest)
{
    const qsizetype comma = rest.indexOf(u',');
    const QString field = comma < 0 ? rest : rest.left(comma);
    rest = comma < 0 ? QString() : rest.mid(comma + 1);
    return field;
}

} // namespace

ChatSample readChatSample(const QByteArray &bytes)
{
    QStringList lines = cp1251::decode(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    ChatSample chat;
    QString header = lines.value(0);
    // Unreadable numbers give 0, a status the screens draw without trouble.
    chat.ChatStatus = quint8(takeUntilComma(header).trimmed().toInt());
    chat.ChatXStatusIcon = quint8(takeUntilComma(header).trimmed().toInt());
    chat.ChatClientIcon = quint8(takeUntilComma(header).trimmed().toInt());
    chat.ChatNick = header;
    chat.ChatText = lines.mid(1).join(QStringLiteral("\r\n"));
    return chat;
}
