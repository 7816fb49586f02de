// File names the system gives as bytes that are not UTF-8 reach the very files they name, and
// come back to the terminal escaped, never as the U+FFFD that would name another file.
#include "TestFiles.h"
#include "cli/ArgumentNames.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct RawRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray drain(int fd)
{
    QByteArray bytes;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, got);
    ::close(fd);
    return bytes;
}

// velmora-cli run with its arguments as bytes, in folder; what it printed goes to files, so
// neither pipe can fill up while the other is waited on.
RawRun runRaw(const QByteArray &folder, const std::vector<QByteArray> &arguments)
{
    const QByteArray program = QByteArrayLiteral(VELMORA_PROGRAM_DIR "/velmora-cli");
    std::vector<char *> argv{const_cast<char *>(program.constData())};
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    const QByteArray outPath = folder + "/.out", errPath = folder + "/.err";
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
            ::chdir(folder.constData()) != 0)
            ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    RawRun run;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.code = WEXITSTATUS(status);
    run.out = drain(::open(outPath.constData(), O_RDONLY));
    run.err = drain(::open(errPath.constData(), O_RDONLY));
    ::unlink(outPath.constData());
    ::unlink(errPath.constData());
    return run;
}

bool isDirectory(const QByteArray &path)
{
    struct stat info
    {
    };
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isFile(const QByteArray &path)
{
    struct stat info
    {
    };
    return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// Counted and removed by bytes: Qt cannot name these files.
std::size_t entriesIn(const QByteArray &folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto &entry :
         std::filesystem::directory_iterator(folder.toStdString()))
        ++count;
    return count;
}

class NonUtf8Names : public ::testing::Test
{
protected:
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder().toStdString(), ignored);
    }
    QByteArray folder() const { return QFile::encodeName(m_dir.path()); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(NonUtf8Names, ReadersOpenTheNamedFileAndSayItsNameEscaped)
{
    RawRun made = runRaw(folder(), {"export", "-o", ".", "--kind", "skin+mif", "--name", "k"});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const QByteArray skin = folder() + "/bad\xff.skin";
    ASSERT_EQ(::rename((folder() + "/k.skin").constData(), skin.constData()), 0);
    const RawRun shown = runRaw(folder(), {"skin", "show", "bad\xff.skin"});
    EXPECT_EQ(shown.code, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.startsWith("0 #")) << shown.out.toStdString();

    ASSERT_EQ(::rename((folder() + "/k.mif").constData(), (folder() + "/p\xfe.mif").constData()),
              0);
    const RawRun mif = runRaw(folder(), {"mif", "show", "p\xfe.mif"});
    EXPECT_EQ(mif.code, 0) << mif.err.toStdString();
    EXPECT_TRUE(mif.out.startsWith("p\\xfe.mif: ")) << mif.out.toStdString();

    for (const char *verb : {"skin", "mif", "sis"}) {
        const QByteArray name =
            QByteArray("gone\xff\x1b[31m.") + (verb == QByteArray("skin")  ? "skin"
                                               : verb == QByteArray("mif") ? "mif"
                                                                           : "sis");
        const RawRun missing = runRaw(folder(), {verb, "show", name});
        EXPECT_EQ(missing.code, 1) << verb;
        EXPECT_TRUE(missing.err.contains("gone\\xff\\x1b[31m.")) << missing.err.toStdString();
        EXPECT_TRUE(missing.err.contains("No such file or directory")) << missing.err.toStdString();
        EXPECT_FALSE(missing.err.contains("\xef\xbf\xbd")) << "no replacement character";
    }
}

TEST_F(NonUtf8Names, WritersWriteUnderTheExactName)
{
    const RawRun exported =
        runRaw(folder(), {"export", "-o", "outdir\xff", "--kind", "skin+mif", "--name", "k"});
    ASSERT_EQ(exported.code, 0) << exported.err.toStdString();
    EXPECT_TRUE(isDirectory(folder() + "/outdir\xff"));
    EXPECT_FALSE(isDirectory(folder() + "/outdir\xef\xbf\xbd"));
    EXPECT_TRUE(isFile(folder() + "/outdir\xff/k.skin"));
    EXPECT_TRUE(isFile(folder() + "/outdir\xff/k.mif"));
    EXPECT_EQ(exported.out, "outdir\\xff/k.skin\noutdir\\xff/k.mif\n");

    const QByteArray picture =
        QFile::encodeName(QStringLiteral(VELMORA_PROGRAM_DIR "/default_cursor.jpg"));
    const RawRun wrapped = runRaw(folder(), {"svg", "wrap", picture, "-o", "w\xff.svg"});
    ASSERT_EQ(wrapped.code, 0) << wrapped.err.toStdString();
    EXPECT_TRUE(isFile(folder() + "/w\xff.svg"));
    EXPECT_FALSE(isFile(folder() + "/w\xef\xbf\xbd.svg"));
    EXPECT_EQ(wrapped.out, "w\\xff.svg\n");

    // Nothing of the stand-ins is left in the folder the command worked in.
    EXPECT_EQ(entriesIn(folder()), 2u);
}

TEST(ShownBytes, InvalidSequencesAreEscapedByteByByte)
{
    EXPECT_EQ(shownBytes("plain"), QStringLiteral("plain"));
    EXPECT_EQ(shownBytes("\xd0\xbf\xd1\x80\xd0\xb8"), QStringLiteral("при"));
    EXPECT_EQ(shownBytes("a\xff"), QStringLiteral("a\\xff"));
    EXPECT_EQ(shownBytes("\xc0\xaf"), QStringLiteral("\\xc0\\xaf")) << "overlong";
    EXPECT_EQ(shownBytes("\xed\xa0\x80"), QStringLiteral("\\xed\\xa0\\x80")) << "a surrogate";
    EXPECT_EQ(shownBytes("\xf4\x90\x80\x80"), QStringLiteral("\\xf4\\x90\\x80\\x80"));
    EXPECT_EQ(shownBytes("\xe2\x82"), QStringLiteral("\\xe2\\x82")) << "cut short";
    EXPECT_EQ(shownBytes("\xff\x1b[2J"), QStringLiteral("\\xff\\x1b[2J")) << "controls too";
}

// A text option is text, not a name: bytes that are not UTF-8 in it are replaced as they always
// were, never taken for the stand-in of a file.
TEST_F(NonUtf8Names, ACopyrightThatIsNotUtf8StaysText)
{
    const RawRun made = runRaw(folder(), {"export", "-o", ".", "--kind", "skin", "--name", "k",
                                          "--copyright", "(c) \xff me"});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const RawRun shown = runRaw(folder(), {"skin", "show", "k.skin", "--json"});
    ASSERT_EQ(shown.code, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.contains("(c) ")) << shown.out.toStdString();
    EXPECT_FALSE(shown.out.contains("name-1")) << shown.out.toStdString();
}
