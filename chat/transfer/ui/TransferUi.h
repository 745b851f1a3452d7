#pragma once
// The windows of file transfers over the program's FileTransfers: an offer
// window for each offer that arrives, the one Transfers window, and a note
// in the tray and in the chat windows with the other user when a transfer
// ends.
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace lanyx {
class FileTransfers;
}

namespace lanyx::ui {

struct FolderMemory;
class frmOffer;
class frmTransfers;

class TransferUi : public QObject {
    Q_OBJECT
public:
    explicit TransferUi(FileTransfers& files, QObject* parent = nullptr);
    ~TransferUi() override;

    // Where offers are saved: the folder the last one went to.
    void setMemory(FolderMemory* memory) { memory_ = memory; }
    frmTransfers* ShowTransfers();
    // The offer window of an offer still waiting (one per offer), brought
    // to the front: the user asked for it.
    frmOffer* ShowOffer(const QString& id);
    // Offer windows open at most at once when offers arrive; further ones
    // wait in the Transfers window and the tray says so.
    static constexpr int kMaxOfferWindows = 8;
    int openOfferWindows() const;
    frmTransfers* transfersWindow() const;
    frmOffer* offerWindow(const QString& id) const;
    // Places the Transfers window when it is first made, before it shows
    // (near the window it was opened from); set by the program.
    std::function<void(QWidget* window)> placeNew;
    // A finished (ok) or failed transfer for the tray; set by the program.
    std::function<void(const QString& title, const QString& text, bool ok)> trayMessage;
    // The note on an ended transfer for the chat windows with its other
    // user (worded anew in the language of the moment); set by the program.
    using NoteFn = std::function<QString()>;
    std::function<void(const QString& peer, NoteFn note)> chatNote;

private:
    void ended(const QString& id, bool ok);
    void arrived(const QString& id);
    frmOffer* offerWindowFor(const QString& id);

    FileTransfers& files_;
    FolderMemory* memory_ = nullptr;
    QPointer<frmTransfers> transfers_;
    QHash<QString, QPointer<frmOffer>> offers_;
};

}  // namespace lanyx::ui
