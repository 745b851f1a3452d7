// A forger on the segment: valid announcements and signatures under his own
// key, made from the datagrams as they travel, against copies with keys
// that talk over real UDP on a simulated segment.
#include "Segment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

using namespace lanyx::e2e;

namespace {

std::string lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> linesOf(const std::string& text);

// Whether the file of known keys holds a key for the name, in the layout of
// this build ("key", name, ...) or of earlier ones (name, key, key).
bool pinnedIn(const std::string& fileText, const std::string& name) {
    for (const auto& line : linesOf(lower(fileText)))
        if (line.rfind(lower(name) + "\t", 0) == 0 || line.rfind("key\t" + lower(name) + "\t", 0) == 0) return true;
    return false;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

class ForgerEndToEnd : public SegmentTest {
protected:
    // The eavesdropper's capture: a copy that knows only the common commands.
    Process& capture(int host) {
        std::vector<std::string> argv{LANYX_RAWPEER, "peer", "rex"};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        return run(host, "rex", argv);
    }
    // lanyx-cli on the data folder of `name`, output under `tag`; `prefix`
    // runs it through another program (faketime).
    Process& copy(int host, const std::string& tag, const std::string& name, std::vector<std::string> args,
                  std::vector<std::string> prefix = {}) {
        std::filesystem::create_directories(root_ / name);
        std::vector<std::string> argv = prefix;
        argv.insert(argv.end(), {LANYX_CLI, "--dir", (root_ / name).string(), "--name", name, "--probe-ms", "1500"});
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        argv.insert(argv.end(), args.begin(), args.end());
        return run(host, tag, argv);
    }
    Process& forger(int host, std::vector<std::string> args) {
        std::vector<std::string> argv{LANYX_FORGER, "--key", (root_ / "forger.key").string()};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        argv.insert(argv.end(), args.begin(), args.end());
        return run(host, "forger" + std::to_string(forgeries_++), argv);
    }
    void forge(int host, std::vector<std::string> args) {
        auto& p = forger(host, std::move(args));
        ASSERT_EQ(p.wait(20000), 0) << err("forger" + std::to_string(forgeries_ - 1));
    }
    void rawSend(int host, const std::vector<std::string>& datagrams) {
        std::vector<std::string> argv{LANYX_RAWPEER, "send"};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        argv.insert(argv.end(), datagrams.begin(), datagrams.end());
        auto& p = run(host, "send" + std::to_string(sends_++), argv);
        ASSERT_EQ(p.wait(5000), 0);
    }
    void stop(Process& p) {
        p.signal(SIGTERM);
        ASSERT_EQ(p.wait(10000), 0);
    }
    std::string file(const std::string& name, const char* what) { return (root_ / name / what).string(); }
    // Both copies listen until bob has ann's key in his file.
    void annAndBobMeet(Process*& ann, Process*& bob) {
        ann = &copy(0, "ann", "ann", {"listen"});
        bob = &copy(1, "bob", "bob", {"listen"});
        ASSERT_TRUE(waitForText(file("bob", "KnownKeys.txt"), "ann\t", 15000)) << readFile(out("bob")) << err("bob");
    }
    bool usable() const { return segment_->usable(); }
    int forgeries_ = 0;
    int sends_ = 0;
};

#define REQUIRE_SEGMENT()                                                                           \
    do {                                                                                            \
        if (!segment_->usable()) GTEST_SKIP() << "no network namespaces and no loopback broadcast"; \
    } while (0)

}  // namespace

// A forged announcement under a pinned name (any host can make one) once
// put the name in "key changed", and the next private line went out as a
// plain "P/".
TEST_F(ForgerEndToEnd, AForgedAnnouncementNeverTurnsEncryptionOff) {
    REQUIRE_SEGMENT();
    auto& rex = capture(2);
    Process *ann = nullptr, *bob = nullptr;
    annAndBobMeet(ann, bob);
    stop(*bob);
    stop(*ann);
    // While bob starts and sends, the forger keeps announcing his key as ann's.
    auto& f = forger(2, {"--repeat-ms", "100", "--for-ms", "6000", "announce", "ann"});
    auto& send = copy(1, "bob-send", "bob", {"alert", "--to", "ann", "the vault code is 4711"});
    const int status = send.wait(30000);
    f.wait(10000);
    stop(rex);
    const auto captured = readFile(out("rex"));
    EXPECT_EQ(captured.find("4711"), std::string::npos) << captured;
    EXPECT_EQ(captured.find("bob|P/"), std::string::npos);
    // Refused, and said why: nothing left for ann.
    EXPECT_NE(status, 0);
    EXPECT_NE(err("bob-send").find("ann's key changed"), std::string::npos) << err("bob-send");
    EXPECT_EQ(readFile(out("bob-send")).find("does not confirm"), std::string::npos);
}

// After our restart, after the peer's leave, or when it is absent: kept
// sealed to the pinned key in bob's folder, never plain, never on the wire
// to nobody; the next copy on that folder gives it to ann when she is back.
TEST_F(ForgerEndToEnd, APrivateLineToAnAbsentPinnedUserWaitsAndGoesSealedWhenSheIsBack) {
    REQUIRE_SEGMENT();
    auto& rex = capture(2);
    Process *ann = nullptr, *bob = nullptr;
    annAndBobMeet(ann, bob);
    stop(*ann);
    stop(*bob);
    auto& send = copy(1, "bob-send", "bob", {"chat", "--to", "ann", "the vault code is 4711"});
    ASSERT_EQ(send.wait(30000), 0) << err("bob-send");
    const auto said = readFile(out("bob-send"));
    EXPECT_NE(said.find("delivery\tann\tqueued"), std::string::npos) << said;
    EXPECT_EQ(said.find("does not confirm"), std::string::npos);
    ASSERT_TRUE(drained(1, out("rex"), "rx "));
    auto before = readFile(out("rex"));
    EXPECT_EQ(before.find("4711"), std::string::npos) << before;
    EXPECT_EQ(before.find("bob|E/ann|"), std::string::npos) << before;
    EXPECT_EQ(before.find("bob|P/"), std::string::npos) << before;
    // bob's copy listens on the folder; ann comes back later.
    auto& bobAgain = copy(1, "bob-again", "bob", {"listen"});
    ASSERT_TRUE(waitForText(out("rex"), "listed bob", 15000)) << err("bob-again");
    auto& annAgain = copy(0, "ann-again", "ann", {"listen"});
    ASSERT_TRUE(waitForText(out("ann-again"), "private-chat\tbob\tthe vault code is 4711", 20000))
        << readFile(out("ann-again")) << err("ann-again");
    ASSERT_TRUE(waitForText(out("bob-again"), "delivery\tann\tencrypted: delivered", 10000))
        << readFile(out("bob-again"));
    stop(annAgain);
    stop(bobAgain);
    stop(rex);
    const auto captured = readFile(out("rex"));
    EXPECT_EQ(captured.find("4711"), std::string::npos) << captured;
    EXPECT_EQ(captured.find("bob|P/"), std::string::npos);
    EXPECT_NE(captured.find("rx bob|E/ann|"), std::string::npos) << captured;
    // Once only, and gone from the folder.
    EXPECT_EQ(count(readFile(out("ann-again")), "the vault code is 4711"), 1u);
    EXPECT_EQ(readFile(file("bob", "Waiting.txt")).find("\nm\t"), std::string::npos);
}

// 100 announcements with names of 65,000 bytes once grew the file of known
// keys past what it reads, and every later start ran without keys.
TEST_F(ForgerEndToEnd, HugeNamesNeitherGrowTheKnownKeysNorTurnKeysOff) {
    REQUIRE_SEGMENT();
    auto& rex = capture(2);
    auto& bob = copy(1, "bob", "bob", {"listen"});
    ASSERT_TRUE(waitForText(out("rex"), "listed bob", 15000)) << err("bob");
    ASSERT_TRUE(waitForText(out("bob"), "join\tbob\t", 15000)) << err("bob");
    forge(0, {"flood-names", "100", "65000"});
    ASSERT_TRUE(drained(0, out("bob"))) << readFile(out("bob"));
    stop(bob);
    std::error_code ec;
    const auto size = std::filesystem::file_size(file("bob", "KnownKeys.txt"), ec);
    EXPECT_TRUE(ec || size < 64 * 1024) << size;
    // The next start has its keys: its datagrams are signed.
    auto& again = copy(1, "bob-again", "bob", {"alert", "still signed"});
    ASSERT_EQ(again.wait(30000), 0) << err("bob-again");
    ASSERT_TRUE(drained(1, out("rex"), "rx "));
    stop(rex);
    const auto captured = readFile(out("rex"));
    EXPECT_NE(captured.find("rx bob|K/"), std::string::npos);
    const auto lines = linesOf(captured);
    bool companion = false;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == "rx bob|M/\\xDFstill signed" && lines[i + 1].rfind("rx bob|G/", 0) == 0) companion = true;
    EXPECT_TRUE(companion) << captured;
    EXPECT_EQ(readFile(file("bob", "Log.txt")).find("without keys"), std::string::npos);
}

