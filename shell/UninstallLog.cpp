#include <cstdlib>
#include <cstring>

#include "setup/InstallSettings.h"
#include "shell/UninstallRecord.h"

// The block is zeroed, so the filler bytes of a caller-filled record are
// zero rather than leftover heap contents; it is never smaller than the
// header written here.
uint8_t* InstallSettings::AddRecord(uint8_t kind, uint32_t totalLength) {
    size_t blockSize = totalLength < kRecordHeaderSize ? kRecordHeaderSize : totalLength;
    uint8_t* record = static_cast<uint8_t*>(std::calloc(1, blockSize));
    UninstallRecordNode* node = static_cast<UninstallRecordNode*>(std::malloc(sizeof(UninstallRecordNode)));
    if (!record || !node) std::abort();  // the setup assumes small allocations succeed
    record[0] = kind;
    StoreLittleEndian32(record + 4, totalLength);
    node->record = record;
    node->next = uninstallRecords;
    uninstallRecords = node;
    return record;
}

void InstallSettings::AddTextRecord(uint8_t kind, const char* text) {
    size_t length = std::strlen(text);
    uint8_t* record = AddRecord(kind, TextRecordLength(length));
    EncodeTextRecord(record, kind, text, length);
}

void InstallSettings::AddKeyRecord(HKEY root, const char* keyPath) {
    size_t length = std::strlen(keyPath);
    uint8_t* record = AddRecord(UninstallKey, KeyRecordLength(length));
    EncodeKeyRecord(record, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(root)), keyPath, length);
}

bool InstallSettings::WriteUninstallRecords(HANDLE file) const {
    for (const UninstallRecordNode* node = uninstallRecords; node; node = node->next) {
        DWORD length = LoadLittleEndian32(node->record + 4), written = 0;
        if (!WriteFile(file, node->record, length, &written, nullptr) || written != length) return false;
    }
    return true;
}

void InstallSettings::FreeUninstallRecords() {
    while (uninstallRecords) {
        UninstallRecordNode* next = uninstallRecords->next;
        std::free(uninstallRecords->record);
        std::free(uninstallRecords);
        uninstallRecords = next;
    }
}
