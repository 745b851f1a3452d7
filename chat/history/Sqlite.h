#pragma once
// A thin hold on SQLite's C interface: a connection and prepared statements
// that finalize themselves, and errors as exceptions that keep SQLite's code.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace lanyx::history::sql {

class Error : public std::runtime_error {
public:
    Error(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
    // SQLite's primary result code (SQLITE_FULL, SQLITE_CORRUPT, ...).
    int code() const { return code_ & 0xFF; }
    int extendedCode() const { return code_; }
    // The file is not a database, or a damaged one.
    bool damaged() const;
    // The disk or the system refused (full disk, I/O error, no permission).
    bool diskTrouble() const;
    // Another connection holds a lock.
    bool busy() const;
    // A file without the tables asked for (made, nothing written yet).
    bool notFound() const;

private:
    int code_;
};

class Statement;

class Connection {
public:
    enum class Mode { ReadWrite, ReadOnly };
    // Opens (ReadWrite: creates) the file; throws Error.
    Connection(const std::filesystem::path& file, Mode mode);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void exec(std::string_view sql);
    Statement prepare(std::string_view sql);
    std::int64_t lastInsertRowid() const;
    int changes() const;
    // Makes a running statement of this connection end soon with an error
    // (from another thread): a search that a newer one replaced.
    void interrupt();
    sqlite3* handle() const { return db_; }
    [[noreturn]] void fail(int code) const;
    // Called (on the failing thread) when this connection finds the file
    // damaged, before the error is thrown.
    void onDamage(std::function<void()> hook) { onDamage_ = std::move(hook); }
    // Closing leaves the journal as it is: a damaged file kept aside stays
    // as it was found, and a reader's close never writes.
    void keepJournalOnClose();

private:
    [[noreturn]] void raise(int code, const std::string& what) const;
    sqlite3* db_ = nullptr;
    std::function<void()> onDamage_;
};

class Statement {
public:
    Statement(Connection& db, sqlite3_stmt* stmt) : db_(&db), stmt_(stmt) {}
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    ~Statement();

    // Parameters count from 1, as SQLite counts them.
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view text);
    Statement& bindNull(int index);
    // True while a row is there.
    bool step();
    // Steps to the end (for statements that return no rows).
    void run();
    void reset();

    std::int64_t integer(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

private:
    Connection* db_;
    sqlite3_stmt* stmt_;
};

// A transaction that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Connection& db, bool immediate = true);
    ~Transaction();
    void commit();

private:
    Connection& db_;
    bool open_ = true;
};

}  // namespace lanyx::history::sql
