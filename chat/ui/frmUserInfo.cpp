#include "frmUserInfo.h"

#include "ChatNode.h"
#include "BoxMessage.h"
#include "UserListModel.h"

#include <QEvent>
#include <algorithm>

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
    for (QLabel*& caption : captions_) {
        caption = new QLabel(this);
        caption->setTextFormat(Qt::PlainText);
    }
    form->addRow(captions_[0], state_);
    form->addRow(captions_[1], own_);
    form->addRow(captions_[2], pinned_);
    form->addRow(captions_[3], announced_);
    captions_[0]->setBuddy(state_);
    layout->addLayout(form);
    warning_ = label("lblKeyWarning");
    warning_->setWordWrap(true);
    layout->addWidget(warning_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    accept_ = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    accept_->setObjectName("cmdAcceptKey");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(accept_, &QPushButton::clicked, this, [this] {
        if (auto* s = node_.secure()) s->acceptNewKey(name_);
        refresh();
    });
    SetLan();
    // Room for the warning beside the fingerprints, on the screen at hand.
    const QFontMetrics fm(font());
    resize(std::max(sizeHint().width(), fm.averageCharWidth() * 64), sizeHint().height());
}

void frmUserInfo::SetLan() {
    captions_[0]->setText(tr("Key:"));
    captions_[1]->setText(tr("Your fingerprint:"));
    captions_[2]->setText(tr("Known fingerprint:"));
    captions_[3]->setText(tr("Announced now:"));
    accept_->setText(tr("&Accept the new key"));
    // Each value is read with its caption.
    QLabel* values[] = {state_, own_, pinned_, announced_};
    for (int i = 0; i < 4; ++i) values[i]->setAccessibleName(QString(captions_[i]->text()).remove(QLatin1Char(':')));
    warning_->setAccessibleName(tr("Warning"));
    refresh();
}

void frmUserInfo::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
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
    warning_->setText(changed ? KeyWarningText(QString::fromStdString(name_)) : QString());
    warning_->setVisible(changed);
    accept_->setEnabled(changed);
}

QString frmUserInfo::stateText() const { return state_->text(); }
QString frmUserInfo::ownFingerprint() const { return own_->text(); }
QString frmUserInfo::theirFingerprint() const { return pinned_->text(); }

} // namespace lanyx::ui
