#pragma once
// The uninstall log file format: records back to back, newest first.
// Each record: kind (1 byte), 3 filler bytes, 32-bit little-endian total
// length, payload, where text payloads end with a NUL and 3 filler bytes.
#include <cstddef>
#include <cstdint>

enum UninstallRecordKind : uint8_t {
    UninstallKey = 1,
    UninstallDirectory = 2,
    UninstallFile = 3,
    UninstallAppName = 6,
};

constexpr uint32_t kRecordHeaderSize = 8;

// Total length of a record for a text of the given length.
uint32_t TextRecordLength(size_t textLength);  // kinds 2, 3, 6: n + 12
uint32_t KeyRecordLength(size_t keyPathLength);  // kind 1: n + 16

// Encoders write the whole record (filler bytes zero) into out, which must
// hold the record's total length.
void EncodeTextRecord(uint8_t* out, uint8_t kind, const char* text, size_t textLength);
void EncodeKeyRecord(uint8_t* out, uint32_t rootKey, const char* keyPath, size_t keyPathLength);

void StoreLittleEndian32(uint8_t* out, uint32_t value);
uint32_t LoadLittleEndian32(const uint8_t* in);
