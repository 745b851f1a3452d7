#pragma once
// This copy's key pair and the keys it pinned for others, each in a file of
// its own in the data folder.
#include <cstddef>
#include <filesystem>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
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

// The keys known for other users' names, by the name in lower case. The
// first key heard for a name is pinned automatically ("new, not checked");
// the user marks it checked after comparing the safety number; a different
// key announced later waits beside the pinned one for the user's decision.
// Names heard from copies without keys are kept too, so that a key
// announced for one later is never taken silently.
class PinStore {
public:
    static constexpr const char* kFileName = "KnownKeys.txt";
    // Pins made without the user: the one heard longest ago makes room.
    static constexpr std::size_t kMaxAutomatic = 10000;
    // Pins the user checked: only the user makes them, none is pushed out.
    static constexpr std::size_t kMaxChecked = 10000;
    // Names heard from copies without keys: the one heard longest ago makes
    // room, never one the user has in a list (see setKeep).
    static constexpr std::size_t kMaxPlainNames = 4096;
    // Automatic pins that made room, remembered by a hash of the key.
    static constexpr std::size_t kMaxFormer = 20000;
    // A larger file is read no further than this.
    static constexpr std::size_t kMaxFileBytes = 8u << 20;

    struct Pin {
        std::string signPublic;
        std::string boxPublic;
        bool checked = false;     // the user compared the safety number
        bool opensSealed = true;  // that copy announced it takes sealed private messages
        std::int64_t heard = 0;   // Unix seconds: last taken from that key (0: not known)
        // Another key announced for the name, waiting for the user's decision.
        std::string newSign;
        std::string newBox;
        bool newOpensSealed = true;
        // Signed in more than one run of this copy, or on more than one day:
        // such pins make room only after the keys heard once.
        bool proven = false;
        // The name the user checked this key under before a rename: the
        // safety number compared covered that name, so the key is not
        // checked under this one until the user compares its number.
        std::string checkedAs;
        // When pinned in this run (Unix seconds); 0 for a pin read from the file.
        std::int64_t since = 0;
        // The pinned key announced ephemeral keys: from then on only what is
        // sealed under them is taken from it, and sent to it.
        bool announcesEphemeral = false;
        bool changed() const { return !newSign.empty(); }
    };
    // An automatic pin that made room for another: the name's key is known
    // by its hash alone, so that the same key is taken back when it returns
    // and another one is not taken for new.
    struct Former {
        std::string hash;       // KeyHash of the signing key
        std::int64_t when = 0;  // Unix seconds: when it made room
        bool proven = false;
    };

    const Pin* find(std::string_view name) const;
    std::size_t size() const { return pins_.size(); }
    std::size_t checkedCount() const { return checked_; }
    std::size_t automaticCount() const { return pins_.size() - checked_; }
    const std::map<std::string, Pin, std::less<>>& all() const { return pins_; }

    // A first key for the name, not checked. The automatic pin heard longest
    // ago makes room when there is none; false for a name no user can have
    // or one that is pinned already.
    bool pinNew(std::string_view name, const std::string& sign, const std::string& box, bool opens, std::int64_t now);
    // A key the user checked (a first key, or one announced under a name of
    // a copy without keys); false when the checked pins are full or the
    // name cannot be a user's.
    bool pinChecked(std::string_view name, const std::string& sign, const std::string& box, bool opens,
                    std::int64_t now);
    // The user compared the safety number: the pinned key, or the key
    // waiting beside it, is checked from now on.
    bool markChecked(std::string_view name, std::int64_t now);
    // Another key was announced; false when it is the one waiting already.
    bool setPending(std::string_view name, const std::string& sign, const std::string& box, bool opens);
    // The user keeps the pinned key: the announced one is dropped.
    bool keepKnown(std::string_view name);
    // The pinned key announced a new agreement key or other capabilities.
    bool updateBox(std::string_view name, const std::string& box, bool opens);
    // The pinned key announced an ephemeral key; true when that is news.
    bool noteEphemeral(std::string_view name);
    // Heard from the pinned key now; true when that is worth writing down
    // (an hour or more since it was last written).
    bool touch(std::string_view name, std::int64_t now);
    // The pinned key signed something now: true when that made it a pin
    // kept ahead (pinned in an earlier run, or on another day).
    bool heardSigning(std::string_view name, std::int64_t now);
    bool erase(std::string_view name);
    // The user is known by another name now: the pin moves to it as it is
    // (heard when). A checked key is checked under the new name only when
    // the user checked it under that name (see Pin::checkedAs). False when
    // there is nothing to move, a key is pinned for the new name already,
    // or no user can have it.
    bool rename(std::string_view from, std::string_view to);

