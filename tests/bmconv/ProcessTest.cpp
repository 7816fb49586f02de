#include "TestSupport.h"

#include "bmconv/Converter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>

// The converter is started as a POSIX child process: through a shell pipe, or forked and run
// directly where its two output channels and its limits matter.
#if __has_include(<sys/wait.h>)
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace bmconv;
using namespace bmconv::test;
namespace fs = std::filesystem;

namespace {

struct Process
{
    std::string out;
    int exitCode = -1;
};

// Runs the built converter in the current folder, as the MBM image list does.
Process runBmconv(const std::string &arguments)
{
    Process result;
    const std::string command =
        std::string("'") + BMCONV_EXECUTABLE + "' " + arguments + " 2>/dev/null";
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

struct Child
{
    std::string out;
    std::string err;
    int exitCode = -1; // -1 when a signal ended it
};

struct ChildSetup
{
    rlim_t fileSizeLimit = RLIM_INFINITY;
    std::string stdoutFile; // standard output goes to this file instead of the pipe
};

// In the forked child: only calls that are safe between fork and exec.
[[noreturn]] void becomeBmconv(char *const *argv, int out, int err, const ChildSetup &setup)
{
    if (!setup.stdoutFile.empty())
        out = ::open(setup.stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const rlimit limit{setup.fileSizeLimit, setup.fileSizeLimit};
    if (out < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
        ::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        ::_exit(126);
    ::execv(argv[0], argv);
    ::_exit(127);
}

// Reads both pipes to their end, whichever the child writes first.
void collect(int outFd, int errFd, Child &child)
{
    std::array<pollfd, 2> fds{{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}}};
    std::array<std::string *, 2> sinks{&child.out, &child.err};
    int open = 2;
    while (open > 0) {
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            ADD_FAILURE() << "poll failed";
            return;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

// Runs the built converter directly, without a shell, keeping its two channels apart.
Child runChild(std::vector<std::string> arguments, const ChildSetup &setup = {})
{
    arguments.insert(arguments.begin(), BMCONV_EXECUTABLE);
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    Child child;
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "no pipes";
        return child;
    }
    const pid_t pid = ::fork();
    if (pid == 0)
        becomeBmconv(argv.data(), out[1], err[1], setup);
    ::close(out[1]);
    ::close(err[1]);
    collect(out[0], err[0], child);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        ADD_FAILURE() << "the converter did not run";
    else if (WIFEXITED(status))
        child.exitCode = WEXITSTATUS(status);
    return child;
}

std::vector<std::string> namesInFolder()
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class BmconvProgram : public InTempFolder
{
};

} // namespace

TEST_F(BmconvProgram, PrintsTheSameBytesAndExitCodesAsTheLibrary)
{
    fs::copy_file(fixture("tiny_2x1_c16.mbm"), "temp/temp.mbm");

    const Process info = runBmconv("/v temp/temp.mbm");
    EXPECT_EQ(info.out, runConverter({"/v", "temp/temp.mbm"}).out);
    EXPECT_NE(info.out.find("temp/temp.mbm is a File store containing 1 bitmap\r\n"),
              std::string::npos);
    EXPECT_EQ(info.exitCode, 0);

    const Process unpacked = runBmconv("/u temp/temp.mbm temp/1.bmp");
    EXPECT_TRUE(unpacked.out.ends_with("Bitmap file 1\t: temp/1.bmp\r\nSuccess.\r\n"));
    EXPECT_EQ(unpacked.exitCode, 0);

    const Process packed = runBmconv("temp/again.mbm /c16temp/1.bmp");
    EXPECT_EQ(packed.exitCode, 0);
    EXPECT_EQ(readFile("temp/again.mbm"), readFile("temp/temp.mbm"));

    EXPECT_EQ(runBmconv("/u temp/temp.mbm temp/1.bmp temp/2.bmp").exitCode, 7);
    EXPECT_EQ(runBmconv("temp/x.mbm /c16temp/none.bmp").exitCode, 3);
    EXPECT_EQ(runBmconv("temp/x.mbm /c5temp/1.bmp").exitCode, 12);
    EXPECT_EQ(runBmconv("").exitCode, 0);
}

TEST_F(BmconvProgram, EveryFailureEndsWithANonZeroStatus)
{
    fs::copy_file(fixture("not_an_mbm.mbm"), "garbage.mbm");
    fs::copy_file(fixture("rle_overrun_c8.mbm"), "overrun.mbm");
    writeFile("empty.cmd", {});
    const std::string comments = "// nothing to do yet\r\n\x1A";
    writeFile("comments.cmd", Bytes(comments.begin(), comments.end()));
    fs::create_directory("folder");
    struct Case
    {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
        std::string why;
    };
    const std::vector<Case> cases = {
        {{"/v", "missing.mbm"}, 3, "File does not exist", "No such file or directory"},
        {{"/v", "garbage.mbm"}, 4, "Bad source file(s).", ""},
        {{"/v", "overrun.mbm"}, 11, "Decompression error.", ""},
        {{"/v", "folder"}, 4, "Bad source file(s).", "is a folder"},
        {{"missing.cmd"}, 6, "Bad command file.", "No such file or directory"},
        {{"empty.cmd"}, 6, "Bad command file.", "holds no arguments"},
        {{"comments.cmd"}, 6, "Bad command file.", "holds no arguments"},
        {{"folder"}, 6, "Bad command file.", "is a folder"},
    };
    for (const Case &c : cases) {
        const Child child = runChild(c.args);
        EXPECT_EQ(child.exitCode, c.exitCode) << c.args.back();
        EXPECT_NE(child.out.find("\r\n" + c.message + "\r\n"), std::string::npos) << child.out;
        EXPECT_NE(child.err.find(c.args.back() + ": " + c.why), std::string::npos) << child.err;
    }
}

TEST_F(BmconvProgram, UnreadableFilesSayPermissionDenied)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file of mode 000";
    fs::copy_file(fixture("tiny_2x1_c16.mbm"), "locked.mbm");
    writeFile("locked.cmd", Bytes{'/', 'v'});
    fs::permissions("locked.mbm", fs::perms::none);
    fs::permissions("locked.cmd", fs::perms::none);

    Child child = runChild({"/v", "locked.mbm"});
    EXPECT_EQ(child.exitCode, 4);
    EXPECT_EQ(child.out.find("File does not exist"), std::string::npos) << child.out;
    EXPECT_EQ(child.err, "bmconv: locked.mbm: Permission denied\n");
    child = runChild({"locked.cmd"});
    EXPECT_EQ(child.exitCode, 6);
    EXPECT_EQ(child.err, "bmconv: locked.cmd: Permission denied\n");
}

TEST_F(BmconvProgram, ControlsInACommandFileAreShownEscaped)
{
    // Escape sequences, a bell, DEL, a C1 CSI, a right-to-left override, an isolate, a byte
    // that is not UTF-8, and a Cyrillic letter that is printed as it is.
    const std::string hidden =
        "\x1b]0;owned\x07\x1b[2J\x7f\xc2\x9b\xe2\x80\xae\xe2\x81\xa6\xff\xd0\x96";
    const std::string shown = "\\x1B]0;owned\\x07\\x1B[2J\\x7F\\u009B\\u202E\\u2066\\xFF\xd0\x96";
    const std::string commands = "out" + hidden + ".mbm\r\n/c16in" + hidden + ".bmp\r\n";
    writeFile("make.cmd", Bytes(commands.begin(), commands.end()));

    const Child child = runChild({"make.cmd"});
    EXPECT_EQ(child.exitCode, 3);
    const std::vector<std::string> lines = crlfLines(child.out);
    ASSERT_EQ(lines.size(), 9u) << child.out;
    EXPECT_EQ(lines[5], "Epoc file: out" + shown + ".mbm");
    EXPECT_EQ(lines[7], "Bitmap file 1\t: in" + shown + ".bmp");
    EXPECT_EQ(child.err, "bmconv: in" + shown + ".bmp: No such file or directory\n");
}

// Past `ulimit -f` a write fails with "File too large" instead of the signal ending the run; a
// target that was being made is gone and one that existed is as it was.
TEST_F(BmconvProgram, FileSizeLimitFailsTheWriteAndLeavesNoPartialFile)
{
    writeFile("big.bmp", makeBmp24(64, 64, std::vector<std::uint32_t>(64 * 64, 0x123456)));
    ASSERT_EQ(runChild({"/n", "full.mbm", "/c24big.bmp"}).exitCode, 0);
    constexpr rlim_t kLimit = 4096;
    ASSERT_GT(fs::file_size("full.mbm"), kLimit);
    writeFile("old.mbm", fromHex("01 02 03"));
    const std::vector<std::string> before = namesInFolder();

    const ChildSetup limited{kLimit, {}};
    Child child = runChild({"/n", "new.mbm", "/c24big.bmp"}, limited);
    EXPECT_EQ(child.exitCode, 5);
    EXPECT_EQ(child.err, "bmconv: new.mbm: File too large\n");
    EXPECT_TRUE(child.out.ends_with("\r\nBad destination file(s).\r\n")) << child.out;
    child = runChild({"/n", "old.mbm", "/c24big.bmp"}, limited);
    EXPECT_EQ(child.exitCode, 5);
    EXPECT_EQ(toHex(readFile("old.mbm")), "01 02 03");
    // Unpacking makes a new target under its own name at once, so it is the one to remove.
    child = runChild({"/u", "full.mbm", "back.bmp"}, limited);
    EXPECT_EQ(child.exitCode, 5);
    EXPECT_EQ(child.err, "bmconv: back.bmp: File too large\n");
    EXPECT_EQ(namesInFolder(), before);
}

TEST_F(BmconvProgram, AReportThatCannotBeWrittenFailsTheRun)
{
    fs::copy_file(fixture("tiny_2x1_c16.mbm"), "tiny.mbm");
    Child child = runChild({"/v", "tiny.mbm"}, {1 << 20, "report.txt"});
    ASSERT_EQ(child.exitCode, 0) << child.err;
    const Bytes report = readFile("report.txt");
    ASSERT_GT(report.size(), 64u);

    child = runChild({"/v", "tiny.mbm"}, {64, "report.txt"});
    EXPECT_EQ(child.exitCode, 5);
    EXPECT_EQ(child.err, "bmconv: standard output: File too large\n");
    EXPECT_EQ(fs::file_size("report.txt"), 64u);
}

#endif
