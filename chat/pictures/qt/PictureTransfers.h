#pragma once
// Pictures moved over the file transfers: the sender keeps the picture in
// the data folder's Pictures folder, announces it to each recipient
// (PictureService) and, once the announcement was confirmed, offers the
// file; the recipient's transfers take that offer without asking into a
// folder of their own, and the picture is kept beside the sender's name in
// Pictures once it is what was announced and decodes within the limits.
#include "FileTransfers.h"
#include "PictureDecoder.h"
#include "PictureService.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <string>

namespace lanyx::pictures {

struct PictureNote {
    std::uint64_t line = 0;
    bool outgoing = false;
    QString sender;    // the user's own name for his
    QStringList to;    // his: the recipients told of it
    std::string chat;  // "#" and a shared chat's id, or empty
    QString path;      // where it is kept
};

class PictureTransfers : public QObject {
    Q_OBJECT
public:
    PictureTransfers(ChatNode& node, PictureService& service, FileTransfers& files, QObject* parent = nullptr);
    ~PictureTransfers() override;

    // The folder the pictures are kept in: Pictures in the data folder
    // unless given.
    void setFolder(const QString& folder) { folder_ = folder; }
    QString folder() const;
    // Where each picture sent or kept is told (the history).
    std::function<void(const Message&)> keep;

    // Whether `name` takes pictures: its copy takes both announcements and files.
    Reach reach(const QString& name) const;
    // Sends a picture (the bytes of its file) to `to`: the other member of
    // a private conversation, or a shared chat's members with `chat`
    // "#id". The line's id, or 0 and why not (TooLarge, NotAPicture;
    // NotExpected when nobody of `to` takes pictures).
    std::uint64_t send(const QStringList& to, const std::string& chat, const QByteArray& bytes, Refusal* why = nullptr);
    std::uint64_t sendFile(const QStringList& to, const std::string& chat, const QString& path, Refusal* why = nullptr);
    // What the last picture that arrived came to.
    Refusal lastRefusal() const { return lastRefusal_; }

Q_SIGNALS:
    // A picture arrived and is kept.
    void pictureArrived(const lanyx::pictures::PictureNote& note);
    // One of the user's went out (told to `note.to`).
    void pictureSent(const lanyx::pictures::PictureNote& note);
    // What became of one of the user's at one recipient.
    void pictureDelivered(std::uint64_t line, const QString& to, bool ok);
    // One that came was not kept.
    void pictureRefused(const QString& sender, lanyx::pictures::Refusal why);

private:
    struct Outgoing {
        std::uint64_t line = 0;
        QString to;
        QString path;
    };
    QString expectedOffer(const QString& sender, const transfer::Offer& offer);
    void announced(const DeliveryReport& report);
    void ended(const QString& id, bool ok);
    void arrived(const QString& transferId, const TransferItem& item);
    void record(const PictureNote& note, const QString& peer, std::uint64_t bytes);

    ChatNode& node_;
    PictureService& service_;
    FileTransfers& files_;
    QString folder_;
    std::map<std::uint64_t, Outgoing> announcing_;  // delivery report id -> picture
    std::map<QString, Outgoing> sending_;           // transfer id -> picture
    std::map<QString, QString> receiving_;          // transfer id -> the folder it goes to
    Refusal lastRefusal_ = Refusal::None;
};

}  // namespace lanyx::pictures
