#pragma once
// The alert popup of one sender: it slides in at the chosen screen corner,
// stays on top, flashes, and keeps every alert of that sender readable,
// newest first, each with its time and whether it was private; a menu
// replies, chats, blocks or exports.
#include "ChatNode.h"
#include "UserChoices.h"
#include "logic/PopupRules.h"

#include <QDateTime>
#include <QWidget>

#include <deque>
#include <optional>

class QAction;
class QContextMenuEvent;
class QLabel;
class QMenu;
class QTextEdit;
class QTimer;
class QToolButton;

namespace lanyx::ui {

class CoolMenu;
class WindowHub;

// One alert as it arrived.
struct PopAlert {
    QDateTime at;
    bool isPrivate = false;
    QString text;
};

class frmPop : public QWidget {
    Q_OBJECT
public:
    frmPop(ChatNode& node, WindowHub& hub);
    ~frmPop() override;

    // Fills, sizes, places and shows the popup for one alert.
    void ShowAlert(const std::string& text, const std::string& sender, bool isPrivate);
    // Shows alerts kept elsewhere (the summary) in a popup of their own.
    void ShowAlerts(const std::deque<PopAlert>& alerts, const QString& sender);
    // A later alert from the same sender joins this popup, on top.
    void JoinAlert(const std::string& text, bool isPrivate = false);
    int alertCount() const { return count_; }
    Q_INVOKABLE void SetLan();

    // Text kept for one sender at most; alerts past it are counted, told and
    // logged, the oldest first.
    static constexpr qsizetype kMaxKeptBytes = 1024 * 1024;
    // Characters of one alert the list shows; the rest is told, and kept
    // whole for export, copy and chat.
    static constexpr qsizetype kMaxShownChars = 4000;
    qsizetype keptBytes() const { return keptBytes_; }
    int droppedCount() const { return dropped_; }
    const std::deque<PopAlert>& alerts() const { return alerts_; }
    // When the last alert came: the oldest popup makes room first.
    QDateTime lastAlertAt() const { return alerts_.empty() ? QDateTime() : alerts_.back().at; }

    QString sender() const { return sender_; }
    // The sender was heard before the strangers that waited when an alert
    // of it came (the receive path says so): it may take a stranger's place.
    bool heardBefore() const { return heardBefore_; }
    void setHeardBefore(bool heardBefore) { heardBefore_ = heardBefore_ || heardBefore; }
    // The newest alert's text.
    QString message() const { return alerts_.empty() ? QString() : alerts_.back().text; }
    QTextEdit* txtAlerts() const { return txtAlerts_; }
    QLabel* lblFrom() const { return lblFrom_; }
    QLabel* lblDrop() const { return lblDrop_; }
    QLabel* lblDropped() const { return lblDropped_; }
    QMenu* mnuPop() const { return mnuPop_; }
    QAction* action(const char* name) const;
    bool sliding() const;
    // The corner it came in at (0: none), and the band it rests in there;
    // none where it did not slide in or the user moved it away.
    int corner() const { return corner_; }
    std::optional<PopupBand> restBand() const;
    bool flashing() const;
    int flashToggles() const { return toggles_; }
    // For tests: run the timers' steps by hand.
    void aniTimer_Timer();
    void Timer_Timer();
    void ExportToTextFile();
    // The alerts' texts in the order they came, for the clipboard and a chat.
    QStringList textsInOrder() const;

    // Frameless where the desktop lets a window place itself; a normal
    // framed window elsewhere.
    static bool FramelessOn(const QString& platformName);
    // "14:03 · Private": when an alert came and how.
    static QString HeaderFor(const PopAlert& alert);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void add(PopAlert alert);
    void render();
    // Shows the alerts that came since the last time, in one change of the
    // list: a flood costs one layout per pass of the event loop.
    void flushRender();
    int prepend(const PopAlert& alert);
    void dropOldest();
    void fitToContent();
    // The band this one takes meets another popup's (one came or grew while
    // it slid in, or it grew): it takes the first free place instead.
    // Whether its place changed.
    bool keepClear();
    void moveToRest();
    void showMenu();
    void applyMenuImages();

    ChatNode& node_;
    UserChoices choices_{node_};
    WindowHub& hub_;
    std::deque<PopAlert> alerts_;
    std::deque<int> blocks_;         // the list's blocks of each alert shown, oldest first
    std::size_t unshownBlocks_ = 0;  // blocks of alerts dropped but still in the list
    bool renderPending_ = false;
    qsizetype keptBytes_ = 0;
    int dropped_ = 0;
    int widest_ = 0;  // the widest line of the alerts kept, in pixels
    QLabel* picImg_;
    QLabel* lblFrom_;
    QToolButton* cmdClose_;
    QTextEdit* txtAlerts_;
    QLabel* lblDropped_;
    QLabel* lblDrop_;
    QLabel* lblClose_;
    QTimer* aniTimer_;
    QTimer* timer_;
    QMenu* mnuPop_;
    QMenu* mnuReply_;
    CoolMenu* cool_ = nullptr;
    PopupFlash flash_;
    int toggles_ = 0;
    int count_ = 0;
    QString sender_;
    QColor colour_;
    int corner_ = 0;
    std::int32_t topTwips_ = 0;
    std::int32_t heightTwips_ = 0;  // with the window manager's frame
    std::int32_t screenH_ = 0;
    std::int32_t leftTwips_ = 0;
    std::int32_t restTwips_ = 0;  // from the corner's edge
    bool moved_ = false;          // dragged away from its place
    bool shown_ = false;
    bool heardBefore_ = false;
    qint64 lastDropLog_ = -1;
    QPoint dragFrom_;
};

}  // namespace lanyx::ui
