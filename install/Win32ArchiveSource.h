#pragma once
#include <windows.h>

#include "install/ArchiveSource.h"

// The archive file opened with CreateFileA (read access, read sharing).
class Win32ArchiveSource : public ArchiveSource {
public:
    Win32ArchiveSource() = default;
    ~Win32ArchiveSource() override;
    Win32ArchiveSource(const Win32ArchiveSource&) = delete;
    Win32ArchiveSource& operator=(const Win32ArchiveSource&) = delete;

    bool Open(const char* fileName);
    bool Size(uint32_t* size) override;
    bool Seek(int32_t offset) override;
    uint32_t Read(void* buffer, uint32_t count) override;

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};
