// Between copies with keys: who sent it, whether it arrived, who can read it.
#include "Crypto.h"
#include "FileOffer.h"
#include "Identity.h"
#include "SecureLink.h"
#include "KeyedPeers.h"
#include "LineHeader.h"

#include <gtest/gtest.h>

#include <chrono>

#include <sys/stat.h>

using namespace lanyx;
using namespace lanyx::test;

namespace {

bool contains(const std::vector<std::string>& v, std::string_view what) {
    for (const auto& s : v)
        if (s.find(what) != std::string::npos) return true;
    return false;
}

// ann, bob and carl with keys on one segment, past the hold of every datagram.
class Secure : public ::testing::Test {
protected:
    Secure() : ann(seg, "ann"), bob(seg, "bob"), carl(seg, "carl") {
        for (auto* p : {&ann, &bob, &carl}) {
            p->joinAs(p == &ann ? "ann" : p == &bob ? "bob" : "carl");
            seg.runFor(50);
        }
        seg.runFor(2000);
    }
    // A datagram from a stranger's socket: no companion, no keys.
    void forge(const std::string& utf8) {
        seg.post(cp1252::fromUtf8(utf8));
        seg.runFor(SecureLink::kHoldMs + 100);
    }
    const PeerRecord& row(Peer& at, const std::string& name) {
        const auto r = at.node.users().findExact(name);
        EXPECT_TRUE(r) << name;
        return at.node.users().user(r ? *r : 0);
    }
    // A copy of the build before (no ephemeral keys, no UTF-8) joins.
    std::unique_ptr<Peer> previousBuild(const std::string& name) {
        auto p = std::make_unique<Peer>(seg, name, LinkBuild::Before);
        p->node.readSettings();
        p->node.state().MyName = name;
        p->node.OpenNetwork();
        seg.runFor(2000);
        return p;
    }
    static std::vector<std::string> ofKind(const Peer& p, const std::string& kind) {
        std::vector<std::string> out;
        for (const auto& i : p.rec.items)
            if (i.kind == kind) out.push_back(i.sender + ":" + i.text);
        return out;
    }

    MemorySegment seg;
    Peer ann, bob, carl;
};

}  // namespace

TEST_F(Secure, CopiesPinEachOtherAndShowTheirKeysAsVerified) {
    EXPECT_EQ(row(bob, "ann").keyState, KeyState::New);
    EXPECT_EQ(row(ann, "carl").keyState, KeyState::New);
    EXPECT_EQ(row(carl, "bob").keyState, KeyState::New);
    // The pins reach the file of known keys; the own key is never pinned.
    const auto pins = readBytes(bob.dir / PinStore::kFileName);
    EXPECT_NE(pins.find("key\tann\t"), std::string::npos);
    EXPECT_NE(pins.find("key\tcarl\t"), std::string::npos);
    EXPECT_EQ(pins.find("key\tbob\t"), std::string::npos);
    EXPECT_EQ(bob.node.secure()->pinnedFingerprint("ann"), ann.node.secure()->ownFingerprint());
    // A copy without keys is listed as not verified.
    forge("zed|C/0");
    EXPECT_EQ(row(bob, "zed").keyState, KeyState::NoKeys);
}

TEST_F(Secure, UnsignedLeaveStatusAndColourUnderAPinnedNameAreIgnored) {
    forge("ann|L/");
    forge("ann|S/2");
    forge("ann|C/255");
    EXPECT_TRUE(bob.node.users().findExact("ann"));
    EXPECT_EQ(row(bob, "ann").status, 0);
    EXPECT_EQ(row(bob, "ann").colour, 0u);
    EXPECT_NE(bob.log().find("Ignored, not signed by the key pinned for the name: ann|L/"), std::string::npos);
    // ann's own, signed, are taken.
    ann.node.SetStatus(1);
    seg.runFor(100);
    EXPECT_EQ(row(bob, "ann").status, 1);
    ann.node.CloseNetwork();
    seg.runFor(100);
    EXPECT_FALSE(bob.node.users().findExact("ann"));
    // Names nobody pinned still work as for any copy.
    forge("zed|C/0");
    forge("zed|L/");
    EXPECT_FALSE(bob.node.users().findExact("zed"));
}

TEST_F(Secure, UnderOurOwnNameOnlyOurOwnSignedEchoesAreTaken) {
    forge("bob|L/");
    forge("bob|S/2");
    ASSERT_TRUE(bob.node.users().findExact("bob"));
    EXPECT_EQ(row(bob, "bob").status, 0);
    EXPECT_NE(bob.log().find("Ignored, not signed by the key pinned for the name: bob|L/"), std::string::npos);
    // The own echoes carry the own signature.
    bob.node.SetStatus(1);
    seg.runFor(100);
    EXPECT_EQ(row(bob, "bob").status, 1);
    EXPECT_TRUE(bob.node.users().findExact("bob"));
    // A replay of the own signed status is refused like anyone's.
    bob.transport.allSent.clear();
    bob.node.SetStatus(2);
    seg.runFor(100);
    const auto recorded = bob.transport.allSent;
    bob.node.SetStatus(0);
    seg.runFor(100);
    for (const auto& d : recorded) seg.post(d);
    seg.runFor(1000);
    EXPECT_EQ(row(bob, "bob").status, 0);
}

TEST_F(Secure, ForgedAlertsAreMarkedNotVerifiedAndRealOnesAreNot) {
    forge("ann|M/" + A + "from the boss");
    forge("ann|P/" + A + "just for you|bob");
    ann.node.SendToAll(A + "real one");
    seg.runFor(100);
    EXPECT_EQ(ofKind(bob, "alert"), (std::vector<std::string>{"ann:(not verified) from the boss",
                                                              "ann:(not verified) just for you", "ann:real one"}));
}

