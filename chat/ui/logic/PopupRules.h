#pragma once
// Where an alert popup starts, how it slides in and how long it flashes.
// All measures in twips; the screen, not the work area, is used.
#include <cstdint>

namespace lanyx::ui {

struct PopupSize {
    std::int32_t width;
    std::int32_t height;
};
PopupSize PopupSizeFor(std::int32_t labelWidth, std::int32_t labelHeight, std::int32_t closeHeight);

struct PopupStart {
    std::int32_t left;
    std::int32_t top;
    bool slides;  // corners 1 to 4 slide in; 0 (or any other) shows the popup where it is
};
// Just off the screen at corner P (1 top left, 2 top right, 3 bottom left, 4 bottom right).
PopupStart PopupStartFor(int corner, std::int32_t screenW, std::int32_t screenH, PopupSize size,
                         std::int32_t currentLeft, std::int32_t currentTop);

// One slide step of 50 twips; returns false once the popup rests H × 450
// twips from its edge.
bool PopupSlideStep(int corner, int alertHeight, std::int32_t screenH, std::int32_t height, std::int32_t& top);
constexpr std::int32_t kPopupRestUnit = 450;

// Flashing: the count of toggles left; six toggles, one every 500 ms.
class PopupFlash {
public:
    explicit PopupFlash(int count = 6) : left_(count) {}
    // One timer tick: toggles; returns false when the timer should stop.
    bool tick() {
        --left_;
        lit_ = !lit_;
        return left_ > 0;
    }
    bool lit() const { return lit_; }

private:
    int left_;
    bool lit_ = false;
};

}  // namespace lanyx::ui
