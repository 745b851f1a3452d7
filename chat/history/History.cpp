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
// Readers that keep finding damage the check did not see ask again after this.
constexpr auto kCheckAgainAfter = std::chrono::minutes(1);

// What a job holds in memory, for the queue's bound.
std::size_t jobBytes(const HistoryEntry& e) {
    return 160 + e.text.capacity() + e.peer.capacity() + e.chat.capacity();
}

// The beginning of a long text, cut between characters, and a mark.
void capText(HistoryEntry& e, std::size_t max) {
    static constexpr std::string_view kMark = "\xE2\x80\xA6";  // ...
    if (e.text.size() <= max || max < kMark.size()) return;
    std::size_t cut = max - kMark.size();
    while (cut > 0 && (static_cast<unsigned char>(e.text[cut]) & 0xC0) == 0x80) --cut;
    if (!IsTransferKind(e.kind) && e.bytes == 0) e.bytes = e.text.size();
    // A copy of its own: the long text's memory goes now, not when written.
    e.text = e.text.substr(0, cut).append(kMark);
}

bool isVerified(HistoryTrust trust) {
    return trust == HistoryTrust::Signed || trust == HistoryTrust::Encrypted;
}

// The row that tells what was not kept of a sender.
HistoryEntry notKeptRow(const SenderLimit::Count& c) {
    HistoryEntry e;
    e.timeMs = c.lastMs;
    e.kind = HistoryKind::NotKept;
    e.peer = c.name.empty() ? "(All)" : c.name;
    e.files = c.lines;
    e.bytes = c.bytes;
    e.text = std::to_string(c.lines) + (c.lines == 1 ? " more line from " : " more lines from ") +
             (c.name.empty() ? std::string("other senders") : c.name) + " not kept";
    return e;
}

std::optional<std::uint64_t> freeBytes(const std::filesystem::path& dir) {
    std::error_code ec;
    const auto space = std::filesystem::space(dir, ec);
    if (ec) return std::nullopt;
    return static_cast<std::uint64_t>(space.available);
}
}  // namespace

// Lets readers' connections reach the history while it lives, and no longer.
struct History::Alarm {
    std::mutex mutex;
    History* history = nullptr;
};

History::History(const std::filesystem::path& dataDir) : History(dataDir, Options{}) {
}

History::History(const std::filesystem::path& dataDir, Options options)
    : file_(dataDir / kFileName),
      options_(std::move(options)),
      limit_(options_.unverified),
      alarm_(std::make_shared<Alarm>()) {
    alarm_->history = this;
    if (!options_.freeSpace) options_.freeSpace = [dir = dataDir] { return freeBytes(dir); };
    auto opened = HistoryStore::openForWriting(file_);
    openProblem_ = std::move(opened.problem);
    store_ = std::move(opened.store);
    // A damaged file is salvaged by the writer, first of all: a large one
    // takes a while, and nothing waits for it.
    if (!store_ && !opened.damaged) return;
    if (store_) {
        if (auto loaded = loadSettings(); !loaded) {
            openProblem_ = loaded.error();
            store_.reset();
            return;
        }
    }
    usable_ = true;
    // Messages kept too long go first: a flush right after opening sees them gone.
    Job retention;
    retention.type = Job::Type::Retention;
    queue_.push_back(std::move(retention));
    ++enqueuedSeq_;
    writer_ = std::thread([this] { run(); });
}

Result<void> History::loadSettings() {
    try {
        const auto top = store_->maxId() + 1;
        const auto days = store_->setting(kRetentionKey);
        auto people = store_->personKeys();
        std::lock_guard lock(mutex_);
        nextId_ = std::max(nextId_, top);
        for (auto& key : people) people_.insert(std::move(key));
        if (days) retention_ = static_cast<int>(std::clamp(std::strtol(days->c_str(), nullptr, 10), 0L, 100000L));
        return {};
    } catch (const sql::Error& e) {
        return failure(Reason::HistoryUnreadable, {e.what()});
    }
}

History::~History() {
    {
        std::lock_guard lock(alarm_->mutex);
        alarm_->history = nullptr;
    }
    {
        std::lock_guard lock(mutex_);
        // What was counted and not told yet is told before the end.
        if (usable_) countsDueLocked(now(), true);
        stop_ = true;
    }
    wake_.notify_all();
    if (writer_.joinable()) writer_.join();
}

void History::setNotices(std::function<void(const Notice&)> notices) {
    std::vector<Notice> pending;
    {
        std::lock_guard lock(mutex_);
        notices_ = notices;
        pending.swap(pendingNotices_);
    }
    // What the writer had to tell before anybody listened.
    if (notices)
        for (const auto& n : pending) notices(n);
}

