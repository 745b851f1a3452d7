#pragma once
// The History window: the conversations kept (by person, the chat with
// everybody, chats of several), their lines, a search box that searches as
// the user types, the lines around a result, a jump to its conversation,
// the export of what is selected, and deleting a conversation or all.
// Reading runs off the user interface thread; deleting is the writer's.
#include "HistoryHost.h"
#include "HistoryStore.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;
class QTimer;
class QTreeWidget;

namespace lanyx::history {
class BackgroundReader;
class History;
}

namespace lanyx::ui {

class frmHistory : public QWidget {
    Q_OBJECT
public:
    frmHistory(history::History& history, HistoryHost& host, QWidget* parent = nullptr);
    ~frmHistory() override;

    Q_INVOKABLE void SetLan();
    // The conversation of a "|"-terminated list of names ("" for all of it).
    void ShowConversation(const std::string& list);
    void ShowScope(const history::Scope& scope, std::int64_t selectId = 0);
    // The conversation list read again.
    void Refresh();
    // Searches at once (typing waits a moment first).
    void Search(const QString& text);
    // The selected result's conversation, at that line.
    void JumpToSelected();
    // The selected lines (all shown when none is) through the export dialog.
    void ExportSelection();
    void DeleteConversation();
    void DeleteAll();

    // Asked before deleting; tests answer themselves.
    std::function<bool(const QString& question)> Confirm;

    QLineEdit* txtSearch() const { return txtSearch_; }
    QTreeWidget* lvConversations() const { return lvConversations_; }
    QTreeWidget* lvLines() const { return lvLines_; }
    QTextBrowser* txtAround() const { return txtAround_; }
    QLabel* lblStat() const { return lblStat_; }
    QPushButton* btnJump() const { return btnJump_; }
    QPushButton* btnExport() const { return btnExport_; }
    QPushButton* btnDelete() const { return btnDelete_; }
    QPushButton* btnDeleteAll() const { return btnDeleteAll_; }
    const history::Scope& scope() const { return scope_; }
    bool searching() const { return searching_; }
    const std::vector<history::HistoryRow>& shownRows() const { return rows_; }
    // Waits until no reading runs or waits (tests).
    void waitForReads();

    // The words of a row in the user's language: what became of a message
    // of ours ("" for none), the kind of a line that is not a chat line (""
    // for a chat line), and a transfer's files and size.
    static QString DeliveryText(HistoryDelivery delivery);
    static QString KindText(HistoryKind kind);
    static QString TransferText(const HistoryEntry& entry);

    // Lines shown at most for a conversation, and results for a search.
    static constexpr std::size_t kPage = 2000;
    static constexpr std::size_t kResults = 500;
    // Lines around a result, each side.
    static constexpr std::size_t kAround = 3;
    // How long typing pauses before the search runs.
    static constexpr int kTypingPauseMs = 120;

Q_SIGNALS:
    // The conversation list, the lines or the lines around were filled.
    void conversationsShown();
    void linesShown();
    void aroundShown();

private:
    enum Channel { Conversations = 0, Lines = 1, Around = 2 };
    void relabel();
    static QString everybodyTitle();
    void showConversations(std::vector<history::Conversation> convs);
    void showLines(std::vector<history::HistoryRow> rows, std::int64_t selectId, const QString& status,
                   const std::vector<std::string>& highlights);
    void showAround(std::vector<history::HistoryRow> rows, std::int64_t id);
    void selectionChanged();
    void conversationClicked();
    void selectConversationItem();
    QString rowHtml(const history::HistoryRow& row, bool current) const;
    std::string ownName() const { return host_.ownName(); }

    history::History& history_;
    HistoryHost& host_;
    std::unique_ptr<history::BackgroundReader> reader_;
    std::vector<history::Conversation> convs_;
    std::vector<history::HistoryRow> rows_;
    std::vector<std::string> highlights_;
    history::Scope scope_;
    bool searching_ = false;
    std::uint64_t linesSerial_ = 0;
    std::uint64_t aroundSerial_ = 0;

    QLineEdit* txtSearch_;
    QTreeWidget* lvConversations_;
    QTreeWidget* lvLines_;
    QTextBrowser* txtAround_;
    QLabel* lblStat_;
    QLabel* lblSearch_;
    QPushButton* btnJump_;
    QPushButton* btnExport_;
    QPushButton* btnDelete_;
    QPushButton* btnDeleteAll_;
    QTimer* typing_;
};

}  // namespace lanyx::ui
