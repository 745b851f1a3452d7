#include "frmPop.h"

#include "CoolMenu.h"
#include "LangText.h"
#include "RecordFile.h"
#include "Resources.h"
#include "Twips.h"
#include "UserListModel.h"
#include "WindowHub.h"
#include "frmChat.h"
#include "logic/Contrast.h"
#include "logic/Export.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QContextMenuEvent>
#include <QTimer>

namespace lanyx::ui {

namespace {
struct PopItem {
    const char* name;
    const char* caption;
    int code;
    const char* icon;
};
constexpr PopItem kPopItems[] = {
    {"mnuPopSep1", "-Options", 5101, nullptr},
    {"mnuExportT", "&Export To Text File", 5102, ":/lanyx/save.svg"},
    {"mnuExportC", "&Export To Clipboard", 5103, ":/lanyx/copy.svg"},
    {"mnuReply", "&Reply", 5104, ":/lanyx/alert.svg"},
    {"mnuRepSep1", "-To Who?", 5105, nullptr},
    {"mnuReplySender", "To &Sender", 5106, ":/lanyx/user.svg"},
    {"mnuReplyAll", "To &All", 5107, ":/lanyx/all.svg"},
    {"mnuLive", "&Start Live Chat", 5108, ":/lanyx/chat.svg"},
    {"mnuBlock", "&Block Sender", 5109, ":/lanyx/block.svg"},
};
} // namespace

frmPop::frmPop(ChatNode& node, WindowHub& hub)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), node_(node), hub_(hub) {
    EnsureResources();
    setObjectName("frmPop");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Lanyx"));
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/alert.svg")));

    lblMsg_ = new QLabel(QStringLiteral("->Message<-"), this);
    lblMsg_->setObjectName("lblMsg");
    lblMsg_->setTextFormat(Qt::PlainText);
    lblMsg_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMsg_->setAutoFillBackground(true);
    lblMsg_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblMsg_->setMargin(6);
    picImg_ = new QLabel(this);
    picImg_->setAutoFillBackground(true);
    picImg_->setFixedSize(36, 36);
    picImg_->setAlignment(Qt::AlignCenter);
    // The message scrolls inside the popup: anyone on the segment can send
    // an alert far larger than the screen.
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("scrMsg");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setWidget(lblMsg_);
    lblMsg_->installEventFilter(this);
    picImg_->installEventFilter(this);
    lblDrop_ = new QLabel(QStringLiteral("\u25BE"), this);
    lblDrop_->setObjectName("lblDrop");
    lblDrop_->setAlignment(Qt::AlignCenter);
    // A target a pointer can hit, not a glyph's width.
    lblDrop_->setMinimumSize(24, 24);
    lblDrop_->setCursor(Qt::PointingHandCursor);
    lblDrop_->setFocusPolicy(Qt::StrongFocus);
    lblDrop_->installEventFilter(this);
    lblClose_ = new QLabel(QStringLiteral("Close"), this);
    lblClose_->setCursor(Qt::PointingHandCursor);
    lblClose_->setFocusPolicy(Qt::StrongFocus);
    lblClose_->installEventFilter(this);
    QFont link = lblClose_->font();
    link.setUnderline(true);
    lblClose_->setFont(link);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->addWidget(picImg_, 0, 0, Qt::AlignTop);
    grid->addWidget(scroll_, 0, 1, 1, 2);
    grid->addWidget(lblDrop_, 1, 0, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(lblClose_, 1, 2, Qt::AlignRight | Qt::AlignBottom);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);

    mnuPop_ = new QMenu(this);
    mnuReply_ = nullptr;
    for (const auto& it : kPopItems) {
        QString name = QString::fromLatin1(it.name);
        if (name == QLatin1String("mnuReply")) {
            mnuReply_ = mnuPop_->addMenu(QString());
            mnuReply_->menuAction()->setObjectName(name);
            continue;
        }
        QMenu* into = (name == QLatin1String("mnuRepSep1") || name == QLatin1String("mnuReplySender") ||
                       name == QLatin1String("mnuReplyAll"))
                          ? mnuReply_
                          : mnuPop_;
        auto* a = into->addAction(QString());
        a->setObjectName(name);
    }
    connect(action("mnuReplySender"), &QAction::triggered, this, [this] {
        hub_.OpenComposeWindow(sender().toStdString() + "|");
        close();
    });
    connect(action("mnuReplyAll"), &QAction::triggered, this, [this] {
        hub_.OpenComposeWindow(std::string(UserList::kAllRow) + "|");
        close();
    });
    connect(action("mnuLive"), &QAction::triggered, this, [this] {
        const std::string from = sender().toStdString();
        if (frmChat* chat = hub_.OpenChatWindow(from + "|"))
            chat->AddMsg(message_.toStdString(), from, node_.users().GetColorForUName(from));
        close();
    });
    connect(action("mnuBlock"), &QAction::triggered, this, [this] {
        node_.users().AddBlocked(sender().toStdString());
        hub_.RefreshChatUserLists();
    });
    connect(action("mnuExportC"), &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(lblMsg_->text()); });
    connect(action("mnuExportT"), &QAction::triggered, this, &frmPop::ExportToTextFile);

    SetLan();
    if (!node_.state().SafeMode) {
        CoolMenu::Images images;
        for (const auto& it : kPopItems)
            if (it.icon) images.append({action(it.name)->text(), QIcon(QString::fromLatin1(it.icon))});
        cool_ = new CoolMenu(this, {mnuPop_}, images, {});
    }

    aniTimer_ = new QTimer(this);
    aniTimer_->setInterval(10);
    connect(aniTimer_, &QTimer::timeout, this, &frmPop::aniTimer_Timer);
    timer_ = new QTimer(this);
    timer_->setInterval(500);
    connect(timer_, &QTimer::timeout, this, &frmPop::Timer_Timer);
    timer_->start();
}

