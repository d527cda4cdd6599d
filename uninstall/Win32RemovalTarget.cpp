#include "uninstall/Win32RemovalTarget.h"

#include <windows.h>

namespace {

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
}

// The log stores roots as 32-bit values; on 64-bit Windows the handles are
// sign-extended, so they are mapped, not cast.
HKEY RootKeyHandle(uint32_t rootKey) {
    switch (rootKey) {
    case 0x80000000u: return HKEY_CLASSES_ROOT;
    case 0x80000001u: return HKEY_CURRENT_USER;
    case 0x80000002u: return HKEY_LOCAL_MACHINE;
    default: return nullptr;
    }
}

RemovalOutcome ScheduleAtRestart(const char* path) {
    return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? RemovalScheduled : RemovalFailed;
}

}  // namespace

RemovalOutcome Win32RemovalTarget::RemoveFile(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError()) ? RemovalAbsent : RemovalFailed;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemovalFailed;  // not what was recorded
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileA(path)) return RemovalDone;
    DWORD error = GetLastError();
    if (IsMissing(error)) return RemovalAbsent;
    // A running program or an open document: gone at the next restart.
    if ((error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION) &&
        ScheduleAtRestart(path) == RemovalScheduled)
        return RemovalScheduled;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path, attributes);  // left as found
    return RemovalFailed;
}

RemovalOutcome Win32RemovalTarget::RemoveFolder(const char* path) {
    if (RemoveDirectoryA(path)) return RemovalDone;
    DWORD error = GetLastError();
    if (error == ERROR_DIR_NOT_EMPTY) return RemovalKept;
    if (IsMissing(error)) return RemovalAbsent;
    return RemovalFailed;
}

RemovalOutcome Win32RemovalTarget::RemoveFolderAtRestart(const char* path) { return ScheduleAtRestart(path); }

RemovalOutcome Win32RemovalTarget::RemoveKey(uint32_t rootKey, const char* keyPath) {
    HKEY root = RootKeyHandle(rootKey);
    if (!root || !*keyPath) return RemovalFailed;
    HKEY key;
    LONG status = RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key);
    if (status == ERROR_FILE_NOT_FOUND) return RemovalAbsent;
    if (status != ERROR_SUCCESS) return RemovalFailed;
    DWORD subkeys = 0;
    status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return RemovalFailed;
    if (subkeys > 0) return RemovalKept;
    status = RegDeleteKeyA(root, keyPath);
    if (status == ERROR_SUCCESS) return RemovalDone;
    return status == ERROR_FILE_NOT_FOUND ? RemovalAbsent : RemovalFailed;
}
