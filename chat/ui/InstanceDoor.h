#pragma once
// How a second start reaches the copy already running on the same data
// folder: the running copy listens on a local socket named after the
// folder, and a second start knocks on it so the first brings its main
// window to the front (there may be no tray icon to click).
#include <QObject>
#include <QString>

class QLocalServer;

namespace lanyx::ui {

class InstanceDoor : public QObject {
    Q_OBJECT
public:
    explicit InstanceDoor(QObject* parent = nullptr);
    // The socket's name for a data folder: per user, per folder.
    static QString NameFor(const QString& dataDir);
    // Starts listening; false when the socket cannot be made.
    bool open(const QString& dataDir);
    // Asks the copy listening for this folder to show itself; false when none answered.
    static bool knock(const QString& dataDir, int timeoutMs = 1000);

Q_SIGNALS:
    void knocked();

private:
    QLocalServer* server_ = nullptr;
};

}  // namespace lanyx::ui
