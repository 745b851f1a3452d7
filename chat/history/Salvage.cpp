// What can be read of a damaged history: a damaged page costs the rows on
// it, never the rest of the file.
#include "HistoryStore.h"

#include <sqlite3.h>

#include <limits>
#include <system_error>

namespace lanyx::history {

namespace {

// Every column of a row, as the table holds it: the copy keeps the keys
// that renames changed.
constexpr const char* kRawColumns =
    "id, time, outgoing, peer, peer_key, conv, kind, text, trust, delivery, msg_id, chat, files, bytes";
constexpr int kRawCount = 14;
bool isTextColumn(int c) {
    return c == 3 || c == 4 || c == 5 || c == 7 || c == 11;
}

// An error of the caller's work on a row, not of reading it.
struct Passed {
    sql::Error error;
};

void removeWithJournal(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    for (const char* suffix : {"-wal", "-shm"}) {
        auto companion = file;
        companion += suffix;
        std::filesystem::remove(companion, ec);
    }
}

}  // namespace

void ScanReadable(sql::Connection& db, const std::string& columns, std::int64_t afterId,
                  const std::function<void(const sql::Statement&)>& each) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    // Ids beyond the largest are what a damaged page makes up.
    std::int64_t bound = kMax;
    try {
        auto s = db.prepare("SELECT max(id) FROM messages");
        if (s.step() && !s.isNull(0)) bound = s.integer(0);
    } catch (const sql::Error& e) {
        if (!e.damaged()) throw;
    }
    const std::string all = "SELECT " + columns + " FROM messages m WHERE m.id > ? ORDER BY m.id";
    const std::string first = all + " LIMIT 1";
    // Whether the first row after `id` reads whole (every column is read
    // before a row is handed out), and whether there is one.
    struct Probe {
        bool readable = false;
        bool any = false;
    };
    auto probe = [&](std::int64_t id) {
        try {
            auto s = db.prepare(first);
            s.bind(1, id);
            return Probe{true, s.step()};
        } catch (const sql::Error& e) {
            if (!e.damaged()) throw;
            return Probe{};
        }
    };
    std::int64_t last = afterId;
    try {
        for (;;) {
            try {
                auto s = db.prepare(all);
                s.bind(1, last);
                while (s.step()) {
                    const auto id = s.integer(0);
                    if (id <= last || id > bound) continue;
                    last = id;
                    try {
                        each(s);
                    } catch (const sql::Error& e) {
                        throw Passed{e};
                    }
                }
                return;
            } catch (const sql::Error& e) {
                if (!e.damaged()) throw;
            }
            // Past the damage: doubling steps find a row that reads, halving
            // ones the first of them.
            std::int64_t step = 1, bad = last, good = 0;
            for (;;) {
                if (step > kMax - last) return;
                const auto p = probe(last + step);
                if (p.readable) {
                    if (!p.any) return;
                    good = last + step;
                    break;
                }
                bad = last + step;
                if (step > kMax / 2) return;
                step *= 2;
            }
            while (good - bad > 1) {
                const auto mid = bad + (good - bad) / 2;
                (probe(mid).readable ? good : bad) = mid;
            }
            last = good;
        }
    } catch (const Passed& p) {
        throw p.error;
    }
}

HistoryStore::Salvaged HistoryStore::salvage(const std::filesystem::path& file, const std::function<bool()>& stopping) {
    Salvaged out;
    auto fresh = file;
    fresh += ".salvage";
    removeWithJournal(fresh);
    try {
        std::unique_ptr<sql::Connection> old;
        try {
            old = std::make_unique<sql::Connection>(file, sql::Connection::Mode::ReadOnly);
            old->exec("PRAGMA query_only = 1");
        } catch (const sql::Error&) {
            old.reset();  // nothing of it can be read: the new file starts empty
        }
        HistoryStore target(fresh, Mode::ReadWrite);
        auto& to = target.connection();
        if (old) {
            try {
                auto s = old->prepare("SELECT key, value FROM settings");
                while (s.step()) {
                    try {
                        target.setSetting(s.text(0), s.text(1));
                    } catch (const sql::Error& e) {
                        throw Passed{e};
                    }
                }
            } catch (const sql::Error&) {
                // Settings that cannot be read are the defaults again.
            } catch (const Passed& p) {
                throw p.error;
            }
            // The new file's triggers index every row as it comes: its
            // indexes and its full-text index are built anew.
            auto insert = to.prepare(std::string("INSERT OR IGNORE INTO messages(") + kRawColumns +
                                     ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
            std::optional<sql::Transaction> t(std::in_place, to);
            int inBatch = 0;
            ScanReadable(*old, kRawColumns, 0, [&](const sql::Statement& s) {
                for (int c = 0; c < kRawCount; ++c) {
                    if (isTextColumn(c)) insert.bind(c + 1, s.text(c));
                    else insert.bind(c + 1, s.integer(c));
                }
                insert.run();
                ++out.rows;
                if (++inBatch == 5000) {
                    t->commit();
                    // A program that ends does not wait for a long copy: the
                    // next start makes it again.
                    if (stopping && stopping()) {
                        out.stopped = true;
                        throw sql::Error(SQLITE_INTERRUPT, std::string(wordsFor(Reason::HistoryStopped)));
                    }
                    t.emplace(to);
                    inBatch = 0;
                }
            });
            t->commit();
            try {
                auto n = old->prepare("SELECT count(*) FROM messages INDEXED BY messages_time");
                if (n.step()) out.known = n.integer(0);
            } catch (const sql::Error&) {
                // The index is damaged too: how many there were is not known.
            }
        }
        to.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    } catch (const sql::Error& e) {
        removeWithJournal(fresh);
        out.problem = e.what();
        return out;
    }
    out.keptAside = keepAside(file);
    if (out.keptAside.empty()) {
        removeWithJournal(fresh);
        out.problem = "it could not be moved aside";
        return out;
    }
    std::error_code ec;
    std::filesystem::rename(fresh, file, ec);
    if (ec) {
        removeWithJournal(fresh);
        out.problem = "the new file could not take its place: " + ec.message();
        return out;
    }
    removeWithJournal(fresh);  // what SQLite may have left beside it
    out.replaced = true;
    return out;
}

}  // namespace lanyx::history
