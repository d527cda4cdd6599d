#include "archive/ImageHeaders.h"

#include <cstring>

#include "archive/ArchiveFormat.h"

namespace {

constexpr uint32_t kNewHeaderField = 0x3C;
constexpr uint32_t kFileHeaderSize = 20;
constexpr uint32_t kOptionalSizeField = 16;  // in the file header
constexpr uint16_t kPe32 = 0x10B;
constexpr uint16_t kPe32Plus = 0x20B;
constexpr uint32_t kSizeOfHeadersField = 60;  // the same in both optional headers
constexpr uint32_t kSecurityDirectory = 4;

uint32_t Le16(const uint8_t* in) { return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8; }

}  // namespace

bool ParseImageHeaders(const uint8_t* bytes, size_t available, ImageHeaders* headers) {
    if (available < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
    uint64_t pe = ReadLe32(bytes + kNewHeaderField);
    uint64_t optional = pe + 4 + kFileHeaderSize;
    if (optional + 2 > available || std::memcmp(bytes + pe, "PE\0\0", 4) != 0) return false;
    uint32_t optionalSize = Le16(bytes + pe + 4 + kOptionalSizeField);
    uint32_t magic = Le16(bytes + optional);
    bool plus = magic == kPe32Plus;
    if (!plus && magic != kPe32) return false;
    uint32_t countField = plus ? 108 : 92, directories = plus ? 112 : 96;
    if (optionalSize < directories || optional + optionalSize > available) return false;
    ImageHeaders parsed;
    parsed.size = ReadLe32(bytes + optional + kSizeOfHeadersField);
    parsed.imageBaseOffset = static_cast<uint32_t>(optional + (plus ? 24 : 28));
    parsed.imageBaseSize = plus ? 8 : 4;
    if (parsed.size < optional + optionalSize || parsed.size > kMaxImageHeadersSize) return false;
    uint32_t count = ReadLe32(bytes + optional + countField);
    if (count > kSecurityDirectory && directories + 8 * (kSecurityDirectory + 1) <= optionalSize) {
        const uint8_t* security = bytes + optional + directories + 8 * kSecurityDirectory;
        parsed.certificateOffset = ReadLe32(security);
        parsed.certificateSize = ReadLe32(security + 4);
        parsed.certificateEntry = static_cast<uint32_t>(security - bytes);
    }
    *headers = parsed;
    return true;
}

bool SameImageHeaders(const uint8_t* image, const uint8_t* file, const ImageHeaders& headers) {
    uint32_t baseEnd = headers.imageBaseOffset + headers.imageBaseSize;
    return std::memcmp(image, file, headers.imageBaseOffset) == 0 &&
           std::memcmp(image + baseEnd, file + baseEnd, headers.size - baseEnd) == 0;
}
