#pragma once
// The event pump over Qt's event loop: the probe wait keeps the program
// responsive, and datagrams are processed inside it.
#include "Ports.h"

#include <QObject>

class QEventLoop;

namespace lanyx {

class QtEventPump : public QObject, public EventPump {
    Q_OBJECT
public:
    using QObject::QObject;
    std::uint32_t ticks() override;
    void pumpOnce() override;
    void runFor(std::uint32_t ms) override;
    bool stopRequested() const override { return stop_; }
    void callAfter(std::uint32_t ms, std::function<void()> fn) override;
    // Ends a running wait; start-up then shuts down instead of joining.
    void requestStop();

private:
    bool stop_ = false;
    QEventLoop* waiting_ = nullptr;
};

}  // namespace lanyx
