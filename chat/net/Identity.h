#pragma once
// This copy's key pair and the keys it pinned for others, each in a file of
// its own in the data folder.
#include <cstddef>
#include <filesystem>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx {

// The key pair: Ed25519 for signing, X25519 for key agreement. The key file
// is readable by the user alone.
struct Identity {
    std::string signPublic;  // raw bytes
    std::string signSecret;
    std::string boxPublic;
    std::string boxSecret;

    static constexpr const char* kFileName = "Identity.key";
    // The key file's text.
    std::string toText() const;
    // Nothing when the text is not a key file of ours.
    static std::optional<Identity> fromText(std::string_view text);
    static Identity generate();
};

struct LoadedIdentity {
    std::optional<Identity> identity;  // nothing: no keys this run
    std::string note;                  // for the log; empty when all went as usual
};
// Reads the key file, or makes one at the first start. A file that cannot
// be read is kept aside (renamed) and a new pair made, so that the user's
// old key is never overwritten.
LoadedIdentity LoadOrCreateIdentity(const std::filesystem::path& dataDir);

// Trust on first use: the first key heard for a user name is kept, by the
// name in lower case.
class PinStore {
public:
    static constexpr const char* kFileName = "KnownKeys.txt";
    static constexpr std::size_t kMaxPins = 20000;

    struct Pin {
        std::string signPublic;
        std::string boxPublic;
    };

    const Pin* find(std::string_view name) const;
    // Pins or re-pins the name; false when the store is full or the name
    // holds a tab or line break.
    bool set(std::string_view name, Pin pin);
    std::size_t size() const { return pins_.size(); }
    const std::map<std::string, Pin, std::less<>>& all() const { return pins_; }

    std::string toText() const;
    // Lines that make no sense are skipped and counted.
    static PinStore fromText(std::string_view text, std::size_t* skipped = nullptr);

    // Reading and writing the file; false with a reason on failure.
    bool load(const std::filesystem::path& file, std::string& problem);
    bool save(const std::filesystem::path& file, std::string& problem) const;

private:
    std::map<std::string, Pin, std::less<>> pins_;
};

// The sequence numbers seen per signing key and per sender of private
// messages, kept across starts: a datagram recorded before the copy's last
// start is refused as one recorded since. A lost or damaged file only
// opens that gap again.
class SeenStore {
public:
    static constexpr const char* kFileName = "SeenNumbers.txt";
    static constexpr std::size_t kMaxEntries = 40000;

    struct Window {
        std::uint64_t top = 0;
        std::uint64_t bits = 0;
    };
    // Kind 's': by signing key (raw bytes); 'p': by sender (lower-case name).
    std::map<std::string, Window, std::less<>> signing, privateSenders;

    std::string toText() const;
    static SeenStore fromText(std::string_view text, std::size_t* skipped = nullptr);
    // A missing file is an empty store.
    bool load(const std::filesystem::path& file, std::string& problem);
    bool save(const std::filesystem::path& file, std::string& problem) const;
};

} // namespace lanyx
