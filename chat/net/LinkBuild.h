#pragma once
// Which build's way a copy's secure link announces itself and seals: this
// build's, or the build before's, which copies of this one still meet on a
// segment. The programs never run the build before's: the tests make such a
// copy, given this at its construction, to show that the two still talk.
#include <cstdint>

namespace lanyx {

enum class LinkBuild : std::uint8_t {
    // Announces version 2 with an ephemeral key, "utf8", line headers, the
    // names before a rename and asks for keys; seals under ephemeral keys.
    Current,
    // Announces version 1 and none of those; seals under the static keys
    // alone, in Windows-1252, and takes what is sealed so from anybody.
    Before,
};

}  // namespace lanyx
