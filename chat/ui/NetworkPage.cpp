#include "NetworkPage.h"

#include "Networks.h"
#include "UdpTransport.h"

#include <QHostInfo>
#include <QLabel>
#include <QPointer>
#include <QPlainTextEdit>
#include <QTimer>
#include <QEvent>
#include <QVBoxLayout>

namespace lanyx::ui {

NetworkPage::NetworkPage(QWidget* parent) : QWidget(parent) {
    setObjectName("picNetwork");
    auto* box = new QVBoxLayout(this);
    intro_ = new QLabel(this);
    intro_->setObjectName("lblNetworkIntro");
    intro_->setWordWrap(true);
    box->addWidget(intro_);
    txt_ = new QPlainTextEdit(this);
    txt_->setObjectName("txtNetwork");
    txt_->setTabChangesFocus(true);
    txt_->setLineWrapMode(QPlainTextEdit::NoWrap);
    intro_->setBuddy(txt_);
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

    networks_ = net::oneForEachSubnet(UdpTransport::scanInterfaces());

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
    SetLan();
}

void NetworkPage::SetLan() {
    intro_->setText(
        tr("Lanyx sends to every network this computer is on. For offices behind a router, every "
           "message also goes to these destinations, one a line: host names, addresses, or the "
           "broadcast address of another subnet (such as 10.2.255.255)."));
    txt_->setAccessibleName(tr("Extra destinations"));
    txt_->setAccessibleDescription(tr("One host name or address a line"));
    QStringList sent;
    for (const auto& n : networks_)
        sent << tr("%1 %2/%3 (broadcast %4)")
                    .arg(QString::fromStdString(n.name), QString::fromStdString(n.address.toString()))
                    .arg(n.prefixLength())
                    .arg(QString::fromStdString(n.broadcast.toString()));
    interfaces_->setText(sent.isEmpty() ? tr("No network interface that can broadcast was found.")
                                        : tr("Sent through: %1").arg(sent.join(QStringLiteral("; "))));
    showCheck();
}

void NetworkPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
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

namespace {
// The reasons a line cannot be a destination, as the list's reader gives
// them, for the translation.
const char* const kReasons[] = {
    QT_TRANSLATE_NOOP("lanyx::ui::NetworkPage", "empty"),
    QT_TRANSLATE_NOOP("lanyx::ui::NetworkPage", "longer than 253 characters"),
    QT_TRANSLATE_NOOP("lanyx::ui::NetworkPage", "an empty part between dots"),
    QT_TRANSLATE_NOOP("lanyx::ui::NetworkPage", "a part ends with \"-\""),
    QT_TRANSLATE_NOOP("lanyx::ui::NetworkPage", "an IPv6 address (only IPv4 is used)"),
    QT_TRANSLATE_NOOP("lanyx::ui::NetworkPage", "not a host name or IPv4 address"),
    QT_TRANSLATE_NOOP("lanyx::ui::NetworkPage", "a part begins with \"-\""),
    QT_TRANSLATE_NOOP("lanyx::ui::NetworkPage", "a part longer than 63 characters"),
    QT_TRANSLATE_NOOP("lanyx::ui::NetworkPage", "ends with a dot"),
    QT_TRANSLATE_NOOP("lanyx::ui::NetworkPage", "not a valid IPv4 address"),
};
}  // namespace

QStringList NetworkPage::problems() const {
    QStringList out;
    const QString many = QStringLiteral(": more than %1 destinations").arg(net::kMaxDestinations);
    for (const auto& p : net::parseDestinations(txt_->toPlainText().toStdString()).problems) {
        const QString problem = QString::fromStdString(p);
        QString said = problem;
        for (const char* reason : kReasons) {
            const QString suffix = QStringLiteral(": ") + QLatin1String(reason);
            if (problem.endsWith(suffix)) {
                said = tr("%1: %2").arg(problem.left(problem.size() - suffix.size()), tr(reason));
                break;
            }
        }
        if (problem.endsWith(many))
            said = tr("%1: more than %2 destinations")
                       .arg(problem.left(problem.size() - many.size()))
                       .arg(net::kMaxDestinations);
        out << said;
    }
    return out;
}

void NetworkPage::checkNow() {
    pause_->stop();
    for (const auto& e : entries()) {
        const QString name = QString::fromStdString(e);
        if (IpAddress::parseV4(e, IpAddress::Spelling::LeadingZeros) || asked_.count(name)) continue;
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
        if (IpAddress::parseV4(e, IpAddress::Spelling::LeadingZeros)) continue;
        const auto a = answers_.find(name);
        if (a == answers_.end()) lines << tr("%1: being looked up").arg(name);
        else if (a->second.isEmpty()) lines << tr("%1: does not resolve").arg(name);
        else lines << tr("%1: %2").arg(name, a->second.join(QStringLiteral(", ")));
    }
    check_->setText(lines.join(QLatin1Char('\n')));
}

}  // namespace lanyx::ui
