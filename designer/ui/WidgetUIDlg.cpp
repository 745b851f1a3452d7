#include "ui/WidgetUIDlg.h"

#include "ui/FennicMessage.h"
#include "ui/ShellApp.h"
#include "core/StringTable.h"
#include "core/WindowPlacement.h"
#include "controls/DesignerBitmaps.h"
#include "controls/FlatBitmapButton.h"
#include "ui/BrowserDlgs.h"
#include "core/HelpTopics.h"
#include "ui/PublishDlgs.h"
#include "ui/RenameDlg.h"
#include "ui/TemplateDlgs.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const QString kFileFilter = QStringLiteral("Widget Configuration Files (*.pgt);;All Files (*.*)");

}  // namespace

CWidgetUIDlg::CWidgetUIDlg(BindingFactory factory, QWidget* parent)
    : CHelpDialog(kTemplateId, parent), m_document(*this, std::move(factory)) {
    setWindowTitle(QStringLiteral("WidgetUI"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    setAcceptDrops(true);
    const QIcon icon(FennicIconPixmap(32));
    setWindowIcon(icon);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    BuildMenu();
    BuildButtons();
    // 509 x 321 dialog units, roughly.
    resize(860, 560);
    qApp->installEventFilter(this);
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, &CWidgetUIDlg::OnIdle);
}

CWidgetUIDlg::~CWidgetUIDlg() {
    qApp->removeEventFilter(this);
}

QAction* CWidgetUIDlg::AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& key) {
    auto* action = menu->addAction(text);
    action->setData(id);
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(action, &QAction::triggered, this, [this, id]() { OnCommand(id); });
    m_actions.insert(id, action);
    return action;
}

void CWidgetUIDlg::BuildMenu() {
    m_menuBar = new QMenuBar(this);
    m_layout->setMenuBar(m_menuBar);

    QMenu* file = m_menuBar->addMenu(tr("&File"));
    QMenu* newMenu = file->addMenu(tr("&New"));
    AddCommand(newMenu, Cmd::NewBlank, tr("Blank"));
    AddCommand(newMenu, Cmd::NewFromTemplate, tr("From Template...\tCtrl+N"), QKeySequence(Qt::CTRL | Qt::Key_N));
    AddCommand(file, Cmd::Open, tr("&Open...\tCtrl+O"), QKeySequence(Qt::CTRL | Qt::Key_O));
    AddCommand(file, Cmd::Save, tr("&Save\tCtrl+S"), QKeySequence(Qt::CTRL | Qt::Key_S));
    AddCommand(file, Cmd::SaveAs, tr("Save &As..."));
    file->addSeparator();
    AddCommand(file, Cmd::SaveAsTemplate, tr("Save as &Template..."));
    AddCommand(file, Cmd::Publish, tr("&Publish..."));
    file->addSeparator();
    AddCommand(file, Cmd::Exit, tr("E&xit"));

    QMenu* edit = m_menuBar->addMenu(tr("&Edit"));
    AddCommand(edit, EditCmd::Undo, tr("&Undo\tCtrl+Z"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    AddCommand(edit, EditCmd::Redo, tr("&Redo\tCtrl+Shift+Z"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));

    QMenu* templates = m_menuBar->addMenu(tr("&Template"));
    // One action per id: the File menu's item serves both menus.
    templates->addAction(m_actions.value(Cmd::SaveAsTemplate));
    AddCommand(templates, Cmd::ManageTemplates, tr("&Manage Templates...\tCtrl+T"), QKeySequence(Qt::CTRL | Qt::Key_T));

    QMenu* preview = m_menuBar->addMenu(tr("&Preview"));
    QMenu* inBrowser = preview->addMenu(tr("Preview in &Browser"));
    AddCommand(inBrowser, Cmd::PreviewDefault, tr("&Default Browser\tF12"), QKeySequence(Qt::Key_F12));
    m_browserMenu = inBrowser;
    connect(inBrowser, &QMenu::aboutToShow, this, &CWidgetUIDlg::UpdateBrowserItems);
    preview->addSeparator();
    AddCommand(preview, Cmd::EditBrowsers, tr("&Edit Browser List..."));

    QMenu* help = m_menuBar->addMenu(tr("&Help"));
    AddCommand(help, Cmd::HelpTopics, tr("&Help Topics"));
    AddCommand(help, Cmd::Tutorial, tr("&Tutorial"));
    AddCommand(help, Cmd::TavishEditor, tr("&Work with Tavish HTML Editor"));
    AddCommand(help, Cmd::Faq, tr("F.A.Q."));
    help->addSeparator();
    AddCommand(help, Cmd::Ordering, tr("&Ordering Information"));
    help->addSeparator();
    AddCommand(help, Cmd::AboutLame, tr("About LAME MP3 Encoder..."));
    AddCommand(help, Cmd::About, tr("&About Tavish Fennic..."));

    // F1 has no menu item; it is the application's help request.
    auto* helpIndex = new QAction(this);
    helpIndex->setShortcut(QKeySequence(Qt::Key_F1));
    helpIndex->setShortcutContext(Qt::WindowShortcut);
    connect(helpIndex, &QAction::triggered, this, [this]() { OnCommand(Cmd::HelpIndex); });
    addAction(helpIndex);

    for (QMenu* menu : m_menuBar->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu]() {
            for (QAction* action : menu->actions()) UpdateCommandUI(action);
        });
    }
    // Shortcuts of greyed items must not fire either.
    for (QAction* action : std::as_const(m_actions)) UpdateCommandUI(action);
}