void History::notice(Notice::Code code, std::string text, std::uint64_t count, std::string file) {
    Notice n{code, std::move(text), count, std::move(file)};
    std::function<void(const Notice&)> fn;
    {
        std::lock_guard lock(mutex_);
        fn = notices_;
        if (!fn) pendingNotices_.push_back(n);
    }
    if (fn) fn(n);
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
        enqueueLocked(std::move(job));
    }
    wake_.notify_one();
}

void History::enqueueLocked(Job job) {
    const auto bytes = jobBytes(job.entry);
    if (job.type == Job::Type::Insert) {
        if (inserts_ >= options_.maxQueued || queuedBytes_ + bytes > options_.maxQueuedBytes) {
            ++dropped_;
            return;
        }
        job.id = nextId_++;
        ++inserts_;
    }
    job.bytes = bytes;
    queuedBytes_ += bytes;
    queue_.push_back(std::move(job));
    ++enqueuedSeq_;
}

void History::countsDueLocked(std::int64_t nowMs, bool all) {
    for (const auto& count : limit_.due(nowMs, all)) {
        Job job;
        job.entry = notKeptRow(count);
        enqueueLocked(std::move(job));
    }
}

void History::record(HistoryEntry entry) {
    if (!usable_) return;
    const auto t = now();
    if (entry.timeMs == 0) entry.timeMs = t;
    const auto size = entry.text.size();
    capText(entry, options_.maxTextBytes);
    const bool bounded = !entry.outgoing && IsMessageKind(entry.kind) && !isVerified(entry.trust);
    {
        std::lock_guard lock(mutex_);
        countsDueLocked(t, false);
        if (bounded && !limit_.admit(entry.peer, size, t)) return;
        if (!IsPublicKind(entry.kind)) people_.insert(toLower(entry.peer));
        if (fold_.folds(entry)) return;
        Job job;
        job.entry = std::move(entry);
        enqueueLocked(std::move(job));
    }
    wake_.notify_one();
}

