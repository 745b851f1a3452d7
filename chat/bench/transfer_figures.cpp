// Figures for file transfers, printed, never checked:
//   lanyx-transfer-figures big MB DIR     one file of MB megabytes: a plain TCP copy, then
//                                         our transfer (handshake, sealed frames, digest)
//   lanyx-transfer-figures small N KB DIR N files of KB kilobytes in a folder, then one
//                                         file of the same total size
// Both ends run in this process over loopback; the resident size is the
// process's, so it bounds what the receiving end alone holds.
//   lanyx-transfer-figures serve WORK PORT PATH...   the sending end alone: offers PATH...
//                                         on PORT, writes the offer to WORK/offer, serves
//                                         one transfer and ends
//   lanyx-transfer-figures floor N KB DIR  what the file system alone charges for N files
//                                         written into place as the receiver does, against
//                                         one file of the same size
//   lanyx-transfer-figures fetch WORK ADDR DIR       the receiving end alone: takes the
//                                         offer from WORK/offer, fetches it from ADDR into
//                                         DIR, prints the time and its own resident size
// The two ends find each other's keys from seeds in WORK (made by whichever
// starts first), so tools/transfer-bench.sh can run them in two network
// namespaces.
#include "Crypto.h"
#include "OutputFile.h"
#include "TransferLinks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;
using namespace lanyx;
using namespace lanyx::transfer;

namespace {

// User and system time of this process, all threads.
double cpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_utime.tv_sec + use.ru_stime.tv_sec + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

long rssMb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6)) / 1024;
    return -1;
}

void makeFile(const fs::path& p, std::uint64_t bytes) {
    std::ofstream out(p, std::ios::binary);
    static const std::string block = [] {
        std::string b(1 << 20, '\0');
        for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<char>((i * 2654435761u) >> 13);
        return b;
    }();
    while (bytes > 0) {
        auto n = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, block.size()));
        out.write(block.data(), static_cast<std::streamsize>(n));
        bytes -= n;
    }
}

// Both wait for events as the programs' event loops do: a loop that polls
// would take the processor from the other end and make the figures lie.
template <typename Done> void runUntil(Done done) {
    while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// A timer standing for the chat: the longest its event loop kept it
// waiting, in milliseconds, while it ran.
class LoopWatch {
public:
    LoopWatch() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (last_.isValid()) worst_ = std::max(worst_, last_.elapsed());
            last_.restart();
        });
        timer_.start(5);
    }
    qint64 worstGapMs() const { return worst_; }

private:
    QTimer timer_;
    QElapsedTimer last_;
    qint64 worst_ = 0;
};

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A plain copy over TCP into a file: what a tool without framing or
// encryption achieves on the same link.
double plainCopy(const fs::path& source, const fs::path& target) {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    std::ifstream in(source, std::ios::binary);
    std::ofstream out(target, std::ios::binary);
    QTcpSocket* sending = nullptr;
    QTcpSocket receiving;
    receiving.setReadBufferSize(4 << 20);
    bool sentAll = false, done = false;
    std::vector<char> buf(256 * 1024);
    auto pushMore = [&] {
        while (!sentAll && sending->bytesToWrite() < (1 << 20)) {
            in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
            auto n = in.gcount();
            if (n <= 0) {
                sentAll = true;
                sending->disconnectFromHost();
                break;
            }
            sending->write(buf.data(), n);
        }
    };
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        sending = server.nextPendingConnection();
        QObject::connect(sending, &QTcpSocket::bytesWritten, pushMore);
        pushMore();
    });
    QObject::connect(&receiving, &QTcpSocket::readyRead, [&] {
        auto bytes = receiving.readAll();
        out.write(bytes.constData(), bytes.size());
    });
    QObject::connect(&receiving, &QTcpSocket::disconnected, [&] {
        auto bytes = receiving.readAll();
        out.write(bytes.constData(), bytes.size());
        out.flush();
        done = true;
    });
    QElapsedTimer t;
    t.start();
    receiving.connectToHost(QHostAddress::LocalHost, server.serverPort());
    runUntil([&] { return done; });
    out.close();
    return t.nsecsElapsed() / 1e9;
}

double ourTransfer(const std::vector<fs::path>& paths, const fs::path& folder, long* peakRss) {
    SigningKey aSecret, bSecret;
    VerifyKey aPub, bPub;
    MakeSigningKey(aSecret, aPub);
    MakeSigningKey(bSecret, bPub);
    TransferServer server(Blake2bDigests(std::getenv("LANYX_DIGEST_INLINE") == nullptr));
    server.listen(0, nullptr);
    auto sel = GatherLocal(paths);
    const Offer offer = OfferFor(sel, server.port());
    server.add(offer, sel, [&](const Offer& o) {
        return std::make_unique<ConnectionHandshake>(ConnectionHandshake::Role::Sender, o.id, aSecret, bPub);
    });
    TransferClient client(offer, QHostAddress::LocalHost, folder,
                          Blake2bDigests(std::getenv("LANYX_DIGEST_INLINE") == nullptr), [&](const Offer& o) {
                              return std::make_unique<ConnectionHandshake>(ConnectionHandshake::Role::Receiver, o.id,
                                                                           bSecret, aPub);
                          });
    bool done = false;
    QObject::connect(&client, &TransferClient::finished, [&](bool ok, const QString& m) {
        if (!ok) std::fprintf(stderr, "transfer failed: %s\n", qPrintable(m));
        done = true;
    });
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        if (peakRss) *peakRss = std::max(*peakRss, rssMb());
    });
    sample.start(20);
    QElapsedTimer t;
    t.start();
    client.start();
    runUntil([&] { return done; });
    return t.nsecsElapsed() / 1e9;
}