void CWidgetUIDlg::BuildButtons() {
    struct ButtonDef {
        int id;
        const char* caption;
        int bitmap;
    };
    const ButtonDef defs[] = {
        {Cmd::ButtonNew, "New Widget", BitmapId::NewWidget},
        {Cmd::ButtonOpen, "Open Widget from a *.pgt File", BitmapId::OpenWidget},
        {Cmd::ButtonSave, "Save Widget", BitmapId::SaveWidget},
        {Cmd::ButtonPublish, "Generate HTML Code", BitmapId::GenerateCode},
        {Cmd::ButtonSupportFiles, "View Support Files", BitmapId::SupportFiles},
    };
    // The buttons exist but stay hidden and disabled: the editor covers the
    // whole client area, and the menu carries the same commands.
    for (const ButtonDef& def : defs) {
        auto* button = new CFlatBitmapButton(this, def.id);
        button->setText(tr(def.caption));
        button->setToolTip(tr(def.caption));
        button->SetBitmap(DesignerBitmap(def.bitmap));
        button->setEnabled(false);
        button->hide();
        connect(button, &CFlatBitmapButton::Command, this, &CWidgetUIDlg::OnCommand);
        m_buttons << button;
    }
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("1006"));
    frame->hide();
}

bool CWidgetUIDlg::Initialize() {
    setWindowTitle(QStringLiteral("Tavish Fennic"));
    if (!m_document.Start() || !m_editor) return false;
    if (QScreen* screen = QGuiApplication::primaryScreen()) resize(DefaultSize(screen->availableGeometry()));
    RestorePlacement();
    show();
    OnIdle();
    return true;
}

QSize CWidgetUIDlg::DefaultSize(const QRect& available) const {
    // Room left for the window's frame and title.
    const QSize room = (available.size() - QSize(32, 64)).expandedTo(QSize(640, 480));
    return sizeHint().expandedTo(QSize(860, 560)).boundedTo(room);
}

bool CWidgetUIDlg::OpenWork(const QString& path) {
    const bool opened = m_document.Open(path);
    OnIdle();
    return opened;
}

bool CWidgetUIDlg::ShowEditor() {
    m_editor = nullptr;
    CPagelet* binding = m_document.Current();
    if (!binding) return false;
    QWidget* editor = nullptr;
    QString error;
    bool failed = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        editor = (*binding)->CreateEditor(this);
    } catch (const WidgetServerError& e) {
        failed = true;
        error = e.Message().left(256);
    }
    QApplication::restoreOverrideCursor();
    if (failed) {
        ShowMessage(Ids::AutomationError, {error}, MessageIcon::Error);
        return false;
    }
    if (!editor) {
        // A server without an editor leaves nothing to work with.
        QMetaObject::invokeMethod(
            this, [this]() { done(QDialog::Rejected); }, Qt::QueuedConnection);
        return false;
    }
    m_editor = editor;
    // The layout keeps the editor over the whole client area through every
    // resize and gives the window the editor's minimum size.
    m_layout->addWidget(editor);
    editor->show();
    (*binding)->Activate(1);
    return true;
}

