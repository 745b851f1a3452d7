// What a forger on the segment can and cannot do to the keys of our copies:
// private messages never in the clear to a known key, marks that say what
// was checked, a file of known keys nobody can fill from outside, names of
// copies without keys, fresh signatures and the replay window.
#include "Crypto.h"
#include "Identity.h"
#include "PreviousNames.h"
#include "SecureLink.h"
#include "CliKeys.h"
#include "FileOffer.h"
#include "KeyedPeers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using namespace lanyx;
using namespace lanyx::test;

namespace {

class KeyTrust : public KeyedPeers {
protected:
    void forge(const std::string& utf8) { post({cp1252::fromUtf8(utf8)}); }
    KeyState state(Peer& at, const std::string& name) { return at.node.KeyStateOf(name); }
    KeyState rowState(Peer& at, const std::string& name) {
        const auto r = at.node.users().findNoCase(name);
        EXPECT_TRUE(r) << name;
        return r ? at.node.users().user(*r).keyState : KeyState::NoKeys;
    }
    std::vector<std::string> shown(Peer& p, const std::string& kind) {
        std::vector<std::string> out;
        for (const auto& i : p.rec.items)
            if (i.kind == kind) out.push_back(i.sender + ":" + i.text);
        return out;
    }
    // Ends a copy the way the program ends (its files written), and starts
    // it again on the same folder.
    void restart(std::unique_ptr<Peer>& p, const std::string& name, bool join = true) {
        const auto home = p->folder();
        p->node.CloseNetwork();
        seg.runFor(100);
        p.reset();
        p = std::make_unique<Peer>(seg, name, Peer::Folder{home});
        if (!join) return;
        p->joinAs(name);
        seg.runFor(2000);
    }
};

}  // namespace

// ---- private messages never in the clear to a known key ------------------------

TEST_F(KeyTrust, APrivateMessageToAnAbsentKnownUserWaitsSealedNeverPlain) {
    // ann is gone without a word; bob's next run has not heard her since.
    ann->transport.close();
    restart(bob, "bob");
    EXPECT_EQ(state(*bob, "ann"), KeyState::Unconfirmed);
    bob->transport.allSent.clear();
    const auto report = bob->node.SendPrivate("ann " + A + "the vault code is 4711");
    EXPECT_TRUE(report.encrypted);
    EXPECT_EQ(report.state, Delivery::Queued);
    seg.runFor(10000);
    // Neither plain nor sealed to nobody: it waits here.
    EXPECT_TRUE(bob->transport.allSent.empty());
    EXPECT_EQ(bob->rec.deliveries.back().state, Delivery::Queued);
    // ann back: what waited goes sealed to the known key, and reaches her.
    ann->transport.open();
    ann->node.SendPresence();
    seg.runFor(3000);
    ASSERT_FALSE(shown(*ann, "alert").empty());
    EXPECT_EQ(shown(*ann, "alert").back(), "bob:the vault code is 4711");
    EXPECT_FALSE(anyHas(bob->transport.allSent, "4711"));
    EXPECT_FALSE(anyHas(bob->transport.allSent, "|P/"));
    EXPECT_TRUE(anyHas(bob->transport.allSent, "bob|E/ann|"));
    EXPECT_EQ(bob->rec.deliveries.back().state, Delivery::Delivered);
}

TEST_F(KeyTrust, AForgedAnnouncementHoldsPrivateMessagesUntilTheUserDecides) {
    Forger mallory;
    post({mallory.announce("ann")});
    EXPECT_EQ(state(*bob, "ann"), KeyState::Changed);
    EXPECT_EQ(rowState(*bob, "ann"), KeyState::Changed);
    ASSERT_EQ(bob->rec.keyWarnings.size(), 1u);
    // Again and again: one warning, the state stays.
    post({mallory.announce("ann"), mallory.announce("ann")});
    EXPECT_EQ(bob->rec.keyWarnings.size(), 1u);
    bob->transport.allSent.clear();
    auto report = bob->node.SendPrivate("ann " + A + "secret");
    EXPECT_EQ(report.state, Delivery::Withheld);
    EXPECT_EQ(report.withheld, Withheld::KeyChanged);
    EXPECT_TRUE(bob->transport.allSent.empty());
    EXPECT_EQ(bob->rec.deliveries.back().withheld, Withheld::KeyChanged);
    // ann's real datagrams keep their effect meanwhile.
    ann->node.SetStatus(1);
    seg.runFor(100);
    EXPECT_EQ(bob->node.users().user(*bob->node.users().findExact("ann")).status, 1);
    // The change is remembered across a restart, until the user decides.
    restart(bob, "bob");
    EXPECT_EQ(state(*bob, "ann"), KeyState::Changed);
    EXPECT_EQ(bob->node.SendPrivate("ann " + A + "secret").state, Delivery::Withheld);
    // The user compared the numbers with ann: the known key stays.
    EXPECT_TRUE(bob->node.secure()->keepKnownKey("ann"));
    EXPECT_NE(state(*bob, "ann"), KeyState::Changed);
    EXPECT_TRUE(bob->node.SendPrivate("ann " + A + "sealed again").encrypted);
    seg.runFor(200);
    EXPECT_EQ(shown(*ann, "alert").back(), "bob:sealed again");
}

TEST_F(KeyTrust, AChangedKeyAnnouncedBeforeTheNameIsListedAgainIsNotMissed) {
    // ann left; her reinstalled copy announces its keys before the datagram
    // that lists her again (the order of a join).
    ann->node.CloseNetwork();
    seg.runFor(100);
    ASSERT_FALSE(bob->node.users().findNoCase("ann"));
    Forger reinstalled;
    post({reinstalled.announce("ann")});
    EXPECT_EQ(state(*bob, "ann"), KeyState::Changed);
    EXPECT_EQ(bob->rec.keyWarnings.size(), 1u);
    // A name nobody lists and nobody pinned still gets no key.
    Forger stranger;
    post({stranger.announce("zed")});
    EXPECT_EQ(state(*bob, "zed"), KeyState::NoKeys);
}

TEST_F(KeyTrust, AcceptingAChangedKeyGoesThroughTheCheckAndSealsToTheNewKey) {
    // ann's copy was reinstalled: a new key under her name.
    ann->node.CloseNetwork();
    seg.runFor(100);
    Peer ann2(seg, "ann");
    ann2.joinAs("ann");
    seg.runFor(2000);
    ASSERT_EQ(state(*bob, "ann"), KeyState::Changed);
    // The number bob compares is the one of the new key, the same ann2 sees.
    EXPECT_EQ(bob->node.secure()->safetyNumber("ann"), ann2.node.secure()->safetyNumber("bob"));
    EXPECT_NE(bob->node.secure()->safetyNumber("ann"),
              crypto::SafetyNumber("bob", bob->node.secure()->identity().signPublic, "ann",
                                   ann->node.secure()->identity().signPublic));
    EXPECT_TRUE(bob->node.secure()->markChecked("ann"));
    EXPECT_EQ(state(*bob, "ann"), KeyState::Checked);
    EXPECT_TRUE(bob->node.SendPrivate("ann " + A + "welcome back").encrypted);
    seg.runFor(200);
    EXPECT_EQ(shown(ann2, "alert").back(), "bob:welcome back");
    // Its status is taken now, and files may go.
    ann2.node.SetStatus(2);
    seg.runFor(100);
    EXPECT_EQ(bob->node.users().user(*bob->node.users().findExact("ann")).status, 2);
}

