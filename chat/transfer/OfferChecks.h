#pragma once
// What a receiver decides about an offer before it shows it: where it would
// connect, and whether there is room for it among the offers that wait.
// An offer is sealed by a key anybody can have pinned under a fresh name,
// so neither its addresses nor its number are trusted on their own.
#include "Error.h"
#include "FileOffer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::transfer {

// Ports below this belong to the system's services: never connected to.
inline constexpr std::uint16_t kLowestPort = 1024;

// Where this copy may connect: its own subnets (loopback among them) and
// the addresses the user configured as destinations.
struct AimRules {
    std::vector<IpSubnet> subnets;
    std::vector<IpAddress> destinations;
    bool reachable(IpAddress ip) const;
};

// The first address of the offer that the sender's verified datagrams came
// from (`heard`) and that `rules` allow; else why not: OfferTooOld (it names
// no address), OfferPortReserved (below kLowestPort), OfferNotHeard (no
// offered address is one its signed datagrams came from) or OfferUnreachable
// (... and on this copy's subnets or destinations).
Result<IpAddress> ChooseSenderAddress(const Offer& offer, const std::vector<IpAddress>& heard, const AimRules& rules);

// Offers waiting for the user's answer: a few per sender, more in all.
// Newest first: a sender's offer beyond its share takes the place of its
// own oldest, and when all places are taken a newcomer takes the place of
// an offer of the sender holding the most, of those the one that sent the
// most offers lately (a made-up name offering again after it was pushed
// out loses to itself), then the oldest. Offers of trusted senders (the
// user checked their key, or has them in a group) give way only to one
// another, so names made up by the dozen can neither keep a real offer
// out nor push a trusted one out.
inline constexpr std::size_t kMaxOffersPerSender = 4;
inline constexpr std::size_t kMaxWaitingOffers = 64;
struct WaitingOffer {
    std::string sender;      // lower case
    bool trusted = false;    // checked key, or in one of the user's groups
    std::uint32_t sent = 1;  // offers that sender made lately, this one among them
};
struct OfferRoom {
    bool take = false;
    std::optional<std::size_t> drop;  // index into the waiting list, oldest first
};
// `newcomer.sent` counts the offer that asks for room.
OfferRoom RoomForOffer(const std::vector<WaitingOffer>& waiting, const WaitingOffer& newcomer);

// Whether the top-level names of a transfer list are the ones offered: the
// offered names in order, and as many as the offer said.
bool TopNamesMatch(const Offer& offer, const std::vector<std::string>& topNames);

}  // namespace lanyx::transfer
