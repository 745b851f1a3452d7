#include "CliHistory.h"

#include "CliPeer.h"
#include "History.h"
#include "HistoryStore.h"

#include <cstdio>
#include <ctime>
#include <deque>
#include <functional>
#include <ostream>

namespace lanyx::cli {

std::string IsoTime(std::int64_t ms) {
    const std::time_t secs = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    std::tm local{};
    localtime_r(&secs, &local);
    char buf[40];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &local);
    const long off = local.tm_gmtoff;
    char zone[24];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", off < 0 ? '-' : '+', (off < 0 ? -off : off) / 3600,
                  ((off < 0 ? -off : off) % 3600) / 60);
    return std::string(buf) + zone;
}

std::string HistoryLine(std::int64_t timeMs, const HistoryEntry& e) {
    std::string text = IsTransferKind(e.kind) ? history::TransferText(e) : e.text;
    if (!e.outgoing && e.trust == HistoryTrust::NotVerified) text = std::string(kNotVerifiedMark) + text;
    return IsoTime(timeMs) + "\t" + (e.outgoing ? "out" : "in") + "\t" + EscapeControls(e.peer) + "\t" +
           std::string(HistoryKindName(e.kind)) + "\t" + EscapeControls(text);
}

namespace {
// What a damaged file still holds, past what was printed, filtered here as
// the index would have: the search needs an index that may be damaged too.
void printReadable(history::HistoryStore& store, const HistoryQuery& q, std::int64_t afterId,
                   const std::function<void(const history::HistoryRow&)>& print) {
    const auto scope = q.with   ? history::Scope::with(*q.with)
                       : q.room ? history::Scope::group(history::RoomKey(*q.room))
                                : history::Scope::all();
    std::deque<history::HistoryRow> newest;  // with --limit only
    store.eachReadable(afterId, [&](const history::HistoryRow& r) {
        if (!history::History::inScope(r.entry, scope) || r.entry.timeMs < q.sinceMs.value_or(0)) return;
        if (!q.limit) return print(r);
        newest.push_back(r);
        if (newest.size() > q.limit) newest.pop_front();
    });
    for (const auto& r : newest) print(r);
}
}  // namespace

int RunHistory(const HistoryQuery& q, const std::filesystem::path& dataDir, std::ostream& out, std::ostream& err) {
    const auto file = q.file ? std::filesystem::path(*q.file) : dataDir / history::kFileName;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        if (!q.file) return 0;  // nothing kept yet
        err << "lanyx-cli: " << file.string() << ": no such file" << std::endl;
        return 1;
    }
    std::int64_t lastId = 0;
    const auto print = [&](const history::HistoryRow& r) {
        out << HistoryLine(r.entry.timeMs, r.entry) << '\n';
        lastId = r.id;
    };
    try {
        history::HistoryStore store(file, history::HistoryStore::Mode::ReadOnly);
        history::Filter f;
        if (q.with) f.scope = history::Scope::with(*q.with);
        if (q.room) f.scope = history::Scope::group(history::RoomKey(*q.room));
        if (q.sinceMs) f.sinceMs = *q.sinceMs;
        f.limit = q.limit;
        try {
            store.searchEach(history::ParseSearch(q.search.value_or("")), f, print);
        } catch (const history::sql::Error& e) {
            if (!e.damaged() || q.search) throw;
            printReadable(store, q, lastId, print);
            out.flush();
            err << "lanyx-cli: the history (" << file.string()
                << ") is damaged: what its damaged pages held is left out" << std::endl;
            return 1;
        }
        out.flush();
    } catch (const history::sql::Error& e) {
        if (e.notFound()) return 0;  // made, but nothing written yet
        out.flush();
        err << "lanyx-cli: the history (" << file.string() << ") cannot be read: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}

}  // namespace lanyx::cli
