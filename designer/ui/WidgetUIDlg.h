#pragma once
// The main window: hosts the widget server's editor over its whole client
// area and runs the life cycle of the current work.

#include "core/WidgetDocument.h"
#include "ui/HelpDialog.h"

#include <QHash>
#include <QPointer>

class QAction;
class QMenu;
class QMenuBar;
class QVBoxLayout;
class CFlatBitmapButton;
class CBrowserList;

namespace Cmd {
constexpr int NewBlank = 32799;
constexpr int NewFromTemplate = 32800;
constexpr int FileNew = 57600;
constexpr int Open = 57601;
constexpr int Save = 57603;
constexpr int SaveAs = 57604;
constexpr int SaveAsTemplate = 32779;
constexpr int Publish = 32809;
constexpr int Exit = 57665;
constexpr int ManageTemplates = 32784;
constexpr int PreviewDefault = 32797;
constexpr int FirstBrowser = 33001;
constexpr int LastBrowser = 33099;
constexpr int EditBrowsers = 32782;
constexpr int HelpTopics = 32801;
constexpr int Tutorial = 32802;
constexpr int TavishEditor = 32803;
constexpr int Faq = 32790;
constexpr int Ordering = 32806;
constexpr int HelpIndex = 57670;
constexpr int AboutLame = 32810;
constexpr int About = 57664;
constexpr int SupportFiles = 32780;
constexpr int RenameWork = 32785;
constexpr int ToggleOption = 32789;
constexpr int SamplePage = 32805;
// Buttons of the dialog template carrying the same commands.
constexpr int ButtonNew = 1000;
constexpr int ButtonOpen = 1001;
constexpr int ButtonSave = 1002;
constexpr int ButtonPublish = 1004;
constexpr int ButtonSupportFiles = 1028;
}  // namespace Cmd

class CWidgetUIDlg : public CHelpDialog, public IDocumentHost {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 102;

    explicit CWidgetUIDlg(BindingFactory factory, QWidget* parent = nullptr);
    ~CWidgetUIDlg() override;

    // Binds the first work and shows its editor; false: the program ends.
    bool Initialize();
    // The size the window opens at where no placement of it is kept: the
    // editor's, within the screen's free area.
    QSize DefaultSize(const QRect& available) const;
    // Opens a work file as File > Open does.
    bool OpenWork(const QString& path);

    // Command dispatch, as the menu, the accelerators, the buttons and the
    // hosted editor send them.
    void OnCommand(int id);
    // The per-item update of a menu when it opens.
    void UpdateCommandUI(QAction* action);

    // Idle processing: the title and the server's idle call.
    void OnIdle();

    CWidgetDocument& Document() { return m_document; }
    QWidget* EditorWindow() const { return m_editor; }
    QAction* Action(int id) const { return m_actions.value(id); }

    // IDocumentHost
    Answer AskSaveChanges() override;
    Answer AskQuestion(int id, bool yesNoCancel) override;
    void ShowMessage(int id, const QStringList& args, MessageIcon icon) override;
    QString AskFileName(bool saveForm, const QString& proposedName) override;
    bool ShowEditor() override;
    void BeginWait() override;
    void EndWait() override;

    void accept() override;  // Enter: the editor is told, the window stays
    void reject() override;  // Esc: nothing

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenu();
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& key = {});
    void BuildButtons();
    void SavePlacement();
    void RestorePlacement();
    void OnNewFromTemplate();
    void OnSaveAsTemplate();
    void OnManageTemplates();
    void RunPreview(const QString& program);
    void OnPreviewInBrowser(int id);
    void OnEditBrowsers();

public:
    // The browser items of Preview in Browser, rebuilt whenever it opens.
    void UpdateBrowserItems();
    QMenu* BrowserMenu() const { return m_browserMenu; }

private:
    void OnRenameWork();
    void OnSupportFiles();
    void OnPublish();

    CWidgetDocument m_document;
    QVBoxLayout* m_layout = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QPointer<QWidget> m_editor;
    bool m_inIdle = false;
    int m_waitDepth = 0;
    QHash<int, QAction*> m_actions;
    QList<CFlatBitmapButton*> m_buttons;
    QMenu* m_browserMenu = nullptr;
    QList<QAction*> m_browserActions;
    std::unique_ptr<CBrowserList> m_browsers;
};
