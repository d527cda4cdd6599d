#include <windows.h>

#include "setup/InstallSettings.h"
#include "setup/PathHelpers.h"
#include "shell/UninstallRecord.h"

static bool HasDirectoryRecord(const UninstallRecordNode* node, const char* path) {
    for (; node; node = node->next) {
        if (node->record[0] != UninstallDirectory) continue;
        if (EqualsNoCase(reinterpret_cast<const char*>(node->record + kRecordHeaderSize), path)) return true;
    }
    return false;
}

int InstallSettings::CreateDirectoryLogged(const char* path, BOOL alwaysRecord) {
    if (run) return run->MakeFolder(path, alwaysRecord != FALSE);
    DWORD attributes = GetFileAttributesA(path);
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // Recorded before creation, so a failed attempt is still cleaned up after.
    if ((!exists || alwaysRecord) && !HasDirectoryRecord(uninstallRecords, path))
        AddTextRecord(UninstallDirectory, path);
    if (!exists) return CreateDirectoryA(path, nullptr) ? 0 : 1;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
}
