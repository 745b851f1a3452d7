// The history on disk: what goes in comes back, searches find what they
// should (and hostile ones nothing worse), deleting leaves nothing behind,
// a damaged file is kept aside and a full disk loses nothing it need not.
#include "History.h"
#include "HistoryStore.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <sys/stat.h>

using namespace lanyx;
using namespace lanyx::history;
using lanyx::test::readBytes;
using lanyx::test::TempDir;
using lanyx::test::writeBytes;

namespace {

HistoryEntry in(const std::string& peer, const std::string& text, HistoryKind kind = HistoryKind::PrivateChat) {
    HistoryEntry e;
    e.peer = peer;
    e.text = text;
    e.kind = kind;
    return e;
}

HistoryEntry out(const std::string& peer, const std::string& text, HistoryKind kind = HistoryKind::PrivateChat) {
    auto e = in(peer, text, kind);
    e.outgoing = true;
    return e;
}

std::vector<std::string> texts(const std::vector<HistoryRow>& rows) {
    std::vector<std::string> t;
    for (const auto& r : rows) t.push_back(r.entry.text);
    return t;
}

struct Fixture : ::testing::Test {
    TempDir dir;
    std::atomic<std::int64_t> clock{1'700'000'000'000};
    std::mutex noticeMutex;
    std::vector<std::string> notices;
    std::vector<Notice> told;
    std::vector<Notice::Code> codes;
    std::unique_ptr<History> history;

    History::Options options() {
        History::Options o;
        o.clock = [this] { return clock.load(); };
        // The clock stands still: only the tests of the bounds meet them.
        o.unverified.perSecond = o.unverified.totalPerSecond = 1'000'000;
        return o;
    }
    void open(History::Options o) {
        history = std::make_unique<History>(dir.path(), std::move(o));
        history->setNotices([this](const Notice& n) {
            std::lock_guard lock(noticeMutex);
            notices.push_back(n.text);
            told.push_back(n);
            codes.push_back(n.code);
        });
    }
    void open() { open(options()); }
    std::vector<HistoryRow> find(std::string_view query, Filter f = {}) {
        EXPECT_TRUE(history->flush());
        auto reader = history->openReader();
        EXPECT_TRUE(reader);
        return reader ? reader->search(ParseSearch(query), f) : std::vector<HistoryRow>{};
    }
    std::vector<HistoryRow> all(Filter f = {}) { return find("", f); }
    std::string filesOnDisk() {
        std::string bytes;
        for (const char* name : {"History.db", "History.db-wal", "History.db-shm"}) bytes += readBytes(dir / name);
        return bytes;
    }
};

}  // namespace

using HistoryStoreTest = Fixture;

TEST_F(HistoryStoreTest, WhatIsRecordedComesBackWithEveryFieldInOrder) {
    open();
    auto a = out("Bob", "lunch at noon?", HistoryKind::PrivateAlert);
    a.trust = HistoryTrust::Encrypted;
    a.delivery = HistoryDelivery::Waiting;
    a.messageId = 42;
    a.lineId = 0xfeedfacecafe0001;
    history->record(a);
    clock += 1000;
    auto f = in("bob", "report.pdf, photos", HistoryKind::FileReceived);
    f.files = 3;
    f.bytes = 1053241;
    history->record(f);
    auto b = in("ann", "\xE2\x82\xAC 5 caf\xC3\xA9 \"quoted\" 'x' \\ \t tab", HistoryKind::Chat);
    b.trust = HistoryTrust::NotVerified;
    history->record(b);
    history->record(out("(All)", "fire drill at 3", HistoryKind::Alert));

    const auto rows = all();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_LT(rows[0].id, rows[1].id);
    EXPECT_EQ(rows[0].entry.peer, "Bob");
    EXPECT_TRUE(rows[0].entry.outgoing);
    EXPECT_EQ(rows[0].entry.kind, HistoryKind::PrivateAlert);
    EXPECT_EQ(rows[0].entry.trust, HistoryTrust::Encrypted);
    EXPECT_EQ(rows[0].entry.delivery, HistoryDelivery::Waiting);
    EXPECT_EQ(rows[0].entry.messageId, 42u);
    EXPECT_EQ(rows[0].entry.lineId, 0xfeedfacecafe0001u);
    EXPECT_EQ(rows[0].entry.timeMs, 1'700'000'000'000);
    EXPECT_EQ(rows[1].entry.timeMs, 1'700'000'001'000);
    EXPECT_EQ(rows[1].entry.files, 3u);
    EXPECT_EQ(TransferText(rows[1].entry), "report.pdf, photos: 3 files, 1053241 bytes");
    EXPECT_EQ(rows[2].entry.text, b.text);
    EXPECT_EQ(rows[2].entry.trust, HistoryTrust::NotVerified);
    EXPECT_FALSE(rows[2].entry.outgoing);

    // Kept across a restart, and new rows after the old ones.
    history.reset();
    open();
    history->record(in("bob", "after the restart"));
    const auto again = all();
    ASSERT_EQ(again.size(), 5u);
    EXPECT_EQ(again.back().entry.text, "after the restart");
    EXPECT_GT(again.back().id, again[3].id);
}

