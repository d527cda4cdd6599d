#include "install/ArchiveExtraction.h"

#include "archive/ArchiveHeader.h"
#include "archive/ArchiveStream.h"
#include "install/MemberPlacement.h"
#include "archive/ReadAheadStream.h"

#include <cstring>
#include <string>

#include "setup/TextDecoding.h"

namespace {

// Closes the output file on every way out of a member.
class OutputGuard {
public:
    explicit OutputGuard(ExtractTarget& target) : target_(target) {}
    ~OutputGuard() { Close(); }
    void Opened() { open_ = true; }
    bool IsOpen() const { return open_; }
    void Close() {
        if (open_) target_.CloseOutput();
        open_ = false;
    }

private:
    ExtractTarget& target_;
    bool open_ = false;
};

struct TransferBlock {
    uint8_t* bytes;
    uint32_t size;
};

// Reads whole chunks into the block until it is full, the member ends or a
// read fails; writes what was read; then counts a step per chunk. The outcome
// is that of writing each chunk as it arrives: a failed read leaves the
// chunks before it written and stepped.
int CopyMemberData(PayloadReader& stream, OutputGuard& output, ExtractTarget& target, uint32_t dataLength,
                   const ExtractCallbacks& callbacks, void* context, const TransferBlock& block) {
    const uint32_t memberLength = dataLength;
    while (dataLength) {
        uint32_t filled = 0, chunks = 0;
        bool readFailed = false;
        while (dataLength && filled < block.size) {
            uint32_t chunk = dataLength < kTransferBufferSize ? dataLength : kTransferBufferSize;
            if (!stream.ReadExact(block.bytes + filled, chunk)) {
                readFailed = true;
                break;
            }
            filled += chunk;
            dataLength -= chunk;
            ++chunks;
        }
        bool whole = filled == memberLength;
        if (filled && output.IsOpen() &&
            !(whole ? target.WriteWholeOutput(block.bytes, filled) : target.WriteOutput(block.bytes, filled)))
            return ExtractWriteError;
        for (; chunks && callbacks.onProgressStep; --chunks) callbacks.onProgressStep(context);
        if (readFailed) return ExtractReadError;
    }
    return ExtractOk;
}

// Into the process's code page, in place: UTF-8 as the packer stores it, or
// the system's ANSI code page of older archives.
int DecodeMemberName(char* name, ExtractTarget& target) {
    size_t length = std::strlen(name);
    std::string decoded;
    if (!DecodeStoredText(name, length, JudgeStoredText(name, length), &decoded) ||
        decoded.size() > kMaxMemberNameLength) {
        target.NameRefused(name);
        return ExtractNameNotRepresentable;
    }
    std::memcpy(name, decoded.c_str(), decoded.size() + 1);
    return ExtractOk;
}

int ExtractMember(PayloadReader& stream, const PlacementContext& placement, const TransferBlock& block) {
    char name[kMaxMemberNameLength + 1];
    uint32_t dataLength = 0;
    int result = ReadMemberHeader(stream, name, &dataLength);
    if (result != ExtractOk) return result;
    result = DecodeMemberName(name, *placement.target);
    if (result != ExtractOk) return result;
    OutputGuard output(*placement.target);
    bool outputOpen = false;
    result = PlaceMember(placement, name, &outputOpen);
    if (outputOpen) output.Opened();
    if (result != ExtractOk) return result;
    // A file that takes one write is allocated once anyway; telling the size
    // costs a call per file, which only files of several writes repay.
    if (outputOpen && dataLength > kWriteBlockSize) placement.target->PlanOutput(dataLength);
    result = CopyMemberData(stream, output, *placement.target, dataLength, *placement.callbacks, placement.context,
                            block);
    if (result != ExtractOk && outputOpen) placement.target->CutOutput();
    return result;
}

// A write put off for an earlier member failed before the fault at hand:
// the earlier fault is the one reported, as if it had been written at once.
int Settled(ExtractTarget& target, int result) { return target.SettleWrites() ? result : ExtractWriteError; }

int ExtractMembers(PayloadReader& payload, uint32_t memberCount, const PlacementContext& placement,
                   const TransferBlock& block) {
    ExtractTarget& target = *placement.target;
    for (uint32_t remaining = memberCount; remaining; --remaining) {
        // Nothing more is made once a write put off has failed.
        int result = target.LaterWriteFailed() ? ExtractWriteError : ExtractMember(payload, placement, block);
        if (result != ExtractOk) return Settled(target, result);
    }
    if (!target.SettleWrites()) return ExtractWriteError;
    // The trailer guards everything written: a member list that decoded
    // cleanly but fails the CRC-32 or length check is still a damaged archive.
    return payload.VerifyToEnd() ? ExtractOk : ExtractReadError;
}

}  // namespace

int ExtractFromSource(ArchiveSource& source, ExtractTarget& target, const char* destination,
                      const ExtractCallbacks& callbacks, void* context, uint8_t* transferBuffer,
                      Decompression decompression, uint32_t bufferSize) {
    if (bufferSize < kTransferBufferSize) return ExtractNoMemory;
    ArchiveHeader header;
    int result = ReadArchiveHeader(source, &header);
    if (result != ExtractOk) return result;
    if (callbacks.onProgressRange)
        callbacks.onProgressRange(context, ProgressRangeFor(header.memberCount, header.totalDataSize));

    ArchiveStream stream;
    if (stream.Open(&source) != 0) return stream.OutOfMemory() ? ExtractNoMemory : ExtractReadError;
    PlacementContext placement{destination, &target, &callbacks, context};
    const TransferBlock block{transferBuffer, bufferSize - bufferSize % kTransferBufferSize};
    if (decompression == Decompression::OnCallingThread) {
        result = ExtractMembers(stream, header.memberCount, placement, block);
    } else {
        ReadAheadStream payload(stream);
        result = ExtractMembers(payload, header.memberCount, placement, block);
    }  // the read-ahead thread has ended: the stream is this thread's again
    // A payload cut short for want of memory is not a damaged archive.
    return result == ExtractReadError && stream.OutOfMemory() ? ExtractNoMemory : result;
}
