#include "PopupRules.h"

#include <algorithm>

namespace lanyx::ui {

PopupSize PopupSizeFor(std::int32_t labelWidth, std::int32_t labelHeight, std::int32_t closeHeight) {
    return {std::max<std::int32_t>(labelWidth + 100, 2000), closeHeight + labelHeight + 300};
}

PopupStart PopupStartFor(int corner, std::int32_t screenW, std::int32_t screenH, PopupSize size,
                         std::int32_t currentLeft, std::int32_t currentTop) {
    switch (corner) {
    case 1: return {0, -size.height, true};
    case 2: return {screenW - size.width, -size.height, true};
    case 3: return {0, screenH, true};
    case 4: return {screenW - size.width, screenH, true};
    default: return {currentLeft, currentTop, false};
    }
}

bool PopupSlideStep(int corner, int alertHeight, std::int32_t screenH, std::int32_t height, std::int32_t& top) {
    return PopupSlideTo(corner, alertHeight * kPopupRestUnit, screenH, height, top);
}

bool PopupSlideTo(int corner, std::int32_t rest, std::int32_t screenH, std::int32_t height, std::int32_t& top) {
    if (corner == 1 || corner == 2) {
        top += kPopupSlideStep;
        return top < rest;
    }
    if (corner == 3 || corner == 4) {
        top -= kPopupSlideStep;
        return top + height > screenH - rest;
    }
    return false;
}

PopupBand PopupBandAt(std::int32_t rest, std::int32_t height) {
    return {rest, rest + height + kPopupSlideStep};
}

namespace {
bool meetsAny(PopupBand mine, const std::vector<PopupBand>& taken) {
    return std::any_of(taken.begin(), taken.end(),
                       [&](const PopupBand& b) { return b.from < mine.to && mine.from < b.to; });
}
}  // namespace

std::int32_t PopupRestFor(int alertHeight, std::int32_t screenH, std::int32_t height,
                          const std::vector<PopupBand>& taken) {
    const std::int32_t first = alertHeight * kPopupRestUnit;
    // The places worth trying: the usual one, and just past each band
    // taken; the nearest to the edge that is free wins.
    std::vector<std::int32_t> tries{first};
    for (const PopupBand& b : taken)
        if (b.to > first) tries.push_back(b.to);
    std::sort(tries.begin(), tries.end());
    for (const std::int32_t rest : tries) {
        const PopupBand mine = PopupBandAt(rest, height);
        if (mine.to > screenH) break;
        if (!meetsAny(mine, taken)) return rest;
    }
    return first;
}

std::int32_t PopupRestKept(std::int32_t rest, int alertHeight, std::int32_t screenH, std::int32_t height,
                           const std::vector<PopupBand>& taken) {
    if (!meetsAny(PopupBandAt(rest, height), taken)) return rest;
    // Nowhere free: it stays rather than cover the popup at the usual place.
    const std::int32_t free = PopupRestFor(alertHeight, screenH, height, taken);
    return meetsAny(PopupBandAt(free, height), taken) ? rest : free;
}

}  // namespace lanyx::ui
