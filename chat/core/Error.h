#pragma once
// How the chat code reports a failure. An operation that can fail in an
// expected way (a peer's datagram that does not parse, a number out of
// range, a name already listed) returns a Result: the caller sees the
// failure in the type and decides. Exceptions (LanyxError) are kept for the
// edges where a failure already crosses a boundary: files read and written,
// the settings, the socket, the windows' callbacks. See docs/STYLE.md.
//
// A failure carries a Reason for the program to decide on, and words for
// people made from it: code never tells failures apart by their words, so
// that rewording one (or translating it) changes nothing a caller does.
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace lanyx {

// Error numbers we report (kept to the classic runtime's numbering so logs
// read the same as they always have).
namespace err {
constexpr int InvalidArgument = 5;
constexpr int Overflow = 6;
constexpr int TypeMismatch = 13;
constexpr int FileNotFound = 53;
constexpr int InputPastEnd = 62;
constexpr int PathAccess = 75;
constexpr int KeyNotUnique = 35602;
constexpr int AddressInUse = 10048;
constexpr int NetworkError = 10050;
}  // namespace err

// Why an operation failed, one code per failure a caller may want to tell
// apart, grouped by the room that reports it. The values are not stored or
// sent anywhere: only the words and the numbers reach files and peers.
enum class Reason : std::uint16_t {
    Unknown,  // a failure from before reasons, or from outside (the system's, a library's)
    // What a peer sends.
    NotADatagram,      // no "|", or the text ends within the command
    NumberOutOfRange,  // a number past what its field holds
    NameListed,        // a name already listed, in some case
    NotANumber,        // a value that has to be a number is not
    // A screen name chosen here.
    NameTaken,       // another user on the network has it, in some case
    NameNotAllowed,  // empty, or a character other than a-z, A-Z and 0-9
    // Receiving files.
    OfferUnparsable,
    OfferTooOld,  // an offer of an earlier build: it names no address
    OfferPortReserved,
    OfferNotHeard,       // no offered address is one the sender was heard from
    OfferUnreachable,    // ... and on this computer's networks
    FolderMissing,       // the folder chosen for the files is not there
    OfferedPathRefused,  // the sender's list names a path outside the folder
    NotEnoughSpace,
    KeptNamesDamaged,  // the names an earlier run chose no longer check
    ListNamesChanged,  // a restarted transfer lists names it did not begin with
    NoSuchFolder,
    NoSuchFile,
    PartialTooLong,  // a part file longer than the whole file
    CannotReadBack,  // a part file kept from before could not be read
    NoFileOpen,
    MoreThanSize,    // the sender sent past the size its list gave
    EndedEarly,      // a file finished before its size
    ArrivedDamaged,  // its check does not match
    SystemRefused,   // the system refused a write, a creation or a rename
    // The settings file.
    InputPastEnd,              // a record file ends before its last value
    SettingsWouldNotReadBack,  // what would be written does not read
    SettingsNotAsWritten,      // ... or reads as other settings
    SettingsReadOnly,
    SettingsChangedOnDisk,  // written, but read back otherwise
    SettingsFolderUnreadable,
    SettingsTooLarge,
    SettingsUnreadable,
    LanguageFileMissing,
    // The history.
    HistoryUnusable,    // it cannot be opened (and is not damaged): nothing is recorded
    HistoryUnreadable,  // ... or what it keeps cannot be read
    HistoryNewer,       // made by a later version
    HistoryEmpty,       // nothing recorded yet
    HistoryStopped,
    // What the user does to a line after it was said.
    LineUnknown,    // not a line of this run's conversations (or too long ago)
    LineNotYours,   // only its author edits or takes back a line
    LineTooOld,     // said longer ago than a line can be changed
    LineDeleted,    // taken back already
    NotAReaction,   // not one emoji
    LineTextEmpty,  // new words that say nothing, or too many
};

// What people read for a reason (the program's own language), with %1, %2,
// ... where the details of one failure go, in the order given to failure().
std::string_view wordsFor(Reason reason);
// The classic runtime's number that goes with a reason in the log (0 where
// the log gives none).
int numberOf(Reason reason);
// A name for a reason that does not change when its words do: what a
// translation is looked up by.
std::string_view keyOf(Reason reason);
// `words` with %1, %2, ... replaced by `details` (a missing one by nothing).
std::string fillWords(std::string_view words, const std::vector<std::string>& details);

// A failure as the program reports it: its reason, the number the log
// gives it, and its words for the log or a message box. The details are
// kept so that a translation of the reason's words can take them in turn.
struct Error {
    int number = 0;
    std::string text;
    Reason reason = Reason::Unknown;
    std::vector<std::string> details{};
};

// The failure for `reason`, its words filled with `details`.
Error failure(Reason reason, std::initializer_list<std::string_view> details = {});
// "number: text", as the log and the notices give a failure.
std::string describe(const Error& error);

// The same as an exception, for the edges.
class LanyxError : public std::runtime_error {
public:
    LanyxError(int number, const std::string& description) : LanyxError(Error{number, description}) {}
    explicit LanyxError(Error e) : std::runtime_error(e.text), error_(std::move(e)) {}
    int number() const { return error_.number; }
    Reason reason() const { return error_.reason; }
    const Error& error() const { return error_; }

private:
    Error error_;
};

// A value or the Error why there is none (std::expected is not in every
// compiler we build with). Reading the value of a failure throws it as
// LanyxError: a slip of the caller, which a test then shows, not a path
// the program takes.
template <class T> class [[nodiscard]] Result {
    static_assert(!std::is_same_v<std::remove_cv_t<T>, Error>, "a Result holds a value or an Error, not both");

public:
    Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : v_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& {
        check();
        return std::get<0>(v_);
    }
    T& value() & {
        check();
        return std::get<0>(v_);
    }
    T&& value() && {
        check();
        return std::get<0>(std::move(v_));
    }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    // Only for a failure.
    const Error& error() const { return std::get<1>(v_); }

private:
    void check() const {
        if (!ok()) throw LanyxError(error());
    }
    std::variant<T, Error> v_;
};

// Success with nothing to return, or the Error why not.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)), failed_(true) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    // Throws the failure as LanyxError; nothing for a success.
    void value() const {
        if (failed_) throw LanyxError(error_);
    }
    // Only for a failure.
    const Error& error() const { return error_; }

private:
    Error error_;
    bool failed_ = false;
};

}  // namespace lanyx
