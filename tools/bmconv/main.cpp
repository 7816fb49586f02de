#include "bmconv/Converter.h"

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char **argv)
{
#ifdef _WIN32
    // The report carries its own CR LF; text mode would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const bmconv::RunOutput result = bmconv::runConverter(arguments);
    std::fwrite(result.out.data(), 1, result.out.size(), stdout);
    std::fflush(stdout);
    if (!result.diagnostics.empty())
        std::fputs(result.diagnostics.c_str(), stderr);
    return result.exitCode;
}