TEST_F(Secure, AReplayedSignedDatagramIsRefused) {
    ann.transport.allSent.clear();
    ann.node.SetStatus(2);
    seg.runFor(100);
    const auto recorded = ann.transport.allSent;  // "S/2" and its companion
    ASSERT_EQ(recorded.size(), 2u);
    ann.node.SetStatus(0);
    seg.runFor(100);
    ASSERT_EQ(row(bob, "ann").status, 0);
    for (const auto& d : recorded) seg.post(d);
    seg.runFor(1000);
    EXPECT_EQ(row(bob, "ann").status, 0);
    EXPECT_NE(bob.log().find("Replayed signed datagram from ann refused"), std::string::npos);
    // The companion of one datagram does not sign another.
    seg.post("ann|S/2");
    seg.post(recorded[1]);
    seg.runFor(1000);
    EXPECT_EQ(row(bob, "ann").status, 0);
}

// Only what the pinned key signed, fresh, teaches the transport an address:
// a forged datagram under a pinned name, a stranger's, a replay do not.
TEST_F(Secure, OnlyFreshSignaturesOfPinnedKeysTeachAnAddress) {
    constexpr auto kFar = IpAddress::v4(0x0A630007);  // 10.99.0.7
    bob.transport.source = kFar;
    forge("zed|C/0");  // answered by ann and carl, signed
    seg.runFor(3000);
    bob.transport.verified.clear();
    ann.transport.allSent.clear();
    forge("ann|S/2");
    forge("zed|M/" + A + "hello");
    forge("zed|" + std::string(secure::Companion) + "AAAA");
    EXPECT_TRUE(bob.transport.verified.empty());
    ann.node.SetStatus(1);
    seg.runFor(100);
    const auto recorded = ann.transport.allSent;
    using Seen = std::vector<std::pair<IpAddress, std::string>>;
    EXPECT_EQ(bob.transport.verified, (Seen{{kFar, "ann"}}));
    bob.transport.verified.clear();
    for (const auto& d : recorded) seg.post(d);
    seg.runFor(1000);
    EXPECT_TRUE(bob.transport.verified.empty());
    // Its announcement, under the pinned key, does.
    seg.post(ann.node.secure()->announcement());
    seg.runFor(100);
    EXPECT_EQ(bob.transport.verified, (Seen{{kFar, "ann"}}));
}

// A companion whose number was seen (or lies below the window) is refused
// on its number: its signature is never checked, good or bad.
TEST_F(Secure, AnOldNumberIsRefusedBeforeTheSignatureIsChecked) {
    ann.transport.allSent.clear();
    ann.node.SetStatus(2);
    seg.runFor(100);
    ASSERT_EQ(ann.transport.allSent.size(), 2u);
    std::string junk = ann.transport.allSent[1];  // the companion, its number seen
    junk[junk.size() - 6] = junk[junk.size() - 6] == 'A' ? 'B' : 'A';
    const auto before = bob.log();
    seg.post(junk);
    seg.runFor(100);
    const auto after = bob.log().substr(before.size());
    EXPECT_NE(after.find("Replayed signed datagram from ann refused"), std::string::npos) << after;
    EXPECT_EQ(after.find("Bad signature"), std::string::npos) << after;
}

// Checks are budgeted per sender address, and a key verified from an
// address has a budget of its own there: junk under a real user's name (or
// claiming to have been him) from another address spends the forger's
// budget, never the user's; a real datagram relayed from the forger's
// address shares the forger's.
TEST_F(Secure, ChecksAreBudgetedPerAddressAndPerVerifiedKeyNotPerClaimedName) {
    constexpr auto kAnn = IpAddress::v4(0x0A000002), kCarl = IpAddress::v4(0x0A000003),
                   kForger = IpAddress::v4(0x0A000009);
    ann.transport.address = kAnn;
    carl.transport.address = kCarl;
    ann.node.SetStatus(2);
    carl.node.SetStatus(2);
    seg.runFor(100);
    ASSERT_EQ(row(bob, "ann").status, 2);
    std::string announcement;
    for (const auto& d : carl.transport.allSent)
        if (d.find("|K/") != std::string::npos) announcement = d;
    ASSERT_FALSE(announcement.empty());
    const auto bar = announcement.find('|');
    const auto capsEnd = announcement.find(';', announcement.find(';') + 1);
    const auto lastSemi = announcement.rfind(';');
    const std::string wasCarl = announcement.substr(bar, capsEnd - bar) + ",was=carl" +
                                announcement.substr(capsEnd, lastSemi + 1 - capsEnd);
    const auto now = wallNow();
    for (std::uint64_t i = 0; i < SecureLink::kVerifyBurst + 50; ++i) {
        std::string companion = bigEndian(now + i) + std::string(crypto::kHashBytes + crypto::kSignatureBytes, 'j');
        seg.post("ann|" + std::string(secure::Companion) + crypto::ToBase64(companion), kForger);
        seg.post("y" + std::to_string(i) + wasCarl +
                     crypto::ToBase64(bigEndian(now + i) + std::string(crypto::kSignatureBytes, 'j')),
                 kForger);
    }
    ann.node.SetStatus(1);  // behind the junk, at the same moment
    carl.node.SetStatus(1);
    seg.runFor(SecureLink::kHoldMs + 100);
    EXPECT_EQ(row(bob, "ann").status, 1);
    EXPECT_EQ(row(bob, "carl").status, 1);
    EXPECT_EQ(bob.node.secure()->stateOf("carl"), KeyState::New);
    EXPECT_TRUE(bob.rec.renames.empty());
    // ann's own status, recorded and relayed from the forger's address: on
    // his spent budget, not checked.
    seg.detach(&bob.transport);
    ann.transport.allSent.clear();
    ann.node.SetStatus(0);
    seg.runFor(100);
    seg.attach(&bob.transport);
    const auto later = wallNow() + 1000000;
    for (std::uint64_t i = 0; i < SecureLink::kVerifyBurst; ++i) {
        std::string companion = bigEndian(later + i) + std::string(crypto::kHashBytes + crypto::kSignatureBytes, 'j');
        seg.post("ann|" + std::string(secure::Companion) + crypto::ToBase64(companion), kForger);
    }
    for (const auto& d : ann.transport.allSent) seg.post(d, kForger);
    seg.runFor(SecureLink::kHoldMs + 100);
    EXPECT_EQ(row(bob, "ann").status, 1);
    // The budget refills.
    seg.runFor(1000);
    for (const auto& d : ann.transport.allSent) seg.post(d, kForger);
    seg.runFor(SecureLink::kHoldMs + 100);
    EXPECT_EQ(row(bob, "ann").status, 0);
}

