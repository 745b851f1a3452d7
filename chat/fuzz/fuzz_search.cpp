// The search box's parser on any text: whatever is typed, the index gets a
// query it accepts (never a syntax error), with no more terms than allowed,
// and each term with a word in it.
#include "SearchQuery.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace lanyx::history;

namespace {

sqlite3* index() {
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        if (sqlite3_open(":memory:", &d) != SQLITE_OK) std::abort();
        const char* setup =
            "CREATE VIRTUAL TABLE t USING fts5(text, tokenize = 'unicode61 remove_diacritics 2');"
            "INSERT INTO t VALUES ('lunch on friday'), ('the fire drill'), ('e-mail me'), ('caf\xC3\xA9 au lait');";
        if (sqlite3_exec(d, setup, nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
        return d;
    }();
    return db;
}

void mustRun(const std::string& match) {
    if (match.empty()) return;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(index(), "SELECT rowid FROM t WHERE t MATCH ?", -1, &s, nullptr) != SQLITE_OK) std::abort();
    sqlite3_bind_text(s, 1, match.data(), static_cast<int>(match.size()), SQLITE_TRANSIENT);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) std::abort();  // a query the index refused
    sqlite3_finalize(s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const bool prefix : {false, true}) {
        const auto parsed = ParseSearch(text, {prefix});
        std::size_t terms = parsed.excluded.size();
        for (const auto& group : parsed.required) {
            if (group.empty()) std::abort();
            terms += group.size();
            for (const auto& t : group)
                if (!HasWordCharacter(t.text)) std::abort();
        }
        if (terms > kMaxTerms) std::abort();
        mustRun(parsed.match());
        mustRun(parsed.requiredMatch());
        mustRun(parsed.excludedMatch());
    }
    return 0;
}
