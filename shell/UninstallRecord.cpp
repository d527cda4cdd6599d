#include "shell/UninstallRecord.h"

#include <cstring>

void StoreLittleEndian32(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t LoadLittleEndian32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
           static_cast<uint32_t>(in[3]) << 24;
}

uint32_t TextRecordLength(size_t textLength) { return static_cast<uint32_t>(textLength + 12); }
uint32_t KeyRecordLength(size_t keyPathLength) { return static_cast<uint32_t>(keyPathLength + 16); }

static void EncodeHeader(uint8_t* out, uint8_t kind, uint32_t totalLength) {
    out[0] = kind;
    out[1] = out[2] = out[3] = 0;
    StoreLittleEndian32(out + 4, totalLength);
}

void EncodeTextRecord(uint8_t* out, uint8_t kind, const char* text, size_t textLength) {
    uint32_t total = TextRecordLength(textLength);
    EncodeHeader(out, kind, total);
    if (textLength) std::memcpy(out + 8, text, textLength);
    std::memset(out + 8 + textLength, 0, 4);  // NUL and 3 filler bytes
}

void EncodeKeyRecord(uint8_t* out, uint32_t rootKey, const char* keyPath, size_t keyPathLength) {
    uint32_t total = KeyRecordLength(keyPathLength);
    EncodeHeader(out, UninstallKey, total);
    StoreLittleEndian32(out + 8, rootKey);
    if (keyPathLength) std::memcpy(out + 12, keyPath, keyPathLength);
    std::memset(out + 12 + keyPathLength, 0, 4);
}
