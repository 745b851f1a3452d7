#include "TrayIcon.h"

#include "StateIcons.h"

#include <algorithm>

#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#ifdef LANYX_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#endif

namespace lanyx::ui {

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), tray_(new QSystemTrayIcon(this)) {
    connect(tray_, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
}

TrayIcon::~TrayIcon() {
    Destroy();
}

void TrayIcon::setIcon(const QIcon& icon) {
    icon_ = icon;
    tray_->setIcon(shownIcon());  // shown at once while active
}

QIcon TrayIcon::shownIcon() const {
    return unread_ ? UnreadIcon(icon_) : icon_;
}

void TrayIcon::setUnread(bool unread) {
    if (unread_ == unread) return;
    unread_ = unread;
    tray_->setIcon(shownIcon());
    tray_->setToolTip(shownTip());
}

QString TrayIcon::shownTip() const {
    // The mark says it in words too.
    return unread_ ? tip_ + QStringLiteral(" (") + StateText(State::Unread) + QStringLiteral(")") : tip_;
}

QIcon TrayIcon::UnreadIcon(const QIcon& base) {
    // A round mark in the top right corner, large enough to see at 16 px.
    QIcon marked;
    for (int size : {16, 22, 24, 32, 48, 64, 128}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        base.paint(&p, QRect(0, 0, size, size));
        // The unread mark every window uses.
        const int d = size / 2 + 1;
        StateIcon(State::Unread).paint(&p, QRect(size - d, 0, d, d));
        p.end();
        marked.addPixmap(pm);
    }
    return marked;
}

void TrayIcon::setToolTipText(const QString& text) {
    // The tip keeps to the classic 63 characters.
    tip_ = text.left(63);
    tray_->setToolTip(shownTip());
}

bool TrayIcon::HasValidShell() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayIcon::Create() {
    if (active_) Destroy();
#ifdef LANYX_HAVE_DBUS
    // A StatusNotifier host never reports double clicks: there one click
    // shows the window, and the desktop draws the menu itself.
    const auto bus = QDBusConnection::sessionBus();
    singleClick_ = bus.isConnected() && bus.interface() &&
                   bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"));
#endif
    if (!HasValidShell()) {
        // At login the tray may come up after us: keep looking for a while.
        if (!retry_) {
            retry_ = new QTimer(this);
            retry_->setInterval(1000);
            connect(retry_, &QTimer::timeout, this, &TrayIcon::retry);
        }
        retries_ = 0;
        retry_->start();
        return false;
    }
    tray_->setIcon(shownIcon());
    tray_->setToolTip(shownTip());
    tray_->setContextMenu(singleClick_ ? menu_ : nullptr);
    tray_->show();
    active_ = true;
    return true;
}

void TrayIcon::retry() {
    if (HasValidShell()) {
        retry_->stop();
        if (Create()) Q_EMIT Appeared();
    } else if (++retries_ >= 60) {
        retry_->stop();
    }
}

void TrayIcon::Destroy() {
    if (retry_) retry_->stop();
    if (!active_) return;
    tray_->hide();
    active_ = false;
}

void TrayIcon::setContextMenu(QMenu* menu) {
    menu_ = menu;
    if (active_) tray_->setContextMenu(singleClick_ ? menu_ : nullptr);
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick: handleMessage(LeftButtonDoubleClick); break;
    case QSystemTrayIcon::Context:
        handleMessage(RightButtonDown);
        handleMessage(RightButtonUp);
        break;
    case QSystemTrayIcon::MiddleClick:
        handleMessage(MiddleButtonDown);
        handleMessage(MiddleButtonUp);
        break;
    case QSystemTrayIcon::Trigger:
        if (singleClick_) {
            if (active_ && !busy_) Q_EMIT ShowParent();
        } else {
            handleMessage(LeftButtonDown);
            handleMessage(LeftButtonUp);
        }
        break;
    default: break;
    }
}

void TrayIcon::handleMessage(int message) {
    if (!active_ || busy_) return;
    busy_ = true;
    switch (message) {
    case LeftButtonDown: Q_EMIT MouseDown(1); break;
    case LeftButtonUp: Q_EMIT MouseUp(1); break;
    case LeftButtonDoubleClick:
        Q_EMIT MouseDblClk(1);
        Q_EMIT ShowParent();
        break;
    case RightButtonDown: Q_EMIT MouseDown(2); break;
    case RightButtonUp:
        Q_EMIT MouseUp(2);
        Q_EMIT ShowPopUpMenu();
        break;
    case RightButtonDoubleClick: Q_EMIT MouseDblClk(2); break;
    case MiddleButtonDown: Q_EMIT MouseDown(4); break;
    case MiddleButtonUp: Q_EMIT MouseUp(4); break;
    case MiddleButtonDoubleClick: Q_EMIT MouseDblClk(4); break;
    default: break;
    }
    busy_ = false;
}

}  // namespace lanyx::ui
