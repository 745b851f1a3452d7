#include "ReceiveReports.h"

#include <vector>

namespace lanyx {

void ReceiveReports::limited(std::string_view kind, const std::string& line) {
    std::vector<std::string> summaries;
    const bool admitted = limiter_.admit(kind, pump_.ticks(), summaries);
    for (const auto& s : summaries) log_.WriteLog(s);
    if (admitted) log_.WriteLog(line);
}

void ReceiveReports::unknownData(std::string_view text, std::string_view sender) {
    limited("Unknow Data Receved", "Unknow Data Receved (" + forLog(sender) + ": " + forLog(text) + ")");
}

void ReceiveReports::error(int number, const std::string& description) {
    limited("Error Receveing Data", "Error Receveing Data: " + describe({number, description}));
}

void ReceiveReports::refused(const Error& e) {
    if (e.reason != Reason::NotANumber) error(e.number, e.text);
}

bool ReceiveReports::dropped(std::uint32_t total) {
    if (total == dropsLogged_) return false;
    limited("Datagrams dropped", "Received datagrams dropped by the system (receive buffer full): " +
                                     std::to_string(total - dropsLogged_) + ", " + std::to_string(total) + " in all");
    dropsLogged_ = total;
    return true;
}

void ReceiveReports::failed(int number, const std::string& text, bool reopened) {
    const std::string why = std::to_string(number) + ": " + text;
    if (reopened) {
        log_.WriteLog("Receiving failed (" + why + "); the connection was opened again");
        ui_.messageBox("Lanyx stopped receiving from the network (" + why +
                           ") and has opened its connection again. Messages sent to you meanwhile may be missing.",
                       "Lanyx", IconExclamation);
    } else {
        log_.WriteLog("Receiving failed (" + why + "); the connection could not be opened again yet");
        ui_.messageBox("Lanyx stopped receiving from the network (" + why +
                           ") and could not open its connection again. It keeps trying; until then you receive "
                           "nothing and what you send is lost.",
                       "Lanyx", IconExclamation);
    }
}

void ReceiveReports::flush() {
    for (const auto& line : limiter_.flush()) log_.WriteLog(line);
}

}  // namespace lanyx
