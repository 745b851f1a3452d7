// One received datagram on a node whose roster lives across inputs, as it
// does on a segment where anybody can send anything; and the same bytes as
// the header a sealed line from a copy of ours begins with.
#include "ChatNode.h"
#include "LineHeader.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace lanyx;

namespace {

struct Ports : DatagramTransport, UserInterface, MessageSink, EventPump {
    void open() override { open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void send(std::string_view) override {}
    void messageBox(const std::string&, const std::string&, int) override {}
    // Boxes stay open until every eighth box closes the oldest sender's.
    void show(const Message& m) override {
        if (m.kind == MessageKind::Box) last = m.peer;
    }
    bool BoxStaysOpen() const override { return true; }
    std::uint32_t ticks() override {
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
    }
    void pumpOnce() override {}
    void runFor(std::uint32_t) override {}
    bool open_ = false;
    std::string last;
};

struct Fixture {
    Fixture() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "lanyx-fuzz-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir = tmpl;
        NodeConfig c;
        c.dataDir = dir;
        c.langFile = std::filesystem::path(LANYX_SOURCE_DIR) / "resources" / "chat" / "Lang.con";
        c.logonName = "ann";
        c.nameForRun = "ann";
        node = new ChatNode(c, ports, ports, ports, ports);
        node->readSettings();
        node->users().setBlocked({"Mallory",
                                  "\xC5\xBD"
                                  "eljko"});
        node->users().setGroups({"team|ann|bob|"});
        node->state().MyName = "ann";
        node->OpenNetwork();
        fill();
    }
    // A large roster, so that a cost growing with it shows in every input.
    void fill() {
        for (int i = 0; node->users().userCount() < kRoster; ++i)
            node->onDatagram("peer" + std::to_string(i) + "|C/255");
    }
    static constexpr std::size_t kRoster = 10000;
    std::filesystem::path dir;
    Ports ports;
    ChatNode* node = nullptr;  // lives as long as the process: the roster persists
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture f;
    static unsigned inputs = 0;
    {
        // A header that reads writes back to the same; one that does not
        // is taken off all the same, never more than its line.
        std::string_view text(reinterpret_cast<const char*>(data), size);
        const auto before = text.size();
        if (const auto h = lineheader::Take(text)) {
            if (h->id != 0) {
                const std::string kept = lineheader::Encode(*h);
                std::string_view again = kept;
                const auto back = lineheader::Take(again);
                if (!back || back->id != h->id || back->room != h->room || !again.empty()) __builtin_trap();
            }
            if (text.size() >= before) __builtin_trap();
        }
    }
    const auto t0 = std::chrono::steady_clock::now();
    f.node->onDatagram(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto spent = std::chrono::steady_clock::now() - t0;
    // One datagram costs little whatever the roster holds: a walk over all
    // rows per datagram is fine, a walk per row is not. Generous for the
    // sanitizers and a busy machine; a quadratic cost at 10,000 rows is seconds.
    if (spent > std::chrono::milliseconds(250)) {
        std::fprintf(stderr, "one datagram of %zu bytes took %lld ms with %zu rows\n", size,
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count()),
                     f.node->users().userCount());
        std::abort();
    }
    if (++inputs % 8 == 0 && !f.ports.last.empty()) f.node->BoxClosed(f.ports.last);
    // A roster without bound would only measure the allocator.
    if (f.node->users().userCount() > 20000) {
        f.node->users().ClearlvUsers();
        f.fill();
    }
    // What the windows read must hold together.
    const auto& users = f.node->users();
    (void)users.rowText(users.rowCount() - 1);
    if (users.userCount() > 0) (void)users.findNoCase(users.user(users.userCount() / 2).text).value();
    (void)f.node->StatusCaption();
    return 0;
}
