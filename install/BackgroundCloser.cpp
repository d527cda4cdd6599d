#include "install/BackgroundCloser.h"

#include <exception>

// A thread that cannot be started leaves fewer closers; none at all means
// closing on the caller's thread: slower, not wrong. Nothing may throw here.
BackgroundCloser::BackgroundCloser(CloseFunction close, void* context, uint32_t threadCount)
    : close_(close), context_(context) {
    if (threadCount > kMaxThreads) threadCount = kMaxThreads;
    for (uint32_t i = 0; i < threadCount; ++i) {
        try {
            threads_[threadCount_] = std::thread(&BackgroundCloser::Run, this);
            ++threadCount_;
        } catch (const std::exception&) {
            break;
        }
    }
}

BackgroundCloser::~BackgroundCloser() {
    {
        SyncGuard lock(mutex_);
        stop_ = true;
    }
    work_.NotifyAll();
    for (uint32_t i = 0; i < threadCount_; ++i) threads_[i].join();
}

bool BackgroundCloser::ShouldSleep() const {
    if (count_ == 0) return !stop_;
    return count_ < kWakeAt && !draining_ && !stop_;
}

void BackgroundCloser::Run() {
    SyncGuard lock(mutex_);
    for (;;) {
        while (ShouldSleep()) {
            ++sleeping_;
            work_.Wait(mutex_);
            --sleeping_;
        }
        if (count_ == 0) return;  // stopped with nothing left
        // Once awake, a closer empties the queue before it sleeps again.
        while (count_) {
            void* handle = queue_[head_];
            head_ = (head_ + 1) % kCapacity;
            --count_;
            ++busy_;
            bool wakeProducer = producerWaiting_;
            mutex_.Unlock();
            if (wakeProducer) space_.NotifyOne();
            close_(context_, handle);
            mutex_.Lock();
            --busy_;
        }
        if (busy_ == 0 && draining_) idle_.NotifyAll();
    }
}

void BackgroundCloser::Close(void* handle) {
    if (!threadCount_) {
        close_(context_, handle);
        return;
    }
    bool wake;
    {
        SyncGuard lock(mutex_);
        while (count_ == kCapacity) {
            producerWaiting_ = true;
            space_.Wait(mutex_);
            producerWaiting_ = false;
        }
        queue_[(head_ + count_) % kCapacity] = handle;
        ++count_;
        wake = count_ == kWakeAt && sleeping_ > 0;
    }
    if (wake) work_.NotifyAll();
}

void BackgroundCloser::Drain() {
    if (!threadCount_) return;
    SyncGuard lock(mutex_);
    if (count_ == 0 && busy_ == 0) return;
    draining_ = true;
    work_.NotifyAll();
    while (count_ || busy_) idle_.Wait(mutex_);
    draining_ = false;
}
