#include "archive/Win32ArchiveSource.h"

#include <cstring>
#include <new>

Win32ArchiveSource::~Win32ArchiveSource() {
    if (owned_ && file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    delete[] buffer_;
}

// Runs on the install thread, where an exception would end the process
// without a message: a failed allocation is reported instead.
bool Win32ArchiveSource::AllocateBuffer() {
    if (!buffer_) buffer_ = new (std::nothrow) uint8_t[kReadAhead];
    outOfMemory_ = !buffer_;
    return buffer_ != nullptr;
}

bool Win32ArchiveSource::Open(const char* fileName) {
    if (!AllocateBuffer()) return false;
    file_ = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return false;
    owned_ = true;
    return true;
}

bool Win32ArchiveSource::OpenWindow(HANDLE file, uint32_t offset, uint32_t length) {
    if (!AllocateBuffer()) return false;
    file_ = file;
    windowed_ = true;
    base_ = offset;
    length_ = length;
    return true;
}

bool Win32ArchiveSource::Size(uint32_t* size) {
    if (windowed_) {
        *size = length_;
        return true;
    }
    DWORD low = GetFileSize(file_, nullptr);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
    *size = low;
    return true;
}

bool Win32ArchiveSource::Seek(int32_t offset) {
    buffered_ = consumed_ = 0;
    if (offset < 0) return false;
    position_ = static_cast<uint32_t>(offset);
    return true;
}

// A failed read, or one at the end of the file or window, delivers nothing.
// The file pointer is set before every read, so that sources sharing a handle
// do not disturb each other. A read that names its position (OVERLAPPED) would
// do the same, but Wine then asks its server about a completion port for
// every read: some 2,700 round trips for a 170 MB archive.
DWORD Win32ArchiveSource::ReadAt(uint32_t position, void* buffer, DWORD count) {
    if (windowed_) {
        if (position >= length_) return 0;
        if (count > length_ - position) count = length_ - position;
    }
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(base_) + position;
    DWORD got = 0;
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) || !ReadFile(file_, buffer, count, &got, nullptr)) return 0;
    return got;
}

uint32_t Win32ArchiveSource::Read(void* buffer, uint32_t count) {
    if (consumed_ == buffered_) {
        buffered_ = consumed_ = 0;
        if (count >= kReadAhead) {  // nothing to gain from the buffer: straight into the caller's
            DWORD got = ReadAt(position_, buffer, count);
            position_ += got;
            return got;
        }
        buffered_ = ReadAt(position_, buffer_, kReadAhead);
        position_ += buffered_;
    }
    DWORD available = buffered_ - consumed_;
    DWORD take = count < available ? count : available;
    std::memcpy(buffer, buffer_ + consumed_, take);
    consumed_ += take;
    return take;
}