frmPop::~frmPop() {
    if (cool_) cool_->uninstall();
}

QAction* frmPop::action(const char* name) const {
    for (auto* a : findChildren<QAction*>())
        if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

void frmPop::SetLan() {
    const bool safe = node_.state().SafeMode;
    auto text = [&](int code, const char* builtIn) { return LangTextOr(node_, code, QString::fromUtf8(builtIn)); };
    lblClose_->setText(text(5001, "Close"));
    for (const auto& it : kPopItems) {
        QAction* a = action(it.name);
        if (!a) continue;
        ApplyMenuCaption(a, text(it.code, it.caption), safe);
        if (a->menu()) a->menu()->setTitle(a->text());
        if (a->isSeparator()) a->setVisible(!safe);
    }
}

void frmPop::ShowAlert(const std::string& text, const std::string& sender, bool isPrivate) {
    message_ = QString::fromStdString(text);
    lblMsg_->setText(QStringLiteral("\n") + message_);
    sender_ = QString::fromStdString(sender);
    setWindowTitle(sender_);
    QPalette pal = lblMsg_->palette();
    pal.setColor(QPalette::WindowText, ReadableOn(UserListModel::toColor(node_.users().GetColorForUName(sender)),
                                                  palette().color(QPalette::Button)));
    lblMsg_->setPalette(pal);
    picImg_->setPixmap(UserListModel::userIcon(IconUser).pixmap(28, 28));
    if (isPrivate) picImg_->setToolTip(QStringLiteral("private"));

    // The popup takes its size from the message; very long lines wrap at
    // half the screen's width instead of running off it.
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int maxTextWidth = s ? s->geometry().width() / 2 : 600;
    const QFontMetrics fm(lblMsg_->font());
    const int natural = fm.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft, lblMsg_->text()).width() + 12;
    if (natural > maxTextWidth) lblMsg_->setWordWrap(true);
    const int labelW = std::min(natural, maxTextWidth) + picImg_->width() + 8;
    const int labelH = lblMsg_->heightForWidth(std::min(natural, maxTextWidth)) > 0
                           ? lblMsg_->heightForWidth(std::min(natural, maxTextWidth))
                           : lblMsg_->sizeHint().height();
    // The work area, so that a panel or task bar does not hide the popup.
    const QRect screenRect = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    PopupSize size = PopupSizeFor(ToTwips(labelW, s), ToTwips(labelH, s), ToTwips(lblClose_->sizeHint().height(), s));
    // Never larger than the work area (with room for a frame): the rest scrolls.
    const QSize most = screenRect.size() - QSize(16, 40);
    size.width = std::min(size.width, ToTwips(most.width(), s));
    size.height = std::min(size.height, ToTwips(most.height(), s));
    setMaximumSize(most);
    resize(ToPixels(size.width, s), ToPixels(size.height, s));

    corner_ = node_.settings().PopupPosition;
    screenH_ = ToTwips(screenRect.height(), s);
    heightTwips_ = size.height;
    const PopupStart start = PopupStartFor(corner_, ToTwips(screenRect.width(), s), screenH_, size,
                                           ToTwips(x(), s), ToTwips(y(), s));
    leftTwips_ = start.left;
    topTwips_ = start.top;
    if (start.slides) move(screenRect.left() + ToPixels(leftTwips_, s), screenRect.top() + ToPixels(topTwips_, s));
    show();
    raise();
    SetTopMost(this, -1);
    hub_.PlaySoundSetting(QString::fromStdString(node_.settings().AlertSound));
    if (start.slides) aniTimer_->start();
}