void History::damageSeen() {
    {
        std::lock_guard lock(mutex_);
        if (!usable_ || stop_ || checkQueued_ ||
            (lastCheck_ != std::chrono::steady_clock::time_point{} &&
             std::chrono::steady_clock::now() - lastCheck_ < kCheckAgainAfter))
            return;
        checkQueued_ = true;
        Job job;
        job.type = Job::Type::Check;
        enqueueLocked(std::move(job));
    }
    wake_.notify_one();
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

void History::changeLine(std::uint64_t lineId, const std::string& authorKey, LineChange change,
                         const std::string& text) {
    if (!usable_ || lineId == 0) return;
    Job job;
    job.type = Job::Type::Change;
    job.entry.lineId = lineId;
    job.entry.peer = authorKey;
    job.entry.change = change;
    job.entry.text = text;
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
    if (usable_) countsDueLocked(now(), false);
    const auto target = enqueuedSeq_;
    wake_.notify_one();
    return written_.wait_for(lock, timeout, [&] { return doneSeq_ >= target || !usable_; });
}

std::unique_ptr<HistoryStore> History::openReader() const {
    if (!usable_) return nullptr;
    try {
        auto reader = std::make_unique<HistoryStore>(file_, HistoryStore::Mode::ReadOnly);
        reader->connection().onDamage([alarm = alarm_] {
            std::lock_guard lock(alarm->mutex);
            if (alarm->history) alarm->history->damageSeen();
        });
        return reader;
    } catch (const sql::Error&) {
        return nullptr;
    }
}

bool History::inScope(const HistoryEntry& e, const Scope& scope) {
    const auto peer = toLower(e.peer);
    // As the store files them: "(All)" is the conversation with everybody.
    const bool everybody = IsPublicKind(e.kind) || peer == kEverybodyKey;
    switch (scope.type) {
    case Scope::Type::All: return true;
    // A chat of several members is a conversation of its own.
    case Scope::Type::Person: return !everybody && e.chat.empty() && peer == scope.key;
    case Scope::Type::Everybody: return everybody;
    case Scope::Type::Group: return e.chat == scope.key;
    case Scope::Type::With: return peer == scope.key && (everybody || e.chat.empty());
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

bool History::apply(std::vector<Job>& batch, bool recording) {
    bool deleted = false;
    std::size_t skipped = 0;
    if (options_.beforeWrite) options_.beforeWrite(store_->connection());
    sql::Transaction t(store_->connection());
    for (auto& job : batch) {
        switch (job.type) {
        case Job::Type::Insert:
            if (recording) store_->insert(job.id, job.entry);
            else ++skipped;
            break;
        case Job::Type::Delivery:
            store_->updateDelivery(job.entry.messageId, job.entry.peer, job.entry.delivery);
            break;
        case Job::Type::Erase: deleted = store_->erase(job.scope) > 0 || deleted; break;
        case Job::Type::Rename: store_->rename(job.entry.peer, job.entry.text); break;
        case Job::Type::Change:
            if (store_->changeLine(job.entry.lineId, job.entry.peer, job.entry.change, job.entry.text) > 0 &&
                job.entry.change == LineChange::Deleted)
                deleted = true;
            break;
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
        case Job::Type::Check: break;  // never in a batch
        }
    }
    t.commit();
    spaceDropped_ += skipped;
    return deleted;
}

bool History::roomToRecord() {
    const auto floor = options_.freeSpaceFloor;
    const auto free = floor ? options_.freeSpace() : std::nullopt;
    if (!free) return !spaceLow_;
    if (!spaceLow_ && *free < floor) {
        spaceLow_ = true;
        notice(Notice::Code::DiskLow,
               "Less than " + std::to_string(floor >> 20) +
                   " MB are free on the disk of the history: nothing is recorded until there is more room.",
               floor);
    } else if (spaceLow_ && *free >= floor + floor / 4) {
        spaceLow_ = false;
        const auto lost = spaceDropped_.load() - spaceDroppedTold_;
        spaceDroppedTold_ += lost;
        notice(Notice::Code::DiskRoom,
               "There is room on the disk of the history again: recording goes on (" + std::to_string(lost) +
                   " messages were not recorded).",
               lost);
    }
    return !spaceLow_;
}

namespace {
// Empty when the file's pages and tables are sound, else what is wrong.
std::string quickCheck(sql::Connection& db) {
    try {
        auto check = db.prepare("PRAGMA quick_check");
        std::string result;
        while (check.step()) result += (result.empty() ? "" : "; ") + check.text(0);
        return result == "ok" ? std::string() : "check: " + result.substr(0, 200);
    } catch (const sql::Error& e) {
        return std::string("check: ") + e.what();
    }
}
}  // namespace

void History::checkDamage(const std::string& why, bool written) {
    auto problem = quickCheck(store_->connection());
    if (problem.empty()) {
        // The table and its indexes are sound; the full-text index may not be.
        auto& db = store_->connection();
        try {
            db.exec("INSERT INTO messages_text(messages_text) VALUES ('integrity-check')");
            // Sound throughout: a write that failed is tried on a new file
            // all the same; a reader's alarm was a false one.
            if (!written) return;
            problem = why;
        } catch (const sql::Error& e) {
            if (!e.damaged()) return;  // busy: the next damage seen asks again
            try {
                sql::Transaction t(db);
                db.exec("INSERT INTO messages_text(messages_text) VALUES ('rebuild')");
                t.commit();
                notice(Notice::Code::Repaired,
                       "The history's search index was damaged and has been built anew; no message was lost.");
                return;
            } catch (const sql::Error& again) {
                problem = again.what();
            }
        }
    }
    salvage(problem);
}

void History::salvage(const std::string& why) {
    // The damaged file is kept as it was found: its journal stays beside it.
    if (store_) store_->connection().keepJournalOnClose();
    store_.reset();
    const auto saved = HistoryStore::salvage(file_, [this] {
        std::lock_guard lock(mutex_);
        return stop_;
    });
    if (saved.stopped) {
        // Ending: the damaged file stays as it is, for the next start.
        {
            std::lock_guard lock(mutex_);
            usable_ = false;
        }
        written_.notify_all();
        return;
    }
    auto aside = saved.keptAside;
    if (!saved.replaced && aside.empty()) aside = HistoryStore::keepAside(file_);
    if (!aside.empty()) {
        try {
            store_ = std::make_unique<HistoryStore>(file_, HistoryStore::Mode::ReadWrite);
            store_->setSetting(kLastCheckKey, std::to_string(now()));
            const auto top = store_->maxId() + 1;
            std::lock_guard lock(mutex_);
            // Salvaged at a start: what was recorded meanwhile comes after
            // what was saved (none of it is being written yet).
            auto next = std::max(nextId_, top);
            if (std::any_of(queue_.begin(), queue_.end(),
                            [&](const Job& j) { return j.type == Job::Type::Insert && j.id < top; }))
                for (auto& job : queue_)
                    if (job.type == Job::Type::Insert) job.id = next++;
            nextId_ = next;
        } catch (const sql::Error&) {
            store_.reset();
        }
        if (store_ && !loadSettings()) store_.reset();
    }
    ++generation_;
    if (!store_) {
        {
            std::lock_guard lock(mutex_);
            usable_ = false;
        }
        written_.notify_all();
        notice(Notice::Code::Lost,
               "The history is damaged (" + why + ") and " +
                   (aside.empty() ? "could not be moved aside" : "no new one could be started") +
                   ". Nothing more is recorded in this run.",
               0, aside.filename().string());
        return;
    }
    const bool salvaged = saved.replaced && saved.rows > 0;
    notice(salvaged ? Notice::Code::Salvaged : Notice::Code::KeptAside, SalvageNotice(saved, aside, why),
           salvaged ? static_cast<std::uint64_t>(saved.rows) : 0, aside.filename().string());
}

void History::checkFile() {
    const auto last = store_->setting(kLastCheckKey);
    const auto t = now();
    if (last && t - std::strtoll(last->c_str(), nullptr, 10) < options_.checkEveryMs &&
        std::strtoll(last->c_str(), nullptr, 10) <= t)
        return;
    if (auto problem = quickCheck(store_->connection()); !problem.empty())
        throw sql::Error(11 /* SQLITE_CORRUPT */, problem);
    store_->setSetting(kLastCheckKey, std::to_string(t));
}

void History::run() {
    using clock = std::chrono::steady_clock;
    if (!store_) {
        salvage("found at the start");
    } else {
        try {
            checkFile();
        } catch (const sql::Error& e) {
            if (e.damaged()) salvage(e.what());
        }
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
            // Counts of lines not kept become rows once their flood is over.
            if (!stop_ && usable_) countsDueLocked(now(), false);
            if (!usable_ || (stop_ && (queue_.empty() || lastTry))) break;
            if (!queue_.empty() && (!troubled_ || t >= retryAt || stop_)) break;
            auto until = troubled_ && !queue_.empty() ? std::min(retryAt, nextRetention) : nextRetention;
            if (limit_.counting()) until = std::min(until, t + std::chrono::seconds(1));
            wake_.wait_until(lock, until);
        }
        if (!usable_ || (stop_ && (queue_.empty() || lastTry))) break;
        if (queue_.front().type == Job::Type::Check) {
            lock.unlock();
            checkDamage("a reader found it damaged", false);
            lock.lock();
            queuedBytes_ -= queue_.front().bytes;
            queue_.pop_front();
            checkQueued_ = false;
            lastCheck_ = clock::now();
            ++doneSeq_;
            written_.notify_all();
            continue;
        }
        if (stop_ && troubled_) lastTry = true;  // one more go, then what is left is lost
        std::size_t n = 0;
        bool inserts = false;
        for (const std::size_t most = std::min(options_.batch, queue_.size());
             n < most && queue_[n].type != Job::Type::Check; ++n)
            inserts = inserts || queue_[n].type == Job::Type::Insert;
        std::vector<Job> batch(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(n));
        inFlight_ = n;
        lock.unlock();

        bool ok = false, deleted = false;
        std::string trouble;
        try {
            deleted = apply(batch, !inserts || roomToRecord());
            ok = true;
        } catch (const sql::Error& e) {
            if (e.damaged()) {
                checkDamage(e.what(), true);  // the batch goes into the mended or new file
            } else if (!e.busy()) {
                trouble = e.what();
            }
        }
        if (ok && deleted) {
            try {
                store_->purge();
            } catch (const sql::Error& e) {
                // Deleted all the same; the words go at the next merge.
                notice(Notice::Code::IndexNotPurged,
                       std::string("The history's index could not be rebuilt after deleting: ") + e.what());
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
            if (wasTroubled) notice(Notice::Code::WrittenAgain, "The history is written again.");
            if (untold)
                notice(Notice::Code::NotRecorded,
                       std::to_string(untold) + " messages were not recorded in the history: it could not keep up.",
                       untold);
            for (auto& job : batch)
                if (job.done) job.done();
            lock.lock();
            inFlight_ = 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (queue_.front().type == Job::Type::Insert) --inserts_;
                queuedBytes_ -= queue_.front().bytes;
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
                notice(Notice::Code::CannotWrite, "The history cannot be written (" + trouble +
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
    queuedBytes_ = 0;
    doneSeq_ = enqueuedSeq_;
    lock.unlock();
    written_.notify_all();
}

}  // namespace lanyx::history
