#pragma once
// The history database: messages with a full-text index over their text,
// in one SQLite file (WAL journal, readable by the user alone). One object
// is one connection and belongs to one thread at a time; the writer thread
// has one, every reader its own.
#include "Error.h"
#include "HistoryPort.h"
#include "SearchQuery.h"
#include "Sqlite.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lanyx::history {

inline constexpr std::string_view kFileName = "History.db";
// The conversation of everything to and from everybody.
inline constexpr std::string_view kEverybodyKey = "(all)";

struct HistoryRow {
    std::int64_t id = 0;
    HistoryEntry entry;
};

// Which messages: all of them, one person's private ones, those to and
// from everybody, a chat of ours with several members, or (for the command
// line) everything with one user: private and what that user said to all.
struct Scope {
    enum class Type : std::uint8_t { All, Person, Everybody, Group, With };
    Type type = Type::All;
    std::string key;  // Person, With: the name in lower case; Group: the chat key (tag or room)

    static Scope all() { return {}; }
    static Scope person(std::string_view name);
    static Scope everybody() { return {Type::Everybody, std::string(kEverybodyKey)}; }
    static Scope group(std::string tag) { return {Type::Group, std::move(tag)}; }
    static Scope with(std::string_view name);
    bool operator==(const Scope&) const = default;
};

struct Filter {
    Scope scope;
    std::int64_t sinceMs = 0;   // only from this time on (0: any)
    std::int64_t beforeId = 0;  // only older than this row (0: any)
    std::size_t limit = 0;      // the newest this many (0: all)
    bool chatOnly = false;      // chat lines only (no alerts, boxes, transfers)
};

struct Conversation {
    Scope scope;
    std::string title;  // the name as last seen, "(All)", or the members
    std::int64_t messages = 0;
    std::int64_t lastId = 0;
    std::int64_t lastTimeMs = 0;
    // Its newest message: who wrote it (empty: the user), and its text.
    std::string lastSpeaker;
    std::string lastText;
};

// The chat tag of a line to several members: the others, lower case,
// sorted, once each, "|"-terminated; empty for fewer than two others or
// more than kMaxTaggedMembers.
inline constexpr std::size_t kMaxTaggedMembers = 16;
std::string ChatTag(const std::vector<std::string>& members, std::string_view ownName);
std::vector<std::string> TagMembers(std::string_view tag);
// The chat key of a shared chat: its id, whoever joins or leaves it.
std::string RoomKey(std::string_view roomId);
bool IsRoomKey(std::string_view key);

// A line to a chat of several members goes to each of them: one message,
// kept once. Told each entry in the order they are kept.
class GroupSendFold {
public:
    // True when `e` is the line just kept, to another member of the same
    // chat (a member of its tag), within kWithinMs.
    bool folds(const HistoryEntry& e);
    static constexpr std::int64_t kWithinMs = 2000;

private:
    bool open_ = false;
    HistoryEntry last_;
    std::vector<std::string> peers_;
};

class HistoryStore {
public:
    using Mode = sql::Connection::Mode;
    // Opens the file; ReadWrite makes it (mode 0600) and its tables when
    // missing. Throws sql::Error; a file of a later version is refused.
    HistoryStore(const std::filesystem::path& file, Mode mode);

    // Opening for writing: the store, or why there is none.
    struct Opened {
        std::unique_ptr<HistoryStore> store;
        bool damaged = false;          // to be salvaged (see salvage())
        std::optional<Error> problem;  // else why the history is off for this run
    };
    static Opened openForWriting(const std::filesystem::path& file);
    // Renames the file and its journal files to "<name>.damaged-<time>" (a
    // number added when taken). The new name of the database, or empty.
    static std::filesystem::path keepAside(const std::filesystem::path& file);

    struct Salvaged {
        bool replaced = false;            // the new file has taken the damaged one's name
        std::filesystem::path keptAside;  // the damaged file as it was found (empty: still in place)
        std::int64_t rows = 0;            // messages copied
        std::int64_t known = -1;          // messages its index knew of (-1: not known)
        std::string problem;              // why it was not replaced
        bool stopped = false;             // given up when asked to: the file is as it was
    };
    // Every message that can still be read of a damaged file, and its
    // settings, go into a new file (its indexes and full-text index built
    // anew); then the damaged one is kept aside and the new one takes its
    // name. Nothing may have the file open for writing meanwhile. When
    // `stopping` says so (asked between batches), the copy is given up.
    static Salvaged salvage(const std::filesystem::path& file, const std::function<bool()>& stopping = {});

