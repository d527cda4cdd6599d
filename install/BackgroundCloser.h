#pragma once
// Closes output files on a few threads of their own. On Windows the costly
// moment of a written file is its last close: antivirus scanners look at the
// file then, and CloseHandle waits for them (milliseconds per file). The
// member loop hands each finished handle over and goes on; Drain waits until
// every handed-over file is closed, which the extraction does before it
// returns, so that nothing after it (the uninstall log above all) sees a file
// that is still open.
#include <cstdint>
#include <thread>

#include "archive/ThreadSync.h"

class BackgroundCloser {
public:
    // Closes one item handed to Close; context is the one given below.
    typedef void (*CloseFunction)(void* context, void* item);
    static constexpr uint32_t kCapacity = 32;
    // Closers are woken once this many handles wait (or by Drain): a wake-up
    // costs a system call, under Wine a round trip to its server, as much as
    // a close itself.
    static constexpr uint32_t kWakeAt = 8;
    static constexpr uint32_t kMaxThreads = 4;

    // threadCount is capped at kMaxThreads. With no thread started (0 asked,
    // or none could be), handles are closed at once on the caller's thread.
    BackgroundCloser(CloseFunction close, void* context, uint32_t threadCount);
    ~BackgroundCloser();  // drains, then ends the threads
    BackgroundCloser(const BackgroundCloser&) = delete;
    BackgroundCloser& operator=(const BackgroundCloser&) = delete;

    // Waits only while kCapacity handles are already waiting.
    void Close(void* handle);
    // Returns once every handle given to Close has been closed.
    void Drain();
    uint32_t Threads() const { return threadCount_; }

private:
    void Run();
    bool ShouldSleep() const;

    const CloseFunction close_;
    void* const context_;
    std::thread threads_[kMaxThreads];
    uint32_t threadCount_ = 0;

    SyncLock mutex_;
    SyncCondition work_, space_, idle_;
    void* queue_[kCapacity] = {};
    uint32_t head_ = 0, count_ = 0;
    uint32_t busy_ = 0, sleeping_ = 0;
    bool producerWaiting_ = false;
    bool draining_ = false;
    bool stop_ = false;
};
