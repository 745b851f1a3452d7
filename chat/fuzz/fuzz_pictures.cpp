// What a copy of ours announces before it sends a picture, as it comes from
// the network, and the first bytes a picture file is told by: what reads
// writes back to the same, within the bounds the service relies on.
#include "PictureMessage.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lanyx::pictures;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto a = Decode(text)) {
        if (a->line == 0 || Encode(*a) != text) __builtin_trap();
        if (a->size == 0 || a->size > 999999999 || a->hash.size() != 64) __builtin_trap();
        if (!a->chat.empty() && (a->chat.size() != 33 || a->chat.front() != '#')) __builtin_trap();
        if (FileNameOf(a->line, a->type).find('/') != std::string::npos) __builtin_trap();
    }
    if (const auto t = TypeOfBytes(text); t && ParseType(TypeWord(*t)) != t) __builtin_trap();
    return 0;
}
