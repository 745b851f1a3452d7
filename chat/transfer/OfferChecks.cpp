#include "OfferChecks.h"

#include <algorithm>
#include <map>

namespace lanyx::transfer {

bool AimRules::reachable(std::uint32_t ip) const {
    return std::any_of(subnets.begin(), subnets.end(), [&](const Subnet& s) { return s.holds(ip); }) ||
           std::find(destinations.begin(), destinations.end(), ip) != destinations.end();
}

Aim ChooseSenderAddress(const Offer& offer, const std::vector<std::uint32_t>& heard, const AimRules& rules) {
    if (offer.addresses.empty()) return {0, AimRefusal::OldOffer};
    if (offer.port < kLowestPort) return {0, AimRefusal::Port};
    bool wasHeard = false;
    for (const auto address : offer.addresses) {
        if (address == 0 || std::find(heard.begin(), heard.end(), address) == heard.end()) continue;
        wasHeard = true;
        if (rules.reachable(address)) return {address, AimRefusal::None};
    }
    return {0, wasHeard ? AimRefusal::Unreachable : AimRefusal::NotHeard};
}

const char* AimRefusalText(AimRefusal refusal) {
    switch (refusal) {
    case AimRefusal::None: return "ok";
    case AimRefusal::OldOffer: return "the sender's program is too old to send files to this one";
    case AimRefusal::Port: return "the offer names a port reserved for the system";
    case AimRefusal::NotHeard: return "the offer names an address the sender was not heard from";
    case AimRefusal::Unreachable: return "the sender's address is outside this computer's networks";
    }
    return "refused";
}

OfferRoom RoomForOffer(const std::vector<WaitingOffer>& waiting, std::string_view sender, bool checked) {
    std::map<std::string_view, std::size_t> held;
    for (const auto& w : waiting) ++held[w.sender];
    const auto mine = held.count(sender) ? held[sender] : 0;
    if (mine >= kMaxOffersPerSender) return {};
    if (waiting.size() < kMaxWaitingOffers) return {true, std::nullopt};
    std::size_t most = 0;
    for (const auto& [name, count] : held) most = std::max(most, count);
    // Equal shares: the newcomer would become the one holding the most.
    if (mine + 1 > most) return {};
    std::optional<std::size_t> drop;
    for (std::size_t i = 0; i < waiting.size(); ++i) {
        if (held[waiting[i].sender] != most) continue;
        if (!drop || (waiting[*drop].checked && !waiting[i].checked)) drop = i;
    }
    if (!drop) return {};
    const bool victimChecked = waiting[*drop].checked;
    // A checked sender's offer gives way only to another checked sender's,
    // and a tie only to a checked sender taking an unchecked one's place.
    if (victimChecked && !checked) return {};
    if (mine + 1 == most && (!checked || victimChecked)) return {};
    return {true, drop};
}

bool TopNamesMatch(const Offer& offer, const std::vector<std::string>& topNames) {
    if (offer.names.size() > topNames.size()) return false;
    if (!std::equal(offer.names.begin(), offer.names.end(), topNames.begin())) return false;
    if (offer.tops) return topNames.size() == offer.tops;
    // An old offer lists every name unless it shows the most it can.
    return offer.names.size() == kMaxOfferNames || topNames.size() == offer.names.size();
}

}  // namespace lanyx::transfer
