#include "frmUserInfo.h"

#include "ChatNode.h"
#include "UserListModel.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace lanyx::ui {

frmUserInfo::frmUserInfo(ChatNode& node, const std::string& name, QWidget* parent)
    : QDialog(parent), node_(node), name_(name) {
    setObjectName("frmUserInfo");
    setWindowTitle(QString::fromStdString(name));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto label = [this](const char* objectName) {
        auto* l = new QLabel(this);
        l->setObjectName(objectName);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    state_ = label("lblKeyState");
    own_ = label("lblOwnFingerprint");
    pinned_ = label("lblPinnedFingerprint");
    announced_ = label("lblAnnouncedFingerprint");
    // Fingerprints are read aloud: a fixed-width font keeps the groups apart.
    QFont mono(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    for (auto* l : {own_, pinned_, announced_}) l->setFont(mono);
    form->addRow(tr("Key:"), state_);
    form->addRow(tr("Your fingerprint:"), own_);
    form->addRow(tr("Known fingerprint:"), pinned_);
    form->addRow(tr("Announced now:"), announced_);
    layout->addLayout(form);
    warning_ = label("lblKeyWarning");
    warning_->setWordWrap(true);
    layout->addWidget(warning_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    accept_ = buttons->addButton(tr("Accept the new key"), QDialogButtonBox::ActionRole);
    accept_->setObjectName("cmdAcceptKey");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(accept_, &QPushButton::clicked, this, [this] {
        if (auto* s = node_.secure()) s->acceptNewKey(name_);
        refresh();
    });
    refresh();
}

void frmUserInfo::refresh() {
    auto* s = node_.secure();
    if (!s) {
        state_->setText(tr("this copy has no keys"));
        for (auto* l : {own_, pinned_, announced_}) l->setText(QStringLiteral("-"));
        warning_->clear();
        accept_->setEnabled(false);
        return;
    }
    const auto state = s->stateOf(name_);
    state_->setText(UserListModel::keyText(state));
    own_->setText(QString::fromStdString(s->ownFingerprint()));
    const auto pinned = s->pinnedFingerprint(name_);
    const auto announced = s->announcedFingerprint(name_);
    pinned_->setText(pinned.empty() ? tr("none") : QString::fromStdString(pinned));
    announced_->setText(announced.empty() ? tr("nothing heard") : QString::fromStdString(announced));
    const bool changed = state == KeyState::Changed;
    warning_->setText(changed ? QString::fromStdString(SecureLink::WarningText(name_)) : QString());
    accept_->setEnabled(changed);
}

QString frmUserInfo::stateText() const { return state_->text(); }
QString frmUserInfo::ownFingerprint() const { return own_->text(); }
QString frmUserInfo::theirFingerprint() const { return pinned_->text(); }

} // namespace lanyx::ui
