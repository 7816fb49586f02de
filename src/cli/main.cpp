#include "cli/ArgumentNames.h"
#include "cli/Cli.h"
#include "platform/FileOps.h"
#include "platform/FontAliases.h"
#include "platform/TerminationSignals.h"

#include <QDir>
#include <QGuiApplication>
#include <QIODevice>

#include <csignal>
#include <cstdio>
#include <new>

namespace {

// Standard output or error, a line at a time, with every stand-in for a file name the system
// gave as bytes named as the user gave it.
class RestoringOutput : public QIODevice
{
public:
    RestoringOutput(std::FILE *file, const ArgumentNames &names)
        : m_file(file)
        , m_names(names)
    {
        open(QIODevice::WriteOnly);
    }
    ~RestoringOutput() override { finish(); }
    void finish()
    {
        put(m_pending);
        m_pending.clear();
        std::fflush(m_file);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_pending.append(data, size);
        for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
            put(m_pending.left(end + 1));
            m_pending.remove(0, end + 1);
        }
        return size;
    }

private:
    void put(const QByteArray &text)
    {
        const QByteArray shown = m_names.restored(QString::fromUtf8(text)).toUtf8();
        std::fwrite(shown.constData(), 1, std::size_t(shown.size()), m_file);
    }

    std::FILE *m_file;
    const ArgumentNames &m_names;
    QByteArray m_pending;
};

} // namespace

int main(int argc, char *argv[])
{
    // Past `ulimit -f` a write fails with "File too large" and is reported, instead of the
    // signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    // Drawing needs fonts, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::ensureRuntimeFolder();
    // Killed or interrupted, a command leaves no scratch folder behind.
    platform::removeScratchOnTerminationSignals();
    QGuiApplication app(argc, argv);
    ArgumentNames names;
    RestoringOutput outDevice(stdout, names);
    RestoringOutput errDevice(stderr, names);
    QTextStream out(&outDevice);
    QTextStream err(&errDevice);
    QString problem;
    const auto arguments = names.take(argc, argv, problem);
    if (!arguments) {
        err << QStringLiteral("velmora-cli: %1\n").arg(problem);
        return 1;
    }
    // The phone fonts' stand-ins, as the window draws with them.
    const QString programFolder = QDir(QCoreApplication::applicationDirPath()).absolutePath();
    if (auto fonts = platform::loadFontAliases(programFolder + QStringLiteral("/fonts.conf"));
        !fonts)
        err << QStringLiteral("velmora-cli: warning: %1\n").arg(fonts.error().message);
    int code = 1;
    try {
        code = runCli(*arguments, out, err);
    } catch (const std::bad_alloc &) {
        out.flush();
        outDevice.finish();
        errDevice.finish();
        std::fputs("velmora-cli: out of memory\n", stderr);
        return 1;
    }
    out.flush();
    err.flush();
    return code;
}