    // What was pushed out for the name, if anything (see Former).
    const Former* former(std::string_view name) const;
    bool forgetFormer(std::string_view name);
    const std::map<std::string, Former, std::less<>>& formers() const { return former_; }
    // A short hash of a signing key, as the memory of pins keeps it.
    static std::string KeyHash(const std::string& signPublic);

    bool isPlain(std::string_view name) const;
    // False when the name could not be noted: not one a user can have,
    // pinned, or no room (every name kept by setKeep).
    bool notePlain(std::string_view name, std::int64_t now);
    // Heard again now; true when that is worth writing down.
    bool touchPlain(std::string_view name, std::int64_t now);
    bool forgetPlain(std::string_view name);
    const std::map<std::string, std::int64_t, std::less<>>& plainNames() const { return plain_; }
    // Names (lower case) never pushed out of the names of copies without
    // keys: those the user has in a list.
    void setKeep(std::function<bool(const std::string& lowerName)> keep) { keep_ = std::move(keep); }

    std::string toText() const;
    // Lines that make no sense are skipped and counted; so are lines beyond
    // the bounds. An earlier build's file reads as keys not checked.
    static PinStore fromText(std::string_view text, std::size_t* skipped = nullptr);
    // What the file of known keys has no room for, in a file of its own
    // beside it that earlier builds do not read: which pins are kept ahead,
    // under which name a key was checked before a rename, and the pins that
    // made room. Read after the known keys; lines about a pin that is not
    // there (any more, or with another key) are left out silently, lines
    // that make no sense are counted.
    static constexpr const char* kMemoryFileName = "KeyMemory.txt";
    std::string memoryText() const;
    void readMemory(std::string_view text, std::size_t* skipped = nullptr);

    // Writes the known keys, then their memory beside them.
    bool save(const std::filesystem::path& file, std::string& problem) const;

private:
    using ByTime = std::set<std::pair<std::int64_t, std::string>>;
    bool insert(std::string key, Pin pin);
    void nowChecked(const std::string& key, Pin& pin);
    ByTime& tierOf(const Pin& pin) { return pin.proven ? provenByHeard_ : newByHeard_; }
    // Makes room among the automatic pins: the one heard longest ago of
    // those heard once, else of the others; remembered as a Former.
    bool evictOne(std::int64_t now);
    void remember(const std::string& key, Former former);
    std::map<std::string, Pin, std::less<>> pins_;
    std::map<std::string, std::int64_t, std::less<>> plain_;
    std::map<std::string, Former, std::less<>> former_;
    // By when last heard: which automatic pin, which name makes room.
    ByTime newByHeard_;
    ByTime provenByHeard_;
    ByTime plainByHeard_;
    // By when they made room: which former pin is forgotten first.
    ByTime formerOnce_;
    ByTime formerProven_;
    std::function<bool(const std::string&)> keep_;
    std::size_t checked_ = 0;
};

// The file of known keys as a start finds it. A file that could not be
// read whole (damaged, too large, unreadable) never leaves the copy without
// keys: what could be read is used, the file is kept aside for the user,
// and `notice` tells the user once.
struct LoadedPins {
    PinStore pins;
    std::string notice;      // for the user; empty when all went as usual
    std::string logLine;     // for the log; empty when all went as usual
    std::string memoryLine;  // for the log: the memory of the keys could not be read whole
    bool writable = true;    // false: the file could not be kept aside, so it is not written over
};
LoadedPins LoadPins(const std::filesystem::path& file);

// The key pair as the data folder holds it, without making one; nothing
// with a reason when there is none or it cannot be read.
std::optional<Identity> ReadIdentity(const std::filesystem::path& dataDir, std::string& problem);

// The name this copy last went onto the network under (a name given for
// one run is not written to User.ini): the safety numbers lanyx-cli shows
// without the network are made with it, as the running copy made them.
struct RunName {
    static constexpr const char* kFileName = "RunName.txt";
    static std::string toText(const std::string& name);
    // Nothing unless the text names a name a user can have.
    static std::optional<std::string> fromText(std::string_view text);
    static std::optional<std::string> read(const std::filesystem::path& dataDir);
    static bool save(const std::filesystem::path& dataDir, const std::string& name, std::string& problem);
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

}  // namespace lanyx
