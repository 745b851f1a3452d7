// The history of copies on a simulated segment over real UDP: what one copy
// sends and another receives is found on both sides by lanyx-cli history,
// also while the copies run; a copy killed in a burst of messages leaves a
// history that reads, checks whole and takes new messages.
#include "HistoryStore.h"
#include "Segment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <filesystem>
#include <sstream>

using namespace lanyx::e2e;

namespace {

class HistoryEndToEnd : public SegmentTest {
protected:
    // lanyx-cli history on a data folder; its output, and its exit status in *status.
    std::string history(const std::string& name, std::vector<std::string> args, int* status = nullptr) {
        std::vector<std::string> argv{LANYX_CLI, "--dir", (root_ / name).string(), "history"};
        argv.insert(argv.end(), args.begin(), args.end());
        const std::string tag = name + "-history" + std::to_string(runs_++);
        auto& p = run(0, tag, argv);
        const int rc = p.wait(10000);
        if (status) *status = rc;
        else EXPECT_EQ(rc, 0) << err(tag);
        return readFile(out(tag));
    }
    static std::size_t lines(const std::string& text) {
        std::size_t n = 0;
        for (char c : text) n += c == '\n';
        return n;
    }
    int runs_ = 0;
};

}  // namespace

TEST_F(HistoryEndToEnd, WhatWasSaidIsFoundOnBothSidesAlsoWhileTheCopiesRun) {
    auto& ann = cli(0, "ann", {"listen"});
    REQUIRE_SEEN(out("ann"), "join\tann\t");
    auto& bob = cli(1, "bob", {"chat", "--to", "ann", "lunch at the pier on friday?"});
    ASSERT_EQ(bob.wait(20000), 0) << err("bob");
    REQUIRE_SEEN(out("ann"), "private-chat\tbob\tlunch at the pier on friday?");

    // ann's copy runs on: its history is read beside it.
    const auto annSide = history("ann", {"--search", "pier friday"});
    EXPECT_NE(annSide.find("\tin\tbob\tprivate-chat\tlunch at the pier on friday?\n"), std::string::npos) << annSide;
    EXPECT_EQ(lines(annSide), 1u) << annSide;
    EXPECT_EQ(history("ann", {"--search", "pier -friday"}), "");
    const auto bobSide = history("bob", {"--with", "ANN"});
    EXPECT_NE(bobSide.find("\tout\tann\tprivate-chat\tlunch at the pier on friday?\n"), std::string::npos) << bobSide;
    // Reading never joined the network: ann's copy heard nothing of it.
    EXPECT_EQ(readFile(out("ann")).find("join\t_"), std::string::npos);

    ann.signal(SIGTERM);
    ASSERT_EQ(ann.wait(5000), 0);
    // The other way, with bob's copy running: an alert to everybody.
    cli(1, "bob", {"listen"});
    REQUIRE_SEEN(out("bob"), "join\tbob\t");
    auto& ann2 = cli(0, "ann2", {"alert", "fire drill at three"});
    ASSERT_EQ(ann2.wait(20000), 0) << err("ann2");
    REQUIRE_SEEN(out("bob"), "alert\tann2\tfire drill at three");
    const auto bobHeard = history("bob", {"--search", "drill", "--limit", "1"});
    EXPECT_NE(bobHeard.find("\tin\tann2\talert\tfire drill at three\n"), std::string::npos) << bobHeard;
    EXPECT_NE(history("ann2", {}).find("\tout\t(All)\talert\tfire drill at three\n"), std::string::npos);
    // Oldest first, each line time, direction, user, kind, text.
    const auto all = history("bob", {});
    EXPECT_LT(all.find("lunch at the pier"), all.find("fire drill"));
    EXPECT_EQ(all.substr(4, 1), "-");   // 2026-...
    EXPECT_EQ(all.substr(10, 1), "T");  // ISO 8601
}