TEST_F(HistoryStoreTest, SearchFindsWordsPhrasesAlternativesAndExclusions) {
    open();
    for (const char* t : {"Lunch on Friday at the cafe", "lunch moved to Monday", "the fire drill is at three",
                          "drill the wall, not the fire", "Caf\xC3\xA9 au lait", "e-mail me the report"})
        history->record(in("ann", t));
    EXPECT_EQ(texts(find("lunch friday")), (std::vector<std::string>{"Lunch on Friday at the cafe"}));
    EXPECT_EQ(texts(find("\"fire drill\"")), (std::vector<std::string>{"the fire drill is at three"}));
    EXPECT_EQ(find("fire drill").size(), 2u);
    EXPECT_EQ(texts(find("friday OR monday")).size(), 2u);
    EXPECT_EQ(texts(find("lunch -monday")), (std::vector<std::string>{"Lunch on Friday at the cafe"}));
    EXPECT_EQ(find("-lunch -fire").size(), 2u);  // nothing required: all but those
    // Accents and case do not matter; a word is found by its beginning
    // only when asked to.
    EXPECT_EQ(find("CAFE").size(), 2u);
    EXPECT_EQ(find("mon").size(), 0u);
    history->flush();
    auto reader = history->openReader();
    EXPECT_EQ(reader->search(ParseSearch("mon", {true}), {}).size(), 1u);
    EXPECT_EQ(texts(find("e-mail")), (std::vector<std::string>{"e-mail me the report"}));
    EXPECT_EQ(find("\"mail e\"").size(), 0u);
}

TEST_F(HistoryStoreTest, HostileQueriesNeitherFailNorMatchWhatTheyShouldNot) {
    open();
    history->record(in("ann", "plain words here"));
    history->record(in("ann", "NEAR(plain words) and text:here"));
    for (const char* q : {"NEAR(plain words)", "text:here", "*", "^plain", "plain AND NOT", "\"", "\"\"\"", "(((", ")",
                          "{text}:x", "plain OR", "- -- ---", "NOT plain", "a\"b\"c\"", "'; DROP TABLE messages; --",
                          "\xFF\xFE", "plain\x01words"}) {
        SCOPED_TRACE(q);
        EXPECT_NO_THROW(find(q));
    }
    // The words are searched for, not read as a query: the row that holds
    // them is found, the other one is not.
    EXPECT_EQ(texts(find("NEAR(plain words)")), (std::vector<std::string>{"NEAR(plain words) and text:here"}));
    EXPECT_EQ(texts(find("text:here")), (std::vector<std::string>{"NEAR(plain words) and text:here"}));
    EXPECT_EQ(all().size(), 2u);  // and nothing was dropped
}

TEST_F(HistoryStoreTest, ScopesLimitsAndTimeKeepConversationsApart) {
    open();
    history->record(in("ann", "a1"));
    history->record(out("ANN", "a2"));
    history->record(in("ann", "pub from ann", HistoryKind::Chat));
    history->record(out("(All)", "pub from us", HistoryKind::Chat));
    auto g = out("ann", "to both");
    g.chat = ChatTag({"me", "Bob", "ann", "bob"}, "me");
    EXPECT_EQ(g.chat, "ann|bob|");
    history->record(g);
    g.peer = "bob";
    history->record(g);
    clock += 60'000;
    history->record(in("bob", "b1"));

    Filter f;
    // A line to a chat of several members is that chat's, once.
    f.scope = Scope::person("Ann");
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"a1", "a2"}));
    f.scope = Scope::everybody();
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"pub from ann", "pub from us"}));
    f.scope = Scope::group("ann|bob|");
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"to both"}));
    f.scope = Scope::with("ann");
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"a1", "a2", "pub from ann"}));
    // The newest N, oldest first; from a time on.
    f = {};
    f.limit = 2;
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"to both", "b1"}));
    f = {};
    f.sinceMs = clock.load();
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"b1"}));
    // Searching keeps to the scope too.
    f = {};
    f.scope = Scope::person("bob");
    EXPECT_EQ(texts(find("both OR b1", f)), (std::vector<std::string>{"b1"}));

    history->flush();
    const auto convs = history->openReader()->conversations();
    ASSERT_EQ(convs.size(), 4u);
    EXPECT_EQ(convs[0].scope, Scope::person("bob"));  // the most recent first
    EXPECT_EQ(convs[0].title, "bob");
    bool group = false;
    for (const auto& c : convs)
        if (c.scope.type == Scope::Type::Group) {
            group = true;
            EXPECT_EQ(c.title, "ANN, bob");  // as last seen
        }
    EXPECT_TRUE(group);
    // One line sent to two members is one chat tag, no line to one is.
    EXPECT_EQ(ChatTag({"me", "ann"}, "ME"), "");
}

