#pragma once
// The lock and conditions the extraction's threads hand work over with. On
// Windows they are the system's slim lock and condition variable: under Wine
// these wait on futexes, where the C++ library's (winpthreads) wait on
// semaphores, a round trip to Wine's server for every wait and every wake-up.
#ifdef _WIN32
#include <windows.h>
#else
#include <condition_variable>
#include <mutex>
#endif

class SyncLock {
public:
    SyncLock() = default;
    SyncLock(const SyncLock&) = delete;
    SyncLock& operator=(const SyncLock&) = delete;
#ifdef _WIN32
    void Lock() { AcquireSRWLockExclusive(&lock_); }
    void Unlock() { ReleaseSRWLockExclusive(&lock_); }
    SRWLOCK* Native() { return &lock_; }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
#else
    void Lock() { lock_.lock(); }
    void Unlock() { lock_.unlock(); }
    std::mutex& Native() { return lock_; }

private:
    std::mutex lock_;
#endif
};

// Holds the lock for a scope.
class SyncGuard {
public:
    explicit SyncGuard(SyncLock& lock) : lock_(lock) { lock_.Lock(); }
    ~SyncGuard() { lock_.Unlock(); }
    SyncGuard(const SyncGuard&) = delete;
    SyncGuard& operator=(const SyncGuard&) = delete;

private:
    SyncLock& lock_;
};

class SyncCondition {
public:
    SyncCondition() = default;
    SyncCondition(const SyncCondition&) = delete;
    SyncCondition& operator=(const SyncCondition&) = delete;
#ifdef _WIN32
    // The lock is held on entry and again on return; wake-ups may be spurious.
    void Wait(SyncLock& lock) { SleepConditionVariableSRW(&condition_, lock.Native(), INFINITE, 0); }
    void NotifyOne() { WakeConditionVariable(&condition_); }
    void NotifyAll() { WakeAllConditionVariable(&condition_); }

private:
    CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
#else
    void Wait(SyncLock& lock) {
        std::unique_lock<std::mutex> held(lock.Native(), std::adopt_lock);
        condition_.wait(held);
        held.release();
    }
    void NotifyOne() { condition_.notify_one(); }
    void NotifyAll() { condition_.notify_all(); }

private:
    std::condition_variable condition_;
#endif
};
