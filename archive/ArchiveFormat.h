#pragma once
// Byte layout of insfiles.vsa: [anything][header][gzip payload][headerOffset].
// All integers are unsigned 32-bit little-endian.
#include <cstddef>
#include <cstdint>

constexpr uint8_t kArchiveSignature[11] = {'q', 'z', 'k', '_', 'g', 'z', '_', '1', '0', '0', 0};
constexpr uint32_t kArchiveSignatureSize = sizeof kArchiveSignature;
constexpr uint32_t kArchiveHeaderSize = kArchiveSignatureSize + 8;  // + memberCount + totalDataSize
constexpr uint32_t kArchiveTrailerSize = 4;                         // headerOffset
constexpr uint32_t kMaxMemberNameLength = 260;
constexpr uint32_t kTransferBufferSize = 32768;
// setup.exe writes up to this many whole transfer chunks at once: each write
// is a system call, and on Windows a filter driver's turn as well.
constexpr uint32_t kWriteBlockSize = 8 * kTransferBufferSize;
constexpr unsigned kProgressChunkShift = 15;  // one progress step per 32 KB of data
// The bar's range is steps + 1, which must fit its 16-bit range.
constexpr uint32_t kMaxProgressSteps = 65534;

// Gzip (RFC 1952) header bytes the reader understands.
constexpr uint8_t kGzipId1 = 0x1F;
constexpr uint8_t kGzipId2 = 0x8B;
constexpr uint8_t kGzipDeflate = 8;
constexpr uint8_t kGzipFlagText = 0x01;
constexpr uint8_t kGzipFlagHeaderCrc = 0x02;
constexpr uint8_t kGzipFlagExtra = 0x04;
constexpr uint8_t kGzipFlagName = 0x08;
constexpr uint8_t kGzipFlagComment = 0x10;
constexpr uint8_t kGzipFlagReserved = 0xE0;

inline uint32_t ReadLe32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
           static_cast<uint32_t>(in[3]) << 24;
}

inline void WriteLe32(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}

// Steps announced before extraction: whole 32 KB units of data plus one per member.
inline uint32_t ProgressRangeFor(uint32_t memberCount, uint32_t totalDataSize) {
    return (totalDataSize >> kProgressChunkShift) + memberCount;
}
