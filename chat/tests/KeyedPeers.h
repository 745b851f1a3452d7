#pragma once
// What the tests of keys share: this computer's clock as our copies number
// what they sign, a forger with a key of his own, and ann and bob joined
// with keys, each on a data folder that outlives a restart.
#include "Cp1252.h"
#include "Identity.h"
#include "SecureLink.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lanyx::test {

inline std::uint64_t wallNow() {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count());
}

// A signed number as it travels: eight bytes, most significant first.
inline std::string bigEndian(std::uint64_t n) {
    std::string raw;
    for (int b = 7; b >= 0; --b) raw += static_cast<char>((n >> (8 * b)) & 0xFF);
    return raw;
}

// A key of his own in our format, with what he knows of other keys (as
// anyone on the segment learns them), and a clock he sets as he likes.
// (The end-to-end forger is built apart from it.)
class Forger {
public:
    explicit Forger(PinStore known = {}) : link_(Identity::generate(), std::move(known), {}, hooks()) {}
    // A valid announcement of this key under `name` (that was `former`).
    std::string announce(const std::string& name, std::int64_t offsetMicros = 0, const std::string& former = {}) {
        offset_ = offsetMicros;
        link_.setMyName(name);
        link_.setPreviousNames(former.empty() ? std::vector<std::string>{} : std::vector<std::string>{former});
        return link_.announcement();
    }
    const Identity& identity() const { return link_.identity(); }
    // A datagram under `name` with a valid companion of this key.
    std::vector<std::string> say(const std::string& name, const std::string& utf8) {
        link_.setMyName(name);
        sent_.clear();
        link_.send(cp1252::fromUtf8(name + "|" + utf8));
        return sent_;
    }
    // Takes in what another copy announced (its ephemeral key).
    void hear(const std::string& datagram) {
        Trust t;
        link_.incoming(datagram, t);
    }
    std::string sealTo(const std::string& recipient, const std::string& text, std::int64_t aheadMicros) {
        offset_ = aheadMicros;
        sent_.clear();
        link_.sendPrivate(recipient, text);
        offset_ = 0;
        return sent_.empty() ? std::string() : sent_.back();
    }

private:
    SecureLink::Hooks hooks() {
        SecureLink::Hooks h;
        h.send = [this](std::string_view b) { sent_.emplace_back(b); };
        h.process = [](std::string_view, Trust) {};
        h.ticks = [] { return 0u; };
        h.callAfter = [](std::uint32_t, std::function<void()>) {};
        h.wallMicros = [this] { return wallNow() + static_cast<std::uint64_t>(offset_); };
        return h;
    }
    std::vector<std::string> sent_;
    std::int64_t offset_ = 0;
    SecureLink link_;
};

class KeyedPeers : public ::testing::Test {
protected:
    KeyedPeers() {
        ann = std::make_unique<Peer>(seg, "ann", Peer::Folder{annHome.path()});
        bob = std::make_unique<Peer>(seg, "bob", Peer::Folder{bobHome.path()});
        ann->joinAs("ann");
        seg.runFor(50);
        bob->joinAs("bob");
        seg.runFor(2000);
    }
    void post(const std::vector<std::string>& datagrams, std::uint32_t ms = SecureLink::kHoldMs + 100) {
        for (const auto& d : datagrams) seg.post(d);
        seg.runFor(ms);
    }

    MemorySegment seg;
    TempDir annHome, bobHome;
    std::unique_ptr<Peer> ann, bob;
};

}  // namespace lanyx::test
