// Offers and transfer lists as a peer may send them, and the store of
// unfinished transfers a start reads back: the readers may refuse, never
// crash; whatever they accept stays inside the receiver's folder and reads
// back the same after writing.
#include "FileOffer.h"
#include "Unfinished.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace lanyx::transfer;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // The store of unfinished transfers, read back at a start: what it
    // takes stays inside the folders it names and writes back the same.
    if (auto kept = ParseUnfinished(text)) {
        for (const auto& u : kept->transfers)
            for (const auto& [offered, chosen] : u.resume.tops)
                if (CheckRelativePath(chosen) != PathError::None || chosen.find('/') != std::string::npos) std::abort();
        auto again = ParseUnfinished(FormatUnfinished(kept->transfers));
        if (!again || again->damaged || again->transfers != kept->transfers) std::abort();
        return 0;
    }
    // The first line as an offer, the rest as the list that goes with it.
    const auto nl = text.find('\n');
    auto offer = ParseOffer(text.substr(0, nl));
    if (offer) {
        for (const auto& name : offer->names)
            if (CheckRelativePath(name) != PathError::None || name.find('/') != std::string::npos) std::abort();
        if (ParseOffer(FormatOffer(*offer)) != offer) std::abort();
    }
    Offer limits;
    limits.files = kMaxEntries;
    limits.bytes = ~0ull;
    const auto rest = nl == std::string::npos ? std::string() : text.substr(nl + 1);
    auto list = ParseManifest(rest, offer ? *offer : limits);
    if (list.error == ManifestError::None) {
        for (const auto& e : list.entries)
            if (CheckRelativePath(e.path) != PathError::None) std::abort();
        Offer again = offer ? *offer : limits;
        auto back = ParseManifest(FormatManifest(list.entries), again);
        if (back.error != ManifestError::None || back.entries != list.entries) std::abort();
    }
    return 0;
}