TEST_F(HistoryStoreTest, ARenameTakesTheConversationsAlongAndLeavesOthersAlone) {
    open();
    history->record(in("ann", "a1"));
    history->record(in("ann", "pub from ann", HistoryKind::Chat));
    auto g = out("ann", "to ann and carl");
    g.chat = ChatTag({"ann", "carl"}, "me");
    history->record(g);
    g.chat = ChatTag({"anna", "ann"}, "me");  // a chat that held both names already
    history->record(g);
    history->record(in("annabel", "not her"));
    // Renamed while lines still wait for the disk: they follow too.
    history->record(out("Ann", "a2"));
    history->renamed("ANN", "anna");
    history->record(in("anna", "a3"));

    Filter f;
    f.scope = Scope::person("anna");
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"a1", "a2", "a3"}));
    f.scope = Scope::with("anna");
    EXPECT_EQ(all(f).size(), 4u);
    f.scope = Scope::person("ann");
    EXPECT_TRUE(all(f).empty());
    f.scope = Scope::person("annabel");
    EXPECT_EQ(texts(all(f)), std::vector<std::string>{"not her"});
    f.scope = Scope::group("anna|carl|");
    EXPECT_EQ(texts(all(f)), std::vector<std::string>{"to ann and carl"});
    f.scope = Scope::group("anna|");
    EXPECT_EQ(all(f).size(), 1u);
    // Each line keeps the name it came under.
    EXPECT_EQ(all(Filter{Scope::person("anna")}).front().entry.peer, "ann");
    // "(All)" is nobody's name to take.
    history->renamed("(All)", "zed");
    f.scope = Scope::everybody();
    EXPECT_EQ(all(f).size(), 1u);
}

TEST_F(HistoryStoreTest, AFileOfTheEarlierVersionFilesChatLinesOnceUnderTheirChat) {
    {
        // As the earlier version kept them: each line to bob and carl once
        // per member, under that member.
        HistoryStore old(dir / "History.db", HistoryStore::Mode::ReadWrite);
        std::int64_t id = 0;
        const auto toBoth = [&](const std::string& text, std::int64_t time) {
            for (const char* m : {"bob", "carl"}) {
                auto e = out(m, text);
                e.chat = "bob|carl|";
                e.timeMs = time;
                old.insert(++id, e);
            }
        };
        toBoth("hello both", 1000);
        toBoth("hello both", 1500);  // typed twice: two lines
        auto mine = out("bob", "to bob alone");
        mine.timeMs = 1600;
        old.insert(++id, mine);
        auto g = out("bob", "cut by a line");
        g.chat = "bob|carl|";
        g.timeMs = 1700;
        old.insert(++id, g);
        auto theirs = in("carl", "meanwhile");
        theirs.chat = "bob|carl|";
        old.insert(++id, theirs);
        g.peer = "carl";
        old.insert(++id, g);  // not next to its twin: kept, as unsure
        auto& db = old.connection();
        db.exec("UPDATE messages SET conv = peer_key");
        // Lines had no ids then.
        db.exec("DROP INDEX messages_line");
        for (const char* later : {"line_id", "reply_to", "change"})
            db.exec(std::string("ALTER TABLE messages DROP COLUMN ") + later);
        db.exec("PRAGMA user_version = 1");
    }
    open();
    Filter f;
    f.scope = Scope::group("bob|carl|");
    EXPECT_EQ(texts(all(f)),
              (std::vector<std::string>{"hello both", "hello both", "cut by a line", "meanwhile", "cut by a line"}));
    f.scope = Scope::person("bob");
    EXPECT_EQ(texts(all(f)), std::vector<std::string>{"to bob alone"});
    f.scope = Scope::person("carl");
    EXPECT_TRUE(all(f).empty());
}

TEST_F(HistoryStoreTest, LinesAroundAResultStayInItsConversation) {
    open();
    for (int i = 0; i < 6; ++i) {
        history->record(in("ann", "ann " + std::to_string(i)));
        history->record(in("bob", "bob " + std::to_string(i)));
    }
    const auto hit = find("\"ann 3\"");
    ASSERT_EQ(hit.size(), 1u);
    const auto around = history->openReader()->around(hit[0].id, 2);
    EXPECT_EQ(texts(around), (std::vector<std::string>{"ann 1", "ann 2", "ann 3", "ann 4", "ann 5"}));
    EXPECT_EQ(texts(history->openReader()->around(find("\"ann 0\"")[0].id, 2)),
              (std::vector<std::string>{"ann 0", "ann 1", "ann 2"}));
    EXPECT_TRUE(history->openReader()->around(999999, 2).empty());
}

