#pragma once
// Writes what a transfer brings into the folder the receiver chose. Nothing
// lands outside it, nothing existing is overwritten, a file keeps a
// temporary name until its check passes, and a cancelled transfer leaves no
// partial files behind.
#include "Error.h"
#include "FileOffer.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lanyx::platform {
class OutputFile;
}

namespace lanyx::transfer {

// A running digest of a file's bytes (the transfer's integrity check).
class Digest {
public:
    using Value = std::array<unsigned char, 32>;
    virtual ~Digest() = default;
    virtual void update(const unsigned char* data, std::size_t size) = 0;
    virtual Value final() = 0;
};
using DigestFactory = std::function<std::unique_ptr<Digest>()>;

// "name (1).ext", "name (2).ext", ... for a name taken in `dir` ("name (1)"
// for folders and names without an extension; a leading dot is not an
// extension).
std::string NumberedName(const std::string& name, int number, bool folder);
// The first of name, name (1), ... that nothing in `dir` has.
std::string UniqueName(const std::filesystem::path& dir, const std::string& name, bool folder);
// The temporary name a file has until it is complete: ".name.lanyx-part".
std::filesystem::path PartialName(const std::filesystem::path& target);

enum class SpaceCheck { Enough, NotEnough, Unknown };
// Whether the folder's file system has room for `bytes` more (with a small
// margin).
SpaceCheck CheckFreeSpace(const std::filesystem::path& folder, std::uint64_t bytes, std::uint64_t* available = nullptr);

// Top-level names as offered -> the names they were given in the folder.
using TopNames = std::vector<std::pair<std::string, std::string>>;

// The part files a transfer left under `tops` in `folder` (kept from an
// earlier run: the list that named them is not known) go, and so do the
// folders below those names that are empty then. Nothing else is touched,
// and no link is followed.
void RemovePartials(const std::filesystem::path& folder, const TopNames& tops);

class ReceiveWriter {
public:
    ReceiveWriter(std::filesystem::path folder, std::vector<Entry> entries, DigestFactory digests);
    ~ReceiveWriter();
    ReceiveWriter(const ReceiveWriter&) = delete;
    ReceiveWriter& operator=(const ReceiveWriter&) = delete;

    // Chooses the top-level names (numbered where taken) and checks the
    // folder and free space. Nothing is written yet.
    Result<void> begin();
    // Instead of begin(): goes on with the names chosen by an earlier run
    // (`tops`, from the store of unfinished transfers), whose part files
    // are taken as this transfer's own.
    Result<void> adopt(const TopNames& tops);
    // After adopt(): whether file `index` was finished by the earlier run
    // (its part file is gone and a file of its size has its name).
    bool finishedBefore(std::size_t index) const;
    // The length of file `index`'s part file, 0 when there is none.
    std::uint64_t partialLength(std::size_t index) const;
    const TopNames& topNames() const { return tops_; }

    // Makes folder `index` (an entry that is a folder) and those above it.
    Result<void> makeFolder(std::size_t index);

    // Starts file `index` (an entry that is a file), making the folders on
    // its way. Returns where the data continues: 0, or the length of a
    // partial file kept from an interrupted try. `check` checks the file
    // instead of a digest of the writer's own.
    Result<std::uint64_t> openFile(std::size_t index, std::unique_ptr<Digest> check = nullptr);
    // More of the open file. Refuses data beyond the size the list gave.
    Result<void> write(const unsigned char* data, std::size_t size);
    // The open file is complete: its length and digest must match, then it
    // gets its final name (numbered if that name was taken meanwhile).
    Result<void> finishFile(const Digest::Value& expected);

    // The connection dropped: partial files stay for a retry.
    void suspend();
    // The user (or a failure) ends the transfer: partial files and the
    // folders that only they needed are removed; finished files stay.
    void cancel();

    // Where entry `index` goes (valid after begin()).
    std::filesystem::path targetOf(std::size_t index) const;
    const std::vector<std::filesystem::path>& finished() const { return finished_; }
    std::uint64_t bytesWritten() const { return written_; }
    // What the last call that failed tells the sender (Failed where nothing
    // more is known); the failure itself says why.
    StopReason problem() const { return problem_; }

private:
    Result<void> ensureFolders(const std::filesystem::path& relative);
    void closeOpen();
    // The failure, and what it tells the sender.
    Error stop(StopReason reason, Error error);
    // A write, a creation or a rename failed (the system says why): a full
    // disk, or something else.
    Error writeFailed(const std::string& why);

    std::filesystem::path folder_;
    std::vector<Entry> entries_;
    DigestFactory digests_;
    // Top-level names as given -> names chosen in the folder.
    TopNames tops_;
    std::vector<std::filesystem::path> madeFolders_;  // in the order made
    std::filesystem::path checkedFolder_;             // where the last file went
    std::vector<std::filesystem::path> partials_;
    std::vector<std::filesystem::path> finished_;
    bool begun_ = false;

    // The file being written.
    std::size_t current_ = static_cast<std::size_t>(-1);
    std::unique_ptr<platform::OutputFile> out_;
    std::unique_ptr<Digest> digest_;
    std::uint64_t currentLength_ = 0;
    std::uint64_t written_ = 0;
    StopReason problem_ = StopReason::None;
};

}  // namespace lanyx::transfer
