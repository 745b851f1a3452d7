#include "Error.h"

#include <array>

namespace lanyx {

namespace {

struct Said {
    Reason reason;
    int number;
    std::string_view key;
    std::string_view words;
};

// The words are those the log and the windows have always shown: files of
// ours and people's habits read them, so they change only on purpose.
constexpr std::array kSaid{
    Said{Reason::Unknown, 0, "unknown", "%1"},
    Said{Reason::NotADatagram, err::InvalidArgument, "not-a-datagram", "Invalid procedure call or argument"},
    Said{Reason::NumberOutOfRange, err::Overflow, "number-out-of-range", "Overflow"},
    Said{Reason::NameListed, err::KeyNotUnique, "name-listed", "Key is not unique in collection"},
    Said{Reason::NotANumber, err::TypeMismatch, "not-a-number", "Type mismatch"},
    Said{Reason::NameTaken, 0, "name-taken", "This screen name is already in use on the network."},
    Said{Reason::NameNotAllowed, 0, "name-not-allowed",
         "The screen name may only contain the letters a to z and the digits 0 to 9."},
    Said{Reason::OfferUnparsable, 0, "offer-unparsable", "it does not parse"},
    Said{Reason::OfferTooOld, 0, "offer-too-old", "the sender's program is too old to send files to this one"},
    Said{Reason::OfferPortReserved, 0, "offer-port-reserved", "the offer names a port reserved for the system"},
    Said{Reason::OfferNotHeard, 0, "offer-not-heard", "the offer names an address the sender was not heard from"},
    Said{Reason::OfferUnreachable, 0, "offer-unreachable", "the sender's address is outside this computer's networks"},
    Said{Reason::FolderMissing, 0, "folder-missing", "the folder %1 does not exist"},
    Said{Reason::OfferedPathRefused, 0, "offered-path-refused", "the sender offered %1"},
    Said{Reason::NotEnoughSpace, 0, "not-enough-space", "not enough free space in %1: %2 bytes needed, %3 free"},
    Said{Reason::KeptNamesDamaged, 0, "kept-names-damaged", "the names kept for this transfer are damaged"},
    Said{Reason::ListNamesChanged, 0, "list-names-changed",
         "the sender's list holds names other than those it began with"},
    Said{Reason::NoSuchFolder, 0, "no-such-folder", "no such folder in the transfer"},
    Said{Reason::NoSuchFile, 0, "no-such-file", "no such file in the transfer"},
    Said{Reason::PartialTooLong, 0, "partial-too-long", "a partial file is longer than the file"},
    Said{Reason::CannotReadBack, 0, "cannot-read-back", "cannot read back %1"},
    Said{Reason::NoFileOpen, 0, "no-file-open", "no file is open"},
    Said{Reason::MoreThanSize, 0, "more-than-size", "the sender sent more than the file's size"},
    Said{Reason::EndedEarly, 0, "ended-early", "the file ended early: %1 of %2 bytes"},
    Said{Reason::ArrivedDamaged, 0, "arrived-damaged", "the file arrived damaged (its check does not match)"},
    Said{Reason::SystemRefused, 0, "system-refused", "%1"},
    Said{Reason::InputPastEnd, err::InputPastEnd, "input-past-end", "Input past end of file"},
    Said{Reason::SettingsWouldNotReadBack, err::PathAccess, "settings-would-not-read-back",
         "The settings would not read back (%1)"},
    Said{Reason::SettingsNotAsWritten, err::PathAccess, "settings-not-as-written",
         "The settings would not read back as written"},
    Said{Reason::SettingsReadOnly, err::PathAccess, "settings-read-only", "The settings file is read-only: %1"},
    Said{Reason::SettingsChangedOnDisk, err::PathAccess, "settings-changed-on-disk",
         "The settings did not read back as written: %1"},
    Said{Reason::SettingsFolderUnreadable, err::PathAccess, "settings-folder-unreadable", "%1"},
    Said{Reason::SettingsTooLarge, err::Overflow, "settings-too-large", "File too large"},
    Said{Reason::SettingsUnreadable, err::PathAccess, "settings-unreadable", "Path/File access error"},
    Said{Reason::LanguageFileMissing, err::FileNotFound, "language-file-missing", "File not found: %1"},
    Said{Reason::HistoryUnusable, 0, "history-unusable",
         "The history (%1) cannot be used: %2. Nothing is recorded in this run."},
    Said{Reason::HistoryUnreadable, 0, "history-unreadable",
         "The history cannot be used: %1. Nothing is recorded in this run."},
    Said{Reason::HistoryNewer, 0, "history-newer", "made by a later version of Lanyx"},
    Said{Reason::HistoryEmpty, 0, "history-empty", "no history recorded yet"},
    Said{Reason::HistoryStopped, 0, "history-stopped", "stopped"},
    Said{Reason::LineUnknown, 0, "line-unknown", "no such line in the conversations of this run"},
    Said{Reason::LineNotYours, 0, "line-not-yours", "only who said a line can change it"},
    Said{Reason::LineTooOld, 0, "line-too-old", "the line was said more than a day ago"},
    Said{Reason::LineDeleted, 0, "line-deleted", "the line was taken back"},
    Said{Reason::NotAReaction, 0, "not-a-reaction", "a reaction is one emoji"},
    Said{Reason::LineTextEmpty, 0, "line-text-empty", "the new words are empty or too long"},
};

// A reason added to the enum without its words fails the build here.
constexpr bool inOrder() {
    for (std::size_t i = 0; i < kSaid.size(); ++i)
        if (static_cast<std::size_t>(kSaid[i].reason) != i) return false;
    return kSaid.back().reason == Reason::LineTextEmpty;
}
static_assert(inOrder(), "kSaid lists every Reason once, in the enum's order");

const Said& said(Reason reason) {
    const auto i = static_cast<std::size_t>(reason);
    return i < kSaid.size() ? kSaid[i] : kSaid[0];
}

}  // namespace

std::string_view wordsFor(Reason reason) {
    return said(reason).words;
}

int numberOf(Reason reason) {
    return said(reason).number;
}

std::string_view keyOf(Reason reason) {
    return said(reason).key;
}

std::string fillWords(std::string_view words, const std::vector<std::string>& details) {
    std::string out;
    out.reserve(words.size());
    // One pass: a detail that holds "%2" (a file name may) stays as it is.
    for (std::size_t i = 0; i < words.size(); ++i) {
        const char c = words[i];
        if (c == '%' && i + 1 < words.size() && words[i + 1] >= '1' && words[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(words[i + 1] - '1');
            if (n < details.size()) out += details[n];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

Error failure(Reason reason, std::initializer_list<std::string_view> details) {
    std::vector<std::string> kept(details.begin(), details.end());
    auto text = fillWords(wordsFor(reason), kept);
    return {numberOf(reason), std::move(text), reason, std::move(kept)};
}

std::string describe(const Error& error) {
    return std::to_string(error.number) + ": " + error.text;
}

}  // namespace lanyx
