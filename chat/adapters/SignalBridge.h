#pragma once
// SIGINT and SIGTERM (the terminal, or the desktop session ending) as a Qt
// signal on the event loop, so that the normal shutdown runs.
#include <QObject>

class QSocketNotifier;

namespace lanyx {

class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

Q_SIGNALS:
    void terminateRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace lanyx
