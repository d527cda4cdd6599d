#include "archive/ReadAheadStream.h"

#include <cstring>
#include <exception>
#include <new>

#include "archive/Crc32.h"

// Short of memory or of threads, reads go to the stream directly: slower, not
// wrong. Nothing here may throw on the install thread.
ReadAheadStream::ReadAheadStream(ArchiveStream& stream, uint32_t blockSize, uint32_t blockCount)
    : stream_(stream), blockSize_(blockSize) {
    try {
        blocks_.resize(blockCount);
    } catch (const std::exception&) {  // std::bad_alloc, or std::length_error for an absurd count
        blocks_.clear();
    }
    if (blocks_.empty()) return;
    for (Block& block : blocks_) {
        block.bytes.reset(new (std::nothrow) uint8_t[blockSize]);
        if (!block.bytes) return;
    }
    // The checksum moves to this side, which has time to spare while the
    // decompressing thread sets the pace.
    stream_.LeaveCrcToReader(true);
    try {
        thread_ = std::thread(&ReadAheadStream::Produce, this);
    } catch (const std::exception&) {  // std::system_error, or std::bad_alloc for the thread's state
        stream_.LeaveCrcToReader(false);
    }
}

ReadAheadStream::~ReadAheadStream() {
    if (!thread_.joinable()) return;
    {
        SyncGuard lock(mutex_);
        stopRequested_ = true;
    }
    spaceFreed_.NotifyOne();
    thread_.join();
}

void ReadAheadStream::Produce() {
    for (uint32_t index = 0; WaitForSpace(); index = (index + 1) % blocks_.size()) {
        Block& block = blocks_[index];
        int32_t got = stream_.Read(block.bytes.get(), blockSize_);
        block.length = got > 0 ? static_cast<uint32_t>(got) : 0;
        // A stored payload stays OK at its end and just delivers nothing more.
        bool finished = got <= 0 || stream_.Status() != StreamOk;
        Publish(block.length, finished);
        if (finished) return;
    }
}

bool ReadAheadStream::WaitForSpace() {
    SyncGuard lock(mutex_);
    while (filled_ == blocks_.size() && !stopRequested_) {
        producerWaiting_ = true;
        spaceFreed_.Wait(mutex_);
        producerWaiting_ = false;
    }
    return !stopRequested_;
}

// Either side that has to wait is woken only once half the blocks are ready
// for it (or the payload is over): a wake-up is a system call, and under Wine
// a costly one, so it is paid once per several blocks.
void ReadAheadStream::Publish(uint32_t length, bool finished) {
    bool wake;
    {
        SyncGuard lock(mutex_);
        if (length) ++filled_;
        if (finished) {
            producerDone_ = true;
            endStatus_ = stream_.Status();
        }
        wake = consumerWaiting_ && (finished || filled_ >= blocks_.size() / 2);
    }
    if (wake) dataReady_.NotifyOne();
}

bool ReadAheadStream::AcquireBlock() {
    if (finished_) return false;
    SyncGuard lock(mutex_);
    while (filled_ == 0 && !producerDone_) {
        consumerWaiting_ = true;
        dataReady_.Wait(mutex_);
        consumerWaiting_ = false;
    }
    if (filled_ == 0) {
        finished_ = true;
        finalStatus_ = endStatus_;
        bool crcMatches = stream_.IsStored() || crc_ == stream_.TrailerCrc();
        if (finalStatus_ == StreamEnd && !crcMatches) finalStatus_ = StreamCorrupt;
        return false;
    }
    holdingBlock_ = true;
    consumeOffset_ = 0;
    return true;
}

// Every block passes here in order, read or drained, so the CRC covers every byte.
void ReadAheadStream::ReleaseBlock() {
    crc_ = UpdateCrc32(crc_, blocks_[consumeIndex_].bytes.get(), blocks_[consumeIndex_].length);
    holdingBlock_ = false;
    consumeIndex_ = (consumeIndex_ + 1) % blocks_.size();
    bool wake;
    {
        SyncGuard lock(mutex_);
        --filled_;
        wake = producerWaiting_ && filled_ <= blocks_.size() / 2;
    }
    if (wake) spaceFreed_.NotifyOne();
}

int32_t ReadAheadStream::Read(void* buffer, uint32_t count) {
    if (!Threaded()) return stream_.Read(buffer, count);
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t delivered = 0;
    while (delivered < count && (holdingBlock_ || AcquireBlock())) {
        const Block& block = blocks_[consumeIndex_];
        uint32_t take = block.length - consumeOffset_;
        if (take > count - delivered) take = count - delivered;
        std::memcpy(out + delivered, block.bytes.get() + consumeOffset_, take);
        delivered += take;
        consumeOffset_ += take;
        if (consumeOffset_ == block.length) ReleaseBlock();
    }
    if (delivered) return static_cast<int32_t>(delivered);
    return finished_ && finalStatus_ == StreamCorrupt ? -1 : 0;
}

bool ReadAheadStream::VerifyToEnd() {
    if (!Threaded()) return stream_.VerifyToEnd();
    if (stream_.IsStored()) return true;  // no trailer; set before the thread started
    while (holdingBlock_ || AcquireBlock()) ReleaseBlock();
    return finalStatus_ == StreamEnd;
}
