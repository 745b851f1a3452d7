#include "frmOffer.h"

#include "FileTransfers.h"
#include "FileOffer.h"
#include "Resources.h"
#include "FolderMemory.h"
#include "TransferView.h"

#include <QEvent>

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

frmOffer::frmOffer(FileTransfers& files, const QString& id, FolderMemory* memory, QWidget* parent)
    : QDialog(parent), files_(files), id_(id), memory_(memory) {
    EnsureResources();
    setObjectName("frmOffer");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/lanyx.svg")));
    const TransferItem* item = files_.item(id_);
    const QString peer = item ? item->peer : QString();

    // A name from the network: plain text, never markup.
    intro_ = new QLabel(this);
    intro_->setObjectName("lblIntro");
    intro_->setTextFormat(Qt::PlainText);
    QFont bold = intro_->font();
    bold.setBold(true);
    intro_->setFont(bold);
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
    const QString start = memory_ && !memory_->offerFolder.isEmpty() ? memory_->offerFolder
                                                                     : FileTransfers::defaultFolder();
    txtFolder_ = new QLineEdit(QDir::toNativeSeparators(start), this);
    txtFolder_->setObjectName("txtFolder");
    browse_ = new QPushButton(this);
    browse_->setObjectName("btnBrowse");
    browse_->setAutoDefault(false);
    chooseFolder = [](QWidget* w, const QString& from) {
        return QFileDialog::getExistingDirectory(w, tr("Save the files in"), from);
    };
    connect(browse_, &QPushButton::clicked, this, [this] {
        if (!chooseFolder) return;
        const QString dir = chooseFolder(this, txtFolder_->text());
        if (!dir.isEmpty()) txtFolder_->setText(QDir::toNativeSeparators(dir));
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(txtFolder_, 1);
    folderRow->addWidget(browse_);

    for (QLabel*& c : captions_) c = new QLabel(this);
    captions_[3]->setBuddy(txtFolder_);
    auto* form = new QFormLayout;
    form->addRow(captions_[0], lblFrom_);
    form->addRow(captions_[1], lblNames_);
    form->addRow(captions_[2], lblSize_);
    form->addRow(captions_[3], folderRow);

    lblProblem_ = new QLabel(this);
    lblProblem_->setObjectName("lblProblem");
    lblProblem_->setWordWrap(true);
    lblProblem_->setTextFormat(Qt::PlainText);
    lblProblem_->setStyleSheet(QStringLiteral("color: #b00020;"));
    lblProblem_->setVisible(false);

    auto* buttons = new QDialogButtonBox(this);
    accept_ = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    accept_->setObjectName("btnAccept");
    decline_ = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    decline_->setObjectName("btnDecline");
    accept_->setDefault(true);
    decline_->setAutoDefault(false);
    // The buttons' own roles would close the window as accepted or
    // rejected: each says what it does itself.
    connect(accept_, &QPushButton::clicked, this, &frmOffer::acceptOffer);
    connect(decline_, &QPushButton::clicked, this, &frmOffer::declineOffer);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro_);
    layout->addLayout(form);
    layout->addWidget(lblProblem_);
    layout->addStretch(1);
    layout->addWidget(buttons);

    connect(&files_, &FileTransfers::itemChanged, this, &frmOffer::itemChanged);
    connect(&files_, &FileTransfers::cleared, this, [this] {
        if (!files_.item(id_)) close();
    });
    SetLan();
    const QFontMetrics fm(font());
    resize(std::max(sizeHint().width(), fm.averageCharWidth() * 60), sizeHint().height());
    accept_->setFocus();
}

void frmOffer::SetLan() {
    const TransferItem* item = files_.item(id_);
    const QString peer = item ? item->peer : lblFrom_->text();
    setWindowTitle(tr("Files from %1 - Lanyx").arg(peer));
    intro_->setText(tr("%1 offers you files.").arg(peer));
    if (item) {
        // Every name offered; the rest counted.
        lblNames_->setText(NamesText(item->names, item->files, static_cast<int>(transfer::kMaxOfferNames)));
        lblSize_->setText(CountText(item->files, item->bytes));
    }
    captions_[0]->setText(tr("From:"));
    captions_[1]->setText(tr("Files:"));
    captions_[2]->setText(tr("Size:"));
    captions_[3]->setText(tr("Save &in:"));
    browse_->setText(tr("&Browse..."));
    accept_->setText(tr("&Accept"));
    decline_->setText(tr("&Decline"));
    for (int i = 0; i < 3; ++i) {
        QLabel* value[] = {lblFrom_, lblNames_, lblSize_};
        value[i]->setAccessibleName(QString(captions_[i]->text()).remove(QLatin1Char(':')));
    }
    txtFolder_->setAccessibleName(QString(captions_[3]->text()).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
}

void frmOffer::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
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
    // The next offer starts here.
    if (memory_) memory_->set(&FolderMemory::offerFolder, folder);
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

}  // namespace lanyx::ui
