// What copies of ours send about a line after it was said (a reaction, new
// words, its deletion), and the header a reply's line carries, as they
// come from the network: what reads writes back to the same.
#include "LineHeader.h"
#include "LineVerbs.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lanyx;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto r = verbs::Decode(text)) {
        if (r->line == 0 || verbs::Encode(*r) != text) __builtin_trap();
        if ((r->verb == verbs::Verb::React || r->verb == verbs::Verb::Unreact) && !verbs::IsReaction(r->what))
            __builtin_trap();
        if (r->what.size() > verbs::kMaxTextBytes) __builtin_trap();
    }
    std::string_view rest = text;
    if (const auto h = lineheader::Take(rest)) {
        if (rest.size() > text.size()) __builtin_trap();
        if (h->id != 0) {
            const std::string encoded = lineheader::Encode(*h);
            std::string_view again = encoded;
            const auto back = lineheader::Take(again);
            if (!back || back->id != h->id || back->room != h->room || back->replyTo != h->replyTo || !again.empty())
                __builtin_trap();
        }
    }
    // A reply's words: its quote is taken off as it was put on.
    const auto reply = verbs::ReplyText(text, "ok");
    if (verbs::WithoutQuote(reply) != "ok") __builtin_trap();
    if (verbs::QuotedStart(text).size() > text.size()) __builtin_trap();
    return 0;
}
