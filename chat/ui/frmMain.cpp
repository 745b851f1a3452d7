#include "frmMain.h"
#include "frmUserInfo.h"

#include "CoolMenu.h"
#include "FileSending.h"
#include "LangText.h"
#include "MenuCaption.h"
#include "Text.h"
#include "TrayIcon.h"
#include "Resources.h"
#include "Twips.h"
#include "UserListModel.h"
#include "ReadableDelegate.h"
#include "StateIcons.h"
#include "WebLinks.h"
#include "frmAbout.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QKeySequence>
#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QLayout>
#include <QScrollBar>
#include <QGuiApplication>
#include <algorithm>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace lanyx::ui {

namespace {

struct ItemText {
    const char* name;
    const char* caption;
    int code;
};

// Built-in captions, kept when the language file cannot supply a text.
constexpr ItemText kItems[] = {
    {"mnuPop", "&Lanyx", 1101},
    {"mnuPopSep0", "-Lanyx Alerter", 1102},
    {"mnuChatAll", "|Start A Conversation with All|Start &Live Chat With All", 1103},
    {"mnuSndAll", "|Send an alert to every one|Send &Alert To All", 1104},
    {"mnuPopSep1", "-Configuration", 1105},
    {"mnuSetStatus", "|Set User Status|&Set Status", 1106},
    {"mnuOpts", "|Show options window|&Options...", 1107},
    {"mnuPopSep2", "-Misk", 1108},
    {"mnuShowMe", "||Show &Main Window", 1109},
    {"mnuHide", "|Hide this window|&Hide", 1110},
    {"mnuClose", "|Close Lanyx|&Close", 1111},
    {"mnuWindow", "&View", 1112},
    {"mnuViewSep1", "-View Options", 1113},
    {"mnuStatBar", "#|Show/hide this bar|Status Bar", 1114},
    {"mnuWinSep1", "-Window", 1115},
    {"mnuMove", "|Move this window|&Move", 1116},
    {"mnuMoveSub0", "|Move window to top left|Top &Left", 1117},
    {"mnuMoveSub1", "|Move window to top right|Top &Right", 1118},
    {"mnuMoveSub2", "|Move window to bottom left|Bottom L&eft", 1119},
    {"mnuMoveSub3", "|Move window to bottom right|Bottom R&ight", 1120},
    {"mnuHelp", "&Help", 1121},
    {"mnuHelpSep1", "-Information", 1122},
    {"mnuAbout", "|About Lanyx|A&bout", 1123},
    {"mnuWeb", "|Links to our web sight|On The &Web", 1124},
    {"mnuWebSep1", "-Hyperlinks", 1125},
};

// Separators that stay plain in safe mode; the other titled ones are hidden.
bool plainInSafeMode(const QString& name) {
    return name == QLatin1String("mnuPopSep1") || name == QLatin1String("mnuPopSep2") ||
           name == QLatin1String("mnuWinSep1");
}

const char* kMenuIcons[][2] = {
    {"mnuChatAll", ":/lanyx/chat.svg"}, {"mnuSndAll", ":/lanyx/alert.svg"}, {"mnuSetStatus", ":/lanyx/status.svg"},
    {"mnuOpts", ":/lanyx/options.svg"}, {"mnuShowMe", ":/lanyx/show.svg"},  {"mnuHide", ":/lanyx/hide.svg"},
    {"mnuClose", ":/lanyx/close.svg"},  {"mnuMove", ":/lanyx/move.svg"},    {"mnuAbout", ":/lanyx/about.svg"},
    {"mnuWeb", ":/lanyx/web.svg"},
};

}  // namespace

