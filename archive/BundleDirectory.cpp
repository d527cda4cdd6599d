#include "archive/BundleDirectory.h"

#include <algorithm>
#include <cstring>

#include "archive/ArchiveFormat.h"
#include "archive/Crc32.h"
#include "archive/PeImage.h"
#include "setup/NameChars.h"

namespace {

bool ReadAt(ArchiveSource& source, uint32_t offset, uint8_t* buffer, uint32_t count) {
    return source.Seek(static_cast<int32_t>(offset)) && source.ReadFully(buffer, count);
}

// The bytes after the image start a bundle when they begin with as much of
// the signature as the file holds: a download cut inside the header is damaged,
// not a plain program.
bool StartsWithSignature(const uint8_t* bytes, uint32_t available) {
    uint32_t compared = available < kBundleSignatureSize ? available : kBundleSignatureSize;
    return std::memcmp(bytes, kBundleSignature, compared) == 0;
}

// One entry record at `at` inside the directory; false when it does not fit
// or breaks a rule. `at` moves past it.
bool ParseEntry(const std::vector<uint8_t>& records, size_t* at, uint32_t dataStart, uint32_t bundleSize,
                uint32_t imageEnd, BundleEntry* entry) {
    size_t left = records.size() - *at;
    if (left < 4) return false;
    uint32_t nameLength = ReadLe32(&records[*at]);
    if (nameLength == 0 || nameLength > kMaxBundleNameLength || left < 4 + nameLength + 12u) return false;
    const uint8_t* name = &records[*at + 4];
    if (std::memchr(name, 0, nameLength)) return false;
    std::memcpy(entry->name, name, nameLength);
    entry->name[nameLength] = '\0';
    const uint8_t* fields = name + nameLength;
    uint32_t offset = ReadLe32(fields), size = ReadLe32(fields + 4);
    entry->crc = ReadLe32(fields + 8);
    *at += 4 + nameLength + 12;
    if (offset < dataStart || static_cast<uint64_t>(offset) + size > bundleSize) return false;
    entry->offset = imageEnd + offset;
    entry->size = size;
    return true;
}

bool EntriesApart(std::vector<BundleEntry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const BundleEntry& a, const BundleEntry& b) { return a.offset < b.offset; });
    for (size_t i = 1; i < entries.size(); ++i) {
        if (static_cast<uint64_t>(entries[i - 1].offset) + entries[i - 1].size > entries[i].offset) return false;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        for (size_t j = i + 1; j < entries.size(); ++j) {
            if (SameBundleName(entries[i].name, entries[j].name)) return false;
        }
    }
    return true;
}

BundleState ReadEntries(ArchiveSource& source, uint32_t imageEnd, uint32_t bundleSize, const uint8_t* header,
                        BundleDirectory* directory) {
    uint32_t count = ReadLe32(header + kBundleSignatureSize);
    uint32_t recordsSize = ReadLe32(header + kBundleSignatureSize + 4);
    uint32_t recordsCrc = ReadLe32(header + kBundleSignatureSize + 8);
    if (count == 0 || count > kMaxBundleEntries) return BundleState::Damaged;
    if (recordsSize > count * (kBundleEntryFixedSize + kMaxBundleNameLength)) return BundleState::Damaged;
    if (recordsSize > bundleSize - kBundleHeaderSize) return BundleState::Damaged;
    std::vector<uint8_t> records(recordsSize);
    if (!ReadAt(source, imageEnd + kBundleHeaderSize, records.data(), recordsSize)) return BundleState::Damaged;
    if (UpdateCrc32(0, records.data(), records.size()) != recordsCrc) return BundleState::Damaged;
    std::vector<BundleEntry> entries(count);
    size_t at = 0;
    for (BundleEntry& entry : entries) {
        if (!ParseEntry(records, &at, kBundleHeaderSize + recordsSize, bundleSize, imageEnd, &entry))
            return BundleState::Damaged;
    }
    if (at != records.size() || !EntriesApart(entries)) return BundleState::Damaged;
    directory->entries.swap(entries);
    directory->directoryCrc = recordsCrc;
    return BundleState::Intact;
}

}  // namespace

bool SameBundleName(const char* a, const char* b) { return SameSetName(a, b); }

const BundleEntry* BundleDirectory::Find(const char* name) const {
    for (const BundleEntry& entry : entries) {
        if (SameBundleName(entry.name, name)) return &entry;
    }
    return nullptr;
}

BundleState ReadBundleDirectory(ArchiveSource& source, BundleDirectory* directory) {
    directory->entries.clear();
    uint32_t fileSize = 0, imageEnd = 0;
    if (!source.Size(&fileSize) || !FindPeImageEnd(source, fileSize, &imageEnd)) return BundleState::None;
    directory->imageEnd = imageEnd;
    uint32_t bundleSize = fileSize - imageEnd;
    if (bundleSize == 0) return BundleState::None;
    uint8_t header[kBundleHeaderSize];
    uint32_t available = bundleSize < kBundleHeaderSize ? bundleSize : kBundleHeaderSize;
    if (!ReadAt(source, imageEnd, header, available)) return BundleState::None;
    if (!StartsWithSignature(header, available)) return BundleState::None;
    if (available < kBundleHeaderSize) return BundleState::Damaged;
    return ReadEntries(source, imageEnd, bundleSize, header, directory);
}

const BundleEntry* FindDamagedEntry(ArchiveSource& source, const BundleDirectory& directory, uint8_t* buffer,
                                    uint32_t bufferSize) {
    for (const BundleEntry& entry : directory.entries) {
        if (!source.Seek(static_cast<int32_t>(entry.offset))) return &entry;
        uint32_t crc = 0;
        for (uint32_t left = entry.size; left;) {
            uint32_t chunk = left < bufferSize ? left : bufferSize;
            if (!source.ReadFully(buffer, chunk)) return &entry;
            crc = UpdateCrc32(crc, buffer, chunk);
            left -= chunk;
        }
        if (crc != entry.crc) return &entry;
    }
    return nullptr;
}
