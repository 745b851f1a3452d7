#pragma once
// What a sender offers when it sends files, and the list of what a transfer
// holds. Both are read from the network, so the readers are strict: anything
// that does not parse exactly is refused, and every path must stay inside
// the folder the receiver chose.
#include "IpAddress.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::transfer {

// Offers and their answers travel sealed between our copies, beginning with
// this tag; a copy that takes them announces kFilesWord with its keys.
inline constexpr std::string_view kFileTag = "lanyx-files ";
inline constexpr std::string_view kFilesWord = "files";

// Limits for what a peer may offer.
inline constexpr std::size_t kMaxOfferNames = 16;      // names shown in an offer
inline constexpr std::size_t kMaxOfferText = 900;      // fits a datagram with room
inline constexpr std::uint64_t kMaxEntries = 1000000;  // files and folders in one transfer
inline constexpr std::size_t kMaxPathBytes = 4096;
inline constexpr std::size_t kMaxNameBytes = 255;
inline constexpr std::size_t kMaxDepth = 64;

inline constexpr std::size_t kMaxOfferAddresses = 8;

// The offer: sent sealed by the sender to one recipient. It names the
// sender's own IPv4 addresses and port; the recipient connects only to one
// of them that its own copy has seen the sender's signed datagrams come
// from (see OfferChecks.h). Offers of earlier builds name no addresses.
struct Offer {
    std::string id;                    // 32 lower-case hex digits
    std::uint16_t port = 0;            // 1..65535
    std::uint64_t files = 0;           // files in all (folders not counted)
    std::uint64_t bytes = 0;           // their total size
    std::vector<std::string> names;    // top-level names (UTF-8), at most kMaxOfferNames
    std::vector<IpAddress> addresses;  // the sender's, IPv4 alone; empty in old offers
    std::uint64_t tops = 0;            // how many top-level names there are (0: not said, an old offer)
    // What is offered, as the sender sees it (its list and the files' times,
    // hashed; 32 hex digits): the same again after a restart of the sender,
    // so that the receiver goes on with the part files it kept. Empty in
    // offers of earlier builds.
    std::string same;
    bool operator==(const Offer&) const = default;
};

std::string FormatOffer(const Offer& offer);
std::optional<Offer> ParseOffer(std::string_view text);

// Why a receiver stopped a transfer, as it tells the sender beside the
// cancel ("cancel <id> <code>"); a plain cancel is the user's.
enum class StopReason {
    None,
    Cancelled,    // the user cancelled
    DiskFull,     // not enough free space in the folder
    CannotWrite,  // the folder or a file could not be written
    Damaged,      // a file arrived with a check that does not match
    Refused,      // the offer or the list was refused (names, sizes, keys)
    Busy,         // too many offers were waiting
    Failed,       // anything else (a code this build does not know, too)
};
const char* StopReasonCode(StopReason reason);
// Unknown codes read as Failed; "" as None.
StopReason ParseStopReason(std::string_view code);

// A decimal count as offers and transfers write it: digits only, no leading
// zero, within 64 bits.
bool ParseCount(std::string_view text, std::uint64_t& out);

// A new random transfer id (32 hex digits), and whether a text is one.
std::string NewTransferId();
bool IsTransferId(std::string_view text);

// One entry of a transfer: a folder, or a file with its size. Paths are
// relative, '/'-separated, UTF-8; a folder comes before what it holds.
struct Entry {
    std::string path;
    bool folder = false;
    std::uint64_t size = 0;
    bool operator==(const Entry&) const = default;
};

// The whole list, as one line per entry ("D path" or "F size path").
std::string FormatManifest(const std::vector<Entry>& entries);

enum class ManifestError {
    None,
    Syntax,        // a line that does not parse
    BadPath,       // a path refused by CheckRelativePath
    Duplicate,     // the same path twice (or a file and a folder of one name)
    NoParent,      // an entry whose folder was not listed before it
    TooMany,       // more than kMaxEntries
    SizeMismatch,  // the sizes do not add up to what the offer said
};
struct ManifestResult {
    ManifestError error = ManifestError::None;
    std::size_t line = 0;  // 1-based line of the error
    std::vector<Entry> entries;
};
// `offer` gives the file count and size the list must add up to.
ManifestResult ParseManifest(std::string_view text, const Offer& offer);

enum class PathError {
    None,
    Empty,
    Absolute,   // "/x", "C:x", "\\server\x"
    DotDot,     // ".." or "." as a component
    Separator,  // a backslash, an empty component ("a//b"), a trailing '/'
    Control,    // control characters, or bytes that are not UTF-8
    Reserved,   // characters or names Windows cannot hold (CON, aux.txt, "a:b", "x.")
    TooLong,
    TooDeep,
};
// Whether `path` names something inside the receiver's folder on every
// system we run on.
PathError CheckRelativePath(std::string_view path);
const char* PathErrorText(PathError error);

// Percent-encoding for names inside offers and lists: every byte outside
// printable ASCII, and '%', ';', ',', ' ' and '|', becomes %XX.
std::string EncodeName(std::string_view name);
std::optional<std::string> DecodeName(std::string_view text);

}  // namespace lanyx::transfer
