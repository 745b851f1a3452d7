// lanyx-core-check: the core and the protocol on the target system, without
// any window: platform calls, settings, log and a small segment's worth of
// datagrams. Built by the Windows cross build, where it is the link check
// (and, with a runner such as wine, a run check). Exit status 0 when all is well.
#include "ChatNode.h"
#include "Platform.h"

#include <cstdio>
#include <filesystem>

using namespace lanyx;

namespace {

struct Ports : DatagramTransport, UserInterface, MessageSink, EventPump {
    void open() override { open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void send(std::string_view) override { ++sent; }
    void messageBox(const std::string& text, const std::string&, int) override {
        std::printf("message box: %s\n", text.c_str());
    }
    void show(const Message& m) override {
        if (!m.isAlert()) return;
        std::printf("alert from %s: %s\n", m.peer.c_str(), MarkedText(m).c_str());
        ++alerts;
    }
    std::uint32_t ticks() override { return platform::tickCount(); }
    void pumpOnce() override {}
    void runFor(std::uint32_t) override {}
    bool open_ = false;
    int sent = 0;
    int alerts = 0;
};

int fail(const char* what) {
    std::printf("FAILED: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("lanyx-core-check-" + std::to_string(platform::tickCount()));
    fs::create_directories(dir);
    std::printf("logon name: %s\nprogram folder: %s\n", platform::GetLogonName().c_str(),
                platform::programDir().string().c_str());
    int status = 0;
    {
        auto lock = platform::InstanceLock::acquire(dir);
        if (!lock) return fail("instance lock");
        if (platform::InstanceLock::acquire(dir)) status = fail("a second instance lock was granted");

        Ports p;
        NodeConfig c;
        c.dataDir = dir;
        c.langFile = argc > 1 ? fs::path(argv[1]) : platform::programDir() / "Lang.con";
        c.logonName = "ann";
        c.nameForRun = "ann";
        ChatNode node(c, p, p, p, p);
        if (fs::exists(c.langFile)) node.readSettings();
        node.state().MyName = "ann";
        node.OpenNetwork();
        node.onDatagram("ann|C/0");
        node.onDatagram("bob|C/255");
        node.onDatagram(
            "bob|P/\xDF"
            "hello|ann");
        node.onDatagram("no bar");
        if (node.users().userCount() != 2) status = fail("roster");
        if (p.alerts != 1) status = fail("alert");
        node.saveSettings();
        if (!fs::exists(dir / "User.ini") || !fs::exists(dir / "Log.txt")) status = fail("files");
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    std::printf("%s\n", status == 0 ? "core check passed" : "core check FAILED");
    return status;
}