// Junk from many addresses under many names fills the budget of all checks
// only up to a reserve: what keys verified from their addresses sign is
// checked all the same.
TEST_F(Secure, JunkFromManyAddressesLeavesTheVerifiedUsersTheirChecks) {
    ann.transport.address = IpAddress::v4(0x0A000002);
    carl.transport.address = IpAddress::v4(0x0A000003);
    ann.node.SetStatus(2);
    carl.node.SetStatus(2);
    seg.runFor(100);
    constexpr std::uint32_t kAddresses = 80;  // 80 * 64 checks: more than all checks' budget
    const auto now = wallNow();
    for (std::uint32_t a = 0; a < kAddresses; ++a) {
        const std::string name = "x" + std::to_string(a);
        seg.post(name + "|C/0", IpAddress::v4(0x0A010000 + a));
        for (std::uint64_t i = 0; i < SecureLink::kVerifyBurst; ++i) {
            const auto keys = std::string(32, static_cast<char>('a' + i % 26));
            seg.post(name + "|K/2;sign,box,receipt;" + crypto::ToBase64(keys) + ";" + crypto::ToBase64(keys) + ";" +
                         crypto::ToBase64(bigEndian(now + i) + std::string(crypto::kSignatureBytes, 'j')),
                     IpAddress::v4(0x0A010000 + a));
        }
    }
    for (int i = 0; i < 3; ++i) {
        ann.node.SendToAll(A + "from ann " + std::to_string(i));
        carl.node.SendToAll(A + "from carl " + std::to_string(i));
    }
    seg.runFor(SecureLink::kHoldMs + 100);
    const auto alerts = ofKind(bob, "alert");
    ASSERT_EQ(alerts.size(), 6u);
    for (const auto& a : alerts) EXPECT_EQ(a.find("(not verified)"), std::string::npos) << a;
}

// On a segment of more than a few users a presence goes out after a wait,
// shaped by whom it answers.
TEST_F(Secure, PresenceRepliesAreThePlainThreeDatagramsForCopiesWithoutKeys) {
    for (const char* z : {"z1", "z2", "z3"}) forge(std::string(z) + "|C/0");
    seg.runFor(3000);
    const auto bobLog = bob.log();
    ann.transport.allSent.clear();
    forge("neo|C/0");  // a copy without keys joins
    seg.runFor(ChatNode::kMaxReplyDelayMs + 500);
    EXPECT_EQ(ann.transport.allSent, (std::vector<std::string>{"ann|M/", "ann|C/0", "ann|S/0"}));
    // Our other copies take the unsigned presence as what it is: no change,
    // nothing ignored, nothing logged.
    EXPECT_EQ(bob.log(), bobLog);
    EXPECT_EQ(row(bob, "ann").status, 0);
    // A changed status in the clear is still ignored.
    forge("ann|S/2");
    EXPECT_EQ(row(bob, "ann").status, 0);
}

TEST_F(Secure, PresenceRepliesToOurNewcomersCarryKeysAndOneSignatureForColourAndStatus) {
    for (const char* z : {"z1", "z2", "z3"}) forge(std::string(z) + "|C/0");
    ann.node.SetStatus(1);
    seg.runFor(3000);
    Peer dan(seg, "dan");
    ann.transport.allSent.clear();
    ann.transport.sent.clear();
    dan.joinAs("dan");
    seg.runFor(ChatNode::kMaxReplyDelayMs + 500);
    const auto& sent = ann.transport.allSent;
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0], "ann|M/");
    EXPECT_EQ(sent[1], "ann|C/0");
    EXPECT_EQ(sent[2].rfind("ann|K/", 0), 0u);
    EXPECT_EQ(sent[3], "ann|S/1");
    EXPECT_EQ(sent[4].rfind("ann|G/", 0), 0u);
    EXPECT_EQ(row(dan, "ann").keyState, KeyState::New);
    EXPECT_EQ(row(dan, "ann").status, 1);
    // What copies without keys see of it is the presence they know.
    EXPECT_EQ(ann.transport.sent, (std::vector<std::string>{"ann|M/", "ann|C/0", "ann|S/1"}));
    // One companion signs both: changing either breaks it.
    const auto companion = sent[4];
    ann.node.SetStatus(0);
    seg.runFor(100);
    seg.post("ann|C/0");
    seg.post("ann|S/2");
    seg.post(companion);
    seg.runFor(1000);
    EXPECT_EQ(row(dan, "ann").status, 0);
}

TEST_F(Secure, ANewcomerWhoseKeysCameAfterTheReplyGetsTheSignedPresenceAfterAll) {
    for (const char* z : {"z1", "z2", "z3"}) forge(std::string(z) + "|C/0");
    seg.runFor(3000);
    ann.node.setReplyRandom([](std::uint32_t) { return 0u; });  // answers before the newcomer's keys arrive
    ann.node.SetStatus(2);
    seg.runFor(100);
    forge("dan|C/0");
    ann.transport.allSent.clear();
    // dan's announcement arrives only now (here: bob's keys under dan's
    // name, as if dan announced late).
    Peer dan(seg, "dan");
    dan.joinAs("dan");
    seg.runFor(ChatNode::kMaxReplyDelayMs + 500);
    EXPECT_TRUE(contains(ann.transport.allSent, "ann|K/"));
    EXPECT_EQ(row(dan, "ann").keyState, KeyState::New);
    EXPECT_EQ(row(dan, "ann").status, 2);
}

