#include "frmUserInfo.h"

#include "ChatNode.h"
#include "QrCode.h"
#include "UserListModel.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace lanyx::ui {

namespace {
// Two lines of six groups: read aloud a group at a time.
QString inTwoLines(const std::string& number) {
    const auto n = QString::fromStdString(number);
    const auto groups = n.split(QLatin1Char(' '));
    if (groups.size() != 12) return n;
    return groups.mid(0, 6).join(QLatin1Char(' ')) + QLatin1Char('\n') + groups.mid(6).join(QLatin1Char(' '));
}
constexpr int kQrModule = 4;
}  // namespace

frmUserInfo::frmUserInfo(ChatNode& node, const std::string& name, QWidget* parent)
    : QDialog(parent), node_(node), name_(name) {
    setObjectName("frmUserInfo");
    setWindowTitle(QString::fromStdString(name));
    auto* layout = new QVBoxLayout(this);
    auto label = [this](const char* objectName) {
        auto* l = new QLabel(this);
        l->setObjectName(objectName);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    // Numbers are read aloud: a fixed-width font keeps the groups apart.
    QFont mono(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::TypeWriter);

    state_ = label("lblKeyState");
    state_->setAccessibleName(tr("State of the key"));
    auto* form = new QFormLayout;
    form->addRow(tr("Key:"), state_);
    layout->addLayout(form);

    auto* check = new QHBoxLayout;
    number_ = label("lblSafetyNumber");
    number_->setAccessibleName(tr("Safety number"));
    QFont big = mono;
    big.setPointSizeF(mono.pointSizeF() > 0 ? mono.pointSizeF() * 1.3 : 13);
    big.setBold(true);
    number_->setFont(big);
    qr_ = new QLabel(this);
    qr_->setObjectName("picSafetyNumber");
    qr_->setAccessibleName(tr("Safety number as a QR code"));
    auto* numberBox = new QVBoxLayout;
    auto* numberTitle = new QLabel(tr("Safety number:"), this);
    numberTitle->setBuddy(number_);
    numberBox->addWidget(numberTitle);
    numberBox->addWidget(number_);
    numberBox->addStretch();
    check->addLayout(numberBox, 1);
    check->addWidget(qr_);
    layout->addLayout(check);

    howTo_ = label("lblHowToCheck");
    howTo_->setWordWrap(true);
    layout->addWidget(howTo_);

    auto* keys = new QFormLayout;
    own_ = label("lblOwnFingerprint");
    pinned_ = label("lblPinnedFingerprint");
    announced_ = label("lblAnnouncedFingerprint");
    for (auto* l : {own_, pinned_, announced_}) l->setFont(mono);
    own_->setAccessibleName(tr("Your fingerprint"));
    pinned_->setAccessibleName(tr("Known fingerprint"));
    announced_->setAccessibleName(tr("Fingerprint announced now"));
    keys->addRow(tr("Your fingerprint:"), own_);
    keys->addRow(tr("Known fingerprint:"), pinned_);
    keys->addRow(tr("Announced now:"), announced_);
    layout->addLayout(keys);

    warning_ = label("lblKeyWarning");
    warning_->setWordWrap(true);
    layout->addWidget(warning_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    markChecked_ = buttons->addButton(tr("Mark as checked"), QDialogButtonBox::ActionRole);
    markChecked_->setObjectName("cmdMarkChecked");
    markChecked_->setAccessibleName(tr("Mark as checked"));
    markChecked_->setAccessibleDescription(tr("Only when the user's program shows the same safety number"));
    keepKnown_ = buttons->addButton(tr("Keep the known key"), QDialogButtonBox::ActionRole);
    keepKnown_->setObjectName("cmdKeepKnownKey");
    keepKnown_->setAccessibleName(tr("Keep the known key"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(markChecked_, &QPushButton::clicked, this, [this] {
        if (auto* s = node_.secure()) s->markChecked(name_);
        refresh();
    });
    connect(keepKnown_, &QPushButton::clicked, this, [this] {
        if (auto* s = node_.secure()) s->keepKnownKey(name_);
        refresh();
    });
    refresh();
}

void frmUserInfo::refresh() {
    const auto* s = node_.secure();
    const QString who = QString::fromStdString(name_);
    if (!s) {
        state_->setText(tr("this copy has no keys"));
        for (auto* l : {own_, pinned_, announced_, number_}) l->setText(QStringLiteral("-"));
        qr_->clear();
        howTo_->clear();
        warning_->clear();
        markChecked_->setEnabled(false);
        keepKnown_->setVisible(false);
        return;
    }
    const auto state = s->stateOf(name_);
    state_->setText(UserListModel::keyText(state));
    own_->setText(QString::fromStdString(s->ownFingerprint()));
    const auto pinned = s->pinnedFingerprint(name_);
    const auto announced = s->announcedFingerprint(name_);
    pinned_->setText(pinned.empty() ? tr("none") : QString::fromStdString(pinned));
    announced_->setText(announced.empty() ? tr("nothing heard") : QString::fromStdString(announced));

    const auto number = s->safetyNumber(name_);
    number_->setText(number.empty() ? tr("none: no key is known for %1").arg(who) : inTwoLines(number));
    const QImage qr = number.empty() ? QImage()
                                     : QrImage(QString::fromStdString(number).remove(QLatin1Char(' ')), kQrModule);
    if (qr.isNull()) qr_->clear();
    else qr_->setPixmap(QPixmap::fromImage(qr));
    qr_->setVisible(!qr.isNull());
    qr_->setProperty("qrImage", qr);

    const bool canCheck = !number.empty() && state != KeyState::Checked;
    howTo_->setText(number.empty()
                        ? QString()
                        : tr("Compare this number with %1 in person or by phone: %1's Lanyx shows the same "
                             "number in the user information on you (and lanyx-cli keys lists it), or scan the QR "
                             "code. Mark the key as checked only when both numbers are the same.")
                              .arg(who));
    switch (state) {
    case KeyState::Changed: warning_->setText(QString::fromStdString(SecureLink::WarningText(name_))); break;
    case KeyState::Conflict:
        warning_->setText(tr("A copy without keys was heard under the name %1, and now a key is announced for it. "
                             "Somebody may be taking the name: the key is not taken until you check it with %1.")
                              .arg(who));
        break;
    case KeyState::Unconfirmed:
        warning_->setText(tr("Nothing signed by %1's key has been heard since %1 was listed: what is listed under "
                             "the name may not come from %1's program.")
                              .arg(who));
        break;
    default: warning_->clear();
    }
    markChecked_->setEnabled(canCheck);
    keepKnown_->setVisible(state == KeyState::Changed);
}

QString frmUserInfo::stateText() const { return state_->text(); }
QString frmUserInfo::safetyNumber() const {
    return number_->text();
}
QImage frmUserInfo::qrImage() const {
    return qr_->property("qrImage").value<QImage>();
}
QString frmUserInfo::ownFingerprint() const { return own_->text(); }
QString frmUserInfo::theirFingerprint() const { return pinned_->text(); }
QString frmUserInfo::announcedFingerprint() const {
    return announced_->text();
}

} // namespace lanyx::ui
