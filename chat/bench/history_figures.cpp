// Figures of the history, never a test: what recording costs the receiving
// path, how fast the writer keeps up, how large a message is on disk, and
// how long searches, conversation loads and deletes take over many messages.
//   lanyx-history-figures [MESSAGES] [FOLDER]
// MESSAGES defaults to 1,000,000; FOLDER (a scratch folder in it is used and
// removed) to the system's temporary folder.
//   lanyx-history-figures floods [FOLDER]
// What two floods at a hostile sender's pace, in real time, add to the disk
// and to the resident size: 65,000-byte chat lines for 20 s, and 100,000
// unsigned lines under 30 listed names in 10 s.
//   lanyx-history-figures reading [MESSAGES] [FOLDER]
// The memory that printing every message takes (as lanyx-cli history
// does): all rows held, then printed, against each printed as it is read.
#include "BenchNode.h"
#include "Cp1252.h"
#include "History.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string_view>
#include <thread>

using namespace lanyx;
using namespace lanyx::history;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double threadCpu() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double processCpu() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Words made of syllables, drawn by a Zipf law as words of a language are:
// a few very common, most rare.
class Words {
public:
    explicit Words(std::size_t n) {
        static const char* syl[] = {"ka", "lo", "mi", "ne", "ru", "ta", "be", "so", "di", "fa", "go", "hu",
                                    "pe", "ri", "va", "zo", "an", "el", "or", "us", "ch", "st", "tr", "qu"};
        constexpr std::size_t k = sizeof syl / sizeof *syl;
        for (std::size_t i = 0; words_.size() < n; ++i) {
            std::string w;
            std::size_t x = i;
            do {
                w += syl[x % k];
                x /= k;
            } while (x);
            if (w.size() >= 3) words_.push_back(w);
        }
        double sum = 0;
        for (std::size_t r = 1; r <= n; ++r) cdf_.push_back(sum += 1.0 / std::pow(static_cast<double>(r), 1.07));
        for (auto& c : cdf_) c /= sum;
    }
    const std::string& pick(std::mt19937_64& rng) const {
        const double u = std::uniform_real_distribution<double>(0, 1)(rng);
        const auto i = static_cast<std::size_t>(std::lower_bound(cdf_.begin(), cdf_.end(), u) - cdf_.begin());
        return words_[std::min(i, words_.size() - 1)];
    }
    const std::string& rank(std::size_t r) const { return words_[r]; }
    std::string sentence(std::mt19937_64& rng) const {
        const int n = std::uniform_int_distribution<int>(3, 22)(rng);
        std::string s;
        for (int i = 0; i < n; ++i) s += (i ? " " : "") + pick(rng);
        return s;
    }

private:
    std::vector<std::string> words_;
    std::vector<double> cdf_;
};