IDocumentHost::Answer CWidgetUIDlg::AskSaveChanges() {
    switch (FennicMessage(this, Ids::SaveChanges, {}, MessageIcon::Question,
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

IDocumentHost::Answer CWidgetUIDlg::AskQuestion(int id, bool yesNoCancel) {
    const auto buttons = yesNoCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                     : QMessageBox::Ok | QMessageBox::Cancel;
    switch (FennicMessage(this, id, {}, MessageIcon::Question, buttons)) {
    case QMessageBox::Yes:
    case QMessageBox::Ok: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

void CWidgetUIDlg::ShowMessage(int id, const QStringList& args, MessageIcon icon) {
    FennicMessage(this, id, args, icon);
}

QString CWidgetUIDlg::AskFileName(bool saveForm, const QString& proposedName) {
    if (saveForm) {
        return QFileDialog::getSaveFileName(this, tr("Save As"), QDir::current().filePath(proposedName), kFileFilter);
    }
    return QFileDialog::getOpenFileName(this, tr("Open"), QDir::currentPath(), kFileFilter);
}

void CWidgetUIDlg::BeginWait() {
    if (m_waitDepth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CWidgetUIDlg::EndWait() {
    if (m_waitDepth > 0 && --m_waitDepth == 0) QApplication::restoreOverrideCursor();
}

void CWidgetUIDlg::OnIdle() {
    if (m_inIdle) return;
    m_inIdle = true;
    const QString title = m_document.Title();
    if (windowTitle() != title) setWindowTitle(title);
    // Accelerators of greyed items do not fire, so the items' state must
    // follow the work all the time, not only when a menu opens.
    for (QAction* action : std::as_const(m_actions)) UpdateCommandUI(action);
    if (CPagelet* binding = m_document.Current()) (*binding)->OnIdle();
    m_inIdle = false;
}

void CWidgetUIDlg::UpdateCommandUI(QAction* action) {
    if (!action || action->isSeparator() || action->menu()) return;
    const int id = action->data().toInt();
    CPagelet* binding = m_document.Current();
    if (id == Cmd::Save || id == Cmd::SaveAs || id == Cmd::SaveAsTemplate || id == Cmd::Publish ||
        id == Cmd::PreviewDefault) {
        action->setEnabled(binding != nullptr);
    } else if (id == EditCmd::Undo || id == EditCmd::Redo) {
        action->setEnabled(binding && (*binding)->EditCommand(id, true));
    } else if (id == Cmd::ToggleOption) {
        action->setCheckable(true);
        action->setChecked(binding && (*binding)->DarkPreview() != 0);
    }
}

void CWidgetUIDlg::OnCommand(int id) {
    // A server's error inside a command ends that command and is reported;
    // letting it run on into the event loop would end the program.
    try {
        switch (id) {
        case Cmd::NewBlank: m_document.NewBlank(); break;
        case Cmd::NewFromTemplate:
        case Cmd::FileNew: OnNewFromTemplate(); break;
        case Cmd::ButtonNew: {
            QMenu menu(this);
            menu.addAction(m_actions.value(Cmd::NewBlank));
            menu.addAction(m_actions.value(Cmd::NewFromTemplate));
            menu.exec(mapToGlobal(QPoint(0, m_menuBar->height())));
            break;
        }
        case Cmd::Open:
        case Cmd::ButtonOpen: m_document.OpenWithDialog(); break;
        case Cmd::Save:
        case Cmd::ButtonSave: m_document.SaveCurrentWork(false); break;
        case Cmd::SaveAs: m_document.SaveCurrentWork(true); break;
        case Cmd::SaveAsTemplate: OnSaveAsTemplate(); break;
        case Cmd::Publish:
        case Cmd::ButtonPublish: OnPublish(); break;
        case Cmd::ManageTemplates: OnManageTemplates(); break;
        case Cmd::Exit: close(); break;
        case Cmd::PreviewDefault: RunPreview(QString()); break;
        case Cmd::EditBrowsers: OnEditBrowsers(); break;
        case Cmd::HelpIndex: ShowHelpTopic(this, HelpTopicFor(HelpKey::Index)); break;
        case Cmd::HelpTopics:
        case Cmd::Tutorial:
        case Cmd::TavishEditor:
        case Cmd::Faq: ShowHelpTopic(this, HelpTopicFor(id)); break;
        case Cmd::Ordering: ShellOpen(ShellTargetUrl(LoadStringResource(Ids::OrderingAddress))); break;
        case Cmd::About:
            if (CShellApp::Instance()) CShellApp::Instance()->OnAppAbout(this);
            break;
        case Cmd::AboutLame:
            if (CShellApp::Instance()) CShellApp::Instance()->OnLameAbout(this);
            break;
        case Cmd::SupportFiles:
        case Cmd::ButtonSupportFiles: OnSupportFiles(); break;
        case Cmd::RenameWork: OnRenameWork(); break;
        case EditCmd::Undo:
        case EditCmd::Redo:
            if (CPagelet* binding = m_document.Current()) (*binding)->EditCommand(id, false);
            break;
        case Cmd::ToggleOption: m_document.ToggleOption(); break;
        case Cmd::SamplePage:
            if (CPagelet* binding = m_document.Current()) ShellOpen(ShellTargetUrl(binding->SamplePage()));
            break;
        default:
            if (id >= Cmd::FirstBrowser && id <= Cmd::LastBrowser) OnPreviewInBrowser(id);
            break;
        }
    } catch (const WidgetServerError& error) {
        ShowMessage(Ids::AutomationError, {error.Message().left(256)}, MessageIcon::Error);
    }
    OnIdle();
}

void CWidgetUIDlg::OnNewFromTemplate() {
    CNewWidgetDlg dialog(m_document.Factory(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_document.NewFromTemplate(dialog.Name(), dialog.Description(), dialog.TemplatePath());
}

void CWidgetUIDlg::OnSaveAsTemplate() {
    CPagelet* binding = m_document.Current();
    if (!binding) return;
    CSaveAsTemplateDlg dialog(m_document.Factory(), (*binding)->Name(), (*binding)->Description(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_document.SaveAsTemplate(dialog.Name(), dialog.Description(), dialog.TemplatePath());
}

void CWidgetUIDlg::OnManageTemplates() {
    CTemplatesDlg dialog(m_document.Factory(), this);
    dialog.exec();
}

void CWidgetUIDlg::RunPreview(const QString& program) {
    CPagelet* binding = m_document.Current();
    if (!binding) return;
    const QString file = (*binding)->GetPreviewPage();
    if (file.isEmpty()) return;
    const bool started = program.isEmpty() ? ShellOpen(QUrl::fromLocalFile(file)) : LaunchBrowser(program, file);
    if (!started) {
        FennicMessageBox(this,
                         tr("The browser could not be started%1. The preview page is %2: open it in a browser of "
                            "your choice, or pick another one under Preview > Edit Browser List.")
                             .arg(program.isEmpty() ? tr(" (the desktop has no default browser, or it failed)")
                                                    : QStringLiteral(" (%1)").arg(program),
                                  QDir::toNativeSeparators(file)),
                         MessageIcon::Exclamation);
    }
}

void CWidgetUIDlg::OnPreviewInBrowser(int id) {
    // Detected afresh: a browser may have come or gone since the menu opened.
    const CBrowserList browsers;
    const QString program = browsers.ProgramAt(id - Cmd::FirstBrowser);
    if (!program.isEmpty()) RunPreview(program);
}

void CWidgetUIDlg::UpdateBrowserItems() {
    for (QAction* action : std::as_const(m_browserActions)) {
        m_actions.remove(action->data().toInt());
        delete action;
    }
    m_browserActions.clear();
    if (!m_browsers) m_browsers = std::make_unique<CBrowserList>();
    const int count = std::min(m_browsers->Count(), Cmd::LastBrowser - Cmd::FirstBrowser + 1);
    for (int i = 0; i < count; ++i) {
        const int id = Cmd::FirstBrowser + i;
        auto* action = new QAction(m_browsers->NameAt(i), m_browserMenu);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id]() { OnCommand(id); });
        m_browserMenu->addAction(action);
        m_actions.insert(id, action);
        m_browserActions << action;
    }
}

void CWidgetUIDlg::OnEditBrowsers() {
    {
        CExternalBrowsersDlg dialog(this);
        dialog.exec();
    }
    m_browsers = std::make_unique<CBrowserList>();
}

void CWidgetUIDlg::OnRenameWork() {
    CPagelet* binding = m_document.Current();
    if (!binding) return;
    CRenameDlg dialog((*binding)->Name(), (*binding)->Description(), this);
    if (dialog.exec() == QDialog::Accepted) m_document.Rename(dialog.Name(), dialog.Description());
}

void CWidgetUIDlg::OnSupportFiles() {
    if (CPagelet* binding = m_document.Current()) {
        CSupportFilesDlg dialog(*binding, this, m_document.CurrentPath());
        dialog.exec();
    }
}

void CWidgetUIDlg::OnPublish() {
    if (!m_document.PreparePublish()) return;
    CPagelet* binding = m_document.Current();
    CViewCodeDlg dialog(*binding, RequiredHtmlCode(*binding->Server()), this, m_document.CurrentPath());
    dialog.exec();
}

void CWidgetUIDlg::accept() {
    if (CPagelet* binding = m_document.Current()) (*binding)->Activate(0);
}

void CWidgetUIDlg::reject() {
}

void CWidgetUIDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            accept();
            return;
        }
        break;
    case Qt::Key_Escape: reject(); return;
    default: break;
    }
    CHelpDialog::keyPressEvent(event);
}

bool CWidgetUIDlg::event(QEvent* event) {
    if (event->type() == ShellCommandEvent::EventType()) {
        OnCommand(static_cast<ShellCommandEvent*>(event)->Command());
        return true;
    }
    return CHelpDialog::event(event);
}

bool CWidgetUIDlg::eventFilter(QObject* watched, QEvent* event) {
    // Key events of this window reach the server before anyone else once no
    // accelerator took them (shortcuts are matched before key presses).
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == this) {
            if (CPagelet* binding = m_document.Current()) {
                if ((*binding)->PreTranslateMessage(watched, event)) return true;
            }
        }
    }
    return CHelpDialog::eventFilter(watched, event);
}

void CWidgetUIDlg::closeEvent(QCloseEvent* event) {
    setFocus();
    if (!m_document.CloseCurrentWork()) {
        event->ignore();
        return;
    }
    SavePlacement();
    event->accept();
    done(QDialog::Accepted);
}

void CWidgetUIDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CWidgetUIDlg::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    // Only the first file: one work at a time.
    const QString path = urls.first().toLocalFile();
    QMetaObject::invokeMethod(
        this,
        [this, path]() {
            m_document.Open(path);
            OnIdle();
        },
        Qt::QueuedConnection);
}

void CWidgetUIDlg::SavePlacement() {
    // Position of the frame, size of the client area: that is what move() and
    // resize() take back, so the window does not creep or grow from run to run
    // while the window manager has not yet told us its frame.
    QSettings settings;
    WindowPlacementData placement;
    placement.showCmd = isMaximized() ? kShowMaximized : kShowNormal;
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    const QPoint frameOffset = geometry().topLeft() - pos();
    placement.normal = QRect(normal.topLeft() - frameOffset, normal.size());
    ::SavePlacement(settings, QStringLiteral("Main"), placement);
}

void CWidgetUIDlg::RestorePlacement() {
    QSettings settings;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->virtualGeometry() : QRect(0, 0, 1024, 768);
    const PlacementDecision decision = ::RestorePlacement(settings, QStringLiteral("Main"), QRect(pos(), size()),
                                                          screenRect, true, true);
    if (decision.move) {
        move(decision.rect.topLeft());
        resize(decision.rect.size());
    }
    if (decision.maximize) setWindowState(windowState() | Qt::WindowMaximized);
}
