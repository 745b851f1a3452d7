#pragma once
// The real transport: a UDP socket on port 1414 that broadcasts to the
// segment and hears every broadcast, its own included.
#include "Transport.h"

#include <QHostAddress>
#include <QObject>
#include <memory>

class QUdpSocket;

namespace lanyx {

class UdpTransport : public QObject, public DatagramTransport {
    Q_OBJECT
public:
    explicit UdpTransport(QHostAddress broadcast = QHostAddress::Broadcast, quint16 port = 1414,
                          QObject* parent = nullptr);
    ~UdpTransport() override;

    void open() override;
    void close() override;
    bool isOpen() const override;
    void send(std::string_view bytes) override;

private:
    void readPending();

    QHostAddress broadcast_;
    quint16 port_;
    std::unique_ptr<QUdpSocket> socket_;
};

} // namespace lanyx
