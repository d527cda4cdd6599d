#pragma once
// Small members' data, written by a closer just before it closes the file:
// the member loop goes on to the next member instead of waiting for the
// write (under Wine the first write through a handle is a round trip to its
// server). The slots are fixed whatever the archive; with none free, a
// member is written at once. A failed write is kept for the member loop,
// which makes nothing more and reports it.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "install/BackgroundCloser.h"

class LaterWrites {
public:
    // Every handle the closers may hold at once, queued or being closed.
    static constexpr uint32_t kSlots = BackgroundCloser::kCapacity + BackgroundCloser::kMaxThreads;
    // Most members of a set are smaller; larger ones are written at once.
    static constexpr uint32_t kLargest = 16 * 1024;

    using WriteFunction = bool (*)(HANDLE file, const void* data, uint32_t length);
    // Writes a slot's data; tests replace it to see a write fail.
    static WriteFunction write;

    LaterWrites();  // without memory for the slots, nothing is put off
    LaterWrites(const LaterWrites&) = delete;
    LaterWrites& operator=(const LaterWrites&) = delete;

    // A slot holding a copy of the data for `file`, or nullptr (too long, none free).
    void* Hold(HANDLE file, const void* data, uint32_t length);
    // Whether a closer's item is a slot (else it is a plain handle).
    bool IsSlot(const void* item) const;
    // On a closer: writes the slot's data, cuts the file after what was
    // written if that fails, closes the file and frees the slot.
    void Finish(void* slot);

    bool Failed() const { return failed_.load(std::memory_order_acquire); }
    // A failed write's GetLastError(), once Failed().
    DWORD FailureCode() const { return failureCode_.load(std::memory_order_relaxed); }

private:
    struct Slot {
        std::atomic<bool> busy{false};
        HANDLE file = INVALID_HANDLE_VALUE;
        uint32_t length = 0;
        uint8_t data[kLargest];
    };

    std::unique_ptr<Slot[]> slots_;
    std::atomic<bool> failed_{false};
    std::atomic<DWORD> failureCode_{0};
};
