#include "archive/FileArchiveSource.h"

FileArchiveSource::~FileArchiveSource() {
    if (file_) std::fclose(file_);
}

bool FileArchiveSource::Open(const char* fileName) {
    file_ = std::fopen(fileName, "rb");
    if (!file_) return false;
    // glibc ignores the size unless it is given the buffer, and would then
    // make one system call per 4 KB refill of the stream.
    readAhead_.reset(new char[kReadAhead]);
    std::setvbuf(file_, readAhead_.get(), _IOFBF, kReadAhead);
    return true;
}

bool FileArchiveSource::Size(uint32_t* size) {
    long here = std::ftell(file_);
    if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return false;
    long end = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    if (end < 0 || static_cast<unsigned long>(end) > 0xFFFFFFFFul) return false;
    *size = static_cast<uint32_t>(end);
    return true;
}

bool FileArchiveSource::Seek(int32_t offset) { return offset >= 0 && std::fseek(file_, offset, SEEK_SET) == 0; }

uint32_t FileArchiveSource::Read(void* buffer, uint32_t count) {
    return static_cast<uint32_t>(std::fread(buffer, 1, count, file_));
}
