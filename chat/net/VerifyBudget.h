#pragma once
// What checks of signatures and openings of sealed messages may cost, as
// anybody on the segment can make a copy do them: a budget per sender
// address, one of its own for a key verified from the address its datagram
// comes from, and one for all of them together, of which checks for keys
// not verified from their address leave a reserve. Junk under a real
// user's name, or under many names, from other addresses costs a bounded
// share of a core and never the user's own budget.
#include "IpAddress.h"
#include "RateLimit.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace lanyx {

class VerifyBudget {
public:
    struct Pace {
        std::uint32_t burst, perSecond;
    };
    // `each`: per address and per verified key; `all`: for all together,
    // `reserve` of it left by keys not verified from their address. At most
    // `maxKeys` addresses and as many keys are kept; a new one past that
    // starts them all afresh.
    VerifyBudget(Pace each, Pace all, std::uint32_t reserve, std::size_t maxKeys = 4096)
        : each_(each), all_(all.burst, all.perSecond), reserve_(reserve), maxKeys_(maxKeys) {}

    enum class Verdict : std::uint8_t {
        Allowed,     // one check spent
        AddressOut,  // the budget of the sender's address is out
        KeyOut,      // the budget of the key verified from there is out
        AllOut,      // the budget of all together is out (or down to its reserve)
    };
    // Spends one check at `now` by `signKey` (empty: no key of the name is
    // known) of what came from `address`.
    Verdict take(std::uint32_t now, IpAddress address, const std::string& signKey);
    // The key's signature was verified, fresh, from `address`: its checks
    // from there spend its own budget from now on. At most `most` keys are
    // remembered (those that can be verified).
    void proven(const std::string& signKey, IpAddress address, std::size_t most);
    bool provenFrom(const std::string& signKey, IpAddress address) const;

private:
    Pace each_;
    PaceBucket all_;
    std::uint32_t reserve_;
    std::size_t maxKeys_;
    std::unordered_map<IpAddress, PaceBucket> byAddress_;
    std::unordered_map<std::string, PaceBucket> byKey_;
    std::unordered_map<std::string, IpAddress> provenFrom_;  // signing key -> address it was verified from
};

}  // namespace lanyx
