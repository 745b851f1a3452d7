#include "InstanceDoor.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace lanyx::ui {

namespace {
constexpr char kShow[] = "show\n";
}

InstanceDoor::InstanceDoor(QObject* parent) : QObject(parent) {
}

QString InstanceDoor::NameFor(const QString& dataDir) {
    const QByteArray folder = QDir(dataDir).absolutePath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16);
#ifndef _WIN32
    return QStringLiteral("lanyx-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
#else
    return QStringLiteral("lanyx-%1").arg(QString::fromLatin1(hash));
#endif
}

bool InstanceDoor::open(const QString& dataDir) {
    const QString name = NameFor(dataDir);
    // Only this copy runs on the folder (start-up checked): a socket left
    // by one that crashed is stale.
    QLocalServer::removeServer(name);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name)) return false;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                // Anything but the one word is ignored.
                if (s->readAll().startsWith(kShow)) Q_EMIT knocked();
                s->disconnectFromServer();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return true;
}

bool InstanceDoor::knock(const QString& dataDir, int timeoutMs) {
    QLocalSocket s;
    s.connectToServer(NameFor(dataDir));
    if (!s.waitForConnected(timeoutMs)) return false;
    s.write(kShow);
    const bool sent = s.waitForBytesWritten(timeoutMs);
    s.disconnectFromServer();
    return sent;
}

}  // namespace lanyx::ui
