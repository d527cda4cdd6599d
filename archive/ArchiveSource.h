#pragma once
// Where the archive's bytes come from: a Windows file handle in setup.exe,
// a file or a memory block in native tests, tools and fuzzing.
#include <cstdint>

class ArchiveSource {
public:
    virtual ~ArchiveSource() = default;
    // The size as a 32-bit value; false when it cannot be determined.
    virtual bool Size(uint32_t* size) = 0;
    // Positions at offset from the start; false when the position is unusable.
    virtual bool Seek(int32_t offset) = 0;
    // Up to count bytes; 0 at end of file and on any failure.
    virtual uint32_t Read(void* buffer, uint32_t count) = 0;
    // Reads may stop short at a buffer's end: this one goes on until count
    // bytes arrived or the source has no more.
    bool ReadFully(void* buffer, uint32_t count) {
        uint8_t* at = static_cast<uint8_t*>(buffer);
        for (uint32_t got; count; at += got, count -= got) {
            got = Read(at, count);
            if (got == 0) return false;
        }
        return true;
    }
};

// A memory block; the source does not own it.
class MemoryArchiveSource : public ArchiveSource {
public:
    MemoryArchiveSource(const void* data, uint32_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    bool Size(uint32_t* size) override;
    bool Seek(int32_t offset) override;
    uint32_t Read(void* buffer, uint32_t count) override;

private:
    const uint8_t* data_;
    uint32_t size_;
    uint32_t position_ = 0;
};