frmMain::frmMain(ChatNode& node, QWidget* parent) : QMainWindow(parent), node_(node), safe_(node.state().SafeMode) {
    EnsureResources();
    setObjectName("frmMain");
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/lanyx.svg")));

    tb_ = addToolBar(QStringLiteral("TB"));
    tb_->setObjectName("TB");
    tb_->setMovable(false);
    tb_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tb_->setIconSize(QSize(18, 18));
    tbAlert_ = tb_->addAction(QIcon(QStringLiteral(":/lanyx/alert.svg")), QStringLiteral("&Alert"));
    tbChat_ = tb_->addAction(QIcon(QStringLiteral(":/lanyx/chat.svg")), QStringLiteral("&Chat"));
    tbBlock_ = tb_->addAction(QIcon(QStringLiteral(":/lanyx/block.svg")), QStringLiteral("&Block"));
    connect(tbAlert_, &QAction::triggered, this, [this] {
        if (OpenComposeWindow) OpenComposeWindow(SelectedRecipients());
    });
    connect(tbChat_, &QAction::triggered, this, [this] {
        if (OpenChatWindow) OpenChatWindow(SelectedRecipients());
    });
    connect(tbBlock_, &QAction::triggered, this, &frmMain::BlockSelected);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    model_ = new UserListModel(node_.users(), this);
    model_->ownName = [this] { return node_.state().MyName; };
    lvUsers_ = new QTreeView(central);
    lvUsers_->setObjectName("lvUsers");
    lvUsers_->setModel(model_);
    lvUsers_->setItemDelegate(new ReadableDelegate(lvUsers_));
    lvUsers_->setRootIsDecorated(false);
    lvUsers_->setUniformRowHeights(true);
    lvUsers_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvUsers_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvUsers_->setHeaderHidden(true);
    lvUsers_->setAllColumnsShowFocus(true);
    lvUsers_->header()->setStretchLastSection(false);
    lvUsers_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    // The status column as wide as the longest status word of the language
    // (set with the texts): the names keep the rest, never less than a name.
    lvUsers_->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    lvUsers_->setIconSize(QSize(16, 16));
    // "(All)" and the groups have no status: their names take the whole row,
    // however wide long status words in a language make the status column.
    auto span = [this](int first, int last) {
        for (int r = std::max(first, 0); r <= last; ++r) {
            const int icon = model_->index(r, 0).data(Qt::UserRole).toInt();
            if (icon == IconAll || icon == IconGroup) lvUsers_->setFirstColumnSpanned(r, QModelIndex(), true);
        }
    };
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [span](const QModelIndex&, int first, int last) { span(first, last); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this, span] { span(0, model_->rowCount() - 1); });
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this, span] { span(0, model_->rowCount() - 1); });
    span(0, model_->rowCount() - 1);
    layout->addWidget(lvUsers_, 1);
    lvUsers_->installEventFilter(this);
    lblStat_ = new QLabel(QStringLiteral("<Status>"), central);
    lblStat_->setObjectName("lblStat");
    lblStat_->setFrameShape(QFrame::StyledPanel);
    lblStat_->setFrameShadow(QFrame::Sunken);
    lblStat_->setTextFormat(Qt::PlainText);
    layout->addWidget(lblStat_);
    setCentralWidget(central);
    connect(lvUsers_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmMain::tmrMnu_Timer);
    // Enter on the list starts an alert, as the toolbar's first button would.
    connect(lvUsers_, &QTreeView::activated, this, [this] {
        if (tbAlert_->isEnabled()) tbAlert_->trigger();
    });

    // A user's key and fingerprints: the list's context menu, or Ctrl+I.
    lvUsers_->setContextMenuPolicy(Qt::CustomContextMenu);
    mnuUserInfo_ = new QAction(this);
    mnuUserInfo_->setObjectName("mnuUserInfo");
    mnuUserInfo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    mnuUserInfo_->setShortcutContext(Qt::WindowShortcut);
    addAction(mnuUserInfo_);
    connect(mnuUserInfo_, &QAction::triggered, this, [this] {
        const QString name = userAtRow(menuRow_ >= 0 ? menuRow_ : lvUsers_->currentIndex().row());
        if (!name.isEmpty() && node_.users().findExact(name.toStdString())) ShowUserInfo(name.toStdString());
    });
    // Files for the user under the pointer: the same menu, and a drop onto the row.
    sendFiles_ = new SendFileActions(this, [this] {
        return fileTarget_.isEmpty() ? QStringList() : QStringList{fileTarget_};
    });
    sendFiles_->report = [this](const QString& text) { HelpObj_MenuHelp({}, text); };
    drops_ = new FileDropFilter(this, [this](QObject*, const QPoint& pos, QString* why) {
        const auto idx = lvUsers_->indexAt(pos);
        const QString name = idx.isValid() ? userAtRow(idx.row()) : QString();
        if (name.isEmpty()) {
            *why = tr("Drop files onto a user.");
            return QStringList();
        }
        return QStringList{name};
    });
    drops_->explain = [this](const QString& text) { HelpObj_MenuHelp({}, text); };
    drops_->watch(lvUsers_->viewport());
    connect(lvUsers_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const auto idx = lvUsers_->indexAt(pos);
        if (!idx.isValid()) return;
        if (!lvUsers_->selectionModel()->isRowSelected(idx.row(), {})) lvUsers_->setCurrentIndex(idx);
        if (QMenu* menu = UserMenu(idx.row())) menu->popup(lvUsers_->viewport()->mapToGlobal(pos));
    });

    // Menus.
    mnuPop_ = menuBar()->addMenu(QString());
    mnuPop_->setObjectName("mnuPop");
    item(mnuPop_, "mnuPopSep0", {});
    connect(item(mnuPop_, "mnuChatAll", {}), &QAction::triggered, this, [this] {
        if (OpenChatWindow) OpenChatWindow(std::string(UserList::kAllRow) + "|");
    });
    connect(item(mnuPop_, "mnuSndAll", {}), &QAction::triggered, this, [this] {
        if (OpenComposeWindow) OpenComposeWindow(std::string(UserList::kAllRow) + "|");
    });
    item(mnuPop_, "mnuPopSep1", {});
    mnuSetStatus_ = mnuPop_->addMenu(QString());
    mnuSetStatus_->menuAction()->setObjectName("mnuSetStatus");
    auto* statusGroup = new QActionGroup(this);
    statusGroup->setExclusive(true);
    for (int i = 0; i < 3; ++i) {
        mnuStat_[i] = mnuSetStatus_->addAction(QStringLiteral("<Stat>"));
        mnuStat_[i]->setObjectName(QStringLiteral("mnuStat%1").arg(i));
        mnuStat_[i]->setCheckable(true);
        statusGroup->addAction(mnuStat_[i]);
        connect(mnuStat_[i], &QAction::triggered, this, [this, i] { SetStatus(i); });
    }
    connect(item(mnuPop_, "mnuOpts", {}), &QAction::triggered, this, [this] {
        if (OpenOptions) OpenOptions();
    });
    auto* trayTransfers = item(mnuPop_, "mnuPopTransfers", QString());
    connect(trayTransfers, &QAction::triggered, this, [this] {
        if (OpenTransfers) OpenTransfers();
    });
    item(mnuPop_, "mnuPopSep2", {});
    mnuShowMe_ = item(mnuPop_, "mnuShowMe", {});
    connect(mnuShowMe_, &QAction::triggered, this, &frmMain::ShowMe);
    mnuHide_ = item(mnuPop_, "mnuHide", {});
    // Without a tray icon a hidden window could not be reached again.
    connect(mnuHide_, &QAction::triggered, this, [this] {
        if (hidesToTray()) hide();
        else showMinimized();
    });
    connect(item(mnuPop_, "mnuClose", {}), &QAction::triggered, this, [this] {
        if (Close) Close();
    });

    mnuWindow_ = menuBar()->addMenu(QString());
    mnuWindow_->setObjectName("mnuWindow");
    item(mnuWindow_, "mnuViewSep1", {});
    mnuStatBar_ = item(mnuWindow_, "mnuStatBar", {});
    mnuStatBar_->setCheckable(true);
    mnuStatBar_->setChecked(true);
    connect(mnuStatBar_, &QAction::triggered, this, [this](bool on) { lblStat_->setVisible(on); });
    // Everybody on the segment announces itself again: brings back users
    // whose replies were lost. Asked at most every few seconds.
    mnuRefresh_ = item(mnuWindow_, "mnuRefresh", QString());
    mnuRefresh_->setShortcut(QKeySequence(Qt::Key_F5));
    connect(mnuRefresh_, &QAction::triggered, this, [this] { node_.RequestRoster(true); });
    // Every transfer of this run; also in the tray's menu.
    auto* transfers = new QAction(this);
    transfers->setObjectName("mnuTransfers");
    transfers->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(transfers, &QAction::triggered, this, [this] {
        if (OpenTransfers) OpenTransfers();
    });
    mnuWindow_->addAction(transfers);
    // What was said, kept and searchable.
    auto* history = new QAction(tr("&History..."), this);
    history->setObjectName("mnuHistory");
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(history, &QAction::triggered, this, [this] {
        if (OpenHistory) OpenHistory({});
    });
    mnuWindow_->addAction(history);
    item(mnuWindow_, "mnuWinSep1", {});
    mnuMove_ = mnuWindow_->addMenu(QString());
    mnuMove_->menuAction()->setObjectName("mnuMove");
    for (int i = 0; i < 4; ++i) {
        auto* a = mnuMove_->addAction(QString());
        a->setObjectName(QStringLiteral("mnuMoveSub%1").arg(i));
        connect(a, &QAction::triggered, this, [this, i] { MoveToCorner(i); });
    }

    mnuHelp_ = menuBar()->addMenu(QString());
    mnuHelp_->setObjectName("mnuHelp");
    item(mnuHelp_, "mnuHelpSep1", {});
    connect(item(mnuHelp_, "mnuAbout", {}), &QAction::triggered, this, &frmMain::showAbout);
    mnuWeb_ = mnuHelp_->addMenu(QString());
    mnuWeb_->setObjectName("mnuWebMenu");
    mnuWeb_->menuAction()->setObjectName("mnuWeb");
    item(mnuWeb_, "mnuWebSep1", {});
    links_ = WebLinks(QString::fromStdString(node_.state().VersionText));
    for (int i = 0; i < 6; ++i) {
        auto* a = mnuWeb_->addAction(QStringLiteral("<WP%1>").arg(i + 1));
        a->setObjectName(QStringLiteral("mnuWp%1").arg(i));
        a->setData(links_[i]);
        connect(a, &QAction::triggered, this, [a] { OpenLink(a->data().toString()); });
        mnuWp_.append(a);
    }

    ti_ = new TrayIcon(this);
    ti_->setContextMenu(mnuPop_);
    connect(ti_, &TrayIcon::ShowParent, this, &frmMain::ShowMe);
    connect(ti_, &TrayIcon::ShowPopUpMenu, this, &frmMain::showTrayMenu);

    tmrMnu_ = new QTimer(this);
    tmrMnu_->setInterval(250);
    connect(tmrMnu_, &QTimer::timeout, this, &frmMain::tmrMnu_Timer);
    tmrMnu_->start();

    SetLan();
    SetUpInt();
}

