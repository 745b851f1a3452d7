#include "TransferUi.h"

#include "ChatWindows.h"
#include "FileTransfers.h"
#include "frmChat.h"
#include "frmOffer.h"
#include "frmTransfers.h"
#include "logic/TransferView.h"

namespace lanyx::ui {

TransferUi::TransferUi(FileTransfers& files, ChatWindows* windows, QObject* parent)
    : QObject(parent), files_(files), windows_(windows) {
    connect(&files_, &FileTransfers::offerArrived, this, [this](const QString& id) { ShowOffer(id); });
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
    }
    transfers_->show();
    transfers_->raise();
    transfers_->activateWindow();
    return transfers_;
}

frmOffer* TransferUi::ShowOffer(const QString& id) {
    const TransferItem* item = files_.item(id);
    if (!item || item->state != TransferItem::State::Offered) return nullptr;
    QPointer<frmOffer>& w = offers_[id];
    if (!w) w = new frmOffer(files_, id);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

void TransferUi::ended(const QString& id, bool ok) {
    offers_.remove(id);  // the window closes itself
    const TransferItem* item = files_.item(id);
    if (!item) return;
    const QString note = EndedNote(*item);
    // Finished and failed ones are news; a decline or cancel the user made
    // or was told about shows in the windows only.
    const bool news = ok || item->state == TransferItem::State::Failed;
    if (news && trayMessage)
        trayMessage(ok ? tr("Transfer finished") : tr("Transfer failed"), note, ok);
    if (!windows_) return;
    for (frmChat* chat : windows_->chatWindows())
        if (chat->IsUserPresent(item->peer.toStdString())) chat->AddNote(note);
}

} // namespace lanyx::ui
