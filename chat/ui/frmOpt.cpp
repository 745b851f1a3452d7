#include "frmOpt.h"

#include "Announce.h"

#include "History.h"
#include "WaitingService.h"

#include "LangText.h"
#include "MenuCaption.h"
#include "Resources.h"
#include "Sound.h"
#include "StateIcons.h"
#include "Text.h"
#include "modStartUp.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QPlainTextEdit>

#include "NetworkPage.h"
#include "Networks.h"
#include "Error.h"
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace lanyx::ui {

namespace {

constexpr int kKeyRole = Qt::UserRole;      // sound setting, colour value
constexpr int kTagRole = Qt::UserRole + 1;  // tree node kind: "A", "G", "U"
constexpr int kMaxName = 15;
// User, Interface, Security, Groups, Network.
constexpr int kPages = 5;

// The classic 16-colour palette as (red, green, blue).
constexpr int kPalette[16][3] = {
    {0, 0, 0},     {0, 0, 128},     {0, 128, 0},     {0, 128, 128},   {128, 0, 0}, {128, 0, 128},
    {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255},     {0, 255, 0}, {0, 255, 255},
    {255, 0, 0},   {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
};
constexpr int kLightYellow = 14;

const char* const kLanguages[] = {"English", "Français", "Deutsch", "Españoles"};

QColor toQColor(std::uint32_t v) {
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

// Pixmaps for every common scale, so the images stay sharp on high-DPI screens.
template <typename Paint> QIcon drawnIcon(QSize size, Paint paint) {
    QIcon icon;
    for (qreal dpr : {1.0, 1.5, 2.0, 3.0}) {
        QPixmap pm(size * dpr);
        pm.setDevicePixelRatio(dpr);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p, QRectF(QPointF(0, 0), QSizeF(size)));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon swatch(const QColor& c) {
    return drawnIcon(QSize(16, 16), [&](QPainter& p, QRectF r) {
        p.setPen(QPen(QColor(96, 96, 96), 1));
        p.setBrush(c);
        p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    });
}

// A little screen with the popup's corner marked.
QIcon cornerIcon(int corner, const QPalette& pal) {
    return drawnIcon(QSize(28, 22), [&](QPainter& p, QRectF r) {
        const QRectF screen = r.adjusted(1.5, 1.5, -1.5, -1.5);
        p.setPen(QPen(pal.color(QPalette::Dark), 1.2));
        p.setBrush(pal.color(QPalette::Base));
        p.drawRoundedRect(screen, 2, 2);
        const QSizeF q(screen.width() / 2 - 2, screen.height() / 2 - 2);
        const qreal x = (corner == 1 || corner == 3) ? screen.left() + 2 : screen.center().x();
        const qreal y = (corner == 1 || corner == 2) ? screen.top() + 2 : screen.center().y();
        p.setPen(Qt::NoPen);
        p.setBrush(pal.color(QPalette::Highlight));
        p.drawRect(QRectF(QPointF(x, y), q));
    });
}

QPushButton* makeButton(const char* name, const char* icon, QWidget* parent) {
    auto* b = new QPushButton(QIcon(QString::fromLatin1(icon)), QString(), parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter is handled by the boxes themselves: no button takes it over.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QLabel* makeLabel(const char* name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLineEdit* makeBox(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(kMaxName);
    return e;
}

// Texts that would break a "|"-terminated list or a quoted record.
bool unsafeListText(const QString& s) {
    return s.contains(QLatin1Char('|')) || s.contains(QLatin1Char('"'));
}

}  // namespace

// ---- pure rules ----------------------------------------------------------------

std::vector<OptColour> frmOpt::OfferedColours() {
    std::vector<OptColour> out;
    for (int c = 0; c < 16; ++c) {
        if (c == kLightYellow) continue;
        const auto v = std::uint32_t(kPalette[c][0]) | (std::uint32_t(kPalette[c][1]) << 8) |
                       (std::uint32_t(kPalette[c][2]) << 16);
        out.push_back({c, v});
    }
    return out;
}

QString frmOpt::SoundKey(const QString& fileName) {
    // Any case counts: "BELL.WAV" is a .wav file, and a name with a second
    // extension appended would never be found again.
    if (fileName.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) return fileName;
    return fileName + QLatin1String(".wav");
}

QString frmOpt::BlockName(const QString& typed) {
    const QString t = typed.trimmed();
    if (t.isEmpty()) return t;
    return t.left(1).toUpper() + t.mid(1).toLower();
}

std::vector<std::string> frmOpt::BuildGroups(
    const std::vector<std::pair<std::string, std::vector<std::string>>>& tree) {
    std::vector<std::string> groups;
    for (const auto& g : tree) groups.push_back(g.first + "|");
    // A member joins every group of exactly that name.
    for (const auto& g : tree)
        for (const auto& member : g.second)
            for (auto& entry : groups)
                if (GetItem(entry, 1) == g.first) entry += member + "|";
    std::vector<std::string> kept;
    for (auto& entry : groups)
        if (CountItems(entry) > 1) kept.push_back(std::move(entry));
    return kept;
}

// ---- the window ----------------------------------------------------------------

frmOpt::frmOpt(ChatNode& node, OptionsEnv env, bool startUpMode, QWidget* parent)
    : QDialog(parent), node_(node), env_(std::move(env)), startUp_(startUpMode) {
    EnsureResources();
    setObjectName("frmOpt");
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/options.svg")));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    MsgBox = [this](const QString& t, int icon) {
        QMessageBox box(icon == IconCritical ? QMessageBox::Critical : QMessageBox::Warning, windowTitle(), t,
                        QMessageBox::Ok, this);
        box.exec();
    };
    AskYesNo = [this](const QString& title, const QString& t) {
        return QMessageBox::question(this, title, t, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
               QMessageBox::Yes;
    };
    Beep = [] { QApplication::beep(); };

    auto* outer = new QVBoxLayout(this);

    // The tab bar: one button per page.
    auto* tabs = new QWidget(this);
    tabs->setObjectName("tbOpt");
    auto* tabRow = new QHBoxLayout(tabs);
    tabRow->setContentsMargins(0, 0, 0, 0);
    tbOpt_ = new QButtonGroup(this);
    tbOpt_->setExclusive(true);
    const char* tabIcons[] = {":/lanyx/user.svg", ":/lanyx/options.svg", ":/lanyx/block.svg", ":/lanyx/group.svg",
                              ":/lanyx/options.svg"};
    for (int i = 0; i < kPages; ++i) {
        auto* b = new QToolButton(tabs);
        b->setObjectName(QStringLiteral("tbOpt%1").arg(i + 1));
        b->setIcon(QIcon(QString::fromLatin1(tabIcons[i])));
        b->setIconSize(QSize(24, 24));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setMinimumWidth(fontMetrics().averageCharWidth() * 11);
        tbOpt_->addButton(b, i);
        tabRow->addWidget(b);
    }
    tabRow->addStretch(1);
    ReadAsPageTabs(tabs);
    outer->addWidget(tabs);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    outer->addWidget(rule);

    picOpt_ = new QStackedWidget(this);
    picOpt_->setObjectName("picOpt");
    picOpt_->addWidget(buildUserPage());
    picOpt_->addWidget(buildInterfacePage());
    picOpt_->addWidget(buildSecurityPage());
    picOpt_->addWidget(buildGroupsPage());
    network_ = new NetworkPage(picOpt_);
    picOpt_->addWidget(network_);
    outer->addWidget(picOpt_, 1);
    connect(tbOpt_, &QButtonGroup::idClicked, this, &frmOpt::ShowPage);

    // The bottom bar.
    auto* bottom = new QWidget(this);
    bottom->setObjectName("TB");
    auto* bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(0, 0, 0, 0);
    bottomRow->addStretch(1);
    accept_ = makeButton("tbAccept", ":/lanyx/accept.svg", bottom);
    close_ = makeButton("tbClose", ":/lanyx/close.svg", bottom);
    bottomRow->addWidget(accept_);
    bottomRow->addWidget(close_);
    outer->addWidget(bottom);
    connect(accept_, &QPushButton::clicked, this, &frmOpt::Accept);
    connect(close_, &QPushButton::clicked, this, &frmOpt::CloseClicked);

    // Keyboard: Ctrl+Enter accepts from anywhere; Ctrl+Tab and Ctrl+Page
    // Up/Down go through the pages.
    for (auto key : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &frmOpt::Accept);
    auto step = [this](int by) { ShowPage((picOpt_->currentIndex() + by + kPages) % kPages); };
    for (auto key : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, [step] { step(1); });
    for (auto key : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, [step] { step(-1); });

    SetLan();
    AddCols();
    AddPos();
    AddSnd();
    AddGroups();
    InputSets();
    ShowPage(0);
    // Room for the longest page in the language, within the work area.
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(sizeHint()
               .expandedTo(QSize(fontMetrics().averageCharWidth() * 58, fontMetrics().height() * 26))
               .boundedTo(area.size() - QSize(24, 60)));
    txtName_->setFocus();
}

void frmOpt::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
}

QWidget* frmOpt::buildUserPage() {
    auto* page = new QWidget;
    page->setObjectName("picOpt0");
    auto* grid = new QGridLayout(page);
    lblName_ = makeLabel("lblName", page);
    txtName_ = makeBox("txtName", page);
    lblName_->setBuddy(txtName_);
    // Said while typing, not only on Accept: what a name may hold.
    lblNameHint_ = makeLabel("lblNameHint", page);
    lblNameHint_->setWordWrap(true);
    lblNameHint_->setForegroundRole(QPalette::BrightText);
    lblNameHint_->hide();
    // And the field itself is marked, not only by the colour of the words.
    nameMark_ = txtName_->addAction(StateIcon(State::Warning), QLineEdit::TrailingPosition);
    nameMark_->setObjectName("actNameMark");
    nameMark_->setVisible(false);
    lblCol_ = makeLabel("lblCol", page);
    lvCol_ = new QListWidget(page);
    lvCol_->setObjectName("lvCol");
    lvCol_->setIconSize(QSize(16, 16));
    lvCol_->setUniformItemSizes(true);
    lblCol_->setBuddy(lvCol_);
    Frame1_ = new QGroupBox(page);
    Frame1_->setObjectName("Frame1");
    auto* frameLayout = new QVBoxLayout(Frame1_);
    picPrevew_ = new QFrame(Frame1_);
    picPrevew_->setObjectName("picPrevew");
    picPrevew_->setFrameShape(QFrame::StyledPanel);
    picPrevew_->setFrameShadow(QFrame::Sunken);
    // The preview shows the name as the user list will: on the list's background.
    picPrevew_->setBackgroundRole(QPalette::Base);
    picPrevew_->setAutoFillBackground(true);
    auto* prevLayout = new QVBoxLayout(picPrevew_);
    lblPrevew_ = makeLabel("lblPrevew", picPrevew_);
    lblPrevew_->setText(QStringLiteral("<UName>"));
    lblPrevew_->setAlignment(Qt::AlignCenter);
    QFont big = lblPrevew_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    lblPrevew_->setFont(big);
    prevLayout->addWidget(lblPrevew_);
    frameLayout->addWidget(picPrevew_);

    grid->addWidget(lblName_, 0, 0);
    grid->addWidget(txtName_, 1, 0);
    grid->addWidget(lblNameHint_, 2, 0);
    grid->addWidget(lblCol_, 3, 0);
    grid->addWidget(lvCol_, 4, 0);
    grid->addWidget(Frame1_, 1, 1, 4, 1, Qt::AlignTop);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    connect(lvCol_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) { colourClicked(item); });
    connect(txtName_, &QLineEdit::textChanged, lblPrevew_, &QLabel::setText);
    connect(txtName_, &QLineEdit::textChanged, this, &frmOpt::nameTyped);
    connect(txtName_, &QLineEdit::returnPressed, this, &frmOpt::Accept);
    txtName_->installEventFilter(this);
    return page;
}

QWidget* frmOpt::buildInterfacePage() {
    auto* page = new QWidget;
    page->setObjectName("picOpt1");
    auto* v = new QVBoxLayout(page);
    lblLang_ = makeLabel("lblLang", page);
    // The same in every language: whoever cannot read the current language
    // still finds it.
    lblLang_->setText(tr("Language/Langage/Sprache/Lenguaje:"));
    CMBlang_ = new QComboBox(page);
    CMBlang_->setObjectName("CMBlang");
    for (const char* l : kLanguages) CMBlang_->addItem(QString::fromUtf8(l));
    lblLang_->setBuddy(CMBlang_);
    auto* langRow = new QHBoxLayout;
    langRow->addWidget(lblLang_);
    langRow->addWidget(CMBlang_, 1);
    v->addLayout(langRow);

    chkStartUp_ = new QCheckBox(page);
    chkStartUp_->setObjectName("chkStartUp");
    v->addWidget(chkStartUp_);

    // Alerts through the desktop's notification service (where a popup
    // cannot place itself, e.g. on Wayland, they go there anyway).
    chkNotify_ = new QCheckBox(page);
    chkNotify_->setObjectName("chkNotify");
    chkNotify_->setVisible(env_.prefs != nullptr);
    v->addWidget(chkNotify_);
    chkReadMarks_ = new QCheckBox(page);
    chkReadMarks_->setObjectName("chkReadMarks");
    chkReadMarks_->setVisible(env_.prefs != nullptr);
    v->addWidget(chkReadMarks_);

    lblPos_ = makeLabel("lblPos", page);
    v->addWidget(lblPos_);
    auto* posRow = new QHBoxLayout;
    tbPos_ = new QButtonGroup(this);
    tbPos_->setExclusive(true);
    for (int k = 1; k <= 4; ++k) {
        auto* b = new QToolButton(page);
        b->setObjectName(QStringLiteral("tbPos%1").arg(k));
        b->setCheckable(true);
        b->setIconSize(QSize(28, 22));
        b->setFocusPolicy(Qt::StrongFocus);
        tbPos_->addButton(b, k);
        posRow->addWidget(b);
    }
    posRow->addStretch(1);
    ReadAsRadioButtons(tbPos_->buttons());
    v->addLayout(posRow);
    connect(tbPos_, &QButtonGroup::idClicked, this, [this](int id) { posTag_ = QString::number(id); });

    lblSnd_ = makeLabel("lblSnd", page);
    v->addWidget(lblSnd_);
    auto* sndRow = new QHBoxLayout;
    lvSnd_ = new QListWidget(page);
    lvSnd_->setObjectName("lvSnd");
    lvSnd_->setIconSize(QSize(16, 16));
    lblSnd_->setBuddy(lvSnd_);
    tbSnd_ = makeButton("tbSnd", ":/lanyx/play.svg", page);
    auto* sndButtons = new QVBoxLayout;
    sndButtons->addWidget(tbSnd_);
    sndButtons->addStretch(1);
    sndRow->addWidget(lvSnd_, 1);
    sndRow->addLayout(sndButtons);
    v->addLayout(sndRow, 1);
    connect(tbSnd_, &QPushButton::clicked, this, &frmOpt::TestSound);
    connect(lvSnd_, &QListWidget::itemActivated, this, &frmOpt::TestSound);

    lblChatSnd_ = makeLabel("lblChatSnd", page);
    cmbChatSnd_ = new QComboBox(page);
    cmbChatSnd_->setObjectName("cmbChatSnd");
    lblChatSnd_->setBuddy(cmbChatSnd_);
    auto* chatSndRow = new QHBoxLayout;
    chatSndRow->addWidget(lblChatSnd_);
    chatSndRow->addWidget(cmbChatSnd_, 1);
    v->addLayout(chatSndRow);
    lblChatSnd_->setVisible(env_.prefs != nullptr);
    cmbChatSnd_->setVisible(env_.prefs != nullptr);

    // How long the history keeps messages.
    lblKeepDays_ = makeLabel("lblKeepDays", page);
    spnKeepDays_ = new QSpinBox(page);
    spnKeepDays_->setObjectName("spnKeepDays");
    spnKeepDays_->setRange(0, 36500);
    lblKeepDays_->setBuddy(spnKeepDays_);
    auto* keepRow = new QHBoxLayout;
    keepRow->addWidget(lblKeepDays_);
    keepRow->addWidget(spnKeepDays_);
    keepRow->addStretch(1);
    v->addLayout(keepRow);
    lblKeepDays_->setVisible(env_.history != nullptr);
    spnKeepDays_->setVisible(env_.history != nullptr);

    // How long a message waits for a recipient who is not on the network.
    lblWaitDays_ = makeLabel("lblWaitDays", page);
    spnWaitDays_ = new QSpinBox(page);
    spnWaitDays_->setObjectName("spnWaitDays");
    spnWaitDays_->setRange(1, 365);
    lblWaitDays_->setBuddy(spnWaitDays_);
    auto* waitRow = new QHBoxLayout;
    waitRow->addWidget(lblWaitDays_);
    waitRow->addWidget(spnWaitDays_);
    waitRow->addStretch(1);
    v->addLayout(waitRow);
    // A copy without keys keeps no message for later.
    lblWaitDays_->setVisible(node_.secure() && env_.waiting);
    spnWaitDays_->setVisible(node_.secure() && env_.waiting);
    return page;
}

QWidget* frmOpt::buildSecurityPage() {
    auto* page = new QWidget;
    page->setObjectName("picOpt2");
    auto* grid = new QGridLayout(page);
    lblBlock_ = makeLabel("lblBlock", page);
    txtBlock_ = makeBox("txtBlock", page);
    lblBlock_->setBuddy(txtBlock_);
    lvBlock_ = new QListWidget(page);
    lvBlock_->setObjectName("lvBlock");
    lvBlock_->setIconSize(QSize(16, 16));
    secAdd_ = makeButton("tbSecAdd", ":/lanyx/add.svg", page);
    secRemove_ = makeButton("tbSecRemove", ":/lanyx/remove.svg", page);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(secAdd_);
    buttons->addWidget(secRemove_);
    buttons->addStretch(1);
    grid->addWidget(lblBlock_, 0, 0);
    grid->addWidget(txtBlock_, 1, 0);
    grid->addWidget(lvBlock_, 2, 0);
    grid->addLayout(buttons, 1, 1, 2, 1);
    grid->setRowStretch(2, 1);
    connect(secAdd_, &QPushButton::clicked, this, &frmOpt::AddBlock);
    connect(secRemove_, &QPushButton::clicked, this, &frmOpt::RemoveBlockItem);
    // Enter in the box adds what was typed.
    connect(txtBlock_, &QLineEdit::returnPressed, this, &frmOpt::AddBlock);
    txtBlock_->installEventFilter(this);
    lvBlock_->installEventFilter(this);
    return page;
}

QWidget* frmOpt::buildGroupsPage() {
    auto* page = new QWidget;
    page->setObjectName("picOpt3");
    auto* grid = new QGridLayout(page);
    lblGroups_ = makeLabel("lblGroups", page);
    txtGroups_ = makeBox("txtGroups", page);
    lblGroups_->setBuddy(txtGroups_);
    tvGroups_ = new QTreeWidget(page);
    tvGroups_->setObjectName("tvGroups");
    tvGroups_->setHeaderHidden(true);
    tvGroups_->setIconSize(QSize(16, 16));
    grpNew_ = makeButton("tbGroupsNew", ":/lanyx/newgroup.svg", page);
    grpAdd_ = makeButton("tbGroupsAdd", ":/lanyx/add.svg", page);
    grpRemove_ = makeButton("tbGroupsRemove", ":/lanyx/remove.svg", page);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(grpNew_);
    buttons->addWidget(grpAdd_);
    buttons->addWidget(grpRemove_);
    buttons->addStretch(1);
    grid->addWidget(lblGroups_, 0, 0);
    grid->addWidget(txtGroups_, 1, 0);
    grid->addWidget(tvGroups_, 2, 0);
    grid->addLayout(buttons, 1, 1, 2, 1);
    grid->setRowStretch(2, 1);
    connect(grpNew_, &QPushButton::clicked, this, &frmOpt::NewGroup);
    connect(grpAdd_, &QPushButton::clicked, this, &frmOpt::AddMember);
    connect(grpRemove_, &QPushButton::clicked, this, &frmOpt::RemoveNode);
    connect(txtGroups_, &QLineEdit::returnPressed, this, &frmOpt::GroupsEnter);
    txtGroups_->installEventFilter(this);
    tvGroups_->installEventFilter(this);
    return page;
}

QString frmOpt::text(int code, const char* builtIn) const {
    return LangTextOr(node_, code, QString::fromUtf8(builtIn));
}

void frmOpt::SetLan() {
    setWindowTitle(text(2001, "Options - Lanyx"));
    const char* tabs[] = {"&User", "&Interface", "&Securety", "&Groups"};
    for (int i = 0; i < 4; ++i) tbOpt_->button(i)->setText(text(2002 + i, tabs[i]));
    tbOpt_->button(4)->setText(tr("&Network"));
    accept_->setText(text(2006, "&Accept"));
    close_->setText(text(2007, "&Close"));
    lblName_->setText(text(2008, "Screen Name"));
    lblCol_->setText(text(2009, "Screen Colour"));
    Frame1_->setTitle(text(2010, "Prevew"));
    lblPos_->setText(text(2011, "New Message Position"));
    lblSnd_->setText(text(2012, "Play sound on new message?"));
    tbSnd_->setText(text(2013, "&Test"));
#ifdef Q_OS_WIN
    chkStartUp_->setText(text(2014, "&Run Lanyx on StartUp"));
#else
    // The language file's text names Windows in some languages: here the
    // program starts with the desktop session.
    chkStartUp_->setText(tr("&Run Lanyx on StartUp"));
    chkStartUp_->setToolTip(tr("Starts Lanyx when you log in to the desktop"));
#endif
    chkNotify_->setText(tr("&Desktop notifications for alerts"));
    chkNotify_->setToolTip(tr("Alerts go to the desktop's notification service instead of popups"));
    chkReadMarks_->setText(tr("Tell others when I have &seen their lines"));
    chkReadMarks_->setToolTip(
        tr("Lanyx copies of the others show \"seen\" under their line once your chat window showed it"));
    lblChatSnd_->setText(tr("Sound for a chat line in the &background"));
    lblKeepDays_->setText(tr("&Keep the history of messages for"));
    spnKeepDays_->setSpecialValueText(tr("ever"));
    spnKeepDays_->setSuffix(tr(" days"));
    spnKeepDays_->setAccessibleName(tr("Days the history keeps messages; 0 keeps them for ever"));
    spnKeepDays_->setToolTip(tr("Older messages are deleted from the history, and their words from its index."));
    lblWaitDays_->setText(tr("A message to someone not on the network &waits for"));
    spnWaitDays_->setSuffix(tr(" days"));
    spnWaitDays_->setAccessibleName(tr("Days a message waits for a recipient who is not on the network"));
    spnWaitDays_->setToolTip(
        tr("Messages to users whose key is known wait encrypted on this computer and go when "
           "the user is seen; after this time they are given up, and you are told."));
    lblBlock_->setText(text(2015, "Block Users"));
    secAdd_->setText(text(2016, "&Add"));
    secRemove_->setText(text(2017, "&Remove"));
    lblGroups_->setText(text(2018, "Groups"));
    grpNew_->setText(text(2019, "&New"));
    grpAdd_->setText(text(2020, "&Add"));
    grpRemove_->setText(text(2021, "&Remove"));
    // The corner buttons are named like the main window's move menu.
    for (int k = 1; k <= 4; ++k) {
        const char* builtIn[] = {"Top Left", "Top Right", "Bottom Left", "Bottom Right"};
        QString name = QString::fromStdString(ParseMenuCaption(text(1116 + k, builtIn[k - 1]).toStdString()).text);
        name.remove(QLatin1Char('&'));
        tbPos_->button(k)->setToolTip(name);
        tbPos_->button(k)->setAccessibleName(name);
    }
    // Names for screen readers where a list or box has no label of its own
    // next to it that a reader would find.
    auto plain = [](const QString& t) {
        return QString(t).remove(QLatin1Char('&')).remove(QLatin1Char(':')).trimmed();
    };
    txtName_->setAccessibleName(plain(lblName_->text()));
    nameTyped(txtName_->text());
    lvCol_->setAccessibleName(plain(lblCol_->text()));
    lvSnd_->setAccessibleName(plain(lblSnd_->text()));
    cmbChatSnd_->setAccessibleName(plain(lblChatSnd_->text()));
    CMBlang_->setAccessibleName(plain(lblLang_->text()));
    txtBlock_->setAccessibleName(plain(lblBlock_->text()));
    lvBlock_->setAccessibleName(plain(lblBlock_->text()));
    txtGroups_->setAccessibleName(plain(lblGroups_->text()));
    tvGroups_->setAccessibleName(plain(lblGroups_->text()));
    picPrevew_->setAccessibleName(Frame1_->title().remove(QLatin1Char('&')));
    for (int i = 0; i < kPages; ++i) tbOpt_->button(i)->setAccessibleName(plain(tbOpt_->button(i)->text()));
    // Texts inside the lists, once they are filled.
    if (auto* r = root()) r->setText(0, text(2201, "User Groups"));
    for (int i = 0; i < lvSnd_->count(); ++i) {
        auto* item = lvSnd_->item(i);
        const QString key = item->data(kKeyRole).toString();
        if (key == QLatin1String("(S)")) item->setText(text(2202, "Silent"));
        else if (key == QLatin1String("(B)")) item->setText(text(2203, "System Beep"));
    }
    for (int i = 0; i < cmbChatSnd_->count(); ++i) {
        const QString key = cmbChatSnd_->itemData(i).toString();
        if (key == QLatin1String("(S)")) cmbChatSnd_->setItemText(i, text(2202, "Silent"));
        else if (key == QLatin1String("(B)")) cmbChatSnd_->setItemText(i, text(2203, "System Beep"));
    }
    const std::string names = text(
                                  9201,
                                  "Black|Blue|Green|Cyan|Red|Magenta|Brown|Light Grey|Dark Grey|Light Blue|Light Green|"
                                  "Light Cyan|Light Red|Light Magenta|Light Yellow|White|")
                                  .toStdString();
    for (int i = 0; i < lvCol_->count(); ++i) {
        auto* item = lvCol_->item(i);
        const auto n = GetItem(names, item->data(kTagRole).toInt() + 1);
        if (!n.empty()) item->setText(QString::fromStdString(n));
    }
}

void frmOpt::AddCols() {
    lvCol_->clear();
    for (const auto& c : OfferedColours()) {
        auto* item = new QListWidgetItem(swatch(toQColor(c.value)), QStringLiteral("#%1").arg(c.index), lvCol_);
        item->setData(kKeyRole, QVariant::fromValue<quint32>(c.value));
        item->setData(kTagRole, c.index);
    }
    SetLan();
}

void frmOpt::SetCol(std::uint32_t colour) {
    for (int i = 0; i < lvCol_->count(); ++i) {
        auto* item = lvCol_->item(i);
        if (item->data(kKeyRole).value<quint32>() == colour) {
            lvCol_->setCurrentItem(item);
            lvCol_->scrollToItem(item);
            colourClicked(item);
            return;
        }
    }
    lvCol_->setCurrentItem(nullptr);
    lvCol_->clearSelection();
}

void frmOpt::colourClicked(QListWidgetItem* item) {
    if (!item) return;
    const QColor c = toQColor(item->data(kKeyRole).value<quint32>());
    QPalette p = txtName_->palette();
    p.setColor(QPalette::Text, c);
    txtName_->setPalette(p);
    QPalette l = lblPrevew_->palette();
    l.setColor(lblPrevew_->foregroundRole(), c);
    lblPrevew_->setPalette(l);
}

void frmOpt::AddPos() {
    for (int k = 1; k <= 4; ++k) tbPos_->button(k)->setIcon(cornerIcon(k, palette()));
}

void frmOpt::SetPos(int corner) {
    posTag_ = QString::number(corner);
    if (auto* b = tbPos_->button(corner)) {
        b->setChecked(true);
        return;
    }
    // 0 (no popups) or a value from a hand-edited file: no corner pressed.
    tbPos_->setExclusive(false);
    for (auto* b : tbPos_->buttons()) b->setChecked(false);
    tbPos_->setExclusive(true);
}

QAbstractButton* frmOpt::posButton(int corner) const {
    return tbPos_->button(corner);
}

QAbstractButton* frmOpt::tabButton(int page) const {
    return tbOpt_->button(page);
}

void frmOpt::AddSnd() {
    lvSnd_->clear();
    cmbChatSnd_->clear();
    auto add = [this](const QString& key, const QString& label, const char* icon) {
        auto* item = new QListWidgetItem(QIcon(QString::fromLatin1(icon)), label, lvSnd_);
        item->setData(kKeyRole, key);
        cmbChatSnd_->addItem(QIcon(QString::fromLatin1(icon)), label, key);
    };
    add(QStringLiteral("(S)"), text(2202, "Silent"), ":/lanyx/silent.svg");
    add(QStringLiteral("(B)"), text(2203, "System Beep"), ":/lanyx/sound.svg");
    for (const auto& file : SoundPlayer::WavFiles(env_.soundFolders)) add(SoundKey(file), file, ":/lanyx/sound.svg");
}

void frmOpt::TestSound() {
    auto* item = lvSnd_->currentItem();
    if (!item || !env_.playSound) return;
    env_.playSound(item->data(kKeyRole).toString());
}

void frmOpt::AddGroups() {
    tvGroups_->clear();
    auto* r = new QTreeWidgetItem(tvGroups_, {text(2201, "User Groups")});
    r->setData(0, kTagRole, QStringLiteral("A"));
    r->setIcon(0, QIcon(QStringLiteral(":/lanyx/all.svg")));
    tvGroups_->setCurrentItem(r);
    r->setExpanded(true);
}

QTreeWidgetItem* frmOpt::root() const {
    return tvGroups_->topLevelItemCount() ? tvGroups_->topLevelItem(0) : nullptr;
}

bool frmOpt::hasGroups() const {
    return root() && root()->childCount() > 0;
}

void frmOpt::RefBloc() {
    secRemove_->setEnabled(lvBlock_->count() > 0);
}

void frmOpt::ShowPage(int page) {
    if (page < 0 || page >= kPages) return;
    picOpt_->setCurrentIndex(page);
    tbOpt_->button(page)->setChecked(true);
    // Keyboard users land in the page's first box.
    QWidget* first[] = {txtName_, CMBlang_, txtBlock_, txtGroups_, network_->editor()};
    if (isVisible()) first[page]->setFocus(Qt::TabFocusReason);
}

// ---- loading and storing ----------------------------------------------------------

void frmOpt::InputSets() {
    const auto& s = node_.settings();
    txtName_->setText(QString::fromStdString(node_.state().MyName));
    SetCol(s.Colour);
    {
        QPalette p = txtName_->palette();
        p.setColor(QPalette::Text, toQColor(s.Colour));
        txtName_->setPalette(p);
    }
    SetPos(s.PopupPosition);
    const QString sound = QString::fromStdString(s.AlertSound);
    for (int i = 0; i < lvSnd_->count(); ++i)
        if (lvSnd_->item(i)->data(kKeyRole).toString() == sound) lvSnd_->setCurrentRow(i);
    chkStartUp_->setChecked(s.Autostart != 0);
    if (env_.prefs) {
        chkNotify_->setChecked(env_.prefs->notifications);
        chkReadMarks_->setChecked(env_.prefs->readMarks);
        int chat = cmbChatSnd_->findData(env_.prefs->chatSound);
        if (chat < 0) {
            // A sound file no longer there keeps its name until the user picks another.
            cmbChatSnd_->addItem(env_.prefs->chatSound, env_.prefs->chatSound);
            chat = cmbChatSnd_->count() - 1;
        }
        cmbChatSnd_->setCurrentIndex(chat);
    }
    CMBlang_->setCurrentIndex(
        CMBlang_->findText(QString::fromStdString(s.Language), Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (env_.history) spnKeepDays_->setValue(env_.history->retentionDays());
    if (env_.waiting) spnWaitDays_->setValue(env_.waiting->waitDays());

    if (!env_.destinationsFile.empty()) {
        destinationsRead_ = net::readDestinations(env_.destinationsFile).entries;
        network_->setEntries(destinationsRead_);
    }

    lvBlock_->clear();
    for (const auto& b : node_.users().blocked())
        new QListWidgetItem(QIcon(QStringLiteral(":/lanyx/blocked.svg")), QString::fromStdString(b), lvBlock_);
    RefBloc();

    auto* r = root();
    for (const auto& g : node_.users().groups()) {
        const auto n = CountItems(g);
        if (n < 1) continue;
        auto* group = new QTreeWidgetItem(r, {QString::fromStdString(GetItem(g, 1))});
        group->setData(0, kTagRole, QStringLiteral("G"));
        group->setIcon(0, QIcon(QStringLiteral(":/lanyx/group.svg")));
        for (std::int32_t m = 2; m <= n; ++m) {
            auto* member = new QTreeWidgetItem(group, {QString::fromStdString(GetItem(g, m))});
            member->setData(0, kTagRole, QStringLiteral("U"));
            member->setIcon(0, QIcon(QStringLiteral(":/lanyx/user.svg")));
        }
        group->setExpanded(true);
    }
}

void frmOpt::WriteSets() {
    UserChoices::Options chosen;
    if (CMBlang_->currentIndex() >= 0) chosen.language = CMBlang_->currentText().toStdString();
    if (auto* c = lvCol_->currentItem(); c && c->isSelected()) chosen.colour = c->data(kKeyRole).value<quint32>();
    bool ok = false;
    const int pos = posTag_.toInt(&ok);
    if (ok && pos >= 0 && pos <= 4) chosen.popupPosition = static_cast<std::int16_t>(pos);
    if (auto* snd = lvSnd_->currentItem()) chosen.alertSound = snd->data(kKeyRole).toString().toStdString();
    chosen.autostart = chkStartUp_->isChecked();
    choices_.keepOptions(chosen);
    if (env_.prefs) {
        DesktopPrefs p = *env_.prefs;
        p.notifications = chkNotify_->isChecked();
        p.readMarks = chkReadMarks_->isChecked();
        if (cmbChatSnd_->currentIndex() >= 0) p.chatSound = cmbChatSnd_->currentData().toString();
        const bool changed = p.notifications != env_.prefs->notifications || p.chatSound != env_.prefs->chatSound ||
                             p.readMarks != env_.prefs->readMarks;
        *env_.prefs = p;
        if (changed && env_.prefsChanged) env_.prefsChanged();
    }
    if (env_.history && spnKeepDays_->value() != env_.history->retentionDays()) {
        const int days = spnKeepDays_->value();
        const int before = env_.history->retentionDays();
        // Shorter means deleted at once: never by a slip of the mouse wheel.
        const bool deletes = days > 0 && (before == 0 || days < before);
        if (!deletes || !AskYesNo ||
            AskYesNo(windowTitle(),
                     tr("Messages older than %n day(s) are deleted from the history now. Go on?", nullptr, days)))
            env_.history->setRetentionDays(days);
        else spnKeepDays_->setValue(before);
    }

    if (node_.secure() && env_.waiting && spnWaitDays_->value() != env_.waiting->waitDays())
        env_.waiting->setWaitDays(spnWaitDays_->value());

    std::vector<std::string> blocked;
    for (int i = 0; i < lvBlock_->count(); ++i) blocked.push_back(lvBlock_->item(i)->text().toStdString());
    choices_.keepBlocked(blocked);

    std::vector<std::pair<std::string, std::vector<std::string>>> tree;
    if (auto* r = root())
        for (int g = 0; g < r->childCount(); ++g) {
            auto* group = r->child(g);
            std::vector<std::string> members;
            for (int m = 0; m < group->childCount(); ++m) members.push_back(group->child(m)->text(0).toStdString());
            tree.emplace_back(group->text(0).toStdString(), std::move(members));
        }
    choices_.keepGroups(BuildGroups(tree));

    const auto destinations = network_->entries();
    if (!env_.destinationsFile.empty() && destinations != destinationsRead_) {
        try {
            net::writeDestinations(env_.destinationsFile, destinations);
            destinationsRead_ = destinations;
            if (env_.destinationsChanged) env_.destinationsChanged(destinations);
        } catch (const LanyxError& e) {
            MsgBox(tr("The destinations could not be saved: %1").arg(QString::fromStdString(e.what())),
                   IconExclamation);
        }
    }

    // Leave under the old name, join under the new one (announcing the new
    // colour) and save. At start-up the start-up procedure does this itself.
    if (!startUp_) {
        const std::string before = node_.state().MyName;
        const std::string after = txtName_->text().trimmed().toStdString();
        // The windows take the new name first: the leave under the old one
        // is then nobody's in them.
        if (before != after && env_.nameChanged) env_.nameChanged(before, after);
        node_.rejoinUnder(after);
    }
}

// ---- Accept and Close -----------------------------------------------------------------

Result<void> frmOpt::NameProblem(const std::string& name) {
    // While probing, the own row carries the probe name: the name offered for
    // editing is the one found taken, and one row showing it is another user.
    if ((startUp_ || node_.state().ProbeMode) && node_.users().IsNameTaken(name, std::string_view{}))
        return failure(Reason::NameTaken);
    return node_.NameProblem(name);
}

void frmOpt::nameTyped(const QString& typed) {
    const QString name = typed.trimmed();
    const bool refused = !name.isEmpty() && !NameAllowed(name.toStdString());
    const Reason why = Reason::NameNotAllowed;
    lblNameHint_->setText(refused ? text(NameRefusalText(why), std::string(wordsFor(why)).c_str()) : QString());
    lblNameHint_->setVisible(refused);
    nameMark_->setVisible(refused);
    nameMark_->setText(lblNameHint_->text());
    nameMark_->setToolTip(lblNameHint_->text());
    txtName_->setAccessibleDescription(lblNameHint_->text());
}

QString frmOpt::LanguageQuestion(int index) const {
    QString q = text(10300 + index, "");
    if (node_.settings().Language == "English") q += QStringLiteral("\n\n") + text(10300, "");
    return q;
}

void frmOpt::Accept() {
    // Nothing is saved that could not be read back.
    if (const auto problems = network_->problems(); !problems.isEmpty()) {
        MsgBox(tr("These destinations are no host name or IPv4 address:\n%1").arg(problems.join(QLatin1Char('\n'))),
               IconExclamation);
        ShowPage(4);
        return;
    }
    const QString name = txtName_->text().trimmed();
    txtName_->setText(name);
    if (name.isEmpty()) {
        MsgBox(text(2206, "Please enter a screen name."), IconCritical);
        txtName_->setFocus();
        return;
    }
    if (const auto problem = NameProblem(name.toStdString()); !problem) {
        const Reason why = problem.error().reason;
        const QString said = text(NameRefusalText(why), std::string(wordsFor(why)).c_str());
        // Which name is taken: the one typed, in whatever case another user has it.
        MsgBox(why == Reason::NameTaken ? QString::fromStdString(NameTakenText(said.toStdString(), name.toStdString()))
                                        : said,
               IconExclamation);
        ShowPage(0);
        txtName_->setFocus();
        txtName_->selectAll();
        return;
    }
    const int lang = CMBlang_->currentIndex();
    if (lang >= 0 && CMBlang_->currentText().toStdString() != node_.settings().Language) {
        if (AskYesNo(CMBlang_->currentText(), LanguageQuestion(lang))) {
            try {
                choices_.switchLanguage(CMBlang_->currentText().toStdString(), env_.languageChanged);
            } catch (const std::exception& e) {
                MsgBox(QString::fromStdString(e.what()), IconExclamation);
            }
        }
    }
    try {
        WriteSets();
    } catch (const std::exception& e) {
        MsgBox(QString::fromStdString(e.what()), IconExclamation);
    }
    acceptedName_ = name.toStdString();
    QDialog::accept();
}

void frmOpt::CloseClicked() {
    reject();
}

void frmOpt::reject() {
    acceptedName_.reset();
    QDialog::reject();
}

std::optional<std::string> frmOpt::RunStartUp() {
    acceptedName_.reset();
    setModal(true);
    exec();
    return acceptedName_;
}

// ---- block list ----------------------------------------------------------------------

void frmOpt::AddBlock() {
    const QString t = txtBlock_->text().trimmed();
    if (t.isEmpty()) return;
    if (unsafeListText(t)) {
        Beep();
        return;
    }
    auto* item = new QListWidgetItem(QIcon(QStringLiteral(":/lanyx/blocked.svg")), BlockName(t), lvBlock_);
    lvBlock_->setCurrentItem(item);
    txtBlock_->clear();
    RefBloc();
}

void frmOpt::RemoveBlockItem() {
    auto* item = lvBlock_->currentItem();
    if (!item || !item->isSelected()) return;
    const int row = lvBlock_->row(item);
    txtBlock_->setText(item->text());
    delete item;
    RefBloc();
    if (lvBlock_->count() > 0) lvBlock_->setCurrentRow(std::min(row, lvBlock_->count() - 1));
    txtBlock_->setFocus();
}

// ---- groups ------------------------------------------------------------------------------

void frmOpt::afterGroupEdit() {
    txtGroups_->setFocus();
    txtGroups_->selectAll();
}

void frmOpt::NewGroup() {
    const QString t = txtGroups_->text().trimmed();
    txtGroups_->setText(t);
    if (t.isEmpty()) return;
    auto* r = root();
    bool exists = unsafeListText(t);
    for (int g = 0; r && g < r->childCount() && !exists; ++g) exists = r->child(g)->text(0) == t;
    if (!r || exists) {
        Beep();
        return;
    }
    auto* group = new QTreeWidgetItem(r, {t});
    group->setData(0, kTagRole, QStringLiteral("G"));
    group->setIcon(0, QIcon(QStringLiteral(":/lanyx/group.svg")));
    r->setExpanded(true);
    tvGroups_->setCurrentItem(group);
    afterGroupEdit();
}

void frmOpt::AddMember() {
    const QString t = txtGroups_->text().trimmed();
    txtGroups_->setText(t);
    if (t.isEmpty()) return;
    auto* current = tvGroups_->currentItem();
    if (!hasGroups() || !current || current == root() || unsafeListText(t)) {
        Beep();
        return;
    }
    QTreeWidgetItem* group = current->data(0, kTagRole).toString() == QLatin1String("G") ? current : current->parent();
    for (int m = 0; m < group->childCount(); ++m)
        if (group->child(m)->text(0) == t) {
            Beep();
            return;
        }
    auto* member = new QTreeWidgetItem(group, {t});
    member->setData(0, kTagRole, QStringLiteral("U"));
    member->setIcon(0, QIcon(QStringLiteral(":/lanyx/user.svg")));
    group->setExpanded(true);
    tvGroups_->setCurrentItem(member);
    afterGroupEdit();
}

void frmOpt::RemoveNode() {
    auto* current = tvGroups_->currentItem();
    if (!current || current == root()) {
        Beep();
        return;
    }
    delete current;
    tvGroups_->setCurrentItem(root());
}

void frmOpt::GroupsEnter() {
    if (hasGroups()) AddMember();
    else NewGroup();
}

// ---- focus and keys ------------------------------------------------------------------------

void frmOpt::checkNameBox() {
    const QString t = txtName_->text().trimmed();
    if (t != txtName_->text()) txtName_->setText(t);
    if (!t.isEmpty() || !isVisible() || txtName_->hasFocus()) return;
    // Accept and Close have their own say.
    QWidget* now = QApplication::focusWidget();
    if (now == accept_ || now == close_) return;
    MsgBox(text(2206, "Please enter a screen name."), IconCritical);
    // The box may have been left for another page: back to it.
    ShowPage(0);
    txtName_->setFocus();
}

bool frmOpt::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == txtName_ || watched == txtBlock_ || watched == txtGroups_)) {
        // After the click that placed the cursor.
        auto* box = static_cast<QLineEdit*>(watched);
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::FocusOut && watched == txtName_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving the window is no reason to stop the user. Where the focus
        // went is known only once it has settled (a page switch passes it on).
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, &frmOpt::checkNameBox);
        else txtName_->setText(txtName_->text().trimmed());
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete && watched == lvBlock_) {
            RemoveBlockItem();
            return true;
        }
        if (key == Qt::Key_Delete && watched == tvGroups_) {
            RemoveNode();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace lanyx::ui
