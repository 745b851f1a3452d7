#pragma once
// The alert popup: one per received alert, sliding in at the chosen screen
// corner, on top, flashing, with a menu to reply, chat, block or export.
#include "ChatNode.h"
#include "logic/PopupRules.h"

#include <QWidget>

class QAction;
class QContextMenuEvent;
class QScrollArea;
class QLabel;
class QMenu;
class QTimer;

namespace lanyx::ui {

class CoolMenu;
class WindowHub;

class frmPop : public QWidget {
    Q_OBJECT
public:
    frmPop(ChatNode& node, WindowHub& hub);
    ~frmPop() override;

    // Fills, sizes, places and shows the popup for one alert.
    void ShowAlert(const std::string& text, const std::string& sender, bool isPrivate);
    // A later alert from the same sender joins this popup instead of opening another.
    void JoinAlert(const std::string& text);
    int alertCount() const { return count_; }
    Q_INVOKABLE void SetLan();

    QString sender() const { return sender_; }
    QString message() const { return message_; }
    QLabel* lblMsg() const { return lblMsg_; }
    QLabel* lblDrop() const { return lblDrop_; }
    QMenu* mnuPop() const { return mnuPop_; }
    QAction* action(const char* name) const;
    bool sliding() const;
    bool flashing() const;
    int flashToggles() const { return toggles_; }
    // For tests: run the timers' steps by hand.
    void aniTimer_Timer();
    void Timer_Timer();
    void ExportToTextFile();

private:
    void placeWidgets();
    void showMenu();

    ChatNode& node_;
    WindowHub& hub_;
    QString message_;
    QLabel* lblMsg_;
    QScrollArea* scroll_;
    QLabel* picImg_;
    QLabel* lblDrop_;
    QLabel* lblClose_;
    QTimer* aniTimer_;
    QTimer* timer_;
    QMenu* mnuPop_;
    QMenu* mnuReply_;
    CoolMenu* cool_ = nullptr;
    PopupFlash flash_;
    int toggles_ = 0;
    int count_ = 1;
    QString sender_;
    int corner_ = 0;
    std::int32_t topTwips_ = 0;
    std::int32_t heightTwips_ = 0;  // with the window manager's frame
    std::int32_t screenH_ = 0;
    std::int32_t leftTwips_ = 0;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace lanyx::ui
