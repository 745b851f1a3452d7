// Addresses as a peer's offer and the stored transfers name them, and as a
// user types them in the network list: the reader may refuse, never crash;
// what it takes writes back in one form that reads back as the same address.
#include "IpAddress.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using lanyx::IpAddress;
using lanyx::IpSubnet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto exact = IpAddress::parse(text);
    const auto typed = IpAddress::parse(text, IpAddress::Spelling::LeadingZeros);
    // What the strict reader takes, the lenient one takes as the same.
    if (exact && typed != exact) std::abort();
    if (IpAddress::parseV4(text, IpAddress::Spelling::LeadingZeros) !=
        (typed && typed->isV4() ? typed : std::optional<IpAddress>{}))
        std::abort();
    if (!typed) return 0;
    const auto written = typed->toString();
    const auto back = IpAddress::parse(written);
    if (!back || *back != *typed || back->toString() != written) std::abort();
    if (exact && exact->isV4() && written != text) std::abort();  // one spelling for each IPv4 address
    // Every subnet of an address holds it, and its base.
    for (int prefix = 0; prefix <= typed->bitCount(); prefix += 7) {
        const auto subnet = IpSubnet::of(*typed, prefix);
        if (!subnet.contains(*typed) || !subnet.contains(subnet.base)) std::abort();
    }
    return 0;
}
