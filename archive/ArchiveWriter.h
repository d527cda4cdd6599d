#pragma once
// Writes setup archives: header, one gzip stream (zlib level 9, no time
// stamp) of member records, and the trailing header offset. Shared by the
// packer and by tests that need archives, sound or deliberately damaged.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Where the archive goes; it may already hold data the archive is appended to.
class ArchiveSink {
public:
    virtual ~ArchiveSink() = default;
    virtual bool Write(const void* data, size_t size) = 0;
    // Overwrites bytes already written (the counts in the header).
    virtual bool WriteAt(uint64_t offset, const void* data, size_t size) = 0;
    virtual uint64_t Position() const = 0;
};

class MemorySink : public ArchiveSink {
public:
    bool Write(const void* data, size_t size) override;
    bool WriteAt(uint64_t offset, const void* data, size_t size) override;
    uint64_t Position() const override { return bytes.size(); }
    std::vector<uint8_t> bytes;
};

// Appends to an open file (not owned) from its current end.
class FileSink : public ArchiveSink {
public:
    explicit FileSink(std::FILE* file);
    bool Write(const void* data, size_t size) override;
    bool WriteAt(uint64_t offset, const void* data, size_t size) override;
    uint64_t Position() const override { return position_; }

private:
    std::FILE* file_;
    uint64_t position_ = 0;
};

enum ArchivePayloadKind { PayloadGzip, PayloadStored };

// Files of 2 GB or more cannot be addressed by the reader's 32-bit offsets.
constexpr uint64_t kMaxArchiveFileSize = 0x7FFFFFFFull;

class ArchiveWriter {
public:
    explicit ArchiveWriter(ArchiveSink& sink, ArchivePayloadKind kind = PayloadGzip);
    ~ArchiveWriter();
    ArchiveWriter(const ArchiveWriter&) = delete;
    ArchiveWriter& operator=(const ArchiveWriter&) = delete;

    // Every operation returns false once anything failed; Error() says why.
    bool Begin();
    bool BeginMember(const char* name, uint32_t dataLength);
    bool WriteData(const void* data, size_t size);
    bool EndMember();
    bool AddMember(const char* name, const void* data, uint32_t dataLength);
    // Bytes placed in the payload as they are, for building damaged archives.
    bool AddRawPayload(const void* data, size_t size);
    // Lets any name through, so that tests can build what the reader refuses.
    void AllowAnyName() { checkNames_ = false; }
    // Replaces the counted memberCount and totalDataSize in the header.
    void OverrideCounts(uint32_t memberCount, uint32_t totalDataSize);
    bool Finish();

    const std::string& Error() const { return error_; }
    uint32_t MemberCount() const { return memberCount_; }
    uint32_t TotalDataSize() const { return static_cast<uint32_t>(totalDataSize_); }

private:
    bool Fail(const std::string& message);
    bool Emit(const void* data, size_t size);
    bool Deflate(const void* data, size_t size, int flush);
    bool CheckSize();
    bool WriteTrailer();

    ArchiveSink& sink_;
    ArchivePayloadKind kind_;
    z_stream zstream_ = {};
    bool deflating_ = false;
    bool failed_ = false;
    std::string error_;
    uint64_t headerOffset_ = 0;
    uint32_t memberCount_ = 0;
    uint64_t totalDataSize_ = 0;
    bool checkNames_ = true;
    bool countsOverridden_ = false;
    uint32_t headerMemberCount_ = 0, headerTotalDataSize_ = 0;
    uint64_t memberRemaining_ = 0;
    bool inMember_ = false;
    uLong crc_ = 0;
    uint32_t payloadSize_ = 0;  // ISIZE: modulo 2^32
    std::vector<uint8_t> out_;
};

// Why a member name cannot go into an archive, or empty when it can: what the
// setup refuses, and names Windows would not create as written.
std::string CheckMemberName(const char* name);
