#include "QtEventPump.h"

#include "Platform.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>

namespace lanyx {

std::uint32_t QtEventPump::ticks() {
    return platform::tickCount();
}

void QtEventPump::pumpOnce() {
    QCoreApplication::processEvents();
}

void QtEventPump::runFor(std::uint32_t ms) {
    if (stop_) return;
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), &loop, &QEventLoop::quit);
    QEventLoop* outer = waiting_;
    waiting_ = &loop;
    loop.exec();
    waiting_ = outer;
}

void QtEventPump::callAfter(std::uint32_t ms, std::function<void()> fn) {
    QTimer::singleShot(std::chrono::milliseconds(ms), this, std::move(fn));
}

void QtEventPump::requestStop() {
    stop_ = true;
    if (waiting_) waiting_->quit();
}

}  // namespace lanyx
