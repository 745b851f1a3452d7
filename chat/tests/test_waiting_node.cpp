// Private messages to a user with a known key who is not on the network:
// kept sealed in the data folder, nothing on the wire, and sent when that
// user is heard with that key again; never to another key, never plain.
#include "FileSteps.h"
#include "SecureLink.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

using namespace lanyx;
using namespace lanyx::test;

namespace {

struct Recorded : HistoryRecorder {
    std::vector<HistoryEntry> entries;
    std::vector<std::pair<std::uint64_t, HistoryDelivery>> reports;
    void record(HistoryEntry e) override { entries.push_back(std::move(e)); }
    void delivery(std::uint64_t id, const std::string&, HistoryDelivery d) override { reports.emplace_back(id, d); }
};

class WaitingNode : public ::testing::Test {
protected:
    WaitingNode() {
        ann = std::make_unique<Peer>(seg, "ann", Peer::Folder{annHome.path()});
        bob = std::make_unique<Peer>(seg, "bob", Peer::Folder{bobHome.path()});
        ann->joinAs("ann");
        seg.runFor(50);
        bob->joinAs("bob");
        bob->node.addMessageObserver(&kept);
        seg.runFor(2000);
        // ann leaves: bob knows her key, and she is not listed any more.
        ann->node.CloseNetwork();
        seg.runFor(100);
        ann.reset();
        EXPECT_FALSE(bob->node.users().findNoCase("ann"));
        EXPECT_NE(bob->node.KeyStateOf("ann"), KeyState::NoKeys);
        bob->transport.allSent.clear();
    }
    // ann's copy starts again on her folder (the same key), or on a new one.
    void annReturns(const std::filesystem::path& home) {
        ann = std::make_unique<Peer>(seg, "ann", Peer::Folder{home});
        ann->joinAs("ann");
        seg.runFor(3000);
    }
    std::vector<std::string> alertsAt(Peer& p) {
        std::vector<std::string> out;
        for (const auto& i : p.rec.items)
            if (i.kind == "alert" || i.kind == "chat") out.push_back(i.sender + ":" + i.text);
        return out;
    }
    // `n` lines wait for ann in bob's folder, written as his copy writes
    // them (a thousand queued one by one would take a while), and his copy
    // starts again on it.
    void backlogForAnn(int n) {
        const PinStore::Pin pin = *bob->node.secure()->pins().find("ann");
        bob->node.CloseNetwork();
        seg.runFor(100);
        bob.reset();
        auto loaded = LoadOrCreateIdentity(bobHome.path());
        ASSERT_TRUE(loaded.identity);
        Outbox box(bobHome.path(), *loaded.identity);
        std::string problem;
        ASSERT_TRUE(box.load(problem)) << problem;
        const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(box.add("ann", HistoryKind::PrivateChat, "line " + std::to_string(i), pin, now));
        ASSERT_TRUE(box.save(problem)) << problem;
        bob = std::make_unique<Peer>(seg, "bob", Peer::Folder{bobHome.path()});
        bob->joinAs("bob");
        bob->node.addMessageObserver(&kept);
        seg.runFor(500);
        ASSERT_EQ(bob->waiting.messages().size(), static_cast<std::size_t>(n));
    }
    std::size_t waitingInFile() {
        const auto text = readBytes(bobHome / Outbox::kFileName);
        std::size_t n = 0;
        for (auto at = text.find("\nm\t"); at != std::string::npos; at = text.find("\nm\t", at + 1)) ++n;
        return n;
    }
    void restartAnn() {
        ann->node.CloseNetwork();
        seg.runFor(100);
        ann.reset();
        annReturns(annHome.path());
    }
    void restartBob() {
        bob->node.CloseNetwork();
        seg.runFor(100);
        bob.reset();
        bob = std::make_unique<Peer>(seg, "bob", Peer::Folder{bobHome.path()});
        bob->joinAs("bob");
        bob->node.addMessageObserver(&kept);
        seg.runFor(500);
    }

    MemorySegment seg;
    TempDir annHome, bobHome, elsewhere;
    std::unique_ptr<Peer> ann, bob;
    Recorded kept;
};

}  // namespace

