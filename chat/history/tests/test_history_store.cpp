// The history on disk: what goes in comes back, searches find what they
// should (and hostile ones nothing worse), deleting leaves nothing behind,
// a damaged file is kept aside and a full disk loses nothing it need not.
#include "History.h"
#include "HistoryStore.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
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
    std::unique_ptr<History> history;

    History::Options options() {
        History::Options o;
        o.clock = [this] { return clock.load(); };
        return o;
    }
    void open(History::Options o) {
        history = std::make_unique<History>(dir.path(), std::move(o));
        history->setNotices([this](const std::string& n) {
            std::lock_guard lock(noticeMutex);
            notices.push_back(n);
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
    f.scope = Scope::person("Ann");
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"a1", "a2", "to both"}));
    f.scope = Scope::everybody();
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"pub from ann", "pub from us"}));
    f.scope = Scope::group("ann|bob|");
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"to both", "to both"}));
    f.scope = Scope::with("ann");
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"a1", "a2", "pub from ann", "to both"}));
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
    EXPECT_EQ(texts(find("both OR b1", f)), (std::vector<std::string>{"to both", "b1"}));

    history->flush();
    const auto convs = history->openReader()->conversations();
    ASSERT_EQ(convs.size(), 4u);
    EXPECT_EQ(convs[0].scope, Scope::person("bob"));  // the most recent first
    EXPECT_EQ(convs[0].title, "bob");
    bool group = false;
    for (const auto& c : convs)
        if (c.scope.type == Scope::Type::Group) {
            group = true;
            EXPECT_EQ(c.title, "ann, bob");
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
    EXPECT_EQ(texts(all(f)), (std::vector<std::string>{"a1", "to ann and carl", "to ann and carl", "a2", "a3"}));
    f.scope = Scope::with("anna");
    EXPECT_EQ(all(f).size(), 6u);
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
    EXPECT_NE(history->openNotice().find("damaged"), std::string::npos) << history->openNotice();
    std::filesystem::path aside;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        if (e.path().filename().string().rfind("History.damaged-", 0) == 0) aside = e.path();
    ASSERT_FALSE(aside.empty());
    EXPECT_NE(history->openNotice().find(aside.filename().string()), std::string::npos);
    EXPECT_EQ(readBytes(aside), garbage);  // kept, byte for byte
    history->record(in("ann", "works again"));
    EXPECT_EQ(all().size(), 1u);
}

TEST_F(HistoryStoreTest, DamageFoundByTheDailyCheckAlsoStartsANewFile) {
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
    EXPECT_EQ(texts(all()), (std::vector<std::string>{"after"}));
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
    ASSERT_EQ(notices.size(), 3u) << ::testing::PrintToString(notices);
    EXPECT_NE(notices[0].find("cannot be written"), std::string::npos);
    EXPECT_NE(notices[1].find("written again"), std::string::npos);
    EXPECT_NE(notices[2].find("30 messages were not recorded"), std::string::npos);
}
