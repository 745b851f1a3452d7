// How the history reads in windows: which conversation a list of names is,
// times, lines of ours kept once per member shown once, and the export.
#include "ConversationList.h"
#include "HistoryView.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace lanyx;
using namespace lanyx::ui;
using lanyx::history::HistoryRow;
using lanyx::history::Scope;

namespace {
HistoryRow row(std::int64_t id, const std::string& peer, const std::string& text, bool out, std::int64_t t,
               const std::string& chat = {}) {
    HistoryRow r;
    r.id = id;
    r.entry.peer = peer;
    r.entry.text = text;
    r.entry.outgoing = out;
    r.entry.timeMs = t;
    r.entry.chat = chat;
    r.entry.kind = HistoryKind::PrivateChat;
    return r;
}
}  // namespace

TEST(HistoryView, AListOfNamesIsOneConversation) {
    EXPECT_EQ(ScopeOfList("", "ann"), Scope::all());
    EXPECT_EQ(ScopeOfList("ann|", "ann"), Scope::all());  // only ourselves
    EXPECT_EQ(ScopeOfList("ann|Bob|", "ann"), Scope::person("bob"));
    EXPECT_EQ(ScopeOfList("ANN|bob|BOB|", "ann"), Scope::person("bob"));
    EXPECT_EQ(ScopeOfList("ann|carl|Bob|", "ann"), Scope::group("bob|carl|"));
    EXPECT_EQ(ScopeOfList("bob|(All)|", "ann"), Scope::everybody());
    EXPECT_EQ(ScopeOfList("(all)|", "ann"), Scope::everybody());
}

TEST(HistoryView, ALineToSeveralIsShownOnce) {
    const std::int64_t t = 1'700'000'000'000;
    std::vector<HistoryRow> rows{
        row(1, "bob", "hi both", true, t, "bob|carl|"),
        row(2, "carl", "hi both", true, t + 3, "bob|carl|"),
        row(3, "bob", "hi both", false, t + 10, "bob|carl|"),   // bob's own, the same words
        row(4, "bob", "hi both", true, t + 5000, "bob|carl|"),  // typed again later
        row(5, "carl", "hi both", true, t + 5001, "bob|carl|"),
        row(6, "dora", "hi both", true, t + 5002, ""),  // no chat: not folded
        row(7, "erin", "hi both", true, t + 5003, ""),
    };
    std::vector<std::int64_t> ids;
    for (const auto& r : CollapseGroupSends(rows)) ids.push_back(r.id);
    EXPECT_EQ(ids, (std::vector<std::int64_t>{1, 3, 4, 6, 7}));
}

TEST(HistoryView, TimesReadShortForTodayAndInFullForLongAgo) {
    setenv("TZ", "UTC0", 1);
    tzset();
    const std::int64_t now = 1714548600000;  // Wed 2024-05-01 07:30
    EXPECT_EQ(WhenText(now - 3600'000, now), "06:30");
    EXPECT_EQ(WhenText(now - 2LL * 86400'000, now), "Mon 07:30");
    EXPECT_EQ(WhenText(now - 30LL * 86400'000, now), "2024-04-01 07:30");
    EXPECT_EQ(WhenText(now + 2LL * 86400'000, now), "2024-05-03 07:30");  // a clock that was wrong
}

TEST(HistoryView, ResultsSayWhoToWhomAndWhatBecameOfOurs) {
    setenv("TZ", "UTC0", 1);
    tzset();
    const std::int64_t now = 1714548600000;
    auto r = row(1, "bob", "see you", true, now);
    r.entry.delivery = HistoryDelivery::NotConfirmed;
    EXPECT_EQ(ResultText(r, "ann", now), "07:30  ann \xE2\x86\x92 bob: see you  [not confirmed]");
    auto pub = row(2, "dora", "fire drill", false, now);
    pub.entry.kind = HistoryKind::Alert;
    pub.entry.trust = HistoryTrust::NotVerified;
    EXPECT_EQ(ResultText(pub, "ann", now), "07:30  dora \xE2\x86\x92 (All): (not verified) (alert) fire drill");
    auto file = row(3, "bob", "a.txt", false, now);
    file.entry.kind = HistoryKind::TransferFailed;
    file.entry.files = 1;
    file.entry.bytes = 1;
    EXPECT_EQ(ResultText(file, "ann", now), "07:30  bob: (transfer-failed) a.txt: 1 file, 1 byte");
}

TEST(HistoryView, AnExportHoldsDateTimeSenderAndText) {
    setenv("TZ", "UTC0", 1);
    tzset();
    const auto t = TranscriptOf({row(1, "bob", "hi", false, 1714548600000),
                                 row(2, "bob", "hello", true, 1714548660000)},
                                "ann", [](const std::string& name) { return name == "bob" ? 255u : 0u; });
    EXPECT_EQ(t.PlainText(), "2024-05-01 07:30:00 bob:\thi\r\n2024-05-01 07:31:00 ann:\thello\r\n");
    EXPECT_NE(t.Rtf().find("\\red255\\green0\\blue0"), std::string::npos);
}

TEST(HistoryView, TheConversationListHoldsEveryConversationThenTheUsersAwayWithNone) {
    using history::Conversation;
    const auto conv = [](Scope scope, std::string title, std::int64_t time) {
        Conversation c;
        c.scope = std::move(scope);
        c.title = std::move(title);
        c.lastTimeMs = time;
        c.lastText = "last";
        return c;
    };
    const std::vector<Conversation> kept{conv(Scope::group("#0123abcd"), "bob, carl", 30),
                                         conv(Scope::person("bob"), "Bob", 20),
                                         conv(Scope::group("carl|dora|"), "carl, dora", 15),
                                         conv(Scope::everybody(), "(All)", 10)};
    const auto items = ListConversations(kept, {"zoe", "BOB", "ann"}, {{"#0123abcd", 3}, {"bob", 1}});
    struct Want {
        ConversationItem::Kind kind;
        std::string key, list, roomId;
        int unread;
        bool away;
    };
    using K = ConversationItem::Kind;
    const std::vector<Want> want{
        {K::Chat, "#0123abcd", "", "0123abcd", 3, false},  // a shared chat opens by its id
        {K::Person, "bob", "Bob|", "", 1, true},           // away: written to, it waits
        {K::Chat, "carl|dora|", "carl|dora|", "", 0, false},
        {K::Everybody, "(all)", "(All)|", "", 0, false},
        {K::Person, "ann", "ann|", "", 0, true},  // away with nothing kept: after them, by name
        {K::Person, "zoe", "zoe|", "", 0, true},
    };
    ASSERT_EQ(items.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(want[i].key);
        EXPECT_EQ(items[i].kind, want[i].kind);
        EXPECT_EQ(items[i].key, want[i].key);
        EXPECT_EQ(items[i].list, want[i].list);
        EXPECT_EQ(items[i].roomId, want[i].roomId);
        EXPECT_EQ(items[i].unread, want[i].unread);
        EXPECT_EQ(items[i].away, want[i].away);
    }
}
