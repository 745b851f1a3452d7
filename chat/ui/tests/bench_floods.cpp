// Prints popups, chat windows and memory under an alert flood from one
// sender and a chat flood from many, fed as the receive path feeds them.
#include "ChatWindows.h"
#include "TestSupport.h"
#include "frmChat.h"
#include "frmPop.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {
long rssKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        std::getline(status, key);
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int alerts = argc > 1 ? std::atoi(argv[1]) : 100000;
    lanyx::test::MemorySegment seg;
    lanyx::test::Peer ann(seg, "ann");
    ann.joinAs("ann");
    lanyx::ui::ChatWindows windows(ann.node, {}, {});
    const long start = rssKb();
    // 10,000 alerts a second for 10 s.
    for (int i = 0; i < alerts; ++i) {
        windows.ShowAlert("alert " + std::to_string(i), "bob", false);
        if (i % 1000 == 0) QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    std::printf("alert flood: %d alerts from one sender -> %lld top-level windows, RSS %+ld kB (now %ld kB)\n", alerts,
                static_cast<long long>(QApplication::topLevelWidgets().size()), rssKb() - start, rssKb());
    const long before = rssKb();
    for (int i = 0; i < 1600; ++i) {
        seg.post("peer" + std::to_string(i) + "|C/0");
        seg.deliverAll();
        windows.RouteChatLine("line", "peer" + std::to_string(i), 0);
        QCoreApplication::processEvents();
    }
    std::printf("chat flood: 1600 lines from different senders -> %lld chat windows, RSS %+ld kB (now %ld kB)\n",
                static_cast<long long>(windows.chatWindows().size()), rssKb() - before, rssKb());
    return 0;
}