frmMain::~frmMain() {
    if (cool_) cool_->uninstall();
}

QAction* frmMain::item(QMenu* menu, const char* name, const QString& caption) {
    auto* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

QAction* frmMain::action(const char* name) const {
    for (auto* a : findChildren<QAction*>())
        if (a->objectName() == QLatin1String(name)) return a;
    for (QMenu* m : {mnuPop_, mnuWindow_, mnuHelp_})
        if (m->objectName() == QLatin1String(name)) return m->menuAction();
    return nullptr;
}

void frmMain::SetLan() {
    auto text = [&](int code, const char* builtIn) { return LangTextOr(node_, code, QString::fromUtf8(builtIn)); };
    setWindowTitle(text(1001, "Lanyx"));
    tbAlert_->setText(text(1002, "&Alert"));
    tbChat_->setText(text(1003, "&Chat"));
    tbBlock_->setText(text(1004, "&Block"));
    // Tool buttons show the marked letter but do not act on it by themselves.
    for (QAction* a : {tbAlert_, tbChat_, tbBlock_}) a->setShortcut(QKeySequence::mnemonic(a->text()));
    for (const auto& it : kItems) {
        const QString caption = text(it.code, it.caption);
        QAction* a = action(it.name);
        if (!a) continue;
        const QString name = QString::fromLatin1(it.name);
        if (QMenu* top = (name == QLatin1String("mnuPop")      ? mnuPop_
                          : name == QLatin1String("mnuWindow") ? mnuWindow_
                          : name == QLatin1String("mnuHelp")   ? mnuHelp_
                                                               : nullptr)) {
            top->setTitle(QString::fromStdString(VisibleCaption(caption.toStdString())));
            continue;
        }
        ApplyMenuCaption(a, caption, safe_);
        if (a->menu()) a->menu()->setTitle(a->text());
        if (a->isSeparator() && safe_) a->setVisible(plainInSafeMode(name));
    }
    for (int i = 0; i < 3; ++i) {
        const QString name = QString::fromStdString(node_.StatusName(i));
        const QString help = text(8206 + i, "");
        ApplyMenuCaption(mnuStat_[i], safe_ ? name : QStringLiteral("*|") + help + QLatin1Char('|') + name, safe_);
    }
    // The version is known only once start-up has read it, after this window
    // was built: the addresses are taken afresh each time the texts are.
    links_ = WebLinks(QString::fromStdString(node_.state().VersionText));
    for (int i = 0; i < mnuWp_.size(); ++i) {
        const QString t = text(1202 + i, "<WP>");
        const QString address = links_[i];
        mnuWp_[i]->setData(address);
        ApplyMenuCaption(mnuWp_[i],
                         safe_ ? t + QLatin1Char('\t') + address
                               : QLatin1Char('|') + address + QLatin1Char('|') + t + QLatin1Char('\t') + address,
                         safe_);
    }
    // What the language file does not hold.
    mnuRefresh_->setText(tr("&Refresh"));
    mnuRefresh_->setStatusTip(tr("Everybody on the network announces himself again"));
    if (QAction* t = action("mnuTransfers")) t->setText(tr("&Transfers"));
    if (QAction* t = action("mnuPopTransfers")) t->setText(tr("&Transfers"));
    if (QAction* t = action("mnuHistory")) {
        t->setText(tr("&History..."));
        t->setToolTip(tr("Search the messages kept"));
    }
    mnuUserInfo_->setText(tr("User &information..."));
    for (int i = 0; i < 3; ++i) {
        mnuStat_[i]->setIcon(StateIcon(StatusState(i)));
        mnuStat_[i]->setToolTip(QString::fromStdString(node_.StatusName(i)));
    }
    lvUsers_->setAccessibleName(tr("Users"));
    lvUsers_->setAccessibleDescription(
        tr("Everybody present, then your groups. Enter sends an alert; the Menu key "
           "or Shift+F10 opens the user's menu"));
    lblStat_->setAccessibleDescription(tr("Status line"));
    model_->setHeaders(tr("User"), tr("Status"));
    // A tool bar is read (and listed in the window's menu) by its title.
    tb_->setWindowTitle(tr("Toolbar"));
    tb_->setAccessibleName(tr("Toolbar"));
    // The button that shows what does not fit, when the window is narrow.
    if (auto* more = tb_->findChild<QAbstractButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(tr("More"));
    fitStatusColumn();
    if (ti_) ti_->setToolTipText(windowTitle());
    if (cool_) applyCaptions();
    wordWelcome();
    UpdateStat();
    applyMinimumSize();
}

int frmMain::statusColumnWidth() const {
    // The longest status word of the language, with the key's mark beside it.
    const QFontMetrics fm(lvUsers_->font());
    int widest = 0;
    for (int i = 0; i < 3; ++i)
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(node_.StatusName(i))));
    return widest + lvUsers_->iconSize().width() +
           3 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lvUsers_) + 12;
}

