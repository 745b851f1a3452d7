#pragma once
// Every character in what goes to everybody. The specified datagrams hold
// Windows-1252 alone; beside a chat line or an alert to everybody ("M/")
// our copies send the same datagram in UTF-8 first, in base64 under a
// command of its own ("U/"), and sign both under one companion. A copy of
// ours shows that text when the next datagram from the same sender, taken
// with the same trust, is what the text reads as in Windows-1252; other
// copies ignore "U/" and read the datagram as ever ("?" for what
// Windows-1252 cannot hold).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace lanyx {

enum class Trust : std::uint8_t;

namespace fulltext {
inline constexpr std::string_view Command = "U/";
// A "U/" datagram is not sent past this size: the datagram goes alone.
inline constexpr std::size_t kMaxPayload = 16 * 1024;
// The "U/" payload for `datagram` (command and payload, UTF-8), or nothing
// when Windows-1252 holds all of it (or it is too long to go twice).
std::optional<std::string> payloadFor(std::string_view datagram);
}  // namespace fulltext

// The texts heard in "U/", one per sender, each waiting for its datagram.
class FullTexts {
public:
    // A "U/" from `sender` (its exact name), taken with `trust`.
    void heard(std::string_view sender, std::string_view payload, Trust trust);
    // The text to show for `datagram` (command and payload as read from
    // Windows-1252) from `sender` taken with `trust`: the payload of the full
    // text heard for it, or nothing. What was heard is used up either way.
    std::optional<std::string> take(std::string_view sender, std::string_view datagram, Trust trust);
    void forget(std::string_view sender) { held_.erase(std::string(sender)); }
    std::size_t size() const { return held_.size(); }

    // Senders at most with a text waiting (a roster's worth).
    static constexpr std::size_t kMaxHeld = 2048;

private:
    struct Held {
        std::string datagram;  // UTF-8, command first
        Trust trust;
    };
    std::unordered_map<std::string, Held> held_;
};

}  // namespace lanyx