// A name heard from a copy without keys (which can never announce one) was
// pinned to the first key announced for it, and the marks then pointed the
// wrong way: the forger verified, the real user's status ignored.
TEST_F(ForgerEndToEnd, ALegacyUsersNameIsNotTakenByTheFirstKeyAnnouncedForIt) {
    REQUIRE_SEGMENT();
    capture(2);  // rex, a copy of the original protocol
    auto& bob = copy(1, "bob", "bob", {"listen"});
    ASSERT_TRUE(waitForText(out("bob"), "join\trex\t", 15000)) << readFile(out("bob")) << err("bob");
    // A name is taken as one without keys once it has been heard for 5 s
    // with none announced: a rule of the copy's own clock, waited out here.
    std::this_thread::sleep_for(std::chrono::milliseconds(6000));
    forge(0, {"announce", "rex"});
    forge(0, {"signed", "rex|M/\\xDFforged, but signed"});
    ASSERT_TRUE(waitForText(out("bob"), "alert\trex\t", 5000)) << readFile(out("bob"));
    rawSend(2, {"rex|S/1"});  // the real rex, unsigned as ever
    ASSERT_TRUE(waitForText(out("bob"), "status\trex\t1", 5000)) << readFile(out("bob"));
    const auto said = readFile(out("bob"));
    EXPECT_EQ(said.find("keys\trex\tverified"), std::string::npos) << said;
    EXPECT_NE(said.find("keys\trex\tconflict"), std::string::npos) << said;
    stop(bob);
    EXPECT_FALSE(pinnedIn(readFile(file("bob", "KnownKeys.txt")), "rex"));
}

