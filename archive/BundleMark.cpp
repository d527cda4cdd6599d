#include "archive/BundleMark.h"

#include <cstring>

#include "archive/ArchiveFormat.h"
#include "archive/ImageHeaders.h"

namespace {
const uint8_t kMarkTag[4] = {'V', 'S', 'B', '1'};
}

bool HasRoomForBundleMark(const uint8_t* program) {
    for (uint32_t at = kBundleMarkOffset; at < kBundleMarkEnd; ++at)
        if (program[at]) return false;
    return true;
}

void WriteBundleMark(uint8_t* program, uint32_t directoryCrc) {
    std::memcpy(program + kBundleMarkOffset, kMarkTag, sizeof kMarkTag);
    WriteLe32(program + kBundleMarkOffset + sizeof kMarkTag, directoryCrc);
}

bool ReadBundleMark(const uint8_t* program, uint32_t* directoryCrc) {
    if (std::memcmp(program + kBundleMarkOffset, kMarkTag, sizeof kMarkTag) != 0) return false;
    *directoryCrc = ReadLe32(program + kBundleMarkOffset + sizeof kMarkTag);
    return true;
}

void UnmarkProgram(uint8_t* program, size_t available) {
    if (available < kBundleMarkEnd) return;
    std::memset(program + kBundleMarkOffset, 0, kBundleMarkSize);
    ImageHeaders headers;
    if (ParseImageHeaders(program, available, &headers) && headers.certificateEntry)
        std::memset(program + headers.certificateEntry, 0, 8);
}
