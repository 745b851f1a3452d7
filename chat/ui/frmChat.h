#pragma once
// A chat window: a local member list, the conversation in the senders'
// colours with hanging indents, an input line where Enter sends.
#include "ChatNode.h"
#include "UserChoices.h"
#include "HistoryStore.h"
#include "logic/DeliveryStatus.h"
#include "logic/Export.h"
#include "logic/LineMarks.h"
#include "logic/Recipients.h"

#include <QWidget>

#include <functional>
#include <map>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QSplitter;
class QListWidget;
class QTextEdit;
class QToolButton;
class QTreeWidget;

namespace lanyx::ui {

class CoolMenu;
class FileDropFilter;
class SendFileActions;
class WindowHub;

class FindBar;
}  // namespace lanyx::ui

namespace lanyx::verbs {
struct LineRef;
}
namespace lanyx::verbs::ui {
class ComposeBar;
class LineView;
}  // namespace lanyx::verbs::ui
namespace lanyx::pictures::ui {
class ChatPictures;
}

namespace lanyx::ui {

class frmChat : public QWidget {
    Q_OBJECT
public:
    frmChat(ChatNode& node, WindowHub& hub);
    ~frmChat() override;

    Q_INVOKABLE void SetLan();
    void SavePos();
    void RefListOfUsers();
    void RefUserList();
    // Shows the line when the window holds the sender or "(All)".
    // `lineId`: its id between copies of ours; `replyTo`: the line it answers.
    bool AddMsg(const std::string& line, const std::string& sender, std::uint32_t colour, std::uint64_t lineId = 0,
                std::uint64_t replyTo = 0);
    // Somebody reacted to a line, or its author edited or took it back:
    // shown where the window holds it.
    void LineChanged(const verbs::LineRef& line);
    verbs::ui::LineView* lineView() const { return lineView_; }
    verbs::ui::ComposeBar* composeBar() const { return composeBar_; }
    void UpdateStat();
    void AddUser(const std::string& name);
    // A member who left the network: taken off, with a line saying so.
    void RemoveUser(const std::string& name);
    // A member taken off because the chat's members changed elsewhere
    // (false when not a member).
    bool DropMember(const std::string& name);
    // The user adds a member (the Add User menu): the hub is told.
    void UserAddsMember(const std::string& name);

    // The shared chat this window shows ("" for a list of its own).
    const std::string& roomId() const { return roomId_; }
    // The conversation its lines are kept in: the shared chat's, else the
    // chat of its members (empty: one other member, or everybody).
    std::string chatKey() const;
    void setRoom(const std::string& id);
    // A member who left the network and is not back yet: kept, marked away.
    void SetAway(const std::string& name, bool away);
    bool IsAway(const std::string& name) const;
    QStringList awayMembers() const { return away_; }
    // A member (or the own name, in the Options dialog) is known by
    // another name now; false when the window does not hold it.
    bool RenameMember(const std::string& from, const std::string& to);
    bool IsUserPresent(const std::string& name) const { return members_.IsUserPresent(name); }
    // The Send button: the input line to the members.
    void Send();
    void RemoveSelectedUser();
    void ExportToTextFile();
    void ExportToClipboard();
    void HelpObj_MenuHelp(const QString& menuText, const QString& menuHelp);

    const ChatMembers& members() const { return members_; }
    const Transcript& transcript() const { return transcript_; }
    // What an export writes before the lines: who took part, the date.
    ExportHeading exportHeading() const;
    QTreeWidget* lvUsers() const { return lvUsers_; }
    QTextEdit* txtMsg() const { return txtMsg_; }
    FindBar* findBar() const { return findBar_; }
    QLineEdit* txtSnd() const { return txtSnd_; }
    QLabel* lblStat() const { return lblStat_; }
    // What became of the last line sent privately, per member; hidden
    // until one was.
    QLabel* lblDelivery() const { return lblDelivery_; }
    // A later report about a line this window sent: the summary and the
    // mark at the end of that line in the transcript.
    void ShowDelivery(const DeliveryReport& report);
    // What each own private line shows beside it (view state only).
    const LineMarks& lineMarks() const { return marks_; }
    // The text of the mark shown at the end of transcript line `line`
    // (empty without one) and its tooltip.
    QString markShown(std::size_t line) const;
    QString markToolTip(std::size_t line) const;
    QSplitter* splitter() const { return splitter_; }
    QMenu* mnuUsers() const { return mnuUsers_; }
    QMenu* mnuAdd() const { return mnuAdd_; }
    QAction* action(const char* name) const;
    QString statusTag() const { return statTag_; }