TEST_F(HistoryEndToEnd, AKillDuringABurstLeavesAHistoryThatReadsWholeAndGoesOn) {
    auto& ann = cli(0, "ann", {"listen"});
    REQUIRE_SEEN(out("ann"), "join\tann\t");
    // A copy without keys sends chat lines to everybody as fast as it can.
    std::vector<std::string> argv{LANYX_RAWPEER, "send"};
    for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
    for (int i = 0; i < 6000; ++i)
        argv.push_back("zed|M/\\xDEburst line " + std::to_string(i) + " with some words to index");
    auto& sender = run(1, "zed", argv);
    ASSERT_TRUE(waitForText(out("ann"), "burst line 1500 ", 20000)) << readFile(out("ann")).size();
    ann.signal(SIGKILL);
    ann.wait(5000);
    sender.signal(SIGTERM);
    sender.wait(5000);

    // Every line of the history reads, the file checks whole.
    int status = -1;
    const auto kept = history("ann", {"--search", "burst"}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_GE(lines(kept), 1u);
    // What was shown and not yet written when the copy died is what is lost.
    std::size_t shown = 0;
    const auto events = readFile(out("ann"));
    for (auto p = events.find("\tburst line "); p != std::string::npos; p = events.find("\tburst line ", p + 1))
        ++shown;
    std::cout << "shown before the kill: " << shown << ", kept: " << lines(kept) << std::endl;
    EXPECT_LE(lines(kept), shown + 64);  // a line is kept only after it was received
    {
        lanyx::history::HistoryStore store(root_ / "ann" / "History.db", lanyx::history::HistoryStore::Mode::ReadOnly);
        auto check = store.connection().prepare("PRAGMA integrity_check");
        ASSERT_TRUE(check.step());
        EXPECT_EQ(check.text(0), "ok");
        auto fts = store.connection().prepare("SELECT count(*) FROM messages_text WHERE messages_text MATCH 'burst'");
        ASSERT_TRUE(fts.step());
        EXPECT_EQ(static_cast<std::size_t>(fts.integer(0)), lines(kept));  // index and table agree
    }
    // A new start takes the file as it is (nothing kept aside) and adds to it.
    // (Its output starts afresh: the join seen next is the new copy's.)
    std::filesystem::remove(out("ann"));
    auto& again = cli(0, "ann", {"listen"});
    REQUIRE_SEEN(out("ann"), "join\tann\t");
    auto& carl = cli(1, "carl", {"chat", "--to", "ann", "after the crash"});
    ASSERT_EQ(carl.wait(20000), 0);
    REQUIRE_SEEN(out("ann"), "private-chat\tcarl\tafter the crash");
    const auto after = history("ann", {"--with", "carl"});
    EXPECT_NE(after.find("after the crash"), std::string::npos) << after;
    EXPECT_EQ(lines(history("ann", {"--search", "burst"})), lines(kept));
    for (const auto& e : std::filesystem::directory_iterator(root_ / "ann"))
        EXPECT_EQ(e.path().filename().string().find("damaged"), std::string::npos) << e.path();
    again.signal(SIGTERM);
    EXPECT_EQ(again.wait(5000), 0);
    EXPECT_EQ(err("ann").find("history"), std::string::npos) << err("ann");
}

TEST_F(HistoryEndToEnd, AReplyAReactionAnEditAndADeletionCrossRealCopiesAndTheHistoryKeepsWhatIsLeft) {
    listener(0, "ann");
    listener(1, "bob");
    REQUIRE_SEEN(out("ann"), "keys\tbob\tnew key, not checked");
    REQUIRE_SEEN(out("bob"), "keys\tann\tnew key, not checked");
    tell("ann", "chat --to bob 'lunch at noon?'");
    REQUIRE_SEEN(out("bob"), "private-chat\tann\tlunch at noon?\tid=");
    const std::string bobOut = readFile(out("bob"));
    const auto at = bobOut.find("lunch at noon?\tid=");
    const std::string id = bobOut.substr(at + 18, 16);
    // ann's own delivery line names the same line.
    REQUIRE_SEEN(out("ann"), "delivery\tbob\tencrypted: delivered\tid=" + id);

    tell("bob", "reply " + id + " 'yes, at the pier'");
    REQUIRE_SEEN(out("ann"), "reply\tbob\tyes, at the pier\tid=");
    REQUIRE_SEEN(out("ann"), "\tre=" + id);
    tell("bob", "react " + id + " \xF0\x9F\x91\x8D");
    REQUIRE_SEEN(out("ann"), "reaction\tbob\t\xF0\x9F\x91\x8D\tre=" + id);
    // bob cannot change ann's line; ann can.
    tell("bob", "edit " + id + " 'lunch is cancelled'");
    ASSERT_TRUE(waitForText((root_ / "bob.err").string(), "edit " + id + ": only who said", 5000)) << err("bob");
    tell("ann", "edit " + id + " 'lunch at one?'");
    REQUIRE_SEEN(out("bob"), "edited\tann\tlunch at one?\tre=" + id);
    tell("ann", "delete " + id);
    REQUIRE_SEEN(out("bob"), "deleted\tann\tre=" + id);

    const auto kept = history("bob", {"--with", "ann"});
    // The line taken back is kept without words, the edit before it too.
    EXPECT_NE(kept.find("\tin\tann\tprivate-chat\t\n"), std::string::npos) << kept;
    EXPECT_EQ(kept.find("lunch at one?"), std::string::npos) << kept;
    EXPECT_NE(kept.find("yes, at the pier"), std::string::npos) << kept;
}
