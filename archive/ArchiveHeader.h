#pragma once
// Locating the archive header and reading member records.
#include <cstdint>

#include "archive/ArchiveFormat.h"
#include "archive/ArchiveSource.h"
#include "archive/PayloadReader.h"

struct ArchiveHeader {
    uint32_t headerOffset;
    uint32_t memberCount;
    uint32_t totalDataSize;
};

// Follows the trailing headerOffset to the header and checks the signature.
// Leaves the source at the start of the payload. ExtractOk or ExtractReadError.
int ReadArchiveHeader(ArchiveSource& source, ArchiveHeader* header);

// Reads nameLength, the name (terminated into a buffer of
// kMaxMemberNameLength + 1 bytes) and dataLength. ExtractOk or ExtractReadError.
int ReadMemberHeader(PayloadReader& stream, char* name, uint32_t* dataLength);
