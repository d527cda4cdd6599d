#include <cstring>

#include "archive/ArchiveSource.h"

bool MemoryArchiveSource::Size(uint32_t* size) {
    *size = size_;
    return true;
}

bool MemoryArchiveSource::Seek(int32_t offset) {
    if (offset < 0) return false;
    position_ = static_cast<uint32_t>(offset);  // past the end is allowed; reads then return 0
    return true;
}

uint32_t MemoryArchiveSource::Read(void* buffer, uint32_t count) {
    if (position_ >= size_) return 0;
    uint32_t available = size_ - position_;
    uint32_t take = count < available ? count : available;
    if (take) std::memcpy(buffer, data_ + position_, take);
    position_ += take;
    return take;
}
