#include "StateIcons.h"

#include "Outbox.h"
#include "Resources.h"

#include <QHash>
#include <QLocale>

namespace lanyx::ui {

namespace {
const char* const kContext = "StateIcons";
QString words(const char* text) {
    return QCoreApplication::translate(kContext, text);
}
}  // namespace

QIcon SharedIcon(const QString& resource) {
    // Never destroyed: icons outlive the application object at exit.
    static auto* icons = new QHash<QString, QIcon>;
    auto it = icons->find(resource);
    if (it == icons->end()) it = icons->insert(resource, QIcon(resource));
    return *it;
}

QIcon StateIcon(State state) {
    EnsureResources();
    switch (state) {
    case State::Encrypted: return QIcon(QStringLiteral(":/lanyx/lock.svg"));
    case State::InTheClear: return QIcon(QStringLiteral(":/lanyx/unlock.svg"));
    case State::Warning: return QIcon(QStringLiteral(":/lanyx/warning.svg"));
    case State::Blocked: return QIcon(QStringLiteral(":/lanyx/blocked.svg"));
    case State::Unread: return QIcon(QStringLiteral(":/lanyx/unread.svg"));
    case State::Available: return QIcon(QStringLiteral(":/lanyx/status-available.svg"));
    case State::AlertsOnly: return QIcon(QStringLiteral(":/lanyx/status-alerts.svg"));
    case State::DoNotDisturb: return QIcon(QStringLiteral(":/lanyx/status-dnd.svg"));
    }
    return {};
}

QString StateText(State state) {
    switch (state) {
    case State::Encrypted: return words(QT_TRANSLATE_NOOP("StateIcons", "encrypted"));
    case State::InTheClear: return words(QT_TRANSLATE_NOOP("StateIcons", "in the clear"));
    case State::Warning: return words(QT_TRANSLATE_NOOP("StateIcons", "warning"));
    case State::Blocked: return words(QT_TRANSLATE_NOOP("StateIcons", "blocked"));
    case State::Unread: return words(QT_TRANSLATE_NOOP("StateIcons", "unread lines"));
    case State::Available: return words(QT_TRANSLATE_NOOP("StateIcons", "available"));
    case State::AlertsOnly: return words(QT_TRANSLATE_NOOP("StateIcons", "alerts only"));
    case State::DoNotDisturb: return words(QT_TRANSLATE_NOOP("StateIcons", "do not disturb"));
    }
    return {};
}

State StatusState(int status) {
    return status == 1 ? State::AlertsOnly : status == 2 ? State::DoNotDisturb : State::Available;
}

State DeliveryState(const DeliveryReport& r) {
    if (r.state == Delivery::Withheld) return State::Warning;
    if (!r.encrypted) return State::InTheClear;
    return r.state == Delivery::NotConfirmed ? State::Warning : State::Encrypted;
}

QString DeliveryWord(const DeliveryReport& r) {
    if (r.state == Delivery::Withheld) return words(QT_TRANSLATE_NOOP("StateIcons", "not sent"));
    if (r.state == Delivery::Queued) return words(QT_TRANSLATE_NOOP("StateIcons", "queued"));
    if (!r.encrypted) return words(QT_TRANSLATE_NOOP("StateIcons", "sent"));
    switch (r.state) {
    case Delivery::Delivered: return words(QT_TRANSLATE_NOOP("StateIcons", "delivered"));
    case Delivery::NotConfirmed: return words(QT_TRANSLATE_NOOP("StateIcons", "not confirmed"));
    default: return words(QT_TRANSLATE_NOOP("StateIcons", "waiting"));
    }
}

QString DeliveryRowText(const DeliveryReport& r) {
    const QString who = QString::fromStdString(r.recipient);
    if (r.state == Delivery::Withheld) {
        switch (r.withheld) {
        case Withheld::KeyChanged:
            return words(QT_TRANSLATE_NOOP("StateIcons",
                                           "%1: not sent: %1's key changed. Compare the safety number in %1's "
                                           "information before anything goes to %1 again"))
                .arg(who);
        case Withheld::CannotOpen:
            return words(QT_TRANSLATE_NOOP("StateIcons", "%1: not sent: %1's program takes no sealed messages"))
                .arg(who);
        case Withheld::Empty: return words(QT_TRANSLATE_NOOP("StateIcons", "%1: not sent: nothing to send")).arg(who);
        case Withheld::Expired:
            return words(QT_TRANSLATE_NOOP("StateIcons", "%1: not sent: it waited for %1 too long and expired"))
                .arg(who);
        case Withheld::Cancelled:
            return words(QT_TRANSLATE_NOOP("StateIcons", "%1: not sent: you took it back while it waited")).arg(who);
        case Withheld::WaitingFull:
            return words(QT_TRANSLATE_NOOP("StateIcons", "%1: not sent: %2 messages already wait for %1"))
                .arg(who, QLocale().toString(static_cast<qulonglong>(Outbox::kMaxWaitingFor)));
        case Withheld::OutboxFull:
            return words(QT_TRANSLATE_NOOP("StateIcons",
                                           "%1: not sent: the messages waiting for absent users fill the room kept "
                                           "for them"))
                .arg(who);
        default: return words(QT_TRANSLATE_NOOP("StateIcons", "%1: not sent: not on the network")).arg(who);
        }
    }
    if (r.state == Delivery::Local) return words(QT_TRANSLATE_NOOP("StateIcons", "%1: shown here only")).arg(who);
    if (r.state == Delivery::Queued)
        return words(
                   QT_TRANSLATE_NOOP("StateIcons",
                                     "%1: queued, encrypted: %1 is not on the network; it goes when %1 is seen again"))
            .arg(who);
    if (!r.encrypted)
        return words(
                   QT_TRANSLATE_NOOP("StateIcons", "%1: in the clear, sent; this recipient's program does not confirm"))
            .arg(who);
    switch (r.state) {
    case Delivery::Delivered: return words(QT_TRANSLATE_NOOP("StateIcons", "%1: encrypted, delivered")).arg(who);
    case Delivery::NotConfirmed: return words(QT_TRANSLATE_NOOP("StateIcons", "%1: encrypted, not confirmed")).arg(who);
    default: return words(QT_TRANSLATE_NOOP("StateIcons", "%1: encrypted, waiting for confirmation")).arg(who);
    }
}

}  // namespace lanyx::ui
