#include "uninstall/Win32RemovalTarget.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "setup/NameChars.h"
#include "shell/FinalPath.h"
#include "shell/UnfollowedHandle.h"
#include "uninstall/FolderAccess.h"

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

// Texts of the values read are short (file type names, content types);
// anything longer is not one of ours.
constexpr DWORD kMaxDefaultValue = 1024;

// Opened without following a link at the end, and acted on only when the
// handle reached exactly the recorded path: a link on the way, even one
// made after PassesThroughLink looked, shows as another final path.
RemovalOutcome OpenRecorded(const char* path, UnfollowedHandle& handle) {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    if (!handle.Open(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll, OPEN_EXISTING)) {
        DWORD error = GetLastError();
        if (IsMissing(error)) return RemovalAbsent;
        return error == ERROR_SHARING_VIOLATION ? RemovalInUse : RemovalFailed;
    }
    std::string reached;
    if (!handle.FinalPath(reached)) return RemovalFailed;
    return SameFinalPath(reached, path) ? RemovalDone : RemovalOutside;
}

bool IsReadOnly(const UnfollowedHandle& handle) {
    DWORD attributes = 0;
    return handle.Attributes(attributes) && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Each folder on the way to the item that ends at a backslash found from
// `from` on, "C:" taken as the root "C:\"; folders that do not exist lead
// nowhere and are left out.
template <typename Visit>
bool AnyFolderOnTheWay(const char* path, size_t from, Visit visit) {
    std::string folder(path);
    const char* start = path + (from < folder.size() ? from : folder.size());
    for (const char* at = FindChar(start, '\\'); at; at = FindChar(at + 1, '\\')) {
        std::string level = folder.substr(0, static_cast<size_t>(at - path));
        if (level.size() == 2 && level[1] == ':') level += '\\';
        if (GetFileAttributesA(level.c_str()) != INVALID_FILE_ATTRIBUTES && visit(level)) return true;
    }
    return false;
}

}  // namespace

RemovalOutcome Win32RemovalTarget::RemoveFile(const char* path) {
    UnfollowedHandle file;
    RemovalOutcome opened = OpenRecorded(path, file);
    if (opened != RemovalDone) return opened;
    if (file.IsFolder()) return RemovalFailed;  // not what was recorded
    if (file.MarkForDeletion()) return RemovalDone;
    // Read-only: cleared for the deletion, and set again if it still fails.
    if (!IsReadOnly(file) || !file.SetReadOnly(false)) return RemovalFailed;
    if (file.MarkForDeletion()) return RemovalDone;
    file.SetReadOnly(true);
    return RemovalFailed;
}

// Not so for access denied: the restart would remove it with full rights.
RemovalOutcome Win32RemovalTarget::RemoveAtRestart(const char* path) {
    return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? RemovalScheduled : RemovalFailed;
}

bool Win32RemovalTarget::PassesThroughLink(const char* path, size_t trustedLength) {
    return AnyFolderOnTheWay(path, trustedLength + 1, [](const std::string& level) {
        return (GetFileAttributesA(level.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    });
}

bool Win32RemovalTarget::UsersCanChangeWayTo(const char* path) {
    return AnyFolderOnTheWay(path, 2, [](const std::string& level) { return UsersCanChangeFolder(level.c_str()); });
}

RemovalOutcome Win32RemovalTarget::RemoveFolder(const char* path) {
    UnfollowedHandle folder;
    RemovalOutcome opened = OpenRecorded(path, folder);
    if (opened == RemovalInUse) return RemovalFailed;
    if (opened != RemovalDone) return opened;
    if (!folder.IsFolder()) return RemovalFailed;
    if (folder.MarkForDeletion()) return RemovalDone;
    return GetLastError() == ERROR_DIR_NOT_EMPTY ? RemovalKept : RemovalFailed;
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

KeyValueState Win32RemovalTarget::ReadKeyValue(uint32_t rootKey, const char* keyPath, const char* name,
                                               std::string& value) {
    HKEY root = RootKeyHandle(rootKey);
    HKEY key;
    LONG status = root ? RegOpenKeyExA(root, keyPath, 0, KEY_QUERY_VALUE, &key) : ERROR_INVALID_HANDLE;
    if (status == ERROR_FILE_NOT_FOUND) return KeyValueMissingKey;
    if (status != ERROR_SUCCESS) return KeyValueUnreadable;
    char text[kMaxDefaultValue + 1] = {};
    DWORD type = 0, size = kMaxDefaultValue;
    status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && type != REG_SZ)) return KeyValueNone;
    if (status == ERROR_MORE_DATA) return KeyValueNone;  // too long to be a text of ours
    if (status != ERROR_SUCCESS) return KeyValueUnreadable;
    value.assign(text, strnlen(text, size));
    return KeyValueText;
}

RemovalOutcome Win32RemovalTarget::SetKeyValue(uint32_t rootKey, const char* keyPath, const char* name,
                                               const char* text) {
    HKEY root = RootKeyHandle(rootKey);
    HKEY key;
    LONG status = root ? RegOpenKeyExA(root, keyPath, 0, KEY_SET_VALUE, &key) : ERROR_INVALID_HANDLE;
    if (status == ERROR_FILE_NOT_FOUND) return RemovalAbsent;
    if (status != ERROR_SUCCESS) return RemovalFailed;
    if (text) {
        status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                static_cast<DWORD>(std::strlen(text) + 1));
    } else {
        status = RegDeleteValueA(key, name);
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;  // none is what was wanted
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? RemovalDone : RemovalFailed;
}
