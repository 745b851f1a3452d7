#pragma once
// The history as the programs use it: what the node records goes into a
// bounded queue and returns at once; a writer thread of its own writes the
// queue in batches, one transaction each, and does the deleting, keeping
// (retention) and the daily check of the file. Readers take connections of
// their own, on their own threads.
#include "HistoryPort.h"
#include "HistoryStore.h"
#include "SenderLimit.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

namespace lanyx::history {

// Something the user is told about the history while it runs. `text` says
// it in English (for the log and lanyx-cli); the windows word it by `code`.
struct Notice {
    enum class Code : std::uint8_t {
        Salvaged,        // the file was damaged: `count` messages are in a new one, the old one kept as `file`
        KeptAside,       // the file was damaged and is kept as `file`; a new one began without its messages
        Repaired,        // the full-text index was damaged and is built anew: nothing was lost
        Lost,            // the file is damaged and nothing more is recorded in this run
        CannotWrite,     // writes fail: messages wait in memory
        WrittenAgain,    // ... and are written again
        NotRecorded,     // `count` messages were not recorded: the writer could not keep up
        IndexNotPurged,  // deleted, but the index could not be rebuilt yet
        DiskLow,         // less than `count` bytes free on the disk: nothing is recorded
        DiskRoom,        // room again: recording goes on; `count` messages were not recorded
    };
    Code code;
    std::string text;
    std::uint64_t count = 0;
    std::string file;
};

class History final : public HistoryRecorder {
public:
    struct Options {
        // Messages waiting for the disk at most, in number and in bytes; more
        // are not recorded (and counted, and told) rather than held without end.
        std::size_t maxQueued = 20000;
        std::size_t maxQueuedBytes = 16u << 20;
        // A text longer than this is kept to its beginning and a mark.
        std::size_t maxTextBytes = 8192;
        // What is kept of senders without a verified key.
        SenderLimit::Limits unverified;
        // Below this much free space on its disk the history records nothing
        // (deleting goes on); above a quarter more it records again.
        std::uint64_t freeSpaceFloor = 64u << 20;
        // The free space on the history's disk (none: not known); tests
        // plug in their own.
        std::function<std::optional<std::uint64_t>()> freeSpace;
        // Jobs written in one transaction at most.
        std::size_t batch = 512;
        // Wall clock in ms since 1970; tests plug in their own.
        std::function<std::int64_t()> clock;
        // How often messages older than the retention are removed.
        std::chrono::milliseconds retentionEvery = std::chrono::hours(6);
        // The whole file is checked this often (at a start).
        std::int64_t checkEveryMs = 24LL * 3600 * 1000;
        // Called on the writer thread before each transaction, with its
        // connection: tests make the disk "full" here.
        std::function<void(sql::Connection&)> beforeWrite;
    };

    // Opens (or makes) History.db in `dataDir`. Never throws: a history that
    // cannot be used records nothing and says why in openNotice().
    explicit History(const std::filesystem::path& dataDir);
    History(const std::filesystem::path& dataDir, Options options);
    // Writes what is queued, then ends the writer.
    ~History() override;
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    bool usable() const { return usable_.load(); }
    // Why the history cannot be used in this run (HistoryUnusable,
    // HistoryUnreadable); nothing when it can (a damaged file is salvaged
    // meanwhile, and told as a Notice).
    const std::optional<Error>& openProblem() const { return openProblem_; }
    // The same in words; empty when it can be used.
    std::string openNotice() const { return openProblem_ ? openProblem_->text : std::string(); }
    // What the user is told while it writes (a damaged file, a full disk
    // and its end, messages not recorded). Called on the writer thread.
    void setNotices(std::function<void(const Notice&)> notices);
    const std::filesystem::path& file() const { return file_; }

    // HistoryRecorder: never waits for the disk.
    void record(HistoryEntry entry) override;
    void delivery(std::uint64_t messageId, const std::string& recipient, HistoryDelivery state) override;
    void renamed(const std::string& from, const std::string& to) override;
    bool hasConversationWith(const std::string& name) const override;

