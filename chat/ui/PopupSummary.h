#pragma once
// The one popup that lists the alerts not shown in a popup of their own:
// alerts of senders that found every place taken, and the alerts of a
// popup that made room for a newer sender. Per sender the count, the time
// of the newest and its start; opening an entry shows that sender's alerts
// in a popup again. Bounded: a flood of names cannot fill the memory, and
// each alert costs the same however many senders are listed; the list
// itself is redrawn a few times a second at most.
#include "frmPop.h"

#include <QElapsedTimer>
#include <QHash>
#include <QWidget>

#include <deque>
#include <functional>
#include <list>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;
class QToolButton;

namespace lanyx::ui {

class PopupSummary : public QWidget {
    Q_OBJECT
public:
    // Senders listed at most (the oldest entry goes first), text kept per
    // sender and in all.
    static constexpr int kMaxSenders = 50;
    static constexpr qsizetype kMaxBytesPerSender = 256 * 1024;
    static constexpr qsizetype kMaxBytes = 4 * 1024 * 1024;
    // The list is redrawn at most once in this time, however fast alerts come.
    static constexpr int kRefreshGapMs = 250;

    // What opens an entry again: a popup for the sender with its alerts.
    using OpenFn = std::function<frmPop*(const QString& sender, std::deque<PopAlert> alerts)>;
    explicit PopupSummary(OpenFn open, QWidget* parent = nullptr);

    // Keeps alerts of a sender (after those kept already) and shows the list.
    void Keep(const QString& sender, const std::deque<PopAlert>& alerts);
    bool Holds(const QString& sender) const;
    // The sender's alerts, out of the list.
    std::deque<PopAlert> Take(const QString& sender);
    // Senders listed, newest first, as the list shows them.
    QStringList senders() const;
    // Opens the entry at a row of senders(); the popup, or none.
    frmPop* Open(int row);
    // Opens the entry of a sender; the popup, or none.
    frmPop* OpenSender(const QString& sender);
    // Alerts and senders no longer kept at all (past the bounds), and
    // alerts counted elsewhere without being kept (`notKept`).
    int forgotten() const { return forgotten_; }
    void countNotKept(int alerts);
    // Redraws the list now if a redraw waits.
    void refreshNow();
    // Where the popups are: the summary rests at the same corner.
    void placeAt(int corner, int alertHeight);
    int corner() const { return corner_; }
    int alertHeight() const { return alertHeight_; }
    QListWidget* list() const { return list_; }
    Q_INVOKABLE void SetLan();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Entry {
        QString sender;
        std::deque<PopAlert> alerts;
        qsizetype bytes = 0;
    };
    using Entries = std::list<Entry>;
    static QString keyOf(const QString& sender) { return sender.toCaseFolded(); }
    void refresh();
    void scheduleRefresh();
    void trim(Entry& touched);
    void drop(Entries::iterator it);
    void showOnce();

    OpenFn open_;
    Entries entries_;                          // oldest first
    QHash<QString, Entries::iterator> index_;  // by case-folded sender
    qsizetype bytes_ = 0;
    QTimer* refreshTimer_;
    QElapsedTimer sinceRefresh_;
    int forgotten_ = 0;
    int corner_ = 4;
    int alertHeight_ = 0;
    QLabel* title_;
    QToolButton* close_;
    QListWidget* list_;
    QPushButton* show_;
};

}  // namespace lanyx::ui
