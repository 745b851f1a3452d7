#include "History.h"

#include "Text.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace lanyx::history {

namespace {
std::int64_t wallMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}
constexpr std::string_view kLastCheckKey = "last_check";
constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;
}  // namespace

History::History(const std::filesystem::path& dataDir) : History(dataDir, Options{}) {
}

History::History(const std::filesystem::path& dataDir, Options options)
    : file_(dataDir / kFileName), options_(std::move(options)) {
    auto opened = HistoryStore::openForWriting(file_);
    openNotice_ = opened.notice;
    store_ = std::move(opened.store);
    if (!store_) return;
    try {
        nextId_ = store_->maxId() + 1;
        for (auto& key : store_->personKeys()) people_.insert(std::move(key));
        if (const auto days = store_->setting(kRetentionKey))
            retention_ = static_cast<int>(std::clamp(std::strtol(days->c_str(), nullptr, 10), 0L, 100000L));
    } catch (const sql::Error& e) {
        openNotice_ += std::string(openNotice_.empty() ? "" : " ") + "The history cannot be used: " + e.what() +
                       ". Nothing is recorded in this run.";
        store_.reset();
        return;
    }
    usable_ = true;
    // Messages kept too long go first: a flush right after opening sees them gone.
    Job retention;
    retention.type = Job::Type::Retention;
    queue_.push_back(std::move(retention));
    ++enqueuedSeq_;
    writer_ = std::thread([this] { run(); });
}

History::~History() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (writer_.joinable()) writer_.join();
}

void History::setNotices(std::function<void(const std::string&)> notices) {
    std::lock_guard lock(mutex_);
    notices_ = std::move(notices);
}

void History::notice(const std::string& text) {
    std::function<void(const std::string&)> fn;
    {
        std::lock_guard lock(mutex_);
        fn = notices_;
    }
    if (fn) fn(text);
}

std::int64_t History::now() const {
    return options_.clock ? options_.clock() : wallMs();
}

std::size_t History::queued() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void History::enqueue(Job job) {
    {
        std::lock_guard lock(mutex_);
        if (job.type == Job::Type::Insert) {
            if (inserts_ >= options_.maxQueued) {
                ++dropped_;
                return;
            }
            job.id = nextId_++;
            ++inserts_;
        }
        queue_.push_back(std::move(job));
        ++enqueuedSeq_;
    }
    wake_.notify_one();
}

void History::record(HistoryEntry entry) {
    if (!usable_) return;
    if (entry.timeMs == 0) entry.timeMs = now();
    if (!IsPublicKind(entry.kind)) {
        std::lock_guard lock(mutex_);
        people_.insert(toLower(entry.peer));
    }
    Job job;
    job.entry = std::move(entry);
    enqueue(std::move(job));
}

void History::delivery(std::uint64_t messageId, const std::string& recipient, HistoryDelivery state) {
    if (!usable_ || messageId == 0) return;
    {
        // Most reports come while the message still waits here: changed in place.
        std::lock_guard lock(mutex_);
        for (std::size_t i = queue_.size(); i-- > inFlight_;) {
            auto& job = queue_[i];
            if (job.type == Job::Type::Insert && job.entry.outgoing && job.entry.messageId == messageId &&
                equalsNoCase(job.entry.peer, recipient)) {
                job.entry.delivery = state;
                return;
            }
        }
    }
    Job job;
    job.type = Job::Type::Delivery;
    job.entry.messageId = messageId;
    job.entry.peer = recipient;
    job.entry.delivery = state;
    enqueue(std::move(job));
}

void History::renamed(const std::string& from, const std::string& to) {
    if (!usable_) return;
    {
        std::lock_guard lock(mutex_);
        if (people_.erase(toLower(from))) people_.insert(toLower(to));
    }
    Job job;
    job.type = Job::Type::Rename;
    job.entry.peer = from;
    job.entry.text = to;
    enqueue(std::move(job));
}

bool History::hasConversationWith(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return people_.count(toLower(name)) > 0;
}

void History::erase(const Scope& scope, std::function<void()> done) {
    Job job;
    job.type = Job::Type::Erase;
    job.scope = scope;
    job.done = std::move(done);
    if (!usable_) {
        if (job.done) job.done();
        return;
    }
    enqueue(std::move(job));
}

void History::eraseAll(std::function<void()> done) {
    Job job;
    job.type = Job::Type::EraseAll;
    job.done = std::move(done);
    if (!usable_) {
        if (job.done) job.done();
        return;
    }
    enqueue(std::move(job));
}

