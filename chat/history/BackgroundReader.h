#pragma once
// Reading the history off the user interface thread: a worker with a
// connection of its own runs what it is given, in order. Each job belongs to
// a channel (the search box, the conversation list...): a newer job of the
// same channel replaces one still waiting and interrupts one running, so
// that typing never queues up searches nobody waits for any more.
#include "History.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace lanyx::history {

class BackgroundReader {
public:
    // Gets the reader's connection, or none when the history cannot be read.
    using Job = std::function<void(HistoryStore* store)>;
    explicit BackgroundReader(const History& history);
    // Interrupts what runs, drops what waits.
    ~BackgroundReader();
    BackgroundReader(const BackgroundReader&) = delete;
    BackgroundReader& operator=(const BackgroundReader&) = delete;

    void post(int channel, Job job);
    // Waits until nothing runs or waits (tests).
    void wait();

private:
    void run();
    struct Item {
        int channel;
        Job job;
    };
    const History& history_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Item> queue_;
    std::unique_ptr<HistoryStore> store_;
    std::uint64_t generation_ = 0;
    int running_ = -1;  // the channel of the job running, -1: none
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace lanyx::history