int frmMain::nameColumnMinimum() const {
    // A name of the usual length, with its icon.
    const QFontMetrics fm(lvUsers_->font());
    return fm.horizontalAdvance(QString(10, QLatin1Char('m'))) + lvUsers_->iconSize().width() + 16;
}

void frmMain::fitStatusColumn() {
    lvUsers_->header()->resizeSection(1, statusColumnWidth());
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
    if (event->type() == QEvent::WindowStateChange && isMinimized() && hidesToTray()) {
        QTimer::singleShot(0, this, [this] {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            hide();
        });
    }
}

void frmMain::applyCaptions() {
    // The menu images are matched to items by their visible captions.
    CoolMenu::Images images;
    for (const auto& [name, file] : kMenuIcons)
        if (QAction* a = action(name)) images.append({a->text(), QIcon(QString::fromLatin1(file))});
    for (auto* a : mnuWp_) images.append({a->text(), QIcon(QStringLiteral(":/lanyx/web.svg"))});
    for (int i = 0; i < 3; ++i) images.append({mnuStat_[i]->text(), StateIcon(StatusState(i))});
    cool_->setImages(images);
}

void frmMain::SetUpInt() {
    SetStatus(node_.state().Status);
    if (!safe_) {
        cool_ = new CoolMenu(this, {mnuPop_, mnuWindow_, mnuHelp_}, {},
                             [this](const QString& t, const QString& h) { HelpObj_MenuHelp(t, h); });
        applyCaptions();
    }
    ClearlvUsers();
    // No close button: the window hides, and the program ends only from its menu.
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    applyMinimumSize();
    tmrMnu_Timer();
}

