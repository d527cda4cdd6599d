#pragma once
// A small PE file and bundles behind it, sound or damaged on purpose.
#include <string>
#include <utility>
#include <vector>

#include "archive/ArchiveFormat.h"
#include "archive/BundleWriter.h"
#include "archive/Crc32.h"

namespace bundle_test {

using Bytes = std::vector<uint8_t>;
using Files = std::vector<std::pair<std::string, std::string>>;

// Headers of one section whose raw data ends at imageSize, padded with 'x';
// a trailing uninitialised section adds nothing to the file.
inline Bytes FakeProgram(uint32_t imageSize = 0x400) {
    Bytes image(imageSize, 'x');
    image[0] = 'M';
    image[1] = 'Z';
    WriteLe32(&image[0x3C], 0x40);
    const uint8_t pe[] = {'P', 'E', 0, 0, 0x4C, 0x01, 2, 0};  // i386, two sections
    std::copy(pe, pe + sizeof pe, image.begin() + 0x40);
    image[0x40 + 4 + 16] = 0;  // no optional header
    image[0x40 + 4 + 17] = 0;
    size_t section = 0x40 + 24;
    WriteLe32(&image[section + 16], imageSize - 0x200);  // SizeOfRawData
    WriteLe32(&image[section + 20], 0x200);              // PointerToRawData
    WriteLe32(&image[section + 40 + 16], 0);             // .bss-like: no raw data
    WriteLe32(&image[section + 40 + 20], 0);
    return image;
}

inline uint32_t Crc(const std::string& data) {
    return UpdateCrc32(0, reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

inline Bytes MakeBundle(const Files& files, const Bytes& program = FakeProgram()) {
    std::vector<BundleFile> directory;
    for (const auto& file : files)
        directory.push_back({file.first, static_cast<uint32_t>(file.second.size()), Crc(file.second)});
    Bytes out = program;
    Bytes header = EncodeBundleDirectory(directory);
    out.insert(out.end(), header.begin(), header.end());
    for (const auto& file : files) out.insert(out.end(), file.second.begin(), file.second.end());
    return out;
}

}  // namespace bundle_test
