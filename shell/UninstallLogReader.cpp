#include "shell/UninstallLogReader.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "setup/NameChars.h"
#include "shell/UninstallRecord.h"

const char* UninstallKindName(uint8_t kind) {
    switch (kind) {
    case UninstallKey: return "KEY";
    case UninstallDirectory: return "DIR";
    case UninstallFile: return "FILE";
    case UninstallAppName: return "APPNAME";
    default: return "?";
    }
}

const char* RootKeyName(uint32_t rootKey) {
    switch (rootKey) {
    case 0x80000000u: return "HKEY_CLASSES_ROOT";
    case 0x80000001u: return "HKEY_CURRENT_USER";
    case 0x80000002u: return "HKEY_LOCAL_MACHINE";
    default: return nullptr;
    }
}

bool UninstallLogReader::Fail(const char* format, ...) {
    failed_ = true;
    error_.offset = offset_;
    va_list args;
    va_start(args, format);
    std::vsnprintf(error_.message, sizeof error_.message, format, args);
    va_end(args);
    return false;
}

// The text runs from textStart to the NUL that the length puts 4 bytes before
// the record's end; an earlier or missing NUL means the length and the text
// disagree. Any other byte may occur: SETUP.DAT values such as the
// application name reach the log verbatim, tabs included.
bool UninstallLogReader::CheckText(UninstallLogRecord& record, size_t textStart, uint32_t length) {
    const uint8_t* text = image_ + offset_ + textStart;
    size_t expected = length - textStart - 4;
    const void* nul = std::memchr(text, 0, length - textStart);
    if (!nul) return Fail("text has no terminating NUL");
    size_t actual = static_cast<const uint8_t*>(nul) - text;
    if (actual != expected)
        return Fail("length %lu does not match the text of %lu characters (expected length %lu)",
                    static_cast<unsigned long>(length), static_cast<unsigned long>(actual),
                    static_cast<unsigned long>(actual + textStart + 4));
    record.text = reinterpret_cast<const char*>(text);
    record.textLength = actual;
    return true;
}

bool UninstallLogReader::Next(UninstallLogRecord& record) {
    if (failed_) return false;
    // Every installation records at least its own name and its log.
    if (size_ == 0) return Fail("the log is empty");
    if (offset_ >= size_) return false;
    size_t left = size_ - offset_;
    if (left < kRecordHeaderSize)
        return Fail("truncated record: %lu bytes left, a record header needs %lu", static_cast<unsigned long>(left),
                    static_cast<unsigned long>(kRecordHeaderSize));
    const uint8_t* at = image_ + offset_;
    uint8_t kind = at[0];
    uint32_t length = LoadLittleEndian32(at + 4);
    if (kind != UninstallKey && kind != UninstallDirectory && kind != UninstallFile && kind != UninstallAppName)
        return Fail("unknown record kind %u", kind);
    uint32_t minimum = kind == UninstallKey ? KeyRecordLength(0) : TextRecordLength(0);
    if (length < minimum)
        return Fail("length %lu is less than the %lu bytes of an empty %s record", static_cast<unsigned long>(length),
                    static_cast<unsigned long>(minimum), UninstallKindName(kind));
    if (length > left)
        return Fail("truncated record: length %lu but only %lu bytes left", static_cast<unsigned long>(length),
                    static_cast<unsigned long>(left));
    record = UninstallLogRecord();
    record.offset = offset_;
    record.kind = kind;
    size_t textStart = kRecordHeaderSize;
    if (kind == UninstallKey) {
        record.rootKey = LoadLittleEndian32(at + 8);
        if (!RootKeyName(record.rootKey))
            return Fail("unknown registry root 0x%08lX", static_cast<unsigned long>(record.rootKey));
        textStart += 4;
    }
    if (!CheckText(record, textStart, length)) return false;
    offset_ += length;
    return true;
}

bool ValidateUninstallLog(const uint8_t* image, size_t size, size_t* recordCount, UninstallLogError* error) {
    UninstallLogReader reader(image, size);
    UninstallLogRecord record;
    size_t count = 0;
    while (reader.Next(record)) ++count;
    if (recordCount) *recordCount = count;
    if (reader.Failed() && error) *error = reader.Error();
    return !reader.Failed();
}

std::string RecordedAppName(const uint8_t* image, size_t size) {
    UninstallLogReader reader(image, size);
    UninstallLogRecord record;
    while (reader.Next(record))
        if (record.kind == UninstallAppName) return std::string(record.text, record.textLength);
    return std::string();
}

std::string RecordIdentity(const UninstallLogRecord& record) {
    std::string identity = std::to_string(record.kind) + ":" + std::to_string(record.rootKey) + ":";
    std::string text(record.text, record.textLength);
    FoldNameN(&text[0], text.size(), false);
    return identity + text;
}
