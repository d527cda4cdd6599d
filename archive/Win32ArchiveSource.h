#pragma once
#include <windows.h>

#include "archive/ArchiveSource.h"

// A file opened with CreateFileA (read access, read sharing), or a window of
// offset and length on a handle that stays open elsewhere (a file carried in
// setup.exe's bundle). Reads go through a 64 KB read-ahead buffer: the
// stream's 4 KB refills would otherwise cost one system call each. Each read
// sets the file pointer first, so sources on one handle (which read one at a
// time) do not disturb each other.
class Win32ArchiveSource : public ArchiveSource {
public:
    Win32ArchiveSource() = default;
    ~Win32ArchiveSource() override;
    Win32ArchiveSource(const Win32ArchiveSource&) = delete;
    Win32ArchiveSource& operator=(const Win32ArchiveSource&) = delete;

    // False when the file cannot be opened or, OutOfMemory(), the read-ahead
    // buffer cannot be allocated.
    bool Open(const char* fileName);
    // The handle is not owned and must outlive the source; false, with
    // OutOfMemory(), when the read-ahead buffer cannot be allocated.
    bool OpenWindow(HANDLE file, uint32_t offset, uint32_t length);
    bool OutOfMemory() const { return outOfMemory_; }
    bool Size(uint32_t* size) override;
    bool Seek(int32_t offset) override;
    uint32_t Read(void* buffer, uint32_t count) override;

private:
    bool AllocateBuffer();
    DWORD ReadAt(uint32_t position, void* buffer, DWORD count);

    static constexpr DWORD kReadAhead = 65536;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool owned_ = false;
    bool windowed_ = false;
    uint32_t base_ = 0, length_ = 0;  // the window, when windowed_
    uint32_t position_ = 0;           // of the next byte the buffer does not hold, from base_
    uint8_t* buffer_ = nullptr;
    DWORD buffered_ = 0, consumed_ = 0;
    bool outOfMemory_ = false;
};
