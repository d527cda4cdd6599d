#include "uninstall/Win32RemovalTarget.h"

#include <windows.h>

#include <cstring>
#include <string>

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

// Texts of default values are short (file type names); anything longer is
// not one of ours.
constexpr DWORD kMaxDefaultValue = 1024;

}  // namespace

RemovalOutcome Win32RemovalTarget::RemoveFile(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError()) ? RemovalAbsent : RemovalFailed;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemovalFailed;  // not what was recorded
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileA(path)) return RemovalDone;
    DWORD error = GetLastError();
    if (IsMissing(error)) return RemovalAbsent;
    // A running program or an open document: gone at the next restart. Not
    // so for access denied: the restart would remove it with full rights.
    if (error == ERROR_SHARING_VIOLATION && MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        return RemovalScheduled;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path, attributes);  // left as found
    return RemovalFailed;
}

// Folders that do not exist lead nowhere; the item is then missing too.
bool Win32RemovalTarget::PassesThroughLink(const char* path, size_t trustedLength) {
    std::string folder(path);
    for (size_t at = folder.find('\\', trustedLength + 1); at != std::string::npos; at = folder.find('\\', at + 1)) {
        DWORD attributes = GetFileAttributesA(folder.substr(0, at).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    }
    return false;
}

RemovalOutcome Win32RemovalTarget::RemoveFolder(const char* path) {
    if (RemoveDirectoryA(path)) return RemovalDone;
    DWORD error = GetLastError();
    if (error == ERROR_DIR_NOT_EMPTY) return RemovalKept;
    if (IsMissing(error)) return RemovalAbsent;
    return RemovalFailed;
}

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

KeyDefaultState Win32RemovalTarget::ReadKeyDefault(uint32_t rootKey, const char* keyPath, std::string& value) {
    HKEY root = RootKeyHandle(rootKey);
    HKEY key;
    LONG status = root ? RegOpenKeyExA(root, keyPath, 0, KEY_QUERY_VALUE, &key) : ERROR_INVALID_HANDLE;
    if (status == ERROR_FILE_NOT_FOUND) return KeyDefaultMissingKey;
    if (status != ERROR_SUCCESS) return KeyDefaultUnreadable;
    char text[kMaxDefaultValue + 1] = {};
    DWORD type = 0, size = kMaxDefaultValue;
    status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && type != REG_SZ)) return KeyDefaultNone;
    if (status == ERROR_MORE_DATA) return KeyDefaultNone;  // too long to be a file type name of ours
    if (status != ERROR_SUCCESS) return KeyDefaultUnreadable;
    value.assign(text, strnlen(text, size));
    return KeyDefaultText;
}