TEST_F(HistoryStoreTest, DeliveryReportsReachTheirMessageWaitingOrWritten) {
    open();
    auto m = out("bob", "hi");
    m.messageId = 7;
    m.delivery = HistoryDelivery::Waiting;
    history->record(m);
    history->delivery(7, "BOB", HistoryDelivery::Delivered);  // likely still queued
    m.messageId = 8;
    history->record(m);
    ASSERT_TRUE(history->flush());
    history->delivery(8, "bob", HistoryDelivery::NotConfirmed);  // written by now
    history->delivery(8, "carl", HistoryDelivery::Delivered);    // nobody's: changes nothing
    history->delivery(9, "bob", HistoryDelivery::Delivered);
    const auto rows = all();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].entry.delivery, HistoryDelivery::Delivered);
    EXPECT_EQ(rows[1].entry.delivery, HistoryDelivery::NotConfirmed);
}

TEST_F(HistoryStoreTest, DeletingAConversationLeavesNoTraceInTheFiles) {
    open();
    for (int i = 0; i < 200; ++i) history->record(in("ann", "filler words number " + std::to_string(i)));
    history->record(in("bob", "the password is zebracorn4711"));
    history->record(in("bob", "and zebracorn4711 again"));
    history->record(in("ann", "ann stays"));
    ASSERT_TRUE(history->flush());
    ASSERT_NE(filesOnDisk().find("zebracorn4711"), std::string::npos);

    std::atomic<bool> done{false};
    history->erase(Scope::person("Bob"), [&] { done = true; });
    ASSERT_TRUE(history->flush());
    EXPECT_TRUE(done);
    EXPECT_TRUE(find("zebracorn4711").empty());
    EXPECT_EQ(all().size(), 201u);
    // Not in the table, the index, free pages or the journal.
    EXPECT_EQ(filesOnDisk().find("zebracorn4711"), std::string::npos);
    EXPECT_EQ(filesOnDisk().find("zebracorn"), std::string::npos);
    // And nothing of it comes back after a restart.
    history.reset();
    open();
    EXPECT_TRUE(find("zebracorn4711").empty());
}

TEST_F(HistoryStoreTest, ALineChangesOnlyUnderItsAuthorAndATakenBackOneLeavesNoTrace) {
    open();
    auto annLine = in("ann", "meet at gate zebracorn7");
    annLine.lineId = 0x11;
    history->record(annLine);
    auto bobSame = in("bob", "a line of bob's under the same id");
    bobSame.lineId = 0x11;
    history->record(bobSame);
    auto mine = out("ann", "on my way");
    mine.lineId = 0x22;
    mine.replyTo = 0x11;
    history->record(mine);
    history->changeLine(0x22, "", LineChange::Edited, "on my way, 5 minutes");
    history->changeLine(0x11, "carl", LineChange::Deleted, "");  // not carl's: nothing
    ASSERT_TRUE(history->flush());
    ASSERT_NE(filesOnDisk().find("zebracorn7"), std::string::npos);
    history->changeLine(0x11, "Ann", LineChange::Deleted, "");

    const auto rows = all();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].entry.change, LineChange::Deleted);
    EXPECT_TRUE(rows[0].entry.text.empty());
    EXPECT_EQ(rows[1].entry.text, bobSame.text);
    EXPECT_EQ(rows[1].entry.change, LineChange::None);
    EXPECT_EQ(rows[2].entry.text, "on my way, 5 minutes");
    EXPECT_EQ(rows[2].entry.change, LineChange::Edited);
    EXPECT_EQ(rows[2].entry.replyTo, 0x11u);
    EXPECT_TRUE(find("zebracorn7").empty());
    EXPECT_EQ(filesOnDisk().find("zebracorn7"), std::string::npos);
}

TEST_F(HistoryStoreTest, DeletingEverythingEmptiesTheFilesAndRecordingGoesOn) {
    open();
    for (int i = 0; i < 300; ++i) history->record(in(i % 2 ? "ann" : "bob", "secret marmalade " + std::to_string(i)));
    history->setRetentionDays(30);
    ASSERT_TRUE(history->flush());
    const auto before = all();
    history->eraseAll();
    history->record(in("carl", "new start"));
    ASSERT_TRUE(history->flush());
    EXPECT_EQ(texts(all()), (std::vector<std::string>{"new start"}));
    EXPECT_TRUE(find("marmalade").empty());
    EXPECT_EQ(filesOnDisk().find("marmalade"), std::string::npos);
    EXPECT_GT(all()[0].id, before.back().id);  // ids never come back
    EXPECT_EQ(history->retentionDays(), 30);   // the setting stays
}

