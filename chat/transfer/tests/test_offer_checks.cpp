// What a receiver decides about an offer before anything connects, and the
// connection handshake against someone who recorded one.
#include "OfferChecks.h"
#include "TransferCrypto.h"
#include "TransferTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

using namespace lanyx::transfer;
using lanyx::IpAddress;
using lanyx::IpSubnet;
using lanyx::Reason;
using lanyx::Result;
using lanyx::test::Keys;

namespace {

constexpr IpAddress ip(int a, int b, int c, int d) {
    return IpAddress::v4((static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(b) << 16) |
                         (static_cast<std::uint32_t>(c) << 8) | static_cast<std::uint32_t>(d));
}

Offer offerFrom(std::vector<IpAddress> addresses, std::uint16_t port = 1415) {
    Offer o;
    o.id = NewTransferId();
    o.port = port;
    o.files = 1;
    o.bytes = 5;
    o.names = {"report.pdf"};
    o.tops = 1;
    o.addresses = std::move(addresses);
    return o;
}

AimRules lan() {
    AimRules r;
    r.subnets = {IpSubnet::of(ip(192, 168, 1, 20), 24), IpSubnet::of(ip(127, 0, 0, 1), 8)};
    r.destinations = {ip(10, 9, 0, 4)};
    return r;
}

}  // namespace

TEST(OfferAim, OnlyAnAddressTheSendersSignedDatagramsCameFromOnOurNetworksAndAnUnprivilegedPort) {
    const std::vector<IpAddress> heard{ip(192, 168, 1, 7), ip(10, 9, 0, 4), ip(172, 16, 0, 9)};
    const auto refusal = [](const Result<IpAddress>& aim) {
        return aim ? std::optional<Reason>() : aim.error().reason;
    };
    // The first offered address that was heard and is reachable.
    auto aim = ChooseSenderAddress(offerFrom({ip(192, 168, 1, 99), ip(192, 168, 1, 7)}), heard, lan());
    ASSERT_TRUE(aim);
    EXPECT_EQ(*aim, ip(192, 168, 1, 7));
    // A configured destination on another subnet.
    EXPECT_EQ(ChooseSenderAddress(offerFrom({ip(10, 9, 0, 4)}), heard, lan()).value(), ip(10, 9, 0, 4));
    // An address the sender was never heard from: a forger aiming us at a
    // host on our own subnet.
    EXPECT_EQ(refusal(ChooseSenderAddress(offerFrom({ip(192, 168, 1, 1)}), heard, lan())), Reason::OfferNotHeard);
    // Heard, but outside our networks and destinations (a spoofed source).
    EXPECT_EQ(refusal(ChooseSenderAddress(offerFrom({ip(172, 16, 0, 9)}), heard, lan())), Reason::OfferUnreachable);
    // The ports of the system's services, whatever the address.
    EXPECT_EQ(refusal(ChooseSenderAddress(offerFrom({ip(192, 168, 1, 7)}, 22), heard, lan())),
              Reason::OfferPortReserved);
    EXPECT_EQ(refusal(ChooseSenderAddress(offerFrom({ip(192, 168, 1, 7)}, 1023), heard, lan())),
              Reason::OfferPortReserved);
    EXPECT_EQ(refusal(ChooseSenderAddress(offerFrom({ip(192, 168, 1, 7)}, 1024), heard, lan())), std::nullopt);
    // An offer of an earlier build names no address at all.
    EXPECT_EQ(refusal(ChooseSenderAddress(offerFrom({}), heard, lan())), Reason::OfferTooOld);
    // Nothing heard from the sender yet.
    EXPECT_EQ(refusal(ChooseSenderAddress(offerFrom({ip(192, 168, 1, 7)}), {}, lan())), Reason::OfferNotHeard);
}

