#include "RunState.h"

#include "Text.h"

#include <cmath>

namespace lanyx {

bool SafeModeFromCommandLine(const std::string& commandLine) {
    return toLower(commandLine).find("safe") != std::string::npos;
}

std::string MakeVersionText(int major, int minor, int revision) {
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

Geometry CenteredChatGeometry(std::int32_t screenWidthTwips, std::int32_t screenHeightTwips) {
    Geometry g;
    g.width = 2500;
    g.height = 3800;
    g.left = static_cast<std::int32_t>(std::lround(screenWidthTwips / 2.0 - 2500 / 2.0));
    g.top = static_cast<std::int32_t>(std::lround(screenHeightTwips / 2.0 - 3800 / 2.0));
    return g;
}

}  // namespace lanyx
