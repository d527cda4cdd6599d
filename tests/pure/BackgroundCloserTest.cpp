#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "install/BackgroundCloser.h"

namespace {

// Handles are the numbers 1..n; closing one records it, after a pause for
// every seventh so that some closes are still running when others are asked.
struct ClosedLog {
    std::mutex mutex;
    std::multiset<uintptr_t> closed;
    std::atomic<int> running{0};
};
// The log comes as the closer's context.
void RecordClose(void* context, void* handle) {
    ClosedLog* log = static_cast<ClosedLog*>(context);
    log->running++;
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value % 7 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    {
        std::lock_guard<std::mutex> lock(log->mutex);
        log->closed.insert(value);
    }
    log->running--;
}

void* HandleOf(uintptr_t value) { return reinterpret_cast<void*>(value); }

class BackgroundCloserTest : public ::testing::Test {
protected:
    size_t Closed() {
        std::lock_guard<std::mutex> lock(log.mutex);
        return log.closed.size();
    }
    bool EachClosedOnce(uintptr_t count) {
        std::lock_guard<std::mutex> lock(log.mutex);
        if (log.closed.size() != count) return false;
        for (uintptr_t value = 1; value <= count; ++value)
            if (log.closed.count(value) != 1) return false;
        return true;
    }
    ClosedLog log;
};

TEST_F(BackgroundCloserTest, DrainReturnsOnlyOnceEveryHandleIsClosed) {
    // Fewer than wake a closer, as many as fill the queue, and many more.
    for (uintptr_t count : {uintptr_t(1), uintptr_t(BackgroundCloser::kWakeAt - 1),
                            uintptr_t(BackgroundCloser::kCapacity), uintptr_t(500)}) {
        log.closed.clear();
        BackgroundCloser closer(RecordClose, &log, 2);
        ASSERT_EQ(closer.Threads(), 2u);
        for (uintptr_t value = 1; value <= count; ++value) closer.Close(HandleOf(value));
        closer.Drain();
        EXPECT_EQ(log.running.load(), 0) << count;
        EXPECT_TRUE(EachClosedOnce(count)) << count;
    }
}

TEST_F(BackgroundCloserTest, CloserCanBeDrainedAgainAndUsedAfterADrain) {
    BackgroundCloser closer(RecordClose, &log, 3);
    closer.Drain();  // nothing handed over yet
    EXPECT_EQ(Closed(), 0u);
    for (uintptr_t value = 1; value <= 20; ++value) closer.Close(HandleOf(value));
    closer.Drain();
    EXPECT_EQ(Closed(), 20u);
    for (uintptr_t value = 21; value <= 23; ++value) closer.Close(HandleOf(value));
    closer.Drain();
    closer.Drain();
    EXPECT_TRUE(EachClosedOnce(23));
}

TEST_F(BackgroundCloserTest, DestroyingClosesWhatIsStillWaiting) {
    {
        BackgroundCloser closer(RecordClose, &log, 2);
        for (uintptr_t value = 1; value < BackgroundCloser::kWakeAt; ++value) closer.Close(HandleOf(value));
    }
    EXPECT_TRUE(EachClosedOnce(BackgroundCloser::kWakeAt - 1));
    EXPECT_EQ(log.running.load(), 0);
}

TEST_F(BackgroundCloserTest, WithoutThreadsEachHandleIsClosedBeforeCloseReturns) {
    BackgroundCloser closer(RecordClose, &log, 0);
    EXPECT_EQ(closer.Threads(), 0u);
    for (uintptr_t value = 1; value <= 10; ++value) {
        closer.Close(HandleOf(value));
        EXPECT_EQ(Closed(), value);
    }
    BackgroundCloser capped(RecordClose, &log, 100);
    EXPECT_EQ(capped.Threads(), BackgroundCloser::kMaxThreads);
}

// Two producers would be a misuse; one producer and a Drain from the same
// thread interleaved with closes is what the extraction does on every
// sharing violation: no close is lost or repeated.
TEST_F(BackgroundCloserTest, DrainsBetweenClosesLoseAndRepeatNothing) {
    BackgroundCloser closer(RecordClose, &log, 2);
    for (uintptr_t value = 1; value <= 300; ++value) {
        closer.Close(HandleOf(value));
        if (value % 13 == 0) {
            closer.Drain();
            EXPECT_EQ(Closed(), value);
        }
    }
    closer.Drain();
    EXPECT_TRUE(EachClosedOnce(300));
}

}  // namespace
