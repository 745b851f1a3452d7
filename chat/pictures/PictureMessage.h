#pragma once
// Pictures said in a conversation, between copies of ours: the sender
// first tells each recipient, sealed, what is coming (this announcement),
// then offers the file over the file-transfer path. A copy takes the file
// without asking its user only when it matches an announcement it took: the
// same sender, the file's name from the line's id and type, the same size;
// what arrives is checked against the hash before it is shown.
//
// The announcement reads, one field a line (UTF-8):
//   1          the format
//   <id>       the line's id (16 hexadecimal digits)
//   <chat>     a shared chat's "#id", or nothing for a private conversation
//   <size>     the file's size in bytes (decimal, no leading zero, 9 digits at most)
//   <hash>     BLAKE2b-256 of the file (64 lower-case hexadecimal digits)
//   <type>     png, jpeg, gif or webp
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lanyx::pictures {

inline constexpr std::string_view kTag = "lanyx-picture ";
inline constexpr std::string_view kWord = "pictures";

// The largest picture sent or taken.
inline constexpr std::uint64_t kMaxBytes = 10ull * 1024 * 1024;

enum class Type : std::uint8_t { Png, Jpeg, Gif, Webp };

// "png", "jpeg", "gif", "webp"; and back (nothing for anything else).
std::string_view TypeWord(Type type);
std::optional<Type> ParseType(std::string_view word);
// What the first bytes of a file say it is (nothing: none of the four).
std::optional<Type> TypeOfBytes(std::string_view head);

struct Announcement {
    std::uint64_t line = 0;
    std::string chat;  // "#" and a shared chat's id, or empty
    std::uint64_t size = 0;
    std::string hash;  // 64 lower-case hex digits
    Type type = Type::Png;
    bool operator==(const Announcement&) const = default;
};

std::string Encode(const Announcement& announcement);
// Nothing for what does not read exactly as Encode writes it (a size past
// kMaxBytes reads: the service refuses it).
std::optional<Announcement> Decode(std::string_view body);

// The picture's file name, here and in the offer: "<id>.<type>".
std::string FileNameOf(std::uint64_t line, Type type);
// The hash an announcement names, of the file's bytes (empty without the
// cryptographic library).
std::string HashText(std::string_view bytes);

}  // namespace lanyx::pictures
