#pragma once
// Decompresses the payload on a thread of its own, a few blocks ahead of the
// member loop, so that inflating overlaps the creating and writing of files;
// the member loop's side computes the CRC-32. Reads deliver exactly the bytes,
// and end in exactly the way, that reading the stream directly would.
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "archive/ArchiveStream.h"
#include "archive/ThreadSync.h"

class ReadAheadStream : public PayloadReader {
public:
    static constexpr uint32_t kDefaultBlockSize = 256 * 1024;
    static constexpr uint32_t kDefaultBlockCount = 4;

    // `stream` is open; from here on only the read-ahead thread touches it. If
    // no thread can be started, reads go to the stream directly.
    explicit ReadAheadStream(ArchiveStream& stream, uint32_t blockSize = kDefaultBlockSize,
                             uint32_t blockCount = kDefaultBlockCount);
    ~ReadAheadStream() override;
    ReadAheadStream(const ReadAheadStream&) = delete;
    ReadAheadStream& operator=(const ReadAheadStream&) = delete;

    int32_t Read(void* buffer, uint32_t count) override;
    bool VerifyToEnd() override;
    bool Threaded() const { return thread_.joinable(); }

private:
    struct Block {
        std::unique_ptr<uint8_t[]> bytes;
        uint32_t length = 0;
    };

    void Produce();
    bool WaitForSpace();
    void Publish(uint32_t length, bool finished);
    bool AcquireBlock();
    void ReleaseBlock();

    ArchiveStream& stream_;
    const uint32_t blockSize_;
    std::vector<Block> blocks_;
    std::thread thread_;

    // Shared, under mutex_.
    SyncLock mutex_;
    SyncCondition dataReady_, spaceFreed_;
    uint32_t filled_ = 0;
    bool producerDone_ = false;
    bool stopRequested_ = false;
    bool consumerWaiting_ = false;
    bool producerWaiting_ = false;
    ArchiveStreamStatus endStatus_ = StreamOk;

    // The member loop's side only.
    uint32_t consumeIndex_ = 0;
    uint32_t consumeOffset_ = 0;
    bool holdingBlock_ = false;
    bool finished_ = false;
    ArchiveStreamStatus finalStatus_ = StreamOk;
    uint32_t crc_ = 0;
};
