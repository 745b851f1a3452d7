#include "frmCom.h"

#include "EmojiPicker.h"
#include "FileSending.h"
#include "LangText.h"
#include "Error.h"
#include "Resources.h"
#include "StateIcons.h"
#include "Text.h"
#include "UserListModel.h"
#include "WaitingService.h"
#include "logic/Contrast.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace lanyx::ui {

frmCom::frmCom(ChatNode& node, QWidget* parent) : QWidget(parent, Qt::Window), node_(node) {
    EnsureResources();
    setObjectName("frmCom");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/alert.svg")));
    setWindowTitle(QStringLiteral("Send Message - Lanyx"));

    lblTo_ = new QLabel(QStringLiteral("To"), this);
    lblTo_->setObjectName("lblTo");
    lvUsers_ = new QTreeWidget(this);
    lvUsers_->setObjectName("lvUsers");
    lvUsers_->setHeaderHidden(true);
    lvUsers_->setRootIsDecorated(false);
    KeyColumn(lvUsers_);
    lvUsers_->setMaximumHeight(lvUsers_->fontMetrics().height() * 5 + 8);
    lblNote_ = new QLabel(this);
    lblNote_->setObjectName("lblRecipientNote");
    lblNote_->setWordWrap(true);
    lblNote_->setTextFormat(Qt::PlainText);
    lblNote_->setVisible(false);
    lblMsg_ = new QLabel(QStringLiteral("Message"), this);
    lblMsg_->setObjectName("lblMessage");
    txtMsg_ = new QPlainTextEdit(this);
    txtMsg_->setObjectName("txtMsg");
    txtMsg_->setTabChangesFocus(true);
    lblTo_->setBuddy(lvUsers_);
    lblMsg_->setBuddy(txtMsg_);

    auto* tb = new QToolBar(this);
    toolbar_ = tb;
    tb->setObjectName("TB");
    tb->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tb->setIconSize(QSize(18, 18));
    send_ = tb->addAction(QIcon(QStringLiteral(":/lanyx/alert.svg")), QStringLiteral("&Send"));
    close_ = tb->addAction(QIcon(QStringLiteral(":/lanyx/close.svg")), QStringLiteral("&Close"));
    auto* emoji = new EmojiButton(tb);
    tb->addWidget(emoji);
    // The bar's buttons are reached with Tab, as every button is.
    for (QAction* a : {send_, close_})
        if (QWidget* button = tb->widgetForAction(a)) button->setFocusPolicy(Qt::TabFocus);
    connect(emoji, &EmojiButton::picked, txtMsg_, [this](const QString& picked) {
        txtMsg_->insertPlainText(picked);
        txtMsg_->setFocus();
    });
    connect(send_, &QAction::triggered, this, &frmCom::Send);
    connect(close_, &QAction::triggered, this, &QWidget::close);
    // Ctrl+Enter sends from the message box; Escape closes.
    auto* sendKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(sendKey, &QShortcut::activated, this, &frmCom::Send);
    auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tb);
    layout->addWidget(lblTo_);
    layout->addWidget(lvUsers_);
    layout->addWidget(lblNote_);
    layout->addWidget(lblMsg_);
    layout->addWidget(txtMsg_, 1);
    lblDelivery_ = new QLabel(this);
    lblDelivery_->setObjectName("lblDelivery");
    lblDelivery_->setWordWrap(true);
    lblDelivery_->setVisible(false);
    layout->addWidget(lblDelivery_);
    lstDelivery_ = new QTreeWidget(this);
    lstDelivery_->setObjectName("lstDelivery");
    lstDelivery_->setHeaderHidden(true);
    lstDelivery_->setRootIsDecorated(false);
    lstDelivery_->setColumnCount(1);
    lstDelivery_->setWordWrap(true);
    lstDelivery_->setVisible(false);
    layout->addWidget(lstDelivery_);
    sendFiles_ = new SendFileActions(this, [this] { return FileTargets(); });
    sendFiles_->report = [this](const QString& text) {
        lblDelivery_->setText(text);
        lblDelivery_->setVisible(true);
    };
    // A message waiting for its recipient can be taken back from its row.
    lstDelivery_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstDelivery_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        auto* item = lstDelivery_->itemAt(pos);
        if (!item) return;
        const auto id = item->data(0, Qt::UserRole).toULongLong();
        if (id == 0) return;
        QMenu menu(this);
        QAction* takeBack = menu.addAction(tr("&Take back the waiting alert"));
        takeBack->setObjectName("actTakeBack");
        connect(takeBack, &QAction::triggered, this, [this, id] { TakeBack(id); });
        menu.exec(lstDelivery_->viewport()->mapToGlobal(pos));
    });
    lvUsers_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvUsers_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        auto* item = lvUsers_->itemAt(pos);
        menuUser_ = item ? NameOfRow(item) : QString();
        QMenu menu(this);
        sendFiles_->addTo(&menu);
        menu.exec(lvUsers_->viewport()->mapToGlobal(pos));
        menuUser_.clear();
    });
    SetLan();
    fitToContent();
    txtMsg_->setFocus();
}

