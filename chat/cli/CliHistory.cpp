#include "CliHistory.h"

#include "CliPeer.h"
#include "HistoryStore.h"

#include <cstdio>
#include <ctime>
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

int RunHistory(const HistoryQuery& q, const std::filesystem::path& dataDir, std::ostream& out, std::ostream& err) {
    const auto file = dataDir / history::kFileName;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return 0;  // nothing kept yet
    try {
        history::HistoryStore store(file, history::HistoryStore::Mode::ReadOnly);
        history::Filter f;
        if (q.with) f.scope = history::Scope::with(*q.with);
        if (q.sinceMs) f.sinceMs = *q.sinceMs;
        f.limit = q.limit;
        const auto rows = store.search(history::ParseSearch(q.search.value_or("")), f);
        for (const auto& r : rows) out << HistoryLine(r.entry.timeMs, r.entry) << '\n';
        out.flush();
    } catch (const history::sql::Error& e) {
        if (e.notFound()) return 0;  // made, but nothing written yet
        err << "lanyx-cli: the history (" << file.string() << ") cannot be read: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}

}  // namespace lanyx::cli
