#include "CliPictures.h"

#include "LineHeader.h"
#include "Message.h"
#include "Text.h"

#include <ostream>

namespace lanyx::cli {

using pictures::PictureNote;
using pictures::PictureTransfers;
using pictures::Refusal;

PictureEvents::PictureEvents(PictureTransfers& pictures, EventPrinter& printer, std::ostream& out) {
    connect(&pictures, &PictureTransfers::pictureArrived, this, [&printer](const PictureNote& note) {
        printer.event("image", note.sender.toStdString(), note.path.toStdString(),
                      {"id=" + lineheader::IdText(note.line)});
    });
    // Printed also when not listening: it answers the command given.
    connect(&pictures, &PictureTransfers::pictureDelivered, this,
            [this, &out](std::uint64_t line, const QString& to, bool ok) {
                if (!underWay_.erase({line, to})) return;
                (ok ? delivered_ : failed_)++;
                out << EventLine("delivery", to.toStdString(), ok ? "picture: delivered" : "picture: not delivered")
                    << "\tid=" << lineheader::IdText(line) << std::endl;
            });
}

void PictureEvents::expect(std::uint64_t line, const QStringList& to) {
    for (const auto& name : to) underWay_.insert({line, name});
}

QStringList ImageTargets(const CliOptions& o, const std::string& ownName,
                         const std::function<std::vector<std::string>(const std::string&)>& members) {
    QStringList to;
    if (!o.room) {
        for (const auto& n : o.to) to << QString::fromStdString(n);
        return to;
    }
    for (const auto& m : members(*o.room))
        if (!equalsNoCase(m, ownName)) to << QString::fromStdString(m);
    return to;
}

int SendImage(PictureTransfers& pictures, PictureEvents& events, const CliOptions& o, const QStringList& to,
              std::ostream& err) {
    const std::string file = o.paths.empty() ? std::string() : o.paths.front();
    if (to.isEmpty()) {
        err << "lanyx-cli: image: nobody to send it to (a shared chat this copy does not know?)" << std::endl;
        return 5;
    }
    Refusal why = Refusal::None;
    const auto chat = o.room ? RoomChatKey(*o.room) : std::string();
    const auto line = pictures.sendFile(to, chat, QString::fromStdString(file), &why);
    if (line == 0) {
        err << "lanyx-cli: image " << file << ": "
            << (why == Refusal::TooLarge      ? "larger than 10 MiB"
                : why == Refusal::NotAPicture ? "not a PNG, JPEG, GIF or WebP picture this copy can read"
                : why == Refusal::Damaged     ? "it could not be kept in the data folder's Pictures"
                                              : "nobody it goes to takes pictures (their copies were not heard with "
                                                "their keys, or do not take pictures)")
            << std::endl;
        return 5;
    }
    QStringList told;
    for (const auto& name : to)
        if (pictures.reach(name) == Reach::Yes) told << name;
    events.expect(line, told);
    for (const auto& name : to)
        if (!told.contains(name))
            err << "lanyx-cli: " << name.toStdString() << " was not sent the picture: that copy takes no pictures"
                << std::endl;
    return 0;
}

}  // namespace lanyx::cli