// The two ends' signing keys, from seeds kept in `work`.
struct BenchKeys {
    SigningKey secret[2];
    VerifyKey pub[2];
};

BenchKeys benchKeys(const fs::path& work) {
    BenchKeys keys;
    if (!crypto::available()) throw std::runtime_error("libsodium cannot start");
    for (int i = 0; i < 2; ++i) {
        const auto file = work / (i == 0 ? "sender.seed" : "receiver.seed");
        std::string seed;
        if (std::ifstream in{file, std::ios::binary}) seed.assign(std::istreambuf_iterator<char>(in), {});
        if (seed.size() != crypto::kSignSeedBytes) {
            seed = crypto::RandomBytes(crypto::kSignSeedBytes);
            std::ofstream(file.string() + ".new", std::ios::binary) << seed;
            fs::rename(file.string() + ".new", file);
        }
        auto pair = crypto::SigningKeysFromSeed(seed);
        std::copy(pair->secretKey.begin(), pair->secretKey.end(), keys.secret[i].begin());
        std::copy(pair->publicKey.begin(), pair->publicKey.end(), keys.pub[i].begin());
    }
    return keys;
}

int serve(const fs::path& work, quint16 port, const std::vector<fs::path>& paths) {
    const auto keys = benchKeys(work);
    TransferServer server(Blake2bDigests(std::getenv("LANYX_DIGEST_INLINE") == nullptr));
    QString error;
    if (!server.listen(port, &error)) {
        std::fprintf(stderr, "cannot listen: %s\n", qPrintable(error));
        return 1;
    }
    auto sel = GatherLocal(paths);
    const Offer offer = OfferFor(sel, server.port());
    server.add(offer, sel, [&](const Offer& o) {
        return std::make_unique<ConnectionHandshake>(ConnectionHandshake::Role::Sender, o.id, keys.secret[0],
                                                     keys.pub[1]);
    });
    std::ofstream(work / "offer.new", std::ios::binary) << FormatOffer(offer);
    fs::rename(work / "offer.new", work / "offer");
    bool done = false, ok = false;
    QObject::connect(&server, &TransferServer::finished, [&](const QString&, bool good, const QString& m) {
        if (!good) std::fprintf(stderr, "sending failed: %s\n", qPrintable(m));
        ok = good;
        done = true;
    });
    std::optional<LoopWatch> watch;
    QObject::connect(&server, &TransferServer::progress, [&] {
        if (!watch) watch.emplace();
    });
    runUntil([&] { return done; });
    const auto gap = watch ? watch->worstGapMs() : 0;
    // Let the last bytes leave before the socket goes.
    settle(200);
    std::printf("cpu_seconds %.3f\nloop_gap_ms %lld\n", cpuSeconds(), static_cast<long long>(gap));
    return ok ? 0 : 1;
}

int fetch(const fs::path& work, const QString& address, const fs::path& folder) {
    const auto keys = benchKeys(work);
    std::string text;
    for (int i = 0; i < 500 && text.empty(); ++i) {
        if (std::ifstream in{work / "offer", std::ios::binary}) text.assign(std::istreambuf_iterator<char>(in), {});
        if (text.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    auto offer = ParseOffer(text);
    if (!offer) {
        std::fprintf(stderr, "no offer in %s\n", (work / "offer").c_str());
        return 1;
    }
    fs::create_directories(folder);
    TransferClient client(*offer, QHostAddress(address), folder,
                          Blake2bDigests(std::getenv("LANYX_DIGEST_INLINE") == nullptr), [&](const Offer& o) {
                              return std::make_unique<ConnectionHandshake>(ConnectionHandshake::Role::Receiver, o.id,
                                                                           keys.secret[1], keys.pub[0]);
                          });
    bool done = false, ok = false;
    QObject::connect(&client, &TransferClient::finished, [&](bool good, const QString& m) {
        if (!good) std::fprintf(stderr, "transfer failed: %s\n", qPrintable(m));
        ok = good;
        done = true;
    });
    const long before = rssMb();
    long peak = before;
    // Sampled, not read at every piece that arrives (that would cost more
    // than the pieces with many small files).
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] { peak = std::max(peak, rssMb()); });
    sample.start(20);
    QElapsedTimer t;
    t.start();
    client.start();
    LoopWatch watch;
    runUntil([&] { return done; });
    const double seconds = t.nsecsElapsed() / 1e9;
    const auto gap = watch.worstGapMs();
    peak = std::max(peak, rssMb());
    // The last frame (Done) leaves before the process ends.
    settle(100);
    std::printf(
        "seconds %.3f\nrss_before_mib %ld\nrss_peak_mib %ld\nrss_growth_mib %ld\ncpu_seconds %.3f\nloop_gap_ms %lld\n",
        seconds, before, peak, peak - before, cpuSeconds(), static_cast<long long>(gap));
    return ok ? 0 : 1;
}

