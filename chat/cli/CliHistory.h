#pragma once
// lanyx-cli history: the messages kept in the data folder, one a line,
// read while a copy runs there (never written, never on the network).
#include "CliPeer.h"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>

namespace lanyx::cli {

// ISO 8601 in local time with its offset: "2024-05-01T09:30:15+02:00".
std::string IsoTime(std::int64_t ms);
// One message: time, in/out, the other user, kind, text; tab-separated,
// cleaned as listen cleans its lines.
std::string HistoryLine(std::int64_t timeMs, const HistoryEntry& entry);

// Prints the messages, oldest first, each as it is read. Exit status: 0
// (also when nothing was kept yet), 1 when the history cannot be read, or
// is damaged: then what can be read of it is printed all the same.
int RunHistory(const HistoryQuery& query, const std::filesystem::path& dataDir, std::ostream& out, std::ostream& err);

}  // namespace lanyx::cli