TEST_F(KeyTrust, AKnownCopyThatTakesNoSealedMessagesGetsNothingRatherThanPlain) {
    // dora's copy announced no "box": remembered with her key.
    restart(bob, "bob", false);
    const auto file = bobHome / PinStore::kFileName;
    auto pins = PinStore::fromText(readBytes(file));
    ASSERT_TRUE(pins.pinNew("dora", std::string(32, 'k'), std::string(32, 'b'), false, 1));
    std::string problem;
    ASSERT_TRUE(pins.save(file, problem));
    bob->joinAs("bob");
    seg.runFor(500);
    bob->transport.allSent.clear();
    const auto report = bob->node.SendPrivate("dora " + A + "secret");
    EXPECT_EQ(report.state, Delivery::Withheld);
    EXPECT_EQ(report.withheld, Withheld::CannotOpen);
    EXPECT_TRUE(bob->transport.allSent.empty());
}

TEST_F(KeyTrust, OwnChatLinesToNamedMembersNeverGoOutInTheClear) {
    bob->transport.allSent.clear();
    // A chat window of bob with ann: one copy to ann, one to bob himself.
    bob->node.SendPrivate("ann " + C + "lunch at noon?");
    const auto own = bob->node.SendPrivate("bob " + C + "lunch at noon?");
    EXPECT_EQ(own.state, Delivery::Local);
    seg.runFor(200);
    EXPECT_FALSE(anyHas(bob->transport.allSent, "lunch"));
    EXPECT_FALSE(anyHas(bob->transport.allSent, "|P/"));
    // bob's own window shows his line, ann's hers.
    EXPECT_EQ(shown(*bob, "chat"), std::vector<std::string>{"bob:lunch at noon?"});
    EXPECT_EQ(shown(*ann, "chat"), std::vector<std::string>{"bob:lunch at noon?"});
}

// ---- trust marks that mean what they say -----------------------------------------

TEST_F(KeyTrust, FirstContactIsNewUntilTheUserChecksAndTheCheckIsKept) {
    EXPECT_EQ(state(*bob, "ann"), KeyState::New);
    EXPECT_EQ(rowState(*bob, "ann"), KeyState::New);
    EXPECT_FALSE(bob->node.secure()->isChecked("ann"));
    // Messages from a first-heard key are shown as any others.
    ann->node.SendToAll(A + "hello");
    seg.runFor(100);
    EXPECT_EQ(shown(*bob, "alert").back(), "ann:hello");
    EXPECT_TRUE(bob->node.secure()->markChecked("ann"));
    EXPECT_EQ(rowState(*bob, "ann"), KeyState::Checked);
    EXPECT_FALSE(bob->node.secure()->markChecked("bob"));  // nothing to check of oneself
    restart(bob, "bob");
    EXPECT_EQ(state(*bob, "ann"), KeyState::Checked);
    EXPECT_TRUE(bob->node.secure()->isChecked("ann"));
}

TEST_F(KeyTrust, UnsignedPresenceAndBoxUnderAKnownNameAreMarked) {
    ann->node.CloseNetwork();  // a signed leave
    seg.runFor(100);
    ASSERT_FALSE(bob->node.users().findExact("ann"));
    forge("ann|M/");
    forge("ann|C/0");
    forge("ann|S/0");
    ASSERT_TRUE(bob->node.users().findExact("ann"));
    EXPECT_EQ(rowState(*bob, "ann"), KeyState::Unconfirmed);
    EXPECT_EQ(bob->node.CanTake("ann", transfer::kFilesWord), Reach::KeyNotHeard);
    forge("ann|B/call the bank");
    EXPECT_EQ(shown(*bob, "box").back(), "ann:(not verified) call the bank");
    // ann herself comes back: her signed presence confirms the key.
    ann->node.OpenNetwork();
    seg.runFor(2000);
    EXPECT_EQ(rowState(*bob, "ann"), KeyState::New);
}

// ---- the safety number ---------------------------------------------------------------

TEST(SafetyNumber, IsTheSameOnBothSidesAndChangesWithEitherKeyOrName) {
    const std::string k1(32, '\x01'), k2(32, '\x02'), k3(32, '\x03');
    const auto n = crypto::SafetyNumber("ann", k1, "bob", k2);
    // Twelve groups of five digits: about 199 bits.
    ASSERT_EQ(n.size(), 12u * 5 + 11);
    for (std::size_t i = 0; i < n.size(); ++i) EXPECT_TRUE(i % 6 == 5 ? n[i] == ' ' : std::isdigit(n[i])) << n;
    EXPECT_EQ(n, crypto::SafetyNumber("bob", k2, "ann", k1));
    EXPECT_EQ(n, crypto::SafetyNumber("Ann", k1, "BOB", k2));  // names without regard to case
    EXPECT_NE(n, crypto::SafetyNumber("ann", k3, "bob", k2));
    EXPECT_NE(n, crypto::SafetyNumber("ann", k1, "bob", k3));
    EXPECT_NE(n, crypto::SafetyNumber("ann", k1, "rob", k2));
    EXPECT_NE(n, crypto::SafetyNumber("ann", k1, "bob", k2 + "x"));
    // The names and keys are kept apart: "ann"+"b..." is not "annb"+"...".
    EXPECT_NE(crypto::SafetyNumber("an", "n" + k1.substr(1), "bob", k2), crypto::SafetyNumber("ann", k1, "bob", k2));
}

TEST_F(KeyTrust, BothCopiesShowTheSameSafetyNumber) {
    const auto atBob = bob->node.secure()->safetyNumber("ann");
    EXPECT_FALSE(atBob.empty());
    EXPECT_EQ(atBob, ann->node.secure()->safetyNumber("bob"));
    EXPECT_EQ(atBob, bob->node.secure()->safetyNumber("ANN"));
    EXPECT_TRUE(bob->node.secure()->safetyNumber("nobody").empty());
    EXPECT_TRUE(bob->node.secure()->safetyNumber("bob").empty());
}

// ---- a file of known keys nobody fills from outside ----------------------------------------

TEST_F(KeyTrust, NamesNoUserCanHaveOrNobodyListsAreNeverPinned) {
    Forger mallory;
    const std::string huge(65000, '\x80');
    post({cp1252::fromUtf8("x|C/0"), mallory.announce(cp1252::toUtf8(huge)), mallory.announce("has blank"),
          mallory.announce("sixteencharsxxxx"), mallory.announce("ghost")});
    EXPECT_EQ(bob->node.secure()->pins().size(), 1u);  // ann
    bob->node.secure()->savePins();
    EXPECT_LT(readBytes(bob->folder() / PinStore::kFileName).size(), 1000u);
    // Listed by the datagram before, a fifteen-character name is a user's.
    post({cp1252::fromUtf8("fifteencharsxxx|C/0"), mallory.announce("fifteencharsxxx")});
    EXPECT_EQ(state(*bob, "fifteencharsxxx"), KeyState::New);
}

