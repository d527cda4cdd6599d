#include "install/Win32ArchiveSource.h"

Win32ArchiveSource::~Win32ArchiveSource() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool Win32ArchiveSource::Open(const char* fileName) {
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
    return SetFilePointer(file_, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

uint32_t Win32ArchiveSource::Read(void* buffer, uint32_t count) {
    DWORD got = 0;
    if (!ReadFile(file_, buffer, count, &got, nullptr)) return 0;  // a failed read counts as end of file
    return got;
}
