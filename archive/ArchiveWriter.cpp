#include "archive/ArchiveWriter.h"

#include <cstring>

#include "archive/ArchiveFormat.h"
#include "install/MemberPlacement.h"
#include "setup/NameChars.h"
#include "setup/NameRules.h"

bool MemorySink::Write(const void* data, size_t size) {
    const uint8_t* bytes_in = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), bytes_in, bytes_in + size);
    return true;
}

bool MemorySink::WriteAt(uint64_t offset, const void* data, size_t size) {
    if (offset + size > bytes.size()) return false;
    std::memcpy(bytes.data() + offset, data, size);
    return true;
}

FileSink::FileSink(std::FILE* file) : file_(file) {
    if (std::fseek(file_, 0, SEEK_END) == 0) {
        long end = std::ftell(file_);
        if (end > 0) position_ = static_cast<uint64_t>(end);
    }
}

bool FileSink::Write(const void* data, size_t size) {
    if (std::fwrite(data, 1, size, file_) != size) return false;
    position_ += size;
    return true;
}

bool FileSink::WriteAt(uint64_t offset, const void* data, size_t size) {
    if (offset > kMaxArchiveFileSize) return false;
    bool ok = std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0 && std::fwrite(data, 1, size, file_) == size;
    return std::fseek(file_, 0, SEEK_END) == 0 && ok;
}

std::string CheckMemberName(const char* name) {
    size_t length = std::strlen(name);
    if (length == 0) return "empty member name";
    std::string member = "member \"" + std::string(name) + "\" ";
    if (length > kMaxMemberNameLength) return member + "is longer than 260 bytes";
    PlacementFlags flags;
    bool myDocuments = false;
    const char* path = StripPlacementPrefixes(name, &flags, &myDocuments);
    NameProblem problem = CheckCreatedPath(path, false);
    if (problem != NameOk) return member + NameProblemText(problem);
    size_t pathLength = std::strlen(path);
    if (pathLength == 0 || EndsWithChar(path, pathLength, '\\') || EndsWithChar(path, pathLength, '/'))
        return member + "has no file name";
    return std::string();
}

ArchiveWriter::ArchiveWriter(ArchiveSink& sink, ArchivePayloadKind kind) : sink_(sink), kind_(kind) {
    out_.resize(1 << 16);
}

ArchiveWriter::~ArchiveWriter() {
    if (deflating_) deflateEnd(&zstream_);
}

bool ArchiveWriter::Fail(const std::string& message) {
    if (!failed_) error_ = message;
    failed_ = true;
    return false;
}