TEST_F(HistoryStoreTest, RetentionRemovesWhatIsOlderAndKeepsItsSetting) {
    open();
    history->record(in("ann", "ancient"));
    clock += 40LL * 24 * 3600 * 1000;
    history->record(in("ann", "recent"));
    ASSERT_TRUE(history->flush());
    EXPECT_EQ(all().size(), 2u);  // forever by default
    history->setRetentionDays(30);
    EXPECT_EQ(texts(all()), (std::vector<std::string>{"recent"}));
    EXPECT_EQ(filesOnDisk().find("ancient"), std::string::npos);
    history.reset();
    open();
    EXPECT_EQ(history->retentionDays(), 30);
    // Applied again at the start: what aged meanwhile goes.
    clock += 31LL * 24 * 3600 * 1000;
    history.reset();
    open();
    EXPECT_TRUE(all().empty());
    history->setRetentionDays(0);
    history->record(in("ann", "kept"));
    clock += 3650LL * 24 * 3600 * 1000;
    history.reset();
    open();
    EXPECT_EQ(all().size(), 1u);
}

TEST_F(HistoryStoreTest, ADamagedFileIsKeptAsideAndANewOneStarted) {
    const std::string garbage = "this was never a database \x01\x02\x03" + std::string(5000, 'x');
    writeBytes(dir / "History.db", garbage);
    open();
    ASSERT_TRUE(history->usable());
    EXPECT_EQ(history->openNotice(), "");  // the writer takes care of it, and tells
    ASSERT_TRUE(history->flush());
    std::filesystem::path aside;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        if (e.path().filename().string().rfind("History.damaged-", 0) == 0) aside = e.path();
    ASSERT_FALSE(aside.empty());
    {
        std::lock_guard lock(noticeMutex);
        ASSERT_EQ(codes, std::vector<Notice::Code>{Notice::Code::KeptAside});
        EXPECT_NE(notices[0].find(aside.filename().string()), std::string::npos);
    }
    EXPECT_EQ(readBytes(aside), garbage);  // kept, byte for byte
    history->record(in("ann", "works again"));
    EXPECT_EQ(all().size(), 1u);
}

TEST_F(HistoryStoreTest, DamageFoundByTheDailyCheckIsSalvagedIntoANewFile) {
    open();
    for (int i = 0; i < 2000; ++i) history->record(in("ann", "line " + std::to_string(i) + std::string(200, 'q')));
    ASSERT_TRUE(history->flush());
    history.reset();
    // Scribble over the middle of the file: the header still reads.
    auto bytes = readBytes(dir / "History.db");
    ASSERT_GT(bytes.size(), 200000u);
    for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 20000; ++i) bytes[i] = static_cast<char>(i * 7);
    writeBytes(dir / "History.db", bytes);
    auto o = options();
    o.checkEveryMs = 0;  // check at this start
    open(o);
    history->record(in("ann", "after"));
    ASSERT_TRUE(history->flush());
    // What the pages scribbled over held is lost, not the rest.
    const auto rows = all();
    EXPECT_GT(rows.size(), 1500u);
    EXPECT_LT(rows.size(), 2001u);
    EXPECT_EQ(rows.back().entry.text, "after");
    {
        std::lock_guard lock(noticeMutex);
        EXPECT_EQ(codes, std::vector<Notice::Code>{Notice::Code::Salvaged});
    }
    int damaged = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        damaged += e.path().filename().string().rfind("History.damaged-", 0) == 0;
    EXPECT_GE(damaged, 1);
}

