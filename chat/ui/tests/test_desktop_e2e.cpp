// The desktop program on a simulated segment under a virtual display:
// an alert from lanyx-cli pops up, a chat line opens a chat window.
#include "VirtualDisplay.h"
#include "e2e/Segment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace lanyx::e2e;

namespace {

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// `chat`: a chat window, whose title starts with its members' names.
bool waitForWindow(const std::string& display, const std::string& title, int timeoutMs, bool chat = false) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (run("DISPLAY=" + display + " xwininfo -root -tree 2>/dev/null")
                .find((chat ? " - " : "\"") + title + "\"") != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// The desktop program as "ann" on host 0 of a simulated segment, under a
// virtual display of its own.
class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (run("command -v Xvfb >/dev/null && command -v xwininfo >/dev/null && echo ok").find("ok") ==
            std::string::npos)
            GTEST_SKIP() << "Xvfb or xwininfo missing: cannot look at the desktop program's windows";
        char tmpl[] = "/tmp/lanyx-desk-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        xvfb = std::make_unique<lanyx::test::VirtualDisplay>();
        if (!xvfb->ok()) GTEST_SKIP() << xvfb->why();
        display = xvfb->name();
    }
    void TearDown() override {
        if (desktop) {
            desktop->signal(SIGTERM);
            desktop->wait(10000);
        }
        xvfb.reset();
        std::error_code ec;
        if (!root.empty()) std::filesystem::remove_all(root, ec);
    }
    std::vector<std::string> on(int host, std::vector<std::string> args) {
        auto argv = segment.on(host);
        argv.insert(argv.end(), args.begin(), args.end());
        for (auto& o : segment.broadcastOptions()) argv.push_back(o);
        return argv;
    }
    // A lanyx-cli copy on a host, run to its end.
    int cli(int host, const std::string& name, std::vector<std::string> args) {
        std::filesystem::create_directories(root / name);
        std::vector<std::string> argv{LANYX_CLI, "--dir", (root / name).string(), "--name", name};
        argv.insert(argv.end(), args.begin(), args.end());
        Process p(on(host, argv), (root / (name + ".out")).string(), (root / (name + ".err")).string());
        return p.wait(20000);
    }
    // Starts ann and waits until another copy lists her.
    // With `asUser`, without the privilege to force a large receive buffer.
    void startAnn(std::vector<std::string> env = {}, bool asUser = false) {
        std::filesystem::create_directories(root / "ann");
        std::vector<std::string> args{"env", "DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"};
        if (asUser && geteuid() == 0 && access("/usr/bin/setpriv", X_OK) == 0)
            args.insert(args.begin(), {"/usr/bin/setpriv", "--bounding-set", "-net_admin"});
        args.insert(args.end(), env.begin(), env.end());
        args.insert(args.end(),
                    {LANYX_DESKTOP, "--dir", (root / "ann").string(), "--name", "ann", "--probe-ms", "1500"});
        desktop = std::make_unique<Process>(on(0, args), (root / "ann.out").string(), (root / "ann.err").string());
        // Without a notification area the main window shows itself.
        ASSERT_TRUE(waitForWindow(display, "Lanyx", 15000)) << readFile((root / "ann.err").string());
        bool joined = false;
        for (int i = 0; i < 10 && !joined; ++i) {
            cli(1, "zed", {"--probe-ms", "500", "--wait-ms", "500", "who"});
            joined = readFile((root / "zed.out").string()).find("ann\t") != std::string::npos;
        }
        ASSERT_TRUE(joined) << readFile((root / "ann.err").string());
    }

    SimulatedSegment segment{3};
    std::filesystem::path root;
    std::string display;
    std::unique_ptr<lanyx::test::VirtualDisplay> xvfb;
    std::unique_ptr<Process> desktop;
};

}  // namespace

TEST_F(Desktop, AlertPopsUpAndChatLineOpensAChatWindow) {
    startAnn();
    EXPECT_EQ(cli(1, "bob", {"--probe-ms", "800", "alert", "--to", "ann", "disk full"}), 0);
    // The popup's caption is the sender's name.
    EXPECT_TRUE(waitForWindow(display, "bob", 5000));

    EXPECT_EQ(cli(2, "carl", {"--probe-ms", "800", "chat", "--to", "ann", "hello"}), 0);
    EXPECT_TRUE(waitForWindow(display, "Chating - Lanyx", 5000, true));

    desktop->signal(SIGTERM);
    EXPECT_EQ(desktop->wait(10000), 0);
    desktop.reset();
    const auto log = readFile((root / "ann" / "Log.txt").string());
    EXPECT_NE(log.find("New chat window opened"), std::string::npos);
    EXPECT_NE(log.find("Lanyx unloaded"), std::string::npos);
}