// Unsigned datagrams under a pinned name: a box showed with no mark, a
// presence listed an absent user again as if nothing was amiss.
TEST_F(ForgerEndToEnd, UnsignedBoxAndPresenceUnderAPinnedNameAreMarked) {
    REQUIRE_SEGMENT();
    Process *ann = nullptr, *bob = nullptr;
    annAndBobMeet(ann, bob);
    rawSend(2, {"ann|B/please call the bank"});
    ASSERT_TRUE(waitForText(out("bob"), "box\tann\t", 5000)) << readFile(out("bob"));
    EXPECT_TRUE(waitForText(out("bob"), "box\tann\t(not verified) please call the bank", 1000)) << readFile(out("bob"));
    stop(*ann);
    ASSERT_TRUE(waitForText(out("bob"), "leave\tann\t", 5000));
    rawSend(2, {"ann|M/", "ann|C/0", "ann|S/0"});
    ASSERT_TRUE(waitForText(out("bob"), "join\tann\t", 5000));
    EXPECT_TRUE(waitForText(out("bob"), "keys\tann\tnot confirmed", 2000)) << readFile(out("bob"));
}

// A signed alert recorded while the receiver was off was taken hours later
// as verified.
TEST_F(ForgerEndToEnd, ASignedAlertReplayedHoursLaterIsNotVerified) {
    REQUIRE_SEGMENT();
    // libfaketime in the receiver itself (the faketime command would stand
    // between the test and the copy's signals).
    std::string faketime;
    for (const auto& dir : std::filesystem::directory_iterator("/usr/lib")) {
        const auto lib = dir.path() / "faketime" / "libfaketimeMT.so.1";
        if (std::filesystem::exists(lib)) faketime = lib.string();
    }
    if (faketime.empty()) GTEST_SKIP() << "libfaketime is not installed (Debian: faketime)";
    capture(2);
    Process *ann = nullptr, *bob = nullptr;
    annAndBobMeet(ann, bob);
    stop(*bob);
    stop(*ann);
    auto& alert = copy(0, "ann-alert", "ann", {"alert", "meeting moved to 3"});
    ASSERT_EQ(alert.wait(30000), 0) << err("ann-alert");
    ASSERT_TRUE(waitForText(out("rex"), "rx ann|L/", 5000));
    std::vector<std::string> recorded;
    const auto lines = linesOf(readFile(out("rex")));
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == "rx ann|M/\\xDFmeeting moved to 3" && lines[i + 1].rfind("rx ann|G/", 0) == 0)
            recorded = {lines[i].substr(3), lines[i + 1].substr(3)};
    ASSERT_EQ(recorded.size(), 2u) << readFile(out("rex"));
    // bob comes back; his clock says two hours later.
    // A sanitized copy takes the preloaded clock too (its runtime would
    // rather come first).
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string asanOptions = "ASAN_OPTIONS=" + std::string(asan ? asan : "") + (asan && *asan ? ":" : "") +
                                    "verify_asan_link_order=0";
    auto& later = copy(1, "bob-later", "bob", {"listen"},
                       {"env", "LD_PRELOAD=" + faketime, asanOptions, "FAKETIME=+2h",
                        "FAKETIME_DONT_FAKE_MONOTONIC=1"});
    ASSERT_TRUE(waitForText(out("bob-later"), "join\tbob\t", 15000)) << err("bob-later");
    rawSend(2, recorded);
    ASSERT_TRUE(waitForText(out("bob-later"), "alert\tann\t", 5000)) << readFile(out("bob-later"));
    EXPECT_TRUE(waitForText(out("bob-later"), "alert\tann\t(not verified) meeting moved to 3", 1000))
        << readFile(out("bob-later"));
    stop(later);
    EXPECT_NE(readFile(file("bob", "Log.txt")).find("clock"), std::string::npos);
}

