#include "OfferChecks.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace lanyx::transfer {

bool AimRules::reachable(IpAddress ip) const {
    return std::any_of(subnets.begin(), subnets.end(), [&](const IpSubnet& s) { return s.contains(ip); }) ||
           std::find(destinations.begin(), destinations.end(), ip) != destinations.end();
}

Result<IpAddress> ChooseSenderAddress(const Offer& offer, const std::vector<IpAddress>& heard, const AimRules& rules) {
    if (offer.addresses.empty()) return failure(Reason::OfferTooOld);
    if (offer.port < kLowestPort) return failure(Reason::OfferPortReserved);
    bool wasHeard = false;
    for (const auto& address : offer.addresses) {
        // 0.0.0.0 is no host to connect to.
        if (address == IpAddress::v4(0) || !address || std::find(heard.begin(), heard.end(), address) == heard.end())
            continue;
        wasHeard = true;
        if (rules.reachable(address)) return address;
    }
    return failure(wasHeard ? Reason::OfferUnreachable : Reason::OfferNotHeard);
}

OfferRoom RoomForOffer(const std::vector<WaitingOffer>& waiting, const WaitingOffer& newcomer) {
    const auto& sender = newcomer.sender;
    const auto mine = static_cast<std::size_t>(
        std::count_if(waiting.begin(), waiting.end(), [&](const WaitingOffer& w) { return w.sender == sender; }));
    if (mine >= kMaxOffersPerSender) {
        for (std::size_t i = 0; i < waiting.size(); ++i)
            if (waiting[i].sender == sender) return {true, i};
    }
    if (waiting.size() < kMaxWaitingOffers) return {true, std::nullopt};
    // Who may give way: senders not trusted while there are any; trusted
    // ones only to a trusted newcomer.
    const bool anyUntrusted = std::any_of(waiting.begin(), waiting.end(),
                                          [](const WaitingOffer& w) { return !w.trusted; });
    if (!anyUntrusted && !newcomer.trusted) return {};
    struct Share {
        std::size_t held = 0, oldest = 0;
        std::uint32_t sent = 0;
    };
    std::map<std::string_view, Share> shares;
    for (std::size_t i = 0; i < waiting.size(); ++i)
        if (!anyUntrusted || !waiting[i].trusted) {
            auto [it, fresh] = shares.try_emplace(waiting[i].sender, Share{0, i, waiting[i].sent});
            ++it->second.held;
        }
    // The newcomer's offer counts among its own (its oldest is the new one
    // when it holds none).
    if (!anyUntrusted || !newcomer.trusted) {
        auto [it, fresh] = shares.try_emplace(sender, Share{0, waiting.size(), 0});
        ++it->second.held;
        it->second.sent = newcomer.sent;
    }
    const Share* victim = nullptr;
    for (const auto& [name, share] : shares)
        if (!victim || std::tie(share.held, share.sent) > std::tie(victim->held, victim->sent) ||
            (std::tie(share.held, share.sent) == std::tie(victim->held, victim->sent) && share.oldest < victim->oldest))
            victim = &share;
    // Its own new offer goes: nothing is taken.
    if (!victim || victim->oldest >= waiting.size()) return {};
    return {true, victim->oldest};
}

bool TopNamesMatch(const Offer& offer, const std::vector<std::string>& topNames) {
    if (offer.names.size() > topNames.size()) return false;
    if (!std::equal(offer.names.begin(), offer.names.end(), topNames.begin())) return false;
    if (offer.tops) return topNames.size() == offer.tops;
    // An old offer lists every name unless it shows the most it can.
    return offer.names.size() == kMaxOfferNames || topNames.size() == offer.names.size();
}

}  // namespace lanyx::transfer
