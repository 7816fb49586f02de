#include "cli/ArgumentNames.h"

#include "cli/Cli.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <cctype>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

// The length of the valid UTF-8 sequence at bytes[at] (no overlong forms, no surrogates,
// nothing past U+10FFFF), or 0.
int sequenceAt(const QByteArray &bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) {
        return quint8(bytes[i]);
    };
    const quint8 lead = byte(at);
    const int length = lead < 0x80                    ? 1
                       : lead >= 0xC2 && lead <= 0xDF ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
    if (length == 0 || at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    }
    const quint8 second = length > 1 ? byte(at + 1) : 0;
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

bool isUtf8(const QByteArray &bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = sequenceAt(bytes, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

// An ending the commands judge files by (".skin", ".sis", ".png"), kept on the stand-in.
QString endingOf(const QByteArray &argument)
{
    const qsizetype slash = argument.lastIndexOf('/');
    const qsizetype dot = argument.lastIndexOf('.');
    if (dot <= slash + 1)
        return {};
    const QByteArray ending = argument.mid(dot);
    for (const char c : ending.mid(1)) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return {};
    }
    return QString::fromLatin1(ending);
}

QByteArray currentFolder()
{
    QByteArray buffer(4096, '\0');
    while (::getcwd(buffer.data(), std::size_t(buffer.size())) == nullptr) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return QByteArray(buffer.constData());
}

} // namespace

namespace {

// The stand-ins of this run and the bytes each stands for.
QHash<QString, QByteArray> &standInBytes()
{
    static QHash<QString, QByteArray> bytes;
    return bytes;
}

} // namespace

QString argumentText(const QString &argument)
{
    const auto found = standInBytes().constFind(argument);
    return found == standInBytes().cend() ? argument : QString::fromUtf8(*found);
}

QString shownBytes(const QByteArray &bytes)
{
    QString shown;
    for (qsizetype at = 0; at < bytes.size();) {
        if (const int length = sequenceAt(bytes, at)) {
            shown += QString::fromUtf8(bytes.mid(at, length));
            at += length;
        } else {
            shown += QStringLiteral("\\x%1").arg(quint8(bytes[at]), 2, 16, QLatin1Char('0'));
            ++at;
        }
    }
    return terminalSafe(shown);
}

std::optional<QStringList> ArgumentNames::take(int argc, char **argv, QString &error)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (isUtf8(argument)) {
            arguments.append(QString::fromUtf8(argument));
            continue;
        }
        const auto standing = standIn(argument, error);
        if (!standing)
            return std::nullopt;
        arguments.append(*standing);
    }
    return arguments;
}

std::optional<QString> ArgumentNames::standIn(const QByteArray &argument, QString &error)
{
    if (!m_folder) {
        m_folder = std::make_unique<platform::ScratchFolder>();
        if (!m_folder->isValid()) {
            error = m_folder->errorText();
            return std::nullopt;
        }
    }
    QByteArray target = argument;
    if (!target.startsWith('/'))
        target = currentFolder() + '/' + target;
    const QString path =
        m_folder->path() +
        QStringLiteral("name-%1%2").arg(m_shown.size() + 1).arg(endingOf(argument));
    if (::symlink(target.constData(), QFile::encodeName(path).constData()) != 0) {
        error = QStringLiteral("%1: %2").arg(shownBytes(argument),
                                             QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    m_shown.append({path, shownBytes(argument)});
    standInBytes().insert(path, argument);
    return path;
}

QString ArgumentNames::restored(QString text) const
{
    // The longest first, so name-1 never cuts into name-10.
    for (auto shown = m_shown.crbegin(); shown != m_shown.crend(); ++shown)
        text.replace(shown->first, shown->second);
    return text;
}
