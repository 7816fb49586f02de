#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// A property an entry checks on what a reader accepted. A broken one is a finding like a crash:
// the driver saves the input when the abort comes.
inline void fuzzCheck(bool holds, const char *what, const std::string &detail = {})
{
    if (holds)
        return;
    std::fprintf(stderr, "==fuzz== broken: %s%s%s\n", what, detail.empty() ? "" : ": ",
                 detail.c_str());
    std::abort();
}
