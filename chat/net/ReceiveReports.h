#pragma once
// What goes wrong while the node receives, for the log and the user: lines
// about what peers sent, limited per kind (LogLimiter), the datagrams the
// system dropped, and a receiving socket that broke.
#include "Error.h"
#include "EventLog.h"
#include "Ports.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lanyx {

class ReceiveReports {
public:
    ReceiveReports(EventLog& log, EventPump& pump, UserInterface& ui) : log_(log), pump_(pump), ui_(ui) {}

    // A line about something a peer sent: limited per kind, see LogLimiter.
    void limited(std::string_view kind, const std::string& line);
    // A datagram or a message of a kind this copy does not know.
    void unknownData(std::string_view text, std::string_view sender);
    void error(int number, const std::string& description);
    // A datagram refused: logged, never shown (anybody on the segment can
    // send anything).
    void refused(const Error& e);
    // The system's running count of received datagrams it dropped: logged
    // when it grew, and then true (who was lost among them is unknown).
    bool dropped(std::uint32_t total);
    // The transport stopped receiving and opened its socket again or keeps
    // trying: logged, and the user is told.
    void failed(int number, const std::string& text, bool reopened);
    // The summaries of what was left out so far go to the log now.
    void flush();

private:
    EventLog& log_;
    EventPump& pump_;
    UserInterface& ui_;
    LogLimiter limiter_;
    std::uint32_t dropsLogged_ = 0;
};

}  // namespace lanyx
