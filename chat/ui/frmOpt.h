#pragma once
// The Options window: name and colour, language, start with the desktop
// session, popup corner and alert sound, blocked users and groups. It edits
// copies in its controls; Accept checks the name and applies everything at
// once, Close forgets it. At start-up, when the configured name is taken, it
// runs modally and its Close ends the program.
#include "ChatNode.h"
#include "UserChoices.h"
#include "logic/DesktopPrefs.h"

#include <QDialog>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace lanyx::ui {
class NetworkPage;
}
namespace lanyx::history {
class History;
}
namespace lanyx {
class WaitingService;
}
class QSpinBox;

namespace lanyx::ui {

// What the window needs from the running program besides the node.
struct OptionsEnv {
    // Folders whose .wav files can be chosen as the alert sound.
    QStringList soundFolders;
    std::function<void(const QString& setting)> playSound;
    // The language was switched: every open window takes the new texts.
    std::function<void()> languageChanged;
    // The own name was changed (old, new): open windows follow it.
    std::function<void(const std::string&, const std::string&)> nameChanged;
    // The list of extra destinations (Network page): its file, and what to
    // tell when it was saved. No file: the page shows the list unsaved.
    std::filesystem::path destinationsFile;
    std::function<void(const std::vector<std::string>&)> destinationsChanged;
    // The desktop program's own settings (none: the window leaves them out)
    // and what saves them once Accept changed them.
    DesktopPrefs* prefs = nullptr;
    std::function<void()> prefsChanged;
    // The history, whose messages are kept as long as set here (none: not shown).
    history::History* history = nullptr;
    // The messages that wait, for as long as set here (none: not shown).
    WaitingService* waiting = nullptr;
};

// One colour of the list: its palette index and value (0x00BBGGRR).
struct OptColour {
    int index;
    std::uint32_t value;
};

class frmOpt : public QDialog {
    Q_OBJECT
public:
    frmOpt(ChatNode& node, OptionsEnv env, bool startUpMode = false, QWidget* parent = nullptr);

    // Start-up mode: runs modally; the accepted name, or nothing when the
    // user closed the window.
    std::optional<std::string> RunStartUp();
    bool startUpMode() const { return startUp_; }

    Q_INVOKABLE void SetLan();
    void InputSets();
    // Applies the controls; in start-up mode the name is left to start-up.
    void WriteSets();
    void AddGroups();
    void AddSnd();
    void RefBloc();
    void AddPos();
    void SetPos(int corner);
    void SetCol(std::uint32_t colour);
    void AddCols();

    // The buttons' actions.
    void Accept();
    void CloseClicked();
    void AddBlock();
    void RemoveBlockItem();
    void NewGroup();
    void AddMember();
    void RemoveNode();
    void GroupsEnter();
    void TestSound();
    void ShowPage(int page);

    // Whether the name may be used: NameTaken or NameNotAllowed when not.
    Result<void> NameProblem(const std::string& name);

    // The 15 colours offered: the classic 16-colour palette without light yellow.
    static std::vector<OptColour> OfferedColours();
    // The sound setting for a .wav file found in a folder.
    static QString SoundKey(const QString& fileName);
    // "Ann" from " aNN ".
    static QString BlockName(const QString& typed);
    // Group definitions from the tree (group names with their members, in tree
    // order): members go to every group of that exact name, groups without
    // members are dropped.
    static std::vector<std::string> BuildGroups(
        const std::vector<std::pair<std::string, std::vector<std::string>>>& tree);
    // The question asked before switching to language `index` of the list.
    QString LanguageQuestion(int index) const;

    // Message boxes and the beep, replaceable for tests.
    std::function<void(const QString& text, int icon)> MsgBox;
    std::function<bool(const QString& title, const QString& text)> AskYesNo;
    std::function<void()> Beep;