TEST_F(KeyTrust, OneAddressPinsAFewNewKeysAtATimeAndRealUsersStillGetTheirs) {
    Forger mallory;
    bob->transport.source = IpAddress::v4(0x0A000009);
    // Within the address's budget of signature checks (kVerifyBurst): past
    // it, announcements are not even checked.
    for (int i = 0; i < 60; ++i) {
        const std::string name = "flood" + std::to_string(i);
        seg.post(cp1252::fromUtf8(name + "|C/0"));
        seg.post(mallory.announce(name));
    }
    seg.runFor(100);
    EXPECT_EQ(bob->node.secure()->pins().size(), 1u + SecureLink::kPinBurst);
    // The others wait their turn, and nothing private goes to them in the clear meanwhile.
    EXPECT_EQ(state(*bob, "flood59"), KeyState::Unconfirmed);
    EXPECT_TRUE(bob->node.secure()->hasKey("flood59"));
    // Another computer: dora is pinned at once.
    bob->transport.source = IpAddress::v4(0x0A000002);
    Peer dora(seg, "dora");
    dora.joinAs("dora");
    seg.runFor(2000);
    EXPECT_EQ(state(*bob, "dora"), KeyState::New);
    // The flooding address gets one more after a while, in the order they came.
    bob->transport.source = IpAddress::v4(0x0A000009);
    seg.runFor(SecureLink::kPinRefillMs);
    EXPECT_EQ(state(*bob, "flood33"), KeyState::New);  // one per refill since dora came
    EXPECT_EQ(state(*bob, "flood34"), KeyState::Unconfirmed);
    // What the user writes to one still waiting is no flood: pinned, and sealed to it.
    const auto report = bob->node.SendPrivate("flood50 " + A + "hi");
    EXPECT_TRUE(report.encrypted);
    EXPECT_EQ(state(*bob, "flood50"), KeyState::New);
}

TEST(KnownKeys, AutomaticPinsMakeRoomOldestFirstAndCheckedOnesStay) {
    PinStore pins;
    const auto key = [](std::size_t i) {
        std::string k(32, '\0');
        k[0] = static_cast<char>(i & 0xFF);
        k[1] = static_cast<char>((i >> 8) & 0xFF);
        return k;
    };
    ASSERT_TRUE(pins.pinNew("keeper", key(1), key(2), true, 5));
    ASSERT_TRUE(pins.markChecked("keeper", 5));
    for (std::size_t i = 0; i < PinStore::kMaxAutomatic; ++i)
        ASSERT_TRUE(pins.pinNew("u" + std::to_string(i), key(i), key(i), true, 100 + static_cast<std::int64_t>(i)));
    EXPECT_EQ(pins.automaticCount(), PinStore::kMaxAutomatic);
    pins.touch("u0", 100 + 4000);  // heard again: no longer the oldest
    ASSERT_TRUE(pins.pinNew("newcomer", key(7), key(7), true, 99999));
    EXPECT_EQ(pins.automaticCount(), PinStore::kMaxAutomatic);
    EXPECT_TRUE(pins.find("u0"));
    EXPECT_FALSE(pins.find("u1"));  // heard longest ago
    EXPECT_TRUE(pins.find("keeper"));
    EXPECT_TRUE(pins.find("newcomer"));
    // Names no user can have never go in.
    EXPECT_FALSE(pins.pinNew(std::string(16, 'a'), key(1), key(1), true, 1));
    EXPECT_FALSE(pins.pinNew("a b", key(1), key(1), true, 1));
    EXPECT_FALSE(pins.pinNew("", key(1), key(1), true, 1));
}

TEST(KnownKeys, TheFileRoundTripsAndAnEarlierBuildsFileReadsAsNotChecked) {
    PinStore pins;
    const std::string k1(32, 'k'), b1(32, 'b'), k2(32, 'K'), b2(32, 'B');
    pins.pinNew("Ann", k1, b1, true, 1700000000);
    pins.pinNew("bob", k1, b1, false, 1);
    pins.markChecked("bob", 2);
    pins.pinNew("carl", k1, b1, true, 3);
    pins.setPending("carl", k2, b2, true);
    pins.notePlain("rex", 4);
    const auto text = pins.toText();
    std::size_t skipped = 9;
    const auto back = PinStore::fromText(text, &skipped);
    EXPECT_EQ(skipped, 0u);
    EXPECT_EQ(back.toText(), text);
    EXPECT_TRUE(back.find("bob")->checked);
    EXPECT_FALSE(back.find("bob")->opensSealed);
    EXPECT_EQ(back.find("carl")->newSign, k2);
    EXPECT_TRUE(back.isPlain("REX"));
    // What earlier builds wrote: name, signing key, agreement key.
    const std::string v1 = "Lanyx known keys 1\nann\t" + crypto::ToBase64(k1) + "\t" + crypto::ToBase64(b1) + "\n";
    const auto old = PinStore::fromText(v1, &skipped);
    EXPECT_EQ(skipped, 0u);
    ASSERT_TRUE(old.find("ann"));
    EXPECT_FALSE(old.find("ann")->checked);
    EXPECT_TRUE(old.find("ann")->opensSealed);
    // Lines that make no sense, or names no user can have, are skipped.
    const auto damaged = PinStore::fromText(text + "no tabs here\nkey\tdan\tAAAA\tBBBB\tnew\tbox\t1\nkey\tx|y\t" +
                                                crypto::ToBase64(k1) + "\t" + crypto::ToBase64(b1) +
                                                "\tnew\tbox\t1\nkey\tdan\t" + crypto::ToBase64(k1) + "\t" +
                                                crypto::ToBase64(b1) + "\tsure\tbox\t1\nplain\t" +
                                                std::string(20, 'z') + "\t1\n",
                                            &skipped);
    EXPECT_EQ(skipped, 5u);
    EXPECT_EQ(damaged.toText(), text);
}

TEST(KnownKeys, ADamagedOrHugeFileStartsWithTheGoodLinesKeepsTheFileAsideAndSaysSoOnce) {
    TempDir dir;
    const auto file = dir / PinStore::kFileName;
    PinStore pins;
    pins.pinNew("ann", std::string(32, 'k'), std::string(32, 'b'), true, 1);
    const auto good = pins.toText();
    writeBytes(file, good + "key\t" + std::string(65000, '\xE2') + "\tx\n");
    auto loaded = LoadPins(file);
    EXPECT_TRUE(loaded.pins.find("ann"));
    EXPECT_NE(loaded.notice.find("kept the file as KnownKeys.txt.damaged"), std::string::npos) << loaded.notice;
    EXPECT_TRUE(loaded.writable);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(readBytes(dir / "KnownKeys.txt.damaged").substr(0, good.size()), good);
    // The next start finds a sound file and says nothing.
    ASSERT_TRUE(loaded.pins.save(file, loaded.notice));
    EXPECT_TRUE(LoadPins(file).notice.empty());
    // Larger than any file of ours: read as far as it goes, the rest left.
    std::string huge = good;
    while (huge.size() <= PinStore::kMaxFileBytes) huge += "plain\tx" + std::to_string(huge.size()) + "\t1\n";
    writeBytes(file, huge);
    loaded = LoadPins(file);
    EXPECT_TRUE(loaded.pins.find("ann"));
    EXPECT_EQ(loaded.pins.plainNames().size(), PinStore::kMaxPlainNames);
    EXPECT_NE(loaded.notice.find("more than a file of known keys holds"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "KnownKeys.txt.damaged2"));
}

