#include "UdpTransport.h"

#include "RecordFile.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace lanyx {

UdpTransport::UdpTransport(QHostAddress broadcast, quint16 port, QObject* parent)
    : QObject(parent), broadcast_(std::move(broadcast)), port_(port) {}

UdpTransport::~UdpTransport() = default;

void UdpTransport::open() {
    if (socket_) return;
    auto socket = std::make_unique<QUdpSocket>();
    // Shared binding: every copy on this host hears every broadcast.
    if (!socket->bind(QHostAddress::AnyIPv4, port_, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        const int number = socket->error() == QAbstractSocket::AddressInUseError ? err::AddressInUse : err::NetworkError;
        throw LanyxError(number, socket->errorString().toStdString());
    }
    // Received datagrams are processed one at a time, in order, on this thread.
    connect(socket.get(), &QUdpSocket::readyRead, this, &UdpTransport::readPending);
    socket_ = std::move(socket);
}

void UdpTransport::close() {
    if (!socket_) return;
    socket_->close();
    socket_.reset();
}

bool UdpTransport::isOpen() const {
    return socket_ != nullptr;
}

void UdpTransport::send(std::string_view bytes) {
    if (!socket_) return;
    const auto n = socket_->writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()), broadcast_, port_);
    if (n < 0) throw LanyxError(err::NetworkError, socket_->errorString().toStdString());
}

void UdpTransport::readPending() {
    // The socket may be closed by what a datagram triggers (a re-join).
    while (socket_ && socket_->hasPendingDatagrams()) {
        const QNetworkDatagram d = socket_->receiveDatagram();
        const QByteArray data = d.data();
        deliver(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    }
}

} // namespace lanyx
