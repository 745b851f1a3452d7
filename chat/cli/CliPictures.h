#pragma once
// lanyx-cli and pictures: `image --to NAME FILE` and `image --room ID FILE`
// (also on standard input while listening), and the `image` event of one
// that arrived and is kept: sender, the kept file, id=.
#include "CliPeer.h"
#include "PictureTransfers.h"

#include <QObject>

#include <functional>
#include <set>

namespace lanyx::cli {

class PictureEvents : public QObject {
public:
    PictureEvents(pictures::PictureTransfers& pictures, EventPrinter& printer, std::ostream& out);
    // Pictures of the user's still on their way to someone.
    std::size_t underWay() const { return underWay_.size(); }
    // How many arrived at their recipients, and how many did not.
    int delivered() const { return delivered_; }
    int failed() const { return failed_; }
    void expect(std::uint64_t line, const QStringList& to);

private:
    std::set<std::pair<std::uint64_t, QString>> underWay_;
    int delivered_ = 0, failed_ = 0;
};

// The members an `image` goes to: --to's name, or the shared chat's
// members but the user (a shared chat this copy does not know: none).
QStringList ImageTargets(const CliOptions& o, const std::string& ownName,
                         const std::function<std::vector<std::string>(const std::string&)>& members);
// Sends the picture as `o` says: 0 once it is under way; 5 when the file is
// no picture, larger than 10 MiB, or nobody it goes to takes pictures.
int SendImage(pictures::PictureTransfers& pictures, PictureEvents& events, const CliOptions& o, const QStringList& to,
              std::ostream& err);

}  // namespace lanyx::cli