bool ArchiveWriter::Begin() {
    headerOffset_ = sink_.Position();
    if (headerOffset_ >= kMaxArchiveFileSize) return Fail("the file to append to is 2 GB or larger");
    uint8_t header[kArchiveHeaderSize] = {};
    std::memcpy(header, kArchiveSignature, kArchiveSignatureSize);
    if (!sink_.Write(header, sizeof header)) return Fail("cannot write the archive header");
    crc_ = crc32(0L, Z_NULL, 0);
    if (kind_ == PayloadStored) return true;
    // No name, no time stamp: the same input always gives the same bytes.
    const uint8_t gzipHeader[10] = {kGzipId1, kGzipId2, kGzipDeflate, 0, 0, 0, 0, 0, 2, 255};
    if (!sink_.Write(gzipHeader, sizeof gzipHeader)) return Fail("cannot write the archive header");
    if (deflateInit2(&zstream_, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return Fail("cannot initialise zlib");
    deflating_ = true;
    return true;
}

bool ArchiveWriter::Deflate(const void* data, size_t size, int flush) {
    zstream_.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    zstream_.avail_in = static_cast<uInt>(size);
    int result;
    do {
        zstream_.next_out = out_.data();
        zstream_.avail_out = static_cast<uInt>(out_.size());
        result = deflate(&zstream_, flush);
        if (result == Z_STREAM_ERROR) return Fail("zlib failed");
        size_t produced = out_.size() - zstream_.avail_out;
        if (produced && !sink_.Write(out_.data(), produced)) return Fail("cannot write the archive");
    } while (zstream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    return CheckSize();
}

bool ArchiveWriter::CheckSize() {
    if (sink_.Position() + 8 + kArchiveTrailerSize > kMaxArchiveFileSize)
        return Fail("the archive would be 2 GB or larger");
    return true;
}

bool ArchiveWriter::Emit(const void* data, size_t size) {
    if (failed_) return false;
    crc_ = crc32(crc_, static_cast<const Bytef*>(data), static_cast<uInt>(size));
    payloadSize_ += static_cast<uint32_t>(size);
    if (kind_ == PayloadStored) return sink_.Write(data, size) ? CheckSize() : Fail("cannot write the archive");
    return Deflate(data, size, Z_NO_FLUSH);
}

bool ArchiveWriter::BeginMember(const char* name, uint32_t dataLength) {
    if (failed_) return false;
    if (inMember_) return Fail("internal: member not finished");
    std::string problem = checkNames_ ? CheckMemberName(name) : std::string();
    if (!problem.empty()) return Fail(problem);
    if (std::strlen(name) > 0xFFFF) return Fail("member name too long");
    totalDataSize_ += dataLength;
    ++memberCount_;
    if ((totalDataSize_ >> kProgressChunkShift) + memberCount_ > kMaxProgressSteps)
        return Fail("too much data: the progress bar's range (steps + 1) would exceed 65,535 (about 2 GB)");
    uint8_t field[4];
    uint32_t nameLength = static_cast<uint32_t>(std::strlen(name));
    WriteLe32(field, nameLength);
    if (!Emit(field, 4) || !Emit(name, nameLength)) return false;
    WriteLe32(field, dataLength);
    inMember_ = true;
    memberRemaining_ = dataLength;
    return Emit(field, 4);
}

bool ArchiveWriter::WriteData(const void* data, size_t size) {
    if (failed_) return false;
    if (!inMember_ || size > memberRemaining_) return Fail("member data longer than announced");
    memberRemaining_ -= size;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (size) {  // zlib counts in 32-bit units
        size_t piece = size < (1u << 30) ? size : (1u << 30);
        if (!Emit(bytes, piece)) return false;
        bytes += piece;
        size -= piece;
    }
    return true;
}

bool ArchiveWriter::EndMember() {
    if (failed_) return false;
    if (!inMember_ || memberRemaining_) return Fail("member data shorter than announced");
    inMember_ = false;
    return true;
}

bool ArchiveWriter::AddMember(const char* name, const void* data, uint32_t dataLength) {
    return BeginMember(name, dataLength) && WriteData(data, dataLength) && EndMember();
}

bool ArchiveWriter::AddRawPayload(const void* data, size_t size) { return Emit(data, size); }

void ArchiveWriter::OverrideCounts(uint32_t memberCount, uint32_t totalDataSize) {
    countsOverridden_ = true;
    headerMemberCount_ = memberCount;
    headerTotalDataSize_ = totalDataSize;
}

bool ArchiveWriter::WriteTrailer() {
    uint8_t trailer[8];
    WriteLe32(trailer, static_cast<uint32_t>(crc_));
    WriteLe32(trailer + 4, payloadSize_);
    if (!sink_.Write(trailer, sizeof trailer)) return Fail("cannot write the archive");
    return true;
}

bool ArchiveWriter::Finish() {
    if (failed_) return false;
    if (inMember_) return Fail("member data shorter than announced");
    if (kind_ == PayloadGzip) {
        if (!Deflate(nullptr, 0, Z_FINISH) || !WriteTrailer()) return false;
        deflateEnd(&zstream_);
        deflating_ = false;
    }
    uint8_t counts[8];
    WriteLe32(counts, countsOverridden_ ? headerMemberCount_ : memberCount_);
    WriteLe32(counts + 4, countsOverridden_ ? headerTotalDataSize_ : static_cast<uint32_t>(totalDataSize_));
    if (!sink_.WriteAt(headerOffset_ + kArchiveSignatureSize, counts, sizeof counts))
        return Fail("cannot write the archive header");
    uint8_t offset[4];
    WriteLe32(offset, static_cast<uint32_t>(headerOffset_));
    if (!sink_.Write(offset, sizeof offset)) return Fail("cannot write the archive");
    if (sink_.Position() > kMaxArchiveFileSize) return Fail("the archive would be 2 GB or larger");
    return true;
}