// A thousand present peers answer at once while a chat window is open:
// every one is listed (the status line counts the roster).
TEST_F(Desktop, ABurstOfPeersIsListedWithAChatWindowOpen) {
    if (!segment.namespaces()) GTEST_SKIP() << "no network namespaces: a burst would reach the real network";
    startAnn({"LANYX_PRINT_STATUS=1"}, true);
    ASSERT_EQ(cli(2, "carl", {"--probe-ms", "800", "chat", "--to", "ann", "hello"}), 0);
    ASSERT_TRUE(waitForWindow(display, "Chating - Lanyx", 5000, true));
    std::size_t peers = 1000;
    if (const char* n = std::getenv("LANYX_BURST_PEERS")) peers = std::strtoul(n, nullptr, 10);
    std::vector<std::string> storm{LANYX_STORM, "--burst", std::to_string(peers), "--prefix", "peer", "--no-leave"};
    Process burst(on(1, storm), (root / "burst.out").string(), (root / "burst.err").string());
    ASSERT_EQ(burst.wait(60000), 0) << readFile((root / "burst.err").string());
    // ann, zed, carl (the copies that left are gone) and every peer.
    const std::string expected = "\t " + std::to_string(peers + 1) + " users online";
    bool all = false;
    for (int i = 0; i < 100 && !all; ++i) {
        all = readFile((root / "ann.out").string()).find(expected) != std::string::npos;
        if (!all) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const auto out = readFile((root / "ann.out").string());
    EXPECT_TRUE(all) << "last status: "
                     << out.substr(out.rfind("status\t") == std::string::npos ? 0 : out.rfind("status\t"));
}

// A storm of newcomers, paced at 20,000 a second, while a chat window is
// open: all are listed, a presence follows the last of them, and a further
// newcomer afterwards is answered (lanyx-storm's exit status says both).
TEST_F(Desktop, AStormOfNewcomersIsListedAndAnsweredWithAChatWindowOpen) {
    if (!segment.namespaces()) GTEST_SKIP() << "no network namespaces: a storm would reach the real network";
    startAnn({"LANYX_PRINT_STATUS=1"}, true);
    ASSERT_EQ(cli(2, "carl", {"--probe-ms", "800", "chat", "--to", "ann", "hello"}), 0);
    ASSERT_TRUE(waitForWindow(display, "Chating - Lanyx", 5000, true));
    std::size_t peers = 2000;
    if (const char* n = std::getenv("LANYX_STORM_PEERS")) peers = std::strtoul(n, nullptr, 10);
    Process storm(on(1, {LANYX_STORM, "--peers", std::to_string(peers), "--node", "ann", "--prefix", "new", "--rate",
                         "20000", "--timeout-ms", "10000", "--no-leave"}),
                  (root / "storm.out").string(), (root / "storm.err").string());
    EXPECT_EQ(storm.wait(90000), 0) << readFile((root / "storm.out").string())
                                    << readFile((root / "storm.err").string());
    std::cout << readFile((root / "storm.out").string());
    // ann, every newcomer and the further one.
    const std::string expected = "\t " + std::to_string(peers + 2) + " users online";
    bool all = false;
    for (int i = 0; i < 100 && !all; ++i) {
        all = readFile((root / "ann.out").string()).find(expected) != std::string::npos;
        if (!all) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const auto out = readFile((root / "ann.out").string());
    EXPECT_TRUE(all) << "last status: "
                     << out.substr(out.rfind("status\t") == std::string::npos ? 0 : out.rfind("status\t"));
}

// Peers whose presence ann lost (they stay silent until asked) come back
// with Window > Refresh (F5), pressed as a user would.
TEST_F(Desktop, RefreshBringsBackPeersWhosePresenceWasLost) {
    if (!segment.namespaces()) GTEST_SKIP() << "no network namespaces";
    if (run("command -v xdotool >/dev/null && echo ok").find("ok") == std::string::npos)
        GTEST_SKIP() << "xdotool missing: cannot press F5 in the desktop program";
    startAnn({"LANYX_PRINT_STATUS=1"});
    Process lost(on(1, {LANYX_STORM, "--burst", "20", "--answer-only", "--prefix", "lost", "--timeout-ms", "15000",
                        "--no-leave"}),
                 (root / "lost.out").string(), (root / "lost.err").string());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    auto status = [&] {
        const auto out = readFile((root / "ann.out").string());
        const auto at = out.rfind("status\t");
        return at == std::string::npos ? std::string() : out.substr(at, out.find('\n', at) - at);
    };
    EXPECT_EQ(status(), "status\t 1 user online (-0)");  // only ann herself
    const std::string key = "DISPLAY=" + display +
                            " xdotool search --onlyvisible --name '^Lanyx$' windowfocus --sync key F5 2>&1";
    bool back = false;
    for (int i = 0; i < 50 && !back; ++i) {
        if (i % 10 == 0) run(key);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        back = status().find(" 21 users online") != std::string::npos;
    }
    EXPECT_TRUE(back) << status() << "\n" << readFile((root / "lost.out").string());
    lost.signal(SIGTERM);
    lost.wait(3000);
}

// A Wayland session with XWayland (the virtual display stands in for it):
// without QT_QPA_PLATFORM of the user's, the program runs through X, where
// its popup can place itself.
TEST_F(Desktop, OnAWaylandSessionItRunsThroughXWaylandByDefault) {
    startAnn({"QT_QPA_PLATFORM=", "XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-none"});
    EXPECT_NE(readFile((root / "ann.err").string()).find("running through XWayland"), std::string::npos);
    EXPECT_EQ(cli(1, "bob", {"--probe-ms", "800", "alert", "--to", "ann", "placed"}), 0);
    EXPECT_TRUE(waitForWindow(display, "bob", 5000));
}
