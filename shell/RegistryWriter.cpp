// The one way the setup writes to the registry: every key it may create is

#include "setup/NameChars.h"
// recorded for the uninstaller before the registry is touched.
#include <cstdlib>
#include <cstring>

#include "setup/InstallSettings.h"

LONG InstallSettings::WriteRegistryString(HKEY root, const char* keyPath, const char* valueName, const char* text,
                                          DWORD alwaysLog) {
    if (run && alwaysLog) {
        uint32_t rootValue = root == HKEY_CLASSES_ROOT    ? kRootClasses
                             : root == HKEY_CURRENT_USER ? kRootCurrentUser
                                                         : kRootLocalMachine;
        return run->WriteValue(rootValue, keyPath, valueName, text) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
    }
    // Whether the key is new is decided here, not by the disposition below.
    LogNewRegistryKey(root, keyPath, alwaysLog);
    return SetRegistryString(root, keyPath, valueName, text);
}

LONG SetRegistryString(HKEY root, const char* keyPath, const char* valueName, const char* text) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExA(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                  &disposition);
    if (status != ERROR_SUCCESS) return status;
    // The stored size always counts the terminating NUL, also for "".
    RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
    return RegCloseKey(key);
}

// Records the key and, above it, every ancestor that does not exist yet,
// topmost first, so that the log (written newest first) lists children
// before their parents.
void InstallSettings::LogNewRegistryKey(HKEY root, const char* keyPath, DWORD alwaysLog) {
    if (!alwaysLog) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegCloseKey(key);
            return;  // it existed, and so do its ancestors
        }
    }
    const char* lastBackslash = FindLastChar(keyPath, '\\');
    if (lastBackslash) {
        size_t parentLength = static_cast<size_t>(lastBackslash - keyPath);
        char* parent = static_cast<char*>(std::malloc(parentLength + 1));
        if (!parent) std::abort();  // the setup assumes small allocations succeed
        std::memcpy(parent, keyPath, parentLength);
        parent[parentLength] = '\0';
        LogNewRegistryKey(root, parent, 0);
        std::free(parent);
    }
    AddKeyRecord(root, keyPath);
}

LONG SetRegistryDword(HKEY root, const char* keyPath, const char* valueName, DWORD value) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr);
    if (status != ERROR_SUCCESS) return status;
    RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    return RegCloseKey(key);
}
