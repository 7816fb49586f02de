#pragma once

#include <string>
#include <vector>

namespace bmconv {

// The version this converter reports; its output, switches and exit codes follow that release of
// the Symbian SDK's bmconv, which is what scripts and our MBM image list parse.
inline constexpr int kConverterVersion = 119;

struct RunOutput
{
    std::string out;         // what goes to standard output, every line ending in CR LF
    std::string diagnostics; // details of a failure for standard error, one line each
    int exitCode = 0;
};

// Runs the converter on `arguments` (without the program name): usage screen, `/v file`,
// `/u file targets…`, packing `out.mbm [OPT]source…` with the switches /r /s /n /q /h /p and
// /m, or a command file when there is exactly one argument. Reads and writes files as the
// command says; everything it would print is returned.
RunOutput runConverter(const std::vector<std::string> &arguments);

// Splits a command file into arguments: blank-separated, `//` starts a comment to the end of the
// line, ^Z (0x1A) is ignored.
std::vector<std::string> splitCommandFile(const std::string &text);

// The companion file of a 32-bit alpha bitmap: "-alpha" inserted before the last dot of the whole
// path, or appended when there is none.
std::string alphaCompanionName(const std::string &path);

} // namespace bmconv
