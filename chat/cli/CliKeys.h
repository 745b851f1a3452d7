#pragma once
// lanyx-cli keys and verify: the keys a data folder knows, and the user's
// check of one, without going onto the network.
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace lanyx::cli {

// Exit status of verify when nothing was marked: no key known for the
// name, or the numbers differ, or the user said no.
inline constexpr int kNotMarked = 7;

// The own name the safety numbers are made with: `nameForRun`, else the
// one the copy last ran under, else the one in User.ini, else the logon name.
std::string OwnNameOf(const std::filesystem::path& dataDir, const std::optional<std::string>& nameForRun,
                      const std::string& logonName);

// One line per known key: name, state ("new key, not checked", "checked by
// you", "changed"), safety number (of the new key, when it changed).
int ListKeys(const std::filesystem::path& dataDir, const std::string& ownName, std::ostream& out, std::ostream& err);

struct VerifyRequest {
    std::string name;
    std::string number;      // as the other user read it; empty: ask on the terminal
    bool keepKnown = false;  // drop a key announced in place of the known one
    bool interactive = false;
};
// Marks the key of `name` (a changed key: the new one) as checked, once the
// safety number matches; or keeps the known key. Holds the data folder
// while it writes: a copy running there answers 4.
int VerifyKey(const std::filesystem::path& dataDir, const std::string& ownName, const VerifyRequest& request,
              std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace lanyx::cli
