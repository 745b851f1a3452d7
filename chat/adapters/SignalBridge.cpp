#include "SignalBridge.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};
void onSignal(int) {
    const char b = 1;
    [[maybe_unused]] auto n = write(signalPipe[1], &b, 1);
}
}  // namespace
#endif

namespace lanyx {

SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {
#ifdef Q_OS_UNIX
    // A signal handler may only write to a pipe; the event loop reads it.
    if (signalPipe[0] < 0 && socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char b;
        [[maybe_unused]] auto n = read(signalPipe[0], &b, 1);
        Q_EMIT terminateRequested();
    });
#endif
}

SignalBridge::~SignalBridge() = default;

}  // namespace lanyx
