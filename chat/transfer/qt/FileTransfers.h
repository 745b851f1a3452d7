#pragma once
// File transfers as the user sees them: offers sent and received, and the
// transfers they became. The offer and its answers travel as encrypted file
// messages through the node; the files themselves over TCP (TransferLinks),
// the receiver connecting to the sender. Both the desktop program and
// lanyx-cli run one of these beside their node.
#include "ChatNode.h"
#include "FileOffer.h"
#include "TransferLinks.h"
#include "Unfinished.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace lanyx {

struct TransferItem {
    enum class Direction { Outgoing, Incoming };
    enum class State {
        Offering,  // sent, waiting for the recipient's answer
        Offered,   // received, waiting for our user's answer
        Running,
        Interrupted,  // the connection dropped; it resumes on a retry
        Finished,
        Failed,
        Declined,
        Cancelled,
    };
    QString id;
    Direction direction = Direction::Outgoing;
    QString peer;       // the other side's user name
    QStringList names;  // top-level names as offered (up to 16)
    quint64 files = 0, bytes = 0, done = 0;
    State state = State::Offering;
    QString message;      // why it failed, was cancelled or interrupted
    QString folder;       // incoming: where it goes; outgoing: empty
    QStringList made;     // incoming, finished: what it made at the top of the folder
    QStringList skipped;  // outgoing: what was left out (links, special files)
    double bytesPerSecond = 0;
    qint64 secondsLeft = -1;  // unknown
    // Why it stopped, as a code: what the receiver told the sender, or
    // why this side stopped it (None while under way or finished).
    transfer::StopReason why = transfer::StopReason::None;
    // Carried for another capability (a picture, see setExpectedOffers):
    // that one keeps it in the history, not as a transfer.
    bool carried = false;
    bool ended() const {
        return state == State::Finished || state == State::Failed || state == State::Declined ||
               state == State::Cancelled;
    }
    bool canRetry() const { return direction == Direction::Incoming && state == State::Interrupted; }
};

QString TransferStateText(const TransferItem& item);
// "1.4 MB", "12 KB", "3 bytes".
QString SizeText(quint64 bytes);
// "2 files, 1.4 MB" / "1 file, 3 bytes".
QString CountText(quint64 files, quint64 bytes);

// How long transfers wait for what does not come: the shipped times
// unless the owner gives others.
struct TransferWaits {
    // A connection on which nothing moves this long counts as dropped.
    int stallMs = TransferServer::kStallMs;
    // An interrupted outgoing transfer waits this long for the receiver to
    // resume; transfers taken from the store look for their senders this long.
    int resumeKeepMs = 10 * 60 * 1000;
};

// What FileTransfers is made with besides its node.
struct TransferSetup {
    TransferWaits waits;
    // Makes the receiving side of each start of an incoming transfer.
    ClientFactory clients = MakeTransferClient;
    // The names an offer shows for what it holds (empty: its top-level names).
    std::function<std::vector<std::string>(const transfer::LocalSelection&)> offerNames = {};
};

class FileTransfers : public QObject, public Capability {
    Q_OBJECT
public:
    // The port the sender listens on, where free (else any free port: the
    // offer names it). One firewall rule on the sender's side.
    static constexpr quint16 kDefaultPort = 1415;
    // Transfers at once at most, per direction (offers waiting for our
    // user's answer are capped apart, see OfferChecks.h).
    static constexpr std::size_t kMaxPendingOffers = 32;
    // Offers that came before the sender's answer to our challenge (they
    // name where he answers from): this many wait for it at once.
    static constexpr std::size_t kMaxHeldOffers = 16;
    // An interrupted outgoing transfer waits this long for the receiver to
    // resume; an unanswered offer this long for an answer.
    static constexpr int kResumeKeepMs = TransferWaits{}.resumeKeepMs;
    static constexpr int kOfferKeepMs = 60 * 60 * 1000;
    // Part files of an incoming transfer stay for the next start this long
    // after the last file of it arrived (or it was accepted); that start
    // removes them when it has not gone on since.
    static constexpr std::int64_t kPartKeepMs = 7ll * 24 * 60 * 60 * 1000;
    // Automatic reconnects of an interrupted incoming transfer, after these waits.
    static constexpr int kRetryMs[] = {1000, 3000, 8000};

    explicit FileTransfers(ChatNode& node, TransferSetup setup = {}, QObject* parent = nullptr);
    ~FileTransfers() override;

    // Whether files can go to `name`; else `why` says why not.
    bool canSendTo(const QString& name, QString* why = nullptr) const;
    Reach reach(const QString& name) const;
    // Why files cannot go, in the language of the program.
    static QString reachText(Reach reach);
    // Offers `paths` (files and folders) to `name`. The id, or empty with
    // `error`; `carried`: for another capability, whose offer the other
    // side expects (see TransferItem::carried).
    QString send(const QString& name, const QStringList& paths, QString* error, bool carried = false);
    void accept(const QString& id, const QString& folder);
    void decline(const QString& id);
    void cancel(const QString& id);
    // An interrupted incoming transfer connects again and goes on.
    void retry(const QString& id);
    // Ended transfers leave the list.
    void clearEnded();
    // Offers another capability waits for (a picture it was told of) go,
    // without asking the user, into the folder this gives for them; an
    // empty folder: the user is asked, as for any offer.
    using ExpectedOffers = std::function<QString(const QString& sender, const transfer::Offer& offer)>;
    void setExpectedOffers(ExpectedOffers expected) { expected_ = std::move(expected); }

