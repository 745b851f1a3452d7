#include "EventLog.h"

#include "RecordFile.h"
#include "Text.h"

#include <ctime>

namespace lanyx {

EventLog::EventLog(std::filesystem::path file, ClockFn clock, ErrorFn onError)
    : file_(std::move(file)), clock_(std::move(clock)), onError_(std::move(onError)) {
    if (!clock_) clock_ = &EventLog::localTimestamp;
}

std::string EventLog::localTimestamp() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    char buf[32];
    std::strftime(buf, sizeof buf, "%d/%m/%Y %H:%M:%S", &tm);
    return buf;
}

void EventLog::WriteLog(const std::string& text) {
    std::string line = std::string(trimBlanks(clock_())) + " " + text;
    // Event texts may carry what a remote peer sent: a line break in it must
    // not forge a record of its own.
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    try {
        if (file_.empty()) throw LanyxError(err::PathAccess, "no log file");
        appendTextFile(file_, RecordWriter().text(line).end().str());
    } catch (const std::exception&) {
        if (onError_) onError_("Error writing to Log file. Text to write:\n\n" + text);
    }
}

bool EventLog::TrimLog(std::size_t keep) {
    const auto text = readTextFile(file_);
    if (!text) return true;
    // Walk back over the line breaks; the text after the keep-th one from the
    // end is what stays.
    std::size_t found = 0;
    std::size_t pos = text->size();
    while (pos > 0) {
        const auto br = text->rfind("\r\n", pos - 1);
        if (br == std::string::npos) return true;
        // The line break that ends the file ends the last line: it is counted.
        if (++found == keep + 1) {
            try {
                writeTextFileAtomic(file_, std::string_view(*text).substr(br + 2));
            } catch (const std::exception&) {
                return false;
            }
            return true;
        }
        pos = br;
    }
    return true;
}

std::string LogLimiter::summary(const std::string& kind, std::size_t dropped) {
    return kind + ": " + std::to_string(dropped) + (dropped == 1 ? " more line" : " more lines") +
           " of this kind not logged within a minute";
}

bool LogLimiter::admit(std::string_view kind, std::uint32_t nowMs, std::vector<std::string>& summaries) {
    // Windows that are over: their summary goes out now, whatever the kind
    // of the new line, so that a flood that stops is still accounted for.
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (static_cast<std::uint32_t>(nowMs - it->second.start) < windowMs_) {
            ++it;
            continue;
        }
        if (it->second.dropped > 0) summaries.push_back(summary(it->first, it->second.dropped));
        it = windows_.erase(it);
    }
    auto it = windows_.find(kind);
    if (it == windows_.end()) it = windows_.emplace(std::string(kind), Window{nowMs, 0, 0}).first;
    if (it->second.written < perWindow_) {
        ++it->second.written;
        return true;
    }
    ++it->second.dropped;
    return false;
}

std::vector<std::string> LogLimiter::flush() {
    std::vector<std::string> out;
    for (const auto& [kind, w] : windows_)
        if (w.dropped > 0) out.push_back(summary(kind, w.dropped));
    windows_.clear();
    return out;
}

} // namespace lanyx