    // Controls, by their names.
    QLineEdit* txtName() const { return txtName_; }
    QLabel* nameHint() const { return lblNameHint_; }
    QAction* nameMark() const { return nameMark_; }
    QListWidget* lvCol() const { return lvCol_; }
    QLabel* lblPrevew() const { return lblPrevew_; }
    QComboBox* CMBlang() const { return CMBlang_; }
    QCheckBox* chkStartUp() const { return chkStartUp_; }
    QAbstractButton* posButton(int corner) const;
    QString tbPosTag() const { return posTag_; }
    QListWidget* lvSnd() const { return lvSnd_; }
    QCheckBox* chkNotify() const { return chkNotify_; }
    QCheckBox* chkReadMarks() const { return chkReadMarks_; }
    QComboBox* cmbChatSnd() const { return cmbChatSnd_; }
    // Days messages are kept in the history (0: for good).
    QSpinBox* spnKeepDays() const { return spnKeepDays_; }
    // Days a message waits for a recipient who is not on the network.
    QSpinBox* spnWaitDays() const { return spnWaitDays_; }
    QLineEdit* txtBlock() const { return txtBlock_; }
    QListWidget* lvBlock() const { return lvBlock_; }
    QPushButton* blockAdd() const { return secAdd_; }
    QPushButton* blockRemove() const { return secRemove_; }
    QTreeWidget* tvGroups() const { return tvGroups_; }
    QLineEdit* txtGroups() const { return txtGroups_; }
    QPushButton* acceptButton() const { return accept_; }
    NetworkPage* networkPage() const { return network_; }
    QPushButton* closeButton() const { return close_; }
    QStackedWidget* picOpt() const { return picOpt_; }
    QAbstractButton* tabButton(int page) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void reject() override;

private:
    QWidget* buildUserPage();
    QWidget* buildInterfacePage();
    QWidget* buildSecurityPage();
    QWidget* buildGroupsPage();
    QString text(int code, const char* builtIn) const;
    void colourClicked(QListWidgetItem* item);
    void nameTyped(const QString& typed);
    void checkNameBox();
    QTreeWidgetItem* root() const;
    bool hasGroups() const;
    void afterGroupEdit();

    ChatNode& node_;
    UserChoices choices_{node_};
    OptionsEnv env_;
    bool startUp_;
    std::optional<std::string> acceptedName_;
    QString posTag_;

    QButtonGroup* tbOpt_ = nullptr;
    QStackedWidget* picOpt_ = nullptr;
    QPushButton* accept_ = nullptr;
    NetworkPage* network_ = nullptr;
    std::vector<std::string> destinationsRead_;
    QPushButton* close_ = nullptr;
    // User
    QLabel* lblName_ = nullptr;
    QLineEdit* txtName_ = nullptr;
    QLabel* lblNameHint_ = nullptr;
    QAction* nameMark_ = nullptr;
    QLabel* lblCol_ = nullptr;
    QListWidget* lvCol_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QFrame* picPrevew_ = nullptr;
    QLabel* lblPrevew_ = nullptr;
    // Interface
    QLabel* lblLang_ = nullptr;
    QComboBox* CMBlang_ = nullptr;
    QCheckBox* chkStartUp_ = nullptr;
    QLabel* lblPos_ = nullptr;
    QButtonGroup* tbPos_ = nullptr;
    QLabel* lblSnd_ = nullptr;
    QListWidget* lvSnd_ = nullptr;
    QPushButton* tbSnd_ = nullptr;
    QCheckBox* chkNotify_ = nullptr;
    QCheckBox* chkReadMarks_ = nullptr;
    QLabel* lblChatSnd_ = nullptr;
    QComboBox* cmbChatSnd_ = nullptr;
    QLabel* lblKeepDays_ = nullptr;
    QSpinBox* spnKeepDays_ = nullptr;
    QLabel* lblWaitDays_ = nullptr;
    QSpinBox* spnWaitDays_ = nullptr;
    // Security
    QLabel* lblBlock_ = nullptr;
    QLineEdit* txtBlock_ = nullptr;
    QListWidget* lvBlock_ = nullptr;
    QPushButton* secAdd_ = nullptr;
    QPushButton* secRemove_ = nullptr;
    // Groups
    QLabel* lblGroups_ = nullptr;
    QTreeWidget* tvGroups_ = nullptr;
    QLineEdit* txtGroups_ = nullptr;
    QPushButton* grpNew_ = nullptr;
    QPushButton* grpAdd_ = nullptr;
    QPushButton* grpRemove_ = nullptr;
};

}  // namespace lanyx::ui
