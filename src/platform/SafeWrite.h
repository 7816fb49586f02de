#pragma once

// Replacing a file so that a failure, a kill or a power cut leaves either the old file or the new
// one, never a torn one. Plain C++ on POSIX calls, without Qt, so the converter and the package
// tools share it with the program and start quickly.

#include <expected>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace velmora::safewrite {

// Writes one piece of a file; false when it could not be written (errno says why).
using PieceWriter = std::function<bool(std::span<const unsigned char>)>;

// A failure, as a message that starts with the path the user gave.
using Result = std::expected<void, std::string>;

enum class Durability {
    // Flushed to disk before it takes the old file's place: for files the user keeps.
    Flushed,
    // Only the rename's atomicity, for scratch files re-made on every run. A target that does
    // not exist yet is written under its own name at once: there is nothing to protect, and a
    // hundred icons unpacked into a fresh folder must not pay for a hundred renames. Dropped
    // uncommitted, such a file is removed again.
    Unflushed,
};

// One file written beside its target and not yet in place. Destroying it uncommitted removes
// the new data and leaves the target as it was.
class PendingFile
{
public:
    PendingFile() = default;
    PendingFile(PendingFile &&other) noexcept;
    PendingFile &operator=(PendingFile &&other) noexcept;
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;
    ~PendingFile();

    // Puts the new file in place of the target in one rename.
    Result commit();

private:
    friend std::expected<PendingFile, std::string>
    prepareFile(const std::string &path, const std::function<bool(const PieceWriter &)> &produce,
                Durability durability);
    void discard();

    std::string m_path;    // as the user named it, for messages
    std::string m_target;  // the file actually replaced: symbolic links followed
    std::string m_temp;    // the named temporary, when the file has a name yet
    int m_fd = -1;         // an unnamed temporary, linked in at commit
    bool m_direct = false; // written under the target's own name, which did not exist
};

// Writes bytes into a new file in the target's folder. The target is what path names once
// symbolic links are followed, so a link keeps pointing at the new file. A target that is not
// a regular file, or one without write permission, is refused, as is a folder the file cannot
// be made in. The new file keeps an existing target's permissions.
std::expected<PendingFile, std::string> prepareFile(const std::string &path,
                                                    std::span<const unsigned char> bytes,
                                                    Durability durability = Durability::Flushed);

// prepareFile for a file made piece by piece: produce hands every piece to the writer in order,
// so a large file need never be held whole. produce returns false to give up (with errno set,
// or EIO assumed); nothing replaces the target then.
std::expected<PendingFile, std::string>
prepareFile(const std::string &path, const std::function<bool(const PieceWriter &)> &produce,
            Durability durability = Durability::Flushed);

// prepareFile and commit in one.
Result replaceFile(const std::string &path, std::span<const unsigned char> bytes,
                   Durability durability = Durability::Flushed);

// For a file an earlier scheme named after its target, the target's own file name; an empty
// string for any other name.
using EarlierOwner = std::function<std::string(const std::string &name)>;

// Removes temporaries that runs killed while writing these targets left in their folders, and
// the files earlierOwner assigns to one of them, reading each folder once however many targets
// it holds. A temporary another run is still writing is left alone.
void removeStaleTemporaries(const std::vector<std::string> &paths,
                            const EarlierOwner &earlierOwner = {});
void removeStaleTemporaries(const std::string &path, const EarlierOwner &earlierOwner = {});

// The start of the names this target's temporaries get in its folder, followed by eight more
// characters: short whatever the target's length, and the same on every run.
std::string temporaryNamePrefix(const std::string &target);

} // namespace velmora::safewrite
