#include "install/Win32ArchiveSource.h"

#include <cstring>
#include <new>

Win32ArchiveSource::~Win32ArchiveSource() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    delete[] buffer_;
}

bool Win32ArchiveSource::Open(const char* fileName) {
    // Runs on the install thread, where an exception would end the process
    // without a message: a failed allocation is reported instead.
    buffer_ = new (std::nothrow) uint8_t[kReadAhead];
    outOfMemory_ = !buffer_;
    if (outOfMemory_) return false;
    file_ = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    return file_ != INVALID_HANDLE_VALUE;
}

bool Win32ArchiveSource::Size(uint32_t* size) {
    DWORD low = GetFileSize(file_, nullptr);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
    *size = low;
    return true;
}

bool Win32ArchiveSource::Seek(int32_t offset) {
    buffered_ = consumed_ = 0;
    return SetFilePointer(file_, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

uint32_t Win32ArchiveSource::Read(void* buffer, uint32_t count) {
    if (consumed_ == buffered_) {
        buffered_ = consumed_ = 0;
        if (!ReadFile(file_, buffer_, kReadAhead, &buffered_, nullptr)) buffered_ = 0;  // failure reads as end of file
    }
    DWORD available = buffered_ - consumed_;
    DWORD take = count < available ? count : available;
    std::memcpy(buffer, buffer_ + consumed_, take);
    consumed_ += take;
    return take;
}
