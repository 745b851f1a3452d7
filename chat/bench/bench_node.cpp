// Throughput of the receive path and the roster's footprint. Figures only:
// nothing here fails. Run with `nice` on a quiet machine, e.g.
//   lanyx_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "BenchNode.h"
#include "Cp1252.h"
#include "Networks.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <optional>
#include <random>
#include <string>
#include <vector>

// Live heap bytes, as the allocator hands them out (usable size, so that
// rounding counts), for the memory figure.
namespace {
std::atomic<long long> g_liveBytes{0};
std::atomic<long long> g_liveBlocks{0};
}  // namespace

void* operator new(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    g_liveBytes += static_cast<long long>(malloc_usable_size(p));
    ++g_liveBlocks;
    return p;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"  // operator new above is malloc
#endif
void operator delete(void* p) noexcept {
    if (!p) return;
    g_liveBytes -= static_cast<long long>(malloc_usable_size(p));
    --g_liveBlocks;
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

using namespace lanyx;
using namespace lanyx::bench;

namespace {

// Office-like logon names of 5 to 20 characters, unique per index.
std::string peerName(std::size_t i) {
    static const char* first[] = {"ann",  "bob",   "carl",  "dora", "emil",  "frida", "gustav", "hanna",
                                  "ines", "jonas", "karin", "lars", "maria", "nils",  "olga",   "paul"};
    static const char* last[] = {"", ".berg", ".lindqvist", "_it", ".sales", "-office", "", ".k"};
    return std::string(first[i % 16]) + last[(i / 16) % 8] + std::to_string(i);
}

std::uint32_t peerColour(std::size_t i) {
    return static_cast<std::uint32_t>((i * 2654435761u) & 0xFFFFFF);
}

// A node that already lists `peers` others, each with colour and status.
void fillRoster(ChatNode& node, std::size_t peers) {
    for (std::size_t i = 0; i < peers; ++i) {
        const auto name = peerName(i);
        node.onDatagram(name + "|M/");
        node.onDatagram(name + "|C/" + std::to_string(peerColour(i)));
        node.onDatagram(name + "|S/0");
    }
}

// What a busy segment carries once everybody is present: re-announced
// colours and statuses, chat lines to everybody, private alerts for others.
// Senders are drawn uniformly from `senders` of the listed peers.
std::vector<std::string> steadyTraffic(std::size_t peers, std::size_t count, std::size_t senders) {
    std::mt19937 rng(42);
    std::vector<std::string> out;
    out.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = (rng() % senders) * (peers / senders);
        const auto name = peerName(i);
        switch (k % 4) {
        case 0: out.push_back(name + "|C/" + std::to_string(peerColour(i))); break;
        case 1: out.push_back(name + "|S/0"); break;
        case 2:
            out.push_back(name +
                          "|M/\xDE"
                          "anyone for lunch at the canteen at twelve?");
            break;
        default:
            out.push_back(name +
                          "|P/\xDF"
                          "the build on the test server is green again|" +
                          peerName((i + 1) % peers));
            break;
        }
    }
    return out;
}

// Every listed peer talks: the worst case for the caches, as each datagram
// reads the row of a sender picked at random from the whole roster.
void BM_SteadyTraffic(benchmark::State& state) {
    const auto peers = static_cast<std::size_t>(state.range(0));
    const auto senders = state.range(1) > 0 ? static_cast<std::size_t>(state.range(1)) : peers;
    BenchNode b;
    fillRoster(b.node, peers);
    const auto traffic = steadyTraffic(peers, 16384, senders);
    const auto sentBefore = b.transport.sent;
    std::size_t k = 0;
    for (auto _ : state) {
        b.node.onDatagram(traffic[k]);
        if (++k == traffic.size()) k = 0;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["datagrams/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate);
    state.counters["roster"] = static_cast<double>(b.node.users().userCount());
    // Steady traffic from listed peers is never answered.
    state.counters["replies"] = static_cast<double>(b.transport.sent - sentBefore);
}
BENCHMARK(BM_SteadyTraffic)
    ->ArgNames({"peers", "talking"})
    ->Args({10, 0})
    ->Args({1000, 0})
    ->Args({10000, 0})
    // Ten peers talk, the others are only listed: what the roster's size
    // alone costs each datagram.
    ->Args({10000, 10});

// A newcomer hears every present peer answer with its presence (empty public
// message, colour, status). It answers the first few at once; once it lists
// more, one presence after a random delay answers all heard meanwhile (the
// delay's timer runs after the storm, inside the timing).
void BM_JoinStorm(benchmark::State& state) {
    const auto peers = static_cast<std::size_t>(state.range(0));
    std::vector<std::string> storm;
    storm.reserve(3 * peers);
    for (std::size_t i = 0; i < peers; ++i) {
        const auto name = peerName(i);
        storm.push_back(name + "|M/");
        storm.push_back(name + "|C/" + std::to_string(peerColour(i)));
        storm.push_back(name + "|S/" + std::to_string(i % 3));
    }
    std::optional<BenchNode> b;
    for (auto _ : state) {
        state.PauseTiming();
        b.reset();
        b.emplace();
        state.ResumeTiming();
        for (const auto& d : storm) b->node.onDatagram(d);
        b->ports.runTimers();
    }
    state.counters["roster"] = static_cast<double>(b->node.users().userCount());
    state.counters["replies"] = static_cast<double>(b->transport.sent);
    state.counters["datagrams/s"] = benchmark::Counter(static_cast<double>(state.iterations() * storm.size()),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_JoinStorm)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Heap held by the roster per listed peer (names as long as in the storm).
void BM_MemoryPerPeer(benchmark::State& state) {
    const auto peers = static_cast<std::size_t>(state.range(0));
    double perPeer = 0, blocksPerPeer = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<BenchNode> b;
        b.emplace();
        const auto bytes0 = g_liveBytes.load();
        const auto blocks0 = g_liveBlocks.load();
        state.ResumeTiming();
        fillRoster(b->node, peers);
        state.PauseTiming();
        perPeer = static_cast<double>(g_liveBytes.load() - bytes0) / static_cast<double>(peers);
        blocksPerPeer = static_cast<double>(g_liveBlocks.load() - blocks0) / static_cast<double>(peers);
        b.reset();
        state.ResumeTiming();
    }
    state.counters["bytes/peer"] = perPeer;
    // Each heap block also costs the allocator a header of 8 to 16 bytes.
    state.counters["blocks/peer"] = blocksPerPeer;
}
BENCHMARK(BM_MemoryPerPeer)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The pieces of the hot path on their own.
void BM_ToUtf8(benchmark::State& state) {
    const std::string d =
        "frida.lindqvist1234|M/\xDE"
        "anyone for lunch at the canteen at twelve?";
    for (auto _ : state) benchmark::DoNotOptimize(cp1252::toUtf8(d));
}
BENCHMARK(BM_ToUtf8);

// The repeat check every received datagram passes: distinct datagrams of
// the given size along one path (the common case, and a flood), and each
// datagram twice along two paths (a computer on two interfaces).
void BM_RepeatCheck(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const bool twoPaths = state.range(1) != 0;
    std::vector<std::string> datagrams;
    for (int i = 0; i < 4096; ++i) {
        std::string d = "peer" + std::to_string(i) + "|M/\xDF";
        d.resize(size, 'x');
        datagrams.push_back(std::move(d));
    }
    net::DuplicateFilter filter;
    std::uint32_t now = 0;
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& d = datagrams[i++ % datagrams.size()];
        benchmark::DoNotOptimize(filter.admit(d, 1, now));
        if (twoPaths) benchmark::DoNotOptimize(filter.admit(d, 2, now));
        if ((i & 1023) == 0) now += 2000;  // the window passes: no false repeats
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * (twoPaths ? 2 : 1));
}
BENCHMARK(BM_RepeatCheck)
    ->ArgNames({"bytes", "twoPaths"})
    ->Args({60, 0})
    ->Args({1000, 0})
    ->Args({60000, 0})
    ->Args({60, 1});

}  // namespace

BENCHMARK_MAIN();
