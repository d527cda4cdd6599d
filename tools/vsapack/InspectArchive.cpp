#include "InspectArchive.h"

#include <cstdio>
#include <vector>

#include "archive/ArchiveHeader.h"
#include "archive/ArchiveStream.h"
#include "archive/FileArchiveSource.h"

bool WalkArchive(const std::string& archive, const std::function<void(const char*, uint32_t)>& visit,
                 std::string* summary, std::string* error) {
    FileArchiveSource source;
    if (!source.Open(archive.c_str())) {
        *error = "cannot open " + archive;
        return false;
    }
    ArchiveHeader header;
    if (ReadArchiveHeader(source, &header) != 0) {
        *error = "not a setup archive (no header offset or signature): " + archive;
        return false;
    }
    ArchiveStream stream;
    if (stream.Open(&source) != 0) {
        *error = "cannot initialise zlib";
        return false;
    }
    std::vector<uint8_t> buffer(kTransferBufferSize);
    char name[kMaxMemberNameLength + 1];
    uint64_t total = 0;
    for (uint32_t index = 0; index < header.memberCount; ++index) {
        uint32_t dataLength = 0;
        if (ReadMemberHeader(stream, name, &dataLength) != 0) {
            *error = "member " + std::to_string(index + 1) + " of " + std::to_string(header.memberCount) +
                     ": damaged or truncated record";
            return false;
        }
        for (uint32_t left = dataLength; left;) {
            uint32_t chunk = left < kTransferBufferSize ? left : kTransferBufferSize;
            if (!stream.ReadExact(buffer.data(), chunk)) {
                *error = std::string("member ") + name + ": data damaged or truncated";
                return false;
            }
            left -= chunk;
        }
        total += dataLength;
        if (visit) visit(name, dataLength);
    }
    if (!stream.VerifyToEnd()) {
        *error = "the payload's CRC-32 or length does not match its trailer";
        return false;
    }
    if (total != header.totalDataSize) {
        *error = "totalDataSize in the header is " + std::to_string(header.totalDataSize) + ", members hold " +
                 std::to_string(total);
        return false;
    }
    *summary = std::to_string(header.memberCount) + " members, " + std::to_string(total) + " bytes" +
               (stream.IsStored() ? " (stored, no CRC-32)" : ", CRC-32 and length verified");
    return true;
}

bool InspectArchive(const std::string& archive, bool printMembers, std::string* summary, std::string* error) {
    auto print = [](const char* name, uint32_t dataLength) { std::printf("%10u  %s\n", dataLength, name); };
    return WalkArchive(archive, printMembers ? print : std::function<void(const char*, uint32_t)>(), summary, error);
}
