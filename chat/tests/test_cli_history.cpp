// lanyx-cli history: its options, its dates and times, and its lines, read
// from a real history file, also while the copy that writes it runs.
#include "CliHistory.h"
#include "CliKeys.h"
#include "CliWaiting.h"
#include "Crypto.h"
#include "Outbox.h"
#include "CliPeer.h"
#include "History.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <sstream>

using namespace lanyx;
using namespace lanyx::cli;

namespace {

// The process's time zone for one test.
class Zone {
public:
    explicit Zone(const char* tz) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~Zone() {
        if (old_.empty()) unsetenv("TZ");
        else setenv("TZ", old_.c_str(), 1);
        tzset();
    }

private:
    std::string old_;
};

std::optional<std::string> parse(std::vector<std::string> args, CliOptions& o) {
    return ParseArgs(args, o);
}

HistoryEntry entry(const std::string& peer, const std::string& text, bool out, HistoryKind kind, std::int64_t t) {
    HistoryEntry e;
    e.peer = peer;
    e.text = text;
    e.outgoing = out;
    e.kind = kind;
    e.timeMs = t;
    return e;
}

}  // namespace

TEST(CliHistory, OptionsGoWithTheHistoryCommandOnly) {
    CliOptions o;
    ASSERT_FALSE(
        parse({"history", "--search", "lunch \"fire drill\"", "--with", "Bob", "--since", "2024-05-01", "--limit", "5"},
              o));
    EXPECT_EQ(o.command, "history");
    EXPECT_EQ(o.history.search, "lunch \"fire drill\"");
    EXPECT_EQ(o.history.with, "Bob");
    EXPECT_TRUE(o.history.sinceMs);
    EXPECT_EQ(o.history.limit, 5u);
    CliOptions bare;
    ASSERT_FALSE(parse({"history"}, bare));
    EXPECT_EQ(bare.history.limit, 0u);

    for (const auto& bad : std::vector<std::vector<std::string>>{{"listen", "--search", "x"},
                                                                 {"alert", "--with", "bob", "hi"},
                                                                 {"history", "extra words"},
                                                                 {"history", "--limit", "0"},
                                                                 {"history", "--limit", "-3"},
                                                                 {"history", "--since", "yesterday"},
                                                                 {"history", "--since", "2024-13-01"},
                                                                 {"history", "--since", "2023-02-29"},
                                                                 {"history", "--since", "2024-05-01T25:00"},
                                                                 {"history", "--with", ""},
                                                                 {"history", "--to", "bob"}}) {
        CliOptions x;
        EXPECT_TRUE(parse(bad, x)) << ::testing::PrintToString(bad);
    }
}

TEST(CliHistory, DatesAreLocalUnlessTheySayOtherwise) {
    const Zone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(ParseHistoryDate("2024-05-01"), 1714514400000);        // midnight, summer time (UTC+2)
    EXPECT_EQ(ParseHistoryDate("2024-01-15T09:30"), 1705307400000);  // winter (UTC+1)
    EXPECT_EQ(ParseHistoryDate("2024-01-15 09:30:15"), 1705307415000);
    EXPECT_EQ(ParseHistoryDate("2024-05-01T00:00Z"), 1714521600000);
    EXPECT_EQ(ParseHistoryDate("2024-05-01T09:30+05:30"), 1714536000000);
    EXPECT_EQ(ParseHistoryDate("2024-02-29"), 1709161200000);
    for (const char* bad : {"", "2024", "2024-5-1", "2024-05-01T9:30", "2024-05-01Tnoon", "2024-05-01T09:30+2",
                            "2024-05-01 09:30 ", "2024-00-10", "2024-04-31", "2024-05-01T09:60"})
        EXPECT_FALSE(ParseHistoryDate(bad)) << bad;
    // And back: local time with its offset.
    EXPECT_EQ(IsoTime(1714548600000), "2024-05-01T09:30:00+02:00");
    EXPECT_EQ(IsoTime(1705307415000), "2024-01-15T09:30:15+01:00");
    const Zone west("EST5");
    EXPECT_EQ(IsoTime(1714548600000), "2024-05-01T02:30:00-05:00");
}

TEST(CliHistory, LinesAreFiveFieldsCleanedAsListenCleansThem) {
    const Zone zone("UTC0");
    auto e = entry("b\tob", "line one\nline two\x1b]0;title\x07", false, HistoryKind::PrivateChat, 1714548600000);
    EXPECT_EQ(HistoryLine(e.timeMs, e),
              "2024-05-01T07:30:00+00:00\tin\tb\\x09ob\tprivate-chat\tline one\\x0Aline two\\x1B]0;title\\x07");
    e.trust = HistoryTrust::NotVerified;
    EXPECT_NE(HistoryLine(e.timeMs, e).find("\t(not verified) line one"), std::string::npos);
    auto f = entry("bob", "report.pdf, photos", true, HistoryKind::FileSent, 1714548600000);
    f.files = 2;
    f.bytes = 1053241;
    EXPECT_EQ(HistoryLine(f.timeMs, f),
              "2024-05-01T07:30:00+00:00\tout\tbob\tfile-sent\treport.pdf, photos: 2 files, 1053241 bytes");
    const auto a = entry("(All)", "fire drill", true, HistoryKind::Alert, 1714548600000);
    EXPECT_EQ(HistoryLine(a.timeMs, a), "2024-05-01T07:30:00+00:00\tout\t(All)\talert\tfire drill");
}

