#include "platform/SafeWrite.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace velmora::safewrite;

namespace {

std::vector<unsigned char> bytesOf(const std::string &text)
{
    return {text.begin(), text.end()};
}

std::string contents(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void put(const fs::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Whether writing 5000 bytes to path fails part-way with the system's own reason. A file size
// limit stands in for a full disk; a child carries it, so the test process keeps its own.
bool failsPartWayWithItsReason(const std::string &path, Durability durability)
{
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const auto written = replaceFile(path, std::vector<unsigned char>(5000, 'x'), durability);
        ::_exit(!written && written.error() == path + ": File too large" ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class SafeWrite : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char name[] = "/tmp/safewrite-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        m_dir = name;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
        if (m_dir.string().starts_with("/tmp/safewrite-"))
            fs::remove_all(m_dir, ec);
    }
    std::string at(const std::string &name) const { return (m_dir / name).string(); }
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto &entry : fs::directory_iterator(m_dir))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

    fs::path m_dir;
};

} // namespace

TEST_F(SafeWrite, ReplacesInPlaceKeepingPermissionsAndLeavingNothingBehind)
{
    put(at("skin.mbm"), "old");
    fs::permissions(at("skin.mbm"), fs::perms(0640));
    ASSERT_TRUE(replaceFile(at("skin.mbm"), bytesOf("new")));
    EXPECT_EQ(contents(at("skin.mbm")), "new");
    EXPECT_EQ(fs::status(at("skin.mbm")).permissions(), fs::perms(0640));

    // A new file gets what the umask allows.
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(replaceFile(at("fresh.mbm"), bytesOf("x")));
    ::umask(mask);
    EXPECT_EQ(fs::status(at("fresh.mbm")).permissions(), fs::perms(0644));
    EXPECT_EQ(names(), (std::vector<std::string>{"fresh.mbm", "skin.mbm"}));

    // The longest legal name still finds room for its temporary.
    const std::string longName(255, 'n');
    ASSERT_TRUE(replaceFile(at(longName), bytesOf("long"))) << "255-byte name";
    EXPECT_EQ(contents(at(longName)), "long");
    EXPECT_EQ(names().size(), 3u);
}

TEST_F(SafeWrite, WritesThroughSymbolicLinksToTheirTarget)
{
    fs::create_directory(m_dir / "real");
    put(m_dir / "real" / "skin.sis", "old");
    fs::create_symlink("real/skin.sis", m_dir / "link.sis");
    fs::create_symlink("link.sis", m_dir / "chain.sis");
    ASSERT_TRUE(replaceFile(at("chain.sis"), bytesOf("new")));
    EXPECT_TRUE(fs::is_symlink(m_dir / "chain.sis"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.sis"));
    EXPECT_EQ(contents(m_dir / "real" / "skin.sis"), "new");
    EXPECT_EQ(names(), (std::vector<std::string>{"chain.sis", "link.sis", "real"}));

    // A dangling link makes its target.
    fs::create_symlink("real/made.sis", m_dir / "dangling.sis");
    ASSERT_TRUE(replaceFile(at("dangling.sis"), bytesOf("made")));
    EXPECT_TRUE(fs::is_symlink(m_dir / "dangling.sis"));
    EXPECT_EQ(contents(m_dir / "real" / "made.sis"), "made");

    fs::create_symlink("loop-b", m_dir / "loop-a");
    fs::create_symlink("loop-a", m_dir / "loop-b");
    const auto looped = replaceFile(at("loop-a"), bytesOf("x"));
    ASSERT_FALSE(looped);
    EXPECT_TRUE(looped.error().starts_with(at("loop-a") + ": ")) << looped.error();
}

TEST_F(SafeWrite, RefusesTargetsItMustNotReplace)
{
    put(at("locked.skin"), "keep");
    fs::permissions(at("locked.skin"), fs::perms(0444));
    fs::create_symlink("locked.skin", m_dir / "to-locked.skin");
    for (const char *name : {"locked.skin", "to-locked.skin"}) {
        const auto written = replaceFile(at(name), bytesOf("new"));
        ASSERT_FALSE(written) << name;
        EXPECT_EQ(written.error(), at(name) + ": the file is read-only");
    }
    EXPECT_EQ(contents(at("locked.skin")), "keep");

    fs::create_directory(m_dir / "folder.skin");
    const auto folder = replaceFile(at("folder.skin"), bytesOf("x"));
    ASSERT_FALSE(folder);
    EXPECT_EQ(folder.error(), at("folder.skin") + ": is a folder, not a file");

    ASSERT_EQ(::mkfifo(at("pipe.skin").c_str(), 0600), 0);
    const auto pipe = replaceFile(at("pipe.skin"), bytesOf("x"));
    ASSERT_FALSE(pipe);
    EXPECT_EQ(pipe.error(), at("pipe.skin") + ": not a regular file");

    const auto nowhere = replaceFile(at("missing/file.skin"), bytesOf("x"));
    ASSERT_FALSE(nowhere);
    EXPECT_EQ(nowhere.error(), at("missing/file.skin") + ": No such file or directory");
    EXPECT_EQ(names(), (std::vector<std::string>{"folder.skin", "locked.skin", "pipe.skin",
                                                 "to-locked.skin"}));
}

TEST_F(SafeWrite, PreparedFilesTakeTheirPlaceOnlyWhenCommitted)
{
    put(at("1.bmp"), "old 1");
    put(at("2.bmp"), "old 2");
    {
        auto first = prepareFile(at("1.bmp"), bytesOf("new 1"));
        auto second = prepareFile(at("2.bmp"), bytesOf("new 2"));
        ASSERT_TRUE(first);
        ASSERT_TRUE(second);
        EXPECT_EQ(contents(at("1.bmp")), "old 1");
        ASSERT_TRUE(first->commit());
        EXPECT_EQ(contents(at("1.bmp")), "new 1");
        // second is dropped uncommitted.
    }
    EXPECT_EQ(contents(at("2.bmp")), "old 2");
    EXPECT_EQ(names(), (std::vector<std::string>{"1.bmp", "2.bmp"}));
}

// Scratch files skip the flush; a new one is written under its own name, since there is nothing
// to protect, but an existing one is still replaced whole: a reader holding the old file keeps
// reading the old bytes.
TEST_F(SafeWrite, ScratchFilesAreMadeInPlaceButReplacedWhole)
{
    put(at("1.bmp"), "old 1");
    std::ifstream reader(at("1.bmp"), std::ios::binary);
    ASSERT_TRUE(replaceFile(at("1.bmp"), bytesOf("new 1"), Durability::Unflushed));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), "old 1");
    EXPECT_EQ(contents(at("1.bmp")), "new 1");

    {
        auto made = prepareFile(at("2.bmp"), bytesOf("new 2"), Durability::Unflushed);
        ASSERT_TRUE(made);
        EXPECT_EQ(contents(at("2.bmp")), "new 2") << "written under its own name at once";
        auto dropped = prepareFile(at("3.bmp"), bytesOf("new 3"), Durability::Unflushed);
        ASSERT_TRUE(dropped);
        ASSERT_TRUE(made->commit());
        // dropped goes uncommitted: the file it made must not outlive it.
    }
    EXPECT_EQ(contents(at("2.bmp")), "new 2");
    EXPECT_EQ(names(), (std::vector<std::string>{"1.bmp", "2.bmp"}));

    // A failed write leaves no half file of a name that did not exist.
    EXPECT_TRUE(failsPartWayWithItsReason(at("4.bmp"), Durability::Unflushed));
    EXPECT_EQ(names(), (std::vector<std::string>{"1.bmp", "2.bmp"}));
}

// The system's own reason reaches the message, not "unknown error".
TEST_F(SafeWrite, AFailedWriteSaysWhyAndKeepsTheOldFile)
{
    put(at("big.mbm"), "old");
    EXPECT_TRUE(failsPartWayWithItsReason(at("big.mbm"), Durability::Flushed));
    EXPECT_EQ(contents(at("big.mbm")), "old");
    EXPECT_EQ(names(), (std::vector<std::string>{"big.mbm"}));
}

TEST_F(SafeWrite, CleansUpOnlyTheStaleTemporariesOfItsTarget)
{
    const std::string prefix = temporaryNamePrefix(at("out.mbm"));
    EXPECT_EQ(prefix, temporaryNamePrefix("/elsewhere/out.mbm")) << "the same on every run";
    EXPECT_NE(prefix, temporaryNamePrefix(at("other.mbm")));
    EXPECT_LE(prefix.size() + 8, 20u);

    put(at(prefix + "stale001"), "killed run");
    put(at(prefix + "livewrit"), "running");
    put(at(temporaryNamePrefix(at("other.mbm")) + "notmine1"), "another target");
    const int live = ::open(at(prefix + "livewrit").c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    // The clean-up runs in another process, as the next run of a tool would.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        removeStaleTemporaries(at("out.mbm"));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(live);
    EXPECT_FALSE(fs::exists(at(prefix + "stale001")));
    EXPECT_TRUE(fs::exists(at(prefix + "livewrit")));
    EXPECT_TRUE(fs::exists(at(temporaryNamePrefix(at("other.mbm")) + "notmine1")));
}

// A run writing many files clears what killed runs left for all of them, reading each folder
// once, and nothing else: not another file's temporaries, not an earlier scheme's file of a name
// outside the list. A target named with a trailing slash has no name and owns nothing.
TEST_F(SafeWrite, ManyTargetsAreCleanedInOnePassPerFolder)
{
    fs::create_directory(m_dir / "sub");
    const std::vector<std::string> targets = {at("1.bmp"), at("2.bmp"), at("sub/3.bmp"),
                                              at("sub") + "/"};
    for (const std::string &target : targets) {
        const fs::path path(target);
        put(path.parent_path() / (temporaryNamePrefix(target) + "stale001"), "killed run");
    }
    const std::string notMine = temporaryNamePrefix(at("9.bmp")) + "notmine1";
    put(at(notMine), "another target");
    put(at("1.bmp.old5"), "an earlier scheme's, ours");
    put(at("9.bmp.old5"), "an earlier scheme's, not ours");
    put(m_dir / "sub" / "plain.txt", "no owner");
    const auto earlierOwner = [](const std::string &name) {
        return name.ends_with(".old5") ? name.substr(0, name.size() - 5) : std::string();
    };
    removeStaleTemporaries(targets, earlierOwner);
    EXPECT_EQ(names(), (std::vector<std::string>{notMine, "9.bmp.old5", "sub"}));
    EXPECT_TRUE(fs::exists(m_dir / "sub" / "plain.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "sub"), fs::directory_iterator()), 1);
}