TEST_F(Secure, NumbersSeenReachTheFileWithinASecondWithoutWaitingForTheEnd) {
    if (!bob.node.secure()) GTEST_SKIP() << "no keys in this build";
    const auto file = bob.folder() / SeenStore::kFileName;
    seg.runFor(20000);  // whatever the start-up wrote is on disk
    const auto before = readBytes(file);
    for (int i = 0; i < 5; ++i) {
        ann.node.SetStatus(i % 2 == 0 ? 2 : 0);
        seg.runFor(100);
    }
    // Five changes in half a second, then a crash a second later: on disk.
    seg.runFor(1000);
    const auto after = readBytes(file);
    EXPECT_NE(after, before);
    SeenStore seen;
    std::string problem;
    ASSERT_TRUE(seen.load(file, problem)) << problem;
    const auto* pin = bob.node.secure()->pins().find("ann");
    ASSERT_TRUE(pin);
    ASSERT_TRUE(seen.signing.count(pin->signPublic));
    // Nothing seen since: nothing written.
    const auto written = std::filesystem::last_write_time(file);
    seg.runFor(3000);
    EXPECT_EQ(std::filesystem::last_write_time(file), written);
}

TEST_F(Secure, AReplayRecordedBeforeTheReceiversRestartIsStillRefused) {
    TempDir keep;  // dan's data folder, across two runs
    const auto runDan = [&](const std::function<void(ChatNode&, Recorder&)>& body) {
        MemoryTransport t(seg);
        Recorder rec;
        NodeConfig c;
        c.dataDir = keep.path();
        c.langFile = shippedLangFile();
        c.logonName = "dan";
        c.nameForRun = "dan";
        seg.attach(&t);
        {
            ChatNode dan(c, t, rec, rec, seg);
            dan.readSettings();
            dan.state().MyName = "dan";
            dan.OpenNetwork();
            seg.runFor(2000);
            body(dan, rec);
            dan.CloseNetwork();
            seg.runFor(100);
        }  // the copy ends: what it saw is written
        seg.detach(&t);
    };
    std::vector<std::string> recorded;
    runDan([&](ChatNode&, Recorder&) {
        ann.transport.allSent.clear();
        ann.node.SetStatus(2);
        seg.runFor(100);
        recorded = ann.transport.allSent;  // "S/2" and its companion
        ann.node.SetStatus(0);
        seg.runFor(100);
    });
    ASSERT_EQ(recorded.size(), 2u);
    const auto seenText = readBytes(keep / SeenStore::kFileName);
    EXPECT_NE(seenText.find("\ns\t"), std::string::npos) << seenText;
    // ann is away: nothing newer of hers reaches dan before the replay.
    ann.transport.close();
    runDan([&](ChatNode& dan, Recorder&) {
        for (const auto& d : recorded) seg.post(d);
        seg.runFor(1000);
        const auto r = dan.users().findExact("ann");
        EXPECT_TRUE(!r || dan.users().user(*r).status != 2);
    });
    EXPECT_NE(cp1252::toUtf8(readBytes(keep / "Log.txt")).find("Replayed signed datagram from ann refused"),
              std::string::npos);
}

TEST_F(Secure, PrivateMessagesBetweenCopiesWithKeysTravelEncryptedAndAreConfirmed) {
    for (auto* p : {&ann, &bob, &carl}) {
        p->transport.allSent.clear();
        p->transport.sent.clear();
    }
    const auto report = ann.node.SendPrivate("bob " + A + "the safe code is 4711");
    EXPECT_TRUE(report.encrypted);
    EXPECT_EQ(report.state, Delivery::Waiting);
    seg.runFor(100);
    EXPECT_EQ(ofKind(bob, "alert"), std::vector<std::string>{"ann:the safe code is 4711"});
    EXPECT_TRUE(ofKind(carl, "alert").empty());
    // Nothing readable on the wire, and no "P/" to bob.
    EXPECT_FALSE(contains(ann.transport.allSent, "4711"));
    EXPECT_FALSE(contains(ann.transport.allSent, "|P/"));
    EXPECT_TRUE(ann.transport.sent.empty());
    ASSERT_EQ(ann.rec.deliveries.size(), 2u);
    EXPECT_EQ(ann.rec.deliveries[1].state, Delivery::Delivered);
    EXPECT_EQ(ann.rec.deliveries[1].id, report.id);
    // Nothing is repeated once confirmed; a chat line goes the same way.
    seg.runFor(6000);
    EXPECT_EQ(ann.transport.allSent.size(), 1u);
    ann.node.SendPrivate("bob " + C + "and a line");
    seg.runFor(100);
    EXPECT_EQ(ofKind(bob, "chat"), std::vector<std::string>{"ann:and a line"});
}

TEST_F(Secure, ALostPrivateMessageIsRepeatedShownOnceAndConfirmed) {
    ann.transport.loseNextSealedPrivate();
    ann.transport.allSent.clear();
    ann.node.SendPrivate("bob " + A + "are you there?");
    seg.runFor(100);
    EXPECT_TRUE(ofKind(bob, "alert").empty());
    EXPECT_TRUE(ann.transport.allSent.empty());
    seg.runFor(SecureLink::kRetryMs[0]);
    EXPECT_EQ(ofKind(bob, "alert"), std::vector<std::string>{"ann:are you there?"});
    ASSERT_EQ(ann.rec.deliveries.back().state, Delivery::Delivered);
    // The same datagram again (a repeat whose receipt was lost, or a
    // replay): confirmed again, never shown twice.
    ASSERT_FALSE(ann.transport.allSent.empty());
    seg.post(ann.transport.allSent.front());
    seg.runFor(100);
    EXPECT_EQ(ofKind(bob, "alert").size(), 1u);
}

TEST_F(Secure, AMessageNobodyConfirmsIsRepeatedAFewTimesThenReportedNotConfirmed) {
    bob.transport.close();  // bob's copy is gone without a leave notice
    ann.transport.allSent.clear();
    ann.node.SendPrivate("bob " + A + "hello?");
    seg.runFor(10000);
    EXPECT_EQ(ann.transport.allSent.size(), 1 + std::size(SecureLink::kRetryMs));
    EXPECT_EQ(ann.rec.deliveries.back().state, Delivery::NotConfirmed);
}

