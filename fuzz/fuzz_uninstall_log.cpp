// Feeds arbitrary bytes to the uninstall log reader. Every record it accepts
// must lie inside the image, carry a terminated text that fits its length,
// and encode back to the same bytes (filler aside).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "shell/UninstallLogReader.h"
#include "shell/UninstallRecord.h"

static void CheckRecord(const uint8_t* data, size_t size, const UninstallLogRecord& record) {
    uint32_t length = LoadLittleEndian32(data + record.offset + 4);
    if (record.offset + length > size) __builtin_trap();
    const uint8_t* text = reinterpret_cast<const uint8_t*>(record.text);
    if (text < data || text + record.textLength >= data + record.offset + length) __builtin_trap();
    if (record.text[record.textLength] != '\0' || std::strlen(record.text) != record.textLength) __builtin_trap();
    std::vector<uint8_t> encoded(length);
    if (record.kind == UninstallKey) {
        if (KeyRecordLength(record.textLength) != length) __builtin_trap();
        EncodeKeyRecord(encoded.data(), record.rootKey, record.text, record.textLength);
    } else {
        if (TextRecordLength(record.textLength) != length) __builtin_trap();
        EncodeTextRecord(encoded.data(), record.kind, record.text, record.textLength);
    }
    const uint8_t* original = data + record.offset;
    // Bytes 1-3 and the last 3 are filler, which readers ignore.
    if (encoded[0] != original[0] || std::memcmp(&encoded[4], original + 4, length - 7) != 0) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UninstallLogReader reader(data, size);
    UninstallLogRecord record;
    size_t end = 0;
    while (reader.Next(record)) {
        if (record.offset != end) __builtin_trap();
        CheckRecord(data, size, record);
        end = record.offset + LoadLittleEndian32(data + record.offset + 4);
    }
    if (reader.Failed() ? reader.Error().offset != end || !reader.Error().message[0] : end != size) __builtin_trap();
    return 0;
}
