#include <cstdlib>
#include <cstring>

#include "setup/InstallSettings.h"
#include "shell/EarlierDefault.h"
#include "shell/Sha256.h"
#include "shell/UninstallLogMerge.h"
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

bool InstallSettings::AddTextRecord(uint8_t kind, const char* text) {
    size_t length = std::strlen(text);
    uint8_t* record = AddRecord(kind, TextRecordLength(length));
    EncodeTextRecord(record, kind, text, length);
    return !run || run->Keep(record);
}

bool InstallSettings::AddKeyRecord(HKEY root, const char* keyPath) {
    size_t length = std::strlen(keyPath);
    uint8_t* record = AddRecord(UninstallKey, KeyRecordLength(length));
    EncodeKeyRecord(record, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(root)), keyPath, length);
    return !run || run->Keep(record);
}

void InstallSettings::AddEarlierDefaultRecord(const char* extension, const char* value) {
    AddTextRecord(UninstallAppName, EncodeEarlierDefault(extension, value).c_str());
}

void InstallSettings::AddEarlierContentTypeRecord(const char* extension, const char* value) {
    std::string text = value ? std::string(value) : std::string();
    AddTextRecord(UninstallAppName, EncodeEarlierContentType(extension, value ? &text : nullptr).c_str());
}

// The earlier records go after all others, in their own order: they are
// older than anything this installation recorded.
void InstallSettings::CarryOverEarlierLog() {
    if (earlierLogImage.empty()) return;
    std::vector<const uint8_t*> current;
    UninstallRecordNode** tail = &uninstallRecords;
    for (; *tail; tail = &(*tail)->next) current.push_back((*tail)->record);
    for (const RecordSpan& span : RecordsToCarryOver(earlierLogImage.data(), earlierLogImage.size(), current)) {
        uint8_t* record = static_cast<uint8_t*>(std::malloc(span.length));
        UninstallRecordNode* node = static_cast<UninstallRecordNode*>(std::malloc(sizeof(UninstallRecordNode)));
        if (!record || !node) std::abort();  // the setup assumes small allocations succeed
        std::memcpy(record, earlierLogImage.data() + span.offset, span.length);
        node->record = record;
        node->next = nullptr;
        *tail = node;
        tail = &node->next;
    }
}

bool InstallSettings::WriteUninstallRecords(HANDLE file, Sha256* digest) const {
    for (const UninstallRecordNode* node = uninstallRecords; node; node = node->next) {
        DWORD length = LoadLittleEndian32(node->record + 4), written = 0;
        if (!WriteFile(file, node->record, length, &written, nullptr) || written != length) return false;
        if (digest) digest->Add(node->record, length);
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
