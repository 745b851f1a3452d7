// A forger on the segment against what our copies remember of each other:
// replay windows that only the right key's fresh messages move, clocks that
// were wrong, old-format messages made with a stolen key file, session keys
// announced before the user decided, leaves that were never signed.
#include "Crypto.h"
#include "Identity.h"
#include "SecureLink.h"
#include "KeyedPeers.h"

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::test;

namespace {

constexpr std::int64_t kMinute = 60ll * 1000000;
constexpr std::int64_t kDay = 24 * 60 * kMinute;

class ForgedWindows : public KeyedPeers {
protected:
    std::vector<std::string> shown(Peer& p) {
        std::vector<std::string> out;
        for (const auto& i : p.rec.items) out.push_back(i.sender + ":" + i.text);
        return out;
    }
    std::string lastAnnouncement(Peer& p) {
        std::string found;
        for (const auto& d : p.transport.allSent)
            if (d.find("|K/") != std::string::npos) found = d;
        return found;
    }
    // mallory knows bob's keys from his announcement, as anyone does.
    std::unique_ptr<Forger> mallory() {
        PinStore known;
        known.pinNew("bob", bob->node.secure()->identity().signPublic, bob->node.secure()->identity().boxPublic, true,
                     1);
        auto f = std::make_unique<Forger>(std::move(known));
        f->hear(lastAnnouncement(*bob));
        return f;
    }
    void restart(std::unique_ptr<Peer>& p, const std::string& name, std::int64_t clockOffset = 0) {
        const auto home = p->folder();
        p->node.CloseNetwork();
        seg.runFor(100);
        p.reset();
        p = std::make_unique<Peer>(seg, name, Peer::Folder{home});
        p->clockOffsetMicros = clockOffset;
        p->joinAs(name);
        seg.runFor(2000);
    }
    Delivery lastDelivery(Peer& p) {
        return p.rec.deliveries.empty() ? Delivery::Local : p.rec.deliveries.back().state;
    }
};

}  // namespace

// A forged key for ann, then one private message under ann sealed by it:
// whatever its number, ann's real messages are taken after the user kept
// her known key, and after a restart too; her session keys stayed hers.
TEST_F(ForgedWindows, AForgedKeyAndOneMessageUnderItNeverSilenceTheRealUser) {
    struct Case {
        std::int64_t ahead;
        bool shownNotVerified;  // within the freshness window: shown, marked
    };
    for (const auto c : {Case{kDay, false}, Case{4 * kMinute, true}}) {
        SCOPED_TRACE(c.ahead);
        auto forger = mallory();
        post({forger->announce("ann")});
        ASSERT_EQ(bob->node.KeyStateOf("ann"), KeyState::Changed);
        bob->rec.items.clear();
        post({forger->sealTo("bob", A + "forged", c.ahead)});
        EXPECT_EQ(shown(*bob), c.shownNotVerified ? std::vector<std::string>{"ann:(not verified) forged"}
                                                  : std::vector<std::string>{});
        ASSERT_TRUE(bob->node.secure()->keepKnownKey("ann"));
        // None of ann's session keys was replaced by the forged announcement.
        EXPECT_TRUE(bob->node.SendPrivate("ann " + A + "still between us").forwardSecret);
        ann->node.SendPrivate("bob " + A + "the real one");
        seg.runFor(200);
        ASSERT_FALSE(shown(*bob).empty());
        EXPECT_EQ(shown(*bob).back(), "ann:the real one");
        EXPECT_EQ(lastDelivery(*ann), Delivery::Delivered);
        restart(bob, "bob");
        ann->node.SendPrivate("bob " + A + "after the restart");
        seg.runFor(200);
        ASSERT_FALSE(shown(*bob).empty());
        EXPECT_EQ(shown(*bob).back(), "ann:after the restart");
    }
}