TEST(OfferAim, AddressesAndTheNameCountTravelInTheOfferAndEarlierReadersIgnoreThem) {
    auto o = offerFrom({ip(192, 168, 1, 7), ip(127, 0, 0, 1)});
    o.names = {"a b", "c"};
    o.tops = 3;
    const auto text = FormatOffer(o);
    EXPECT_NE(text.find(";from=192.168.1.7,127.0.0.1;tops=3"), std::string::npos) << text;
    auto back = ParseOffer(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, o);
    // The fields of an earlier build stand first, unchanged.
    EXPECT_EQ(text.rfind("v1;id=" + o.id + ";port=1415;files=1;bytes=5;names=a%20b,c;", 0), 0u) << text;
    // Bad addresses, twice the same field, fewer names than offered.
    const auto head = "v1;id=" + o.id + ";port=1415;files=1;bytes=5;names=a";
    for (const char* tail : {";from=192.168.1", ";from=192.168.01.7", ";from=256.1.1.1", ";from=1.2.3.4;from=1.2.3.5",
                             ";from=", ";tops=0", ";tops=1;tops=1",
                             ";from=1.1.1.1,2.2.2.2,3.3.3.3,4.4.4.4,5.5.5.5,"
                             "6.6.6.6,7.7.7.7,8.8.8.8,9.9.9.9"})
        EXPECT_FALSE(ParseOffer(head + tail)) << tail;
    EXPECT_FALSE(ParseOffer("v1;id=" + o.id + ";port=1415;files=1;bytes=5;names=a,b;tops=1"));
    // Later fields of builds to come are passed over.
    EXPECT_TRUE(ParseOffer(head + ";from=1.2.3.4;next=thing"));
    // Many long names still leave room for the addresses.
    Offer many = offerFrom({ip(192, 168, 1, 7), ip(10, 0, 0, 1), ip(127, 0, 0, 1)});
    many.names.assign(16, std::string(200, 'n'));
    many.tops = 16;
    const auto cut = ParseOffer(FormatOffer(many));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->addresses, many.addresses);
    EXPECT_EQ(cut->tops, 16u);
    EXPECT_LT(cut->names.size(), 16u);
}

TEST(OfferAim, TheNamesDeliveredAreTheNamesOffered) {
    auto o = offerFrom({ip(127, 0, 0, 1)});
    EXPECT_TRUE(TopNamesMatch(o, {"report.pdf"}));
    EXPECT_FALSE(TopNamesMatch(o, {".bashrc"}));
    EXPECT_FALSE(TopNamesMatch(o, {"report.pdf", ".bashrc"}));
    EXPECT_FALSE(TopNamesMatch(o, {}));
    // An offer that showed only some of its names still says how many.
    o.names = {"a", "b"};
    o.tops = 3;
    EXPECT_TRUE(TopNamesMatch(o, {"a", "b", "c"}));
    EXPECT_FALSE(TopNamesMatch(o, {"a", "b", "c", "d"}));
    EXPECT_FALSE(TopNamesMatch(o, {"b", "a", "c"}));
}

namespace {
// The waiting list as the receiver keeps it, with what each sender offered.
struct Waiting {
    std::vector<WaitingOffer> list;
    std::map<std::string, std::uint32_t> sent;
    // Takes the offer where RoomForOffer says; whether it was taken.
    bool offer(const std::string& sender, bool trusted = false) {
        ++sent[sender];
        for (auto& w : list) w.sent = sent[w.sender];
        const auto room = RoomForOffer(list, {sender, trusted, sent[sender]});
        if (!room.take) return false;
        if (room.drop) list.erase(list.begin() + static_cast<std::ptrdiff_t>(*room.drop));
        list.push_back({sender, trusted, sent[sender]});
        return true;
    }
    std::size_t held(const std::string& sender) const {
        return static_cast<std::size_t>(
            std::count_if(list.begin(), list.end(), [&](const WaitingOffer& w) { return w.sender == sender; }));
    }
};
}  // namespace