TEST(KnownKeys, ACopyWithADamagedFileKeepsItsOwnKeysAndTellsTheUserOnce) {
    MemorySegment seg;
    TempDir home;
    writeBytes(home / PinStore::kFileName, std::string(PinStore::kMaxFileBytes + 100, 'x'));
    {
        Peer bob(seg, "bob", Peer::Folder{home.path()});
        EXPECT_EQ(bob.start(0), StartUpResult::Running);
        ASSERT_TRUE(bob.node.secure());
        EXPECT_TRUE(bob.node.secure()->active());
        EXPECT_EQ(bob.rec.boxes.size(), 1u);
        EXPECT_NE(bob.rec.boxes.front().find("could not be read whole"), std::string::npos);
        bob.startUp.Shutdown();
    }
    Peer again(seg, "bob", Peer::Folder{home.path()});
    EXPECT_EQ(again.start(0), StartUpResult::Running);
    EXPECT_TRUE(again.rec.boxes.empty());
    again.startUp.Shutdown();
}

// ---- names of copies without keys ------------------------------------------------------------

TEST_F(KeyTrust, AKeyAnnouncedForANameHeardWithoutKeysIsAConflictNotAPin) {
    forge("rex|C/0");  // a copy of the original protocol
    seg.runFor(SecureLink::kKeylessAfterMs + 200);
    Forger mallory;
    post({mallory.announce("rex")});
    EXPECT_EQ(state(*bob, "rex"), KeyState::Conflict);
    EXPECT_EQ(rowState(*bob, "rex"), KeyState::Conflict);
    EXPECT_FALSE(bob->node.secure()->pins().find("rex"));
    // The real rex's datagrams keep their effect.
    forge("rex|S/1");
    EXPECT_EQ(bob->node.users().user(*bob->node.users().findExact("rex")).status, 1);
    // Remembered across a restart: the next run does not pin it either.
    restart(bob, "bob");
    forge("rex|C/0");
    post({mallory.announce("rex")});
    EXPECT_EQ(state(*bob, "rex"), KeyState::Conflict);
    // The user decides: checked, it is pinned.
    EXPECT_FALSE(bob->node.secure()->safetyNumber("rex").empty());
    EXPECT_TRUE(bob->node.secure()->markChecked("rex"));
    EXPECT_EQ(state(*bob, "rex"), KeyState::Checked);
}

TEST_F(KeyTrust, AKeyAnnouncedAfterANamesFirstUnsignedDatagramsIsAConflictAtOnce) {
    // rex, a copy without keys, is heard for the first time; a second later
    // a key is announced for the name.
    Forger mallory;
    seg.post(cp1252::fromUtf8("rex|C/0"));
    seg.runFor(1000);
    post({mallory.announce("rex")});
    EXPECT_EQ(state(*bob, "rex"), KeyState::Conflict);
    // Within the room for reordering a newcomer's key is its own.
    post({cp1252::fromUtf8("zoe|C/0"), mallory.announce("zoe")});
    EXPECT_EQ(state(*bob, "zoe"), KeyState::New);
    // A copy of ours first heard by a signed chat line announces later: no conflict.
    post(mallory.say("dora", "M/" + C + "hello"), 1500);
    post({mallory.announce("dora")});
    EXPECT_EQ(state(*bob, "dora"), KeyState::New);
}

TEST_F(KeyTrust, AFloodOfMadeUpNamesFromManyAddressesLeavesALegacyColleagueRememberedAcrossARestart) {
    post({cp1252::fromUtf8("rex|C/0"), cp1252::fromUtf8("rex|S/0")}, 2 * SecureLink::kKeylessAfterMs + 500);
    ASSERT_TRUE(bob->node.secure()->pins().isPlain("rex"));
    // 4,300 names of copies without keys, each from an address of its own, over three minutes.
    for (std::uint32_t i = 0; i < 4300; ++i) {
        const auto name = "x" + std::to_string(i);
        seg.post(cp1252::fromUtf8(name + "|C/0"), IpAddress::v4(0x0A100000u + i));
        seg.post(cp1252::fromUtf8(name + "|S/0"), IpAddress::v4(0x0A100000u + i));
        if (i % 100 == 99) seg.runFor(4000);
    }
    seg.runFor(2 * SecureLink::kKeylessAfterMs);
    const auto& plain = bob->node.secure()->pins().plainNames();
    EXPECT_TRUE(plain.count("rex"));
    EXPECT_LT(plain.size(), PinStore::kMaxPlainNames / 4);
    restart(bob, "bob");
    Forger mallory;
    post({cp1252::fromUtf8("rex|C/0"), mallory.announce("rex")});
    EXPECT_EQ(state(*bob, "rex"), KeyState::Conflict);
}

TEST(KnownKeys, NamesHeardAgainOrInTheUsersListsStayAndKeysSignedOnTwoDaysOutlastThoseHeardOnce) {
    const auto key = [](std::size_t i) {
        std::string k(32, 'k');
        k[0] = static_cast<char>(i & 0xFF);
        k[1] = static_cast<char>((i >> 8) & 0xFF);
        return k;
    };
    PinStore pins;
    pins.setKeep([](const std::string& name) { return name == "n1"; });
    for (std::size_t i = 0; i < PinStore::kMaxPlainNames; ++i)
        ASSERT_TRUE(pins.notePlain("n" + std::to_string(i), 100 + static_cast<std::int64_t>(i)));
    EXPECT_TRUE(pins.touchPlain("n0", 100 + 4000));  // heard again
    ASSERT_TRUE(pins.notePlain("fresh", 9000));
    EXPECT_TRUE(pins.isPlain("n0"));
    EXPECT_TRUE(pins.isPlain("n1"));  // in a group of the user's
    EXPECT_FALSE(pins.isPlain("n2"));

    constexpr std::int64_t day = 24 * 3600, t0 = 1'700'000'000;
    for (std::size_t i = 0; i < PinStore::kMaxAutomatic; ++i)
        ASSERT_TRUE(pins.pinNew("u" + std::to_string(i), key(i), key(i), true, t0 + static_cast<std::int64_t>(i)));
    EXPECT_FALSE(pins.heardSigning("u0", t0 + 60));  // the same day
    EXPECT_TRUE(pins.heardSigning("u0", t0 + day));
    ASSERT_TRUE(pins.pinNew("newcomer", key(70000), key(1), true, t0 + day));
    EXPECT_TRUE(pins.find("u0"));
    EXPECT_FALSE(pins.find("u1"));
    ASSERT_TRUE(pins.former("u1"));
    EXPECT_EQ(pins.former("u1")->hash, PinStore::KeyHash(key(1)));
    // What the file of known keys has no room for reads back from its own.
    pins.pinNew("u1", key(1), key(1), true, t0 + day);  // the same key back
    EXPECT_FALSE(pins.former("u1"));
    auto back = PinStore::fromText(pins.toText());
    std::size_t skipped = 9;
    back.readMemory(pins.memoryText() + "gone\tx\tAAAA\t1\tonce\npin\tu0\n", &skipped);
    EXPECT_EQ(skipped, 2u);
    EXPECT_EQ(back.memoryText(), pins.memoryText());
    EXPECT_TRUE(back.find("u0")->proven);
    EXPECT_TRUE(back.former("u2"));
}

