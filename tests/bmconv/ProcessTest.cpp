#include "TestSupport.h"

#include "bmconv/Converter.h"

#include <cstdio>
#include <filesystem>

// The converter is started through a POSIX shell pipe.
#if __has_include(<sys/wait.h>)
#include <sys/wait.h>

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

#endif