void frmMain::applyMinimumSize() {
    // Wide enough for the toolbar and the menu bar in the chosen language:
    // a longer caption must not push a button into the overflow.
    int toolbar = 0;
    for (QAction* a : tb_->actions())
        if (QWidget* b = tb_->widgetForAction(a)) toolbar += b->sizeHint().width() + tb_->layout()->spacing();
    const int frame = style()->pixelMetric(QStyle::PM_ToolBarFrameWidth, nullptr, tb_) +
                      style()->pixelMetric(QStyle::PM_ToolBarItemMargin, nullptr, tb_);
    const QMargins m = tb_->contentsMargins() + tb_->layout()->contentsMargins();
    toolbar += m.left() + m.right() + 2 * frame + 4;
    // And a name beside the longest status word.
    const int list = nameColumnMinimum() + statusColumnWidth() + lvUsers_->verticalScrollBar()->sizeHint().width() +
                     2 * lvUsers_->frameWidth() + 4;
    const int width = std::max({ToPixels(2500, screen()), toolbar, menuBar()->sizeHint().width(), list});
    setMinimumSize(width, ToPixels(2000, screen()));
}

void frmMain::ShowTray() {
    ti_->setIcon(windowIcon());
    ti_->setToolTipText(windowTitle());
    if (!ti_->Create()) {
        // No notification area: the window is the only way in.
        ShowMe();
    }
}

void frmMain::RemoveTray() {
    ti_->Destroy();
}

bool frmMain::hidesToTray() const {
    return ti_ && ti_->Active();
}

std::string frmMain::GetActiveGroupList(const std::string& label) const {
    return node_.users().GetActiveGroupList(label);
}