TEST_F(Secure, ARecipientWithoutKeysGetsThePlainPrivateMessageAsBefore) {
    forge("zed|C/0");
    ann.transport.sent.clear();
    const auto report = ann.node.SendPrivate("zed " + A + "hi");
    EXPECT_FALSE(report.encrypted);
    EXPECT_EQ(report.state, Delivery::NoReceipts);
    EXPECT_EQ(ann.transport.sent, std::vector<std::string>{cp1252::fromUtf8("ann|P/" + A + "hi|zed")});
}

TEST_F(Secure, AChangedKeyWarnsIsNotTrustedUntilAcceptedAndThenPinned) {
    // Another copy under ann's name, with a key of its own.
    ann.node.CloseNetwork();
    seg.runFor(100);
    Peer ann2(seg, "ann");
    ann2.joinAs("ann");
    seg.runFor(2000);
    ASSERT_TRUE(bob.node.users().findExact("ann"));
    EXPECT_EQ(row(bob, "ann").keyState, KeyState::Changed);
    ASSERT_EQ(bob.rec.keyWarnings.size(), 1u);
    EXPECT_NE(bob.rec.keyWarnings[0].find("somebody else is using the name ann"), std::string::npos);
    EXPECT_NE(bob.log().find("The key of ann changed"), std::string::npos);
    EXPECT_NE(bob.node.secure()->announcedFingerprint("ann"), bob.node.secure()->pinnedFingerprint("ann"));
    // Its status is not taken, its alerts are marked, nothing is encrypted to it.
    ann2.node.SetStatus(2);
    ann2.node.SendToAll(A + "it is me");
    seg.runFor(1000);
    EXPECT_NE(row(bob, "ann").status, 2);
    EXPECT_EQ(ofKind(bob, "alert").back(), "ann:(not verified) it is me");
    EXPECT_FALSE(bob.node.secure()->canEncryptTo("ann"));
    // The user compared the safety numbers and accepts.
    EXPECT_TRUE(bob.node.secure()->markChecked("ann"));
    EXPECT_EQ(row(bob, "ann").keyState, KeyState::Checked);
    ann2.node.SetStatus(1);
    seg.runFor(100);
    EXPECT_EQ(row(bob, "ann").status, 1);
    EXPECT_TRUE(bob.node.secure()->canEncryptTo("ann"));
    bob.node.secure()->savePins();
    const auto pins = PinStore::fromText(readBytes(bob.dir / PinStore::kFileName));
    EXPECT_EQ(crypto::Fingerprint(pins.find("ann")->signPublic), ann2.node.secure()->ownFingerprint());
    EXPECT_TRUE(pins.find("ann")->checked);
}

