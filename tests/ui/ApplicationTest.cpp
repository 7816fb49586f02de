#include "ui/Application.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

// Running out of memory in one event handler costs that action, not the program and the
// user's unsaved skin.
TEST(VelmoraApplication, AnEventThatRunsOutOfMemoryIsReportedAndDropped)
{
    int reports = 0;
    const auto report = [&] {
        ++reports;
    };
    EXPECT_TRUE(VelmoraApplication::guarded([] { return true; }, report));
    EXPECT_FALSE(VelmoraApplication::guarded([] { return false; }, report));
    EXPECT_EQ(reports, 0);

    EXPECT_FALSE(VelmoraApplication::guarded([]() -> bool { throw std::bad_alloc(); }, report));
    EXPECT_EQ(reports, 1);

    // Other failures are bugs to see, not memory to report.
    EXPECT_THROW(
        VelmoraApplication::guarded([]() -> bool { throw std::logic_error("bug"); }, report),
        std::logic_error);
    EXPECT_EQ(reports, 1);
}
