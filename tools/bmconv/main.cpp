#include "bmconv/Converter.h"
#include "bmconv/Error.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// Writes the report; false, with errno saying why, when not all of it arrived.
bool writeReport(const std::string &text)
{
    errno = 0;
    const std::size_t wrote = std::fwrite(text.data(), 1, text.size(), stdout);
    const bool flushed = std::fflush(stdout) == 0;
    if (wrote == text.size() && flushed && !std::ferror(stdout))
        return true;
    if (errno == 0)
        errno = EIO;
    return false;
}

} // namespace

int main(int argc, char **argv)
{
#ifdef _WIN32
    // The report carries its own CR LF; text mode would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
#ifdef SIGXFSZ
    // Past a file size limit (ulimit -f) the signal would end us without a word and leave the
    // caller guessing; ignored, the write fails with EFBIG and is reported like any other.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    bmconv::RunOutput result = bmconv::runConverter(arguments);
    if (!writeReport(result.out)) {
        result.diagnostics +=
            "bmconv: standard output: " + std::string(std::strerror(errno)) + "\n";
        // A caller that reads the report was not given it, so a run that worked still failed.
        if (result.exitCode == 0)
            result.exitCode = static_cast<int>(bmconv::Status::BadDestinationFile);
    }
    if (!result.diagnostics.empty())
        std::fputs(result.diagnostics.c_str(), stderr);
    return result.exitCode;
}
