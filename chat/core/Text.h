#pragma once
// Small text rules shared by every layer: case-blind names, blanks, list texts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lanyx {

// Lower case for the letters of the Windows-1252 repertoire (ASCII, Latin-1,
// Š Œ Ž Ÿ); names are compared through this, never through the locale.
std::string toLower(std::string_view utf8);
bool equalsNoCase(std::string_view a, std::string_view b);
// A hash of toLower(utf8), and toLower(utf8) == lowerKey, without building
// the lower-case text: for lookups on every received datagram.
std::uint64_t hashNoCase(std::string_view utf8);
bool lowerEquals(std::string_view utf8, std::string_view lowerKey);
bool startsWith(std::string_view s, std::string_view prefix);

// Leading and trailing blanks (spaces only, as names and records are trimmed).
std::string_view trimBlanks(std::string_view s);

// Value of the leading number of a text, as the wire's colour and status
// payloads are read: optional blanks and sign, then digits; 0 when there are
// none. Saturates instead of overflowing.
std::int64_t leadingNumber(std::string_view s);

// Strict number of a whole text (blanks around allowed, decimals rounded half
// to even); nothing when the text is not a number.
std::optional<std::int64_t> parseNumber(std::string_view s);

// List texts: every item followed by "|".
std::int32_t CountItems(std::string_view list);
// The n-th item (from 1) without its "|"; past the end, what follows the last "|".
std::string GetItem(std::string_view list, std::int32_t n);

// The Options dialog's rules for a user name: 1 to 15 letters or digits of ASCII.
constexpr std::size_t kMaxUserName = 15;
bool IsValidUserName(std::string_view name);
// Whether a text can be stored in a record file and read back by every copy:
// no double quote (older copies would cut it there), no control character.
bool IsStorableText(std::string_view utf8);

// Text from elsewhere that claims to be UTF-8, with every byte that does
// not start a well-formed character (overlong forms, surrogates and values
// past U+10FFFF included) replaced by U+FFFD.
std::string validUtf8(std::string_view bytes);

}  // namespace lanyx
