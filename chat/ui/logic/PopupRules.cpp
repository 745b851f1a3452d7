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
    const std::int32_t rest = alertHeight * kPopupRestUnit;
    if (corner == 1 || corner == 2) {
        top += 50;
        return top < rest;
    }
    if (corner == 3 || corner == 4) {
        top -= 50;
        return top + height > screenH - rest;
    }
    return false;
}

}  // namespace lanyx::ui