    const std::vector<TransferItem>& items() const { return items_; }
    const TransferItem* item(const QString& id) const;
    // Where offers go unless the user chooses otherwise.
    static QString defaultFolder();
    quint16 listeningPort() const;

    // Capability
    std::string_view tag() const override { return transfer::kFileTag; }
    std::string_view word() const override { return transfer::kFilesWord; }
    bool message(const std::string& sender, const std::string& body, IpAddress sourceV4) override;
    void delivery(const DeliveryReport& report) override;
    // Offers name where the files are fetched from: only addresses the
    // sender's key answered a challenge at.
    bool provesSources() const override { return true; }
    void sourceProven(const std::string& name, IpAddress address) override;

Q_SIGNALS:
    void itemAdded(const QString& id);
    void itemChanged(const QString& id);
    // A new offer waits for the user's answer.
    void offerArrived(const QString& id);
    // Finished (ok), or failed, declined or cancelled.
    void itemEnded(const QString& id, bool ok);
    void cleared();

private:
    struct Live {
        QHostAddress sender;  // incoming: where to connect
        transfer::Offer offer;
        TransferClient* client = nullptr;  // ours; deleted later, never inside its own signal
        std::uint64_t offerReport = 0;     // outgoing: the offer's delivery report
        int retries = 0;
        std::deque<std::pair<qint64, quint64>> samples;  // (ms, bytes) for the speed
        qint64 lastSignal = -1;
        int deadline = 0;  // serial of the timer that ends a wait
        // Incoming, accepted: kept in the store of unfinished transfers.
        bool kept = false;
        bool begunSaved = false;                      // the store has the names chosen in the folder
        bool waitsForSender = false;                  // taken from the store: connects once the sender is heard
        std::string senderKey;                        // hex, the key it was accepted under
        std::int64_t touched = 0;                     // ms since 1970
        std::optional<transfer::ResumeState> resume;  // where an earlier run stopped
    };
    TransferItem* find(const QString& id);
    // An offer of files; `mayWait`: it may wait for the answer to a
    // challenge before it is decided.
    bool takeOffer(const std::string& sender, const std::string& body, bool mayWait);
    // Held offers from `senderKey` (lower case), one (`id`) or all, are decided.
    void decideHeld(const std::string& senderKey, const std::string& id = {});
    void setState(TransferItem& item, TransferItem::State state, const QString& message = {});
    void progress(TransferItem& item, quint64 done);
    bool ensureListening(QString* error);
    SecurityFactory securityFor(const QString& peer, transfer::ConnectionHandshake::Role role) const;
    void connectClient(const QString& id);
    void clientFinished(const QString& id, bool ok, const QString& message);
    void serverProgress(const QString& id, quint64 sent, quint64 total);
    void serverFinished(const QString& id, bool ok, const QString& message);
    void endAfter(const QString& id, int ms, TransferItem::State state, const QString& message);
    void tell(const QString& peer, const std::string& body);
    std::size_t pending(TransferItem::Direction direction) const;
    void forget(const QString& id);
    // The receiver's side of a stop: the sender is told the reason.
    void tellStopped(const QString& peer, const QString& id, transfer::StopReason why);
    void startClient(const QString& id);
    // Checked, or in one of the user's groups.
    bool trusted(const std::string& name) const;
    std::int64_t nowMs() const;
    std::string pinnedKey(const QString& name) const;
    // The store of unfinished transfers: read once the copy holds its data
    // folder (its keys are there), written when one begins, moves on or ends.
    void tick();
    void loadUnfinished();
    void saveUnfinished();
    void saveSoon();
    std::optional<transfer::ResumeState> resumeOf(const Live& live) const;
    // Part files of a kept transfer go (cancelled, failed, too old).
    void removePartials(const TransferItem& item, const Live& live);
    // A new offer of files an earlier offer from the same sender began: it
    // goes on with their part files. False when there is no such one.
    bool resumeInto(const QString& from, const transfer::Offer& offer, IpAddress address);
    ChatNode& node_;
    transfer::DigestFactory digests_;
    std::unique_ptr<TransferServer> server_;
    std::vector<TransferItem> items_;
    std::map<QString, Live> live_;
    QElapsedTimer clock_;
    int serial_ = 0;
    std::size_t refusedLogged_ = 0;
    TransferSetup setup_;
    bool loaded_ = false;
    bool saveFailedTold_ = false;
    bool rosterAsked_ = false;
    qint64 waitUntil_ = 0;  // clock_: adopted transfers look for their senders until then
    QTimer* ticker_ = nullptr;
    std::map<std::string, std::uint32_t> offersFrom_;  // lower-case sender -> offers lately
    qint64 offersDecayed_ = 0;
    QTimer* saveTimer_ = nullptr;
    struct HeldOffer {
        std::string senderKey, sender, id, body;
    };
    std::vector<HeldOffer> heldOffers_;
    ExpectedOffers expected_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace lanyx
