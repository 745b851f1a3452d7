#pragma once
// Alerts as desktop notifications (the freedesktop notification service on
// the session bus): the sender as summary, the alert as body, and Reply,
// Start Live Chat and Block Sender as actions. A flood from one sender
// replaces that sender's notification instead of stacking new ones.
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

namespace lanyx::ui {

class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QObject* parent = nullptr);

    // Whether a notification service runs (or can be started) on the session bus.
    bool available();
    // Labels of the three actions, in the current language.
    void setActionLabels(const QString& reply, const QString& live, const QString& block);
    // Shows the alert; true when it made a new notification, false when it
    // replaced (or will replace) the sender's open one.
    bool notify(const QString& sender, const QString& text);
    // Notifications open (or on their way), one per sender.
    int openCount() const { return static_cast<int>(bySender_.size()); }
    // Notifications the service has not answered yet (it has not said which
    // number it gave them).
    int unanswered() const {
        int n = 0;
        for (const auto& e : bySender_) n += e.pending ? 1 : 0;
        return n;
    }

    // Action keys as sent to the service.
    static constexpr const char* kReply = "reply";
    static constexpr const char* kLive = "live";
    static constexpr const char* kBlock = "block";
    // The longest body sent: a service draws a notification, not a document.
    static constexpr int kMaxBody = 2000;
    // The body as the service gets it: markup escaped, bounded.
    static QString BodyFor(const QString& text);

Q_SIGNALS:
    // An action of a sender's notification was chosen; `text` is its last alert.
    void actionInvoked(const QString& sender, const QString& action, const QString& text);
    // The service refused or could not be reached: the alert still needs showing.
    void failed(const QString& sender, const QString& text);

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& key);
    void onClosed(uint id, uint reason);

private:
    struct Entry {
        QString sender;
        QString text;
        uint id = 0;
        int count = 0;
        bool pending = false;  // a Notify call not answered yet
        bool resend = false;   // a later alert waits for the answer
    };
    void send(const QString& key);
    QString senderKey(uint id) const;

    QHash<QString, Entry> bySender_;  // keyed by the sender's name in lower case
    QStringList labels_;
    qint64 checkedAt_ = -1;
    bool available_ = false;
    bool connected_ = false;
};

}  // namespace lanyx::ui