TEST_F(HistoryStoreTest, FilesAreReadableByTheUserAlone) {
    ::umask(022);
    open();
    history->record(in("ann", "private"));
    ASSERT_TRUE(history->flush());
    for (const char* name : {"History.db", "History.db-wal", "History.db-shm"}) {
        struct stat st {};
        ASSERT_EQ(::stat((dir / name).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
    // A file made open to others earlier is closed to them at the next start.
    history.reset();
    ::chmod((dir / "History.db").c_str(), 0644);
    open();
    struct stat st {};
    ASSERT_EQ(::stat((dir / "History.db").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(HistoryStoreTest, AReaderSeesWhatIsWrittenWhileTheWriterRuns) {
    EXPECT_THROW(HistoryStore(dir / "History.db", HistoryStore::Mode::ReadOnly), sql::Error);  // nothing yet
    open();
    HistoryStore reader(dir / "History.db", HistoryStore::Mode::ReadOnly);
    history->record(in("ann", "one"));
    ASSERT_TRUE(history->flush());
    EXPECT_EQ(reader.rows({}).size(), 1u);
    history->record(in("ann", "two"));
    ASSERT_TRUE(history->flush());
    EXPECT_EQ(reader.rows({}).size(), 2u);
    EXPECT_THROW(reader.connection().exec("DELETE FROM messages"), sql::Error);  // and never writes
}

TEST_F(HistoryStoreTest, LinesStillWaitingForTheDiskAreShownInTheirPlace) {
    auto o = options();
    std::atomic<bool> hold{false};
    o.beforeWrite = [&](sql::Connection&) {
        while (hold) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    open(o);
    history->record(in("ann", "written"));
    ASSERT_TRUE(history->flush());
    hold = true;
    history->record(in("ann", "waiting"));
    history->record(in("bob", "other"));
    auto reader = history->openReader();
    Filter f;
    f.scope = Scope::person("ann");
    EXPECT_EQ(texts(history->rows(*reader, f)), (std::vector<std::string>{"written", "waiting"}));
    f.limit = 1;
    EXPECT_EQ(texts(history->rows(*reader, f)), (std::vector<std::string>{"waiting"}));
    hold = false;
    ASSERT_TRUE(history->flush());
    f.limit = 0;
    EXPECT_EQ(texts(history->rows(*reader, f)), (std::vector<std::string>{"written", "waiting"}));
}

TEST_F(HistoryStoreTest, AFullDiskKeepsMessagesWaitingAndTellsOnceEachWay) {
    auto o = options();
    std::atomic<bool> full{false};
    o.beforeWrite = [&](sql::Connection& db) {
        if (full) db.exec("PRAGMA max_page_count = 1");
        else db.exec("PRAGMA max_page_count = 1073741823");
    };
    o.maxQueued = 50;
    open(o);
    history->record(in("ann", "before"));
    ASSERT_TRUE(history->flush());
    full = true;
    // Each larger than a page: none fits in the room left on the pages there
    // are, however the writer happens to batch them.
    for (int i = 0; i < 80; ++i) history->record(in("ann", "during " + std::to_string(i) + std::string(9000, 'z')));
    EXPECT_FALSE(history->flush(std::chrono::milliseconds(300)));
    EXPECT_EQ(history->dropped(), 30u);  // beyond the bound, never held
    full = false;
    ASSERT_TRUE(history->flush());
    const auto rows = all();
    ASSERT_EQ(rows.size(), 51u);
    EXPECT_EQ(rows[0].entry.text, "before");
    EXPECT_EQ(rows[50].entry.text.substr(0, 9), "during 49");
    std::lock_guard lock(noticeMutex);
    ASSERT_EQ(told.size(), 3u) << ::testing::PrintToString(notices);
    EXPECT_EQ(told[0].code, Notice::Code::CannotWrite);
    EXPECT_EQ(told[1].code, Notice::Code::WrittenAgain);
    EXPECT_EQ(told[2].code, Notice::Code::NotRecorded);
    EXPECT_EQ(told[2].count, 30u);
}

TEST_F(HistoryStoreTest, ADamagedPageFoundByAReaderCostsItsRowsNotTheHistory) {
    open();
    constexpr int kRows = 5000;
    auto text = [](std::int64_t i) { return "row " + std::to_string(i) + " word" + std::to_string(i % 50) + " end"; };
    for (int i = 0; i < kRows; ++i) history->record(in(i % 3 ? "ann" : "bob", text(i)));
    history->setRetentionDays(400);
    ASSERT_TRUE(history->flush());
    history.reset();
    // 4 KB of random bytes over a page of messages in the middle.
    auto bytes = readBytes(dir / "History.db");
    const auto at = bytes.find(text(kRows / 2));
    ASSERT_NE(at, std::string::npos);
    std::mt19937 random(7);
    for (std::size_t i = at - 1000; i < at + 3096; ++i) bytes[i] = static_cast<char>(random());
    writeBytes(dir / "History.db", bytes);

    auto o = options();
    o.checkEveryMs = 1LL << 50;  // no check at this start: the damage goes unseen until read
    open(o);
    history->record(in("carl", "while damaged"));
    ASSERT_TRUE(history->flush());
    EXPECT_EQ(history->generation(), 0u);
    auto reader = history->openReader();
    ASSERT_TRUE(reader);
    EXPECT_THROW(reader->rows({}), sql::Error);
    // The reader's first damage has the writer check the file and salvage it.
    ASSERT_TRUE(history->flush());
    EXPECT_EQ(history->generation(), 1u);
    history->record(in("carl", "after"));
    const auto rows = all();
    std::size_t whole = 0;
    for (const auto& r : rows) whole += r.entry.text == text(r.id - 1);  // under its own id
    EXPECT_GE(whole, kRows * 9 / 10);
    EXPECT_LT(whole, static_cast<std::size_t>(kRows));
    EXPECT_EQ(texts({rows.end() - 2, rows.end()}), (std::vector<std::string>{"while damaged", "after"}));
    EXPECT_GT(rows.back().id, kRows + 1);
    // Its indexes are built anew: a search finds every row that came back.
    std::size_t word7 = 0;
    for (const auto& r : rows) word7 += r.entry.text.find(" word7 ") != std::string::npos;
    EXPECT_GT(word7, 0u);
    EXPECT_EQ(find("word7").size(), word7);
    EXPECT_EQ(all(Filter{Scope::person("bob")}).size() + all(Filter{Scope::person("ann")}).size() + 2, rows.size());
    {
        HistoryStore fresh(dir / "History.db", HistoryStore::Mode::ReadOnly);
        auto check = fresh.connection().prepare("PRAGMA integrity_check");
        ASSERT_TRUE(check.step());
        EXPECT_EQ(check.text(0), "ok");
    }
    EXPECT_EQ(history->retentionDays(), 400);  // the settings came along
    // The damaged file is kept as it was found.
    std::filesystem::path aside;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        if (e.path().extension() == ".db" && e.path().filename().string().rfind("History.damaged-", 0) == 0)
            aside = e.path();
    ASSERT_FALSE(aside.empty());
    std::lock_guard lock(noticeMutex);
    ASSERT_EQ(codes, std::vector<Notice::Code>{Notice::Code::Salvaged});
    EXPECT_EQ(notices[0].find(aside.filename().string()) != std::string::npos, true);
}

TEST_F(HistoryStoreTest, WhatASenderWithoutAVerifiedKeyCostsIsBounded) {
    auto o = options();
    o.unverified = SenderLimit::Limits{};  // as shipped: 10 a second each, 100 in all
    open(o);
    // A long text is kept to its beginning, cut between characters, and marked.
    std::string longText;
    while (longText.size() < 65000) longText += "caf\xC3\xA9 ";
    auto big = in("bob", longText);
    big.trust = HistoryTrust::Signed;
    history->record(big);
    for (int i = 0; i < 25; ++i) {
        history->record(in("mallory", "spam " + std::to_string(i), HistoryKind::Chat));
        auto unsigned_ = in("Carl", "unsigned " + std::to_string(i));
        unsigned_.trust = HistoryTrust::NotVerified;
        history->record(unsigned_);
        for (const auto trust : {HistoryTrust::Signed, HistoryTrust::Encrypted}) {
            auto checked = in("bob", "checked " + std::to_string(i));
            checked.trust = trust;
            history->record(checked);
        }
        history->record(out("mallory", "ours " + std::to_string(i)));
    }
    clock += 1500;  // a second without a line refused: the counts become rows
    ASSERT_TRUE(history->flush());

    const auto rows = all();
    const auto& kept = rows.front().entry;
    EXPECT_LE(kept.text.size(), 8192u);
    EXPECT_GT(kept.text.size(), 8000u);
    EXPECT_EQ(kept.bytes, longText.size());
    const std::string mark = "\xE2\x80\xA6";
    ASSERT_EQ(kept.text.substr(kept.text.size() - mark.size()), mark);
    const auto head = kept.text.substr(0, kept.text.size() - mark.size());
    EXPECT_EQ(longText.substr(0, head.size()), head);
    EXPECT_NE(static_cast<unsigned char>(head.back()), 0xC3);  // no half character
    std::map<std::string, int> per;
    std::vector<HistoryEntry> notKept;
    for (const auto& r : rows) {
        if (r.entry.kind == HistoryKind::NotKept) notKept.push_back(r.entry);
        else ++per[(r.entry.outgoing ? "out " : "in ") + r.entry.peer];
    }
    EXPECT_EQ(per["in mallory"], 10);
    EXPECT_EQ(per["in Carl"], 10);
    EXPECT_EQ(per["in bob"], 51);
    EXPECT_EQ(per["out mallory"], 25);
    ASSERT_EQ(notKept.size(), 2u);
    std::sort(notKept.begin(), notKept.end(), [](const auto& a, const auto& b) { return a.peer < b.peer; });
    EXPECT_EQ(notKept[0].peer, "Carl");
    EXPECT_EQ(notKept[0].files, 15u);  // lines not kept
    EXPECT_EQ(notKept[1].peer, "mallory");
    EXPECT_EQ(notKept[1].files, 15u);
    EXPECT_EQ(notKept[1].bytes, 15u * 7);  // "spam 10" ... "spam 24"
    // In the sender's conversation, as an earlier build shows an unknown kind.
    EXPECT_EQ(all(Filter{Scope::person("carl")}).back().entry.kind, HistoryKind::NotKept);
}

TEST_F(HistoryStoreTest, TheQueueIsBoundedInBytes) {
    auto o = options();
    std::atomic<bool> hold{true}, holding{false};
    o.beforeWrite = [&](sql::Connection&) {
        holding = true;
        while (hold) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    o.maxQueuedBytes = 100'000;
    open(o);
    while (!holding) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (int i = 0; i < 50; ++i) history->record(in("bob", std::to_string(i) + std::string(8000, 'z')));
    const auto dropped = history->dropped();
    EXPECT_GT(dropped, 30u);
    EXPECT_LT(dropped, 50u);
    hold = false;
    ASSERT_TRUE(history->flush());
    EXPECT_EQ(all().size(), 50 - dropped);
    std::lock_guard lock(noticeMutex);
    EXPECT_EQ(codes, std::vector<Notice::Code>{Notice::Code::NotRecorded});
}

TEST_F(HistoryStoreTest, BelowTheFreeSpaceFloorNothingIsRecordedAndTheUserIsToldOnceEachWay) {
    auto o = options();
    std::atomic<std::uint64_t> free{1ULL << 30};
    o.freeSpace = [&]() -> std::optional<std::uint64_t> { return free.load(); };
    o.freeSpaceFloor = 64 << 20;
    open(o);
    history->record(in("ann", "before"));
    history->record(in("bob", "bob's"));
    ASSERT_TRUE(history->flush());
    free = 10 << 20;
    for (int i = 0; i < 3; ++i) {
        history->record(in("ann", "while the disk is full " + std::to_string(i)));
        ASSERT_TRUE(history->flush());
    }
    history->erase(Scope::person("ann"));  // deleting goes on: it makes room
    free = 70 << 20;                       // above the floor, not a quarter above it
    history->record(in("ann", "still short of room"));
    ASSERT_TRUE(history->flush());
    EXPECT_EQ(texts(all()), std::vector<std::string>{"bob's"});
    free = 1ULL << 30;
    history->record(in("ann", "after"));
    ASSERT_TRUE(history->flush());
    EXPECT_EQ(texts(all()), (std::vector<std::string>{"bob's", "after"}));
    EXPECT_EQ(history->notRecordedForSpace(), 4u);
    std::lock_guard lock(noticeMutex);
    EXPECT_EQ(codes, (std::vector<Notice::Code>{Notice::Code::DiskLow, Notice::Code::DiskRoom}));
}

TEST_F(HistoryStoreTest, AFileDamagedWhereOpeningReadsIsSalvagedWhileRecordingGoesOn) {
    open();
    auto text = [](std::int64_t i) { return "row " + std::to_string(i) + " of many"; };
    for (int i = 0; i < 6000; ++i) history->record(in("ann", text(i)));
    ASSERT_TRUE(history->flush());
    history.reset();
    // The newest rows' page: opening reads it for the next id.
    const auto file = dir / "History.db";
    auto bytes = readBytes(file);
    const auto at = bytes.rfind(text(5999));
    ASSERT_NE(at, std::string::npos);
    for (std::size_t i = at / 4096 * 4096; i < at / 4096 * 4096 + 4096; ++i) bytes[i] = static_cast<char>(i % 251);
    writeBytes(file, bytes);
    {
        // A salvage asked to stop leaves the file as it was, and nothing beside it.
        const auto stopped = HistoryStore::salvage(file, [] { return true; });
        EXPECT_TRUE(stopped.stopped);
        EXPECT_FALSE(stopped.replaced);
        EXPECT_EQ(readBytes(file), bytes);
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            EXPECT_EQ(e.path().filename().string().rfind("History.db", 0), 0u) << e.path();  // and its journal
        EXPECT_FALSE(std::filesystem::exists(dir / "History.db.salvage"));
    }
    open();
    ASSERT_TRUE(history->usable());
    history->record(in("bob", "while it is salvaged"));
    ASSERT_TRUE(history->flush());
    history->record(in("bob", "after"));
    const auto rows = all();
    ASSERT_GT(rows.size(), 5000u);
    EXPECT_EQ(texts({rows.end() - 2, rows.end()}), (std::vector<std::string>{"while it is salvaged", "after"}));
    for (std::size_t i = 0; i + 2 < rows.size(); ++i) EXPECT_EQ(rows[i].entry.text, text(rows[i].id - 1));
    EXPECT_GT(rows[rows.size() - 2].id, rows[rows.size() - 3].id);  // after what was saved, never in its place
    std::lock_guard lock(noticeMutex);
    EXPECT_EQ(codes, std::vector<Notice::Code>{Notice::Code::Salvaged});
}