    // Deleting, by the writer in turn; `done` is called on the writer thread
    // once the messages, their words in the index and their old pages are gone.
    void erase(const Scope& scope, std::function<void()> done = {});
    void eraseAll(std::function<void()> done = {});
    // The author of a line changed it (`authorKey` empty: the user): the
    // row keeps the new text, or none (its old words are overwritten as
    // deleted messages are).
    void changeLine(std::uint64_t lineId, const std::string& authorKey, LineChange change,
                    const std::string& text) override;
    // Messages are kept this many days (0: for good); applied at once and
    // then every few hours.
    void setRetentionDays(int days, std::function<void()> done = {});
    int retentionDays() const { return retention_.load(); }
    static constexpr std::string_view kRetentionKey = "retention_days";

    // Waits until everything queued so far is written, at most `timeout`.
    // True when it was.
    bool flush(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Not recorded because the queue was full.
    std::size_t dropped() const { return dropped_.load(); }
    // Not recorded because the disk was (nearly) full.
    std::size_t notRecordedForSpace() const { return spaceDropped_.load(); }
    std::size_t queued() const;

    // A reading connection for the calling thread; none while the history
    // cannot be used. A reader from before generation() changed (the file
    // was kept aside and a new one started) reads the old file: open anew.
    std::unique_ptr<HistoryStore> openReader() const;
    std::uint64_t generation() const { return generation_.load(); }
    // A reader that found the file damaged (openReader()'s do this by
    // themselves): the writer checks the file, and mends or salvages it.
    void damageSeen();
    // The rows a reader finds, with what is still waiting for the disk
    // (which a reader cannot see yet) in its place.
    std::vector<HistoryRow> rows(HistoryStore& reader, const Filter& filter) const;

    // The messages of a scope matched in memory, as the store matches them.
    static bool inScope(const HistoryEntry& entry, const Scope& scope);

private:
    struct Job {
        enum class Type : std::uint8_t {
            Insert,
            Delivery,
            Erase,
            EraseAll,
            Retention,
            SetRetention,
            Rename,
            Check,
            Change
        };
        Type type = Type::Insert;
        std::int64_t id = 0;
        HistoryEntry entry;
        Scope scope;
        int days = 0;
        std::function<void()> done;
        std::size_t bytes = 0;  // counted in queuedBytes_
    };
    struct Alarm;
    void enqueue(Job job);
    // With mutex_ held.
    void enqueueLocked(Job job);
    void countsDueLocked(std::int64_t nowMs, bool all);
    void run();
    void notice(Notice::Code code, std::string text, std::uint64_t count = 0, std::string file = {});
    std::int64_t now() const;
    // One transaction; true when something was deleted.
    bool apply(std::vector<Job>& batch, bool recording);
    // Whether there is room on the disk to record (told when it changes).
    bool roomToRecord();
    // After damage was seen: checks the file; a damaged index is rebuilt,
    // a damaged table salvaged (or, with `written`, any damage).
    void checkDamage(const std::string& why, bool written);
    void salvage(const std::string& why);
    // The next id and the retention from the store; HistoryUnreadable when
    // they cannot be read.
    Result<void> loadSettings();
    void checkFile();

    std::filesystem::path file_;
    Options options_;
    std::unique_ptr<HistoryStore> store_;  // the writer's
    std::atomic<bool> usable_{false};
    std::optional<Error> openProblem_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::deque<Job> queue_;
    std::size_t inserts_ = 0;  // Insert jobs in the queue
    std::size_t queuedBytes_ = 0;
    SenderLimit limit_;
    bool checkQueued_ = false;
    std::chrono::steady_clock::time_point lastCheck_{};
    std::size_t inFlight_ = 0;  // the first jobs of the queue, being written
    std::uint64_t enqueuedSeq_ = 0;
    std::uint64_t doneSeq_ = 0;
    std::int64_t nextId_ = 1;
    bool stop_ = false;
    bool troubled_ = false;  // the last write failed
    std::size_t droppedTold_ = 0;
    std::function<void(const Notice&)> notices_;
    std::vector<Notice> pendingNotices_;  // told before anybody listened
    std::shared_ptr<Alarm> alarm_;
    bool spaceLow_ = false;  // the writer's
    std::size_t spaceDroppedTold_ = 0;
    std::atomic<std::size_t> spaceDropped_{0};
    // Who messages are kept with (lower case); a deleted conversation stays
    // here until the next start.
    std::unordered_set<std::string> people_;
    GroupSendFold fold_;  // under mutex_
    std::atomic<std::size_t> dropped_{0};
    std::atomic<int> retention_{0};
    std::atomic<std::uint64_t> generation_{0};
    std::thread writer_;
};

}  // namespace lanyx::history