void frmCom::fitToContent() {
    // Room for a message of a few lines and its delivery, in any language,
    // on the screen at hand.
    const QFontMetrics fm(font());
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    const int w = std::max({fm.averageCharWidth() * 52, sizeHint().width(), fm.horizontalAdvance(windowTitle()) + 120});
    const int h = std::max(fm.height() * 22, sizeHint().height());
    resize(std::min(w, area.width() - 24), std::min(h, area.height() - 60));
}

void frmCom::SetLan() {
    auto text = [&](int code, const QString& builtIn) { return LangTextOr(node_, code, builtIn); };
    setWindowTitle(text(4001, QStringLiteral("Send Message - Lanyx")));
    lblTo_->setText(text(4002, QStringLiteral("To")));
    lblMsg_->setText(text(4003, QStringLiteral("Message")));
    send_->setText(text(4004, QStringLiteral("&Send")));
    close_->setText(text(4005, QStringLiteral("&Close")));
    lvUsers_->setAccessibleName(QString(lblTo_->text()).remove(QLatin1Char('&')));
    lvUsers_->setAccessibleDescription(tr("The recipients; the context menu sends files to them"));
    txtMsg_->setAccessibleName(QString(lblMsg_->text()).remove(QLatin1Char('&')));
    txtMsg_->setAccessibleDescription(tr("Ctrl+Enter sends, Escape closes"));
    lstDelivery_->setAccessibleName(tr("Delivery"));
    toolbar_->setAccessibleName(tr("Toolbar"));
    lvUsers_->setHeaderLabels({tr("Recipient"), tr("Key")});
    lstDelivery_->setAccessibleDescription(tr("What became of the alert, per recipient"));
    RefUserList();
    if (!delivery_.empty()) refreshDeliveryLine();
}

void frmCom::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
}

void frmCom::AddUser(const std::string& name) {
    if (recipients_.AddUser(name)) rebuild();
}

void frmCom::rebuild() {
    lvUsers_->clear();
    for (const auto& name : recipients_.names()) AddNameRow(lvUsers_, name);
    RefUserList();
}

void frmCom::RefUserList() {
    const auto& users = node_.users();
    for (int i = 0; i < lvUsers_->topLevelItemCount(); ++i) {
        auto* item = lvUsers_->topLevelItem(i);
        const std::string name = NameOfRow(item).toStdString();
        const bool all = equalsNoCase(name, UserList::kAllRow);
        if (all) item->setText(0, UserListModel::shownName(name));  // in the language now chosen
        const bool blocked = !all && users.IsBlocked(name);
        item->setIcon(0, UserListModel::userIcon(all ? IconAll : blocked ? IconBlocked : IconUser));
        if (!all) ShowKeyState(item, node_.KeyStateOf(name));
        item->setForeground(0, ReadableOn(UserListModel::toColor(users.GetColorForUName(name)),
                                          lvUsers_->palette().color(QPalette::Base)));
        item->setToolTip(0, blocked ? StateText(State::Blocked) : QString());
        item->setData(0, Qt::AccessibleTextRole,
                      blocked ? tr("%1, %2").arg(item->text(0), StateText(State::Blocked)) : item->text(0));
    }
    showNote();
}

void frmCom::showNote() {
    // Where the program knows it: an alert to someone on Do Not Disturb is
    // not shown there.
    const auto refusing = Refusing(recipients_.names(), node_.users(), false);
    QStringList names;
    for (const auto& n : refusing) names << QString::fromStdString(n);
    lblNote_->setVisible(!names.isEmpty());
    if (names.isEmpty()) return;
    lblNote_->setText(tr("%1 will not see this alert now: the status is \"%2\".")
                          .arg(names.join(QStringLiteral(", ")), QString::fromStdString(node_.StatusName(2))));
}

