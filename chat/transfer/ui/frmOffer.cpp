#include "frmOffer.h"

#include "FileTransfers.h"
#include "FileOffer.h"
#include "Resources.h"
#include "TransferView.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lanyx::ui {

frmOffer::frmOffer(FileTransfers& files, const QString& id, QWidget* parent)
    : QDialog(parent), files_(files), id_(id) {
    EnsureResources();
    setObjectName("frmOffer");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/lanyx.svg")));
    const TransferItem* item = files_.item(id_);
    const QString peer = item ? item->peer : QString();
    setWindowTitle(tr("Files from %1 - Lanyx").arg(peer));

    // A name from the network: plain text, never markup.
    auto* intro = new QLabel(tr("%1 offers you files.").arg(peer), this);
    intro->setObjectName("lblIntro");
    intro->setTextFormat(Qt::PlainText);
    QFont bold = intro->font();
    bold.setBold(true);
    intro->setFont(bold);
    lblFrom_ = new QLabel(peer, this);
    lblFrom_->setObjectName("lblFrom");
    lblFrom_->setTextFormat(Qt::PlainText);
    lblNames_ = new QLabel(this);
    lblNames_->setObjectName("lblNames");
    lblNames_->setTextFormat(Qt::PlainText);
    lblNames_->setWordWrap(true);
    lblNames_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSize_ = new QLabel(this);
    lblSize_->setObjectName("lblSize");
    if (item) {
        // Every name offered; the rest counted.
        lblNames_->setText(NamesText(item->names, item->files, static_cast<int>(transfer::kMaxOfferNames)));
        lblSize_->setText(CountText(item->files, item->bytes));
    }
    txtFolder_ = new QLineEdit(FileTransfers::defaultFolder(), this);
    txtFolder_->setObjectName("txtFolder");
    browse_ = new QPushButton(tr("&Browse..."), this);
    browse_->setObjectName("btnBrowse");
    browse_->setAutoDefault(false);
    chooseFolder = [](QWidget* w, const QString& start) {
        return QFileDialog::getExistingDirectory(w, tr("Save the files in"), start);
    };
    connect(browse_, &QPushButton::clicked, this, [this] {
        if (!chooseFolder) return;
        const QString dir = chooseFolder(this, txtFolder_->text());
        if (!dir.isEmpty()) txtFolder_->setText(QDir::toNativeSeparators(dir));
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(txtFolder_, 1);
    folderRow->addWidget(browse_);

    auto* form = new QFormLayout;
    form->addRow(tr("From:"), lblFrom_);
    form->addRow(tr("Files:"), lblNames_);
    form->addRow(tr("Size:"), lblSize_);
    auto* folderLabel = new QLabel(tr("Save &in:"), this);
    folderLabel->setBuddy(txtFolder_);
    form->addRow(folderLabel, folderRow);

    lblProblem_ = new QLabel(this);
    lblProblem_->setObjectName("lblProblem");
    lblProblem_->setWordWrap(true);
    lblProblem_->setTextFormat(Qt::PlainText);
    lblProblem_->setStyleSheet(QStringLiteral("color: #b00020;"));
    lblProblem_->setVisible(false);

    auto* buttons = new QDialogButtonBox(this);
    accept_ = buttons->addButton(tr("&Accept"), QDialogButtonBox::AcceptRole);
    accept_->setObjectName("btnAccept");
    decline_ = buttons->addButton(tr("&Decline"), QDialogButtonBox::RejectRole);
    decline_->setObjectName("btnDecline");
    accept_->setDefault(true);
    decline_->setAutoDefault(false);
    // The buttons' own roles would close the window as accepted or
    // rejected: each says what it does itself.
    connect(accept_, &QPushButton::clicked, this, &frmOffer::acceptOffer);
    connect(decline_, &QPushButton::clicked, this, &frmOffer::declineOffer);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(lblProblem_);
    layout->addStretch(1);
    layout->addWidget(buttons);

    connect(&files_, &FileTransfers::itemChanged, this, &frmOffer::itemChanged);
    connect(&files_, &FileTransfers::cleared, this, [this] {
        if (!files_.item(id_)) close();
    });
    const QFontMetrics fm(font());
    resize(std::max(sizeHint().width(), fm.averageCharWidth() * 60), sizeHint().height());
    accept_->setFocus();
}

void frmOffer::acceptOffer() {
    const QString folder = QDir::fromNativeSeparators(txtFolder_->text().trimmed());
    if (folder.isEmpty()) {
        lblProblem_->setText(tr("Choose the folder the files go into."));
        lblProblem_->setVisible(true);
        return;
    }
    // A folder not there yet (Downloads on a fresh account, a new name
    // typed in) is made now; if the offer still cannot go there it goes again.
    const bool made = !QFileInfo::exists(folder) && QDir().mkpath(folder);
    files_.accept(id_, folder);
    const TransferItem* item = files_.item(id_);
    if (made && (!item || item->state != TransferItem::State::Running)) QDir().rmdir(folder);
    // A folder that will not do leaves the offer waiting, with the reason.
    if (item && item->state == TransferItem::State::Offered) {
        lblProblem_->setText(item->message.isEmpty() ? tr("The offer could not be accepted.") : item->message);
        lblProblem_->setVisible(true);
        txtFolder_->setFocus();
        return;
    }
    done(QDialog::Accepted);
}

void frmOffer::declineOffer() {
    files_.decline(id_);
    done(QDialog::Rejected);
}

void frmOffer::reject() {
    // Closed unanswered: the offer stays open in the Transfers window.
    QDialog::reject();
}

void frmOffer::itemChanged(const QString& id) {
    if (id != id_) return;
    const TransferItem* item = files_.item(id_);
    // Answered elsewhere (the Transfers window) or withdrawn by the sender.
    if (!item || item->state != TransferItem::State::Offered) close();
}

} // namespace lanyx::ui