TEST_F(WaitingNode, ALineToAnAbsentKnownUserWaitsOffTheWireAndGoesSealedWhenSheIsBack) {
    const auto report = bob->node.SendPrivate("ann " + A + "the vault code is 4711");
    EXPECT_EQ(report.state, Delivery::Queued);
    EXPECT_TRUE(report.encrypted);
    EXPECT_NE(report.id, 0u);
    seg.runFor(10000);
    // Nothing at all went out: no plain "P/", no sealed datagram to nobody.
    EXPECT_TRUE(bob->transport.allSent.empty()) << bob->transport.allSent.front();
    EXPECT_EQ(bob->rec.deliveries.back().state, Delivery::Queued);
    // Kept sealed: the text is nowhere in the folder in the clear.
    EXPECT_EQ(readBytes(bobHome / Outbox::kFileName).find("4711"), std::string::npos);
    ASSERT_EQ(bob->waiting.messages().size(), 1u);
    ASSERT_EQ(kept.entries.size(), 1u);
    EXPECT_EQ(kept.entries[0].delivery, HistoryDelivery::Queued);
    EXPECT_EQ(kept.entries[0].messageId, report.id);
    EXPECT_EQ(kept.entries[0].text, "the vault code is 4711");

    annReturns(annHome.path());
    EXPECT_EQ(alertsAt(*ann), (std::vector<std::string>{"bob:the vault code is 4711"}));
    EXPECT_FALSE(anyHas(bob->transport.allSent, "4711"));
    EXPECT_FALSE(anyHas(bob->transport.allSent, "|P/"));
    EXPECT_TRUE(anyHas(bob->transport.allSent, "bob|E/ann|"));
    // The receipt marks the same message delivered, for the window and the history.
    EXPECT_EQ(bob->rec.deliveries.back().id, report.id);
    EXPECT_EQ(bob->rec.deliveries.back().state, Delivery::Delivered);
    EXPECT_EQ(kept.reports.back(), std::make_pair(report.id, HistoryDelivery::Delivered));
    EXPECT_TRUE(bob->waiting.messages().empty());
    EXPECT_EQ(readBytes(bobHome / Outbox::kFileName).find("\nm\t"), std::string::npos);
    // Once: seen again, she gets nothing more.
    bob->node.SendPresence();
    ann->node.SendPresence();
    seg.runFor(3000);
    EXPECT_EQ(alertsAt(*ann).size(), 1u);
}

TEST_F(WaitingNode, NothingGoesToAnotherKeyUnderTheName) {
    bob->node.SendPrivate("ann " + C + "for ann only");
    // Someone else's copy (a new key) comes up as "ann".
    annReturns(elsewhere.path());
    EXPECT_EQ(bob->node.KeyStateOf("ann"), KeyState::Changed);
    EXPECT_TRUE(alertsAt(*ann).empty());
    EXPECT_FALSE(anyHas(bob->transport.allSent, "bob|E/ann|"));
    EXPECT_FALSE(anyHas(bob->transport.allSent, "for ann only"));
    EXPECT_EQ(bob->waiting.messages().size(), 1u);
    // A message to the name now is withheld, not queued, until the user decides.
    EXPECT_EQ(bob->node.SendPrivate("ann " + C + "more").state, Delivery::Withheld);
}

TEST_F(WaitingNode, AMessageThatWaitedTooLongExpiresWithANoticeAndNeverGoes) {
    EXPECT_EQ(bob->waiting.waitDays(), 7);
    const auto id = bob->node.SendPrivate("ann " + A + "stale").id;
    bob->clockOffsetMicros = 8LL * 24 * 3600 * 1000000;
    seg.runFor(WaitingService::kExpiryCheckMs + 100);
    ASSERT_FALSE(bob->rec.deliveries.empty());
    const auto& last = bob->rec.deliveries.back();
    EXPECT_EQ(last.id, id);
    EXPECT_EQ(last.state, Delivery::Withheld);
    EXPECT_EQ(last.withheld, Withheld::Expired);
    EXPECT_NE(bob->log().find("Private message to ann not sent: it waited 7 days"), std::string::npos) << bob->log();
    EXPECT_EQ(kept.reports.back(), std::make_pair(id, HistoryDelivery::Expired));
    EXPECT_TRUE(bob->waiting.messages().empty());
    annReturns(annHome.path());
    EXPECT_TRUE(alertsAt(*ann).empty());
}

TEST_F(WaitingNode, TheUsersTimeIsKeptAndAMessageWithinItStays) {
    ASSERT_TRUE(bob->waiting.setWaitDays(2));
    restartBob();
    EXPECT_EQ(bob->waiting.waitDays(), 2);
    bob->node.SendPrivate("ann " + A + "soon");
    bob->clockOffsetMicros = 1LL * 24 * 3600 * 1000000;
    seg.runFor(WaitingService::kExpiryCheckMs + 100);
    EXPECT_EQ(bob->waiting.messages().size(), 1u);
    bob->clockOffsetMicros = 3LL * 24 * 3600 * 1000000;
    seg.runFor(WaitingService::kExpiryCheckMs + 100);
    EXPECT_TRUE(bob->waiting.messages().empty());
}

TEST_F(WaitingNode, TheUserTakesAWaitingMessageBack) {
    const auto keep = bob->node.SendPrivate("ann " + A + "keep").id;
    const auto back = bob->node.SendPrivate("ann " + A + "take back").id;
    EXPECT_TRUE(bob->waiting.cancel(back));
    EXPECT_FALSE(bob->waiting.cancel(back));
    EXPECT_EQ(bob->rec.deliveries.back().withheld, Withheld::Cancelled);
    EXPECT_EQ(kept.reports.back(), std::make_pair(back, HistoryDelivery::Cancelled));
    ASSERT_EQ(bob->waiting.messages().size(), 1u);
    EXPECT_EQ(bob->waiting.messages()[0].id, keep);
    annReturns(annHome.path());
    EXPECT_EQ(alertsAt(*ann), (std::vector<std::string>{"bob:keep"}));
    // Delivered: nothing left to take back.
    EXPECT_FALSE(bob->waiting.cancel(keep));
}

