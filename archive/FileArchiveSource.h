#pragma once
// An archive read through the C library (tools, benchmarks, native tests).
#include <cstdio>
#include <memory>

#include "archive/ArchiveSource.h"

class FileArchiveSource : public ArchiveSource {
public:
    FileArchiveSource() = default;
    ~FileArchiveSource() override;
    FileArchiveSource(const FileArchiveSource&) = delete;
    FileArchiveSource& operator=(const FileArchiveSource&) = delete;

    bool Open(const char* fileName);
    bool Size(uint32_t* size) override;
    bool Seek(int32_t offset) override;
    uint32_t Read(void* buffer, uint32_t count) override;

private:
    std::FILE* file_ = nullptr;
    static constexpr size_t kReadAhead = 65536;
    std::unique_ptr<char[]> readAhead_;  // freed after the destructor has closed file_
};
