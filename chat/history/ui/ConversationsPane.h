#pragma once
// The conversations beside the user list in the main window: shared chats
// and people, newest first, with unread lines, the newest line and its
// time, and the known users who are away, greyed; Enter or a double click
// opens one. Read off the user interface thread.
#include "ConversationList.h"

#include <QTreeWidget>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace lanyx::history {
class BackgroundReader;
class History;
}  // namespace lanyx::history

namespace lanyx::ui {

class ConversationsPane : public QWidget {
    Q_OBJECT
public:
    struct Services {
        std::function<history::History*()> history;  // none: nothing kept (yet)
        std::function<std::vector<std::string>()> knownAway;
        std::function<std::map<std::string, int>()> unread;
        std::function<void(const ConversationItem&)> open;
        // When a user away was last heard (ms since 1970; 0: not known).
        std::function<std::int64_t(const std::string& name)> lastSeen;
    };
    explicit ConversationsPane(Services services, QWidget* parent = nullptr);
    ~ConversationsPane() override;

    // Read again within a moment (many changes at once read once).
    void refreshSoon();
    void refresh();
    QTreeWidget* list() const { return list_; }
    const std::vector<ConversationItem>& items() const { return items_; }

Q_SIGNALS:
    // The list shows what was read last.
    void refreshed();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void show(const std::vector<history::Conversation>& kept);

    Services services_;
    QTreeWidget* list_;
    QTimer* soon_;
    std::vector<ConversationItem> items_;
    std::unique_ptr<history::BackgroundReader> reader_;
    const history::History* readerOf_ = nullptr;
};

}  // namespace lanyx::ui
