#pragma once
// Composes a bundle's header and directory; the packer and the tests put the
// files' bytes behind it in the same order.
#include <cstdint>
#include <string>
#include <vector>

struct BundleFile {
    std::string name;  // relative to the set's folder, backslash-separated
    uint32_t size;
    uint32_t crc;
};

// The header and directory for files laid out back to back right after it.
// Empty when there are no files or too many.
std::vector<uint8_t> EncodeBundleDirectory(const std::vector<BundleFile>& files);