// What the file system alone charges for N files of KB kilobytes written
// into place as the receiver writes them (created new under a hidden
// name, written, closed, renamed without replacing), against one file of
// the same size: no network, no encryption, no check.
int floorFigures(std::uint64_t n, std::uint64_t kb, const fs::path& dir) {
    const std::string block(kb << 10, 'f');
    const auto many = dir / "floor-many";
    fs::create_directories(many);
    std::string error;
    QElapsedTimer t;
    t.start();
    for (std::uint64_t i = 0; i < n; ++i) {
        const auto target = many / ("f" + std::to_string(i));
        const auto partial = many / (".f" + std::to_string(i) + ".lanyx-part");
        auto out = platform::OutputFile::createNew(partial, error);
        if (!out || !out->write(block.data(), block.size(), error) || !out->flush(error) ||
            !platform::renameNoReplace(partial, target, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    const double manySeconds = t.nsecsElapsed() / 1e9;
    t.restart();
    auto out = platform::OutputFile::createNew(dir / "floor-one.bin", error);
    for (std::uint64_t i = 0; out && i < n; ++i) out->write(block.data(), block.size(), error);
    if (!out || !out->flush(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const double oneSeconds = t.nsecsElapsed() / 1e9;
    std::printf("floor_many_seconds %.3f\nfloor_one_seconds %.3f\n", manySeconds, oneSeconds);
    fs::remove_all(many);
    fs::remove(dir / "floor-one.bin");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "big" && argc == 4) {
        const auto mb = std::stoull(argv[2]);
        const fs::path dir = argv[3];
        fs::create_directories(dir / "src");
        fs::create_directories(dir / "dst");
        makeFile(dir / "src" / "big.bin", mb << 20);
        const double plain = plainCopy(dir / "src" / "big.bin", dir / "plain.bin");
        fs::remove(dir / "plain.bin");
        const long before = rssMb();
        long peak = before;
        const double ours = ourTransfer({dir / "src" / "big.bin"}, dir / "dst", &peak);
        std::printf("plain TCP copy   %6.0f MiB/s (%.2f s)\n", mb / plain, plain);
        std::printf("our transfer     %6.0f MiB/s (%.2f s)\n", mb / ours, ours);
        std::printf("ratio            %6.1f %%\n", 100.0 * plain / ours);
        std::printf("resident size    %ld MiB before, %ld MiB at most during (+%ld MiB)\n", before, peak,
                    peak - before);
        std::printf("CPU, both ends   %.2f s in all\n", cpuSeconds());
        return 0;
    }
    if (mode == "small" && argc == 5) {
        const auto n = std::stoull(argv[2]);
        const auto kb = std::stoull(argv[3]);
        const fs::path dir = argv[4];
        fs::create_directories(dir / "src" / "many");
        for (std::uint64_t i = 0; i < n; ++i) makeFile(dir / "src" / "many" / ("f" + std::to_string(i)), kb << 10);
        makeFile(dir / "src" / "one.bin", (n * kb) << 10);
        fs::create_directories(dir / "dst");
        const double many = ourTransfer({dir / "src" / "many"}, dir / "dst", nullptr);
        const double one = ourTransfer({dir / "src" / "one.bin"}, dir / "dst", nullptr);
        std::printf("%llu files of %llu KiB  %.2f s\n", static_cast<unsigned long long>(n),
                    static_cast<unsigned long long>(kb), many);
        std::printf("one file, same size  %.2f s\n", one);
        std::printf("ratio                %.2f\n", many / one);
        return 0;
    }
    if (mode == "serve" && argc >= 5) {
        std::vector<fs::path> paths(argv + 4, argv + argc);
        return serve(argv[2], static_cast<quint16>(std::stoul(argv[3])), paths);
    }
    if (mode == "fetch" && argc == 5) return fetch(argv[2], QString::fromLocal8Bit(argv[3]), argv[4]);
    if (mode == "floor" && argc == 5) return floorFigures(std::stoull(argv[2]), std::stoull(argv[3]), argv[4]);
    std::fprintf(stderr,
                 "usage: lanyx-transfer-figures big MB DIR | small N KB DIR | floor N KB DIR\n"
                 "       lanyx-transfer-figures serve WORK PORT PATH... | fetch WORK ADDR DIR\n");
    return 2;
}
