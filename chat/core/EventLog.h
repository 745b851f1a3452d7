#pragma once
// The event log: one quoted, time-stamped record per event, appended and
// closed at once so that it survives a crash.
#include <filesystem>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx {

// What a peer sent, as the log takes it: at most kMaxLoggedText bytes (a
// datagram can be 65,000, and the log is read back whole at every start).
inline constexpr std::size_t kMaxLoggedText = 1000;
std::string forLog(std::string_view text);

class EventLog {
public:
    using ClockFn = std::function<std::string()>;
    // Shown when a write fails; the caller goes on.
    using ErrorFn = std::function<void(const std::string& message)>;

    explicit EventLog(std::filesystem::path file = {}, ClockFn clock = {}, ErrorFn onError = {});

    void setFile(std::filesystem::path file) { file_ = std::move(file); }
    const std::filesystem::path& file() const { return file_; }
    void setErrorReporter(ErrorFn onError) { onError_ = std::move(onError); }

    void WriteLog(const std::string& text);
    // Keeps the last `keep` lines (at most kMaxKeptBytes of them). Returns false
    // when the file could not be read or rewritten.
    static constexpr std::size_t kMaxKeptBytes = 4u << 20;
    bool TrimLog(std::size_t keep = 300);

    static std::string localTimestamp();

private:
    std::filesystem::path file_;
    ClockFn clock_;
    ErrorFn onError_;
};

// Keeps a flood of similar events (anybody on the segment can send a hundred
// thousand broken datagrams) from burying the log: of each kind, at most
// `perWindow` lines are written per window; the rest are counted, and one
// summary line tells how many were left out once the window is over.
class LogLimiter {
public:
    explicit LogLimiter(std::size_t perWindow = 20, std::uint32_t windowMs = 60000)
        : perWindow_(perWindow), windowMs_(windowMs) {}

    // Whether a line of this kind may be written now. Summary lines of
    // windows that have ended (of any kind) are appended to `summaries`, to be
    // written before it.
    bool admit(std::string_view kind, std::uint32_t nowMs, std::vector<std::string>& summaries);
    // Summary lines of every kind that left lines out; the counts start again.
    std::vector<std::string> flush();

private:
    struct Window {
        std::uint32_t start = 0;
        std::size_t written = 0;
        std::size_t dropped = 0;
    };
    static std::string summary(const std::string& kind, std::size_t dropped);
    std::size_t perWindow_;
    std::uint32_t windowMs_;
    std::map<std::string, Window, std::less<>> windows_;
};

}  // namespace lanyx
