// Messages waiting for their recipient: kept sealed to the recipient's
// pinned key, never in the clear on disk, never opened for a changed key,
// gone when delivered, taken back or expired, and kept across restarts.
#include "Crypto.h"
#include "Outbox.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lanyx;
using namespace lanyx::test;

namespace {

PinStore::Pin pinOf(const Identity& id) {
    PinStore::Pin pin;
    pin.signPublic = id.signPublic;
    pin.boxPublic = id.boxPublic;
    return pin;
}

class Waiting : public ::testing::Test {
protected:
    void SetUp() override {
        if (!crypto::available()) GTEST_SKIP() << "this build has no cryptographic library: no keys, nothing waits";
        me = Identity::generate();
        bob = Identity::generate();
        bobPin = pinOf(bob);
    }
    Outbox fresh() {
        Outbox o(dir.path(), me);
        std::string problem;
        EXPECT_TRUE(o.load(problem)) << problem;
        return o;
    }
    TempDir dir;
    Identity me, bob;
    PinStore::Pin bobPin;
    const std::int64_t now = 1'700'000'000'000;
};

}  // namespace

TEST_F(Waiting, AMessageIsKeptSealedToThePinnedKeyAndSurvivesARestart) {
    auto box = fresh();
    const auto id = box.add("Bob", HistoryKind::PrivateChat, "the safe code is 4711", bobPin, now, nullptr,
                            "bob|carl|");
    ASSERT_TRUE(id);
    std::string problem;
    ASSERT_TRUE(box.save(problem)) << problem;
    const auto onDisk = readBytes(dir / Outbox::kFileName);
    EXPECT_EQ(onDisk.find("4711"), std::string::npos);
    EXPECT_EQ(onDisk.find("safe code"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat((dir / Outbox::kFileName).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    auto again = fresh();
    ASSERT_EQ(again.all().size(), 1u);
    const auto due = again.dueFor("BOB", bobPin);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].text, "the safe code is 4711");
    EXPECT_EQ(due[0].message.id, *id);
    EXPECT_EQ(due[0].message.kind, HistoryKind::PrivateChat);
    EXPECT_EQ(due[0].message.chat, "bob|carl|");
    EXPECT_EQ(due[0].message.expiresMs, now + Outbox::kDefaultExpiryMs);
    EXPECT_TRUE(again.dueFor("carl", bobPin).empty());
    // Sealed to bob's key: bob's side derives the same key and opens it.
    const auto key = crypto::SharedKey(bob.boxSecret, bob.boxPublic, me.boxPublic);
    ASSERT_TRUE(key);
    const auto& m = again.all()[0];
    EXPECT_TRUE(
        crypto::Open(*key, m.sealed,
                     std::to_string(m.id) + "|bob|" + std::to_string(static_cast<int>(m.kind)) + "|" + m.boxPublic));
}

TEST_F(Waiting, NothingGoesToAChangedKey) {
    auto box = fresh();
    ASSERT_TRUE(box.add("bob", HistoryKind::PrivateAlert, "for the old key", bobPin, now));
    const auto other = Identity::generate();
    std::vector<WaitingMessage> held;
    EXPECT_TRUE(box.dueFor("bob", pinOf(other), &held).empty());
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(box.all().size(), 1u);  // still waiting, for the user to decide
    // The blob moved to another name (an edited file) opens for nobody.
    box.add("carl", HistoryKind::PrivateAlert, "for carl", bobPin, now);
    std::string text = box.toText();
    const auto b64 = [](const std::string& s) { return crypto::ToBase64(s); };
    const auto swapAt = text.find(b64("carl"));
    text.replace(swapAt, b64("carl").size(), b64("dora"));
    auto edited = Outbox::fromText(dir.path(), me, text);
    ASSERT_TRUE(edited);
    EXPECT_TRUE(edited->dueFor("dora", bobPin).empty());
}

TEST_F(Waiting, DeliveredTakenBackAndExpiredMessagesGo) {
    auto box = fresh();
    const auto a = box.add("bob", HistoryKind::PrivateChat, "one", bobPin, now);
    const auto b = box.add("bob", HistoryKind::PrivateChat, "two", bobPin, now + 1000);
    box.setExpiryMs(2 * Outbox::kDayMs);
    const auto c = box.add("bob", HistoryKind::PrivateChat, "three", bobPin, now);
    ASSERT_TRUE(a && b && c);
    EXPECT_TRUE(box.remove(*a));                                      // delivered
    EXPECT_FALSE(box.remove(*a));                                     // once
    EXPECT_TRUE(box.cancel(*c));                                      // the user took it back
    EXPECT_TRUE(box.expire(now + Outbox::kDefaultExpiryMs).empty());  // "two" has a second left
    const auto gone = box.expire(now + 1000 + Outbox::kDefaultExpiryMs);
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0].id, *b);
    EXPECT_TRUE(box.empty());
    // The time set is kept, and held to sane bounds.
    std::string problem;
    ASSERT_TRUE(box.save(problem));
    EXPECT_EQ(fresh().expiryMs(), 2 * Outbox::kDayMs);
    box.setExpiryMs(0);
    EXPECT_EQ(box.expiryMs(), 60'000);
    box.setExpiryMs(100 * 365 * Outbox::kDayMs);
    EXPECT_EQ(box.expiryMs(), Outbox::kMaxExpiryMs);
}

