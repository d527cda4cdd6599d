#include "install/LaterWrites.h"

#include <cstring>
#include <new>

#include "install/OutputFile.h"

LaterWrites::WriteFunction LaterWrites::write = WriteWhole;

LaterWrites::LaterWrites() : slots_(new (std::nothrow) Slot[kSlots]) {}

// Only the member loop takes slots; closers only give them back.
void* LaterWrites::Hold(HANDLE file, const void* data, uint32_t length) {
    if (!slots_ || length > kLargest) return nullptr;
    for (uint32_t i = 0; i < kSlots; ++i) {
        Slot& slot = slots_[i];
        if (slot.busy.load(std::memory_order_acquire)) continue;
        slot.busy.store(true, std::memory_order_relaxed);
        slot.file = file;
        slot.length = length;
        std::memcpy(slot.data, data, length);
        return &slot;
    }
    return nullptr;
}

// Handles are small numbers, never inside the slots' allocation.
bool LaterWrites::IsSlot(const void* item) const {
    if (!slots_) return false;
    uintptr_t at = reinterpret_cast<uintptr_t>(item);
    uintptr_t first = reinterpret_cast<uintptr_t>(&slots_[0]);
    return at >= first && at < first + kSlots * sizeof(Slot);
}

void LaterWrites::Finish(void* item) {
    Slot& slot = *static_cast<Slot*>(item);
    if (!write(slot.file, slot.data, slot.length)) {
        DWORD code = GetLastError();
        SetEndOfFile(slot.file);
        failureCode_.store(code, std::memory_order_relaxed);
        failed_.store(true, std::memory_order_release);
    }
    CloseHandle(slot.file);
    slot.busy.store(false, std::memory_order_release);
}
