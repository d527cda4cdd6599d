#pragma once
#include <cstdint>

// Counts the progress bar's steps on the worker and tells when the bar is
// worth redrawing: each redraw is a cross-thread message, which costs about a
// millisecond under Wine, while a 300 MB archive makes some 12,000 steps.
// The bar is redrawn only when its filled part would grow by a pixel and no
// redraw happened within the last kRedrawIntervalMs; Flush shows the rest.
class ProgressThrottle {
public:
    static const uint32_t kRedrawIntervalMs = 100;

    // range: the bar's maximum position; pixels: its width (0 when unknown:
    // then every step counts as visible).
    void Reset(uint32_t range, uint32_t pixels, uint32_t nowMs);

    // One step; true when the bar should now be set to Position().
    bool Step(uint32_t nowMs);

    // True when the bar lags behind the counted steps; marks them shown.
    bool Flush();

    uint32_t Position() const { return position_; }

private:
    uint32_t PixelOf(uint32_t position) const;

    uint32_t range_ = 0;
    uint32_t pixels_ = 0;
    uint32_t position_ = 0;
    uint32_t shownPosition_ = 0;
    uint32_t shownAtMs_ = 0;
};
