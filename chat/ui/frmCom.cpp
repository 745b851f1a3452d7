#include "frmCom.h"

#include "FileSending.h"
#include "LangText.h"
#include "RecordFile.h"
#include "Resources.h"
#include "Text.h"
#include "UserListModel.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lanyx::ui {

frmCom::frmCom(ChatNode& node, QWidget* parent) : QWidget(parent, Qt::Window), node_(node) {
    EnsureResources();
    setObjectName("frmCom");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/alert.svg")));
    setWindowTitle(QStringLiteral("Send Message - Lanyx"));

    lblTo_ = new QLabel(QStringLiteral("To"), this);
    lvUsers_ = new QTreeWidget(this);
    lvUsers_->setObjectName("lvUsers");
    lvUsers_->setHeaderHidden(true);
    lvUsers_->setRootIsDecorated(false);
    KeyColumn(lvUsers_);
    lvUsers_->setMaximumHeight(90);
    lblMsg_ = new QLabel(QStringLiteral("Message"), this);
    txtMsg_ = new QPlainTextEdit(this);
    txtMsg_->setObjectName("txtMsg");
    txtMsg_->setTabChangesFocus(true);
    lblTo_->setBuddy(lvUsers_);
    lblMsg_->setBuddy(txtMsg_);

    auto* tb = new QToolBar(this);
    tb->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tb->setIconSize(QSize(18, 18));
    send_ = tb->addAction(QIcon(QStringLiteral(":/lanyx/alert.svg")), QStringLiteral("&Send"));
    close_ = tb->addAction(QIcon(QStringLiteral(":/lanyx/close.svg")), QStringLiteral("&Close"));
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
    layout->addWidget(lblMsg_);
    layout->addWidget(txtMsg_, 1);
    lblDelivery_ = new QLabel(this);
    lblDelivery_->setObjectName("lblDelivery");
    lblDelivery_->setWordWrap(true);
    lblDelivery_->setVisible(false);
    layout->addWidget(lblDelivery_);
    sendFiles_ = new SendFileActions(this, [this] { return FileTargets(); });
    sendFiles_->report = [this](const QString& text) {
        lblDelivery_->setText(text);
        lblDelivery_->setVisible(true);
    };
    lvUsers_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvUsers_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        auto* item = lvUsers_->itemAt(pos);
        menuUser_ = item ? item->text(0) : QString();
        QMenu menu(this);
        sendFiles_->addTo(&menu);
        menu.exec(lvUsers_->viewport()->mapToGlobal(pos));
        menuUser_.clear();
    });
    resize(360, 300);
    SetLan();
    txtMsg_->setFocus();
}

void frmCom::SetLan() {
    if (node_.language().errorFlag()) return;
    auto text = [&](int code, const QString& builtIn) { return LangTextOr(node_, code, builtIn); };
    setWindowTitle(text(4001, windowTitle()));
    lblTo_->setText(text(4002, lblTo_->text()));
    lblMsg_->setText(text(4003, lblMsg_->text()));
    send_->setText(text(4004, send_->text()));
    close_->setText(text(4005, close_->text()));
}

void frmCom::AddUser(const std::string& name) {
    if (recipients_.AddUser(name)) rebuild();
}

void frmCom::rebuild() {
    lvUsers_->clear();
    for (const auto& name : recipients_.names()) new QTreeWidgetItem(lvUsers_, {QString::fromStdString(name)});
    RefUserList();
}

void frmCom::RefUserList() {
    const auto& users = node_.users();
    for (int i = 0; i < lvUsers_->topLevelItemCount(); ++i) {
        auto* item = lvUsers_->topLevelItem(i);
        const std::string name = item->text(0).toStdString();
        const bool all = equalsNoCase(name, UserList::kAllRow);
        item->setIcon(0, UserListModel::userIcon(all ? IconAll : users.IsBlocked(name) ? IconBlocked : IconUser));
        if (!all) ShowKeyState(item, node_.KeyStateOf(name));
        item->setForeground(0, UserListModel::toColor(users.GetColorForUName(name)));
    }
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
            QStringLiteral("The alert could not be sent.\n\n%1: %2").arg(e.number()).arg(QString::fromUtf8(e.what())));
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

void frmCom::ShowDelivery(const DeliveryReport& report) {
    if (delivery_.update(report)) refreshDeliveryLine();
}

void frmCom::refreshDeliveryLine() {
    lblDelivery_->setText(QString::fromStdString(delivery_.text()));
    lblDelivery_->setVisible(true);
    // A message held back stays on screen with the reason.
    if (delivery_.settled() && !closing_ && delivery_.keyChanged().empty() && !delivery_.allWithheld()) {
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

} // namespace lanyx::ui
