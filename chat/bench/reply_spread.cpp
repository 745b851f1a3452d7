// How the copies on a segment answer one newcomer: N copies of the real node
// logic in one process, each listing the N copies, hear a newcomer join at
// the same moment. Prints when their presence replies go out, and how many
// copies a newcomer that reads one datagram at a time misses: its socket
// buffer (64 KiB by default, each small datagram costing about 1 KiB of it)
// overflows when replies arrive faster than it reads them.
//
// Usage: lanyx-reply-spread [N...]          default: 20 100 500
//        LANYX_READ_US=1000 lanyx-reply-spread 500   time per datagram read
#include "BenchNode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace lanyx;

// Simulated time shared by every copy; timers in the order they are due.
struct Clock : UserInterface, MessageSink, EventPump {
    void messageBox(const std::string&, const std::string&, int) override {}
    void show(const Message&) override {}
    std::uint32_t ticks() override { return now; }
    void pumpOnce() override {}
    void runFor(std::uint32_t) override {}
    void callAfter(std::uint32_t ms, std::function<void()> fn) override { timers.emplace(now + ms, std::move(fn)); }
    void runAll() {
        while (!timers.empty()) {
            auto it = timers.begin();
            now = it->first;
            auto fn = std::move(it->second);
            timers.erase(it);
            fn();
        }
    }
    std::uint32_t now = 0;
    std::multimap<std::uint32_t, std::function<void()>> timers;
};

struct Sent {
    std::uint32_t ms;
    int copy;
};

struct Wire : DatagramTransport {
    Wire(Clock& c, std::vector<Sent>& out, int copy) : clock(c), sent(out), id(copy) {}
    void open() override { open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void send(std::string_view) override { sent.push_back({clock.now, id}); }
    void hear(std::string_view bytes) { deliver(bytes); }
    Clock& clock;
    std::vector<Sent>& sent;
    int id;
    bool open_ = false;
};

struct Copy {
    Copy(Clock& clock, std::vector<Sent>& sent, int id, int n)
        : wire(clock, sent, id), node(config(id), wire, clock, clock, clock) {
        node.readSettings();
        node.state().MyName = "c" + std::to_string(id);
        node.OpenNetwork();
        for (int k = 0; k < n; ++k) node.users().addUser("c" + std::to_string(k));
    }
    NodeConfig config(int id) {
        NodeConfig c;
        c.dataDir = dir.path();
        c.langFile = std::filesystem::path(LANYX_SOURCE_DIR) / "resources" / "chat" / "Lang.con";
        c.logonName = "c" + std::to_string(id);
        return c;
    }
    bench::ScratchDir dir;
    Wire wire;
    ChatNode node;
};

// Copies of which not one datagram got into a reader's buffer of `bytes`,
// each datagram costing `truesize`, read one at a time every `readUs`.
int missedCopies(const std::vector<Sent>& arrivals, int n, double readUs, int bytes, int truesize) {
    const int slots = bytes / truesize;
    std::vector<bool> heard(static_cast<std::size_t>(n), false);
    std::vector<double> queue;  // arrival times of datagrams waiting
    double readerFree = 0;
    std::size_t head = 0;
    for (const auto& a : arrivals) {
        const double t = a.ms * 1000.0;
        // The reader takes what it can before this datagram arrives.
        while (head < queue.size() && std::max(readerFree, queue[head]) <= t) {
            readerFree = std::max(readerFree, queue[head]) + readUs;
            ++head;
        }
        if (static_cast<int>(queue.size() - head) >= slots) continue;  // dropped
        queue.push_back(t);
        heard[static_cast<std::size_t>(a.copy)] = true;
    }
    return static_cast<int>(std::count(heard.begin(), heard.end(), false));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {20, 100, 500};
    const double readUs = std::getenv("LANYX_READ_US") ? std::atof(std::getenv("LANYX_READ_US")) : 1000.0;
    constexpr int kBuffer = 64 * 1024, kTruesize = 1024;
    std::printf("copies\treplies\tfirst ms\tmedian ms\tlast ms\tmissed (spread)\tmissed (all at once)\n");
    for (const int n : sizes) {
        Clock clock;
        std::vector<Sent> sent;
        std::vector<std::unique_ptr<Copy>> copies;
        for (int id = 0; id < n; ++id) copies.push_back(std::make_unique<Copy>(clock, sent, id, n));
        sent.clear();
        // The newcomer joins: colour, status, join notice, heard by all at once.
        for (const char* d : {"newbie|C/0", "newbie|S/0", "newbie|M/newbie has joined the network"})
            for (auto& c : copies) c->wire.hear(d);
        clock.runAll();
        std::vector<Sent> atOnce = sent;
        for (auto& s : atOnce) s.ms = 0;
        std::vector<std::uint32_t> times;
        for (std::size_t k = 0; k < sent.size(); k += 3) times.push_back(sent[k].ms);
        std::sort(times.begin(), times.end());
        std::stable_sort(sent.begin(), sent.end(), [](const Sent& a, const Sent& b) { return a.ms < b.ms; });
        std::printf("%d\t%zu\t%u\t%u\t%u\t%d\t%d\n", n, times.size(), times.front(), times[times.size() / 2],
                    times.back(), missedCopies(sent, n, readUs, kBuffer, kTruesize),
                    missedCopies(atOnce, n, readUs, kBuffer, kTruesize));
    }
    std::printf("(reader: one datagram every %.0f us, %d KiB buffer, %d bytes per datagram)\n", readUs, kBuffer / 1024,
                kTruesize);
    return 0;
}
