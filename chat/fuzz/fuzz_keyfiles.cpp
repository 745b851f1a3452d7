// The key file, the file of known keys, the sequence numbers seen, the name run under, the names
// before a rename and the messages waiting or delivered as found in a data folder: read, and what
// was read written and read again to the same.
#include "Identity.h"
#include "Outbox.h"
#include "PreviousNames.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace lanyx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto id = Identity::fromText(text)) {
        const auto again = Identity::fromText(id->toText());
        if (!again || again->signPublic != id->signPublic || again->boxSecret != id->boxSecret) std::abort();
    }
    std::size_t skipped = 0;
    const auto pins = PinStore::fromText(text, &skipped);
    const auto written = pins.toText();
    std::size_t skippedAgain = 0;
    const auto back = PinStore::fromText(written, &skippedAgain);
    if (skippedAgain != 0 || back.size() != pins.size() || back.toText() != written) std::abort();
    const auto seen = SeenStore::fromText(text);
    const auto seenText = seen.toText();
    std::size_t seenSkipped = 0;
    if (SeenStore::fromText(seenText, &seenSkipped).toText() != seenText || seenSkipped != 0) std::abort();
    if (const auto ran = RunName::fromText(text); ran && RunName::fromText(RunName::toText(*ran)) != ran) std::abort();
    const auto names = PreviousNames::fromText(text);
    if (names.all().size() > PreviousNames::kMax || PreviousNames::fromText(names.toText()).all() != names.all())
        std::abort();
    const auto delivered = DeliveredStore::fromText(text);
    const auto deliveredText = delivered.toText();
    std::size_t deliveredSkipped = 0;
    if (delivered.size() > DeliveredStore::kMaxKept ||
        DeliveredStore::fromText(deliveredText, &deliveredSkipped).toText() != deliveredText || deliveredSkipped != 0)
        std::abort();
    static const Identity me = Identity::generate();
    if (const auto waiting = Outbox::fromText(".", me, text)) {
        const auto waitingText = waiting->toText();
        std::size_t waitingSkipped = 0;
        const auto again = Outbox::fromText(".", me, waitingText, &waitingSkipped);
        if (!again || again->toText() != waitingText || waitingSkipped != 0 ||
            waiting->all().size() > Outbox::kMaxWaiting)
            std::abort();
    }
    return 0;
}