void frmPop::JoinAlert(const std::string& text) {
    // The newest alert shows (and is what export writes); the title counts them.
    ++count_;
    message_ = QString::fromStdString(text);
    lblMsg_->setText(QStringLiteral("\n") + message_);
    setWindowTitle(QStringLiteral("%1 (%2)").arg(sender_).arg(count_));
}

void frmPop::aniTimer_Timer() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect screenRect = s ? s->availableGeometry() : QRect();
    // A window manager's frame (title bar, borders) comes on top of the
    // popup's own size: the whole frame must end up inside the work area.
    const QRect frame = frameGeometry();
    // The layout may have kept the window taller than asked: its real height counts.
    heightTwips_ = ToTwips(std::max(frame.height(), height()), s);
    int left = x();
    if (corner_ == 2 || corner_ == 4) left = screenRect.left() + screenRect.width() - frame.width();
    const bool more = PopupSlideStep(corner_, node_.settings().AlertHeight, screenH_, heightTwips_, topTwips_);
    move(left, screenRect.top() + ToPixels(topTwips_, s));
    if (!more) aniTimer_->stop();
}

void frmPop::Timer_Timer() {
    const bool more = flash_.tick();
    ++toggles_;
    const QColor c = flash_.lit() ? palette().color(QPalette::HighlightedText) : palette().color(QPalette::Button);
    for (QLabel* l : {lblMsg_, picImg_}) {
        QPalette p = l->palette();
        p.setColor(QPalette::Window, c);
        l->setPalette(p);
    }
    if (!more) timer_->stop();
}

bool frmPop::sliding() const {
    return aniTimer_->isActive();
}

bool frmPop::flashing() const {
    return timer_->isActive();
}

void frmPop::showMenu() {
    mnuPop_->popup(lblDrop_->mapToGlobal(QPoint(0, lblDrop_->height())));
}

void frmPop::ExportToTextFile() {
    const QString file = hub_.ChooseExportFile(node_.LangText(5201));
    if (file.isEmpty()) return;
    const auto kind = ExportKindFor(file.toStdString());
    if (kind != ExportKind::Text) return;
    try {
        // The label's text: a line break, then the message.
        WriteExport(file.toStdString(), kind, "\r\n" + message_.toStdString(), {});
    } catch (const LanyxError& e) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("%1\n\n%2").arg(file, QString::fromUtf8(e.what())));
    }
}

void frmPop::contextMenuEvent(QContextMenuEvent* event) {
    mnuPop_->popup(event->globalPos());
    event->accept();
}

bool frmPop::eventFilter(QObject* watched, QEvent* event) {
    // A right-click anywhere on the popup opens its menu, the message included.
    if (event->type() == QEvent::ContextMenu && (watched == lblMsg_ || watched == picImg_)) {
        mnuPop_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    const bool click = event->type() == QEvent::MouseButtonRelease &&
                       static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    const bool key = event->type() == QEvent::KeyPress &&
                     (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space);
    if (click || key) {
        if (watched == lblClose_) {
            close();
            return true;
        }
        if (watched == lblDrop_) {
            showMenu();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lanyx::ui
