#include "archive/BundleWriter.h"

#include <cstring>

#include "archive/ArchiveFormat.h"
#include "archive/BundleFormat.h"
#include "archive/Crc32.h"

namespace {

void AppendLe32(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[4];
    WriteLe32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

}  // namespace

std::vector<uint8_t> EncodeBundleDirectory(const std::vector<BundleFile>& files) {
    if (files.empty() || files.size() > kMaxBundleEntries) return {};
    uint32_t recordsSize = 0;
    for (const BundleFile& file : files) recordsSize += kBundleEntryFixedSize + static_cast<uint32_t>(file.name.size());
    std::vector<uint8_t> records;
    uint32_t offset = kBundleHeaderSize + recordsSize;
    for (const BundleFile& file : files) {
        AppendLe32(records, static_cast<uint32_t>(file.name.size()));
        records.insert(records.end(), file.name.begin(), file.name.end());
        AppendLe32(records, offset);
        AppendLe32(records, file.size);
        AppendLe32(records, file.crc);
        offset += file.size;
    }
    std::vector<uint8_t> out(kBundleSignature, kBundleSignature + kBundleSignatureSize);
    AppendLe32(out, static_cast<uint32_t>(files.size()));
    AppendLe32(out, recordsSize);
    AppendLe32(out, UpdateCrc32(0, records.data(), records.size()));
    out.insert(out.end(), records.begin(), records.end());
    return out;
}
