// Several copies on one in-memory segment, started and stopped as a user
// would, with simulated time.
#include "Platform.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace lanyx;
using namespace lanyx::test;

namespace {

bool lists(Peer& p, const std::string& name) {
    return p.node.users().findExact(name).has_value();
}
}  // namespace

TEST(Segment, AloneTheProbeWaitsTenSecondsAndJoins) {
    MemorySegment seg;
    Peer ann(seg, "ann");
    const auto t0 = seg.ticks();
    EXPECT_EQ(ann.start(), StartUpResult::Running);
    EXPECT_GE(seg.ticks() - t0, 10000u);
    seg.deliverAll();
    EXPECT_EQ(ann.node.state().MyName, "ann");
    EXPECT_FALSE(ann.node.state().ProbeMode);
    // The own probe row is gone; only the own row is listed.
    EXPECT_EQ(ann.node.users().userCount(), 1u);
    EXPECT_TRUE(lists(ann, "ann"));
    // Probe under "_" + logon name, then the real join with the notice.
    const auto& sent = ann.transport.sent;
    EXPECT_EQ(sent.front(), "_ann|C/0");
    EXPECT_NE(std::find(sent.begin(), sent.end(), "_ann|L/"), sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "ann|M/ann has joined the network"), sent.end());
    const auto log = ann.log();
    EXPECT_NE(log.find("Lanyx loaded\""), std::string::npos);
    EXPECT_NE(log.find("  > Settings and language loaded\""), std::string::npos);
}

TEST(Segment, PeersFindEachOtherAndProbersStayUnlisted) {
    MemorySegment seg;
    Peer ann(seg, "ann"), bob(seg, "bob");
    ASSERT_EQ(ann.start(), StartUpResult::Running);
    ASSERT_EQ(bob.start(), StartUpResult::Running);
    seg.deliverAll();
    EXPECT_TRUE(lists(ann, "bob"));
    EXPECT_TRUE(lists(bob, "ann"));
    EXPECT_FALSE(lists(ann, "_bob"));
    EXPECT_EQ(ann.node.users().userCount(), 2u);
    EXPECT_EQ(bob.node.users().userCount(), 2u);

    bob.startUp.Shutdown();
    seg.deliverAll();
    EXPECT_FALSE(lists(ann, "bob"));
    EXPECT_EQ(ann.rec.removedFromChats, std::vector<std::string>{"bob"});
    EXPECT_NE(bob.log().find("Lanyx unloaded\""), std::string::npos);
}

TEST(Segment, TakenNameRefusedEndsTheProgramWithoutHarmingItsOwner) {
    MemorySegment seg;
    Peer bob(seg, "bob"), other(seg, "BOB", "bobby");
    ASSERT_EQ(bob.start(), StartUpResult::Running);
    EXPECT_EQ(other.start(), StartUpResult::NameRefused);
    seg.deliverAll();
    EXPECT_EQ(other.rec.nameDialogs, 1);
    ASSERT_FALSE(other.rec.boxes.empty());
    // The box says which name is taken.
    EXPECT_EQ(other.rec.boxes[0], NameTakenText(other.node.LangText(8202), "BOB"));
    // The refused copy left under its probe name: bob is still listed everywhere.
    EXPECT_TRUE(lists(bob, "bob"));
    const auto& sent = other.transport.sent;
    EXPECT_EQ(std::find(sent.begin(), sent.end(), "BOB|L/"), sent.end());
    EXPECT_NE(other.log().find("Lanyx unloaded"), std::string::npos);
}

TEST(Segment, TakenNameReplacedContinuesUnderTheNewName) {
    MemorySegment seg;
    Peer bob(seg, "bob"), other(seg, "bob", "bobby");
    other.rec.answerName = "carl";
    ASSERT_EQ(bob.start(), StartUpResult::Running);
    ASSERT_EQ(other.start(), StartUpResult::Running);
    seg.deliverAll();
    EXPECT_EQ(other.node.state().MyName, "carl");
    EXPECT_TRUE(lists(bob, "carl"));
    EXPECT_TRUE(lists(bob, "bob"));
    EXPECT_TRUE(lists(other, "bob"));
    // The name entered is what the settings file keeps.
    other.startUp.Shutdown();
    EXPECT_NE(readBytes(other.dir / "User.ini").find("\"carl\""), std::string::npos);
}

TEST(Segment, AlertsReachTheirRecipientsAndGroupsResolveToPresentMembers) {
    MemorySegment seg;
    Peer ann(seg, "ann"), bob(seg, "Bob"), carl(seg, "carl");
    for (Peer* p : {&ann, &bob, &carl}) ASSERT_EQ(p->start(), StartUpResult::Running);
    seg.deliverAll();

    ann.node.users().setGroups({"team|bob|zed|carl|"});
    EXPECT_EQ(ann.node.users().GetActiveGroupList("(team)"), "Bob|carl|");

    ann.node.SendPrivate("Bob " + A + "disk full");
    seg.deliverAll();
    ASSERT_EQ(bob.rec.items.size(), 1u);
    EXPECT_EQ(bob.rec.items[0].text, "disk full");
    EXPECT_EQ(bob.rec.items[0].sender, "ann");
    EXPECT_TRUE(carl.rec.items.empty());
    EXPECT_TRUE(ann.rec.items.empty());

    ann.node.SendToAll(A + "lunch");
    seg.deliverAll();
    EXPECT_EQ(bob.rec.items.size(), 2u);
    EXPECT_EQ(carl.rec.items.size(), 1u);
    EXPECT_TRUE(ann.rec.items.empty());
}