// ann's copy ran a day ahead (restarted so, or set so while running), then
// its clock was set right: what it signs is verified again at once, and
// what it sealed while ahead was neither shown nor taken into a window.
TEST_F(ForgedWindows, ACopyWhoseClockWasADayAheadIsVerifiedOnceItIsSetRight) {
    for (const bool restartAfter : {true, false}) {
        SCOPED_TRACE(restartAfter);
        restart(ann, "ann", kDay);
        bob->rec.items.clear();
        ann->node.SendToAll(A + "while ahead");
        ann->node.SendPrivate("bob " + A + "private while ahead");
        seg.runFor(10000);
        EXPECT_EQ(shown(*bob), std::vector<std::string>{"ann:(not verified) while ahead"});
        EXPECT_EQ(lastDelivery(*ann), Delivery::NotConfirmed);
        if (restartAfter) {
            // (Her leave, signed while ahead, was not taken: bob lists her
            // still and does not answer her join; she hears him when he speaks.)
            restart(ann, "ann", 0);
            bob->node.SendPresence();
            seg.runFor(500);
        } else {
            ann->clockOffsetMicros = 0;
        }
        bob->rec.items.clear();
        ann->node.SetStatus(1);
        ann->node.SendToAll(A + "set right");
        ann->node.SendPrivate("bob " + A + "private set right");
        seg.runFor(3000);
        EXPECT_EQ(shown(*bob), (std::vector<std::string>{"ann:set right", "ann:private set right"}));
        EXPECT_EQ(bob->node.users().user(*bob->node.users().findExact("ann")).status, 1);
        EXPECT_EQ(bob->node.KeyStateOf("ann"), KeyState::New);
        EXPECT_TRUE(ann->node.secure()->clockWasAhead());
        // Its own signed echoes are taken too.
        ann->node.SetStatus(2);
        seg.runFor(100);
        EXPECT_EQ(ann->node.users().user(*ann->node.users().findExact("ann")).status, 2);
        ann->node.SetStatus(0);
        seg.runFor(100);
    }
}

// Whoever stole bob's key file can seal under the static keys as anyone to
// bob; once ann's key announced ephemeral keys, such a message is refused,
// across bob's restarts too (remembered with her key).
TEST_F(ForgedWindows, AnOldFormatMessageSealedWithTheVictimsStolenKeyIsRefused) {
    const auto stolen = LoadOrCreateIdentity(bob->folder()).identity;
    ASSERT_TRUE(stolen);
    const std::string annBox = ann->node.secure()->identity().boxPublic;
    const auto forge = [&](const std::string& text) {
        const std::string seq8 = bigEndian(wallNow());
        const std::string ad = std::string("LANYX-E1") + "ann" + '\0' + "bob" + seq8;
        const auto shared = crypto::SharedKey(stolen->boxSecret, stolen->boxPublic, annBox);
        return "ann|E/bob|" + crypto::ToBase64(seq8 + crypto::Seal(*shared, cp1252::fromUtf8(text), ad));
    };
    bob->rec.items.clear();
    post({forge(A + "pay the invoice")});
    EXPECT_TRUE(shown(*bob).empty());
    const auto pins = PinStore::fromText(readBytes(bobHome / PinStore::kFileName));
    ASSERT_TRUE(pins.find("ann"));
    EXPECT_TRUE(pins.find("ann")->announcesEphemeral);
    ann->transport.close();  // ann away: nothing of hers this session
    restart(bob, "bob");
    post({forge(A + "pay it now")});
    EXPECT_TRUE(shown(*bob).empty());
}

