#pragma once
// Reads and validates an uninstall log image (the whole file in memory).
// Records point into the image; nothing is copied or allocated.
#include <cstddef>
#include <cstdint>
#include <string>

struct UninstallLogRecord {
    size_t offset = 0;       // of the record's first byte in the image
    uint8_t kind = 0;        // UninstallRecordKind
    uint32_t rootKey = 0;    // UninstallKey only: 0x80000000, 0x80000001 or 0x80000002
    const char* text = "";   // path, key path or name; NUL-terminated inside the image
    size_t textLength = 0;
};

struct UninstallLogError {
    size_t offset = 0;       // of the damaged record
    char message[160] = {};  // what is wrong, without the offset
};

class UninstallLogReader {
public:
    UninstallLogReader(const uint8_t* image, size_t size) : image_(image), size_(size) {}

    // Reads the next record. False at the end of the image or at the first
    // damaged record (then Failed() is true and Error() says why); reading
    // never continues past damage. An empty image is damaged at offset 0.
    bool Next(UninstallLogRecord& record);
    bool Failed() const { return failed_; }
    const UninstallLogError& Error() const { return error_; }

private:
    bool Fail(const char* format, ...);
    bool CheckText(UninstallLogRecord& record, size_t textStart, uint32_t length);

    const uint8_t* image_;
    size_t size_;
    size_t offset_ = 0;
    bool failed_ = false;
    UninstallLogError error_;
};

// Reads the whole image; true when every record is sound. The count of sound
// records (those before any damage) goes to recordCount when it is given.
bool ValidateUninstallLog(const uint8_t* image, size_t size, size_t* recordCount, UninstallLogError* error);

// "FILE", "DIR", "KEY", "APPNAME"; "?" for any other kind.
const char* UninstallKindName(uint8_t kind);
// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"; null otherwise.
const char* RootKeyName(uint32_t rootKey);

// The text of the first application-name record; empty when there is none.
std::string RecordedAppName(const uint8_t* image, size_t size);

// What makes two records name the same item: kind, root and the text with
// ASCII letter case folded, as Windows compares paths and key names.
std::string RecordIdentity(const UninstallLogRecord& record);