TEST_F(KeyTrust, NewKeysFromManyAddressesArePinnedAtABoundedPace) {
    Forger mallory;
    for (std::uint32_t i = 0; i < 600; ++i) {
        const auto name = "k" + std::to_string(i);
        seg.post(cp1252::fromUtf8(name + "|C/0"), IpAddress::v4(0x0A200000u + i % 240));
        seg.post(mallory.announce(name), IpAddress::v4(0x0A200000u + i % 240));
    }
    seg.runFor(100);
    EXPECT_EQ(bob->node.secure()->pins().size(), 1u + SecureLink::kPinAllBurst);
    seg.runFor(10 * SecureLink::kPinAllRefillMs);
    EXPECT_EQ(bob->node.secure()->pins().size(), 11u + SecureLink::kPinAllBurst);
    EXPECT_EQ(state(*bob, "k599"), KeyState::Unconfirmed);
}

TEST_F(KeyTrust, AUserWhosePinMadeRoomIsNotTakenByAnotherKeyAndGetsHisBackWhenHeReturns) {
    // bob's file of known keys is full; ann, away, was heard the longest ago.
    ann->transport.close();
    restart(bob, "bob", false);
    const auto file = bobHome / PinStore::kFileName;
    auto loaded = LoadPins(file);
    const auto now = static_cast<std::int64_t>(wallNow() / 1000000);
    for (std::size_t i = 0; loaded.pins.automaticCount() < PinStore::kMaxAutomatic; ++i) {
        std::string k(32, 'f');
        std::memcpy(k.data(), &i, sizeof i);
        ASSERT_TRUE(loaded.pins.pinNew("f" + std::to_string(i), k, k, true, now + 1000));
    }
    std::string problem;
    ASSERT_TRUE(loaded.pins.save(file, problem)) << problem;
    bob->joinAs("bob");
    seg.runFor(2000);
    Forger mallory;
    post({cp1252::fromUtf8("newbie|C/0"), mallory.announce("newbie")});
    ASSERT_EQ(state(*bob, "newbie"), KeyState::New);
    EXPECT_FALSE(bob->node.secure()->pins().find("ann"));
    // A key announced for her now is a changed key, not a new one.
    post({mallory.announce("ann")});
    EXPECT_EQ(state(*bob, "ann"), KeyState::Changed);
    EXPECT_EQ(bob->rec.keyWarnings.size(), 1u);
    EXPECT_EQ(bob->node.SendPrivate("ann " + A + "secret").withheld, Withheld::KeyChanged);
    EXPECT_EQ(bob->node.CanTake("ann", transfer::kFilesWord), Reach::KeyChanged);
    forge("ann|M/" + A + "unsigned");
    EXPECT_EQ(shown(*bob, "alert").back(), "ann:(not verified) unsigned");
    EXPECT_TRUE(bob->node.secure()->keepKnownKey("ann"));
    EXPECT_EQ(state(*bob, "ann"), KeyState::Unconfirmed);
    // ann's own key back: pinned again, as before.
    ann->transport.open();
    ann->node.SendPresence();
    seg.runFor(2000);
    EXPECT_EQ(state(*bob, "ann"), KeyState::New);
    EXPECT_EQ(bob->node.secure()->pins().find("ann")->signPublic, ann->node.secure()->identity().signPublic);
}

TEST_F(KeyTrust, OurCopiesMetForTheFirstTimeAreNoConflict) {
    // Listed by their first datagram, their keys follow at once.
    for (const char* z : {"z1", "z2", "z3", "z4"}) forge(std::string(z) + "|C/0");
    Peer dora(seg, "dora");
    dora.joinAs("dora");
    seg.runFor(SecureLink::kKeylessAfterMs + 3000);
    EXPECT_EQ(state(*bob, "dora"), KeyState::New);
    EXPECT_EQ(state(dora, "bob"), KeyState::New);
    EXPECT_EQ(state(dora, "ann"), KeyState::New);
}

// ---- fresh and in order ---------------------------------------------------------------------

// Sent while bob was away: what ann sends reaches everybody but bob.
std::vector<std::string> recordedWhileAway(MemorySegment& seg, Peer& ann, Peer& bob,
                                           const std::function<void()>& send) {
    seg.detach(&bob.transport);
    ann.transport.allSent.clear();
    send();
    seg.runFor(100);
    seg.attach(&bob.transport);
    return ann.transport.allSent;
}

TEST_F(KeyTrust, WhatWasSignedHoursAgoIsNotVerifiedAndTheSkewLoggedOnce) {
    const auto recorded = recordedWhileAway(seg, *ann, *bob, [&] {
        ann->node.SendToAll(A + "meeting moved");
        ann->node.SetStatus(2);
    });
    bob->clockOffsetMicros = 2ll * 3600 * 1000000;  // played back to bob two hours later
    post(recorded);
    EXPECT_EQ(shown(*bob, "alert"), std::vector<std::string>{"ann:(not verified) meeting moved"});
    EXPECT_NE(bob->node.users().user(*bob->node.users().findExact("ann")).status, 2);
    const auto log = bob->log();
    const auto first = log.find("minutes behind this computer's clock");
    EXPECT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find("minutes behind", first + 1), std::string::npos);
    // A clock a few minutes off is no matter.
    bob->clockOffsetMicros = 4ll * 60 * 1000000;
    ann->node.SendToAll(A + "on time");
    seg.runFor(200);
    EXPECT_EQ(shown(*bob, "alert").back(), "ann:on time");
}

TEST_F(KeyTrust, ACompanionHeardBeforeItsDatagramSignsItOnlyShortlyAfter) {
    const auto soon = recordedWhileAway(seg, *ann, *bob, [&] { ann->node.SendToAll(A + "soon"); });
    ASSERT_EQ(soon.size(), 2u);  // the alert, then its companion
    post({soon[1]}, 100);
    post({soon[0]});
    // The alert was lost then; a recording of it played back later.
    const auto late = recordedWhileAway(seg, *ann, *bob, [&] { ann->node.SendToAll(A + "late"); });
    post({late[1]}, SecureLink::kEarlyKeepMs + 1000);
    post({late[0]});
    EXPECT_EQ(shown(*bob, "alert"), (std::vector<std::string>{"ann:soon", "ann:(not verified) late"}));
}

