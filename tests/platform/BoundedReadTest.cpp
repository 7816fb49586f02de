#include "platform/BoundedRead.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace velmora::boundedread;

namespace {

using Kind = ReadFailure::Kind;

class BoundedRead : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char name[] = "/tmp/boundedread-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        m_dir = name;
    }
    void TearDown() override
    {
        std::error_code ec;
        if (m_dir.string().starts_with("/tmp/boundedread-"))
            fs::remove_all(m_dir, ec);
    }
    std::string at(const std::string &name) const { return (m_dir / name).string(); }
    std::string put(const std::string &name, const std::string &text) const
    {
        std::ofstream(at(name), std::ios::binary) << text;
        return at(name);
    }

    fs::path m_dir;
};

std::expected<std::string, ReadFailure> read(const std::string &path, std::uint64_t limit = 1000)
{
    return readBounded<std::string>(path, limit);
}

} // namespace

TEST_F(BoundedRead, LimitIsInclusive)
{
    const std::string ten = put("ten", "0123456789");
    EXPECT_EQ(read(ten, 10).value(), "0123456789");
    ASSERT_FALSE(read(ten, 9));
    EXPECT_EQ(read(ten, 9).error().kind, Kind::TooLarge);
    EXPECT_EQ(read(put("empty", ""), 0).value(), "");
}

// The system gives the size of such a file as 0; its contents are read all the same, as far as
// the limit.
TEST_F(BoundedRead, FilesLargerThanTheirStatedSizeAreReadToTheirEndWithinTheLimit)
{
    const std::string status = "/proc/self/status";
    if (!fs::exists(status))
        GTEST_SKIP() << "no " << status;
    const auto whole = read(status, 1 << 20);
    ASSERT_TRUE(whole) << int(whole.error().kind);
    EXPECT_TRUE(whole->starts_with("Name:")) << *whole;
    EXPECT_GT(whole->size(), 200u);
    ASSERT_FALSE(read(status, 100));
    EXPECT_EQ(read(status, 100).error().kind, Kind::TooLarge);
}

TEST_F(BoundedRead, MissingIsToldFromUnreadable)
{
    const std::string file = put("file", "x");
    ASSERT_EQ(::symlink("loop", at("loop").c_str()), 0);
    const std::pair<std::string, ReadFailure> cases[] = {
        {at("absent"), {Kind::Missing, ENOENT}},
        {at("absent/file"), {Kind::Missing, ENOENT}},
        {file + "/below", {Kind::Missing, ENOTDIR}},
        {at("loop"), {Kind::Unreadable, ELOOP}},
    };
    for (const auto &[path, expected] : cases) {
        const auto got = read(path);
        ASSERT_FALSE(got) << path;
        EXPECT_EQ(got.error().kind, expected.kind) << path;
        EXPECT_EQ(got.error().error, expected.error) << path;
    }
}

// A FIFO opened for reading would wait for a writer forever: the read runs in a child that an
// alarm ends if it blocks.
TEST_F(BoundedRead, RefusesWhatIsNotARegularFileWithoutOpeningIt)
{
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
    const std::pair<std::string, Kind> cases[] = {
        {at("pipe"), Kind::NotRegular},
        {"/dev/zero", Kind::NotRegular},
        {m_dir.string(), Kind::Folder},
    };
    for (const auto &[path, kind] : cases) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::alarm(5);
            const auto got = read(path);
            const bool refused = !got && got.error().kind == kind;
            const bool checked =
                !requireRegularFile(path) && requireRegularFile(path).error().kind == kind;
            ::_exit(refused && checked ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << path << (WIFSIGNALED(status) ? ": blocked" : ": not refused as expected");
    }
    // A path that cannot be looked at is left for the open to report.
    EXPECT_TRUE(requireRegularFile(at("absent")));
    EXPECT_TRUE(requireRegularFile(put("file", "x")));
}
