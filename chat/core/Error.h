#pragma once
// How the chat code reports a failure. An operation that can fail in an
// expected way (a peer's datagram that does not parse, a number out of
// range, a name already listed) returns a Result: the caller sees the
// failure in the type and decides. Exceptions (LanyxError) are kept for the
// edges where a failure already crosses a boundary: files read and written,
// the settings, the socket, the windows' callbacks. See docs/STYLE.md.
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

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

// A failure as the program reports it: one of the numbers above and the
// text that goes with it into the log or a message box.
struct Error {
    int number = 0;
    std::string text;
};

// The same as an exception, for the edges.
class LanyxError : public std::runtime_error {
public:
    LanyxError(int number, const std::string& description) : std::runtime_error(description), number_(number) {}
    explicit LanyxError(const Error& e) : LanyxError(e.number, e.text) {}
    int number() const { return number_; }
    Error error() const { return {number_, what()}; }

private:
    int number_;
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
