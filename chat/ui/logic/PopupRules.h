#pragma once
// Where an alert popup starts, how it slides in and how long it flashes.
// All measures in twips; the screen, not the work area, is used.
#include <cstdint>
#include <vector>

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
constexpr std::int32_t kPopupSlideStep = 50;
// The same step towards a rest `rest` twips from the edge.
bool PopupSlideTo(int corner, std::int32_t rest, std::int32_t screenH, std::int32_t height, std::int32_t& top);

// A stretch of the screen's height a resting popup takes, counted in twips
// away from its corner's edge (the top edge for corners 1 and 2, the bottom
// one for 3 and 4): from `from` up to, not including, `to`.
struct PopupBand {
    std::int32_t from;
    std::int32_t to;
};
// The band of a popup of `height` resting `rest` twips from the edge; the
// slide's last step may carry it up to a step further.
PopupBand PopupBandAt(std::int32_t rest, std::int32_t height);
// How far from the edge a new popup of `height` rests: H × 450 twips when
// nothing there is taken, otherwise the first place further along the edge
// whose band meets none of `taken` and stays on the screen; H × 450 again
// when the screen has no such place left.
std::int32_t PopupRestFor(int alertHeight, std::int32_t screenH, std::int32_t height,
                          const std::vector<PopupBand>& taken);
// A popup resting `rest` twips from the edge that grew, or found another
// there when its slide ended: it stays while its band meets none of
// `taken`, and moves to the first free place otherwise; with none free on
// the screen it stays.
std::int32_t PopupRestKept(std::int32_t rest, int alertHeight, std::int32_t screenH, std::int32_t height,
                           const std::vector<PopupBand>& taken);

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