// Sequence numbers are microsecond times: a window of the last 64 covered
// 64 µs, and a repeat that came after a newer message was refused.
TEST_F(ForgerEndToEnd, ARepeatThatArrivesAfterANewerMessageIsTakenOnce) {
    REQUIRE_SEGMENT();
    auto& ann = copy(0, "ann", "ann", {"listen"});
    ASSERT_TRUE(waitForText(out("ann"), "network\t", 15000)) << err("ann");
    // The first transmission of the first message is lost; the second
    // message goes at once, and the first one's repeat comes after it.
    auto& bob = copy(1, "bob", "bob", {"--drop-first-private", "alert", "--to", "ann", "--to", "ANN", "twice"});
    ASSERT_EQ(bob.wait(30000), 0) << err("bob");
    const auto said = readFile(out("bob"));
    EXPECT_EQ(count(said, "encrypted: delivered"), 2u) << said;
    EXPECT_EQ(said.find("not confirmed"), std::string::npos) << said;
    ASSERT_TRUE(waitForText(out("ann"), "private-alert\tbob\ttwice", 5000));
    ASSERT_TRUE(drained(1, out("ann")));
    EXPECT_EQ(count(readFile(out("ann")), "private-alert\tbob\ttwice"), 2u) << readFile(out("ann"));
    stop(ann);
    EXPECT_EQ(readFile(file("ann", "Log.txt")).find("Replayed private message"), std::string::npos);
}

// An announcement under a case variant of the own name (or under it while
// the copy probes) pinned a stranger's key to it.
TEST_F(ForgerEndToEnd, NoAnnouncementPinsTheOwnName) {
    REQUIRE_SEGMENT();
    // While bob probes, somebody speaks under his name: bob does not join,
    // and keeps no key for it.
    auto& f = forger(0, {"--repeat-ms", "200", "--for-ms", "4000", "announce", "Bob"});
    auto& refused = copy(1, "bob-refused", "bob", {"listen"});
    EXPECT_EQ(refused.wait(20000), 3) << err("bob-refused");
    f.wait(10000);
    EXPECT_FALSE(pinnedIn(readFile(file("bob", "KnownKeys.txt")), "bob")) << readFile(file("bob", "KnownKeys.txt"));
    // Joined, bob hears case variants of his name announced.
    auto& bob = copy(1, "bob", "bob", {"listen"});
    ASSERT_TRUE(waitForText(out("bob"), "network\t", 15000)) << err("bob");
    forge(0, {"announce", "BOB", "Bob"});
    ASSERT_TRUE(drained(0, out("bob")));
    stop(bob);
    EXPECT_FALSE(pinnedIn(readFile(file("bob", "KnownKeys.txt")), "bob")) << readFile(file("bob", "KnownKeys.txt"));
}
