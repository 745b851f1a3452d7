#include "TransferUi.h"

#include "FileTransfers.h"
#include "frmOffer.h"
#include "frmTransfers.h"
#include "TransferView.h"

namespace lanyx::ui {

TransferUi::TransferUi(FileTransfers& files, QObject* parent) : QObject(parent), files_(files) {
    connect(&files_, &FileTransfers::offerArrived, this, &TransferUi::arrived);
    connect(&files_, &FileTransfers::itemEnded, this, &TransferUi::ended);
}

TransferUi::~TransferUi() {
    // The windows refer to the transfers, which go right after this.
    for (auto& w : offers_) delete w.data();
    delete transfers_.data();
}

frmTransfers* TransferUi::transfersWindow() const {
    return transfers_;
}

frmOffer* TransferUi::offerWindow(const QString& id) const {
    return offers_.value(id);
}

frmTransfers* TransferUi::ShowTransfers() {
    if (!transfers_) {
        transfers_ = new frmTransfers(files_);
        connect(transfers_, &frmTransfers::acceptRequested, this, [this](const QString& id) { ShowOffer(id); });
        if (placeNew) placeNew(transfers_);
    }
    transfers_->show();
    transfers_->raise();
    transfers_->activateWindow();
    return transfers_;
}

int TransferUi::openOfferWindows() const {
    int n = 0;
    for (const auto& w : offers_) n += w && w->isVisible();
    return n;
}

frmOffer* TransferUi::offerWindowFor(const QString& id) {
    const TransferItem* item = files_.item(id);
    if (!item || item->state != TransferItem::State::Offered) return nullptr;
    QPointer<frmOffer>& w = offers_[id];
    if (!w) w = new frmOffer(files_, id, memory_);
    return w;
}

frmOffer* TransferUi::ShowOffer(const QString& id) {
    frmOffer* w = offerWindowFor(id);
    if (!w) return nullptr;
    w->setAttribute(Qt::WA_ShowWithoutActivating, false);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

void TransferUi::arrived(const QString& id) {
    const TransferItem* item = files_.item(id);
    if (!item) return;
    if (openOfferWindows() >= kMaxOfferWindows) {
        if (trayMessage)
            trayMessage(tr("Files offered"),
                        tr("%1 offers %2; answer in the Transfers window.")
                            .arg(item->peer, NamesText(item->names, item->files)),
                        true);
        return;
    }
    // Not in front of what the user is typing: an Enter meant for a chat
    // line must not accept files.
    frmOffer* w = offerWindowFor(id);
    if (!w) return;
    w->setAttribute(Qt::WA_ShowWithoutActivating, true);
    w->show();
}

void TransferUi::ended(const QString& id, bool ok) {
    offers_.remove(id);  // the window closes itself
    const TransferItem* item = files_.item(id);
    if (!item || item->carried) return;  // a picture: its chat shows it
    const QString note = EndedNote(*item);
    // Finished and failed ones are news; a decline or cancel the user made
    // or was told about shows in the windows only.
    const bool news = ok || item->state == TransferItem::State::Failed;
    if (news && trayMessage) trayMessage(ok ? tr("Transfer finished") : tr("Transfer failed"), note, ok);
    if (chatNote) chatNote(item->peer, [copy = *item] { return EndedNote(copy); });
}

}  // namespace lanyx::ui