TEST_F(WaitingNode, WaitingMessagesOutliveARestartAndGoFromTheNextRun) {
    const auto id = bob->node.SendPrivate("ann " + C + "after the restart").id;
    restartBob();
    ASSERT_EQ(bob->waiting.messages().size(), 1u);
    EXPECT_EQ(bob->waiting.messages()[0].id, id);
    annReturns(annHome.path());
    EXPECT_EQ(alertsAt(*ann), (std::vector<std::string>{"bob:after the restart"}));
    EXPECT_EQ(bob->rec.deliveries.back().id, id);
    EXPECT_EQ(bob->rec.deliveries.back().state, Delivery::Delivered);
    EXPECT_EQ(kept.reports.back(), std::make_pair(id, HistoryDelivery::Delivered));
}

TEST_F(WaitingNode, AUserWithoutKeysGetsThePlainMessageAsBefore) {
    const auto report = bob->node.SendPrivate("carl " + A + "hello carl");
    EXPECT_EQ(report.state, Delivery::NoReceipts);
    EXPECT_FALSE(report.encrypted);
    EXPECT_TRUE(anyHas(bob->transport.sent, cp1252::fromUtf8("bob|P/" + A + "hello carl|carl")));
    EXPECT_TRUE(bob->waiting.messages().empty());
    EXPECT_FALSE(std::filesystem::exists(bobHome / Outbox::kFileName));
}

TEST_F(WaitingNode, AReturningUsersBacklogOfAThousandGoesInAPipelineEachLineOnce) {
    backlogForAnn(1000);
    ann = std::make_unique<Peer>(seg, "ann", Peer::Folder{annHome.path()});
    ann->joinAs("ann");
    // Turns of 100 ms on the segment's clock until all arrived; before, a
    // quarter arrived in 1,200 turns, the rest refused as a burst and left
    // waiting.
    int turns = 0;
    for (; turns < 600 && alertsAt(*ann).size() < 1000; ++turns) seg.runFor(100);
    EXPECT_LE(turns, 300);
    const auto shown = alertsAt(*ann);
    EXPECT_EQ(shown.size(), 1000u);
    EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), 1000u);
    EXPECT_EQ(shown.front(), "bob:line 0");  // oldest first
    seg.runFor(WaitingService::kOutboxSaveDelayMs + 100);
    EXPECT_TRUE(bob->waiting.messages().empty());
    EXPECT_EQ(waitingInFile(), 0u);
}

TEST_F(WaitingNode, BeyondTheCapAMessageIsWithheldNotSentToNobody) {
    backlogForAnn(static_cast<int>(Outbox::kMaxWaitingFor));
    bob->transport.allSent.clear();
    const auto report = bob->node.SendPrivate("ann " + A + "one too many");
    EXPECT_EQ(report.state, Delivery::Withheld);
    EXPECT_EQ(report.withheld, Withheld::WaitingFull);
    seg.runFor(10000);
    EXPECT_FALSE(anyHas(bob->transport.allSent, "bob|E/ann|"));
    EXPECT_EQ(bob->waiting.messages().size(), Outbox::kMaxWaitingFor);
}

TEST_F(WaitingNode, AFailedSaveIsTriedAgainAndNothingIsDeliveredTwiceAfterARestart) {
    for (int i = 0; i < 20; ++i) bob->node.SendPrivate("ann " + C + "line " + std::to_string(i));
    seg.runFor(100);
    ASSERT_EQ(waitingInFile(), 20u);
    bool full = true;  // the disk of bob's folder
    FileSteps steps([&](FileSteps::Step, const std::filesystem::path& p) {
        return full && p.filename().string().rfind(Outbox::kFileName, 0) == 0;
    });
    annReturns(annHome.path());
    seg.runFor(2000);
    EXPECT_EQ(alertsAt(*ann).size(), 20u);
    EXPECT_TRUE(bob->waiting.messages().empty());
    EXPECT_EQ(waitingInFile(), 20u);
    EXPECT_EQ(bob->rec.boxes.size(), 1u);  // told once, however often it fails
    seg.runFor(30000);
    EXPECT_EQ(bob->rec.boxes.size(), 1u);
    EXPECT_FALSE(bob->waiting.flush());

    // bob's copy ends while the disk is still full, and ann's too: the next
    // start sends all 20 again, and ann's copy confirms them without
    // showing them twice.
    restartBob();
    restartAnn();
    seg.runFor(5000);
    EXPECT_TRUE(anyHas(bob->transport.allSent, "bob|E/ann|"));
    EXPECT_EQ(alertsAt(*ann).size(), 0u);
    EXPECT_TRUE(bob->waiting.messages().empty());

    // Space comes back: the next try writes the file, and another start
    // sends nothing.
    full = false;
    seg.runFor(WaitingService::kOutboxRetryMaxMs + 100);
    EXPECT_EQ(waitingInFile(), 0u);
    restartBob();
    seg.runFor(5000);
    EXPECT_EQ(alertsAt(*ann).size(), 0u);
    EXPECT_FALSE(anyHas(bob->transport.allSent, "bob|E/ann|"));
}
