#pragma once

#include <QByteArray>
#include <QString>

// The sample conversation: who the partner is, and the marked-up chat body.
struct ChatSample
{
    quint8 ChatStatus = 0;
    quint8 ChatXStatusIcon = 0;
    quint8 ChatClientIcon = 0;
    QString ChatNick;
    QString ChatText;
};

// First line "status,x-status,client,nick" (the nick may hold commas), then the body, CR LF
// between lines. Icon numbers are used as they stand.
ChatSample readChatSample(const QByteArray &bytes);
