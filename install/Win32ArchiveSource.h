#pragma once
#include <windows.h>

#include "install/ArchiveSource.h"

// The archive file opened with CreateFileA (read access, read sharing). Reads
// go through a 64 KB read-ahead buffer: the stream's 4 KB refills would
// otherwise cost one system call each.
class Win32ArchiveSource : public ArchiveSource {
public:
    Win32ArchiveSource() = default;
    ~Win32ArchiveSource() override;
    Win32ArchiveSource(const Win32ArchiveSource&) = delete;
    Win32ArchiveSource& operator=(const Win32ArchiveSource&) = delete;

    // False when the file cannot be opened or, OutOfMemory(), the read-ahead
    // buffer cannot be allocated.
    bool Open(const char* fileName);
    bool OutOfMemory() const { return outOfMemory_; }
    bool Size(uint32_t* size) override;
    bool Seek(int32_t offset) override;
    uint32_t Read(void* buffer, uint32_t count) override;

private:
    static constexpr DWORD kReadAhead = 65536;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    uint8_t* buffer_ = nullptr;
    DWORD buffered_ = 0, consumed_ = 0;
    bool outOfMemory_ = false;
};
