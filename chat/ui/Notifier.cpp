#include "Notifier.h"

#include <QDateTime>

#ifdef LANYX_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#endif

namespace lanyx::ui {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
}  // namespace

DesktopNotifier::DesktopNotifier(QObject* parent)
    : QObject(parent),
      labels_{QStringLiteral("Reply"), QStringLiteral("Start Live Chat"), QStringLiteral("Block Sender")} {
}

bool DesktopNotifier::available() {
#ifdef LANYX_HAVE_DBUS
    // Asked again now and then, not for every alert of a flood.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (checkedAt_ >= 0 && now - checkedAt_ < 3000) return available_;
    checkedAt_ = now;
    auto bus = QDBusConnection::sessionBus();
    available_ = false;
    if (!bus.isConnected() || !bus.interface()) return false;
    available_ = bus.interface()->isServiceRegistered(kService).value();
    if (!available_) {
        const QDBusReply<QStringList> names = bus.interface()->activatableServiceNames();
        available_ = names.isValid() && names.value().contains(kService);
    }
    if (available_ && !connected_) {
        connected_ = bus.connect(QString(), kPath, kService, QStringLiteral("ActionInvoked"), this,
                                 SLOT(onActionInvoked(uint, QString))) &&
                     bus.connect(QString(), kPath, kService, QStringLiteral("NotificationClosed"), this,
                                 SLOT(onClosed(uint, uint)));
    }
    return available_;
#else
    return false;
#endif
}

void DesktopNotifier::setActionLabels(const QString& reply, const QString& live, const QString& block) {
    labels_ = {reply, live, block};
}

QString DesktopNotifier::BodyFor(const QString& text) {
    // Many services read the body as markup: anything a sender typed stays text.
    QString body = text.size() > kMaxBody ? text.left(kMaxBody) + QChar(0x2026) : text;
    return body.toHtmlEscaped();
}

bool DesktopNotifier::notify(const QString& sender, const QString& text) {
    const QString key = sender.toLower();
    const bool fresh = !bySender_.contains(key);
    Entry& e = bySender_[key];
    e.sender = sender;
    e.text = text;
    ++e.count;
    if (e.pending) {
        // Only the newest alert goes out once the service has answered.
        e.resend = true;
        return fresh;
    }
    send(key);
    return fresh;
}

void DesktopNotifier::send(const QString& key) {
#ifdef LANYX_HAVE_DBUS
    Entry& e = bySender_[key];
    const QString summary = e.count > 1 ? QStringLiteral("%1 (%2)").arg(e.sender).arg(e.count) : e.sender;
    const QStringList actions{QString::fromLatin1(kReply), labels_.value(0),
                              QString::fromLatin1(kLive),  labels_.value(1),
                              QString::fromLatin1(kBlock), labels_.value(2)};
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("lanyx"));
    hints.insert(QStringLiteral("category"), QStringLiteral("im.received"));
    auto msg = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    msg << QStringLiteral("Lanyx") << e.id << QStringLiteral("lanyx") << summary << BodyFor(e.text) << actions << hints
        << qint32(-1);
    e.pending = true;
    e.resend = false;
    // Never waits: the user interface goes on while the service answers.
    auto* watch = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(msg), this);
    connect(watch, &QDBusPendingCallWatcher::finished, this, [this, key](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        QDBusPendingReply<uint> reply = *w;
        auto it = bySender_.find(key);
        if (it == bySender_.end()) return;
        it->pending = false;
        if (reply.isError()) {
            const Entry lost = *it;
            bySender_.erase(it);
            checkedAt_ = -1;
            Q_EMIT failed(lost.sender, lost.text);
            return;
        }
        it->id = reply.value();
        if (it->resend) send(key);
    });
#else
    const Entry lost = bySender_.take(key);
    Q_EMIT failed(lost.sender, lost.text);
#endif
}

QString DesktopNotifier::senderKey(uint id) const {
    for (auto it = bySender_.begin(); it != bySender_.end(); ++it)
        if (it->id == id && id != 0) return it.key();
    return {};
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action) {
    const QString key = senderKey(id);
    if (key.isEmpty()) return;
    const Entry& e = bySender_[key];
    Q_EMIT actionInvoked(e.sender, action, e.text);
}

void DesktopNotifier::onClosed(uint id, uint) {
    const QString key = senderKey(id);
    // The next alert from the sender makes a new notification.
    if (!key.isEmpty() && !bySender_[key].pending) bySender_.remove(key);
}

}  // namespace lanyx::ui
