#pragma once
// Windows-1252 exists only at the edges (wire and files); inside, text is UTF-8.
#include <string>
#include <string_view>

namespace lanyx::cp1252 {

// Bytes in Windows-1252 to UTF-8. The five unassigned bytes map to the C1
// control of the same value, so every byte survives a round trip.
std::string toUtf8(std::string_view bytes);

// UTF-8 to Windows-1252. A character outside the code page, or a malformed
// UTF-8 sequence, becomes "?".
std::string fromUtf8(std::string_view utf8);

}  // namespace lanyx::cp1252
