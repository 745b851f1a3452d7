#pragma once
// The history as the programs use it: what the node records goes into a
// bounded queue and returns at once; a writer thread of its own writes the
// queue in batches, one transaction each, and does the deleting, keeping
// (retention) and the daily check of the file. Readers take connections of
// their own, on their own threads.
#include "HistoryPort.h"
#include "HistoryStore.h"

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

class History final : public HistoryRecorder {
public:
    struct Options {
        // Messages waiting for the disk at most; more are not recorded (and
        // counted, and told) rather than held without end.
        std::size_t maxQueued = 20000;
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
    // What opening found (a damaged file kept aside...); empty when all is well.
    std::string openNotice() const { return openNotice_; }
    // Texts for the user that come up while writing (a damaged file, a full
    // disk and its end, messages not recorded). Called on the writer thread.
    void setNotices(std::function<void(const std::string&)> notices);
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
    std::size_t queued() const;

    // A reading connection for the calling thread; none while the history
    // cannot be used. A reader from before generation() changed (the file
    // was kept aside and a new one started) reads the old file: open anew.
    std::unique_ptr<HistoryStore> openReader() const;
    std::uint64_t generation() const { return generation_.load(); }
    // The rows a reader finds, with what is still waiting for the disk
    // (which a reader cannot see yet) in its place.
    std::vector<HistoryRow> rows(HistoryStore& reader, const Filter& filter) const;

    // The messages of a scope matched in memory, as the store matches them.
    static bool inScope(const HistoryEntry& entry, const Scope& scope);

private:
    struct Job {
        enum class Type : std::uint8_t { Insert, Delivery, Erase, EraseAll, Retention, SetRetention, Rename };
        Type type = Type::Insert;
        std::int64_t id = 0;
        HistoryEntry entry;
        Scope scope;
        int days = 0;
        std::function<void()> done;
    };
    void enqueue(Job job);
    void run();
    void notice(const std::string& text);
    std::int64_t now() const;
    // One transaction; true when something was deleted.
    bool apply(std::vector<Job>& batch);
    void reopenDamaged(const sql::Error& error);
    void checkFile();

    std::filesystem::path file_;
    Options options_;
    std::unique_ptr<HistoryStore> store_;  // the writer's
    std::atomic<bool> usable_{false};
    std::string openNotice_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::deque<Job> queue_;
    std::size_t inserts_ = 0;   // Insert jobs in the queue
    std::size_t inFlight_ = 0;  // the first jobs of the queue, being written
    std::uint64_t enqueuedSeq_ = 0;
    std::uint64_t doneSeq_ = 0;
    std::int64_t nextId_ = 1;
    bool stop_ = false;
    bool troubled_ = false;  // the last write failed
    std::size_t droppedTold_ = 0;
    std::function<void(const std::string&)> notices_;
    // Who messages are kept with (lower case); a deleted conversation stays
    // here until the next start.
    std::unordered_set<std::string> people_;
    std::atomic<std::size_t> dropped_{0};
    std::atomic<int> retention_{0};
    std::atomic<std::uint64_t> generation_{0};
    std::thread writer_;
};

}  // namespace lanyx::history
