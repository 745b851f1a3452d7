// The desktop program on a simulated segment under a virtual display:
// an alert from lanyx-cli pops up, a chat line opens a chat window.
#include "e2e/Segment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
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

bool waitForWindow(const std::string& display, const std::string& title, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (run("DISPLAY=" + display + " xwininfo -root -tree 2>/dev/null").find("\"" + title + "\"") !=
            std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

} // namespace

TEST(DesktopEndToEnd, AlertPopsUpAndChatLineOpensAChatWindow) {
    if (run("command -v Xvfb >/dev/null && command -v xwininfo >/dev/null && echo ok").find("ok") == std::string::npos)
        GTEST_SKIP() << "Xvfb or xwininfo missing: cannot look at the desktop program's windows";
    SimulatedSegment segment(3);
    char tmpl[] = "/tmp/lanyx-desk-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::filesystem::path root = tmpl;
    const std::string display = ":" + std::to_string(200 + getpid() % 500);
    Process xvfb({"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, (root / "xvfb.out").string(),
                 (root / "xvfb.err").string());
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        up = std::filesystem::exists("/tmp/.X11-unix/X" + display.substr(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!up) GTEST_SKIP() << "Xvfb did not start";

    auto on = [&](int host, std::vector<std::string> args) {
        auto argv = segment.on(host);
        argv.insert(argv.begin() + static_cast<long>(argv.size()), args.begin(), args.end());
        for (auto& o : segment.broadcastOptions()) argv.push_back(o);
        return argv;
    };
    std::filesystem::create_directories(root / "ann");
    auto argv = segment.on(0);
    argv.insert(argv.end(), {"env", "DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", LANYX_DESKTOP, "--dir",
                             (root / "ann").string(), "--name", "ann", "--probe-ms", "1500"});
    for (auto& o : segment.broadcastOptions()) argv.push_back(o);
    Process desktop(argv, (root / "ann.out").string(), (root / "ann.err").string());
    // Without a notification area the main window shows itself.
    ASSERT_TRUE(waitForWindow(display, "Lanyx", 15000)) << readFile((root / "ann.err").string());

    for (const char* who : {"bob", "carl", "zed"}) std::filesystem::create_directories(root / who);
    // ann has joined once another copy lists her (until then she only probes).
    bool joined = false;
    for (int i = 0; i < 10 && !joined; ++i) {
        Process who(on(1, {LANYX_CLI, "--dir", (root / "zed").string(), "--name", "zed", "--probe-ms", "500",
                           "--wait-ms", "500", "who"}),
                    (root / "who.out").string(), (root / "who.err").string());
        who.wait(10000);
        joined = readFile((root / "who.out").string()).find("ann\t") != std::string::npos;
    }
    ASSERT_TRUE(joined) << readFile((root / "ann.err").string());

    Process alert(on(1, {LANYX_CLI, "--dir", (root / "bob").string(), "--name", "bob", "--probe-ms", "800", "alert",
                         "--to", "ann", "disk full"}),
                  (root / "bob.out").string(), (root / "bob.err").string());
    EXPECT_EQ(alert.wait(20000), 0);
    // The popup's caption is the sender's name.
    EXPECT_TRUE(waitForWindow(display, "bob", 5000));

    Process chat(on(2, {LANYX_CLI, "--dir", (root / "carl").string(), "--name", "carl", "--probe-ms", "800", "chat",
                        "--to", "ann", "hello"}),
                 (root / "carl.out").string(), (root / "carl.err").string());
    EXPECT_EQ(chat.wait(20000), 0);
    EXPECT_TRUE(waitForWindow(display, "Chating - Lanyx", 5000));

    desktop.signal(SIGTERM);
    EXPECT_EQ(desktop.wait(10000), 0);
    const auto log = readFile((root / "ann" / "Log.txt").string());
    EXPECT_NE(log.find("New chat window opened"), std::string::npos);
    EXPECT_NE(log.find("Lanyx unloaded"), std::string::npos);
    xvfb.signal(SIGTERM);
    xvfb.wait(3000);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
}
