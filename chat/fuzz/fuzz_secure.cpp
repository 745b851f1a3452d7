// The datagrams our copies add (announcement, companion, encrypted private
// message, receipt), as anybody on the segment can send them, at a link that
// pinned the sender's name. The first byte picks the form: 0-3 one of the
// four commands with the rest as payload, under a pinned or a new name; 4 an
// encrypted message that opens, with the rest as its text; 5 an announcement
// with a good signature, with the rest as its capabilities and name.
#include "Crypto.h"
#include "Identity.h"
#include "SecureLink.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace lanyx;

namespace {

struct Fixture {
    Fixture() {
        if (!crypto::available()) std::abort();
        me = Identity::generate();
        bob = Identity::generate();
        PinStore pins;
        pins.pinNew("bob", bob.signPublic, bob.boxPublic, true, 0);
        SecureLink::Hooks h;
        h.send = [](std::string_view) {};
        h.process = [](std::string_view, Trust) {};
        h.deliverPrivate = [](const std::string&, const std::string&, Trust) { return true; };
        h.ticks = [this] { return ++now; };
        h.callAfter = [](std::uint32_t, std::function<void()> fn) { fn(); };
        h.wallMicros = [this] { return ++now; };
        link = new SecureLink(me, pins, {}, h);
        link->setMyName("ann");
    }
    Identity me, bob;
    SecureLink* link;
    std::uint32_t now = 0;
};

std::string be64(std::uint64_t v) {
    std::string out(8, '\0');
    for (int i = 7; i >= 0; --i, v >>= 8) out[static_cast<std::size_t>(i)] = static_cast<char>(v & 0xFF);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture f;
    if (size == 0) return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const int form = data[0] % 6;
    static const char* kCommands[] = {"K/", "G/", "E/", "R/"};
    std::string datagram;
    static std::uint64_t seq = 1;
    if (form < 4) {
        datagram = std::string((data[0] & 0x80) ? "zed" : "bob") + "|" + kCommands[form] + rest;
    } else if (form == 4) {
        const auto key = crypto::SharedKey(f.bob.boxSecret, f.bob.boxPublic, f.me.boxPublic);
        const auto s8 = be64(++seq);
        const std::string ad = std::string("LANYX-E1") + "bob" + '\0' + "ann" + s8;
        datagram = "bob|E/ann|" + crypto::ToBase64(s8 + crypto::Seal(*key, rest, ad));
    } else {
        const auto semi = rest.find(';');
        const std::string name = semi == std::string::npos ? "bob" : rest.substr(semi + 1);
        const std::string caps = rest.substr(0, semi);
        const std::string prefix = name + "|K/1;" + caps + ";" + crypto::ToBase64(f.bob.signPublic) + ";" +
                                   crypto::ToBase64(f.bob.boxPublic) + ";";
        const auto s8 = be64(++seq);
        datagram = prefix + crypto::ToBase64(s8 + crypto::Sign("LANYX-K1" + prefix + s8, f.bob.signSecret));
    }
    Trust trust;
    f.link->incoming(datagram, trust);
    // And the same bytes as a datagram of the common commands from bob.
    f.link->incoming("bob|" + rest, trust);
    return 0;
}
