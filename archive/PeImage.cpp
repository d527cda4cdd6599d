#include "archive/PeImage.h"

#include "archive/ArchiveFormat.h"

#ifdef _WIN32
#include <windows.h>

#include <cstddef>
#endif

namespace {

// Field positions of the PE format; the Windows build checks them against
// the system headers' structures below.
constexpr uint32_t kDosHeaderSize = 64;
constexpr uint32_t kDosNewHeaderField = 0x3C;
constexpr uint32_t kPeSignatureSize = 4;
constexpr uint32_t kFileHeaderSize = 20;
constexpr uint32_t kSectionCountField = 2;
constexpr uint32_t kOptionalHeaderSizeField = 16;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kRawSizeField = 16;
constexpr uint32_t kRawPointerField = 20;
constexpr uint32_t kMaxSections = 96;  // the loader's own limit
constexpr uint32_t kMaxSeekableSize = 0x7FFFFFFFu;  // sources seek to signed 32-bit positions

#ifdef _WIN32
static_assert(sizeof(IMAGE_DOS_HEADER) == kDosHeaderSize, "DOS header");
static_assert(offsetof(IMAGE_DOS_HEADER, e_lfanew) == kDosNewHeaderField, "e_lfanew");
static_assert(sizeof(IMAGE_FILE_HEADER) == kFileHeaderSize, "file header");
static_assert(offsetof(IMAGE_FILE_HEADER, NumberOfSections) == kSectionCountField, "NumberOfSections");
static_assert(offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader) == kOptionalHeaderSizeField, "SizeOfOptionalHeader");
static_assert(sizeof(IMAGE_SECTION_HEADER) == kSectionHeaderSize, "section header");
static_assert(offsetof(IMAGE_SECTION_HEADER, SizeOfRawData) == kRawSizeField, "SizeOfRawData");
static_assert(offsetof(IMAGE_SECTION_HEADER, PointerToRawData) == kRawPointerField, "PointerToRawData");
#endif

uint32_t ReadLe16(const uint8_t* in) { return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8; }

bool ReadAt(ArchiveSource& source, uint32_t fileSize, uint64_t offset, uint8_t* buffer, uint32_t count) {
    if (offset + count > fileSize) return false;
    return source.Seek(static_cast<int32_t>(offset)) && source.ReadFully(buffer, count);
}

}  // namespace

bool FindPeImageEnd(ArchiveSource& source, uint32_t fileSize, uint32_t* imageEnd) {
    if (fileSize > kMaxSeekableSize) return false;
    uint8_t dos[kDosHeaderSize];
    if (!ReadAt(source, fileSize, 0, dos, kDosHeaderSize) || dos[0] != 'M' || dos[1] != 'Z') return false;
    uint64_t peHeader = ReadLe32(dos + kDosNewHeaderField);
    uint8_t header[kPeSignatureSize + kFileHeaderSize];
    if (!ReadAt(source, fileSize, peHeader, header, sizeof header)) return false;
    if (header[0] != 'P' || header[1] != 'E' || header[2] != 0 || header[3] != 0) return false;
    const uint8_t* fileHeader = header + kPeSignatureSize;
    uint32_t sections = ReadLe16(fileHeader + kSectionCountField);
    if (sections == 0 || sections > kMaxSections) return false;
    uint64_t table = peHeader + sizeof header + ReadLe16(fileHeader + kOptionalHeaderSizeField);
    uint64_t end = table + static_cast<uint64_t>(sections) * kSectionHeaderSize;
    for (uint32_t index = 0; index < sections; ++index) {
        uint8_t section[kSectionHeaderSize];
        if (!ReadAt(source, fileSize, table + index * kSectionHeaderSize, section, kSectionHeaderSize)) return false;
        uint32_t rawSize = ReadLe32(section + kRawSizeField);
        if (rawSize == 0) continue;  // uninitialised data occupies no bytes of the file
        uint64_t rawEnd = static_cast<uint64_t>(ReadLe32(section + kRawPointerField)) + rawSize;
        if (rawEnd > end) end = rawEnd;
    }
    if (end > fileSize) return false;
    *imageEnd = static_cast<uint32_t>(end);
    return true;
}
