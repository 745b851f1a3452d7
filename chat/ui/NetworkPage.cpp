#include "NetworkPage.h"

#include "Networks.h"
#include "UdpTransport.h"

#include <QHostInfo>
#include <QLabel>
#include <QPointer>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace lanyx::ui {

NetworkPage::NetworkPage(QWidget* parent) : QWidget(parent) {
    setObjectName("picNetwork");
    auto* box = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Lanyx sends to every network this computer is on. For offices behind a router, every "
                       "message also goes to these destinations, one a line: host names, addresses, or the "
                       "broadcast address of another subnet (such as 10.2.255.255)."),
        this);
    intro->setWordWrap(true);
    box->addWidget(intro);
    txt_ = new QPlainTextEdit(this);
    txt_->setObjectName("txtNetwork");
    txt_->setTabChangesFocus(true);
    txt_->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->addWidget(txt_, 1);
    check_ = new QLabel(this);
    check_->setObjectName("lblNetworkCheck");
    check_->setWordWrap(true);
    check_->setTextFormat(Qt::PlainText);
    box->addWidget(check_);
    interfaces_ = new QLabel(this);
    interfaces_->setObjectName("lblInterfaces");
    interfaces_->setWordWrap(true);
    interfaces_->setTextFormat(Qt::PlainText);
    box->addWidget(interfaces_);

    QStringList sent;
    for (const auto& n : net::oneForEachSubnet(UdpTransport::scanInterfaces()))
        sent << QString::fromStdString(n.describe());
    interfaces_->setText(sent.isEmpty() ? QStringLiteral("No network interface that can broadcast was found.")
                                        : QStringLiteral("Sent through: ") + sent.join(QStringLiteral("; ")));

    resolver_ = [this](const QString& name, std::function<void(QStringList)> done) {
        QHostInfo::lookupHost(name, this, [done = std::move(done)](const QHostInfo& info) {
            QStringList found;
            for (const auto& a : info.addresses())
                if (a.protocol() == QAbstractSocket::IPv4Protocol) found << a.toString();
            done(found);
        });
    };
    pause_ = new QTimer(this);
    pause_->setSingleShot(true);
    pause_->setInterval(500);
    connect(pause_, &QTimer::timeout, this, &NetworkPage::checkNow);
    connect(txt_, &QPlainTextEdit::textChanged, this, [this] { pause_->start(); });
}

void NetworkPage::setEntries(const std::vector<std::string>& entries) {
    QStringList lines;
    for (const auto& e : entries) lines << QString::fromStdString(e);
    txt_->setPlainText(lines.join(QLatin1Char('\n')));
    checkNow();
}

std::vector<std::string> NetworkPage::entries() const {
    return net::parseDestinations(txt_->toPlainText().toStdString()).entries;
}

QStringList NetworkPage::problems() const {
    QStringList out;
    for (const auto& p : net::parseDestinations(txt_->toPlainText().toStdString()).problems)
        out << QString::fromStdString(p);
    return out;
}

void NetworkPage::checkNow() {
    pause_->stop();
    for (const auto& e : entries()) {
        const QString name = QString::fromStdString(e);
        if (net::parseIpv4(e) || asked_.count(name)) continue;
        asked_[name] = true;
        QPointer<NetworkPage> self(this);
        resolver_(name, [self, name](QStringList found) {
            if (!self) return;
            self->answers_[name] = found;
            self->showCheck();
        });
    }
    showCheck();
}

void NetworkPage::showCheck() {
    QStringList lines = problems();
    for (const auto& e : entries()) {
        const QString name = QString::fromStdString(e);
        if (net::parseIpv4(e)) continue;
        const auto a = answers_.find(name);
        if (a == answers_.end()) lines << name + QStringLiteral(": being looked up");
        else if (a->second.isEmpty()) lines << name + QStringLiteral(": does not resolve");
        else lines << name + QStringLiteral(": ") + a->second.join(QStringLiteral(", "));
    }
    check_->setText(lines.join(QLatin1Char('\n')));
}

} // namespace lanyx::ui