void History::setRetentionDays(int days, std::function<void()> done) {
    Job job;
    job.type = Job::Type::SetRetention;
    job.days = std::clamp(days, 0, 100000);
    job.done = std::move(done);
    retention_ = job.days;
    if (!usable_) {
        if (job.done) job.done();
        return;
    }
    enqueue(std::move(job));
}

bool History::flush(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto target = enqueuedSeq_;
    return written_.wait_for(lock, timeout, [&] { return doneSeq_ >= target || !usable_; });
}

std::unique_ptr<HistoryStore> History::openReader() const {
    if (!usable_) return nullptr;
    try {
        return std::make_unique<HistoryStore>(file_, HistoryStore::Mode::ReadOnly);
    } catch (const sql::Error&) {
        return nullptr;
    }
}

bool History::inScope(const HistoryEntry& e, const Scope& scope) {
    const auto peer = toLower(e.peer);
    const bool everybody = IsPublicKind(e.kind);
    switch (scope.type) {
    case Scope::Type::All: return true;
    case Scope::Type::Person: return !everybody && peer == scope.key;
    case Scope::Type::Everybody: return everybody;
    case Scope::Type::Group: return e.chat == scope.key;
    case Scope::Type::With: return peer == scope.key;
    }
    return false;
}

std::vector<HistoryRow> History::rows(HistoryStore& reader, const Filter& f) const {
    std::vector<HistoryRow> waiting;
    {
        std::lock_guard lock(mutex_);
        for (const auto& job : queue_) {
            if (job.type != Job::Type::Insert || !inScope(job.entry, f.scope)) continue;
            if (job.entry.timeMs < f.sinceMs || (f.beforeId > 0 && job.id >= f.beforeId)) continue;
            if (f.chatOnly && !IsChatKind(job.entry.kind)) continue;
            waiting.push_back({job.id, job.entry});
        }
    }
    auto out = reader.rows(f);
    for (auto& w : waiting)
        if (std::none_of(out.begin(), out.end(), [&](const HistoryRow& r) { return r.id == w.id; }))
            out.push_back(std::move(w));
    std::sort(out.begin(), out.end(), [](const HistoryRow& a, const HistoryRow& b) { return a.id < b.id; });
    if (f.limit && out.size() > f.limit) out.erase(out.begin(), out.end() - static_cast<std::ptrdiff_t>(f.limit));
    return out;
}

bool History::apply(std::vector<Job>& batch) {
    bool deleted = false;
    if (options_.beforeWrite) options_.beforeWrite(store_->connection());
    sql::Transaction t(store_->connection());
    for (auto& job : batch) {
        switch (job.type) {
        case Job::Type::Insert: store_->insert(job.id, job.entry); break;
        case Job::Type::Delivery:
            store_->updateDelivery(job.entry.messageId, job.entry.peer, job.entry.delivery);
            break;
        case Job::Type::Erase: deleted = store_->erase(job.scope) > 0 || deleted; break;
        case Job::Type::Rename: store_->rename(job.entry.peer, job.entry.text); break;
        case Job::Type::EraseAll: {
            auto& db = store_->connection();
            // One command empties the index instead of one per message.
            db.exec("DROP TRIGGER messages_ad");
            db.exec("DELETE FROM messages");
            db.exec("INSERT INTO messages_text(messages_text) VALUES ('delete-all')");
            db.exec(
                "CREATE TRIGGER messages_ad AFTER DELETE ON messages BEGIN "
                "INSERT INTO messages_text(messages_text, rowid, text) VALUES ('delete', old.id, old.text); END");
            deleted = true;
            break;
        }
        case Job::Type::SetRetention: store_->setSetting(kRetentionKey, std::to_string(job.days)); [[fallthrough]];
        case Job::Type::Retention:
            if (const int days = retention_.load(); days > 0)
                deleted = store_->eraseBefore(now() - days * kDayMs) > 0 || deleted;
            break;
        }
    }
    t.commit();
    return deleted;
}

void History::reopenDamaged(const sql::Error& error) {
    store_.reset();
    const auto aside = HistoryStore::keepAside(file_);
    auto opened = HistoryStore::openForWriting(file_);
    store_ = std::move(opened.store);
    ++generation_;
    if (!store_ || aside.empty()) {
        {
            std::lock_guard lock(mutex_);
            usable_ = false;
        }
        written_.notify_all();
        notice(std::string("The history is damaged (") + error.what() + ") and " +
               (aside.empty() ? "could not be moved aside" : "no new one could be started") +
               ". Nothing more is recorded in this run.");
        return;
    }
    notice("The history was damaged (" + std::string(error.what()) + "). It is kept as " + aside.filename().string() +
           " and a new one was started.");
}