TEST(WaitingOffers, AFewPerSenderAndMadeUpNamesByTheDozenDoNotKeepARealOfferOut) {
    // One sender: four wait; the fifth takes the place of its own oldest.
    {
        Waiting w;
        w.offer("ann");
        for (int i = 0; i < 4; ++i) ASSERT_TRUE(w.offer("mallory"));
        const auto room = RoomForOffer(w.list, {"mallory", false, 5});
        ASSERT_TRUE(room.take);
        EXPECT_EQ(room.drop, std::optional<std::size_t>(1));
    }
    // A full list, then a real sender whose key nobody checked, then the
    // flood going on: the same made-up names again and again, or new ones
    // (a real offer outlasts a list's worth of newer senders).
    struct Flood {
        const char* what;
        std::size_t names, rounds, after;  // made-up names, offers each before and after ann's
        bool fresh;                        // the names after ann's are new ones
    };
    for (const auto& f : {Flood{"64 names, one offer each", 64, 1, 3, false},
                          Flood{"32 names, all they may", 32, 5, 3, false}, Flood{"new names", 64, 1, 1, true}}) {
        SCOPED_TRACE(f.what);
        Waiting w;
        for (std::size_t round = 0; round < f.rounds; ++round)
            for (std::size_t n = 0; n < f.names; ++n) w.offer("junk" + std::to_string(n));
        ASSERT_EQ(w.list.size(), kMaxWaitingOffers);
        for (std::size_t n = 0; n < f.names; ++n) EXPECT_LE(w.held("junk" + std::to_string(n)), kMaxOffersPerSender);
        ASSERT_TRUE(w.offer("ann"));
        for (std::size_t round = 0; round < f.after; ++round)
            for (std::size_t n = 0; n + (f.fresh ? 1 : 0) < f.names; ++n)
                w.offer((f.fresh ? "new" : "junk") + std::to_string(n));
        EXPECT_EQ(w.list.size(), kMaxWaitingOffers);
        EXPECT_EQ(w.held("ann"), 1u) << "the flood pushed the real offer out";
    }
    // Checked and grouped senders always get in and are never pushed out by
    // others; among themselves the newest goes first too.
    {
        Waiting w;
        w.offer("boss", true);
        for (std::size_t n = 0; n < 200; ++n) w.offer("junk" + std::to_string(n));
        EXPECT_EQ(w.held("boss"), 1u);
        std::vector<WaitingOffer> trustedOnly;
        for (std::size_t n = 0; n < kMaxWaitingOffers; ++n)
            trustedOnly.push_back({"t" + std::to_string(n % 16), true, 4});
        EXPECT_FALSE(RoomForOffer(trustedOnly, {"stranger", false, 1}).take);
        const auto room = RoomForOffer(trustedOnly, {"colleague", true, 1});
        ASSERT_TRUE(room.take && room.drop);
        EXPECT_EQ(*room.drop, 0u);  // the oldest of those holding the most
    }
}

