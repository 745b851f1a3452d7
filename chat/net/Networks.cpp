#include "Networks.h"

#include "RecordFile.h"
#include "Text.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

namespace lanyx::net {

std::string LocalNetwork::describe() const {
    return name + " " + address.toString() + "/" + std::to_string(prefixLength()) + " (broadcast " +
           broadcast.toString() + ")";
}

std::vector<LocalNetwork> oneForEachSubnet(const std::vector<LocalNetwork>& all) {
    std::vector<LocalNetwork> out;
    for (const auto& n : all) {
        if (std::none_of(out.begin(), out.end(), [&](const LocalNetwork& o) { return o.sameSubnet(n); }))
            out.push_back(n);
    }
    return out;
}

std::vector<LocalNetwork> subnetsAdded(const std::vector<LocalNetwork>& before, const std::vector<LocalNetwork>& now) {
    std::vector<LocalNetwork> out;
    for (const auto& n : now) {
        if (std::none_of(before.begin(), before.end(), [&](const LocalNetwork& o) { return o.sameSubnet(n); }))
            out.push_back(n);
    }
    return out;
}

bool onLocalSubnet(IpAddress ip, const std::vector<LocalNetwork>& networks) {
    return std::any_of(networks.begin(), networks.end(), [&](const LocalNetwork& n) { return n.holds(ip); });
}

// ---- extra destinations ------------------------------------------------------

RangeParse parseRange(std::string_view text) {
    const auto slash = text.find('/');
    if (slash == std::string_view::npos) return {};
    const auto ip = IpAddress::parseV4(text.substr(0, slash), IpAddress::Spelling::LeadingZeros);
    const auto bits = text.substr(slash + 1);
    if (!ip || bits.empty() || bits.size() > 2 ||
        !std::all_of(bits.begin(), bits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {std::nullopt, "not a range of IPv4 addresses (10.20.0.0/16)"};
    const int prefix = std::stoi(std::string(bits));
    if (prefix > 32) return {std::nullopt, "a range with more than 32 bits"};
    if (prefix < kMinRangePrefix) return {std::nullopt, "a range wider than /" + std::to_string(kMinRangePrefix)};
    const auto r = IpSubnet::of(*ip, prefix);
    if (r.base != *ip) return {std::nullopt, "host bits set (did you mean " + r.toString() + "?)"};
    return {r, std::nullopt};
}

bool isPrivateAddress(IpAddress address) {
    if (!address.isV4()) return false;
    const auto ip = address.toV4();
    return (ip >> 24) == 10 || (ip >> 20) == 0xAC1 || (ip >> 16) == 0xC0A8 || (ip >> 16) == 0xA9FE ||
           (ip >> 22) == (0x6440 >> 6);
}

bool mayLearnSource(IpAddress address, const std::vector<LocalNetwork>& local,
                    const std::vector<AddressRange>& configured) {
    // The transport learns IPv4 copies alone while it sends IPv4 alone.
    if (!address.isV4()) return false;
    const auto ip = address.toV4();
    const auto top = ip >> 24;
    if (ip == 0xFFFFFFFFu || top == 0 || top == 127 || top >= 224) return false;
    if (onLocalSubnet(address, local)) return false;
    if (std::any_of(configured.begin(), configured.end(), [&](const AddressRange& r) { return r.contains(address); }))
        return true;
    const auto last = ip & 0xFF;
    return isPrivateAddress(address) && last != 0 && last != 255;
}

std::optional<std::string> destinationProblem(std::string_view e) {
    if (e.empty()) return "empty";
    if (IpAddress::parseV4(e, IpAddress::Spelling::LeadingZeros)) return std::nullopt;
    if (const auto r = parseRange(e); r.range || r.problem) return r.problem;
    if (e.size() > 253) return "longer than 253 characters";
    // A host name: labels of letters, digits and hyphens, separated by dots.
    std::size_t label = 0;
    bool allDigitsOrDots = true;
    for (std::size_t i = 0; i < e.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(e[i]);
        if (c == '.') {
            if (label == 0) return "an empty part between dots";
            if (e[i - 1] == '-') return "a part ends with \"-\"";
            label = 0;
            continue;
        }
        if (!std::isalnum(c) && c != '-') {
            if (c == ':') return "an IPv6 address (only IPv4 is used)";
            return "not a host name or IPv4 address";
        }
        if (label == 0 && c == '-') return "a part begins with \"-\"";
        if (++label > 63) return "a part longer than 63 characters";
        if (!std::isdigit(c)) allDigitsOrDots = false;
    }
    if (label == 0) return "ends with a dot";
    if (e.back() == '-') return "a part ends with \"-\"";
    if (allDigitsOrDots) return "not a valid IPv4 address";
    return std::nullopt;
}

DestinationList parseDestinations(std::string_view text) {
    DestinationList out;
    std::unordered_set<std::string> seen;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = trimBlanks(text.substr(pos, end - pos));
        while (!line.empty() && (line.back() == '\r' || line.back() == '\t'))
            line = trimBlanks(line.substr(0, line.size() - 1));
        while (!line.empty() && line.front() == '\t') line = trimBlanks(line.substr(1));
        pos = end + 1;
        if (line.empty() || line.front() == '#') continue;
        if (const auto p = destinationProblem(line)) {
            out.problems.push_back(std::string(line.substr(0, 80)) + ": " + *p);
            continue;
        }
        std::string key = toLower(line);
        if (!seen.insert(key).second) continue;
        if (out.entries.size() >= kMaxDestinations) {
            out.problems.push_back(std::string(line) + ": more than " + std::to_string(kMaxDestinations) +
                                   " destinations");
            continue;
        }
        out.entries.push_back(std::string(line));
    }
    return out;
}

DestinationList readDestinations(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return {};
    const auto text = readTextFile(file);
    if (!text) return {{}, {"the file could not be read"}};
    return parseDestinations(*text);
}

void writeDestinations(const std::filesystem::path& file, const std::vector<std::string>& entries) {
    std::string text =
        "# Lanyx: extra destinations, one host name or IPv4 address a line; a range (10.20.0.0/16): copies heard "
        "from it are answered\r\n";
    for (const auto& e : entries) {
        if (const auto p = destinationProblem(e)) throw LanyxError(err::InvalidArgument, e + ": " + *p);
        text += e;
        text += "\r\n";
    }
    // What is written must come back as it stands.
    if (parseDestinations(text).entries.size() != std::min(entries.size(), kMaxDestinations) ||
        entries.size() > kMaxDestinations)
        throw LanyxError(err::InvalidArgument,
                         "the list holds repeats or more than " + std::to_string(kMaxDestinations) + " destinations");
    writeTextFileAtomic(file, text);
}

// ---- repeats -------------------------------------------------------------------

namespace {
constexpr std::size_t kBuckets = DuplicateFilter::kCapacity * 2;
}  // namespace

DuplicateFilter::DuplicateFilter() : ring_(kCapacity), buckets_(kBuckets, 0) {
}

void DuplicateFilter::clear() {
    std::fill(buckets_.begin(), buckets_.end(), 0);
    next_ = 0;
}

bool DuplicateFilter::admit(std::string_view bytes, std::uint64_t path, std::uint32_t nowMs) {
    const std::uint64_t hash = std::hash<std::string_view>{}(bytes);
    const auto size = static_cast<std::uint32_t>(bytes.size());
    std::uint64_t& bucket = buckets_[hash % kBuckets];
    // Newest first: the match taken is the oldest sending still in the
    // window that has not come along this path yet.
    Sending* match = nullptr;
    for (std::uint64_t link = bucket; link != 0 && kept(link - 1);) {
        Sending& s = ring_[(link - 1) % kCapacity];
        if (nowMs - s.at > kWindowMs) break;  // the older ones are older still
        if (s.hash == hash && s.size == size &&
            std::find(s.paths, s.paths + s.pathCount, path) == s.paths + s.pathCount && s.pathCount < kMaxPaths)
            match = &s;
        link = s.previous;
    }
    if (match) {
        match->paths[match->pathCount++] = path;
        return false;
    }
    Sending& s = ring_[next_ % kCapacity];
    s.hash = hash;
    s.size = size;
    s.at = nowMs;
    s.previous = bucket;
    s.pathCount = 1;
    s.paths[0] = path;
    bucket = ++next_;
    return true;
}

// ---- copies heard from other subnets ---------------------------------------------

bool RememberedSenders::heard(IpAddress address, std::string_view name) {
    const std::string key = toLower(name);
    ++clock_;
    for (auto& e : entries_) {
        if (e.address != address) continue;
        e.heardAt = clock_;
        if (std::find(e.names.begin(), e.names.end(), key) == e.names.end() && e.names.size() < kMaxNamesPerAddress)
            e.names.push_back(key);
        return false;
    }
    if (entries_.size() >= kMaxAddresses) {
        auto oldest = std::min_element(entries_.begin(), entries_.end(),
                                       [](const Entry& a, const Entry& b) { return a.heardAt < b.heardAt; });
        entries_.erase(oldest);
    }
    entries_.push_back(Entry{address, {key}, clock_});
    return true;
}

void RememberedSenders::left(IpAddress address, std::string_view name) {
    const std::string key = toLower(name);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->address != address) continue;
        it->names.erase(std::remove(it->names.begin(), it->names.end(), key), it->names.end());
        if (it->names.empty()) entries_.erase(it);
        return;
    }
}

std::vector<IpAddress> RememberedSenders::addresses() const {
    std::vector<IpAddress> out;
    out.reserve(entries_.size());
    for (const auto& e : entries_) out.push_back(e.address);
    return out;
}

}  // namespace lanyx::net
