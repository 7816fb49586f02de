#include "platform/Error.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {

Result<int> number(int value)
{
    if (value < 0)
        return fail(Error::corrupt(QStringLiteral("negative %1").arg(value)));
    return value;
}

Result<std::unique_ptr<int>> boxed(int value)
{
    if (value < 0)
        return fail(Error::truncated(QStringLiteral("no box")));
    return std::make_unique<int>(value);
}

Result<void> check(bool ok)
{
    if (!ok)
        return fail(Error::io(QStringLiteral("check failed")));
    return {};
}

// Two assignments in one scope, a move-only value and a plain check, with a mark of how far it
// got so a failure is seen to stop at once.
Result<int> sum(int a, int b, bool ok, int *reached)
{
    VELMORA_TRY_ASSIGN(auto first, number(a));
    *reached = 1;
    VELMORA_TRY_ASSIGN(const std::unique_ptr<int> second, boxed(b));
    *reached = 2;
    VELMORA_TRY(check(ok));
    *reached = 3;
    return first + *second;
}

TEST(Try, PassesValuesThrough)
{
    int reached = 0;
    const auto result = sum(2, 40, true, &reached);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, 42);
    EXPECT_EQ(reached, 3);
}

TEST(Try, ReturnsTheFirstErrorUnchanged)
{
    struct Case
    {
        int a, b;
        bool ok;
        Error::Kind kind;
        QString message;
        int reached;
    };
    const Case cases[] = {
        {-5, 1, true, Error::Kind::Corrupt, QStringLiteral("negative -5"), 0},
        {1, -1, true, Error::Kind::Truncated, QStringLiteral("no box"), 1},
        {1, 1, false, Error::Kind::Io, QStringLiteral("check failed"), 2},
    };
    for (const Case &c : cases) {
        int reached = 0;
        const auto result = sum(c.a, c.b, c.ok, &reached);
        ASSERT_FALSE(result.has_value()) << c.message.toStdString();
        EXPECT_EQ(result.error().kind, c.kind);
        EXPECT_EQ(result.error().message, c.message);
        EXPECT_EQ(reached, c.reached);
    }
}

// A named result handed in is read, not emptied, and the macros work for other error types.
TEST(Try, LeavesANamedResultIntactAndTakesAnyErrorType)
{
    const auto passOn = [](std::expected<std::string, std::string> &named)
        -> std::expected<std::size_t, std::string> {
        VELMORA_TRY_ASSIGN(const std::string text, named);
        return text.size();
    };
    std::expected<std::string, std::string> good = std::string(100, 'x');
    EXPECT_EQ(passOn(good), 100u);
    EXPECT_EQ(good.value(), std::string(100, 'x'));
    std::expected<std::string, std::string> bad = std::unexpected(std::string(100, 'e'));
    EXPECT_EQ(passOn(bad).error(), std::string(100, 'e'));
    EXPECT_EQ(bad.error(), std::string(100, 'e'));
}

} // namespace
