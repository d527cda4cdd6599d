#include "archive/ArchiveHeader.h"

#include <cstring>

#include "install/ExtractArchive.h"

int ReadArchiveHeader(ArchiveSource& source, ArchiveHeader* header) {
    uint32_t size = 0;
    uint8_t bytes[kArchiveHeaderSize];
    if (!source.Size(&size) || size < kArchiveTrailerSize) return ExtractReadError;
    if (!source.Seek(static_cast<int32_t>(size - kArchiveTrailerSize)) || !source.ReadFully(bytes, 4))
        return ExtractReadError;
    header->headerOffset = ReadLe32(bytes);
    if (!source.Seek(static_cast<int32_t>(header->headerOffset))) return ExtractReadError;
    if (!source.ReadFully(bytes, kArchiveSignatureSize)) return ExtractReadError;
    if (std::memcmp(bytes, kArchiveSignature, kArchiveSignatureSize) != 0) return ExtractReadError;
    if (!source.ReadFully(bytes, 8)) return ExtractReadError;
    header->memberCount = ReadLe32(bytes);
    header->totalDataSize = ReadLe32(bytes + 4);
    return ExtractOk;
}

int ReadMemberHeader(PayloadReader& stream, char* name, uint32_t* dataLength) {
    uint8_t field[4];
    if (!stream.ReadExact(field, 4)) return ExtractReadError;
    uint32_t nameLength = ReadLe32(field);
    if (nameLength > kMaxMemberNameLength) return ExtractReadError;
    if (!stream.ReadExact(name, nameLength) || !stream.ReadExact(field, 4)) return ExtractReadError;
    name[nameLength] = '\0';
    *dataLength = ReadLe32(field);
    return ExtractOk;
}
