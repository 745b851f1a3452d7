#pragma once
// The event log: one quoted, time-stamped record per event, appended and
// closed at once so that it survives a crash.
#include <filesystem>
#include <functional>
#include <string>

namespace lanyx {

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
    // Keeps the last `keep` lines. Returns false when the file could not be rewritten.
    bool TrimLog(std::size_t keep = 300);

    static std::string localTimestamp();

private:
    std::filesystem::path file_;
    ClockFn clock_;
    ErrorFn onError_;
};

} // namespace lanyx