TEST(CliHistory, PrintsOldestFirstWhileTheWritingCopyRuns) {
    const Zone zone("UTC0");
    test::TempDir dir;
    std::ostringstream out, err;
    // Nothing kept yet: nothing to print, and that is no error.
    EXPECT_EQ(RunHistory({}, dir.path(), out, err), 0);
    EXPECT_EQ(out.str(), "");

    history::History writer(dir.path());
    writer.record(entry("bob", "lunch on friday?", false, HistoryKind::PrivateChat, 1714548600000));
    writer.record(entry("bob", "yes, lunch", true, HistoryKind::PrivateChat, 1714548660000));
    writer.record(entry("carl", "lunch is off", false, HistoryKind::Chat, 1714635000000));
    writer.record(entry("carl", "private to carl", true, HistoryKind::PrivateAlert, 1714635060000));
    ASSERT_TRUE(writer.flush());

    auto run = [&](HistoryQuery q) {
        out.str({});
        EXPECT_EQ(RunHistory(q, dir.path(), out, err), 0) << err.str();
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string l; std::getline(in, l);) lines.push_back(l.substr(l.rfind('\t') + 1));
        return lines;
    };
    EXPECT_EQ(run({}), (std::vector<std::string>{"lunch on friday?", "yes, lunch", "lunch is off", "private to carl"}));
    HistoryQuery q;
    q.limit = 2;
    EXPECT_EQ(run(q), (std::vector<std::string>{"lunch is off", "private to carl"}));
    q = {};
    q.with = "CARL";  // his private ones and what he said to all
    EXPECT_EQ(run(q), (std::vector<std::string>{"lunch is off", "private to carl"}));
    q = {};
    q.search = "lunch -off";
    EXPECT_EQ(run(q), (std::vector<std::string>{"lunch on friday?", "yes, lunch"}));
    q.limit = 1;
    EXPECT_EQ(run(q), (std::vector<std::string>{"yes, lunch"}));
    q = {};
    q.sinceMs = 1714600000000;
    EXPECT_EQ(run(q), (std::vector<std::string>{"lunch is off", "private to carl"}));
    q = {};
    q.search = "NEAR(lunch";  // the user's text, never index syntax
    EXPECT_EQ(run(q), (std::vector<std::string>{}));

    // What the writer adds meanwhile is there at the next run.
    writer.record(entry("bob", "one more", false, HistoryKind::PrivateChat, 1714700000000));
    ASSERT_TRUE(writer.flush());
    EXPECT_EQ(run({}).back(), "one more");
}

TEST(CliHistory, AFileThatIsNoHistorySaysSoAndFails) {
    test::TempDir dir;
    test::writeBytes(dir / "History.db", std::string(8192, 'x'));
    std::ostringstream out, err;
    EXPECT_EQ(RunHistory({}, dir.path(), out, err), 1);
    EXPECT_NE(err.str().find("cannot be read"), std::string::npos) << err.str();
    // And it is left as it was: a reader never moves or mends anything.
    EXPECT_EQ(test::readBytes(dir / "History.db"), std::string(8192, 'x'));
}