    const std::filesystem::path& file() const { return file_; }
    sql::Connection& connection() { return db_; }
    std::int64_t maxId();
    // The people (lower case) with messages kept.
    std::vector<std::string> personKeys();

    // Writing (the writer thread, in its transactions).
    void insert(std::int64_t id, const HistoryEntry& entry);
    void updateDelivery(std::uint64_t messageId, const std::string& recipient, HistoryDelivery state);
    // The line `lineId` of `authorKey` (empty: the user's own) says `text`
    // now, or nothing (Deleted). Rows changed.
    std::int64_t changeLine(std::uint64_t lineId, std::string_view authorKey, LineChange change, std::string_view text);
    // Numbers deleted.
    std::int64_t erase(const Scope& scope);
    std::int64_t eraseBefore(std::int64_t timeMs);
    // A user known by another name now: the conversations with `from` and
    // the chats it was in are `to`'s (each line keeps the name it came
    // under). Rows changed.
    std::int64_t rename(std::string_view from, std::string_view to);
    // After deleting: the index rebuilt without what was deleted and the
    // journal emptied, so that nothing deleted stays readable in the files.
    void purge();
    std::optional<std::string> setting(std::string_view key);
    void setSetting(std::string_view key, std::string_view value);

    // Reading: rows in the order they were recorded.
    std::vector<HistoryRow> rows(const Filter& filter);
    std::vector<HistoryRow> search(const ParsedSearch& query, const Filter& filter);
    // As search(), each row handed over as it is read, none held (the
    // newest `limit` are sorted by the database, which spills to disk).
    void searchEach(const ParsedSearch& query, const Filter& filter,
                    const std::function<void(const HistoryRow&)>& each);
    // Every row after `afterId` that can be read, oldest first: those on
    // a damaged page are skipped, not the rest. For a damaged file.
    void eachReadable(std::int64_t afterId, const std::function<void(const HistoryRow&)>& each);
    // The row and up to `n` rows of its conversation before and after it.
    std::vector<HistoryRow> around(std::int64_t id, std::size_t n);
    // The rows of the line `lineId` (a line of ours to several members is
    // one per recipient in files of before), oldest first, at most 64.
    std::vector<HistoryRow> lineRows(std::uint64_t lineId);
    // Most recent first.
    std::vector<Conversation> conversations();
    std::int64_t count();

private:
    std::string columns_;  // what a row is read from, in readRow's order
    void createSchema();
    void migrateChats();
    std::string scopeSql(const Scope& scope, const std::string& alias, std::vector<std::string>& params) const;
    std::vector<HistoryRow> select(const std::string& sql, const std::vector<std::string>& params,
                                   const std::optional<std::string>& match, const Filter& filter, bool newestFirst);
    void selectEach(const std::string& sql, const std::vector<std::string>& params,
                    const std::optional<std::string>& match, const Filter& filter,
                    const std::function<void(const HistoryRow&)>& each);
    // The statement of search() and the values it takes.
    struct Query {
        std::string sql;
        std::vector<std::string> params;
        std::optional<std::string> match;
    };
    Query searchQuery(const ParsedSearch& query, const Filter& filter) const;

    std::filesystem::path file_;
    sql::Connection db_;
    std::optional<sql::Statement> insert_;
    std::optional<sql::Statement> update_;
};

// What the user is told of a salvage (English: the log's and lanyx-cli's).
std::string SalvageNotice(const HistoryStore::Salvaged& saved, const std::filesystem::path& keptAside,
                          const std::string& why = {});

// Steps `columns` (of "messages m") of every row after `afterId` that can
// be read, in id order, skipping what a damaged page holds. Errors other
// than damage, and those `each` throws, end it.
void ScanReadable(sql::Connection& db, const std::string& columns, std::int64_t afterId,
                  const std::function<void(const sql::Statement&)>& each);

// "report.pdf, photos: 2 files, 1053241 bytes" and the like for a transfer row.
std::string TransferText(const HistoryEntry& entry);

}  // namespace lanyx::history