TEST(Keys, TheKeyFileIsMadeOnceReadableByTheUserAloneAndKeptAcrossStarts) {
    TempDir dir;
    const auto first = LoadOrCreateIdentity(dir.path());
    ASSERT_TRUE(first.identity);
    EXPECT_TRUE(first.note.empty());
    struct stat st {};
    ASSERT_EQ(stat((dir / Identity::kFileName).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const auto again = LoadOrCreateIdentity(dir.path());
    ASSERT_TRUE(again.identity);
    EXPECT_EQ(again.identity->signPublic, first.identity->signPublic);
    EXPECT_EQ(again.identity->boxPublic, first.identity->boxPublic);
    // Too open: tightened, and said so.
    chmod((dir / Identity::kFileName).c_str(), 0644);
    const auto open = LoadOrCreateIdentity(dir.path());
    EXPECT_NE(open.note.find("readable by others"), std::string::npos);
    ASSERT_EQ(stat((dir / Identity::kFileName).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // Never in User.ini.
    EXPECT_FALSE(std::filesystem::exists(dir / "User.ini"));
}

// The copy that holds the data folder closes it, and what an earlier build
// left readable in it (the known keys, the log), to other accounts.
TEST(Keys, TheCopyThatHoldsTheDataFolderClosesItToOtherAccounts) {
    MemorySegment seg;
    Peer ann(seg, "ann");
    const auto folder = ann.folder();
    writeBytes(folder / PinStore::kFileName, "Lanyx known keys 2\n");
    writeBytes(folder / "Log.txt", "");
    for (const auto& p : {folder / PinStore::kFileName, folder / std::filesystem::path("Log.txt")})
        chmod(p.c_str(), 0644);
    chmod(folder.c_str(), 0755);
    ASSERT_FALSE(ann.node.anotherInstanceRunning());
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    for (const auto& p : {folder / PinStore::kFileName, folder / std::filesystem::path("Log.txt")}) {
        ASSERT_EQ(stat(p.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << p;
    }
}

TEST(Keys, ABrokenKeyFileIsKeptAsideNotOverwritten) {
    TempDir dir;
    writeBytes(dir / Identity::kFileName, "Lanyx identity 1\nsign not base64!\n");
    const auto loaded = LoadOrCreateIdentity(dir.path());
    ASSERT_TRUE(loaded.identity);
    EXPECT_NE(loaded.note.find("kept as Identity.key.unreadable"), std::string::npos);
    EXPECT_EQ(readBytes(dir / "Identity.key.unreadable"), "Lanyx identity 1\nsign not base64!\n");
}

TEST(Keys, TheSequenceNumbersFileRoundTripsAndSkipsWhatMakesNoSense) {
    SeenStore s;
    s.signing[std::string(32, '\x07')] = {0x0102030405060708ull, 0xffull};
    s.privateSenders["ann"] = {42, 1};
    s.privateSenders["bad\tname"] = {1, 1};  // never written: it would break the line
    const auto text = s.toText();
    std::size_t skipped = 9;
    const auto back = SeenStore::fromText(text, &skipped);
    EXPECT_EQ(skipped, 0u);
    EXPECT_EQ(back.signing.size(), 1u);
    EXPECT_EQ(back.signing.begin()->second.top, 0x0102030405060708ull);
    EXPECT_EQ(back.privateSenders.size(), 1u);
    EXPECT_EQ(back.privateSenders.at("ann").top, 42u);
    EXPECT_EQ(back.toText(), text);
    const auto damaged = SeenStore::fromText(text +
                                                 "s\tAAAA\t0000000000000001\t0000000000000001\n"  // short key
                                                 "x\tann\t0000000000000001\t0000000000000001\n"   // kind
                                                 "p\tann\t00000000000000g1\t0000000000000001\n"   // not hex
                                                 "p\t\t0000000000000001\t0000000000000001\n"      // no name
                                                 "p\tzed\t1\t1\n",
                                             &skipped);
    EXPECT_EQ(skipped, 5u);
    EXPECT_EQ(damaged.toText(), text);
}

TEST(Keys, FingerprintsAreShortGroupsOfHex) {
    const auto fp = crypto::Fingerprint(std::string(32, 'k'));
    EXPECT_EQ(fp.size(), 24u);
    EXPECT_EQ(fp[4], ' ');
    EXPECT_NE(fp, crypto::Fingerprint(std::string(32, 'j')));
}

namespace {

// A copy's link alone, for what a thief does with its stolen key files.
struct Thief {
    Thief(Identity id, PinStore pins, const std::string& name)
        : link(std::move(id), std::move(pins), std::filesystem::path{}, hooks()) {
        link.setMyName(name);
    }
    SecureLink::Hooks hooks() {
        SecureLink::Hooks h;
        h.send = [](std::string_view) {};
        h.process = [](std::string_view, Trust) {};
        h.deliverPrivate = [this](const std::string& text, const std::string&, Trust) {
            read.push_back(text);
            return true;
        };
        h.log = [this](std::string_view, const std::string& line) { logText += line + "\n"; };
        h.ticks = [] { return 0u; };
        h.callAfter = [](std::uint32_t, std::function<void()>) {};
        h.wallMicros = [] { return wallNow(); };
        return h;
    }
    std::vector<std::string> read;
    std::string logText;
    SecureLink link;
};

std::vector<std::string> privateOnes(const std::vector<std::string>& sent) {
    std::vector<std::string> out;
    for (const auto& d : sent)
        if (d.find("|E/") != std::string::npos) out.push_back(d);
    return out;
}

}  // namespace

// Whoever steals both key files after the session (the static secrets of
// both users) and recorded the whole session still reads nothing of it:
// the ephemeral secrets it also needs were never written and are gone. A
// message to a copy of the build before, sealed under the static keys
// alone, is what such a thief reads.
TEST_F(Secure, StolenStaticKeysDoNotOpenAnEarlierSessionsMessages) {
    ann.transport.allSent.clear();
    const auto report = ann.node.SendPrivate("bob " + A + "the safe code is 4711");
    EXPECT_TRUE(report.forwardSecret);
    seg.runFor(100);
    ASSERT_EQ(ofKind(bob, "alert"), std::vector<std::string>{"ann:the safe code is 4711"});
    const auto recorded = ann.transport.allSent;  // the message and its receipt are the transcript
    ASSERT_EQ(privateOnes(recorded).size(), 1u);

    // dan runs the build before: to him, and from him, under static keys.
    auto owned = previousBuild("dan");
    Peer& dan = *owned;
    dan.transport.allSent.clear();
    dan.node.SendPrivate("bob " + A + "the old way");
    ann.transport.allSent.clear();
    const auto toDan = ann.node.SendPrivate("dan " + A + "to the old build");
    EXPECT_TRUE(toDan.encrypted);
    EXPECT_FALSE(toDan.forwardSecret);
    seg.runFor(100);
    EXPECT_EQ(ofKind(dan, "alert"), std::vector<std::string>{"ann:to the old build"});
    EXPECT_EQ(ofKind(bob, "alert").back(), "dan:the old way");
    const auto old = privateOnes(dan.transport.allSent);
    ASSERT_EQ(old.size(), 1u);

    // The session ends; the thief has bob's key file and his known keys.
    auto stolen = LoadOrCreateIdentity(bob.folder()).identity;
    ASSERT_TRUE(stolen);
    Thief thief(*stolen, bob.node.secure()->pins(), "bob");
    Trust t;
    for (const auto& d : privateOnes(recorded)) thief.link.incoming(d, t);
    EXPECT_TRUE(thief.read.empty());
    EXPECT_NE(thief.logText.find("sealed to a key of ours that is gone"), std::string::npos) << thief.logText;
    thief.link.incoming(old.front(), t);
    EXPECT_EQ(thief.read, std::vector<std::string>{A + "the old way"});

    // Both static secrets and every public key of the transcript: each
    // ephemeral secret he can make up gives other keys.
    const auto annKeys = LoadOrCreateIdentity(ann.folder()).identity;
    ASSERT_TRUE(annKeys);
    const auto wire = privateOnes(recorded).front();
    const auto raw = crypto::FromBase64(wire.substr(wire.find("|2|") + 3));
    ASSERT_TRUE(raw);
    const std::string seq8 = raw->substr(0, 8), eAnn = raw->substr(8, 32), eBob = raw->substr(40, 32);
    const std::string ad = std::string("LANYX-E2") + "ann" + '\0' + "bob" + seq8 + eAnn + eBob;
    const std::string_view sealed = std::string_view(*raw).substr(72);
    const auto guess = crypto::NewAgreementKeys();
    const auto asBob = crypto::DerivePrivateKeys(false, stolen->boxSecret, stolen->boxPublic, guess.secretKey, eBob,
                                                 annKeys->boxPublic, eAnn);
    const auto asAnn = crypto::DerivePrivateKeys(true, annKeys->boxSecret, annKeys->boxPublic, guess.secretKey, eAnn,
                                                 stolen->boxPublic, eBob);
    ASSERT_TRUE(asBob && asAnn);
    EXPECT_FALSE(crypto::Open(asBob->message, sealed, ad));
    EXPECT_FALSE(crypto::Open(asAnn->message, sealed, ad));
    const auto staticOnly = crypto::SharedKey(stolen->boxSecret, stolen->boxPublic, annKeys->boxPublic);
    EXPECT_FALSE(crypto::Open(*staticOnly, sealed, ad));
}

// A copy's answer to a challenge came after its leave notice and listed it
// again everywhere, a ghost until it was dropped as silent.
TEST_F(Secure, ASignatureAChallengeItsAnswerOrAReceiptListsNobody) {
    for (const std::string command : {"G/", "Q/", "A/", "R/"}) {
        forge("dora|" + command + "ann|AAAA");
        EXPECT_FALSE(ann.node.users().findNoCase("dora")) << command;
    }
    forge("dora|S/0");
    EXPECT_TRUE(ann.node.users().findNoCase("dora"));
}

// Between copies of ours a sealed line holds every character; the build
// before gets what Windows-1252 holds of it.
TEST_F(Secure, EveryCharacterGoesSealedAndTheBuildBeforeGetsWhatItCanShow) {
    const std::string line = "Kaffee \xE2\x98\x95 f\xC3\xBCr alle \xF0\x9F\x8E\x89";
    ann.node.SendPrivate("bob " + A + line);
    const auto dan = previousBuild("dan");
    EXPECT_TRUE(ann.node.SendPrivate("dan " + A + line).encrypted);
    seg.runFor(100);
    EXPECT_EQ(ofKind(bob, "alert"), std::vector<std::string>{"ann:" + line});
    EXPECT_EQ(ofKind(*dan, "alert"), std::vector<std::string>{"ann:Kaffee ? f\xC3\xBCr alle ?"});
}

// To everybody: our copies show every character, the datagram every copy
// reads holds what Windows-1252 can, and a full text that is not the
// sender's own (a forger's, unsigned, ahead of her line) is not shown.
TEST_F(Secure, EveryCharacterGoesToEverybodyAndOnlyTheSendersOwnFullTextIsShown) {
    const std::string line = "Kaffee \xE2\x98\x95 f\xC3\xBCr alle \xF0\x9F\x8E\x89";
    const std::string asRead = "Kaffee ? f\xC3\xBCr alle ?";
    const auto fromAnn = [&](std::string_view command) {
        std::vector<std::string> out;
        for (const auto& d : ann.transport.allSent)
            if (d.rfind("ann|" + std::string(command), 0) == 0) out.push_back(d);
        return out;
    };
    ann.transport.allSent.clear();
    ann.node.SendToAll(C + line);
    seg.runFor(SecureLink::kHoldMs + 100);
    EXPECT_EQ(ofKind(bob, "chat"), std::vector<std::string>{"ann:" + line});
    EXPECT_EQ(fromAnn("M/"), std::vector<std::string>{cp1252::fromUtf8("ann|M/" + C + asRead)});
    EXPECT_EQ(fromAnn("U/").size(), 1u);
    // What Windows-1252 holds goes once.
    ann.transport.allSent.clear();
    ann.node.SendToAll(C + "f\xC3\xBCr alle");
    EXPECT_TRUE(fromAnn("U/").empty());
    seg.runFor(SecureLink::kHoldMs + 100);

    bob.rec.items.clear();
    const std::string bomb = "Kaffee \xF0\x9F\x92\xA3 f\xC3\xBCr alle \xF0\x9F\x92\xA3";
    seg.post("ann|U/" + crypto::ToBase64("M/" + C + bomb));
    ann.node.SendToAll(C + asRead);
    seg.runFor(SecureLink::kHoldMs + 100);
    EXPECT_EQ(ofKind(bob, "chat"), std::vector<std::string>{"ann:" + asRead});
}

// A new ephemeral key: what was sealed to the one before still opens for a
// while (a message on its way, a repeat), then its secret is gone.
TEST_F(Secure, TheEphemeralKeyBeforeOpensForAWhileThenNotAtAll) {
    ann.transport.loseNextSealedPrivate();
    ann.transport.allSent.clear();
    ann.node.SendPrivate("bob " + A + "in flight");  // sealed to bob's key now; its repeat comes later
    bob.node.secure()->renewEphemeral();
    seg.runFor(3000);
    EXPECT_EQ(ofKind(bob, "alert"), std::vector<std::string>{"ann:in flight"});
    const auto recorded = privateOnes(ann.transport.allSent);
    ASSERT_FALSE(recorded.empty());
    ASSERT_EQ(ann.rec.deliveries.back().state, Delivery::Delivered);
    // Sealed to the new key from now on.
    ann.node.SendPrivate("bob " + A + "after the change");
    seg.runFor(100);
    EXPECT_EQ(ofKind(bob, "alert").back(), "ann:after the change");
    seg.runFor(SecureLink::kEphemeralGraceMs + 1000);
    const auto before = bob.log();
    seg.post(recorded.front());
    seg.runFor(100);
    EXPECT_NE(bob.log().substr(before.size()).find("sealed to a key of ours that is gone"), std::string::npos);
}

// A file offer's connection goes only where the key that sent it answered a
// challenge sent to that address alone: a source address is easily made up
// (a printer's), and a copy sharing its computer with others is still found.
TEST(Challenge, AnAddressCountsForOffersOnlyOnceTheKeyAnswersAChallengeSentThere) {
    struct Files : Capability {
        std::string_view tag() const override { return transfer::kFileTag; }
        std::string_view word() const override { return transfer::kFilesWord; }
        bool message(const std::string&, const std::string&, IpAddress) override { return true; }
        bool provesSources() const override { return true; }
    } files;
    constexpr auto kShared = IpAddress::v4(0x0A000001), kBob = IpAddress::v4(0x0A000002),
                   kMal = IpAddress::v4(0x0A000003), kPrinter = IpAddress::v4(0x0A000009);
    MemorySegment seg;
    // carl first: what is sent to the computer he shares with ann reaches him.
    Peer bob(seg, "bob"), carl(seg, "carl"), ann(seg, "ann"), mal(seg, "mal");
    bob.transport.address = kBob;
    carl.transport.address = ann.transport.address = kShared;
    mal.transport.address = kMal;
    mal.transport.spoofFrom = kPrinter;
    for (auto* p : {&bob, &carl, &ann, &mal}) {
        p->node.registerCapability(files);
        p->joinAs(p == &bob ? "bob" : p == &carl ? "carl" : p == &ann ? "ann" : "mal");
        seg.runFor(50);
    }
    seg.runFor(2000);
    using Addresses = std::vector<IpAddress>;
    EXPECT_EQ(bob.node.VerifiedSources("carl"), Addresses{kShared});
    EXPECT_EQ(bob.node.VerifiedSources("ann"), Addresses{kShared});
    // mal's key signed from the printer's address: challenged there, never answered.
    EXPECT_TRUE(bob.node.VerifiedSources("mal").empty());
    EXPECT_TRUE(std::any_of(bob.transport.sentTo.begin(), bob.transport.sentTo.end(),
                            [&](const auto& s) { return s.first == kPrinter; }));
    EXPECT_TRUE(bob.transport.verified.end() != std::find(bob.transport.verified.begin(), bob.transport.verified.end(),
                                                          std::pair<IpAddress, std::string>{kPrinter, "mal"}));
}

// Each capability takes the messages of its own tag and the reports of what
// it sent; a word the user's copy did not announce, or ours did not plug
// in, reaches nobody.
TEST(Capabilities, EachTakesItsOwnTagAndReportsAndOnlyAnnouncedWordsReach) {
    struct Stub : Capability {
        Stub(std::string_view t, std::string_view w) : tag_(t), word_(w) {}
        std::string_view tag() const override { return tag_; }
        std::string_view word() const override { return word_; }
        bool message(const std::string& sender, const std::string& body, IpAddress) override {
            got.push_back(sender + ":" + body);
            return true;
        }
        void delivery(const DeliveryReport& report) override { reports.push_back(report.state); }
        std::string tag_, word_;
        std::vector<std::string> got;
        std::vector<Delivery> reports;
    };
    Stub annPics("lanyx-pics ", "pics"), annNotes("lanyx-notes ", "notes"), bobPics("lanyx-pics ", "pics");
    MemorySegment seg;
    Peer ann(seg, "ann"), bob(seg, "bob");
    ann.node.registerCapability(annPics);
    ann.node.registerCapability(annNotes);
    bob.node.registerCapability(bobPics);
    ann.joinAs("ann");
    bob.joinAs("bob");
    seg.runFor(2000);
    EXPECT_EQ(ann.node.CanTake("bob", "pics"), Reach::Yes);
    EXPECT_EQ(ann.node.CanTake("bob", "notes"), Reach::NotThere);
    EXPECT_EQ(ann.node.CanTake("bob", "maps"), Reach::NotHere);
    EXPECT_FALSE(ann.node.SendSealed("notes", "bob", "x"));
    ASSERT_TRUE(ann.node.SendSealed("pics", "bob", "cat.png"));
    seg.runFor(1000);
    EXPECT_EQ(bobPics.got, std::vector<std::string>{"ann:cat.png"});
    ASSERT_FALSE(annPics.reports.empty());
    EXPECT_EQ(annPics.reports.back(), Delivery::Delivered);
    EXPECT_TRUE(annNotes.reports.empty());
}

// A datagram of bob's that lost its companion waits; his signed leave comes
// before it is let go: let go unsigned after the leave, it must not list him.
TEST_F(Secure, WhatWaitedForItsSignatureBeforeASignedLeaveDoesNotListTheUserAgain) {
    int companions = 0;
    seg.holdBack = [&](std::string_view bytes) {
        return bytes.substr(0, 6) == "bob|G/" && companions++ == 0;  // the status's companion is lost
    };
    bob.node.SetStatus(1);
    seg.runFor(50);
    bob.node.CloseNetwork();
    seg.runFor(SecureLink::kHoldMs + 500);
    EXPECT_FALSE(ann.node.users().findNoCase("bob"));
    EXPECT_FALSE(carl.node.users().findNoCase("bob"));
}

// A copy of the build before is made at its construction; its announcement
// is that build's: version 1, and none of the items that came with 2.
TEST(LinkBuild, TheBuildBeforeAnnouncesVersionOneWithNoneOfTheNewerItems) {
    struct Case {
        LinkBuild build;
        std::string version;
        bool newer;
    };
    for (const auto& c : {Case{LinkBuild::Current, "2", true}, Case{LinkBuild::Before, "1", false}}) {
        SecureLink::Hooks h;
        h.send = [](std::string_view) {};
        h.process = [](std::string_view, Trust) {};
        h.ticks = [] { return 0u; };
        h.callAfter = [](std::uint32_t, std::function<void()>) {};
        h.wallMicros = [] { return wallNow(); };
        SecureLink link(Identity::generate(), {}, {}, h, c.build);
        link.setMyName("dan");
        link.setPreviousNames({"dora"});
        const auto bytes = link.announcement();
        const std::string head = "dan|K/";
        ASSERT_EQ(bytes.rfind(head, 0), 0u) << bytes;
        const auto semi = bytes.find(';');
        const auto caps = bytes.substr(semi + 1, bytes.find(';', semi + 1) - semi - 1);
        EXPECT_EQ(bytes.substr(head.size(), semi - head.size()), c.version);
        EXPECT_NE(caps.find(secure::kCapabilities), std::string::npos) << caps;
        for (const auto& item : {std::string(secure::kUtf8Item), std::string(lineheader::kItem),
                                 std::string(secure::kEphemeralItem), std::string(secure::kFormerNameItem) + "dora"})
            EXPECT_EQ(caps.find(item) != std::string::npos, c.newer) << caps << " " << item;
    }
}
