// Figures for file transfers, printed, never checked:
//   lanyx-transfer-figures big MB DIR     one file of MB megabytes: a plain TCP copy, then
//                                         our transfer (handshake, sealed frames, digest)
//   lanyx-transfer-figures small N KB DIR N files of KB kilobytes in a folder, then one
//                                         file of the same total size
// Both ends run in this process over loopback; the resident size is the
// process's, so it bounds what the receiving end alone holds.
#include "TransferLinks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using namespace lanyx;
using namespace lanyx::transfer;

namespace {

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

template <typename Done>
void runUntil(Done done) {
    while (!done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
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
    TransferServer server(Blake2bDigests());
    server.listen(0, nullptr);
    auto sel = GatherLocal(paths);
    Offer offer;
    offer.id = NewTransferId();
    offer.port = server.port();
    offer.files = sel.files;
    offer.bytes = sel.bytes;
    offer.names = sel.topNames;
    server.add(offer, sel, [&](const Offer& o) {
        return std::make_unique<ConnectionHandshake>(ConnectionHandshake::Role::Sender, o.id, aSecret, bPub);
    });
    TransferClient client(offer, QHostAddress::LocalHost, folder, Blake2bDigests(), [&](const Offer& o) {
        return std::make_unique<ConnectionHandshake>(ConnectionHandshake::Role::Receiver, o.id, bSecret, aPub);
    });
    bool done = false;
    QObject::connect(&client, &TransferClient::finished, [&](bool ok, const QString& m) {
        if (!ok) std::fprintf(stderr, "transfer failed: %s\n", qPrintable(m));
        done = true;
    });
    QObject::connect(&client, &TransferClient::progress, [&](quint64, quint64) {
        if (peakRss) *peakRss = std::max(*peakRss, rssMb());
    });
    QElapsedTimer t;
    t.start();
    client.start();
    runUntil([&] { return done; });
    return t.nsecsElapsed() / 1e9;
}

} // namespace

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
        std::printf("resident size    %ld MiB before, %ld MiB at most during (+%ld MiB)\n", before, peak, peak - before);
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
    std::fprintf(stderr, "usage: lanyx-transfer-figures big MB DIR | small N KB DIR\n");
    return 2;
}