// With ann's stolen agreement key and an ephemeral key of his own, the
// forger seals a message in the new format: its ephemeral key is none that
// ann's key signed, so it is refused, and bob asks ann for her keys.
TEST_F(ForgedWindows, AnEphemeralKeyTheSenderNeverAnnouncedIsRefusedAndHerKeysAskedFor) {
    const auto annKeys = LoadOrCreateIdentity(ann->folder()).identity;
    ASSERT_TRUE(annKeys);
    const auto bobAnnouncement = lastAnnouncement(*bob);
    const auto eph = bobAnnouncement.find("eph=");
    ASSERT_NE(eph, std::string::npos);
    const auto bobEph = crypto::FromBase64(
        bobAnnouncement.substr(eph + 4, bobAnnouncement.find_first_of(",;", eph) - eph - 4));
    ASSERT_TRUE(bobEph);
    const auto own = crypto::NewAgreementKeys();
    const auto keys = crypto::DerivePrivateKeys(true, annKeys->boxSecret, annKeys->boxPublic, own.secretKey,
                                                own.publicKey, bob->node.secure()->identity().boxPublic, *bobEph);
    ASSERT_TRUE(keys);
    const std::string seq8 = bigEndian(wallNow());
    const std::string used = own.publicKey + *bobEph;
    const std::string ad = std::string("LANYX-E2") + "ann" + '\0' + "bob" + seq8 + used;
    bob->rec.items.clear();
    ann->transport.allSent.clear();
    post({"ann|E/bob|2|" + crypto::ToBase64(seq8 + used + crypto::Seal(keys->message, A + "forged", ad))});
    EXPECT_TRUE(shown(*bob).empty());
    EXPECT_TRUE(anyHas(bob->transport.allSent, "ask=ann"));
    EXPECT_FALSE(lastAnnouncement(*ann).empty());  // asked, she announced again
}

// bob missed ann's ephemeral key this session (her announcement lost):
// nothing goes out under the static keys alone; he asks her for her keys
// and the message goes sealed under them.
TEST_F(ForgedWindows, AMissedEphemeralKeyIsAskedForAndTheMessageStaysForwardSecret) {
    bob->node.secure()->forget("ann");
    bob->transport.allSent.clear();
    bob->node.SendPrivate("ann " + A + "hello");
    seg.runFor(3000);
    EXPECT_EQ(shown(*ann).back(), "bob:hello");
    ASSERT_EQ(lastDelivery(*bob), Delivery::Delivered);
    EXPECT_TRUE(bob->rec.deliveries.back().forwardSecret);
    for (const auto& d : bob->transport.allSent) {
        if (d.rfind("bob|E/", 0) == 0) {
            EXPECT_EQ(d.rfind("bob|E/ann|2|", 0), 0u) << d;
        }
    }
}

TEST(KnownKeys, WhetherAKeyAnnouncesEphemeralKeysIsKeptInALineAnEarlierBuildReads) {
    PinStore pins;
    ASSERT_TRUE(pins.pinNew("ann", std::string(32, 'a'), std::string(32, 'b'), true, 5));
    ASSERT_TRUE(pins.pinNew("bob", std::string(32, 'c'), std::string(32, 'd'), true, 6));
    ASSERT_TRUE(pins.noteEphemeral("ann"));
    const auto text = pins.toText();
    std::size_t skipped = 9;
    const auto back = PinStore::fromText(text, &skipped);
    EXPECT_EQ(skipped, 0u);
    EXPECT_TRUE(back.find("ann")->announcesEphemeral);
    EXPECT_EQ(back.find("ann")->heard, 5);
    EXPECT_FALSE(back.find("bob")->announcesEphemeral);
    EXPECT_EQ(back.toText(), text);
    // The fields and words of an earlier build's line: it reads the file whole.
    EXPECT_NE(text.find("\tnew\tbox\t100000000005\n"), std::string::npos) << text;
    // Accepting another key announced for the name: that key's own announcements tell.
    auto accepted = back;
    ASSERT_TRUE(accepted.setPending("ann", std::string(32, 'e'), std::string(32, 'f'), true));
    ASSERT_TRUE(accepted.markChecked("ann", 7));
    EXPECT_FALSE(accepted.find("ann")->announcesEphemeral);
}
