#include "archive/ArchiveStream.h"

#include <cstring>

#include "archive/ArchiveFormat.h"
#include "archive/Crc32.h"

int ArchiveStream::Open(ArchiveSource* source) {
    Close();
    source_ = source;
    zstream_ = z_stream{};
    status_ = StreamOk;
    endOfFile_ = false;
    stored_ = false;
    outOfMemory_ = false;
    checksOwnCrc_ = true;
    crc_ = trailerCrc_ = 0;
    zstream_.next_in = input_;
    int result = inflateInit2(&zstream_, -MAX_WBITS);
    if (result != Z_OK) {
        outOfMemory_ = result == Z_MEM_ERROR;
        return result;
    }
    initialised_ = true;
    ParseHeader();
    return 0;
}

int ArchiveStream::Close() {
    if (!initialised_) return status_ == StreamCorrupt ? Z_DATA_ERROR : Z_OK;
    initialised_ = false;
    int result = inflateEnd(&zstream_);
    return status_ == StreamCorrupt ? Z_DATA_ERROR : result;
}

bool ArchiveStream::Refill() {
    uint32_t got = source_->Read(input_, kStreamInputSize);
    zstream_.next_in = input_;
    zstream_.avail_in = got;
    if (got == 0) endOfFile_ = true;
    return got != 0;
}

int ArchiveStream::NextByte() {
    if (zstream_.avail_in == 0 && (endOfFile_ || !Refill())) return -1;
    zstream_.avail_in--;
    return *zstream_.next_in++;
}

// Puts bytes back in front of the unread input, whether or not they came from
// the current fill.
void ArchiveStream::PushBack(const uint8_t* bytes, uint32_t count) {
    std::memmove(input_ + count, zstream_.next_in, zstream_.avail_in);
    std::memcpy(input_, bytes, count);
    zstream_.next_in = input_;
    zstream_.avail_in += count;
}

void ArchiveStream::ParseHeader() {
    uint8_t seen[2];
    int first = NextByte();
    if (first != kGzipId1) {
        stored_ = true;
        if (first >= 0) {
            seen[0] = static_cast<uint8_t>(first);
            PushBack(seen, 1);
        }
        status_ = zstream_.avail_in ? StreamOk : StreamEnd;
        return;
    }
    int second = NextByte();
    if (second != kGzipId2) {
        stored_ = true;
        seen[0] = static_cast<uint8_t>(first);
        seen[1] = static_cast<uint8_t>(second);
        PushBack(seen, second >= 0 ? 2 : 1);
        status_ = StreamOk;
        return;
    }
    int method = NextByte();
    int flags = NextByte();
    if (method != kGzipDeflate || flags < 0 || (flags & kGzipFlagReserved)) {
        status_ = StreamCorrupt;
        return;
    }
    SkipBytes(6);  // MTIME, XFL, OS
    if (flags & kGzipFlagExtra) {
        int low = NextByte();
        int high = NextByte();
        if (high >= 0) SkipBytes(static_cast<uint32_t>(low) | static_cast<uint32_t>(high) << 8);
    }
    if (flags & kGzipFlagName) SkipZeroTerminated();
    if (flags & kGzipFlagComment) SkipZeroTerminated();
    if (flags & kGzipFlagHeaderCrc) SkipBytes(2);
    status_ = endOfFile_ ? StreamCorrupt : StreamOk;
}

void ArchiveStream::SkipBytes(uint32_t count) {
    while (count-- && NextByte() >= 0) {
    }
}

void ArchiveStream::SkipZeroTerminated() {
    int c;
    do {
        c = NextByte();
    } while (c > 0);
}

bool ArchiveStream::ReadLe32Field(uint32_t* value) {
    uint8_t bytes[4];
    for (uint8_t& b : bytes) {
        int c = NextByte();
        if (c < 0) return false;
        b = static_cast<uint8_t>(c);
    }
    *value = ReadLe32(bytes);
    return true;
}

bool ArchiveStream::CheckTrailer() {
    uint32_t storedCrc, storedSize;
    if (!ReadLe32Field(&storedCrc)) return false;
    trailerCrc_ = storedCrc;
    if (checksOwnCrc_ && storedCrc != crc_) return false;
    if (!ReadLe32Field(&storedSize)) return false;
    return storedSize == static_cast<uint32_t>(zstream_.total_out);
}

int32_t ArchiveStream::Read(void* buffer, uint32_t count) {
    if (status_ == StreamCorrupt) return -1;
    if (status_ == StreamEnd || count == 0) return 0;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    return stored_ ? ReadStored(out, count) : ReadInflated(out, count);
}

int32_t ArchiveStream::ReadStored(uint8_t* buffer, uint32_t count) {
    uint32_t fromBuffer = zstream_.avail_in < count ? zstream_.avail_in : count;
    std::memcpy(buffer, zstream_.next_in, fromBuffer);
    zstream_.next_in += fromBuffer;
    zstream_.avail_in -= fromBuffer;
    // A source may deliver less than asked (a buffered file stops at the end
    // of its buffer): only a read that brings nothing is the end of the file.
    uint32_t got = fromBuffer;
    while (got < count) {
        uint32_t fromFile = source_->Read(buffer + got, count - got);
        if (fromFile == 0) break;
        got += fromFile;
    }
    return static_cast<int32_t>(got);
}

// Each inflate call's output is added to the CRC at once, so no way out of
// the loop can leave bytes unchecked.
int32_t ArchiveStream::ReadInflated(uint8_t* buffer, uint32_t count) {
    zstream_.next_out = buffer;
    zstream_.avail_out = count;
    while (zstream_.avail_out) {
        if (zstream_.avail_in == 0 && !endOfFile_) Refill();
        uint8_t* unchecked = zstream_.next_out;
        int result = inflate(&zstream_, Z_NO_FLUSH);
        if (checksOwnCrc_) crc_ = UpdateCrc32(crc_, unchecked, static_cast<size_t>(zstream_.next_out - unchecked));
        if (result == Z_STREAM_END) {
            status_ = CheckTrailer() ? StreamEnd : StreamCorrupt;
            break;
        }
        if (result != Z_OK) {
            if (result == Z_MEM_ERROR) outOfMemory_ = true;  // the window is allocated on first use
            status_ = StreamCorrupt;
            break;
        }
        if (endOfFile_) break;
    }
    return static_cast<int32_t>(count - zstream_.avail_out);
}

bool ArchiveStream::VerifyToEnd() {
    if (stored_) return status_ != StreamCorrupt;
    uint8_t scratch[1024];
    while (Read(scratch, sizeof scratch) > 0) {
    }
    return status_ == StreamEnd;
}
