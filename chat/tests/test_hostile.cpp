// What anybody on the segment can send: box floods, floods of broken
// datagrams, huge payloads. The node shows one box per sender at a time and
// keeps its log readable.
#include "Cp1252.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::test;

namespace {

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

class Hostile : public ::testing::Test {
protected:
    Hostile() : ann(seg, "ann") {
        ann.joinAs("ann");
        seg.deliverAll();
    }
    void hear(const std::string& bytes) {
        seg.post(bytes);
        seg.deliverAll();
    }
    std::size_t boxes() const {
        std::size_t n = 0;
        for (const auto& i : ann.rec.items) n += i.kind == "box";
        return n;
    }

    MemorySegment seg;
    Peer ann;
};

}  // namespace

TEST_F(Hostile, ABoxFloodOpensOneBoxPerSenderUntilTheUserClosesIt) {
    ann.rec.boxesStayOpen = true;
    for (int i = 0; i < 500; ++i) hear("bob|B/box " + std::to_string(i));
    hear("carl|B/hello");
    EXPECT_EQ(boxes(), 2u);
    EXPECT_TRUE(ann.node.IsBoxOpen("BOB"));
    EXPECT_NE(ann.log().find("Box message from bob not shown"), std::string::npos);

    ann.node.BoxClosed("bob");
    hear("bob|B/after");
    EXPECT_EQ(boxes(), 3u);
    EXPECT_EQ(ann.rec.items.back().text, "after");
    // A box that was never opened closes without harm.
    ann.node.BoxClosed("nobody");
}

TEST_F(Hostile, ABoxFloodUnderEverNewNamesOpensAFewBoxesOnly) {
    ann.rec.boxesStayOpen = true;
    for (int i = 0; i < 200; ++i) hear("sender" + std::to_string(i) + "|B/hello");
    EXPECT_EQ(boxes(), 16u);
    EXPECT_NE(ann.log().find("Box message from sender16 not shown: 16 boxes are open"), std::string::npos);
    ann.node.BoxClosed("sender0");
    hear("late|B/hello");
    EXPECT_EQ(boxes(), 17u);
}

TEST_F(Hostile, AModalBoxTakesNoSecondBoxOfItsSenderWhileItIsUp) {
    // The modal box keeps the events running: a second box message of the
    // same sender arrives while the first box is shown.
    bool nested = false;
    ann.rec.whileBoxShown = [&] {
        if (nested) return;
        nested = true;
        hear("bob|B/second");
        hear("carl|B/other sender");
    };
    hear("bob|B/first");
    ASSERT_EQ(boxes(), 2u);
    EXPECT_EQ(ann.rec.items[0].text, "first");
    EXPECT_EQ(ann.rec.items[1].text, "other sender");
    EXPECT_FALSE(ann.node.IsBoxOpen("bob"));  // closed when the modal box returned
    hear("bob|B/third");
    EXPECT_EQ(boxes(), 3u);
}

TEST_F(Hostile, AFloodOfBrokenDatagramsLogsAFewLinesAndThenASummary) {
    for (int i = 0; i < 1000; ++i) hear("broken datagram without a bar");
    for (int i = 0; i < 100; ++i) hear("bob|S/7");
    auto log = ann.log();
    EXPECT_EQ(count(log, ": " + describe(failure(Reason::NotADatagram))), 20u);
    EXPECT_EQ(count(log, "Unknow Data Receved (bob: 7)"), 20u);
    EXPECT_EQ(count(log, "more lines"), 0u);

    // A minute later the next line brings the count of what was left out.
    seg.runFor(61000);
    hear("x|C");
    log = ann.log();
    EXPECT_NE(log.find("Error Receveing Data: 980 more lines of this kind not logged within a minute"),
              std::string::npos);
    EXPECT_NE(log.find("Unknow Data Receved: 80 more lines of this kind not logged within a minute"),
              std::string::npos);
    EXPECT_EQ(count(log, ": " + describe(failure(Reason::NotADatagram))), 21u);
    // Nothing of it reached the user.
    EXPECT_TRUE(ann.rec.boxes.empty());
    EXPECT_TRUE(ann.rec.items.empty());
}

TEST(HostileFlood, AFloodThatStopsIsAccountedForWhenTheProgramEnds) {
    MemorySegment seg;
    TempDir dir;
    MemoryTransport transport(seg);
    Recorder rec;
    NodeConfig c;
    c.dataDir = dir.path();
    c.langFile = shippedLangFile();
    c.logonName = "bob";
    auto node = std::make_unique<ChatNode>(c, transport, rec, rec, seg);
    for (int i = 0; i < 30; ++i) node->onDatagram("junk");
    const auto log = [&] { return cp1252::toUtf8(readBytes(dir / "Log.txt")); };
    EXPECT_EQ(count(log(), "Error Receveing Data"), 20u);
    node.reset();
    EXPECT_NE(log().find("Error Receveing Data: 10 more lines"), std::string::npos) << log();
}

TEST_F(Hostile, HugePayloadsAreLoggedCutAndControlCharactersStayOnOneLine) {
    hear("bob|M/" + std::string(65000, 'x'));
    hear("bob|M/line\r\nforged record\x01\x1b");
    const auto log = ann.log();
    const auto at = log.find("Unknow Data Receved (bob: xxx");
    ASSERT_NE(at, std::string::npos);
    const auto end = log.find("\r\n", at);
    EXPECT_LT(end - at, 1100u);
    EXPECT_NE(log.find("... (65000 bytes))"), std::string::npos);
    EXPECT_EQ(log.find("\r\nforged"), std::string::npos);
}

TEST_F(Hostile, HighBytesAndCaseTwinsNeverReachTheRoster) {
    // Every byte from 0x80 to 0xFF in a name is a character of the code
    // page; names that differ only in case are refused.
    std::string name = "z";
    for (int b = 0x80; b <= 0xFF; ++b) name.push_back(static_cast<char>(b));
    hear(name + "|C/1");
    hear("Bob|C/2");
    hear("BOB|C/3");
    hear("bOb|S/1");
    const auto& users = ann.node.users();
    ASSERT_TRUE(users.findExact(cp1252::toUtf8(name)));
    EXPECT_EQ(users.user(*users.findExact(cp1252::toUtf8(name))).colour, 1u);
    EXPECT_EQ(users.user(*users.findNoCase("bob")).colour, 2u);
    EXPECT_FALSE(users.findExact("BOB"));
    EXPECT_EQ(users.userCount(), 3u);  // ann, the high-byte name, Bob
}
