#include "Unfinished.h"

#include <algorithm>
#include <utility>

namespace lanyx::transfer {

namespace {

constexpr std::string_view kHeader = "Lanyx unfinished transfers 1";

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const auto at = s.find(sep, start);
        parts.push_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

bool isHex(std::string_view s, std::size_t size) {
    return s.size() == size &&
           std::all_of(s.begin(), s.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool singleName(const std::string& name) {
    return CheckRelativePath(name) == PathError::None && name.find('/') == std::string::npos;
}

std::string dotted(IpAddress a) {
    return a.isV4() ? a.toString() : "0.0.0.0";
}

std::optional<Unfinished> parseLine(std::string_view line) {
    const auto f = split(line, '\t');
    if (f.size() != 10 || f[0] != "transfer") return std::nullopt;
    Unfinished u;
    auto sender = DecodeName(f[1]);
    if (!sender || sender->empty() || sender->size() > 64) return std::nullopt;
    u.sender = std::move(*sender);
    if (!isHex(f[2], 64)) return std::nullopt;
    u.senderKey = std::string(f[2]);
    const auto address = IpAddress::parseV4(f[3]);
    std::uint64_t touched = 0;
    if (!address || !ParseCount(f[4], touched) || touched > (1ull << 62) || !ParseCount(f[5], u.resume.complete) ||
        u.resume.complete > kMaxEntries)
        return std::nullopt;
    u.address = *address;
    u.touched = static_cast<std::int64_t>(touched);
    auto folder = DecodeName(f[7]);
    if (!folder || folder->empty()) return std::nullopt;
    u.folder = std::move(*folder);
    // The names chosen come with the list, never without it.
    if (f[6] == "-" || f[8] == "-") {
        if (f[6] != f[8] || u.resume.complete != 0) return std::nullopt;
    } else {
        if (!isHex(f[6], 64)) return std::nullopt;
        u.resume.list = std::string(f[6]);
        for (const auto pair : split(f[8], ',')) {
            const auto slash = pair.find('/');
            if (slash == std::string_view::npos || u.resume.tops.size() == kMaxEntries) return std::nullopt;
            auto offered = DecodeName(pair.substr(0, slash)), chosen = DecodeName(pair.substr(slash + 1));
            if (!offered || !chosen || !singleName(*offered) || !singleName(*chosen)) return std::nullopt;
            u.resume.tops.emplace_back(std::move(*offered), std::move(*chosen));
        }
    }
    auto offer = ParseOffer(f[9]);
    if (!offer) return std::nullopt;
    u.offer = std::move(*offer);
    return u;
}

}  // namespace

std::string FormatUnfinished(const std::vector<Unfinished>& transfers) {
    std::string text = std::string(kHeader) + "\n";
    for (const auto& u : transfers) {
        std::string tops;
        for (const auto& [offered, chosen] : u.resume.tops)
            tops += (tops.empty() ? "" : ",") + EncodeName(offered) + "/" + EncodeName(chosen);
        const bool begun = !u.resume.list.empty();
        text += "transfer\t" + EncodeName(u.sender) + "\t" + u.senderKey + "\t" + dotted(u.address) + "\t" +
                std::to_string(std::max<std::int64_t>(u.touched, 0)) + "\t" +
                std::to_string(begun ? u.resume.complete : 0) + "\t" + (begun ? u.resume.list : "-") + "\t" +
                EncodeName(u.folder) + "\t" + (begun ? tops : "-") + "\t" + FormatOffer(u.offer) + "\n";
    }
    return text;
}

std::optional<UnfinishedFile> ParseUnfinished(std::string_view text) {
    if (text.substr(0, kHeader.size()) != kHeader ||
        (text.size() > kHeader.size() && text[kHeader.size()] != '\n' && text[kHeader.size()] != '\r'))
        return std::nullopt;
    UnfinishedFile file;
    bool first = true;
    for (auto line : split(text, '\n')) {
        if (std::exchange(first, false)) continue;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        auto u = file.transfers.size() < kMaxUnfinished ? parseLine(line) : std::nullopt;
        const bool twice = u && std::any_of(file.transfers.begin(), file.transfers.end(),
                                            [&](const Unfinished& o) { return o.offer.id == u->offer.id; });
        if (u && !twice) file.transfers.push_back(std::move(*u));
        else ++file.damaged;
    }
    return file;
}

}  // namespace lanyx::transfer