HistoryEntry message(const Words& words, std::mt19937_64& rng, std::int64_t t) {
    HistoryEntry e;
    e.timeMs = t;
    const int p = std::uniform_int_distribution<int>(0, 199)(rng);
    e.peer = "user" + std::to_string(p);
    const int k = std::uniform_int_distribution<int>(0, 9)(rng);
    e.kind = k < 6   ? HistoryKind::PrivateChat
             : k < 8 ? HistoryKind::Chat
             : k < 9 ? HistoryKind::PrivateAlert
                     : HistoryKind::Alert;
    e.outgoing = std::uniform_int_distribution<int>(0, 2)(rng) == 0;
    if (e.outgoing && IsPublicKind(e.kind)) e.peer = "(All)";
    e.trust = e.outgoing ? HistoryTrust::Encrypted : HistoryTrust::Signed;
    e.text = words.sentence(rng);
    return e;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <typename Fn> double timedMs(Fn fn) {
    const auto start = Clock::now();
    fn();
    return secondsSince(start) * 1000;
}

std::uintmax_t filesSize(const std::filesystem::path& dir) {
    std::uintmax_t total = 0;
    for (const char* n : {"History.db", "History.db-wal"}) {
        std::error_code ec;
        const auto s = std::filesystem::file_size(dir / n, ec);
        if (!ec) total += s;
    }
    return total;
}

std::size_t residentBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// `count` datagrams spread evenly over `seconds` of real time into a node
// that records; the growth of the files and of the resident size.
void flood(const char* title, const std::vector<std::string>& datagrams, std::size_t count, double seconds,
           const std::vector<std::string>& listed) {
    bench::BenchNode b;
    for (const auto& name : listed) b.node.onDatagram(name + "|C/0");
    auto h = std::make_unique<History>(b.dir.path());
    h->flush();
    b.node.addMessageObserver(h.get());
    const auto before = filesSize(b.dir.path());
    const auto rss0 = residentBytes();
    std::size_t rssPeak = rss0;
    const auto start = Clock::now();
    for (std::size_t i = 0; i < count;) {
        const auto due = static_cast<std::size_t>(secondsSince(start) / seconds * static_cast<double>(count));
        if (i >= due) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        for (; i < std::min(due, count); ++i) b.node.onDatagram(datagrams[i % datagrams.size()]);
        rssPeak = std::max(rssPeak, residentBytes());
    }
    const double fed = secondsSince(start);
    h->flush(std::chrono::minutes(30));
    const double written = secondsSince(start);
    const auto dropped = h->dropped();
    const auto rows = h->openReader() ? h->openReader()->count() : 0;
    h.reset();
    const auto after = filesSize(b.dir.path());
    std::printf("%s\n", title);
    std::printf("  fed in                                %8.1f s, all written after %.1f s\n", fed, written);
    std::printf("  disk growth                           %8.1f MB (%lld rows kept, %zu not queued)\n",
                static_cast<double>(after - before) / 1e6, static_cast<long long>(rows), dropped);
    std::printf("  resident size, peak growth            %8.1f MB\n\n", static_cast<double>(rssPeak - rss0) / 1e6);
}

// The same, as lines of a sender whose signature was checked: only the
// bounds on text and queue apply.
void signedFlood(const std::string& text, std::size_t count, double seconds) {
    bench::ScratchDir dir;
    auto h = std::make_unique<History>(dir.path());
    h->flush();
    const auto before = filesSize(dir.path());
    const auto rss0 = residentBytes();
    std::size_t rssPeak = rss0;
    const auto start = Clock::now();
    for (std::size_t i = 0; i < count;) {
        const auto due = static_cast<std::size_t>(secondsSince(start) / seconds * static_cast<double>(count));
        if (i >= due) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        for (; i < std::min(due, count); ++i) {
            HistoryEntry e;
            e.peer = "mallory";
            e.kind = HistoryKind::Chat;
            e.trust = HistoryTrust::Signed;
            e.text = text;
            h->record(std::move(e));
        }
        rssPeak = std::max(rssPeak, residentBytes());
    }
    const double fed = secondsSince(start);
    h->flush(std::chrono::minutes(30));
    const double written = secondsSince(start);
    const auto dropped = h->dropped();
    h.reset();
    std::printf("Flood: the same lines from one signed name (only the text and queue bounds apply)\n");
    std::printf("  fed in                                %8.1f s, all written after %.1f s\n", fed, written);
    std::printf("  disk growth                           %8.1f MB (%zu not queued)\n",
                static_cast<double>(filesSize(dir.path()) - before) / 1e6, dropped);
    std::printf("  resident size, peak growth            %8.1f MB\n\n", static_cast<double>(rssPeak - rss0) / 1e6);
}

void floods() {
    std::mt19937_64 rng(7);
    const Words words(20000);
    {
        std::vector<std::string> lines;
        for (int k = 0; k < 8; ++k) {
            std::string text;
            while (text.size() < 65000) text += words.pick(rng) + " ";
            text.resize(65000);
            lines.push_back(cp1252::fromUtf8("mallory|M/\xC3\x9E" + text));
        }
        // At the pace measured from a hostile host: 533 MB in 20 s.
        flood("Flood: 65,000-byte chat lines from one unsigned name, 410 a second for 20 s", lines, 8200, 20, {});
        signedFlood(cp1252::toUtf8(lines[0].substr(lines[0].find('/') + 2)), 8200, 20);
    }
    {
        std::vector<std::string> names, lines;
        for (int n = 0; n < 30; ++n) names.push_back("colleague" + std::to_string(n));
        for (int k = 0; k < 3000; ++k)
            lines.push_back(cp1252::fromUtf8(names[static_cast<std::size_t>(k) % names.size()] + "|M/\xC3\x9E" +
                                             words.sentence(rng)));
        flood("Flood: 100,000 unsigned lines under 30 listed names in 10 s", lines, 100000, 10, names);
    }
}

// Every row of the file printed to /dev/null, in a child of its own; the
// growth of its resident size, sampled as it goes.
void readingFigure(const char* title, const std::filesystem::path& file, bool held) {
    std::fflush(stdout);  // or the child prints it again
    const pid_t child = fork();
    if (child < 0) std::abort();
    if (child == 0) {
        FILE* sink = std::fopen("/dev/null", "w");
        HistoryStore store(file, HistoryStore::Mode::ReadOnly);
        const auto rss0 = residentBytes();
        std::size_t peak = rss0, rows = 0;
        const auto start = Clock::now();
        auto print = [&](const HistoryRow& r) {
            std::fprintf(sink, "%lld\t%s\t%s\n", static_cast<long long>(r.entry.timeMs), r.entry.peer.c_str(),
                         r.entry.text.c_str());
            if (++rows % 10000 == 0) peak = std::max(peak, residentBytes());
        };
        if (held) {
            const auto all = store.search(ParseSearch(""), {});
            peak = std::max(peak, residentBytes());
            for (const auto& r : all) print(r);
        } else {
            store.searchEach(ParseSearch(""), {}, print);
        }
        std::printf("  %-36s %8.1f MB resident growth, %zu rows in %.1f s\n", title,
                    static_cast<double>(peak - rss0) / 1e6, rows, secondsSince(start));
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

void reading(std::size_t total) {
    const Words words(20000);
    std::mt19937_64 rng(42);
    bench::ScratchDir dir;
    {
        History::Options o;
        o.maxQueued = 50000;
        o.batch = 1024;
        History h(dir.path(), o);
        for (std::size_t i = 0; i < total;) {
            for (std::size_t k = 0; k < 20000 && i < total; ++k, ++i)
                h.record(message(words, rng, 1'600'000'000'000 + static_cast<std::int64_t>(i) * 30000));
            h.flush(std::chrono::minutes(10));
        }
    }
    std::printf("Printing every one of %zu messages (%.1f MB of history):\n", total,
                static_cast<double>(filesSize(dir.path())) / 1e6);
    readingFigure("all rows held, then printed", dir.path() / kFileName, true);
    readingFigure("each printed as it is read", dir.path() / kFileName, false);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "reading") {
        if (argc > 3) setenv("TMPDIR", argv[3], 1);
        reading(argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1000000);
        return 0;
    }
    if (argc > 1 && std::string_view(argv[1]) == "floods") {
        if (argc > 2) setenv("TMPDIR", argv[2], 1);
        floods();
        return 0;
    }
    const std::size_t total = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    if (argc > 2) setenv("TMPDIR", argv[2], 1);
    const Words words(20000);
    std::mt19937_64 rng(42);

    // ---- the receiving path: a private chat line from a user without keys.
    {
        constexpr int kBurst = 10000, kBursts = 10;
        std::vector<std::string> datagrams;
        for (int i = 0; i < kBurst; ++i)
            datagrams.push_back(cp1252::fromUtf8("bob|P/\xC3\x9E" + words.sentence(rng) + "|me"));
        double without = 0, with = 0, writerWall = 0, writerCpu = 0;
        std::size_t dropped = 0;
        for (const bool keep : {false, true}) {
            bench::BenchNode b;
            b.node.onDatagram("bob|C/0");
            std::unique_ptr<History> h;
            if (keep) {
                // What recording each line costs: no bound on what a sender without keys has kept.
                History::Options every;
                every.unverified.perSecond = every.unverified.totalPerSecond = ~std::size_t{0};
                h = std::make_unique<History>(b.dir.path(), every);
                h->flush();
                b.node.addMessageObserver(h.get());
            }
            double receive = 0;
            for (int burst = 0; burst < kBursts; ++burst) {
                const double cpu0 = processCpu();
                const double t0 = threadCpu();
                const auto wall0 = Clock::now();
                for (const auto& d : datagrams) b.node.onDatagram(d);
                const double spent = threadCpu() - t0;
                receive += spent;
                if (h) {
                    h->flush(std::chrono::minutes(5));
                    writerWall += secondsSince(wall0);
                    writerCpu += processCpu() - cpu0 - spent;
                }
            }
            (keep ? with : without) = receive * 1e6 / (kBurst * kBursts);
            if (h) dropped = h->dropped();
        }
        std::printf("Receiving path, a private chat line, %d lines in bursts of %d:\n", kBurst * kBursts, kBurst);
        std::printf("  node without history                 %8.2f us a line (receiving thread, CPU)\n", without);
        std::printf("  node with history (hand-over)         %8.2f us a line (+%.2f us)\n", with, with - without);
        std::printf("  writer, written and committed         %8.2f us a line amortised (wall), %.2f us CPU\n",
                    writerWall * 1e6 / (kBurst * kBursts), writerCpu * 1e6 / (kBurst * kBursts));
        std::printf("  not recorded (queue full)             %8zu\n\n", dropped);
    }

    // ---- filling the store.
    bench::ScratchDir dir;
    History::Options o;
    o.maxQueued = 50000;
    o.batch = 1024;
    auto h = std::make_unique<History>(dir.path(), o);
    const std::int64_t start = 1'600'000'000'000;
    const double cpu0 = processCpu();
    const auto fill0 = Clock::now();
    for (std::size_t i = 0; i < total;) {
        for (std::size_t k = 0; k < 20000 && i < total; ++k, ++i)
            h->record(message(words, rng, start + static_cast<std::int64_t>(i) * 30000));
        h->flush(std::chrono::minutes(10));
    }
    const double fillWall = secondsSince(fill0);
    const double fillCpu = processCpu() - cpu0;
    h.reset();  // checkpointed on close
    std::printf("Filling: %zu messages (3 to 22 words of a 20,000-word Zipf vocabulary, 200 users)\n", total);
    std::printf("  written in batches                    %8.2f us a message (wall, with making them), %.2f us CPU\n",
                fillWall * 1e6 / static_cast<double>(total), fillCpu * 1e6 / static_cast<double>(total));
    std::printf("  file size                             %8.1f MB, %.0f bytes a message\n\n",
                static_cast<double>(filesSize(dir.path())) / 1e6,
                static_cast<double>(filesSize(dir.path())) / static_cast<double>(total));

    h = std::make_unique<History>(dir.path(), o);
    auto reader = h->openReader();
    // Search: two words from bands of frequency, as the window asks (the
    // newest 500) and as lanyx-cli asks without --limit (every match).
    struct Band {
        const char* name;
        std::size_t from, to;
    };
    const Band bands[] = {{"common", 5, 60}, {"middle", 500, 2000}, {"rare", 8000, 15000}};
    std::printf("Two-word searches over %zu messages (10 pairs a row, median of 3 runs each; ms):\n", total);
    std::printf("  %-18s %10s %10s %12s %12s %10s\n", "words", "newest 500", "max", "all matches", "max", "matched");
    for (std::size_t a = 0; a < 3; ++a)
        for (std::size_t b = a; b < 3; ++b) {
            std::vector<double> window, all;
            double matched = 0;
            for (int q = 0; q < 10; ++q) {
                const auto& w1 = words.rank(
                    std::uniform_int_distribution<std::size_t>(bands[a].from, bands[a].to)(rng));
                const auto& w2 = words.rank(
                    std::uniform_int_distribution<std::size_t>(bands[b].from, bands[b].to)(rng));
                const auto parsed = ParseSearch(w1 + " " + w2);
                Filter f;
                f.limit = 500;
                std::vector<double> runs, runsAll;
                for (int r = 0; r < 3; ++r) {
                    runs.push_back(timedMs([&] { reader->search(parsed, f); }));
                    runsAll.push_back(
                        timedMs([&] { matched += static_cast<double>(reader->search(parsed, {}).size()) / 3; }));
                }
                window.push_back(median(runs));
                all.push_back(median(runsAll));
            }
            std::printf("  %-18s %10.2f %10.2f %12.2f %12.2f %10.0f\n",
                        (std::string(bands[a].name) + "+" + bands[b].name).c_str(), median(window),
                        *std::max_element(window.begin(), window.end()), median(all),
                        *std::max_element(all.begin(), all.end()), matched / 10);
        }
    // While typing: the last word is a beginning.
    {
        std::vector<double> t2, t3;
        for (int q = 0; q < 10; ++q) {
            const auto& w1 = words.rank(std::uniform_int_distribution<std::size_t>(5, 2000)(rng));
            const auto& w2 = words.rank(std::uniform_int_distribution<std::size_t>(5, 2000)(rng));
            Filter f;
            f.limit = 500;
            t2.push_back(timedMs([&] { reader->search(ParseSearch(w1 + " " + w2.substr(0, 3), {true}), f); }));
            t3.push_back(timedMs([&] { reader->search(ParseSearch(w1 + " " + w2.substr(0, 4), {true}), f); }));
        }
        std::printf("  %-18s %10.2f %10.2f\n", "word + 3 letters", median(t2), *std::max_element(t2.begin(), t2.end()));
        std::printf("  %-18s %10.2f %10.2f\n", "word + 4 letters", median(t3), *std::max_element(t3.begin(), t3.end()));
        Filter f;
        f.limit = 500;
        std::printf("  %-18s %10.2f\n", "\"phrase\"", timedMs([&] {
                        reader->search(ParseSearch("\"" + words.rank(20) + " " + words.rank(30) + "\""), f);
                    }));
        std::printf("  %-18s %10.2f\n", "a OR b c", timedMs([&] {
                        reader->search(ParseSearch(words.rank(900) + " OR " + words.rank(901) + " " + words.rank(40)),
                                       f);
                    }));
        std::printf("  %-18s %10.2f\n", "-word only",
                    timedMs([&] { reader->search(ParseSearch("-" + words.rank(10)), f); }));
        f.scope = Scope::person("user7");
        std::printf("  %-18s %10.2f\n\n", "2 words, one user",
                    timedMs([&] { reader->search(ParseSearch(words.rank(12) + " " + words.rank(700)), f); }));
    }

    // The window's other reads, and deleting.
    {
        std::printf("Other reads and deletes (ms):\n");
        std::printf("  conversation list                     %8.1f\n", timedMs([&] { reader->conversations(); }));
        Filter f;
        f.scope = Scope::person("user3");
        f.limit = 2000;
        std::printf("  a conversation's last 2,000 lines     %8.1f\n", timedMs([&] { reader->rows(f); }));
        f.limit = 20;
        f.chatOnly = true;
        std::printf("  a chat window's 20 earlier lines      %8.1f\n", timedMs([&] { h->rows(*reader, f); }));
        std::printf("  lines around a result                 %8.1f\n",
                    timedMs([&] { reader->around(static_cast<std::int64_t>(total / 2), 3); }));
        std::printf("  delete a conversation (about %zu), with the index rebuilt: %.0f\n", total / 200, timedMs([&] {
                        h->erase(Scope::person("user9"));
                        h->flush(std::chrono::minutes(30));
                    }));
        std::printf("  retention: delete the oldest 1 %%, with the index rebuilt: %.0f\n", timedMs([&] {
                        // Kept days such that the oldest hundredth falls out.
                        const auto newest = start + static_cast<std::int64_t>(total) * 30000;
                        const auto cut = start + static_cast<std::int64_t>(total / 100) * 30000;
                        History::Options r = o;
                        r.clock = [newest] { return newest; };
                        h.reset();
                        History aged(dir.path(), r);
                        aged.setRetentionDays(static_cast<int>((newest - cut) / (24LL * 3600 * 1000)) + 1);
                        aged.flush(std::chrono::minutes(30));
                    }));
    }
    return 0;
}
