#include "install/ProgressThrottle.h"

void ProgressThrottle::Reset(uint32_t range, uint32_t pixels, uint32_t nowMs) {
    range_ = range;
    pixels_ = pixels;
    position_ = 0;
    shownPosition_ = 0;
    shownAtMs_ = nowMs;
}

uint32_t ProgressThrottle::PixelOf(uint32_t position) const {
    if (!pixels_ || !range_) return position;
    return static_cast<uint32_t>(static_cast<uint64_t>(position) * pixels_ / range_);
}

bool ProgressThrottle::Step(uint32_t nowMs) {
    ++position_;
    if (PixelOf(position_) == PixelOf(shownPosition_)) return false;
    // Unsigned difference: right across the tick counter's wrap as well.
    if (nowMs - shownAtMs_ < kRedrawIntervalMs) return false;
    shownPosition_ = position_;
    shownAtMs_ = nowMs;
    return true;
}

bool ProgressThrottle::Flush() {
    if (shownPosition_ == position_) return false;
    shownPosition_ = position_;
    return true;
}