TEST(Segment, SocketThatCannotOpenStopsStartUpWithTheErrorShown) {
    MemorySegment seg;
    Peer ann(seg, "ann");
    ann.transport.failOpen = true;
    EXPECT_EQ(ann.start(), StartUpResult::Failed);
    EXPECT_NE(ann.log().find("Unable to load: 10048: Address in use"), std::string::npos);
    ASSERT_FALSE(ann.rec.boxes.empty());
    EXPECT_EQ(ann.rec.boxes.back(), ann.node.LangText(8209) + ": 10048: Address in use");
}

TEST(Segment, SecondCopyOnTheSameFolderEndsAtOnce) {
    MemorySegment seg;
    Peer ann(seg, "ann");
    ASSERT_EQ(ann.start(1000), StartUpResult::Running);
    MemoryTransport t(seg);
    Recorder rec;
    NodeConfig c;
    c.dataDir = ann.dir.path();
    c.langFile = shippedLangFile();
    c.logonName = "ann";
    ChatNode second(c, t, rec, rec, seg);
    StartUp st(second, rec, seg);
    EXPECT_EQ(st.run({}), StartUpResult::AnotherInstance);
    // The specified text first; beside it the folder and who holds it.
    ASSERT_EQ(rec.boxes.size(), 1u);
    EXPECT_EQ(rec.boxes[0].rfind("Previous Instance\n", 0), 0u) << rec.boxes[0];
    EXPECT_NE(rec.boxes[0].find(std::filesystem::absolute(ann.dir.path()).string()), std::string::npos);
#ifndef _WIN32  // there the lock file is open to its holder alone
    EXPECT_NE(rec.boxes[0].find(" " + std::to_string(getpid()) + ","), std::string::npos) << rec.boxes[0];
    EXPECT_NE(rec.boxes[0].find(platform::programFile().filename().string()), std::string::npos);
#endif
    EXPECT_TRUE(t.sent.empty());
}

TEST(Segment, StopDuringTheProbeSavesTheUsersNameNotTheProbeName) {
    MemorySegment seg;
    Peer ann(seg, "ann", "annlogon");
    seg.requestStop();
    EXPECT_EQ(ann.start(), StartUpResult::Stopped);
    const auto ini = readBytes(ann.dir / "User.ini");
    EXPECT_EQ(ini.find("_annlogon"), std::string::npos);
    EXPECT_NE(ini.find("\"annlogon\""), std::string::npos);  // --name is for this run only
    EXPECT_EQ(ann.transport.sent.back(), "_annlogon|L/");
}

TEST(Segment, MissingLanguageFileStopsStartUpAndLeavesTheSettingsAlone) {
    MemorySegment seg;
    MemoryTransport t(seg);
    Recorder rec;
    TempDir dir;
    writeBytes(dir / "User.ini", "\"Deutsch\"\r\n");
    NodeConfig c;
    c.dataDir = dir.path();
    c.langFile = dir / "Lang.con";
    c.logonName = "ann";
    ChatNode node(c, t, rec, rec, seg);
    StartUp st(node, rec, seg);
    EXPECT_EQ(st.run({}), StartUpResult::Failed);
    EXPECT_EQ(readBytes(dir / "User.ini"), "\"Deutsch\"\r\n");
    ASSERT_FALSE(rec.boxes.empty());
    EXPECT_EQ(rec.boxes.back().rfind("Lanyx could not start: 53: File not found", 0), 0u);
    st.Shutdown();
    EXPECT_EQ(readBytes(dir / "User.ini"), "\"Deutsch\"\r\n");
}

TEST(Segment, ASealedPrivateMessageIsToldByItsCommandWhateverItsSender) {
    struct Case {
        const char* datagram;
        bool sealed;
    };
    for (const auto& c : {Case{"ann|E/bob|2|AAAA", true}, Case{"ann|e/bob|AAAA", true}, Case{"|E/", true},
                          Case{"ann|R/bob|AAAA", false}, Case{"ann|M/E/bob", false}, Case{"E/bob|AAAA", false},
                          Case{"ann|E", false}, Case{"ann|EE/", false}})
        EXPECT_EQ(secure::IsSealedPrivate(c.datagram), c.sealed) << c.datagram;
}

TEST(Segment, AnEndpointLosesTheNextSealedPrivateMessageItSendsAndNothingElse) {
    MemorySegment seg;
    MemoryTransport ann(seg), bob(seg);
    for (auto* t : {&ann, &bob}) {
        seg.attach(t);
        t->open();
    }
    std::vector<std::string> heard;
    bob.setReceiver([&](std::string_view b) { heard.emplace_back(b); });
    ann.loseNextSealedPrivate();
    for (const auto* d : {"ann|M/hi", "ann|E/bob|first", "ann|R/bob|receipt", "ann|E/bob|second"}) ann.send(d);
    bob.send("bob|E/ann|back");
    seg.deliverAll();
    EXPECT_EQ(heard, (std::vector<std::string>{"ann|M/hi", "ann|R/bob|receipt", "ann|E/bob|second", "bob|E/ann|back"}));
    EXPECT_EQ(ann.allSent, (std::vector<std::string>{"ann|M/hi", "ann|R/bob|receipt", "ann|E/bob|second"}));
}
