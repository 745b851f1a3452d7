#include "BackgroundReader.h"

namespace lanyx::history {

BackgroundReader::BackgroundReader(const History& history) : history_(history) {
    thread_ = std::thread([this] { run(); });
}

BackgroundReader::~BackgroundReader() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        queue_.clear();
        if (running_ >= 0 && store_) store_->connection().interrupt();
    }
    wake_.notify_all();
    thread_.join();
}

void BackgroundReader::post(int channel, Job job) {
    {
        std::lock_guard lock(mutex_);
        std::erase_if(queue_, [&](const Item& i) { return i.channel == channel; });
        if (running_ == channel && store_) store_->connection().interrupt();
        queue_.push_back({channel, std::move(job)});
    }
    wake_.notify_one();
}

void BackgroundReader::wait() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [&] { return queue_.empty() && running_ < 0; });
}

void BackgroundReader::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || !queue_.empty(); });
        if (stop_) break;
        Item item = std::move(queue_.front());
        queue_.pop_front();
        // A new file (the old one was damaged) or none yet: connect anew.
        const bool reopen = !store_ || generation_ != history_.generation();
        std::unique_ptr<HistoryStore> old;
        if (reopen) old = std::move(store_);
        lock.unlock();
        old.reset();
        std::unique_ptr<HistoryStore> fresh;
        if (reopen) {
            generation_ = history_.generation();
            fresh = history_.openReader();
        }
        lock.lock();
        if (reopen) store_ = std::move(fresh);
        running_ = item.channel;
        HistoryStore* store = store_.get();
        lock.unlock();
        try {
            item.job(store);
        } catch (const sql::Error&) {
            // Interrupted by a newer job, or the file went: the job's answer is void.
        }
        lock.lock();
        running_ = -1;
        if (queue_.empty()) idle_.notify_all();
    }
    running_ = -1;
    idle_.notify_all();
}

}  // namespace lanyx::history
