#pragma once
// The decompressing reader of an archive's payload: one gzip stream whose
// header and trailer are parsed here and whose deflate data goes through
// zlib's raw inflate. A payload without the gzip signature is read verbatim.
#include <zlib.h>

#include <cstdint>

#include "archive/ArchiveSource.h"
#include "archive/PayloadReader.h"

enum ArchiveStreamStatus { StreamOk, StreamEnd, StreamCorrupt };

constexpr uint32_t kStreamInputSize = 4096;

class ArchiveStream : public PayloadReader {
public:
    ArchiveStream() = default;
    ~ArchiveStream() override { Close(); }
    ArchiveStream(const ArchiveStream&) = delete;
    ArchiveStream& operator=(const ArchiveStream&) = delete;

    // Starts reading at the source's current position. Returns zlib's error when
    // the decompressor cannot be set up, else 0 (also for a corrupt header, which
    // makes every later Read fail).
    int Open(ArchiveSource* source);
    int32_t Read(void* buffer, uint32_t count) override;
    // A stored payload has no trailer and counts as intact unless it has failed.
    bool VerifyToEnd() override;
    // Releases the decompressor; the corrupt status if there was one, else
    // inflateEnd's result. Safe to call twice.
    int Close();

    // For a reader that computes the CRC-32 of every byte itself: the end of
    // the stream then checks the length only, and the reader compares its CRC
    // with TrailerCrc() (valid once the status is end of stream).
    void LeaveCrcToReader(bool leave) { checksOwnCrc_ = !leave; }
    uint32_t TrailerCrc() const { return trailerCrc_; }

    ArchiveStreamStatus Status() const { return status_; }
    bool IsStored() const { return stored_; }
    // The decompressor could not get its memory: the stream failed for want
    // of memory, not because the archive is damaged.
    bool OutOfMemory() const { return outOfMemory_; }

private:
    bool Refill();
    int NextByte();  // -1 at end of file
    void PushBack(const uint8_t* bytes, uint32_t count);
    void ParseHeader();
    void SkipBytes(uint32_t count);
    void SkipZeroTerminated();
    bool ReadLe32Field(uint32_t* value);
    bool CheckTrailer();
    int32_t ReadStored(uint8_t* buffer, uint32_t count);
    int32_t ReadInflated(uint8_t* buffer, uint32_t count);

    ArchiveSource* source_ = nullptr;
    z_stream zstream_ = {};
    bool initialised_ = false;
    uint8_t input_[kStreamInputSize + 2] = {};  // two spare bytes for a header push-back
    ArchiveStreamStatus status_ = StreamOk;
    bool endOfFile_ = false;
    bool stored_ = false;
    bool outOfMemory_ = false;
    bool checksOwnCrc_ = true;
    uint32_t crc_ = 0;
    uint32_t trailerCrc_ = 0;
};
