#pragma once
// The names this copy went by before the user renamed it, each until a
// while after the rename. Announced with the keys (see SecureLink), so that
// other copies of ours carry what they keep of the old name over; kept in
// PreviousNames.txt beside User.ini, so that a copy away on the day of the
// rename still does it when it meets the new name later.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx {

struct PreviousName {
    std::string name;          // UTF-8, a valid user name
    std::int64_t untilMs = 0;  // announced until then (ms since 1970)
    bool operator==(const PreviousName&) const = default;
};

class PreviousNames {
public:
    static constexpr const char* kFileName = "PreviousNames.txt";
    static constexpr std::size_t kMax = 4;
    static constexpr std::int64_t kKeepMs = 30LL * 24 * 3600 * 1000;

    // The user went from `from` to `to` at `nowMs`: `from` first, `to` and
    // what ran out no longer. False when nothing changed.
    bool noteRename(const std::string& from, const std::string& to, std::int64_t nowMs);
    // Those still announced at `nowMs`, newest first.
    std::vector<std::string> names(std::int64_t nowMs) const;
    const std::vector<PreviousName>& all() const { return list_; }

    // "Lanyx previous names 1", then NAME TAB UNTIL a line. Lines that make
    // no sense (and any beyond kMax) are left out.
    std::string toText() const;
    static PreviousNames fromText(std::string_view text);
    // The file in the data folder: nothing when missing or unreadable.
    static PreviousNames load(const std::filesystem::path& dataDir);
    // Written whole or not at all; false with the reason in `error`.
    bool save(const std::filesystem::path& dataDir, std::string& error) const;

private:
    std::vector<PreviousName> list_;  // newest first
};

}  // namespace lanyx