TEST_F(Waiting, WhatCannotBeKeptIsRefusedWithAReason) {
    auto box = fresh();
    std::string why;
    EXPECT_FALSE(box.add("bob", HistoryKind::Alert, "to all", bobPin, now, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(
        box.add("bob", HistoryKind::PrivateChat, std::string(Outbox::kMaxTextBytes + 1, 'x'), bobPin, now, &why));
    EXPECT_FALSE(box.add("bo\tb", HistoryKind::PrivateChat, "x", bobPin, now, &why));
    EXPECT_FALSE(box.add(
        "bob", HistoryKind::PrivateChat, "x",
        [&] {
            auto p = pinOf(bob);
            p.boxPublic = std::string(32, '\0');
            return p;
        }(),
        now, &why));
    for (std::size_t i = 0; i < Outbox::kMaxWaitingFor; ++i)
        ASSERT_TRUE(box.add("bob", HistoryKind::PrivateChat, "x", bobPin, now));
    Outbox::Refused refused = Outbox::Refused::None;
    EXPECT_FALSE(box.add("BOB", HistoryKind::PrivateChat, "one too many", bobPin, now, &why, {}, &refused));
    EXPECT_NE(why.find("too many"), std::string::npos);
    EXPECT_EQ(refused, Outbox::Refused::FullFor);
    // Others still get theirs, until all together fill what is kept.
    for (std::size_t i = Outbox::kMaxWaitingFor; i < Outbox::kMaxWaiting; ++i)
        ASSERT_TRUE(box.add("carl" + std::to_string(i % 3), HistoryKind::PrivateChat, "x", bobPin, now));
    EXPECT_FALSE(box.add("dora", HistoryKind::PrivateChat, "x", bobPin, now, &why, {}, &refused));
    EXPECT_EQ(refused, Outbox::Refused::Full);
}

TEST_F(Waiting, LongTextsFillTheFileOnlyAsFarAsTheNextStartReadsIt) {
    // 60,000 bytes each: a few hundred would make a file that the next start
    // could not read at all, and would keep aside whole.
    auto box = fresh();
    const std::string text(Outbox::kMaxTextBytes, 'x');
    Outbox::Refused refused = Outbox::Refused::None;
    std::size_t kept = 0;
    for (int i = 0; i < 400 && box.add("bob" + std::to_string(i), HistoryKind::PrivateChat, text, bobPin, now, nullptr,
                                       {}, &refused);
         ++i)
        ++kept;
    EXPECT_EQ(refused, Outbox::Refused::Full);
    EXPECT_GT(kept, 150u);
    std::string problem;
    ASSERT_TRUE(box.save(problem)) << problem;
    EXPECT_LE(std::filesystem::file_size(dir / Outbox::kFileName), Outbox::kMaxFileBytes);
    EXPECT_EQ(fresh().all().size(), kept);
}

TEST_F(Waiting, AFileThatCannotBeReadIsKeptAsideAndBadLinesAreSkipped) {
    writeBytes(dir / Outbox::kFileName, "not ours at all");
    Outbox box(dir.path(), me);
    std::string problem;
    EXPECT_FALSE(box.load(problem));
    EXPECT_NE(problem.find("kept as"), std::string::npos) << problem;
    EXPECT_TRUE(box.empty());
    bool kept = false;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        if (e.path().filename().string().rfind("Waiting.txt.unreadable-", 0) == 0)
            kept = readBytes(e.path()) == "not ours at all";
    EXPECT_TRUE(kept);

    ASSERT_TRUE(box.add("bob", HistoryKind::PrivateChat, "good", bobPin, now));
    std::string text = box.toText() + "m\tbroken\n" + "m\t1\t\t3\t0\t0\t\t\t\n" + "expiry\tsoon\n" +
                       "expiry\t99999999999999999999\n" + "expiry\t9999999999999999999\n";  // beyond 63 bits
    std::size_t skipped = 0;
    const auto read = Outbox::fromText(dir.path(), me, text, &skipped);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->all().size(), 1u);
    EXPECT_EQ(skipped, 5u);
    // Every id a message gets reads back, however large.
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(box.add("bob", HistoryKind::PrivateChat, "x", bobPin, now));
    const auto many = Outbox::fromText(dir.path(), me, box.toText(), &skipped);
    ASSERT_TRUE(many);
    EXPECT_EQ(many->all().size(), 201u);
    EXPECT_EQ(skipped, 0u);
}
