#pragma once
// What the tests of file transfers between nodes share: Qt's event loop
// (the files go over TCP on loopback) turned beside a simulated segment,
// and two joined copies with file transfers.
#include "FileTransfers.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <memory>

namespace lanyx::test {

// The application object of a test program without windows.
inline QCoreApplication& coreApp() {
    if (auto* existing = QCoreApplication::instance()) return *existing;
    static int argc = 1;
    static char name[] = "lanyx_transfer_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication a(argc, argv);
    return a;
}

// Turns the event loop (and the segment's simulated time, 10 ms a pass,
// where there is one) until `done` or `ms` of real time.
template <typename Done> bool runQtUntil(Done done, int ms = 20000, MemorySegment* seg = nullptr) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        if (seg) seg->runFor(10);
        QCoreApplication::processEvents(QEventLoop::AllEvents, seg ? 10 : 20);
    }
    return done();
}

// ann and bob with keys and file transfers, joined on the segment; the
// datagrams seem to come from loopback, where the files are served.
inline void joinWithFiles(MemorySegment& seg, Peer& ann, Peer& bob, std::unique_ptr<FileTransfers>& annFiles,
                          std::unique_ptr<FileTransfers>& bobFiles, TransferSetup bobSetup = {}) {
    for (auto* p : {&ann, &bob}) p->transport.source = p->transport.address = IpAddress::v4(0x7f000001);
    annFiles = std::make_unique<FileTransfers>(ann.node);
    bobFiles = std::make_unique<FileTransfers>(bob.node, std::move(bobSetup));
    ann.joinAs("ann");
    seg.runFor(50);
    bob.joinAs("bob");
    seg.runFor(2000);
}

}  // namespace lanyx::test