void frmCom::Send() {
    const std::string message = txtMsg_->toPlainText().toStdString();
    try {
        if (!send_->isEnabled()) return;  // already sent: the window shows what became of it
        std::vector<DeliveryReport> reports;
        if (!recipients_.Send(node_, message, &reports)) return;
        delivery_.start(reports, {});
    } catch (const LanyxError& e) {
        // The window stays open with the message, so nothing typed is lost.
        QMessageBox::warning(
            this, windowTitle(),
            tr("The alert could not be sent.\n\n%1: %2").arg(e.number()).arg(QString::fromUtf8(e.what())));
        return;
    }
    if (delivery_.empty()) {
        close();
        return;
    }
    const auto changed = delivery_.keyChanged();
    if (!delivery_.allWithheld()) {
        send_->setEnabled(false);
        txtMsg_->setReadOnly(true);
    }
    // Nothing sent at all: the message stays, to send once the keys are checked.
    refreshDeliveryLine();
    if (!changed.empty() && openCheck_) openCheck_(changed.front());
}

bool frmCom::TakeBack(std::uint64_t id) {
    return waiting_ && waiting_->cancel(id);
}

void frmCom::ShowDelivery(const DeliveryReport& report) {
    if (delivery_.update(report)) refreshDeliveryLine();
}

void frmCom::refreshDeliveryLine() {
    lstDelivery_->clear();
    const QColor base = lstDelivery_->palette().color(QPalette::Base);
    for (const auto& r : delivery_.rows()) {
        QString text = DeliveryRowText(r);
        // Nothing keeps a message in the clear for later: say so where it is known.
        if (r.state == Delivery::NoReceipts && !node_.users().findNoCase(r.recipient))
            text = tr("%1: in the clear, sent; %1 is not on the network now and will not get it")
                       .arg(QString::fromStdString(r.recipient));
        auto* item = new QTreeWidgetItem(lstDelivery_, {text});
        if (r.state == Delivery::Queued) {
            item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(r.id));
            item->setToolTip(0, tr("Waits on this computer; the context menu takes it back"));
        }
        const State state = DeliveryState(r);
        item->setIcon(0, StateIcon(state));
        if (r.state != Delivery::Queued) item->setToolTip(0, StateText(state));
        if (state == State::Warning) item->setForeground(0, ReadableOn(QColor(0xC0, 0x20, 0x00), base));
    }
    lstDelivery_->setVisible(true);
    lstDelivery_->setMaximumHeight(
        lstDelivery_->sizeHintForRow(0) * std::min<int>(6, lstDelivery_->topLevelItemCount()) + 8);
    if (!delivery_.settled()) {
        lblDelivery_->setVisible(false);
        return;
    }
    if (delivery_.warns()) {
        // Held back or not confirmed: the user must see it, so the window stays.
        const auto& rows = delivery_.rows();
        const bool held = std::any_of(rows.begin(), rows.end(),
                                      [](const DeliveryReport& r) { return r.state == Delivery::Withheld; });
        lblDelivery_->setText(held ? tr("Not every recipient was sent the alert: the list above says why.")
                                   : tr("Not every recipient confirmed the alert. It may not have arrived: the "
                                        "program there may have ended, or the computer left the network."));
        lblDelivery_->setVisible(true);
        close_->setEnabled(true);
        return;
    }
    if (const auto waiting = delivery_.queued(); !waiting.empty()) {
        // Not a failure: it goes when they come. The window stays, so that
        // the user sees it and can take it back.
        QStringList names;
        for (const auto& n : waiting) names << QString::fromStdString(n);
        lblDelivery_->setText(tr("The alert waits, encrypted, on this computer for %1 and goes when they come on "
                                 "the network. Right-click a waiting row to take it back.")
                                  .arg(names.join(QStringLiteral(", "))));
        lblDelivery_->setVisible(true);
        close_->setEnabled(true);
        return;
    }
    lblDelivery_->setVisible(false);
    if (!closing_) {
        closing_ = true;
        QTimer::singleShot(lingerMs_, this, &QWidget::close);
    }
}

void frmCom::setFiles(FileTransfers* files) {
    sendFiles_->setFiles(files);
    sendFiles_->refresh();
}

QStringList frmCom::FileTargets() const {
    QStringList names;
    auto usable = [](const std::string& n) { return UserList::isUserText(n) && !n.empty(); };
    if (!menuUser_.isEmpty()) {
        if (usable(menuUser_.toStdString())) names << menuUser_;
        return names;
    }
    for (const auto& name : recipients_.names())
        if (usable(name)) names << QString::fromStdString(name);
    return names;
}

frmCom* OpenComposeWindow(ChatNode& node, const std::string& list) {
    if (CountItems(list) < 1) return nullptr;
    auto* w = new frmCom(node);
    AddAll(*w, list);
    w->show();
    return w;
}

}  // namespace lanyx::ui
