#pragma once
// Incoming transfers accepted and not ended, kept in the data folder
// (Receiving.txt) so that a copy started again goes on with the part files
// it left: where they are, from whom under which key, and where the
// transfer stood. The file is read strictly: a line that does not parse is
// left out, the others are kept.
#include "FileOffer.h"
#include "TransferSession.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::transfer {

inline constexpr std::string_view kUnfinishedFile = "Receiving.txt";
// More than a user has under way: transfers at once are capped well below.
inline constexpr std::size_t kMaxUnfinished = 256;

struct Unfinished {
    Offer offer;            // as accepted, or as offered again (its id is the one to ask for)
    std::string sender;     // the user's name
    std::string senderKey;  // the sender's signing key then, 64 hex digits
    std::string folder;     // UTF-8, where the files go
    // The sender's; the file holds dotted IPv4 alone, 0.0.0.0 when not known.
    IpAddress address = IpAddress::v4(0);
    std::int64_t touched = 0;  // ms since 1970: accepted, or the last file finished
    ResumeState resume;        // list empty: the list had not come yet
    bool operator==(const Unfinished&) const = default;
};

std::string FormatUnfinished(const std::vector<Unfinished>& transfers);
struct UnfinishedFile {
    std::vector<Unfinished> transfers;
    std::size_t damaged = 0;  // lines left out
};
// Nothing when the text is not such a file at all.
std::optional<UnfinishedFile> ParseUnfinished(std::string_view text);

}  // namespace lanyx::transfer
