#include "EventLog.h"

#include "RecordFile.h"
#include "Text.h"

#include <algorithm>
#include <ctime>
#include <fstream>

namespace lanyx {

std::string forLog(std::string_view text) {
    if (text.size() <= kMaxLoggedText) return std::string(text);
    std::size_t cut = kMaxLoggedText;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // whole characters
    return std::string(text.substr(0, cut)) + "... (" + std::to_string(text.size()) + " bytes)";
}

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
    // Only the tail is read, backwards in blocks: a log of any size costs a
    // few blocks of memory. Lines may end in CR LF or LF alone.
    std::ifstream in(file_, std::ios::binary | std::ios::ate);
    if (!in) return true;
    const auto end = static_cast<std::uint64_t>(in.tellg());
    if (in.fail()) return false;
    constexpr std::uint64_t kBlock = 64 * 1024;
    std::string tail;  // the bytes from `start` to the end
    std::uint64_t start = end;
    std::size_t found = 0;
    std::size_t scanned = 0;  // bytes of `tail` already searched, from its end
    while (start > 0) {
        const auto n = std::min(kBlock, start);
        start -= n;
        std::string block(n, '\0');
        in.seekg(static_cast<std::streamoff>(start));
        in.read(block.data(), static_cast<std::streamsize>(n));
        if (!in) return false;
        tail.insert(0, block);
        for (std::size_t i = tail.size() - scanned; i-- > 0;) {
            if (tail[i] != '\n') continue;
            // The line break that ends the file ends the last line: it is counted.
            if (++found == keep + 1) {
                in.close();
                try {
                    writeBytesAtomic(file_, std::string_view(tail).substr(i + 1));
                } catch (const std::exception&) {
                    return false;
                }
                return true;
            }
        }
        scanned = tail.size();
        // Lines this long are no log lines: keep at most the last few blocks.
        if (tail.size() >= kMaxKeptBytes) {
            const auto br = tail.find('\n', tail.size() - kMaxKeptBytes);
            in.close();
            try {
                writeBytesAtomic(file_,
                                 br == std::string::npos ? std::string_view{} : std::string_view(tail).substr(br + 1));
            } catch (const std::exception&) {
                return false;
            }
            return true;
        }
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

}  // namespace lanyx
