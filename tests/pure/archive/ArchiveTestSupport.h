#pragma once
// Builds archives with the packer's writer and damages them on purpose.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "archive/ArchiveFormat.h"
#include "archive/ArchiveWriter.h"

namespace archive_test {

using Bytes = std::vector<uint8_t>;

struct Member {
    std::string name;
    std::string data;
};

inline Bytes MakeArchive(const std::vector<Member>& members, ArchivePayloadKind kind = PayloadGzip,
                         const Bytes& host = Bytes()) {
    MemorySink sink;
    sink.bytes = host;
    ArchiveWriter writer(sink, kind);
    writer.AllowAnyName();
    writer.Begin();
    for (const Member& member : members)
        writer.AddMember(member.name.c_str(), member.data.data(), static_cast<uint32_t>(member.data.size()));
    if (!writer.Finish()) return Bytes();
    return sink.bytes;
}

// Payload made of raw bytes (records the writer would not produce).
inline Bytes MakeRawArchive(const Bytes& payload, uint32_t memberCount, uint32_t totalDataSize,
                            ArchivePayloadKind kind = PayloadGzip) {
    MemorySink sink;
    ArchiveWriter writer(sink, kind);
    writer.Begin();
    writer.AddRawPayload(payload.data(), payload.size());
    writer.OverrideCounts(memberCount, totalDataSize);
    writer.Finish();
    return sink.bytes;
}

inline Bytes Record(const std::string& name, const std::string& data) {
    Bytes record(8 + name.size() + data.size());
    WriteLe32(record.data(), static_cast<uint32_t>(name.size()));
    std::memcpy(record.data() + 4, name.data(), name.size());
    WriteLe32(record.data() + 4 + name.size(), static_cast<uint32_t>(data.size()));
    std::memcpy(record.data() + 8 + name.size(), data.data(), data.size());
    return record;
}

inline uint32_t HeaderOffsetOf(const Bytes& archive) { return ReadLe32(archive.data() + archive.size() - 4); }
inline size_t PayloadStart(const Bytes& archive) { return HeaderOffsetOf(archive) + kArchiveHeaderSize; }

// Keeps the first keep bytes of the payload and re-appends the header offset.
inline Bytes TruncatePayload(const Bytes& archive, size_t keep) {
    Bytes cut(archive.begin(), archive.begin() + PayloadStart(archive) + keep);
    uint8_t offset[4];
    WriteLe32(offset, HeaderOffsetOf(archive));
    cut.insert(cut.end(), offset, offset + 4);
    return cut;
}

inline size_t PayloadSize(const Bytes& archive) { return archive.size() - 4 - PayloadStart(archive); }

// Byte positions of the gzip trailer fields.
inline size_t CrcPosition(const Bytes& archive) { return archive.size() - 12; }
inline size_t IsizePosition(const Bytes& archive) { return archive.size() - 8; }

// Sets FLG bits and inserts the optional header fields after the fixed 10 bytes.
inline Bytes WithGzipFields(const Bytes& archive, uint8_t flags, const Bytes& fields) {
    Bytes out(archive);
    size_t gzip = PayloadStart(archive);
    out[gzip + 3] = flags;
    out.insert(out.begin() + static_cast<long>(gzip + 10), fields.begin(), fields.end());
    return out;
}

// Random-looking bytes that do not compress.
inline std::string Noise(size_t length, uint32_t seed) {
    std::string data(length, '\0');
    for (char& c : data) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 24);
    }
    return data;
}

}  // namespace archive_test
