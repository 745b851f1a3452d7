#pragma once
// lanyx-cli's side of file transfers: offers answered as the options say,
// progress and the outcome of every transfer as event lines.
#include "FileTransfers.h"

#include <QString>

#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lanyx::cli {

class TransferReporter {
public:
    enum class Answer { Leave, Accept, Decline };
    // `terminal`: progress as one line that updates in place, else as
    // transfer-progress event lines at most once a second per transfer.
    TransferReporter(FileTransfers& files, std::ostream& out, bool terminal);
    TransferReporter(const TransferReporter&) = delete;
    TransferReporter& operator=(const TransferReporter&) = delete;

    void answerOffers(Answer answer, const QString& folder = {});
    // Whom offers are accepted from (with Answer::Accept), and how much.
    struct AcceptRules {
        std::vector<std::string> from;  // empty: users whose key the user checked
        std::optional<quint64> quota;   // bytes in all
        std::function<bool(const QString& name)> checked;
    };
    void acceptRules(AcceptRules rules) { rules_ = std::move(rules); }
    // Cancels a transfer; its final line is transfer-failed with `reason`
    // when one is given, else transfer-cancelled.
    void cancel(const QString& id, const QString& reason = {});
    // Ends the in-place progress line, if one is shown.
    void endStatusLine();

private:
    void added(const QString& id);
    void changed(const QString& id);
    void ended(const QString& id, bool ok);
    void offered(const QString& id);
    void line(const std::string& kind, const QString& peer, const QString& text);
    void statusLine();

    struct Seen {
        TransferItem::State state = TransferItem::State::Offering;
        qint64 lastPrinted = -1;
        quint64 doneShown = ~quint64(0);
        QString reason;
    };
    FileTransfers& files_;
    std::ostream& out_;
    bool terminal_;
    Answer answer_ = Answer::Leave;
    AcceptRules rules_;
    quint64 accepted_ = 0;
    QString folder_;
    std::map<QString, Seen> seen_;
    std::size_t statusWidth_ = 0;
    QElapsedTimer clock_;
};

// Why an offer is not accepted under `rules` (with `accepted` bytes taken
// so far); empty when it is.
QString AcceptRefusal(const TransferReporter::AcceptRules& rules, const TransferItem& offer, quint64 accepted);

// "photos, report.pdf" (the top-level names as offered).
QString NamesText(const TransferItem& item);
// "2 files, 1048576 bytes: photos, report.pdf".
QString OfferText(const TransferItem& item);
// "report.pdf: 1048576 of 8388608 bytes (12 %), 1.2 MB/s, 7 s left".
QString ProgressText(const TransferItem& item);

}  // namespace lanyx::cli
