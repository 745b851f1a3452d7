#include "HistoryStore.h"

#include "Text.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <limits>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lanyx::history {

namespace {

// 2: the lines of a chat of several members are its conversation (conv is
// the chat key), kept once, not once per member.
// 3: the line's id; 4: the line it answers, and what its author did to it.
constexpr int kSchemaVersion = 4;

// The columns of later versions last: a file of a version before (read,
// never changed, by a reader) has none, and reads them as 0.
constexpr const char* kColumnsBefore =
    "m.id, m.time, m.outgoing, m.peer, m.kind, m.text, m.trust, m.delivery, m.msg_id, m.chat, m.files, m.bytes";
constexpr const char* kLaterColumns[] = {"line_id", "reply_to", "change"};

bool hasColumn(sql::Connection& db, std::string_view name) {
    auto c = db.prepare("SELECT count(*) FROM pragma_table_info('messages') WHERE name = ?");
    c.bind(1, std::string(name));
    return c.step() && c.integer(0) > 0;
}

std::string columnsOf(sql::Connection& db) {
    std::string columns = kColumnsBefore;
    for (const char* later : kLaterColumns) columns += hasColumn(db, later) ? std::string(", m.") + later : ", 0";
    return columns;
}

HistoryRow readRow(const sql::Statement& s) {
    HistoryRow r;
    r.id = s.integer(0);
    r.entry.timeMs = s.integer(1);
    r.entry.outgoing = s.integer(2) != 0;
    r.entry.peer = s.text(3);
    const auto kind = s.integer(4);
    r.entry.kind = kind >= 0 && kind < kHistoryKinds ? static_cast<HistoryKind>(kind) : HistoryKind::Chat;
    r.entry.text = s.text(5);
    const auto trust = s.integer(6);
    r.entry.trust = trust >= 0 && trust <= 3 ? static_cast<HistoryTrust>(trust) : HistoryTrust::Plain;
    const auto delivery = s.integer(7);
    r.entry.delivery = delivery >= 0 && delivery <= 7 ? static_cast<HistoryDelivery>(delivery) : HistoryDelivery::None;
    r.entry.messageId = static_cast<std::uint64_t>(s.integer(8));
    r.entry.chat = s.text(9);
    r.entry.files = static_cast<std::uint64_t>(s.integer(10));
    r.entry.bytes = static_cast<std::uint64_t>(s.integer(11));
    r.entry.lineId = static_cast<std::uint64_t>(s.integer(12));
    r.entry.replyTo = static_cast<std::uint64_t>(s.integer(13));
    const auto change = s.integer(14);
    r.entry.change = change >= 0 && change <= 2 ? static_cast<LineChange>(change) : LineChange::None;
    return r;
}

// Made for the user alone before SQLite sees it; a file others could read
// is closed to them. The journal files SQLite makes take the same mode.
void restrictFile(const std::filesystem::path& file) {
#ifndef _WIN32
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return;  // SQLite's own open reports why
    struct stat st {};
    if (::fstat(fd, &st) == 0 && (st.st_mode & 077) != 0) ::fchmod(fd, st.st_mode & 0700);
    ::close(fd);
    for (const char* suffix : {"-wal", "-shm"}) {
        auto companion = file;
        companion += suffix;
        if (::stat(companion.c_str(), &st) == 0 && (st.st_mode & 077) != 0)
            ::chmod(companion.c_str(), st.st_mode & 0700);
    }
#else
    (void)file;
#endif
}

std::string stamp() {
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

}  // namespace

Scope Scope::person(std::string_view name) {
    return {Type::Person, toLower(name)};
}

Scope Scope::with(std::string_view name) {
    return {Type::With, toLower(name)};
}

std::string ChatTag(const std::vector<std::string>& members, std::string_view ownName) {
    std::vector<std::string> others;
    for (const auto& m : members) {
        auto key = toLower(m);
        if (key.empty() || equalsNoCase(key, ownName) || key.find('|') != std::string::npos) continue;
        if (std::find(others.begin(), others.end(), key) == others.end()) others.push_back(std::move(key));
    }
    if (others.size() < 2 || others.size() > kMaxTaggedMembers) return {};
    std::sort(others.begin(), others.end());
    std::string tag;
    for (const auto& o : others) tag += o + "|";
    return tag;
}

std::string RoomKey(std::string_view roomId) {
    return RoomChatKey(roomId);
}

bool IsRoomKey(std::string_view key) {
    return IsRoomChatKey(key);
}

bool GroupSendFold::folds(const HistoryEntry& e) {
    const bool candidate = e.outgoing && !e.chat.empty() && IsMessageKind(e.kind);
    if (candidate && open_ && e.chat == last_.chat && e.kind == last_.kind && e.text == last_.text &&
        e.timeMs >= last_.timeMs && e.timeMs - last_.timeMs <= kWithinMs) {
        auto key = toLower(e.peer);
        const auto members = IsRoomKey(e.chat) ? std::vector<std::string>{} : TagMembers(e.chat);
        const bool member = IsRoomKey(e.chat) || std::find(members.begin(), members.end(), key) != members.end();
        if (member && std::find(peers_.begin(), peers_.end(), key) == peers_.end()) {
            peers_.push_back(std::move(key));
            return true;
        }
    }
    open_ = candidate;
    peers_.clear();
    if (candidate) {
        last_ = e;
        peers_.push_back(toLower(e.peer));
    }
    return false;
}

std::vector<std::string> TagMembers(std::string_view tag) {
    std::vector<std::string> out;
    while (!tag.empty()) {
        const auto bar = tag.find('|');
        if (bar == std::string_view::npos) break;
        if (bar > 0) out.emplace_back(tag.substr(0, bar));
        tag.remove_prefix(bar + 1);
    }
    return out;
}

std::string TransferText(const HistoryEntry& e) {
    std::string out = e.text;
    out += out.empty() ? "" : ": ";
    out += std::to_string(e.files) + (e.files == 1 ? " file, " : " files, ") + std::to_string(e.bytes) +
           (e.bytes == 1 ? " byte" : " bytes");
    return out;
}

namespace {
const std::filesystem::path& prepared(const std::filesystem::path& file, sql::Connection::Mode mode) {
    if (mode == sql::Connection::Mode::ReadWrite) restrictFile(file);
    return file;
}
}  // namespace

HistoryStore::HistoryStore(const std::filesystem::path& file, Mode mode)
    : file_(file), db_(prepared(file, mode), mode) {
    // Read-only: the writer's file as it is; never made, never changed.
    if (mode == Mode::ReadOnly) {
        db_.exec("PRAGMA query_only = 1");
        auto v = db_.prepare("PRAGMA user_version");
        const auto version = v.step() ? v.integer(0) : 0;
        if (version > kSchemaVersion) throw sql::Error(SQLITE_MISMATCH, std::string(wordsFor(Reason::HistoryNewer)));
        // A file without our tables reads as an empty history.
        auto t = db_.prepare("SELECT count(*) FROM sqlite_master WHERE name = 'messages'");
        if (!t.step() || t.integer(0) == 0)
            throw sql::Error(SQLITE_NOTFOUND, std::string(wordsFor(Reason::HistoryEmpty)));
        columns_ = columnsOf(db_);
        return;
    }
    db_.exec("PRAGMA journal_mode = WAL");
    // Committed is kept when the program is killed; only a power cut may
    // take the last commits (never the file).
    db_.exec("PRAGMA synchronous = NORMAL");
    // Deleted rows are overwritten, not left in free pages.
    db_.exec("PRAGMA secure_delete = ON");
    db_.exec("PRAGMA journal_size_limit = 4194304");
    createSchema();
}

void HistoryStore::createSchema() {
    std::int64_t version = 0;
    {
        auto v = db_.prepare("PRAGMA user_version");
        if (v.step()) version = v.integer(0);
    }
    if (version > kSchemaVersion) throw sql::Error(SQLITE_MISMATCH, std::string(wordsFor(Reason::HistoryNewer)));
    sql::Transaction t(db_);
    {
        auto exists = db_.prepare("SELECT count(*) FROM sqlite_master WHERE name = 'messages'");
        if (exists.step() && exists.integer(0) > 0)
            for (const char* later : kLaterColumns)
                if (!hasColumn(db_, later))
                    db_.exec(std::string("ALTER TABLE messages ADD COLUMN ") + later + " INTEGER NOT NULL DEFAULT 0");
    }
    db_.exec(R"(
CREATE TABLE IF NOT EXISTS messages(
  id INTEGER PRIMARY KEY,
  time INTEGER NOT NULL,
  outgoing INTEGER NOT NULL,
  peer TEXT NOT NULL,
  peer_key TEXT NOT NULL,
  conv TEXT NOT NULL,
  kind INTEGER NOT NULL,
  text TEXT NOT NULL,
  trust INTEGER NOT NULL DEFAULT 0,
  delivery INTEGER NOT NULL DEFAULT 0,
  msg_id INTEGER NOT NULL DEFAULT 0,
  chat TEXT NOT NULL DEFAULT '',
  files INTEGER NOT NULL DEFAULT 0,
  bytes INTEGER NOT NULL DEFAULT 0,
  line_id INTEGER NOT NULL DEFAULT 0,
  reply_to INTEGER NOT NULL DEFAULT 0,
  change INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS messages_conv ON messages(conv, id);
CREATE INDEX IF NOT EXISTS messages_line ON messages(line_id) WHERE line_id <> 0;
CREATE INDEX IF NOT EXISTS messages_time ON messages(time);
CREATE INDEX IF NOT EXISTS messages_msg ON messages(msg_id) WHERE msg_id <> 0;
CREATE INDEX IF NOT EXISTS messages_chat ON messages(chat, id) WHERE chat <> '';
CREATE VIRTUAL TABLE IF NOT EXISTS messages_text USING fts5(
  text, content = 'messages', content_rowid = 'id', tokenize = 'unicode61 remove_diacritics 2');
CREATE TRIGGER IF NOT EXISTS messages_ai AFTER INSERT ON messages BEGIN
  INSERT INTO messages_text(rowid, text) VALUES (new.id, new.text);
END;
CREATE TRIGGER IF NOT EXISTS messages_ad AFTER DELETE ON messages BEGIN
  INSERT INTO messages_text(messages_text, rowid, text) VALUES ('delete', old.id, old.text);
END;
CREATE TRIGGER IF NOT EXISTS messages_au AFTER UPDATE OF text ON messages BEGIN
  INSERT INTO messages_text(messages_text, rowid, text) VALUES ('delete', old.id, old.text);
  INSERT INTO messages_text(rowid, text) VALUES (new.id, new.text);
END;
CREATE TABLE IF NOT EXISTS settings(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
)");
    columns_ = columnsOf(db_);
    if (version == 1) migrateChats();
    db_.exec("PRAGMA user_version = " + std::to_string(kSchemaVersion));
    t.commit();
}

void HistoryStore::migrateChats() {
    // Each line to a chat of several members was kept once per member,
    // under that member: now once, under the chat. Only the rows that
    // follow one another as one line to the members fold; the rest stay.
    db_.exec("UPDATE messages SET conv = chat WHERE chat <> '' AND conv <> '(all)'");
    std::vector<std::int64_t> folded;
    GroupSendFold fold;
    std::int64_t lastId = 0;
    auto rows = db_.prepare("SELECT " + columns_ + " FROM messages m ORDER BY m.id");
    while (rows.step()) {
        const auto r = readRow(rows);
        // A row between them (a line that came meanwhile) ends the line.
        if (r.id != lastId + 1) fold = {};
        lastId = r.id;
        if (fold.folds(r.entry)) folded.push_back(r.id);
    }
    auto drop = db_.prepare("DELETE FROM messages WHERE id = ?");
    for (const auto id : folded) {
        drop.bind(1, id);
        drop.run();
        drop.reset();
    }
}

std::filesystem::path HistoryStore::keepAside(const std::filesystem::path& file) {
    const auto dir = file.parent_path();
    const auto base = file.stem().string() + ".damaged-" + stamp();
    std::filesystem::path target;
    for (int n = 1; n < 1000; ++n) {
        auto name = base + (n > 1 ? "-" + std::to_string(n) : std::string()) + file.extension().string();
        std::error_code ec;
        if (!std::filesystem::exists(dir / name, ec)) {
            target = dir / name;
            break;
        }
    }
    if (target.empty()) return {};
    std::error_code ec;
    std::filesystem::rename(file, target, ec);
    if (ec) return {};
    // The journal files go with it, named so that SQLite finds them beside it.
    for (const char* suffix : {"-wal", "-shm"}) {
        auto from = file, to = target;
        from += suffix;
        to += suffix;
        std::error_code ignored;
        if (std::filesystem::exists(from, ignored)) std::filesystem::rename(from, to, ignored);
    }
    return target;
}

HistoryStore::Opened HistoryStore::openForWriting(const std::filesystem::path& file) {
    Opened out;
    try {
        auto store = std::make_unique<HistoryStore>(file, Mode::ReadWrite);
        store->maxId();  // reads the table: a damaged file says so here
        out.store = std::move(store);
    } catch (const sql::Error& e) {
        out.damaged = e.damaged();
        if (!out.damaged) out.problem = failure(Reason::HistoryUnusable, {file.filename().string(), e.what()});
    }
    return out;
}

std::string SalvageNotice(const HistoryStore::Salvaged& saved, const std::filesystem::path& keptAside,
                          const std::string& why) {
    std::string text = "The history was damaged" + (why.empty() ? std::string() : " (" + why + ")") +
                       ". It is kept as " + keptAside.filename().string();
    if (!saved.replaced) return text + " and a new one was started (" + saved.problem + ").";
    if (saved.rows == 0) return text + " and a new one was started: nothing of it could be read.";
    text += "; the " + std::to_string(saved.rows) + " messages that could be read of it";
    if (saved.known > saved.rows) text += " (of " + std::to_string(saved.known) + ")";
    return text + " are in a new one.";
}

std::int64_t HistoryStore::maxId() {
    auto s = db_.prepare("SELECT coalesce(max(id), 0) FROM messages");
    return s.step() ? s.integer(0) : 0;
}

std::int64_t HistoryStore::count() {
    auto s = db_.prepare("SELECT count(*) FROM messages");
    return s.step() ? s.integer(0) : 0;
}

void HistoryStore::insert(std::int64_t id, const HistoryEntry& e) {
    if (!insert_)
        insert_ = db_.prepare(
            "INSERT INTO messages(id, time, outgoing, peer, peer_key, conv, kind, text, trust, delivery, msg_id, "
            "chat, files, bytes, line_id, reply_to, change) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    auto& s = *insert_;
    const auto key = toLower(e.peer);
    s.bind(1, id)
        .bind(2, e.timeMs)
        .bind(3, std::int64_t{e.outgoing})
        .bind(4, e.peer)
        .bind(5, key)
        .bind(6, IsPublicKind(e.kind) ? std::string(kEverybodyKey)
                 : e.chat.empty()     ? key
                                      : e.chat)
        .bind(7, static_cast<std::int64_t>(e.kind))
        .bind(8, e.text)
        .bind(9, static_cast<std::int64_t>(e.trust))
        .bind(10, static_cast<std::int64_t>(e.delivery))
        .bind(11, static_cast<std::int64_t>(e.messageId))
        .bind(12, e.chat)
        .bind(13, static_cast<std::int64_t>(e.files))
        .bind(14, static_cast<std::int64_t>(e.bytes))
        .bind(15, static_cast<std::int64_t>(e.lineId))
        .bind(16, static_cast<std::int64_t>(e.replyTo))
        .bind(17, static_cast<std::int64_t>(e.change));
    s.run();
}

std::int64_t HistoryStore::changeLine(std::uint64_t lineId, std::string_view authorKey, LineChange change,
                                      std::string_view text) {
    if (lineId == 0 || change == LineChange::None) return 0;
    // The author's own lines, or those that came from him: one row each
    // (a line to several members is kept once).
    auto s = db_.prepare(authorKey.empty()
                             ? "UPDATE messages SET text = ?1, change = ?2 WHERE line_id = ?3 AND outgoing = 1"
                             : "UPDATE messages SET text = ?1, change = ?2 WHERE line_id = ?3 AND outgoing = 0 "
                               "AND peer_key = ?4");
    s.bind(1, change == LineChange::Deleted ? std::string() : std::string(text))
        .bind(2, static_cast<std::int64_t>(change))
        .bind(3, static_cast<std::int64_t>(lineId));
    if (!authorKey.empty()) s.bind(4, toLower(authorKey));
    s.run();
    return db_.changes();
}

void HistoryStore::updateDelivery(std::uint64_t messageId, const std::string& recipient, HistoryDelivery state) {
    if (messageId == 0) return;
    if (!update_)
        update_ = db_.prepare(
            "UPDATE messages SET delivery = ?1 WHERE id = (SELECT id FROM messages WHERE msg_id = ?2 AND "
            "peer_key = ?3 AND outgoing = 1 ORDER BY id DESC LIMIT 1)");
    auto& s = *update_;
    s.bind(1, static_cast<std::int64_t>(state))
        .bind(2, static_cast<std::int64_t>(messageId))
        .bind(3, toLower(recipient));
    s.run();
}

std::string HistoryStore::scopeSql(const Scope& scope, const std::string& a, std::vector<std::string>& params) const {
    switch (scope.type) {
    case Scope::Type::All: return "1";
    // A file not yet moved to the chats' own conversations files their
    // lines under each member: never one person's.
    case Scope::Type::Person: params.push_back(scope.key); return "(" + a + "conv = ? AND " + a + "chat = '')";
    case Scope::Type::Everybody: params.push_back(scope.key); return a + "conv = ?";
    case Scope::Type::Group: params.push_back(scope.key); return a + "chat = ?";
    case Scope::Type::With:
        params.push_back(scope.key);
        params.push_back(scope.key);
        return "((" + a + "conv = ? AND " + a + "chat = '') OR (" + a + "conv = '(all)' AND " + a + "peer_key = ?))";
    }
    return "0";
}

std::vector<HistoryRow> HistoryStore::select(const std::string& from, const std::vector<std::string>& params,
                                             const std::optional<std::string>& match, const Filter& f,
                                             bool newestFirst) {
    std::vector<HistoryRow> out;
    selectEach(from, params, match, f, [&](const HistoryRow& r) { out.push_back(r); });
    if (newestFirst) std::reverse(out.begin(), out.end());
    return out;
}

void HistoryStore::selectEach(const std::string& from, const std::vector<std::string>& params,
                              const std::optional<std::string>& match, const Filter& f,
                              const std::function<void(const HistoryRow&)>& each) {
    auto s = db_.prepare(from);
    int i = 1;
    if (match) s.bind(i++, *match);
    for (const auto& p : params) s.bind(i++, p);
    s.bind(i++, f.sinceMs);
    s.bind(i++, f.beforeId > 0 ? f.beforeId : std::numeric_limits<std::int64_t>::max());
    if (f.limit) s.bind(i++, static_cast<std::int64_t>(f.limit));
    while (s.step()) each(readRow(s));
}

namespace {
std::string tail(const Filter& f, const std::string& a, const std::string& orderColumn) {
    std::string sql = " AND " + a + "time >= ? AND " + a + "id < ?";
    if (f.chatOnly) sql += " AND " + a + "kind IN (2, 3)";
    sql += " ORDER BY " + orderColumn + (f.limit ? " DESC LIMIT ?" : " ASC");
    return sql;
}
}  // namespace

std::vector<HistoryRow> HistoryStore::rows(const Filter& f) {
    std::vector<std::string> params;
    const auto where = scopeSql(f.scope, "m.", params);
    return select("SELECT " + columns_ + " FROM messages m WHERE " + where + tail(f, "m.", "m.id"), params,
                  std::nullopt, f, f.limit != 0);
}

HistoryStore::Query HistoryStore::searchQuery(const ParsedSearch& query, const Filter& f) const {
    Query q;
    const auto where = scopeSql(f.scope, "m.", q.params);
    if (query.empty()) {
        q.sql = "SELECT " + columns_ + " FROM messages m WHERE " + where + tail(f, "m.", "m.id");
    } else if (!query.required.empty()) {
        // The index leads, newest first, so that the first screenful ends
        // the search however many rows match in all.
        q.sql = "SELECT " + columns_ +
                " FROM messages_text f CROSS JOIN messages m ON m.id = f.rowid "
                "WHERE messages_text MATCH ? AND " +
                where + tail(f, "m.", "f.rowid");
        q.match = query.match();
    } else {
        q.sql = "SELECT " + columns_ +
                " FROM messages m WHERE m.id NOT IN (SELECT rowid FROM messages_text WHERE messages_text MATCH ?)"
                " AND " +
                where + tail(f, "m.", "m.id");
        q.match = query.excludedMatch();
    }
    return q;
}

std::vector<HistoryRow> HistoryStore::search(const ParsedSearch& query, const Filter& f) {
    const auto q = searchQuery(query, f);
    return select(q.sql, q.params, q.match, f, f.limit != 0);
}

void HistoryStore::searchEach(const ParsedSearch& query, const Filter& f,
                              const std::function<void(const HistoryRow&)>& each) {
    auto q = searchQuery(query, f);
    // The newest N come newest first: the database turns them round.
    if (f.limit) q.sql = "SELECT * FROM (" + q.sql + ") ORDER BY 1";
    selectEach(q.sql, q.params, q.match, f, each);
}

void HistoryStore::eachReadable(std::int64_t afterId, const std::function<void(const HistoryRow&)>& each) {
    ScanReadable(db_, columns_, afterId, [&](const sql::Statement& s) { each(readRow(s)); });
}

std::vector<HistoryRow> HistoryStore::around(std::int64_t id, std::size_t n) {
    auto one = db_.prepare("SELECT " + columns_ + ", m.conv FROM messages m WHERE m.id = ?");
    one.bind(1, id);
    if (!one.step()) return {};
    const HistoryRow row = readRow(one);
    const std::string conv = one.text(15);
    std::vector<HistoryRow> out;
    auto before = db_.prepare("SELECT " + columns_ +
                              " FROM messages m WHERE m.conv = ? AND m.id < ? ORDER BY m.id DESC LIMIT ?");
    before.bind(1, conv).bind(2, id).bind(3, static_cast<std::int64_t>(n));
    while (before.step()) out.push_back(readRow(before));
    std::reverse(out.begin(), out.end());
    out.push_back(row);
    auto after = db_.prepare("SELECT " + columns_ +
                             " FROM messages m WHERE m.conv = ? AND m.id > ? ORDER BY m.id ASC LIMIT ?");
    after.bind(1, conv).bind(2, id).bind(3, static_cast<std::int64_t>(n));
    while (after.step()) out.push_back(readRow(after));
    return out;
}

std::vector<HistoryRow> HistoryStore::lineRows(std::uint64_t lineId) {
    std::vector<HistoryRow> out;
    if (lineId == 0 || columns_.find("m.line_id") == std::string::npos) return out;
    auto s = db_.prepare("SELECT " + columns_ + " FROM messages m WHERE m.line_id = ? ORDER BY m.id LIMIT 64");
    s.bind(1, static_cast<std::int64_t>(lineId));
    while (s.step()) out.push_back(readRow(s));
    return out;
}

std::vector<std::string> HistoryStore::personKeys() {
    std::vector<std::string> out;
    // From the conversations' index alone: a damaged page of messages does
    // not cost the names.
    auto q = db_.prepare("SELECT DISTINCT conv FROM messages WHERE conv <> ?");
    q.bind(1, std::string(kEverybodyKey));
    while (q.step()) {
        auto key = q.text(0);
        if (IsRoomKey(key)) continue;
        if (key.find('|') == std::string::npos) out.push_back(std::move(key));
        else
            for (auto& m : TagMembers(key)) out.push_back(std::move(m));
    }
    return out;
}

std::vector<Conversation> HistoryStore::conversations() {
    std::vector<Conversation> out;
    auto last = db_.prepare("SELECT peer, time, text, outgoing FROM messages WHERE id = ?");
    auto fill = [&](Conversation& c) {
        last.reset();
        last.bind(1, c.lastId);
        if (last.step()) {
            c.lastTimeMs = last.integer(1);
            c.lastText = last.text(2);
            if (last.integer(3) == 0) c.lastSpeaker = last.text(0);
            if (c.scope.type == Scope::Type::Person) c.title = last.text(0);
        }
        last.reset();
    };
    auto convs = db_.prepare("SELECT conv, count(*), max(id) FROM messages WHERE chat = '' GROUP BY conv");
    while (convs.step()) {
        Conversation c;
        const auto key = convs.text(0);
        c.scope = key == kEverybodyKey ? Scope::everybody() : Scope{Scope::Type::Person, key};
        c.title = key == kEverybodyKey ? "(All)" : key;
        c.messages = convs.integer(1);
        c.lastId = convs.integer(2);
        out.push_back(std::move(c));
    }
    for (auto& c : out) fill(c);
    // Members by the names they were last seen under.
    auto titleOf = [&](const std::string& key) {
        for (const auto& c : out)
            if (c.scope.type == Scope::Type::Person && c.scope.key == key) return c.title;
        return key;
    };
    std::vector<Conversation> groups;
    auto chats = db_.prepare("SELECT chat, count(*), max(id) FROM messages WHERE chat <> '' GROUP BY chat");
    // A shared chat's members change: it is titled by who wrote in it.
    auto speakers = db_.prepare("SELECT DISTINCT peer_key FROM messages WHERE chat = ? LIMIT 9");
    while (chats.step()) {
        Conversation c;
        c.scope = Scope::group(chats.text(0));
        auto members = TagMembers(c.scope.key);
        if (IsRoomKey(c.scope.key)) {
            speakers.bind(1, c.scope.key);
            while (speakers.step()) members.push_back(speakers.text(0));
            speakers.reset();
        }
        for (const auto& m : members) c.title += (c.title.empty() ? "" : ", ") + titleOf(m);
        c.messages = chats.integer(1);
        c.lastId = chats.integer(2);
        fill(c);
        groups.push_back(std::move(c));
    }
    out.insert(out.end(), groups.begin(), groups.end());
    std::sort(out.begin(), out.end(), [](const Conversation& a, const Conversation& b) { return a.lastId > b.lastId; });
    return out;
}

std::int64_t HistoryStore::erase(const Scope& scope) {
    std::vector<std::string> params;
    auto s = db_.prepare("DELETE FROM messages WHERE " + scopeSql(scope, "", params));
    int i = 1;
    for (const auto& p : params) s.bind(i++, p);
    s.run();
    return db_.changes();
}

std::int64_t HistoryStore::rename(std::string_view from, std::string_view to) {
    const auto oldKey = toLower(from), newKey = toLower(to);
    if (oldKey == newKey || oldKey.empty() || newKey.empty() || oldKey == kEverybodyKey) return 0;
    auto s = db_.prepare(
        "UPDATE messages SET peer_key = ?2, conv = CASE WHEN conv = ?1 THEN ?2 ELSE conv END WHERE peer_key = ?1");
    s.bind(1, oldKey).bind(2, newKey);
    s.run();
    std::int64_t changed = db_.changes();
    // The chats with several members that held the old name.
    std::vector<std::string> tags;
    auto find = db_.prepare("SELECT DISTINCT chat FROM messages WHERE chat <> '' AND instr('|' || chat, ?1) > 0");
    find.bind(1, "|" + oldKey + "|");
    while (find.step()) tags.push_back(find.text(0));
    auto retag = db_.prepare(
        "UPDATE messages SET chat = ?2, conv = CASE WHEN conv = ?1 THEN ?2 ELSE conv END WHERE chat = ?1");
    for (const auto& tag : tags) {
        auto members = TagMembers(tag);
        for (auto& m : members)
            if (m == oldKey) m = newKey;
        std::sort(members.begin(), members.end());
        members.erase(std::unique(members.begin(), members.end()), members.end());
        std::string renamed;
        for (const auto& m : members) renamed += m + "|";
        retag.bind(1, tag).bind(2, renamed);
        retag.run();
        changed += db_.changes();
    }
    return changed;
}

std::int64_t HistoryStore::eraseBefore(std::int64_t timeMs) {
    auto s = db_.prepare("DELETE FROM messages WHERE time < ?");
    s.bind(1, timeMs);
    s.run();
    return db_.changes();
}

void HistoryStore::purge() {
    // The index keeps deleted words in older segments until they are merged:
    // merged into one, they are gone.
    db_.exec("INSERT INTO messages_text(messages_text) VALUES ('optimize')");
    // Old page images of deleted rows stay in the journal until it is
    // written back and emptied.
    db_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

std::optional<std::string> HistoryStore::setting(std::string_view key) {
    auto s = db_.prepare("SELECT value FROM settings WHERE key = ?");
    s.bind(1, key);
    if (!s.step()) return std::nullopt;
    return s.text(0);
}

void HistoryStore::setSetting(std::string_view key, std::string_view value) {
    auto s = db_.prepare(
        "INSERT INTO settings(key, value) VALUES (?, ?) ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    s.bind(1, key).bind(2, value);
    s.run();
}

}  // namespace lanyx::history