TEST(CliHistory, AKeptAsideFileIsReadPastItsDamagedPage) {
    const Zone zone("UTC0");
    test::TempDir dir;
    auto text = [](int i) { return "line " + std::to_string(i) + " of the day"; };
    {
        history::History writer(dir.path());
        for (int i = 0; i < 3000; ++i) {
            auto e = entry(i % 2 ? "bob" : "carl", text(i), false, HistoryKind::PrivateChat, 1714548600000 + i);
            e.trust = HistoryTrust::Signed;
            writer.record(e);
        }
        ASSERT_TRUE(writer.flush());
    }
    const auto aside = dir / "History.damaged-20240501-093000.db";
    std::filesystem::rename(dir / "History.db", aside);
    auto bytes = test::readBytes(aside);
    const auto at = bytes.find(text(1500));
    ASSERT_NE(at, std::string::npos);
    for (std::size_t i = at - 1000; i < at + 3096; ++i) bytes[i] = static_cast<char>(i * 131 + 7);
    test::writeBytes(aside, bytes);

    struct Case {
        HistoryQuery query;
        std::size_t least, most;  // lines printed
        std::string first, last;
        int status;  // 1: the damaged page was met, said so, and all else printed
    };
    HistoryQuery all, newest, newestPast, withBob;
    all.file = newest.file = newestPast.file = withBob.file = aside.string();
    newest.limit = 10;
    newestPast.limit = 2000;  // reaches back past the damaged page
    withBob.with = "BOB";
    for (const auto& c : std::vector<Case>{{all, 2700, 2999, text(0), text(2999), 1},
                                           {newest, 10, 10, text(2990), text(2999), 0},
                                           {newestPast, 2000, 2000, "", text(2999), 1},
                                           {withBob, 1350, 1499, text(1), text(2999), 1}}) {
        std::ostringstream out, err;
        EXPECT_EQ(RunHistory(c.query, dir.path(), out, err), c.status);
        EXPECT_EQ(err.str().find(aside.string()) != std::string::npos, c.status == 1) << err.str();
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string l; std::getline(in, l);) lines.push_back(l.substr(l.rfind('\t') + 1));
        ASSERT_FALSE(lines.empty());
        EXPECT_GE(lines.size(), c.least);
        EXPECT_LE(lines.size(), c.most);
        if (!c.first.empty()) {
            EXPECT_EQ(lines.front(), c.first);
        }
        EXPECT_EQ(lines.back(), c.last);
        EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(), [&](const std::string& a, const std::string& b) {
            return std::stoi(a.substr(5)) < std::stoi(b.substr(5));
        }));
    }
    EXPECT_EQ(test::readBytes(aside), bytes);  // read, never mended

    CliOptions o;
    ASSERT_FALSE(parse({"history", "--file", aside.string()}, o));
    EXPECT_EQ(o.history.file, aside.string());
    EXPECT_TRUE(parse({"listen", "--file", "x.db"}, o));
    EXPECT_TRUE(parse({"history", "--file"}, o));
    HistoryQuery missing;
    missing.file = (dir / "nothing.db").string();
    std::ostringstream out, err;
    EXPECT_EQ(RunHistory(missing, dir.path(), out, err), 1);
}

// ---- lanyx-cli waiting ------------------------------------------------------

TEST(CliWaiting, ListsWhatWaitsWithoutItsTextAndTakesOneBackOnce) {
    if (!crypto::available()) GTEST_SKIP() << "this build has no cryptographic library: no keys, nothing waits";
    test::TempDir dir;
    auto me = LoadOrCreateIdentity(dir.path());
    ASSERT_TRUE(me.identity);
    const auto ann = Identity::generate();
    PinStore::Pin pin;
    pin.signPublic = ann.signPublic;
    pin.boxPublic = ann.boxPublic;
    std::uint64_t keep = 0, back = 0;
    {
        Outbox box(dir.path(), *me.identity);
        keep = *box.add("ann", HistoryKind::PrivateAlert, "the vault code is 4711", pin, 1'000'000'000'000);
        back = *box.add("ann", HistoryKind::PrivateChat, "never mind", pin, 1'000'000'000'000);
        std::string problem;
        ASSERT_TRUE(box.save(problem)) << problem;
    }
    Zone utc("UTC");
    std::ostringstream out, err;
    EXPECT_EQ(ListWaiting(dir.path(), out, err), 0) << err.str();
    EXPECT_EQ(out.str(),
              std::to_string(keep) + "\tann\tprivate-alert\t2001-09-09T01:46:40+00:00\t2001-09-16T01:46:40+00:00\n" +
                  std::to_string(back) + "\tann\tprivate-chat\t2001-09-09T01:46:40+00:00\t2001-09-16T01:46:40+00:00\n");
    EXPECT_EQ(out.str().find("vault"), std::string::npos);  // ids are random and may hold any digits

    std::ostringstream said;
    EXPECT_EQ(CancelWaiting(dir.path(), back, said, err), 0) << err.str();
    EXPECT_NE(said.str().find("taken back"), std::string::npos);
    EXPECT_EQ(CancelWaiting(dir.path(), back, said, err), kNotMarked);
    std::ostringstream left;
    ListWaiting(dir.path(), left, err);
    EXPECT_EQ(left.str().find(std::to_string(back)), std::string::npos);
    EXPECT_NE(left.str().find(std::to_string(keep)), std::string::npos);

    CliOptions o;
    EXPECT_FALSE(parse({"waiting"}, o));
    EXPECT_EQ(o.cancelWaiting, 0u);
    EXPECT_FALSE(parse({"waiting", "cancel", "42"}, o));
    EXPECT_EQ(o.cancelWaiting, 42u);
    CliOptions bad;
    EXPECT_TRUE(parse({"waiting", "cancel", "x1"}, bad));
    EXPECT_TRUE(parse({"waiting", "cancel"}, bad));
    EXPECT_TRUE(parse({"waiting", "cancel", "99999999999999999999999"}, bad));
}
