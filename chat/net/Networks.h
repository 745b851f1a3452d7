#pragma once
// The networks a copy sends to: the computer's own interfaces (one datagram
// per subnet), a list of extra destinations for other subnets, and copies
// heard from other subnets. Plain address arithmetic and bookkeeping; the
// socket adapter does the system calls.
#include "IpAddress.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lanyx::net {

// One IPv4 address of an interface that is up and can broadcast.
struct LocalNetwork {
    std::string name;    // eth0, wlan0
    unsigned index = 0;  // the system's interface index
    IpAddress address;
    IpAddress netmask;
    IpAddress broadcast;

    IpSubnet subnet() const { return IpSubnet::of(address, prefixLength()); }
    bool sameSubnet(const LocalNetwork& o) const { return subnet() == o.subnet(); }
    bool holds(IpAddress ip) const { return subnet().contains(ip); }
    int prefixLength() const { return lanyx::prefixLength(netmask); }
    // "eth0 10.1.0.5/16 (broadcast 10.1.255.255)"
    std::string describe() const;
};

// One network of each subnet, in the order given (interface order): two
// interfaces on one subnet (Wi-Fi and cable in one office) send once.
std::vector<LocalNetwork> oneForEachSubnet(const std::vector<LocalNetwork>& all);
// The subnets of `now` that `before` did not have.
std::vector<LocalNetwork> subnetsAdded(const std::vector<LocalNetwork>& before, const std::vector<LocalNetwork>& now);
bool onLocalSubnet(IpAddress ip, const std::vector<LocalNetwork>& networks);

// ---- extra destinations ------------------------------------------------------

// A range of addresses in CIDR form: "10.20.0.0/16".
using AddressRange = IpSubnet;
// Ranges wider than this would take in much of the Internet.
inline constexpr int kMinRangePrefix = 8;
// Nothing when the text is not a range at all; a range or why it cannot be one.
struct RangeParse {
    std::optional<AddressRange> range;
    std::optional<std::string> problem;
};
RangeParse parseRange(std::string_view text);
// Addresses no router of the Internet passes on: the private ranges, the
// link-local range and the carrier-grade NAT range.
bool isPrivateAddress(IpAddress ip);

// The file of extra destinations beside User.ini: one host name, address or
// directed-broadcast address a line, or a range of addresses ("10.20.0.0/16")
// from which copies heard are sent to as well (see mayLearnSource).
inline constexpr const char* kDestinationsFile = "Network.txt";
// Entries kept at most.
inline constexpr std::size_t kMaxDestinations = 64;

// Nothing when the entry can stand in the list (an IPv4 address or a host
// name); else why not, in words for the user.
std::optional<std::string> destinationProblem(std::string_view entry);

struct DestinationList {
    std::vector<std::string> entries;   // usable, in file order, without repeats
    std::vector<std::string> problems;  // lines left out, with the reason
};
// Blank lines and lines starting with "#" are skipped. A missing file is an
// empty list.
DestinationList readDestinations(const std::filesystem::path& file);
// Parses the text of such a file.
DestinationList parseDestinations(std::string_view text);
// Writes the entries (which must each pass destinationProblem) through a
// temporary file. Throws LanyxError, or InvalidArgument for an entry that
// could not be read back.
void writeDestinations(const std::filesystem::path& file, const std::vector<std::string>& entries);

// ---- repeats -------------------------------------------------------------------

// A datagram can reach a copy more than once: its own echo once per
// interface it went out through, a multi-homed sender's datagram through
// each interface, a unicast copy beside the broadcast one. Each real
// sending comes once along each path (interface and destination address);
// so the same bytes arriving along a path that already brought the
// earlier sending are a new sending (a user who says "ok" twice), while the
// same bytes along another path within a short time are the copy of a
// sending already taken.
class DuplicateFilter {
public:
    static constexpr std::uint32_t kWindowMs = 1500;
    // Sendings remembered at most (a flood forgets its oldest first).
    static constexpr std::size_t kCapacity = 8192;
    // Paths one sending is followed along; further copies count as new.
    static constexpr std::size_t kMaxPaths = 6;
    DuplicateFilter();
    // True when the datagram is to be taken, false for a repeat.
    bool admit(std::string_view bytes, std::uint64_t path, std::uint32_t nowMs);
    void clear();

private:
    // A hash and the length stand for the bytes: a flood of large
    // datagrams must not be kept in memory twice. Fixed tables, so that a
    // flood costs no allocation per datagram.
    struct Sending {
        std::uint64_t hash = 0;
        std::uint64_t previous = 0;  // the sending before it in its bucket, as sequence + 1
        std::uint32_t size = 0;
        std::uint32_t at = 0;
        std::uint32_t pathCount = 0;
        std::uint64_t paths[kMaxPaths] = {};
    };
    bool kept(std::uint64_t sequence) const { return sequence < next_ && next_ - sequence <= kCapacity; }
    std::vector<Sending> ring_;
    std::vector<std::uint64_t> buckets_;  // newest sending in each, as sequence + 1
    std::uint64_t next_ = 0;
};

// ---- copies heard from other subnets ---------------------------------------------

// A copy that reaches us from another subnet (through a router, from its
// list of extra destinations) is sent to directly, so that one side's list
// is enough. Forgotten with the sender's leave notice; the oldest heard goes
// first when the set is full.
// Whether a copy heard from `address` (another subnet), whose signature a
// pinned key just verified, may get every datagram from now on: only
// addresses in a private range (not its .0 or .255, which are often some
// subnet's broadcast address) or in a range the user listed; never our own
// subnets (broadcast reaches those), loopback, multicast or broadcast.
bool mayLearnSource(IpAddress address, const std::vector<LocalNetwork>& local,
                    const std::vector<AddressRange>& configured);

class RememberedSenders {
public:
    static constexpr std::size_t kMaxAddresses = 64;
    static constexpr std::size_t kMaxNamesPerAddress = 16;
    // True when the address is new.
    bool heard(IpAddress address, std::string_view name);
    // The name left from that address: forgotten once no name is left there.
    void left(IpAddress address, std::string_view name);
    std::vector<IpAddress> addresses() const;
    std::size_t size() const { return entries_.size(); }
    void clear() { entries_.clear(); }

private:
    struct Entry {
        IpAddress address;
        std::vector<std::string> names;  // lower case
        std::uint64_t heardAt;
    };
    std::vector<Entry> entries_;
    std::uint64_t clock_ = 0;
};

}  // namespace lanyx::net