    // File transfers from this window: Send File... and Send Folder... in
    // the Users menu, and files dropped onto the window. They go to the
    // selected member, or to every member but the own name.
    QStringList FileTargets() const;
    SendFileActions* sendFiles() const { return sendFiles_; }
    // Pictures pasted, dropped or picked here, and those said here shown
    // inline (none where the program has none).
    pictures::ui::ChatPictures* pictures() const { return pictures_; }
    void AddPicture(const std::string& sender, const QString& path);
    // A line of the program's own (a transfer that ended, a member who
    // went): shown, never exported. `text` gives it in the language of the
    // moment, also after the user switched languages.
    void AddNote(const QString& text);
    void AddNote(std::function<QString()> text);
    // Members who will not see chat lines (their status says so).
    QLabel* lblRecipientNote() const { return lblNote_; }
    // The size a first window takes on the screen at hand: room for its
    // title and lines of some length.
    QSize FittingSize() const;
    // The last lines with these members, from the history, above what comes
    // now: shown in grey, never exported.
    void ShowEarlier(const std::vector<history::HistoryRow>& rows);
    // Who types in this conversation now (none: the line goes).
    void ShowTyping(const std::vector<std::string>& who);
    QLabel* lblTyping() const { return lblTyping_; }
    // `who` saw the last line the user sent here.
    void ShowSeen(const std::string& who);
    QLabel* lblSeen() const { return lblSeen_; }
    QListWidget* mentionList() const { return mentions_; }
    // The conversation the History window opens for this window: the
    // selected member, else all of them.
    std::string HistoryList() const;

Q_SIGNALS:
    // The window became the active one (its lines have been seen).
    void activated();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void renderMark(std::size_t line);
    static QString markWord(MarkGroup group, std::size_t count);
    void refreshDeliveryLine();
    void showNote();
    void applyMenuImages();
    void insertNote(const QString& text, int id);

    ChatNode& node_;
    UserChoices choices_{node_};
    WindowHub& hub_;
    ChatMembers members_;
    Transcript transcript_;
    std::vector<std::string> everMembers_;  // whoever was a member, for the export
    QMenuBar* menuBar_;
    QMenu* mnuView_;
    QMenu* mnuUsers_;
    QMenu* mnuAdd_;
    QTreeWidget* lvUsers_;
    QSplitter* splitter_;
    QTextEdit* txtMsg_;
    FindBar* findBar_ = nullptr;
    QLabel* lblTyping_ = nullptr;
    QLabel* lblSeen_ = nullptr;
    QStringList seen_;
    void updateSeen();
    QListWidget* mentions_ = nullptr;
    verbs::ui::LineView* lineView_ = nullptr;
    verbs::ui::ComposeBar* composeBar_ = nullptr;
    // The own line just sent, until it shows here.
    std::uint64_t ownLineSent_ = 0;
    std::uint64_t ownReplySent_ = 0;
    std::map<std::uint64_t, std::size_t> transcriptLine_;  // line id -> transcript index
    void offerMentions();
    void completeMention(const QString& name);
    QStringList typing_;
    void updateTyping();
    QLineEdit* txtSnd_;
    QToolButton* tbSnd_;
    QLabel* lblStat_;
    QLabel* lblDelivery_;
    QLabel* lblNote_;
    std::map<int, std::function<QString()>> notes_;  // by id, for a language switch
    int nextNote_ = 0;
    DeliveryStatus delivery_;
    LineMarks marks_;
    QString statTag_;
    CoolMenu* cool_ = nullptr;
    bool placed_ = false;
    // The member list as tall as its rows, up to a bound, until the user
    // drags the splitter.
    void fitMemberList();
    int fittedRows_ = -1;
    bool memberListSized_ = false;
    void setUpFiles();
    SendFileActions* sendFiles_ = nullptr;
    FileDropFilter* drops_ = nullptr;
    pictures::ui::ChatPictures* pictures_ = nullptr;
    std::string roomId_;
    QString caption_;  // the language's caption, after the members' names in the title
    void updateTitle();
    QStringList away_;  // lower case
};

}  // namespace lanyx::ui
