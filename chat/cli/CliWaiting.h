#pragma once
// lanyx-cli waiting: the private messages waiting in the data folder for
// recipients who were not on the network, and taking one back, without
// going onto the network.
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>

namespace lanyx::cli {

// One line per waiting message: number, recipient, kind, since, until
// (ISO 8601), tab-separated. The text stays sealed. Read only: it runs
// beside a copy on the folder.
int ListWaiting(const std::filesystem::path& dataDir, std::ostream& out, std::ostream& err);

// Takes back the message with this number (the history marks it taken
// back). Holds the data folder while it writes: a copy running there
// answers 4 (take it back there); 7 when no message has that number.
int CancelWaiting(const std::filesystem::path& dataDir, std::uint64_t id, std::ostream& out, std::ostream& err);

}  // namespace lanyx::cli
