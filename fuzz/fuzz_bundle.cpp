// Feeds arbitrary bytes to the bundle directory reader as a whole setup.exe,
// and checks that whatever it accepts lies inside the file, after the
// directory, without overlapping, under unique names. The same bytes go to
// the header comparison and the unmarking of a program's copy, which must
// stay inside what they are given.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "archive/BundleDirectory.h"
#include "archive/BundleMark.h"
#include "archive/ImageHeaders.h"

namespace {

void CheckHeaders(const uint8_t* data, size_t size) {
    ImageHeaders headers;
    if (!ParseImageHeaders(data, size, &headers)) return;
    if (headers.size > kMaxImageHeadersSize || headers.imageBaseOffset + headers.imageBaseSize > size ||
        headers.certificateEntry + 8 > size)
        std::abort();
    std::vector<uint8_t> copy(data, data + size);
    UnmarkProgram(copy.data(), copy.size());
    uint32_t crc = 0;
    if (ReadBundleMark(copy.data(), &crc)) std::abort();
    if (headers.size > size) return;
    if (!SameImageHeaders(data, data, headers)) std::abort();
    copy.assign(data, data + size);
    copy[headers.size - 1] ^= 1;  // never the image base: that ends inside the optional header
    if (SameImageHeaders(data, copy.data(), headers)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFFu) return 0;
    CheckHeaders(data, size);
    MemoryArchiveSource source(data, static_cast<uint32_t>(size));
    BundleDirectory directory;
    if (ReadBundleDirectory(source, &directory) != BundleState::Intact) return 0;
    std::vector<BundleEntry> entries = directory.entries;
    std::sort(entries.begin(), entries.end(),
              [](const BundleEntry& a, const BundleEntry& b) { return a.offset < b.offset; });
    uint64_t previousEnd = directory.imageEnd + kBundleHeaderSize;
    for (const BundleEntry& entry : entries) {
        uint64_t end = static_cast<uint64_t>(entry.offset) + entry.size;
        if (entry.offset < previousEnd || end > size || entry.name[0] == '\0') std::abort();
        if (directory.Find(entry.name)->offset != entry.offset) std::abort();  // names are unique
        previousEnd = end;
    }
    static uint8_t buffer[4096];
    FindDamagedEntry(source, directory, buffer, sizeof buffer);
    return 0;
}