void History::checkFile() {
    const auto last = store_->setting(kLastCheckKey);
    const auto t = now();
    if (last && t - std::strtoll(last->c_str(), nullptr, 10) < options_.checkEveryMs &&
        std::strtoll(last->c_str(), nullptr, 10) <= t)
        return;
    auto check = store_->connection().prepare("PRAGMA quick_check");
    std::string result;
    while (check.step()) result += check.text(0) + (result.empty() ? "" : "; ");
    if (result != "ok") throw sql::Error(11 /* SQLITE_CORRUPT */, "check: " + result.substr(0, 200));
    store_->setSetting(kLastCheckKey, std::to_string(t));
}

void History::run() {
    using clock = std::chrono::steady_clock;
    try {
        checkFile();
    } catch (const sql::Error& e) {
        if (e.damaged()) reopenDamaged(e);
    }
    auto nextRetention = clock::now() + options_.retentionEvery;
    auto retryAt = clock::now();
    auto backoff = std::chrono::milliseconds(500);
    bool lastTry = false;
    std::unique_lock lock(mutex_);
    for (;;) {
        for (;;) {
            const auto t = clock::now();
            if (!stop_ && t >= nextRetention) {
                Job job;
                job.type = Job::Type::Retention;
                queue_.push_back(std::move(job));
                ++enqueuedSeq_;
                nextRetention = t + options_.retentionEvery;
            }
            if (!usable_ || (stop_ && (queue_.empty() || lastTry))) break;
            if (!queue_.empty() && (!troubled_ || t >= retryAt || stop_)) break;
            wake_.wait_until(lock, troubled_ && !queue_.empty() ? std::min(retryAt, nextRetention) : nextRetention);
        }
        if (!usable_ || (stop_ && (queue_.empty() || lastTry))) break;
        if (stop_ && troubled_) lastTry = true;  // one more go, then what is left is lost
        const std::size_t n = std::min(options_.batch, queue_.size());
        std::vector<Job> batch(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(n));
        inFlight_ = n;
        lock.unlock();

        bool ok = false, deleted = false;
        std::string trouble;
        try {
            deleted = apply(batch);
            ok = true;
        } catch (const sql::Error& e) {
            if (e.damaged()) {
                reopenDamaged(e);  // the batch goes into the new file
            } else if (!e.busy()) {
                trouble = e.what();
            }
        }
        if (ok && deleted) {
            try {
                store_->purge();
            } catch (const sql::Error& e) {
                // Deleted all the same; the words go at the next merge.
                notice(std::string("The history's index could not be rebuilt after deleting: ") + e.what());
            }
        }

        if (ok) {
            lock.lock();
            const bool wasTroubled = troubled_;
            troubled_ = false;
            const auto dropped = dropped_.load();
            const auto untold = dropped - droppedTold_;
            droppedTold_ = dropped;
            lock.unlock();
            backoff = std::chrono::milliseconds(500);
            // Told before a waiting flush returns: what it waits for includes this.
            if (wasTroubled) notice("The history is written again.");
            if (untold)
                notice(std::to_string(untold) + " messages were not recorded in the history: it could not keep up.");
            for (auto& job : batch)
                if (job.done) job.done();
            lock.lock();
            inFlight_ = 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (queue_.front().type == Job::Type::Insert) --inserts_;
                queue_.pop_front();
            }
            doneSeq_ += n;
            written_.notify_all();
            continue;
        }
        lock.lock();
        inFlight_ = 0;
        if (!trouble.empty() || !usable_) {
            if (!troubled_ && !trouble.empty()) {
                lock.unlock();
                notice("The history cannot be written (" + trouble +
                       "): messages wait in memory and are written when it can be.");
                lock.lock();
            }
            troubled_ = true;
            retryAt = clock::now() + backoff;
            backoff = std::min(backoff * 2, std::chrono::milliseconds(30000));
        } else {
            // Busy, or a new file after damage: go again soon.
            retryAt = clock::now() + std::chrono::milliseconds(50);
        }
    }
    // What could not be written is lost; waiting flushes end.
    for (auto& job : queue_)
        if (job.done) job.done();
    queue_.clear();
    inserts_ = 0;
    doneSeq_ = enqueuedSeq_;
    lock.unlock();
    written_.notify_all();
}

}  // namespace lanyx::history
