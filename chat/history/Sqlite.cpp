#include "Sqlite.h"

#include <sqlite3.h>

namespace lanyx::history::sql {

bool Error::damaged() const {
    return code() == SQLITE_CORRUPT || code() == SQLITE_NOTADB;
}

bool Error::diskTrouble() const {
    return code() == SQLITE_FULL || code() == SQLITE_IOERR || code() == SQLITE_CANTOPEN || code() == SQLITE_READONLY ||
           code() == SQLITE_PERM || code() == SQLITE_AUTH;
}

bool Error::notFound() const {
    return code() == SQLITE_NOTFOUND;
}

bool Error::busy() const {
    return code() == SQLITE_BUSY || code() == SQLITE_LOCKED;
}

Connection::Connection(const std::filesystem::path& file, Mode mode) {
    const int flags = (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                      SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(file.string().c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string what = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw Error(rc, what);
    }
    sqlite3_extended_result_codes(db_, 1);
    if (mode == Mode::ReadOnly) keepJournalOnClose();
    // The writer and a reader of the same folder meet in the WAL's locks
    // for a moment now and then: wait instead of failing.
    sqlite3_busy_timeout(db_, 2000);
}

Connection::~Connection() {
    sqlite3_close_v2(db_);
}

void Connection::keepJournalOnClose() {
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

void Connection::raise(int code, const std::string& what) const {
    Error error(code, what);
    if (error.damaged() && onDamage_) onDamage_();
    throw error;
}

void Connection::fail(int code) const {
    raise(code, db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
}

void Connection::exec(std::string_view sql) {
    const std::string text(sql);
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const std::string what = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        raise(sqlite3_extended_errcode(db_) ? sqlite3_extended_errcode(db_) : rc, what);
    }
}

Statement Connection::prepare(std::string_view sql) {
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) fail(sqlite3_extended_errcode(db_));
    return Statement(*this, stmt);
}

std::int64_t Connection::lastInsertRowid() const {
    return sqlite3_last_insert_rowid(db_);
}

int Connection::changes() const {
    return sqlite3_changes(db_);
}

void Connection::interrupt() {
    sqlite3_interrupt(db_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = other.stmt_;
        other.stmt_ = nullptr;
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement& Statement::bind(int index, std::int64_t value) {
    if (const int rc = sqlite3_bind_int64(stmt_, index, value); rc != SQLITE_OK) db_->fail(rc);
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    const int rc = sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK) db_->fail(rc);
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (const int rc = sqlite3_bind_null(stmt_, index); rc != SQLITE_OK) db_->fail(rc);
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const int code = sqlite3_extended_errcode(db_->handle());
    sqlite3_reset(stmt_);
    db_->fail(code ? code : rc);
}

void Statement::run() {
    while (step()) {
    }
    sqlite3_reset(stmt_);
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string Statement::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

Transaction::Transaction(Connection& db, bool immediate) : db_(db) {
    db_.exec(immediate ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction() {
    if (!open_) return;
    try {
        db_.exec("ROLLBACK");
    } catch (...) {
        // A failed commit may have rolled back already.
    }
}

void Transaction::commit() {
    db_.exec("COMMIT");
    open_ = false;
}

}  // namespace lanyx::history::sql