void frmMain::ShowMe() {
    if (!placed_) ApplyGeometry();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void frmMain::ShowWelcome() {
    if (!welcome_) {
        auto* bar = new QFrame(centralWidget());
        bar->setObjectName("barWelcome");
        bar->setFrameShape(QFrame::StyledPanel);
        bar->setAutoFillBackground(true);
        bar->setBackgroundRole(QPalette::ToolTipBase);
        bar->setForegroundRole(QPalette::ToolTipText);
        auto* row = new QHBoxLayout(bar);
        lblWelcome_ = new QLabel(bar);
        lblWelcome_->setObjectName("lblWelcome");
        lblWelcome_->setTextFormat(Qt::PlainText);
        lblWelcome_->setWordWrap(true);
        lblWelcome_->setForegroundRole(QPalette::ToolTipText);
        row->addWidget(lblWelcome_, 1);
        auto* options = new QPushButton(bar);
        options->setObjectName("btnWelcomeOptions");
        connect(options, &QPushButton::clicked, this, [this] {
            if (OpenOptions) OpenOptions();
        });
        row->addWidget(options, 0, Qt::AlignTop);
        auto* close = new QToolButton(bar);
        close->setObjectName("btnWelcomeClose");
        close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
        close->setAutoRaise(true);
        connect(close, &QToolButton::clicked, bar, [this, bar] {
            bar->hide();
            bar->deleteLater();
            lvUsers_->setFocus();
        });
        row->addWidget(close, 0, Qt::AlignTop);
        btnWelcomeOptions_ = options;
        btnWelcomeClose_ = close;
        static_cast<QVBoxLayout*>(centralWidget()->layout())->insertWidget(0, bar);
        welcome_ = bar;
        bar->show();
        // Where the program stays may change: a notification area that
        // shows up later.
        connect(ti_, &TrayIcon::Appeared, this, &frmMain::wordWelcome);
        wordWelcome();
    }
    ShowMe();
}

QString frmMain::welcomeText() const {
    return lblWelcome_ && welcome_ ? lblWelcome_->text() : QString();
}

void frmMain::wordWelcome() {
    if (!welcome_) return;
    const QString name = QString::fromStdString(node_.state().MyName);
    const QString where = hidesToTray()
                              ? tr("Lanyx stays in the notification area of the task bar when this window is "
                                   "minimised or hidden: its icon there brings the window back, and its menu has "
                                   "everything else.")
                              : tr("This desktop shows no notification area: Lanyx keeps this window; minimised, it "
                                   "waits in the task bar.");
    // The Options item as the menu names it, in the language chosen.
    QString options = QString::fromStdString(
        ParseMenuCaption(LangTextOr(node_, 1107, QStringLiteral("|Show options window|&Options...")).toStdString())
            .text);
    options.remove(QLatin1Char('&'));
    lblWelcome_->setText(
        tr("Welcome to Lanyx. The others on the network see you as \"%1\"; %2 changes the name and its colour.")
            .arg(name, QString(options).remove(QStringLiteral("..."))) +
        QLatin1Char('\n') + where);
    btnWelcomeOptions_->setText(options);
    btnWelcomeClose_->setToolTip(tr("Close this note"));
    btnWelcomeClose_->setAccessibleName(tr("Close this note"));
    welcome_->setAccessibleName(tr("Welcome"));
    welcome_->setAccessibleDescription(lblWelcome_->text());
}

void frmMain::UpdateStat() {
    setStatusCaption(QString::fromStdString(node_.StatusCaption()));
}

void frmMain::setStatusCaption(const QString& caption) {
    if (lblStat_->text() != caption) lblStat_->setText(caption);
    statTag_ = caption;
}

void frmMain::HelpObj_MenuHelp(const QString&, const QString& menuHelp) {
    if (!menuHelp.isEmpty()) {
        if (lblStat_->text() != menuHelp) lblStat_->setText(menuHelp);
    } else {
        lblStat_->setText(statTag_);
    }
}

void frmMain::AddBlocked(const std::string& name) {
    choices_.block(name);
}

void frmMain::RemoveBlock(const std::string& name) {
    choices_.unblock(name);
}

void frmMain::ClearlvUsers() {
    choices_.clearRoster();
    UpdateStat();
}

std::uint32_t frmMain::GetColorForUName(const std::string& name) const {
    return node_.users().GetColorForUName(name);
}

std::string frmMain::SelectedRecipients() const {
    auto rows = lvUsers_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::string list;
    const auto& users = node_.users();
    for (const auto& index : rows) {
        const auto text = users.rowText(model_->rosterRow(index.row()));
        if (!text.empty() && text.front() == '(' && text != UserList::kAllRow) list += users.GetActiveGroupList(text);
        else list += text + "|";
    }
    return list;
}

void frmMain::BlockSelected() {
    // The selection as ranges: thousands of rows selected at once are read
    // in one pass, and the list, the status line and the chat windows
    // refresh once for all of them.
    std::vector<std::string> names;
    const auto& users = node_.users();
    for (const QItemSelectionRange& range : lvUsers_->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row) {
            const auto text = users.rowText(model_->rosterRow(row));
            if (UserList::isUserText(text)) names.push_back(text);
        }
    choices_.toggleBlocked(names);
    UpdateStat();
}

void frmMain::SetStatus(int status) {
    if (status < 0 || status > 2) return;
    for (int i = 0; i < 3; ++i) mnuStat_[i]->setChecked(i == status);
    node_.SetStatus(static_cast<std::int16_t>(status));
}

void frmMain::MoveToCorner(int corner) {
    const QScreen* s = screen();
    const QRect area = s ? s->availableGeometry() : QRect();
    move(CornerPosition(corner, area, frameGeometry().size()));
}

void frmMain::tmrMnu_Timer() {
    const bool visible = isVisible();
    if (mnuShowMe_->isVisible() == visible) mnuShowMe_->setVisible(!visible);
    if (mnuHide_->isVisible() != visible) mnuHide_->setVisible(visible);
    const bool any = lvUsers_->selectionModel()->hasSelection();
    for (auto* a : {tbAlert_, tbChat_, tbBlock_})
        if (a->isEnabled() != any) a->setEnabled(any);
}

QSize frmMain::FittingSize() const {
    // A name of the longest kind beside the longest status word, and about
    // sixteen rows, on the screen at hand.
    const QFontMetrics fm(lvUsers_->font());
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    const int list = fm.horizontalAdvance(QString(15, QLatin1Char('m'))) + 2 * lvUsers_->iconSize().width() + 24 +
                     statusColumnWidth() + lvUsers_->verticalScrollBar()->sizeHint().width() +
                     2 * lvUsers_->frameWidth();
    const int rows = std::max(lvUsers_->sizeHintForRow(0), fm.height() + 4);
    const int chrome = menuBar()->sizeHint().height() + tb_->sizeHint().height() + lblStat_->sizeHint().height() +
                       2 * lvUsers_->frameWidth() + 8;
    const int w = std::max({list, minimumWidth(), menuBar()->sizeHint().width()});
    const int h = std::max(chrome + 16 * rows, minimumHeight());
    return {std::min(w, area.width() - 24), std::min(h, area.height() * 3 / 4)};
}

void frmMain::ApplyGeometry() {
    placed_ = true;
    const auto& g = node_.mainGeometry();
    if (g == SettingsData().main || g.width <= 0 || g.height <= 0) {
        // Never moved or sized by the user: a size that fits, in the middle
        // of the work area.
        const QSize size = FittingSize();
        const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        const QRect area = s ? s->availableGeometry() : QRect(QPoint(0, 0), size);
        resize(size);
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        return;
    }
    const QRect r = ToPixels(g, screen());
    resize(qMax(r.width(), minimumWidth()), qMax(r.height(), minimumHeight()));
    // A stored position off every screen (a monitor since unplugged) is not used.
    for (const QScreen* s : QGuiApplication::screens())
        if (s->availableGeometry().intersects(QRect(r.topLeft(), QSize(40, 40)))) {
            move(r.topLeft());
            break;
        }
}

void frmMain::StoreGeometry() {
    if (!placed_) return;
    const QRect r = isMinimized() || isMaximized() ? normalGeometry() : QRect(pos(), size());
    if (r.isValid()) node_.keepMainGeometry(ToTwips(r, screen()));
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closing only hides: the program ends from its menu.
    event->ignore();
    if (hidesToTray()) hide();
    else showMinimized();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    tmrMnu_Timer();
}

void frmMain::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    tmrMnu_Timer();
}

void frmMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    StoreGeometry();
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    StoreGeometry();
}

void frmMain::showAbout() {
    if (!about_) about_ = new frmAbout(node_, this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void frmMain::showTrayMenu() {
    mnuWeb_->menuAction()->setVisible(true);
    mnuPop_->exec(QCursor::pos());
}

}  // namespace lanyx::ui

namespace lanyx::ui {

void frmMain::setConversations(QWidget* pane) {
    if (tabs_ || !pane) return;
    auto* layout = static_cast<QVBoxLayout*>(centralWidget()->layout());
    tabs_ = new QTabWidget(centralWidget());
    tabs_->setObjectName("tabsMain");
    tabs_->setDocumentMode(true);
    layout->replaceWidget(lvUsers_, tabs_);
    layout->setStretchFactor(tabs_, 1);
    tabs_->addTab(lvUsers_, tr("&Users"));
    tabs_->addTab(pane, tr("C&onversations"));
    tabs_->setTabToolTip(
        1, tr("Your chats and the people you wrote with, newest first; known users who are away, greyed"));
    // The keyboard goes into the page shown.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int page) {
        if (QWidget* shown = tabs_->widget(page)) shown->setFocus();
    });
}

void frmMain::setFiles(FileTransfers* files) {
    sendFiles_->setFiles(files);
    drops_->setFiles(files);
}

