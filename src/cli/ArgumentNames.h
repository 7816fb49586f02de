#pragma once

#include "platform/WritablePlaces.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The command line as the system gave it. A file name need not be UTF-8, and Qt turns the bytes
// that are not into U+FFFD, which names another file. Such an argument is handed on as a
// stand-in instead: a symbolic link with a plain name, in a private folder, pointing at the bytes
// themselves, so every reader and writer reaches the very file the user named without the name
// ever becoming text. Output that names a stand-in names the user's argument again, with its
// bytes that are not UTF-8 shown as \xHH.
class ArgumentNames
{
public:
    ArgumentNames() = default;
    ArgumentNames(const ArgumentNames &) = delete;
    ArgumentNames &operator=(const ArgumentNames &) = delete;

    // The arguments after the program's name; an error when a stand-in could not be made.
    std::optional<QStringList> take(int argc, char **argv, QString &error);
    // text with every stand-in's path replaced by the argument it stands for.
    QString restored(QString text) const;

private:
    std::optional<QString> standIn(const QByteArray &argument, QString &error);

    std::unique_ptr<platform::ScratchFolder> m_folder;
    QList<std::pair<QString, QString>> m_shown; // stand-in path, the argument as shown
};

// What a text option (a copyright, say) makes of an argument: for a stand-in, the bytes it
// stands for decoded as UTF-8, with U+FFFD where they are not; any other argument as it is.
QString argumentText(const QString &argument);

// bytes as text for a terminal: UTF-8 decoded, every byte that is not part of a valid sequence
// written as \xHH.
QString shownBytes(const QByteArray &bytes);
