#pragma once
// The notification-area icon. Mouse activity arrives as the classic mouse
// message numbers and raises the same events, in the same order.
#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

class QMenu;
class QTimer;

namespace lanyx::ui {

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    bool Active() const { return active_; }
    QIcon Icon() const { return icon_; }
    void setIcon(const QIcon& icon);
    QString ToolTipText() const { return tip_; }
    // Something unread waits (a chat line in a window in the background):
    // the icon carries a mark until it is cleared.
    void setUnread(bool unread);
    bool unread() const { return unread_; }
    // The icon as the tray shows it now.
    QIcon shownIcon() const;
    // The program's icon with the unread mark.
    static QIcon UnreadIcon(const QIcon& base);
    void setToolTipText(const QString& text);

    // Whether the desktop has a notification area right now.
    static bool HasValidShell();
    // Shows the icon. When the desktop has no notification area (yet), false:
    // it keeps looking for one for a while and shows the icon when it appears.
    bool Create();
    void Destroy();

    // The desktop's own menu for trays that cannot report a right click to
    // us (StatusNotifier); elsewhere ShowPopUpMenu lets the window open it.
    void setContextMenu(QMenu* menu);
    // The tray reports activation in single clicks only (StatusNotifier).
    bool singleClickTray() const { return singleClick_; }

    // The classic mouse message numbers the tray speaks in (the values of
    // Windows' WM_LBUTTONDOWN .. WM_MBUTTONDBLCLK).
    enum MouseMessage : int {
        LeftButtonDown = 0x0201,
        LeftButtonUp = 0x0202,
        LeftButtonDoubleClick = 0x0203,
        RightButtonDown = 0x0204,
        RightButtonUp = 0x0205,
        RightButtonDoubleClick = 0x0206,
        MiddleButtonDown = 0x0207,
        MiddleButtonUp = 0x0208,
        MiddleButtonDoubleClick = 0x0209,
    };
    // Any other number is ignored.
    void handleMessage(int message);
    QSystemTrayIcon* systemTrayIcon() const { return tray_; }
    // For hosts without a notification area that still feed messages (tests).
    void markActive(bool active) { active_ = active; }

Q_SIGNALS:
    void MouseDown(int button);
    void MouseUp(int button);
    void MouseDblClk(int button);
    void ShowParent();
    void ShowPopUpMenu();
    void Appeared();

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void retry();
    QString shownTip() const;

    QSystemTrayIcon* tray_;
    QIcon icon_;
    QString tip_;
    QMenu* menu_ = nullptr;
    QTimer* retry_ = nullptr;
    int retries_ = 0;
    bool active_ = false;
    bool busy_ = false;
    bool singleClick_ = false;
    bool unread_ = false;
};

}  // namespace lanyx::ui
