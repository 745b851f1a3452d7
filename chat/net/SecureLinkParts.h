#pragma once
// What the files of SecureLink share and nothing else includes: the tags
// signatures and seals are made under, the sizes of the pieces of our
// datagrams, and the small readers of the wire they all use.
#include "Crypto.h"
#include "SecureLink.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::linkparts {

inline constexpr std::string_view kAnnounceTag = "LANYX-K1";
inline constexpr std::string_view kCompanionTag = "LANYX-G1";
inline constexpr std::string_view kPrivateTag = "LANYX-E1";
inline constexpr std::string_view kReceiptTag = "LANYX-R1";
inline constexpr std::string_view kPrivateTag2 = "LANYX-E2";
inline constexpr std::string_view kReceiptTag2 = "LANYX-R2";
inline constexpr std::string_view kAnswerTag = "LANYX-A1";
// What marks a private message or receipt sealed under ephemeral keys.
inline constexpr std::string_view kEphemeralMark = "2|";
inline constexpr std::size_t kSeqBytes = 8;
// A companion: sequence number, the hashes of one to kMaxSignedTogether
// datagrams, the signature over both.
inline constexpr std::size_t kCompanionBytes = kSeqBytes + crypto::kHashBytes + crypto::kSignatureBytes;
inline constexpr std::size_t kMaxCompanionBytes = kCompanionBytes +
                                                  (secure::kMaxSignedTogether - 1) * crypto::kHashBytes;
inline constexpr std::size_t kNonceBytes = 16;
// What marks a challenge that a copy on the same computer passed on.
inline constexpr std::string_view kRelayedMark = "|local";
inline constexpr std::uint32_t kPinsSaveDelayMs = 1000;
// Sequence numbers are written within this time of a change (and at the
// end): a crash loses at most this much of what was seen.
inline constexpr std::uint32_t kSeenSaveDelayMs = 1000;
// The wire bytes of the two marks.
inline constexpr char kAlertByte = '\xDF';
inline constexpr char kChatByte = '\xDE';

inline std::string be64(std::uint64_t v) {
    std::string out(kSeqBytes, '\0');
    for (int i = 7; i >= 0; --i, v >>= 8) out[static_cast<std::size_t>(i)] = static_cast<char>(v & 0xFF);
    return out;
}

inline std::uint64_t fromBe64(std::string_view b) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < kSeqBytes; ++i) v = (v << 8) | static_cast<unsigned char>(b[i]);
    return v;
}

inline char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

struct Split {
    std::string_view sender, command, payload;
};

inline std::optional<Split> split(std::string_view bytes) {
    const auto bar = bytes.find('|');
    if (bar == std::string_view::npos || bytes.size() < bar + 3) return std::nullopt;
    return Split{bytes.substr(0, bar), bytes.substr(bar + 1, 2), bytes.substr(bar + 3)};
}

// A name for the log: a hundred bytes at most, cut between characters.
inline std::string shorten(std::string_view utf8) {
    if (utf8.size() <= 100) return std::string(utf8);
    std::size_t cut = 100;
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
    return std::string(utf8.substr(0, cut)) + "...";
}

// Whether a comma-separated list ("sign,box,receipt") names `item`.
inline bool listHas(std::string_view list, std::string_view item) {
    for (std::size_t start = 0; start <= list.size();) {
        const auto comma = std::min(list.find(',', start), list.size());
        if (list.substr(start, comma - start) == item) return true;
        start = comma + 1;
    }
    return false;
}

// The values of the items of such a list that begin with `prefix`
// ("eph=..."), the first `most` of them.
inline std::vector<std::string_view> listValues(std::string_view list, std::string_view prefix, std::size_t most) {
    std::vector<std::string_view> out;
    for (std::size_t start = 0; start <= list.size() && out.size() < most;) {
        const auto comma = std::min(list.find(',', start), list.size());
        const auto item = list.substr(start, comma - start);
        if (item.substr(0, prefix.size()) == prefix) out.push_back(item.substr(prefix.size()));
        start = comma + 1;
    }
    return out;
}

inline std::string_view listValue(std::string_view list, std::string_view prefix) {
    const auto values = listValues(list, prefix, 1);
    return values.empty() ? std::string_view{} : values.front();
}

// Whether a companion's payload, decoded, has the size of one: a sequence
// number, one to kMaxSignedTogether hashes and a signature.
inline bool companionSized(std::size_t bytes) {
    return bytes >= kCompanionBytes && bytes <= kMaxCompanionBytes &&
           (bytes - kCompanionBytes) % crypto::kHashBytes == 0;
}

}  // namespace lanyx::linkparts