TEST_F(KeyTrust, ARepeatOvertakenByANewerMessageIsTakenOnceAndAReplayRefused) {
    ann->transport.loseNextSealedPrivate();
    ann->transport.allSent.clear();
    ann->node.SendPrivate("bob " + A + "one");
    ann->node.SendPrivate("bob " + A + "two");
    seg.runFor(100);
    EXPECT_EQ(shown(*bob, "alert"), std::vector<std::string>{"ann:two"});
    seg.runFor(SecureLink::kRetryMs[0] + 100);
    EXPECT_EQ(shown(*bob, "alert"), (std::vector<std::string>{"ann:two", "ann:one"}));
    std::size_t delivered = 0;
    for (const auto& r : ann->rec.deliveries) delivered += r.state == Delivery::Delivered;
    EXPECT_EQ(delivered, 2u);
    // Played back: confirmed again, never shown twice; across a restart too.
    post(ann->transport.allSent);
    EXPECT_EQ(shown(*bob, "alert").size(), 2u);
    restart(bob, "bob");
    post(ann->transport.allSent);
    EXPECT_TRUE(shown(*bob, "alert").empty());
}

TEST(ReplayWindow, TakesEachNumberOnceInAnyOrderWithinItsSpan) {
    ReplayWindow w;
    const std::uint64_t t = 1'700'000'000'000'000ull;
    EXPECT_TRUE(w.accept(t));
    EXPECT_TRUE(w.accept(t + 5'000'000));  // five seconds later
    EXPECT_TRUE(w.accept(t + 700'000));    // the repeat of one sent between
    EXPECT_FALSE(w.accept(t + 700'000));
    EXPECT_FALSE(w.accept(t));
    EXPECT_TRUE(w.seen(t + 700'000));
    EXPECT_FALSE(w.seen(t + 1));
    // Beyond the span below the highest: too old.
    EXPECT_TRUE(w.accept(t + ReplayWindow::kSpanMicros + 10'000'000));
    EXPECT_FALSE(w.accept(t + 6'000'000));
    EXPECT_TRUE(w.tooOld(t + 6'000'000));
    // After a restart only the highest is known: nothing at or below it.
    ReplayWindow restarted(t + 5'000'000);
    EXPECT_FALSE(restarted.accept(t + 5'000'000));
    EXPECT_FALSE(restarted.accept(t + 1));
    EXPECT_TRUE(restarted.accept(t + 5'000'001));
    // A sender this busy: the oldest numbers give way, and stay refused.
    ReplayWindow busy;
    for (std::uint64_t i = 1; i <= ReplayWindow::kMaxRemembered + 10; ++i) ASSERT_TRUE(busy.accept(t + i));
    EXPECT_EQ(busy.remembered(), ReplayWindow::kMaxRemembered);
    EXPECT_FALSE(busy.accept(t + 5));
    EXPECT_TRUE(busy.accept(t + ReplayWindow::kMaxRemembered + 100));
}

// ---- our own name ----------------------------------------------------------------------------

TEST_F(KeyTrust, NoAnnouncementPinsTheOwnNameInAnyCase) {
    Forger mallory;
    forge("BOB|C/0");
    post({mallory.announce("BOB"), mallory.announce("Bob")});
    EXPECT_FALSE(bob->node.secure()->pins().find("bob"));
    // Nor while the copy probes under another name.
    restart(bob, "bob", false);
    ASSERT_EQ(bob->node.secure(), nullptr);
    bob->node.readSettings();
    bob->node.state().MyName = "_bob";
    bob->node.state().ProbeMode = true;
    bob->node.OpenNetwork();
    forge("Bob|C/0");
    post({mallory.announce("Bob")});
    EXPECT_FALSE(bob->node.secure()->pins().find("bob"));
}

TEST(KnownKeys, AKeyPinnedForTheOwnNameByAnEarlierBuildIsDropped) {
    MemorySegment seg;
    TempDir home;
    PinStore old;
    old.pinNew("bob", std::string(32, 'k'), std::string(32, 'b'), true, 1);
    old.pinNew("ann", std::string(32, 'K'), std::string(32, 'B'), true, 1);
    std::string problem;
    ASSERT_TRUE(old.save(home / PinStore::kFileName, problem));
    Peer bob(seg, "bob", Peer::Folder{home.path()});
    bob.joinAs("bob");
    EXPECT_FALSE(bob.node.secure()->pins().find("bob"));
    EXPECT_TRUE(bob.node.secure()->pins().find("ann"));
}

// ---- files between checked and new keys ----------------------------------------------------

TEST_F(KeyTrust, FilesGoToNewAndCheckedKeysNeverToAChangedOne) {
    struct NoFiles : Capability {
        std::string_view tag() const override { return transfer::kFileTag; }
        std::string_view word() const override { return transfer::kFilesWord; }
        bool message(const std::string&, const std::string&, IpAddress) override { return true; }
        bool provesSources() const override { return true; }
    } handler;
    ann->node.registerCapability(handler);
    bob->node.registerCapability(handler);
    ann->node.AnnounceOnNewNetworks();
    bob->node.AnnounceOnNewNetworks();
    seg.runFor(500);
    EXPECT_EQ(bob->node.CanTake("ann", transfer::kFilesWord), Reach::Yes);
    bob->node.secure()->markChecked("ann");
    EXPECT_EQ(bob->node.CanTake("ann", transfer::kFilesWord), Reach::Yes);
    Forger mallory;
    post({mallory.announce("ann")});
    EXPECT_EQ(bob->node.CanTake("ann", transfer::kFilesWord), Reach::KeyChanged);
    ann->node.unregisterCapability(handler);
    bob->node.unregisterCapability(handler);
}

// ---- the command line -------------------------------------------------------------------------

TEST_F(KeyTrust, TheCommandLineListsKeysWithSafetyNumbersAndMarksOneOnlyWhenTheNumbersMatch) {
    const auto number = bob->node.secure()->safetyNumber("ann");
    restart(bob, "bob", false);  // the folder is free: the copy ended
    std::ostringstream out, err;
    std::istringstream in;
    EXPECT_EQ(cli::ListKeys(bobHome.path(), "bob", out, err), 0) << err.str();
    EXPECT_NE(out.str().find("ann\tnew key, not checked\t" + number + "\n"), std::string::npos) << out.str();
    // A wrong number (somebody else's, or misread) marks nothing.
    auto wrong = number;
    wrong[0] = wrong[0] == '9' ? '0' : static_cast<char>(wrong[0] + 1);
    EXPECT_EQ(cli::VerifyKey(bobHome.path(), "bob", {"ann", wrong, false, false}, in, out, err), cli::kNotMarked);
    EXPECT_EQ(cli::VerifyKey(bobHome.path(), "bob", {"nobody", number, false, false}, in, out, err), cli::kNotMarked);
    // Asked on a terminal: only yes marks it.
    std::istringstream no("n\n"), yes("y\n");
    EXPECT_EQ(cli::VerifyKey(bobHome.path(), "bob", {"ann", "", false, true}, no, out, err), cli::kNotMarked);
    EXPECT_EQ(cli::VerifyKey(bobHome.path(), "bob", {"ann", "", false, false}, in, out, err), 2);
    EXPECT_EQ(cli::VerifyKey(bobHome.path(), "bob", {"ann", number, false, false}, in, out, err), 0) << err.str();
    out.str("");
    cli::ListKeys(bobHome.path(), "bob", out, err);
    EXPECT_NE(out.str().find("ann\tchecked by you\t"), std::string::npos);
    bob->joinAs("bob");
    seg.runFor(2000);
    EXPECT_EQ(state(*bob, "ann"), KeyState::Checked);
    // While a copy runs on the folder, it is the one to ask.
    ASSERT_FALSE(bob->node.anotherInstanceRunning());
    EXPECT_EQ(cli::VerifyKey(bobHome.path(), "bob", {"ann", number, false, false}, yes, out, err), 4);
}

TEST_F(KeyTrust, TheCommandLineAcceptsAChangedKeyThroughTheSameCheckOrKeepsTheKnownOne) {
    Forger mallory;
    post({mallory.announce("ann")});
    ASSERT_EQ(state(*bob, "ann"), KeyState::Changed);
    const auto newNumber = bob->node.secure()->safetyNumber("ann");
    restart(bob, "bob", false);
    std::ostringstream out, err;
    std::istringstream in;
    cli::ListKeys(bobHome.path(), "bob", out, err);
    EXPECT_NE(out.str().find("ann\tchanged\t" + newNumber), std::string::npos) << out.str();
    EXPECT_EQ(cli::VerifyKey(bobHome.path(), "bob", {"ann", "", true, false}, in, out, err), 0) << err.str();
    bob->joinAs("bob");
    seg.runFor(2000);
    EXPECT_EQ(state(*bob, "ann"), KeyState::New);
    EXPECT_TRUE(bob->node.SendPrivate("ann " + A + "still you").encrypted);
}

// A copy run under a name for that run alone (User.ini keeps another): the
// numbers lanyx-cli shows and checks without the network are the ones the
// running copy showed.
TEST(SafetyNumber, TheCommandLineUsesTheNameTheCopyRanUnder) {
    MemorySegment seg;
    TempDir home;
    std::string number;
    {
        Peer ann(seg, "ann", Peer::Folder{home.path()});
        Peer dan(seg, "dan", "dlogon");  // User.ini: dlogon; this run: dan
        ann.joinAs("ann");
        dan.joinAs("dan");
        seg.runFor(2000);
        number = dan.node.secure()->safetyNumber("ann");
        ASSERT_FALSE(number.empty());
        EXPECT_EQ(cli::OwnNameOf(dan.folder(), std::nullopt, "dlogon"), "dan");
        std::ostringstream out, err;
        std::istringstream in;
        dan.node.CloseNetwork();
        seg.runFor(100);
        EXPECT_EQ(cli::VerifyKey(dan.folder(), cli::OwnNameOf(dan.folder(), std::nullopt, "dlogon"),
                                 {"ann", number, false, false}, in, out, err),
                  0)
            << err.str();
        // Damaged or missing: the name in User.ini, as before.
        writeBytes(dan.folder() / RunName::kFileName, "Lanyx run name 1\nno name!\n");
        EXPECT_EQ(cli::OwnNameOf(dan.folder(), std::nullopt, "x"), "dlogon");
        EXPECT_EQ(RunName::fromText(RunName::toText("dan")), std::optional<std::string>("dan"));
    }
}

// A pump without timers (the headless tools' and the fuzzers') calls back at
// once: the walk over names heard without keys must neither recurse nor
// take a flood in one go.
TEST(KeylessNames, APumpWithoutTimersWalksThemASliceAtATime) {
    struct Instant : EventPump {
        std::uint32_t ticks() override { return now += 50; }
        void pumpOnce() override {}
        void runFor(std::uint32_t) override {}
        std::uint32_t now = 0;
    } pump;
    MemorySegment seg;
    MemoryTransport transport(seg);
    Recorder rec;
    TempDir dir;
    NodeConfig c;
    c.dataDir = dir.path();
    c.langFile = shippedLangFile();
    c.logonName = "ann";
    c.nameForRun = "ann";
    ChatNode node(c, transport, rec, rec, pump);
    node.readSettings();
    node.state().MyName = "ann";
    node.OpenNetwork();
    for (int i = 0; i < 3000; ++i) node.onDatagram("old" + std::to_string(i) + "|C/0");
    const auto& plain = node.secure()->pins().plainNames();
    EXPECT_GT(plain.size(), 0u);
    EXPECT_LE(plain.size(), 3000u);
    EXPECT_TRUE(node.secure()->pins().isPlain("old0"));
}

// ---- a rename by the same key -----------------------------------------------------

TEST_F(KeyTrust, ACheckFollowsARenameOnlyAsCheckedUnderTheOldNameAndRenamesAreToldAtABoundedPace) {
    ASSERT_TRUE(bob->node.secure()->markChecked("ann"));
    bob->node.users().setGroups({"desk|helpdesk|"});
    ann->node.rejoinUnder("helpdesk");
    seg.runFor(3000);
    // helpdesk is a name bob knows someone by: told.
    EXPECT_EQ(bob->rec.renameNotices, std::vector<std::string>{"ann>helpdesk"});
    EXPECT_EQ(state(*bob, "helpdesk"), KeyState::New);
    EXPECT_EQ(bob->node.secure()->checkedAs("helpdesk"), "ann");
    // Kept across a restart; lanyx-cli says so and confirms the new number.
    restart(bob, "bob", false);
    std::ostringstream out, err;
    std::istringstream in;
    cli::ListKeys(bobHome.path(), "bob", out, err);
    EXPECT_NE(out.str().find("helpdesk\tchecked as ann, now helpdesk\t"), std::string::npos) << out.str();
    const auto number = ann->node.secure()->safetyNumber("bob");
    EXPECT_EQ(cli::VerifyKey(bobHome.path(), "bob", {"helpdesk", number, false, false}, in, out, err), 0) << err.str();
    bob->joinAs("bob");
    seg.runFor(2000);
    EXPECT_EQ(state(*bob, "helpdesk"), KeyState::Checked);
    // Twenty renames in ten seconds: the first is told, the rest as one a minute later.
    for (int i = 0; i < 20; ++i) {
        ann->node.rejoinUnder("h" + std::to_string(i));
        seg.runFor(500);
    }
    EXPECT_EQ(bob->rec.renames, std::vector<std::string>{"helpdesk>h0"});
    EXPECT_TRUE(bob->node.secure()->pins().find("h19"));
    seg.runFor(SecureLink::kRenameEveryMs);
    EXPECT_EQ(bob->rec.renames, (std::vector<std::string>{"helpdesk>h0", "h0>h19"}));
}

TEST_F(KeyTrust, ARenameByTheSameKeyCarriesTheCheckedKeyGroupsAndWaitingMessagesOver) {
    ASSERT_TRUE(bob->node.secure()->markChecked("ann"));
    bob->node.users().setGroups({"team|ann|bob|"});
    // Another key cannot claim to have been ann: neither under a new name
    // nor under its own, listed one.
    Forger mallory;
    post({mallory.announce("anna", 0, "ann")});
    forge("mal|C/0");
    post({mallory.announce("mal", 0, "ann")});
    EXPECT_EQ(state(*bob, "ann"), KeyState::Checked);
    EXPECT_FALSE(bob->node.secure()->pins().find("anna"));
    EXPECT_TRUE(bob->rec.renames.empty());

    // ann is away; what bob writes waits for her.
    ann->node.CloseNetwork();
    seg.runFor(200);
    EXPECT_EQ(bob->node.SendPrivate("ann " + C + "while you were out").state, Delivery::Queued);

    ann->node.rejoinUnder("anna");
    seg.runFor(3000);
    EXPECT_EQ(bob->rec.renames, std::vector<std::string>{"ann>anna"});
    EXPECT_FALSE(bob->node.secure()->pins().find("ann"));
    // The number bob compared covered the name ann: checked as ann, not as anna.
    EXPECT_EQ(state(*bob, "anna"), KeyState::New);
    EXPECT_EQ(rowState(*bob, "anna"), KeyState::New);
    EXPECT_EQ(bob->node.secure()->checkedAs("anna"), "ann");
    EXPECT_EQ(bob->node.users().groups(), std::vector<std::string>{"team|anna|bob|"});
    EXPECT_NE(readBytes(bobHome.path() / "User.ini").find("team|anna|bob|"), std::string::npos);
    EXPECT_TRUE(bob->waiting.messages().empty());
    EXPECT_EQ(shown(*ann, "chat"), std::vector<std::string>{"bob:while you were out"});
    // What a copy without keys hears of it: the leave and the join any copy sends.
    EXPECT_TRUE(anyHas(ann->transport.sent, "ann|L/"));
    EXPECT_TRUE(anyHas(ann->transport.sent, "anna|C/"));
    EXPECT_FALSE(anyHas(ann->transport.sent, "was="));

    // Back to ann: the key follows again. The first rename played back
    // later moves nothing.
    std::string recorded;
    for (const auto& d : ann->transport.allSent)
        if (d.find("was=ann") != std::string::npos) recorded = d;
    ASSERT_FALSE(recorded.empty());
    // Back under the name it was checked as, the key is checked again; the
    // second rename within the minute reaches the lists when it is up.
    ann->node.rejoinUnder("ann");
    seg.runFor(3000);
    EXPECT_EQ(state(*bob, "ann"), KeyState::Checked);
    EXPECT_EQ(bob->rec.renames, std::vector<std::string>{"ann>anna"});
    seg.runFor(SecureLink::kRenameEveryMs);
    post({recorded});
    EXPECT_EQ(state(*bob, "ann"), KeyState::Checked);
    EXPECT_FALSE(bob->node.secure()->pins().find("anna"));
    EXPECT_EQ(bob->rec.renames, (std::vector<std::string>{"ann>anna", "anna>ann"}));
}

TEST_F(KeyTrust, ARenameOntoANameOfAnotherKeyOrOfACopyWithoutKeysIsNotCarriedOver) {
    // zed's key is pinned: ann arriving as zed is a changed key to look at.
    Forger mallory;
    post({cp1252::fromUtf8("zed|C/0"), mallory.announce("zed")});
    ASSERT_TRUE(bob->node.secure()->pins().find("zed"));
    ann->node.rejoinUnder("zed");
    seg.runFor(2000);
    EXPECT_EQ(bob->node.secure()->pins().find("zed")->signPublic, mallory.identity().signPublic);
    EXPECT_EQ(state(*bob, "zed"), KeyState::Changed);
    EXPECT_TRUE(bob->node.secure()->pins().find("ann"));
    ann->node.rejoinUnder("ann");
    seg.runFor(2000);

    // rex is a copy without keys: its name stays its own.
    forge("rex|C/0");
    seg.runFor(SecureLink::kKeylessAfterMs + 200);
    ann->node.rejoinUnder("rex");
    seg.runFor(2000);
    EXPECT_TRUE(bob->node.secure()->pins().find("ann"));
    EXPECT_FALSE(bob->node.secure()->pins().find("rex"));
    EXPECT_TRUE(bob->rec.renames.empty());
    EXPECT_TRUE(anyHas({bob->log()}, "ann announced itself as rex, a name of a copy without keys")) << bob->log();
}

TEST_F(KeyTrust, ACopyAwayAtTheRenamesCarriesThemOverWhenItMeetsTheNewNameLater) {
    ASSERT_TRUE(bob->node.secure()->markChecked("ann"));
    seg.detach(&bob->transport);
    // ann becomes anna, starts again another day, and becomes annie.
    ann->node.rejoinUnder("anna");
    seg.runFor(500);
    restart(ann, "anna");
    ann->node.rejoinUnder("annie");
    seg.runFor(500);
    seg.attach(&bob->transport);
    ASSERT_TRUE(bob->node.RequestRoster());
    seg.runFor(ChatNode::kRosterAnswerMs + 500);
    EXPECT_EQ(bob->rec.renames, std::vector<std::string>{"ann>annie"});
    EXPECT_EQ(bob->node.secure()->checkedAs("annie"), "ann");
    EXPECT_FALSE(bob->node.secure()->pins().find("ann"));
}

TEST(PreviousNames, KeepTheLatestFewForAMonthAndReadBackWhatMakesSense) {
    const std::int64_t day = 24LL * 3600 * 1000, t0 = 1'700'000'000'000;
    PreviousNames p;
    EXPECT_TRUE(p.noteRename("ann", "anna", t0));
    EXPECT_TRUE(p.noteRename("anna", "annie", t0 + day));
    EXPECT_EQ(p.names(t0 + day), (std::vector<std::string>{"anna", "ann"}));
    // Back to a name had before: it is no name before any more.
    EXPECT_TRUE(p.noteRename("annie", "ann", t0 + 2 * day));
    EXPECT_EQ(p.names(t0 + 2 * day), (std::vector<std::string>{"annie", "anna"}));
    EXPECT_FALSE(p.noteRename("ann", "ANN", t0 + 2 * day));  // the case only
    EXPECT_EQ(p.names(t0 + day + PreviousNames::kKeepMs), std::vector<std::string>{"annie"});
    for (int i = 0; i < 10; ++i) p.noteRename("n" + std::to_string(i), "ann", t0 + 3 * day);
    EXPECT_EQ(p.all().size(), PreviousNames::kMax);

    const auto back = PreviousNames::fromText(p.toText());
    EXPECT_EQ(back.all(), p.all());
    const auto odd = PreviousNames::fromText(
        "Lanyx previous names 1\r\nbo b\t5\nann\tx\nann\t-3\nzed\t9\r\nZED\t10\n"
        "a\t1\nb\t1\nc\t1\nd\t1\n");
    EXPECT_EQ(odd.all(), (std::vector<PreviousName>{{"zed", 9}, {"a", 1}, {"b", 1}, {"c", 1}}));
    EXPECT_TRUE(PreviousNames::fromText("something else\nann\t5\n").all().empty());
}
