#include <gtest/gtest.h>

#include <vector>

#include "install/ProgressThrottle.h"

namespace {

const uint32_t kLater = ProgressThrottle::kRedrawIntervalMs;

// Steps at a fixed pace; returns the positions at which a redraw was asked for.
std::vector<uint32_t> StepAtPace(ProgressThrottle& throttle, uint32_t steps, uint32_t msPerStep, uint32_t startMs = 0) {
    std::vector<uint32_t> shown;
    for (uint32_t i = 1; i <= steps; ++i) {
        if (throttle.Step(startMs + i * msPerStep)) shown.push_back(throttle.Position());
    }
    return shown;
}

TEST(ProgressThrottle, CountsEveryStepWhateverItShows) {
    ProgressThrottle throttle;
    throttle.Reset(12000, 300, 0);
    StepAtPace(throttle, 9000, 0);
    EXPECT_EQ(9000u, throttle.Position());
    throttle.Reset(50, 300, 0);
    EXPECT_EQ(0u, throttle.Position());
}

TEST(ProgressThrottle, StepsWithinTheFirstIntervalRedrawNothing) {
    ProgressThrottle throttle;
    throttle.Reset(12000, 300, 1000);
    EXPECT_TRUE(StepAtPace(throttle, 12000, 0, 1000).empty());
}

TEST(ProgressThrottle, FastStepsRedrawAtMostOncePerInterval) {
    ProgressThrottle throttle;
    throttle.Reset(12000, 300, 0);
    // 12,000 steps in 3 seconds: 30 intervals, so at most 30 redraws.
    std::vector<uint32_t> shown;
    for (uint32_t i = 1; i <= 12000; ++i) {
        if (throttle.Step(i / 4)) shown.push_back(i);
    }
    EXPECT_GE(shown.size(), 29u);
    EXPECT_LE(shown.size(), 30u);
    for (size_t i = 1; i < shown.size(); ++i) EXPECT_GE((shown[i] - shown[i - 1]) / 4, kLater);
}

TEST(ProgressThrottle, SlowStepsRedrawOnlyWhenAPixelMoves) {
    ProgressThrottle throttle;
    throttle.Reset(1000, 100, 0);  // ten steps a pixel
    std::vector<uint32_t> shown = StepAtPace(throttle, 1000, kLater);  // every step after a full interval
    ASSERT_EQ(100u, shown.size());
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ((i + 1) * 10, shown[i]);
}

TEST(ProgressThrottle, WithoutAWidthEverySlowStepRedraws) {
    ProgressThrottle throttle;
    throttle.Reset(5, 0, 0);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4, 5}), StepAtPace(throttle, 5, kLater));
}

TEST(ProgressThrottle, FlushShowsWhatTheLastRedrawLeftOut) {
    ProgressThrottle throttle;
    throttle.Reset(1000, 100, 0);
    EXPECT_FALSE(throttle.Flush());  // nothing counted yet
    StepAtPace(throttle, 7, 0);
    EXPECT_TRUE(throttle.Flush());
    EXPECT_EQ(7u, throttle.Position());
    EXPECT_FALSE(throttle.Flush());  // already shown
}

TEST(ProgressThrottle, TickCounterWrapDoesNotStopRedraws) {
    ProgressThrottle throttle;
    uint32_t start = 0xFFFFFFFFu - 50;
    throttle.Reset(100, 100, start);
    EXPECT_FALSE(throttle.Step(start + 10));
    EXPECT_TRUE(throttle.Step(start + kLater));  // past the wrap
    EXPECT_EQ(2u, throttle.Position());
}

}  // namespace
