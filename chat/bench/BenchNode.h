#pragma once
// A chat node with every port stubbed out, so that what is measured is the
// node itself: parsing, the roster and the dispatch.
#include "ChatNode.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lanyx::bench {

struct NullTransport : DatagramTransport {
    void open() override { open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void send(std::string_view) override { ++sent; }
    std::size_t sent = 0;
    bool open_ = false;
};

struct NullPorts : UserInterface, MessageSink, EventPump {
    void messageBox(const std::string&, const std::string&, int) override { ++boxes; }
    void show(const Message& m) override { ++(m.kind == MessageKind::Box ? boxes : shown); }
    std::uint32_t ticks() override { return 0; }
    void pumpOnce() override {}
    void runFor(std::uint32_t) override {}
    // Timers wait, as in the program, until runTimers(): a presence reply
    // waits its random delay and answers every newcomer heard meanwhile.
    void callAfter(std::uint32_t ms, std::function<void()> fn) override {
        if (ms == 0) fn();
        else timers.push_back(std::move(fn));
    }
    void runTimers() {
        auto due = std::move(timers);
        timers.clear();
        for (auto& fn : due) fn();
    }
    std::vector<std::function<void()>> timers;
    std::size_t shown = 0;
    std::size_t boxes = 0;
};

class ScratchDir {
public:
    ScratchDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "lanyx-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        path_ = tmpl;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A joined copy named "me" with the shipped language.
struct BenchNode {
    BenchNode() : node(config(), transport, ports, ports, ports) {
        node.readSettings();
        node.state().MyName = "me";
        node.OpenNetwork();
        node.onDatagram("me|C/0");  // the own row, as the own first broadcast makes it
    }
    NodeConfig config() {
        NodeConfig c;
        c.dataDir = dir.path();
        c.langFile = std::filesystem::path(LANYX_SOURCE_DIR) / "resources" / "chat" / "Lang.con";
        c.logonName = "me";
        c.nameForRun = "me";
        return c;
    }
    ScratchDir dir;
    NullTransport transport;
    NullPorts ports;
    ChatNode node;
};

}  // namespace lanyx::bench
