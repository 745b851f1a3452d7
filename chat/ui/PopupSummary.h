#pragma once
// The one popup that lists the alerts not shown in a popup of their own:
// alerts of senders that found every place taken, and the alerts of a
// popup that made room for a newer sender. Per sender the count, the time
// of the newest and its start; opening an entry shows that sender's alerts
// in a popup again. Bounded: a flood of names cannot fill the memory.
#include "frmPop.h"

#include <QWidget>

#include <deque>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
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
    // Opens the entry at a row of the list; the popup, or none.
    frmPop* Open(int row);
    // Alerts and senders no longer kept at all (past the bounds).
    int forgotten() const { return forgotten_; }
    // Where the popups are: the summary rests at the same corner.
    void placeAt(int corner, int alertHeight);
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
    void refresh();
    void trim();
    Entry* find(const QString& sender);

    OpenFn open_;
    std::deque<Entry> entries_;  // oldest first
    qsizetype bytes_ = 0;
    int forgotten_ = 0;
    int corner_ = 4;
    int alertHeight_ = 0;
    QLabel* title_;
    QToolButton* close_;
    QListWidget* list_;
    QPushButton* show_;
};

}  // namespace lanyx::ui