void frmMain::PrepareUserMenu(QMenu& menu, int row) {
    fileTarget_ = userAtRow(row);
    if (fileTarget_.isEmpty()) return;
    menu.addSeparator();
    sendFiles_->addTo(&menu);
    sendFiles_->refresh();
}

QMenu* frmMain::UserMenu(int row) {
    if (row < 0 || row >= model_->rowCount()) return nullptr;
    menuRow_ = row;
    if (!userMenu_) {
        userMenu_ = new QMenu(this);
        userMenu_->setObjectName("mnuUser");
        connect(userMenu_, &QMenu::aboutToHide, this, [this] {
            // After the chosen item ran.
            QTimer::singleShot(0, this, [this] { menuRow_ = -1; });
        });
    }
    userMenu_->clear();
    // The same commands as the toolbar, for this row (or the rows selected
    // with it), then the user's information and files.
    const std::string rowText = node_.users().rowText(model_->rosterRow(row));
    const QString name = UserListModel::shownName(rowText);
    const bool selected = lvUsers_->selectionModel()->isRowSelected(row, {});
    auto rows = [this, row, selected] {
        if (!selected) {
            lvUsers_->selectionModel()->select(model_->index(row, 0),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            lvUsers_->setCurrentIndex(model_->index(row, 0));
        }
    };
    auto add = [this](const char* objectName, const QString& text, const QIcon& icon, auto fn) {
        QAction* a = userMenu_->addAction(icon, text);
        a->setObjectName(QString::fromLatin1(objectName));
        connect(a, &QAction::triggered, this, fn);
        return a;
    };
    add("mnuUserAlert", QString(tbAlert_->text()), tbAlert_->icon(), [this, rows] {
        rows();
        if (OpenComposeWindow) OpenComposeWindow(SelectedRecipients());
    });
    add("mnuUserChat", QString(tbChat_->text()), tbChat_->icon(), [this, rows] {
        rows();
        if (OpenChatWindow) OpenChatWindow(SelectedRecipients());
    });
    const QString user = userAtRow(row);
    if (!user.isEmpty()) {
        // Nobody blocks himself: the own row has no Block.
        if (!equalsNoCase(user.toStdString(), node_.state().MyName)) {
            const bool blocked = node_.users().IsBlocked(user.toStdString());
            add("mnuUserBlock", blocked ? tr("&Unblock") : QString(tbBlock_->text()), tbBlock_->icon(), [this, rows] {
                rows();
                BlockSelected();
            });
            userMenu_->addSeparator();
        }
        userMenu_->addAction(mnuUserInfo_);
        mnuUserInfo_->setEnabled(node_.users().findExact(user.toStdString()).has_value());
    }
    // What was said with this user, or with everybody.
    if (OpenHistory && (UserList::isUserText(rowText) || rowText == UserList::kAllRow)) {
        if (user.isEmpty()) userMenu_->addSeparator();
        QAction* history = userMenu_->addAction(tr("History with %1").arg(name));
        history->setObjectName("mnuUserHistory");
        connect(history, &QAction::triggered, this, [this, rowText] { OpenHistory(rowText + "|"); });
    }
    userMenu_->setTitle(name);
    PrepareUserMenu(*userMenu_, row);
    return userMenu_;
}

void frmMain::openUserMenuFromKeyboard() {
    const QModelIndex current = lvUsers_->currentIndex();
    if (!current.isValid()) return;
    QMenu* menu = UserMenu(current.row());
    if (!menu) return;
    const QRect at = lvUsers_->visualRect(model_->index(current.row(), 0));
    menu->popup(lvUsers_->viewport()->mapToGlobal(at.isValid() ? at.bottomLeft() : QPoint(0, 0)));
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // The user's menu from the keyboard: the Menu key or Shift+F10.
    if (watched == lvUsers_ && event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Menu || (k->key() == Qt::Key_F10 && (k->modifiers() & Qt::ShiftModifier))) {
            openUserMenuFromKeyboard();
            return true;
        }
    }
    if (watched == lvUsers_ && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        openUserMenuFromKeyboard();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QString frmMain::userAtRow(int row) const {
    if (row < 0 || row >= model_->rowCount()) return {};
    const auto text = node_.users().rowText(model_->rosterRow(row));
    if (text.empty() || !UserList::isUserText(text)) return {};
    return QString::fromStdString(text);
}

frmUserInfo* frmMain::ShowUserInfo(const std::string& name) {
    auto* w = new frmUserInfo(node_.secure(), name, this);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    return w;
}

}  // namespace lanyx::ui
