#include "frmUserInfo.h"

#include "KeyTexts.h"
#include "QrCode.h"
#include "SecureLink.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QEvent>
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

frmUserInfo::frmUserInfo(SecureLink* secure, const std::string& name, QWidget* parent)
    : QDialog(parent), keys_(secure), name_(name) {
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

    for (QLabel*& caption : captions_) {
        caption = new QLabel(this);
        caption->setTextFormat(Qt::PlainText);
    }
    state_ = label("lblKeyState");
    auto* form = new QFormLayout;
    form->addRow(captions_[0], state_);
    captions_[0]->setBuddy(state_);
    layout->addLayout(form);

    auto* check = new QHBoxLayout;
    number_ = label("lblSafetyNumber");
    QFont big = mono;
    big.setPointSizeF(mono.pointSizeF() > 0 ? mono.pointSizeF() * 1.3 : 13);
    big.setBold(true);
    number_->setFont(big);
    qr_ = new QLabel(this);
    qr_->setObjectName("picSafetyNumber");
    auto* numberBox = new QVBoxLayout;
    captions_[1]->setBuddy(number_);
    numberBox->addWidget(captions_[1]);
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
    keys->addRow(captions_[2], own_);
    keys->addRow(captions_[3], pinned_);
    keys->addRow(captions_[4], announced_);
    layout->addLayout(keys);

    warning_ = label("lblKeyWarning");
    warning_->setWordWrap(true);
    layout->addWidget(warning_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    markChecked_ = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    markChecked_->setObjectName("cmdMarkChecked");
    keepKnown_ = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    keepKnown_->setObjectName("cmdKeepKnownKey");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(markChecked_, &QPushButton::clicked, this, [this] {
        if (keys_) keys_->markChecked(name_);
        refresh();
    });
    connect(keepKnown_, &QPushButton::clicked, this, [this] {
        if (keys_) keys_->keepKnownKey(name_);
        refresh();
    });
    SetLan();
    // Room for the number and the warning, on the screen at hand.
    const QFontMetrics fm(font());
    resize(std::max(sizeHint().width(), fm.averageCharWidth() * 64), sizeHint().height());
}

void frmUserInfo::SetLan() {
    captions_[0]->setText(tr("Key:"));
    captions_[1]->setText(tr("Safety number:"));
    captions_[2]->setText(tr("Your fingerprint:"));
    captions_[3]->setText(tr("Known fingerprint:"));
    captions_[4]->setText(tr("Announced now:"));
    markChecked_->setText(tr("&Mark as checked"));
    markChecked_->setAccessibleName(tr("Mark as checked"));
    markChecked_->setAccessibleDescription(tr("Only when the user's program shows the same safety number"));
    keepKnown_->setText(tr("&Keep the known key"));
    keepKnown_->setAccessibleName(tr("Keep the known key"));
    // Each value is read with its caption.
    state_->setAccessibleName(tr("State of the key"));
    number_->setAccessibleName(tr("Safety number"));
    qr_->setAccessibleName(tr("Safety number as a QR code"));
    own_->setAccessibleName(tr("Your fingerprint"));
    pinned_->setAccessibleName(tr("Known fingerprint"));
    announced_->setAccessibleName(tr("Fingerprint announced now"));
    howTo_->setAccessibleName(tr("How to check the key"));
    warning_->setAccessibleName(tr("Warning"));
    refresh();
}

void frmUserInfo::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
}

void frmUserInfo::refresh() {
    const SecureLink* s = keys_;
    const QString who = QString::fromStdString(name_);
    if (!s) {
        state_->setText(tr("this copy has no keys"));
        for (auto* l : {own_, pinned_, announced_, number_}) l->setText(QStringLiteral("-"));
        qr_->clear();
        howTo_->clear();
        warning_->clear();
        warning_->setVisible(false);
        markChecked_->setEnabled(false);
        keepKnown_->setVisible(false);
        return;
    }
    const auto state = s->stateOf(name_);
    // A check made before a rename covered the name before: said as such
    // until the user compares the number under this name.
    const auto checkedAs = QString::fromStdString(s->checkedAs(name_));
    const bool renamed = !checkedAs.isEmpty() && (state == KeyState::New || state == KeyState::Unconfirmed);
    state_->setText(renamed ? tr("checked as %1, now %2").arg(checkedAs, who) : KeyStateText(state));
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
    case KeyState::Changed: warning_->setText(KeyWarningText(who)); break;
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
    default:
        if (renamed)
            warning_->setText(tr("You checked this key when the user was called %1. The safety number covers the "
                                 "names: compare the number shown here with %2 once more, then mark the key as "
                                 "checked.")
                                  .arg(checkedAs, who));
        else warning_->clear();
    }
    warning_->setVisible(!warning_->text().isEmpty());
    markChecked_->setEnabled(canCheck);
    keepKnown_->setVisible(state == KeyState::Changed);
}

QString frmUserInfo::stateText() const {
    return state_->text();
}
QString frmUserInfo::safetyNumber() const {
    return number_->text();
}
QImage frmUserInfo::qrImage() const {
    return qr_->property("qrImage").value<QImage>();
}
QString frmUserInfo::ownFingerprint() const {
    return own_->text();
}
QString frmUserInfo::theirFingerprint() const {
    return pinned_->text();
}
QString frmUserInfo::announcedFingerprint() const {
    return announced_->text();
}

}  // namespace lanyx::ui
