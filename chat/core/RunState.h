#pragma once
// The run-time state every window reads: who we are on the network right now.
#include "Settings.h"

#include <cstdint>
#include <string>

namespace lanyx {

struct RunState {
    std::string MyName;       // the name datagrams are sent under
    std::int16_t Status = 0;  // 0 available, 1 alerts only, 2 neither; never saved
    bool ProbeMode = false;   // listening under the probe name; no join notice
    bool SafeMode = false;    // plain menus instead of the owner-drawn ones
    std::string VersionText;
};

// The probe name: "_" and the logon name. A leading "_" tells peers that the
// sender is only looking.
inline std::string ProbeName(const std::string& logonName) {
    return "_" + logonName;
}

// Any "safe" in the command line, in any case.
bool SafeModeFromCommandLine(const std::string& commandLine);

// "2.1.43" from major 2, minor 1, revision 43: decimal, no leading zeros.
std::string MakeVersionText(int major, int minor, int revision);

// Where new chat windows start: centred, 2500 × 3800 twips.
Geometry CenteredChatGeometry(std::int32_t screenWidthTwips, std::int32_t screenHeightTwips);

}  // namespace lanyx