TEST(Handshake, BothSidesSignBothKeysAndTheIdAndProveTheConnectionKeysBeforeAnyFrame) {
    Keys ann, bob, eve;
    const auto id = NewTransferId();
    using Step = ConnectionHandshake::Step;
    using Role = ConnectionHandshake::Role;

    // A genuine handshake, recorded.
    ConnectionHandshake r(Role::Receiver, id, bob.secret, ann.pub);
    ConnectionHandshake s(Role::Sender, id, ann.secret, bob.pub);
    const std::string first = r.start();
    std::string in = first, answer, proof, none;
    ASSERT_EQ(s.consume(in, answer), Step::NeedMore);  // not done before the receiver proved itself
    EXPECT_FALSE(s.cipher());
    in = answer;
    ASSERT_EQ(r.consume(in, proof), Step::Done) << r.error();
    in = proof;
    ASSERT_EQ(s.consume(in, none), Step::Done) << s.error();
    EXPECT_TRUE(s.cipher());

    // Played back to the sender on a new connection: the sender answers
    // with a fresh key, and the recorded proof does not fit it.
    {
        ConnectionHandshake again(Role::Sender, id, ann.secret, bob.pub);
        std::string replay = first, reply;
        ASSERT_EQ(again.consume(replay, reply), Step::NeedMore);
        EXPECT_NE(reply, answer);
        replay = proof;
        EXPECT_EQ(again.consume(replay, none), Step::Failed);
        EXPECT_FALSE(again.cipher());
    }
    // The sender's answer played back to a new receiver: its signature
    // covers the other receiver key.
    {
        ConnectionHandshake other(Role::Receiver, id, bob.secret, ann.pub);
        other.start();
        std::string replay = answer, reply;
        EXPECT_EQ(other.consume(replay, reply), Step::Failed);
        EXPECT_TRUE(reply.empty());
    }
    // A receiver that names bob's key but signs with another, or proves
    // keys it does not hold (a signature without the MAC), is refused by the
    // sender.
    SigningKey eveAsBob = eve.secret;
    std::copy(bob.pub.begin(), bob.pub.end(), eveAsBob.begin() + 32);
    for (bool wrongKey : {true, false}) {
        ConnectionHandshake rr(Role::Receiver, id, wrongKey ? eveAsBob : bob.secret, ann.pub);
        ConnectionHandshake ss(Role::Sender, id, ann.secret, bob.pub);
        std::string a = rr.start(), b, c;
        ASSERT_EQ(ss.consume(a, b), Step::NeedMore);
        ASSERT_EQ(rr.consume(b, c), Step::Done);
        if (!wrongKey) c[c.size() - 1] = static_cast<char>(c[c.size() - 1] ^ 1);
        EXPECT_EQ(ss.consume(c, none), Step::Failed);
        EXPECT_NE(ss.error().find(wrongKey ? "not the one known" : "does not hold"), std::string::npos) << ss.error();
    }
    // A receiver with a key of its own: the sender's signature and proof
    // name bob's key, not this one.
    {
        ConnectionHandshake rr(Role::Receiver, id, eve.secret, ann.pub);
        ConnectionHandshake ss(Role::Sender, id, ann.secret, bob.pub);
        std::string a = rr.start(), b, c;
        ASSERT_EQ(ss.consume(a, b), Step::NeedMore);
        EXPECT_EQ(rr.consume(b, c), Step::Failed);
        EXPECT_TRUE(c.empty());
    }
    // The sender's proof changed on the way: the receiver refuses.
    {
        ConnectionHandshake rr(Role::Receiver, id, bob.secret, ann.pub);
        ConnectionHandshake ss(Role::Sender, id, ann.secret, bob.pub);
        std::string a = rr.start(), b, c;
        ASSERT_EQ(ss.consume(a, b), Step::NeedMore);
        b[b.size() - 1] = static_cast<char>(b[b.size() - 1] ^ 1);
        EXPECT_EQ(rr.consume(b, c), Step::Failed);
        EXPECT_TRUE(c.empty());
    }
}

TEST(Handshake, WhatBothConfirmNamesBothUsersLastingKeysAndEveryPartOfTheHandshake) {
    Keys ann, bob, eve;
    const auto id = NewTransferId();
    ConnectionHandshake r(ConnectionHandshake::Role::Receiver, id, bob.secret, ann.pub);
    ConnectionHandshake s(ConnectionHandshake::Role::Sender, id, ann.secret, bob.pub);
    std::string in = r.start(), answer, proof, none;
    ASSERT_EQ(s.consume(in, answer), ConnectionHandshake::Step::NeedMore);
    ASSERT_EQ(r.consume(answer, proof), ConnectionHandshake::Step::Done);
    ASSERT_EQ(s.consume(proof, none), ConnectionHandshake::Step::Done);
    // Both sides hold the same T, made of the receiver's and the sender's
    // lasting keys, both fresh keys, the id and both bytes.
    const auto offered = static_cast<std::uint8_t>(LocalCiphers() | kKeyedFileChecks);
    const auto chosen = static_cast<std::uint8_t>(r.chosen() | (r.keyedChecks() ? kKeyedFileChecks : 0));
    const auto t = [&](const VerifyKey& receiver, const VerifyKey& sender, std::string_view transfer = {}) {
        return ConnectionHandshake::transcriptOf(transfer.empty() ? std::string_view(id) : transfer, receiver, sender,
                                                 r.freshKey(), s.freshKey(), offered, chosen);
    };
    EXPECT_EQ(r.transcript(), s.transcript());
    EXPECT_EQ(r.transcript(), t(bob.pub, ann.pub));
    // Another user's key on either side, the two swapped, or another
    // transfer: another T, so no signature or proof of this one fits.
    for (const auto& other :
         {t(eve.pub, ann.pub), t(bob.pub, eve.pub), t(ann.pub, bob.pub), t(bob.pub, ann.pub, NewTransferId())})
        EXPECT_NE(other, r.transcript());
}
